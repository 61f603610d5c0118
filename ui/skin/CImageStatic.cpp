#include "ui/skin/CImageStatic.h"

CImageStatic::~CImageStatic() = default;

void CImageStatic::Draw(Gdiplus::Graphics& g, RECT placement)
{
    if (!visible)
        return;
    const RECT r = placement.left != placement.right ? placement : rect;
    if (!image)
        return;
    const Gdiplus::Rect destination(r.left, r.top, r.right - r.left, r.bottom - r.top);
    if (stretchEdgeSafe) {
        Gdiplus::ImageAttributes attributes;
        attributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY, Gdiplus::Color(0xFF000000), FALSE);
        g.DrawImage(image.get(), destination, 0, 0, static_cast<INT>(image->GetWidth()),
                    static_cast<INT>(image->GetHeight()), Gdiplus::UnitPixel, &attributes);
    } else {
        g.DrawImage(image.get(), destination.X, destination.Y, destination.Width, destination.Height);
    }
}
