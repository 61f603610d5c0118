#pragma once
// One paint pass through a window's off-screen surface: everything drawn for
// the update rectangle goes into the surface's top-left corner, and the
// destructor copies it to the window in one blit, so an early return still
// shows what was drawn.

#include "ui/skin/CPaintSurface.h"

#include <windows.h>

class CSanDC {
public:
    // update: the rectangle of the target the pass paints (target coordinates).
    CSanDC(HDC target, CPaintSurface& surface, const RECT& update);
    virtual ~CSanDC();
    CSanDC(const CSanDC&) = delete;
    CSanDC& operator=(const CSanDC&) = delete;

    RECT rcCopy = {};
    // The surface's DC, drawn at (0, 0) for the update rectangle's top-left
    // corner; null when the surface could not be made.
    HDC hMemDC = nullptr;
    HDC hTargetDC = nullptr;
};
