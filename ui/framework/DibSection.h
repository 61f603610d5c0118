#pragma once
// 32-bit DIB sections: the pixels the client draws into, hands to
// UpdateLayeredWindow and reads back from the screen.

#include <windows.h>

enum class DibRows {
    TopDown,  // row 0 is the top row, as GDI+ and PNG lay out their rows
    BottomUp, // GDI's own order
};

// A 32-bit BI_RGB section of width x height, compatible with reference (the
// screen's when null), its pixels in *bits; null when it cannot be made. A new
// section is all zero bytes: black, fully transparent.
inline HBITMAP CreateDib32(HDC reference, int width, int height, DibRows rows, void** bits)
{
    *bits = nullptr;
    if (width <= 0 || height <= 0)
        return nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = rows == DibRows::TopDown ? -height : height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HBITMAP dib = CreateDIBSection(reference, &info, DIB_RGB_COLORS, bits, nullptr, 0);
    if (!dib)
        *bits = nullptr;
    return dib;
}
