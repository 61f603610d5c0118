// Image items drawn into real 32-bit surfaces: which image and text colour each
// look shows, strips cut into frames, rows placing their sub-buttons, statics
// stretched without soft edges.

#include "SkinTestSupport.h"
#include "ui/skin/CImageButton.h"
#include "ui/skin/CImageItem.h"
#include "ui/skin/CImagePaintEx.h"
#include "ui/skin/CImageStatic.h"

#include <gtest/gtest.h>

#include <string>

using skintest::Alpha;
using skintest::PixelSurface;

namespace {
constexpr RECT kNoPlacement = {};

enum class Look { Normal, Hover, Pressed };

// Draws the button in one look into a fresh surface.
void DrawLook(CImageButton& button, Look look, PixelSurface& surface)
{
    auto g = surface.Graphics();
    const bool inside = look != Look::Normal;
    button.Draw(*g, inside ? 10 : -1, inside ? 10 : -1, look == Look::Pressed, kNoPlacement);
}

// The image drawn the way a button draws it, for comparison.
void DrawImageAt(int imageId, const RECT& r, PixelSurface& surface)
{
    auto image = LoadPngResource(imageId);
    auto g = surface.Graphics();
    g->DrawImage(image.get(), static_cast<INT>(r.left), static_cast<INT>(r.top), static_cast<INT>(r.right - r.left),
                 static_cast<INT>(r.bottom - r.top));
}

int CountPixels(const PixelSurface& s, bool (*match)(DWORD))
{
    GdiFlush();
    int n = 0;
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            n += match(s.At(x, y));
    return n;
}

bool IsRed(DWORD p)
{
    return Alpha(p) > 128 && skintest::Red(p) > 160 && skintest::Green(p) < 80 && skintest::Blue(p) < 80;
}
bool IsGreen(DWORD p)
{
    return Alpha(p) > 128 && skintest::Green(p) > 160 && skintest::Red(p) < 80 && skintest::Blue(p) < 80;
}
bool IsBlue(DWORD p)
{
    return Alpha(p) > 128 && skintest::Blue(p) > 160 && skintest::Red(p) < 80 && skintest::Green(p) < 80;
}
bool IsDrawn(DWORD p) { return p != 0; }
} // namespace

TEST(ButtonLooks, OnlyANormalImageShowsInEveryLook)
{
    test::ThreadManager manager;
    CImageButton button(nullptr, 7, 0, 0, 84, 24, L"");
    button.SetImages(131, 0, 0, 0);
    PixelSurface expected(84, 24);
    DrawImageAt(131, button.rect, expected);
    for (Look look : {Look::Normal, Look::Hover, Look::Pressed}) {
        PixelSurface drawn(84, 24);
        DrawLook(button, look, drawn);
        EXPECT_TRUE(drawn.SameAs(expected)) << "look " << static_cast<int>(look);
    }
}

TEST(ButtonLooks, PressedFallsBackToTheHoverImage)
{
    test::ThreadManager manager;
    CImageButton button(nullptr, 7, 0, 0, 84, 24, L"");
    button.SetImages(131, 155, 0, 0);
    PixelSurface normal(84, 24), hover(84, 24), pressed(84, 24), hoverImage(84, 24);
    DrawLook(button, Look::Normal, normal);
    DrawLook(button, Look::Hover, hover);
    DrawLook(button, Look::Pressed, pressed);
    DrawImageAt(155, button.rect, hoverImage);
    EXPECT_TRUE(hover.SameAs(hoverImage));
    EXPECT_TRUE(pressed.SameAs(hoverImage)) << "no pressed image: the hover image shows while pressed";
    EXPECT_FALSE(normal.SameAs(hoverImage)) << "hover must look different from normal";

    // With a pressed image of its own, that one shows.
    button.SetImages(131, 155, 133, 0);
    PixelSurface ownPressed(84, 24), pressedImage(84, 24);
    DrawLook(button, Look::Pressed, ownPressed);
    DrawImageAt(133, button.rect, pressedImage);
    EXPECT_TRUE(ownPressed.SameAs(pressedImage));
}

TEST(ButtonLooks, SetImagesWithoutNormalImageChangesNothing)
{
    test::ThreadManager manager;
    CImageButton button(nullptr, 7, 0, 0, 84, 24, L"");
    button.SetImages(131, 155, 0, 0);
    button.SetImages(0, 132, 132, 0);
    PixelSurface hover(84, 24), hoverImage(84, 24);
    DrawLook(button, Look::Hover, hover);
    DrawImageAt(155, button.rect, hoverImage);
    EXPECT_TRUE(hover.SameAs(hoverImage));
}

TEST(ButtonText, ColourWithAlphaZeroFallsBackOrHides)
{
    test::ThreadManager manager;
    CImageButton button(nullptr, 7, 0, 0, 68, 35, L"确定");
    // Hover colour with alpha 0: the hover look uses the normal colour.
    button.SetTextColors(0xFFFF0000, 0x0000FF00, 0xFF0000FF);
    PixelSurface normal(68, 35), hover(68, 35), pressed(68, 35);
    DrawLook(button, Look::Normal, normal);
    DrawLook(button, Look::Hover, hover);
    DrawLook(button, Look::Pressed, pressed);
    EXPECT_GT(CountPixels(normal, IsRed), 5) << "the caption is drawn";
    EXPECT_GT(CountPixels(hover, IsRed), 5);
    EXPECT_EQ(CountPixels(hover, IsGreen), 0);
    EXPECT_GT(CountPixels(pressed, IsBlue), 5);
    EXPECT_EQ(CountPixels(pressed, IsRed), 0);

    // Normal colour with alpha 0: no text at all in the normal look.
    button.SetTextColors(0x00FF0000, 0xFF00FF00, 0);
    PixelSurface hidden(68, 35), shown(68, 35), pressedDefault(68, 35);
    DrawLook(button, Look::Normal, hidden);
    DrawLook(button, Look::Hover, shown);
    DrawLook(button, Look::Pressed, pressedDefault);
    EXPECT_EQ(CountPixels(hidden, IsDrawn), 0);
    EXPECT_GT(CountPixels(shown, IsGreen), 5);
    EXPECT_EQ(CountPixels(pressedDefault, IsDrawn), 0) << "pressed falls back to the (empty) normal brush";
}

TEST(ButtonText, LongTextIsCutAt255Characters)
{
    test::ThreadManager manager;
    const std::wstring longText(300, L'字');
    CImageButton button(nullptr, 7, 0, 0, 68, 35, longText.c_str());
    EXPECT_EQ(std::wstring(button.text).size(), 255u);
    EXPECT_EQ(button.text[255], L'\0');
    button.SetText(L"取消");
    EXPECT_STREQ(button.text, L"取消");
}

TEST(ButtonLooks, HiddenButtonDrawsNothing)
{
    test::ThreadManager manager;
    CImageButton button(nullptr, 7, 0, 0, 84, 24, L"文字");
    button.SetImages(131, 155, 0, 0);
    button.visible = false;
    PixelSurface drawn(84, 24);
    DrawLook(button, Look::Hover, drawn);
    EXPECT_EQ(CountPixels(drawn, IsDrawn), 0);
}

TEST(ImageStrip, OddWidthSplitsIntoTwoFramesOfTheIntegerHalf)
{
    test::ThreadManager manager;
    // Test strip: 20 red columns, 20 green, 1 blue (41 wide).
    CImageButton button(nullptr, 7, 0, 0, 20, 22, L"");
    button.SplitStrip(4141);
    ASSERT_NE(button.imgStrip, nullptr);
    ASSERT_NE(button.imgNormal, nullptr);
    ASSERT_NE(button.imgHover, nullptr);
    EXPECT_EQ(button.imgNormal->GetWidth(), 20u);
    EXPECT_EQ(button.imgHover->GetWidth(), 20u);
    EXPECT_EQ(button.imgNormal->GetHeight(), 22u);
    EXPECT_EQ(button.imgPressed, nullptr);
    for (DWORD p : skintest::ImagePixels(button.imgNormal.get()))
        ASSERT_EQ(p, 0xFFFF0000u) << "frame 0 starts at x 0";
    for (DWORD p : skintest::ImagePixels(button.imgHover.get()))
        ASSERT_EQ(p, 0xFF00FF00u) << "frame 1 starts at x 20";

    PixelSurface pressed(20, 22);
    DrawLook(button, Look::Pressed, pressed);
    EXPECT_EQ(CountPixels(pressed, IsGreen), 20 * 22) << "pressed shows the hover frame";
}

TEST(RowDrawing, SubButtonIsPlacedInsideItsRow)
{
    test::ThreadManager manager;
    CImagePaintEx list;
    CImageItem row(&list, 10015, 24);
    row.AddButton(1, L"", 131, 0, 0, 0, 1, 1, 94, 94);
    EXPECT_EQ(row.AddButton(1, L"other", 132, 0, 0, 0, 0, 0, 5, 5), row.buttons.front().get())
        << "an existing sub-button is returned unchanged";
    PixelSurface surface(96, 96);
    {
        auto g = surface.Graphics();
        row.Draw(*g, 0, 48, 96, 72);
    }
    GdiFlush();
    // Inside the box (its stretched image may fade by a fraction at the edges).
    EXPECT_GT(Alpha(surface.At(1, 49)), 128);
    EXPECT_GT(Alpha(surface.At(93, 60)), 128);
    EXPECT_GT(Alpha(surface.At(50, 71)), 128);
    EXPECT_EQ(Alpha(surface.At(0, 49)), 0);
    EXPECT_EQ(Alpha(surface.At(94, 60)), 0);
    EXPECT_EQ(Alpha(surface.At(50, 48)), 0);
    EXPECT_EQ(Alpha(surface.At(50, 72)), 0) << "clipped to the row's bottom";
}

TEST(RowDrawing, HoveredOrSelectedRowIsFilledWithTheHoverColour)
{
    test::ThreadManager manager;
    CImagePaintEx list;
    list.SetHoverColor(0xFF9CD0FE);
    CImageItem row(&list, 1, 24);
    PixelSurface plain(96, 24), hovered(96, 24);
    {
        auto g = plain.Graphics();
        row.Draw(*g, 0, 0, 96, 24);
    }
    row.hovered = true;
    {
        auto g = hovered.Graphics();
        row.Draw(*g, 0, 0, 96, 24);
    }
    GdiFlush();
    EXPECT_EQ(plain.At(40, 10), 0u);
    EXPECT_EQ(hovered.At(40, 10), 0xFF9CD0FEu);
}

namespace {
// A 4 x 4 opaque red bitmap.
std::unique_ptr<Gdiplus::Image> SmallRedImage()
{
    auto bitmap = std::make_unique<Gdiplus::Bitmap>(4, 4, PixelFormat32bppARGB);
    Gdiplus::Graphics g(bitmap.get());
    Gdiplus::SolidBrush red(Gdiplus::Color(0xFFFF0000));
    g.FillRectangle(&red, 0, 0, 4, 4);
    return bitmap;
}
} // namespace

TEST(StaticDrawing, EdgeSafeStretchKeepsTheEdgesOpaque)
{
    test::ThreadManager manager;
    CImageStatic item;
    item.image = SmallRedImage();
    item.rect = RECT{0, 0, 100, 60};
    item.stretchEdgeSafe = true;
    PixelSurface surface(100, 60);
    {
        auto g = surface.Graphics();
        item.Draw(*g, kNoPlacement);
    }
    GdiFlush();
    for (POINT p : {POINT{0, 0}, POINT{99, 0}, POINT{0, 59}, POINT{99, 59}, POINT{0, 30}, POINT{50, 59}}) {
        EXPECT_GE(Alpha(surface.At(p.x, p.y)), 250) << p.x << "," << p.y;
        EXPECT_TRUE(IsRed(surface.At(p.x, p.y))) << p.x << "," << p.y;
    }
}

TEST(StaticDrawing, HiddenStaticOrMissingImageDrawsNothing)
{
    test::ThreadManager manager;
    CImageStatic item;
    item.rect = RECT{0, 0, 10, 10};
    PixelSurface surface(10, 10);
    {
        auto g = surface.Graphics();
        item.Draw(*g, kNoPlacement);
        item.image = SmallRedImage();
        item.visible = false;
        item.Draw(*g, kNoPlacement);
    }
    EXPECT_EQ(CountPixels(surface, IsDrawn), 0);
}
