#pragma once
// The off-screen image of a layered window: a 32-bit DIB section (premultiplied
// alpha, bottom-up rows) selected into a memory DC, pushed to the screen with
// UpdateLayeredWindow. Kept by its window's painter while the window keeps its
// size, and cleared before each update.

#include "ui/framework/Scoped.h"

#include <windows.h>

// The signature of user32's UpdateLayeredWindow, looked up at run time.
using UpdateLayeredWindowFn = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);

// UpdateLayeredWindow from the loaded user32, or null where the system lacks it.
UpdateLayeredWindowFn FindUpdateLayeredWindow();

class CLayeredBitmap {
public:
    // A fully transparent width x height image; not Valid() when either is 0.
    CLayeredBitmap(HDC reference, int width, int height);
    ~CLayeredBitmap();
    CLayeredBitmap(const CLayeredBitmap&) = delete;
    CLayeredBitmap& operator=(const CLayeredBitmap&) = delete;

    bool Valid() const { return m_bits != nullptr; }
    HDC DC() const { return m_dc.Get(); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    // Makes every pixel fully transparent again.
    void Clear();
    // Hands the image to the window at its current screen position, with the
    // given constant alpha on top of the per-pixel alpha.
    BOOL Push(UpdateLayeredWindowFn update, HWND hwnd, BYTE alpha) const;

private:
    int m_width;
    int m_height;
    ScopedMemoryDC m_dc;
    ScopedGdiObject<HBITMAP> m_bitmap;
    HGDIOBJ m_previous = nullptr;
    void* m_bits = nullptr;
};
