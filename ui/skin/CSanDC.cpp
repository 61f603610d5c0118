#include "ui/skin/CSanDC.h"

CSanDC::CSanDC(HDC target, const RECT& client, const RECT* update)
    : rcCopy(update ? *update : client), hTargetDC(target)
{
    hMemDC = CreateCompatibleDC(target);
    hBitmap = CreateCompatibleBitmap(target, client.right - client.left, client.bottom - client.top);
    if (hMemDC && hBitmap)
        hOldBitmap = SelectObject(hMemDC, hBitmap);
}

CSanDC::~CSanDC()
{
    if (hMemDC && hOldBitmap) {
        BitBlt(hTargetDC, rcCopy.left, rcCopy.top, rcCopy.right - rcCopy.left, rcCopy.bottom - rcCopy.top, hMemDC,
               rcCopy.left, rcCopy.top, SRCCOPY);
        SelectObject(hMemDC, hOldBitmap);
    }
    if (hBitmap)
        DeleteObject(hBitmap);
    if (hMemDC)
        DeleteDC(hMemDC);
}
