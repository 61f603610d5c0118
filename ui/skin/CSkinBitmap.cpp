#include "ui/skin/CSkinBitmap.h"

#include "ui/framework/DibSection.h"
#include "ui/framework/Scoped.h"

#include <cmath>
#include <cstring>

CSkinPixels::CSkinPixels(int width, int height) : m_width(width), m_height(height)
{
    if (width <= 0 || height <= 0)
        return;
    void* bits = nullptr;
    // Top-down, as GDI+ lays out its rows.
    m_dib.Reset(CreateDib32(nullptr, width, height, DibRows::TopDown, &bits));
    if (m_dib && bits) {
        m_bits = static_cast<BYTE*>(bits);
        std::memset(m_bits, 0, static_cast<size_t>(width) * height * 4); // transparent
    }
}

CSkinPixels::~CSkinPixels() = default;

CSkinBitmap::CSkinBitmap(int width, int height, bool opaque)
    : CSkinPixels(width, height), Gdiplus::Bitmap(width, height, width * 4,
                                                  opaque ? PixelFormat32bppRGB : PixelFormat32bppPARGB, m_bits)
{}

std::unique_ptr<CSkinBitmap> CSkinBitmap::Make(int width, int height, bool opaque)
{
    if (width <= 0 || height <= 0)
        return nullptr;
    std::unique_ptr<CSkinBitmap> bitmap(new CSkinBitmap(width, height, opaque));
    if (!bitmap->m_bits || bitmap->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    return bitmap;
}

std::unique_ptr<CSkinBitmap> CSkinBitmap::CopyOf(Gdiplus::Image* source, int x, int y, int width, int height)
{
    auto* bitmap = dynamic_cast<Gdiplus::Bitmap*>(source);
    if (!bitmap || x < 0 || y < 0 || width <= 0 || height <= 0 || static_cast<UINT>(x + width) > bitmap->GetWidth() ||
        static_cast<UINT>(y + height) > bitmap->GetHeight())
        return nullptr;
    auto copy = Make(width, height);
    if (!copy)
        return nullptr;
    // GDI+ premultiplies into our rows as it reads them out.
    Gdiplus::BitmapData rows = {};
    rows.Width = static_cast<UINT>(width);
    rows.Height = static_cast<UINT>(height);
    rows.Stride = width * 4;
    rows.PixelFormat = PixelFormat32bppPARGB;
    Gdiplus::Rect part(x, y, width, height);
    rows.Scan0 = copy->m_bits;
    if (bitmap->LockBits(&part, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf, PixelFormat32bppPARGB,
                         &rows) != Gdiplus::Ok)
        return nullptr;
    bitmap->UnlockBits(&rows);
    GdiFlush();
    return copy;
}

bool BlendSkinBitmap(Gdiplus::Graphics& g, Gdiplus::Image* image, int x, int y, int srcX, int srcY, int width,
                     int height)
{
    auto* skin = dynamic_cast<CSkinBitmap*>(image);
    if (!skin || width <= 0 || height <= 0 || srcX < 0 || srcY < 0 || srcX + width > skin->PixelWidth() ||
        srcY + height > skin->PixelHeight())
        return false;
    const Gdiplus::Unit unit = g.GetPageUnit();
    if ((unit != Gdiplus::UnitDisplay && unit != Gdiplus::UnitPixel) || g.GetPageScale() != 1.0f)
        return false;
    Gdiplus::Matrix transform;
    Gdiplus::REAL m[6] = {};
    if (g.GetTransform(&transform) != Gdiplus::Ok || transform.GetElements(m) != Gdiplus::Ok)
        return false;
    if (m[0] != 1.0f || m[1] != 0.0f || m[2] != 0.0f || m[3] != 1.0f || m[4] != std::floor(m[4]) ||
        m[5] != std::floor(m[5]))
        return false;
    HDC target = g.GetHDC();
    if (!target)
        return false;
    // Only what the device context shows is blended: a pass's surface may be
    // far smaller than a stretched image, and its clip smaller still.
    RECT dest = {x + static_cast<int>(m[4]), y + static_cast<int>(m[5]), 0, 0};
    dest.right = dest.left + width;
    dest.bottom = dest.top + height;
    RECT box = {};
    RECT shown = dest;
    const int clip = GetClipBox(target, &box);
    bool drawn = clip == NULLREGION || (clip != ERROR && !IntersectRect(&shown, &dest, &box));
    if (!drawn) {
        ScopedMemoryDC source(target);
        const HGDIOBJ previous = source.Get() ? SelectObject(source.Get(), skin->Handle()) : nullptr;
        if (previous && previous != HGDI_ERROR) {
            const int fromX = srcX + shown.left - dest.left, fromY = srcY + shown.top - dest.top;
            const int w = shown.right - shown.left, h = shown.bottom - shown.top;
            const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
            // An opaque image's alpha bytes are 255: blended, it is copied,
            // alpha included, which a layered surface needs.
            drawn =
                GdiAlphaBlend(target, shown.left, shown.top, w, h, source.Get(), fromX, fromY, w, h, blend) != FALSE;
            SelectObject(source.Get(), previous);
        }
    }
    g.ReleaseHDC(target);
    return drawn;
}
