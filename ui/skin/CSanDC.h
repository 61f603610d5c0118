#pragma once
// Off-screen surface for one paint pass: everything is drawn into a memory DC
// the size of the client area, and the destructor copies the changed rectangle
// to the window in one blit, so an early return still shows what was drawn.

#include <windows.h>

class CSanDC {
public:
    // update: the rectangle to copy back; the whole client area when null.
    CSanDC(HDC target, const RECT& client, const RECT* update = nullptr);
    virtual ~CSanDC();
    CSanDC(const CSanDC&) = delete;
    CSanDC& operator=(const CSanDC&) = delete;

    HBITMAP hBitmap = nullptr;
    HGDIOBJ hOldBitmap = nullptr;
    RECT rcCopy = {};
    HDC hMemDC = nullptr;
    HDC hTargetDC = nullptr;
};
