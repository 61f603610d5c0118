#include "ui/skin/CSanDC.h"

CSanDC::CSanDC(HDC target, CPaintSurface& surface, const RECT& update)
    : rcCopy(update), hMemDC(surface.Fit(target, update.right - update.left, update.bottom - update.top)),
      hTargetDC(target)
{}

CSanDC::~CSanDC()
{
    if (hMemDC)
        BitBlt(hTargetDC, rcCopy.left, rcCopy.top, rcCopy.right - rcCopy.left, rcCopy.bottom - rcCopy.top, hMemDC, 0, 0,
               SRCCOPY);
}
