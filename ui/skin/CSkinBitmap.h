#pragma once
// A skin image whose pixels live in a premultiplied 32-bit top-down DIB
// section: GDI+ draws it as a Gdiplus::Bitmap over those very pixels (no copy),
// and a paint pass that puts it down at its own size blends it with one
// GdiAlphaBlend instead (BlendSkinBitmap), without the temporary DC, pixel
// conversion and clip region that GDI+ makes for each image it draws to a DC.

#include "ui/framework/Scoped.h"

#include <windows.h>
#include <gdiplus.h>

#include <memory>

// The DIB section under a CSkinBitmap. As its first base it is made before the
// GDI+ bitmap that stands on its pixels and goes after it.
class CSkinPixels {
protected:
    CSkinPixels(int width, int height);
    ~CSkinPixels();
    CSkinPixels(const CSkinPixels&) = delete;
    CSkinPixels& operator=(const CSkinPixels&) = delete;

    ScopedGdiObject<HBITMAP> m_dib;
    BYTE* m_bits = nullptr;
    int m_width;
    int m_height;
};

class CSkinBitmap : private CSkinPixels, public Gdiplus::Bitmap {
public:
    // A fully transparent width x height image; null when it cannot be made.
    // An opaque one has no alpha channel for GDI+ (32-bit RGB) and its alpha
    // bytes must all be 255 once its pixels are written.
    static std::unique_ptr<CSkinBitmap> Make(int width, int height, bool opaque = false);
    // A premultiplied copy of the part of source at (x, y) of width x height;
    // null when source is not a bitmap, the part is not inside it, or a step fails.
    static std::unique_ptr<CSkinBitmap> CopyOf(Gdiplus::Image* source, int x, int y, int width, int height);

    CSkinBitmap(const CSkinBitmap&) = delete;
    CSkinBitmap& operator=(const CSkinBitmap&) = delete;

    HBITMAP Handle() const { return m_dib.Get(); }
    // The rows, top-down, 4 bytes a pixel (blue, green, red, alpha; colour
    // premultiplied by alpha), for writing the image's pixels before use.
    BYTE* Bits() { return m_bits; }
    int PixelWidth() const { return m_width; }
    int PixelHeight() const { return m_height; }

private:
    CSkinBitmap(int width, int height, bool opaque);
};

// Puts the width x height part of image at (srcX, srcY) at (x, y) of g, at its
// own size, blended over what is there. Done through GDI when image is a
// CSkinBitmap and g only moves what it draws by whole pixels; false, with
// nothing drawn, otherwise (the caller then draws through GDI+). For a g made
// on a device context, as every painter's is; what g clips is not applied,
// the device context's own clip is.
bool BlendSkinBitmap(Gdiplus::Graphics& g, Gdiplus::Image* image, int x, int y, int srcX, int srcY, int width,
                     int height);
