#pragma once
// The off-screen bitmap of a window's paint passes, kept from one pass to the
// next: a pass draws its update rectangle into the top-left corner, so the
// bitmap needs only the size of the largest rectangle painted so far. It is
// made again, larger, when a pass needs more than it has.

#include "ui/framework/Scoped.h"

#include <windows.h>

#include <memory>

class CPaintSurface {
public:
    CPaintSurface() = default;
    ~CPaintSurface();
    CPaintSurface(const CPaintSurface&) = delete;
    CPaintSurface& operator=(const CPaintSurface&) = delete;

    // A memory DC compatible with reference whose bitmap has at least
    // width x height pixels; null when it cannot be made.
    HDC Fit(HDC reference, int width, int height);
    // The bitmap and its DC go.
    void Release();
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    std::unique_ptr<ScopedMemoryDC> m_dc;
    ScopedGdiObject<HBITMAP> m_bitmap;
    HGDIOBJ m_previous = nullptr;
    int m_width = 0;
    int m_height = 0;
};
