#pragma once
// A rectangle of a skinned window that shows one PNG image, optionally kept at
// a fixed distance from the window's right and bottom edges (moving, or
// stretching when its left or top edge is fixed too).

#include <windows.h>
#include <gdiplus.h>

#include "ui/skin/CSkinBitmap.h"

#include <functional>
#include <memory>

class CImageStatic {
public:
    CImageStatic() = default;
    CImageStatic(const CImageStatic&) = delete;
    CImageStatic& operator=(const CImageStatic&) = delete;
    virtual ~CImageStatic();

    // Draws the image stretched over placement, or over rect when placement is empty.
    void Draw(Gdiplus::Graphics& g, RECT placement);

    int anchorRight = -1;
    int anchorBottom = -1;
    int fixedLeft = -1;
    int fixedTop = -1;
    // Stretch through mirrored tiling so that the image's edges stay crisp and
    // opaque instead of fading into transparency.
    bool stretchEdgeSafe = false;
    RECT rect = {};
    std::shared_ptr<Gdiplus::Image> image;
    // Where the image can be had again: a large one need not stay in memory
    // while nothing redraws it (LetGo), and is loaded again at the next draw.
    std::function<std::shared_ptr<Gdiplus::Image>()> reload;
    void LetGo()
    {
        if (reload)
            image.reset();
    }
    int id = 0;
    bool visible = true;

private:
    // The image as last drawn stretched, at that size: a pass that shows a
    // part of it copies that part instead of stretching the whole image again.
    // Made anew when the image or the size changes.
    struct Stretched {
        std::weak_ptr<Gdiplus::Image> source;
        std::unique_ptr<CSkinBitmap> pixels;
    };
    CSkinBitmap* StretchedTo(int width, int height);
    void DrawStretched(Gdiplus::Graphics& g, Gdiplus::Image* target, const Gdiplus::Rect& destination) const;
    Stretched m_stretched;
};
