#pragma once
// A rectangle of a skinned window with one PNG image per look (normal, hover,
// pressed) and an optional centred caption. Not a window: its painter or row
// draws it and hit-tests it. The look is computed at each draw from the mouse
// position and press state the painter passes in.

#include "ui/framework/DpiScale.h"

#include <windows.h>
#include <gdiplus.h>

#include <memory>

class CImageButton {
public:
    static constexpr int kTextCapacity = 256;

    // scale: the window's, for the images loaded by id and the caption's font.
    CImageButton(HWND owner, int id, int left, int top, int right, int bottom, const wchar_t* text,
                 DpiScale scale = DpiScale());
    CImageButton(const CImageButton&) = delete;
    CImageButton& operator=(const CImageButton&) = delete;

    /* 0 */ virtual ~CImageButton();
    /* 1 */ virtual void Draw(Gdiplus::Graphics& g, int mouseX, int mouseY, bool leftPressed, RECT placement);
    /* 2 */ virtual void SetRect(int left, int top, int right, int bottom);
    /* 3 */ virtual bool HitDetail(int x, int y);
    /* 4 */ virtual RECT* GetDetailRect(RECT* out);
    /* 5 */ virtual void DrawText(Gdiplus::Graphics& g, RECT* box, Gdiplus::SolidBrush* brush);

    // Loads the state images by resource id; nothing changes when normal is 0,
    // a 0 leaves that state empty.
    void SetImages(int normal, int hover, int pressed, int disabled);
    // The same with images decoded already, for the usual pair: pressed looks
    // as hover, disabled as normal. Nothing changes when normal is null.
    void SetImages(std::shared_ptr<Gdiplus::Image> normal, std::shared_ptr<Gdiplus::Image> hover);
    // Takes normal and hover looks from the two halves of a horizontal strip.
    void SplitStrip(int stripId);
    // Text colours per look; a colour with alpha 0 leaves that look's brush empty.
    void SetTextColors(Gdiplus::ARGB normal, Gdiplus::ARGB hover, Gdiplus::ARGB pressed);
    // Copies the caption, cut to 255 characters.
    void SetText(const wchar_t* text);

    DpiScale scale;
    int anchorRight = -1;
    int anchorBottom = -1;
    int id;
    RECT rect;
    bool visible = true;
    // Made with the first non-empty caption; null while there is none.
    std::unique_ptr<Gdiplus::Font> font;
    wchar_t text[kTextCapacity];
    HWND hwndOwner;
    // Looks that name the same image share one decoded copy.
    std::shared_ptr<Gdiplus::Image> imgNormal;
    std::shared_ptr<Gdiplus::Image> imgHover;
    std::shared_ptr<Gdiplus::Image> imgPressed;
    std::shared_ptr<Gdiplus::Image> imgDisabled;
    std::unique_ptr<Gdiplus::Image> imgStrip;
    std::unique_ptr<Gdiplus::SolidBrush> textNormal;
    std::unique_ptr<Gdiplus::SolidBrush> textHover;
    std::unique_ptr<Gdiplus::SolidBrush> textPressed;
};
