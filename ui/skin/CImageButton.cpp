#include "ui/skin/CImageButton.h"

#include "ui/skin/CSkinBitmap.h"
#include "ui/skin/SkinImage.h"

#include <strsafe.h>

namespace {
// "宋体" 9 pt at the window's scale, or the generic sans-serif family where
// that cannot be found; null when the system has no font family at all.
std::unique_ptr<Gdiplus::Font> CreateButtonFont(const DpiScale& scale)
{
    const float size = scale.FontPixels(9.0f);
    auto font = std::make_unique<Gdiplus::Font>(L"宋体", size, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    if (font->GetLastStatus() == Gdiplus::Ok)
        return font;
    const Gdiplus::FontFamily* generic = Gdiplus::FontFamily::GenericSansSerif();
    if (!generic || generic->GetLastStatus() != Gdiplus::Ok || !generic->IsAvailable())
        return nullptr;
    font = std::make_unique<Gdiplus::Font>(generic, size, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    return font->GetLastStatus() == Gdiplus::Ok ? std::move(font) : nullptr;
}

std::unique_ptr<Gdiplus::SolidBrush> BrushIfVisible(Gdiplus::ARGB color)
{
    // Alpha 0 means "no text in this look".
    if (color <= 0x00FFFFFF)
        return nullptr;
    return std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(color));
}
} // namespace

CImageButton::CImageButton(HWND owner, int id, int left, int top, int right, int bottom, const wchar_t* text,
                           DpiScale scale)
    : scale(scale), id(id), rect{left, top, right, bottom}, hwndOwner(owner),
      textNormal(std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(0xFF000000)))
{
    SetText(text);
}

CImageButton::~CImageButton() = default;

void CImageButton::SetText(const wchar_t* newText)
{
    ZeroMemory(text, sizeof(text));
    // Bounded copy: a longer text is cut, never written past the buffer.
    StringCchPrintfW(text, kTextCapacity, L"%s", newText ? newText : L"");
    // The font comes with the first caption: a picture button never needs one,
    // and the process's first font lookup, which loads the system's font list,
    // is then not paid before the launcher shows.
    if (text[0] != L'\0' && !font)
        font = CreateButtonFont(scale);
}

void CImageButton::SetRect(int left, int top, int right, int bottom) { rect = RECT{left, top, right, bottom}; }

bool CImageButton::HitDetail(int, int) { return false; }

RECT* CImageButton::GetDetailRect(RECT* out)
{
    if (out)
        *out = RECT{0, 0, 0, 0};
    return out;
}

void CImageButton::SetImages(int normal, int hover, int pressed, int disabled)
{
    if (normal == 0)
        return;
    // Buttons usually repeat their images (pressed as hover, disabled as
    // normal): each distinct id is decoded once.
    const int ids[4] = {normal, hover, pressed, disabled};
    std::shared_ptr<Gdiplus::Image> images[4];
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < i && !images[i]; ++j) {
            if (ids[j] == ids[i])
                images[i] = images[j];
        }
        if (!images[i])
            images[i] = LoadPngResource(ids[i], scale.Dpi());
    }
    imgNormal = images[0];
    imgHover = images[1];
    imgPressed = images[2];
    imgDisabled = images[3];
}

void CImageButton::SetImages(std::shared_ptr<Gdiplus::Image> normal, std::shared_ptr<Gdiplus::Image> hover)
{
    if (!normal)
        return;
    imgNormal = normal;
    imgHover = hover;
    imgPressed = hover;
    imgDisabled = std::move(normal);
}

void CImageButton::SplitStrip(int stripId)
{
    imgStrip.reset();
    imgNormal.reset();
    imgHover.reset();
    imgStrip = LoadPngResource(stripId, scale.Dpi());
    if (!imgStrip)
        return;
    const int half = static_cast<int>(imgStrip->GetWidth()) / 2;
    const int height = static_cast<int>(imgStrip->GetHeight());
    imgNormal = CropImage(imgStrip.get(), 0, half, height);
    imgHover = CropImage(imgStrip.get(), half, half, height);
}

void CImageButton::SetTextColors(Gdiplus::ARGB normal, Gdiplus::ARGB hover, Gdiplus::ARGB pressed)
{
    textNormal = BrushIfVisible(normal);
    textHover = BrushIfVisible(hover);
    textPressed = BrushIfVisible(pressed);
}

void CImageButton::Draw(Gdiplus::Graphics& g, int mouseX, int mouseY, bool leftPressed, RECT placement)
{
    if (!visible)
        return;
    const RECT r = placement.left != placement.right ? placement : rect;
    const POINT mouse = {mouseX, mouseY};
    const bool inside = PtInRect(&r, mouse) != FALSE;
    const bool pressed = inside && leftPressed;
    const bool hover = inside && !leftPressed;

    Gdiplus::Image* image = imgNormal.get();
    Gdiplus::SolidBrush* brush = textNormal.get();
    if (hover) {
        if (imgHover)
            image = imgHover.get();
        if (textHover)
            brush = textHover.get();
    } else if (pressed) {
        if (imgPressed)
            image = imgPressed.get();
        else if (imgHover)
            image = imgHover.get();
        if (textPressed)
            brush = textPressed.get();
    }
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (image) {
        const bool ownSize =
            image->GetWidth() == static_cast<UINT>(width) && image->GetHeight() == static_cast<UINT>(height);
        if (!ownSize || !BlendSkinBitmap(g, image, r.left, r.top, 0, 0, width, height))
            g.DrawImage(image, static_cast<INT>(r.left), static_cast<INT>(r.top), width, height);
    }
    RECT box = r;
    DrawText(g, &box, brush);
}

void CImageButton::DrawText(Gdiplus::Graphics& g, RECT* box, Gdiplus::SolidBrush* brush)
{
    if (text[0] == L'\0' || !box || !brush || !font)
        return;
    Gdiplus::StringFormat format;
    format.SetAlignment(Gdiplus::StringAlignmentCenter);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    format.SetTrimming(Gdiplus::StringTrimmingEllipsisWord);
    const int top = box->top + scale(2);
    const Gdiplus::RectF layout(static_cast<float>(box->left), static_cast<float>(top),
                                static_cast<float>(box->right - box->left),
                                static_cast<float>(box->bottom - scale(1) - top));
    g.DrawString(text, -1, font.get(), layout, &format, brush);
}
