#include "ui/skin/CImageStatic.h"

#include "ui/skin/CSkinBitmap.h"

CImageStatic::~CImageStatic() = default;

void CImageStatic::DrawStretched(Gdiplus::Graphics& g, Gdiplus::Image* source, const Gdiplus::Rect& destination) const
{
    if (stretchEdgeSafe) {
        Gdiplus::ImageAttributes attributes;
        attributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY, Gdiplus::Color(0xFF000000), FALSE);
        g.DrawImage(source, destination, 0, 0, static_cast<INT>(source->GetWidth()),
                    static_cast<INT>(source->GetHeight()), Gdiplus::UnitPixel, &attributes);
    } else {
        g.DrawImage(source, destination.X, destination.Y, destination.Width, destination.Height);
    }
}

CSkinBitmap* CImageStatic::StretchedTo(int width, int height)
{
    CSkinBitmap* kept = m_stretched.pixels.get();
    if (kept && kept->PixelWidth() == width && kept->PixelHeight() == height && !m_stretched.source.expired() &&
        m_stretched.source.lock() == image)
        return kept;
    m_stretched.pixels.reset(); // the old size goes before the new one is made
    m_stretched.source = image;
    auto pixels = CSkinBitmap::Make(width, height);
    if (!pixels)
        return nullptr;
    {
        Gdiplus::Graphics g(pixels.get());
        g.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
        DrawStretched(g, image.get(), Gdiplus::Rect(0, 0, width, height));
    }
    m_stretched.pixels = std::move(pixels);
    return m_stretched.pixels.get();
}

void CImageStatic::Draw(Gdiplus::Graphics& g, RECT placement)
{
    if (!visible)
        return;
    const RECT r = placement.left != placement.right ? placement : rect;
    if (!image && reload)
        image = reload();
    if (!image)
        return;
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (width <= 0 || height <= 0)
        return;
    const bool ownSize =
        image->GetWidth() == static_cast<UINT>(width) && image->GetHeight() == static_cast<UINT>(height);
    if (ownSize && BlendSkinBitmap(g, image.get(), r.left, r.top, 0, 0, width, height))
        return;
    if (!ownSize) {
        // Stretched once per size; a pass then copies what it shows of that.
        CSkinBitmap* stretched = StretchedTo(width, height);
        if (stretched && BlendSkinBitmap(g, stretched, r.left, r.top, 0, 0, width, height))
            return;
    }
    DrawStretched(g, image.get(), Gdiplus::Rect(r.left, r.top, width, height));
}
