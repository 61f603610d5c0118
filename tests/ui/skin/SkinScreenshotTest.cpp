// A sample skinned window with the client's buttons, statics and an open menu,
// shown under Xvfb and saved as build/artifacts/skin-widgets.png.

#include "SkinTestSupport.h"
#include "ui/skin/CImageMenu.h"

#include <gtest/gtest.h>

namespace {
// Title text and a caption drawn in the foreground pass, as the frames do.
class SampleWindow : public skintest::TestImageWindow {
public:
    void OnPaintForeground(Gdiplus::Graphics& g) override
    {
        Gdiplus::Font font(L"宋体", 9.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPoint);
        Gdiplus::SolidBrush white(Gdiplus::Color(0xFFFFFFFF));
        Gdiplus::StringFormat format;
        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
        g.DrawString(L"Morvane网页版 - 皮肤控件", -1, &font, Gdiplus::RectF(22, 4, 300, 20), &format, &white);
    }
};

COLORREF ScreenPixel(int x, int y)
{
    HDC screen = GetDC(nullptr);
    const COLORREF pixel = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return pixel;
}

bool Near(COLORREF a, COLORREF b, int tolerance)
{
    return abs(GetRValue(a) - GetRValue(b)) <= tolerance && abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}
} // namespace

TEST(SkinScreenshot, SampleWindowWithButtonsStaticsAndAnOpenMenu)
{
    test::ThreadManager manager;
    SampleWindow window;
    const int left = 40, top = 40, width = 600, height = 340;
    ASSERT_TRUE(window.CreatePopup(left, top, width, height));
    CImagePaint& paint = window.paint;
    paint.SetBackgroundColor(0xFF132B50);

    // Title bar: stretched background, icon, glyph buttons and link strips.
    CImageStatic* bar = paint.AddStatic(217, 10011, true, RECT{0, 0, 1366, 25});
    bar->anchorRight = 0;
    bar->fixedLeft = 0;
    paint.AddStatic(137, 10012, false, RECT{5, 5, 21, 21});
    const int r = width;
    struct Glyph {
        int id, normal, hover, left, anchor;
    };
    for (Glyph g : {Glyph{10, 209, 210, r - 25, 1}, Glyph{30, 211, 212, r - 50, 25}, Glyph{40, 215, 216, r - 50, 25},
                    Glyph{20, 213, 214, r - 75, 48}, Glyph{10013, 196, 208, r - 98, 71}})
        paint.AddButton(g.id, 0, g.normal, g.hover, g.hover, g.normal, g.left, 0, g.left + 25, 25)->anchorRight =
            g.anchor;
    paint.FindButton(40)->visible = false;
    int linkRight = r - 86;
    for (int strip : {138, 139, 140, 141}) {
        CImageButton* link = paint.AddButton(10019 + strip - 138, 0, 0, 0, 0, 0, linkRight - 41, 2, linkRight, 24);
        link->SplitStrip(strip);
        linkRight -= 45;
    }

    // Launcher picture buttons and the close-confirmation panel with its buttons.
    const int pictures[4][2] = {{131, 155}, {132, 151}, {133, 152}, {134, 156}};
    for (int i = 0; i < 4; ++i)
        paint.AddButton(1003 + i, 0, pictures[i][0], pictures[i][1], pictures[i][1], pictures[i][0], 20 + i * 94, 50,
                        104 + i * 94, 74);
    paint.AddButton(1002, 0, 130, 153, 153, 130, 400, 48, 428, 76);
    paint.AddButton(21, 0, 135, 154, 154, 135, 440, 51, 463, 74);
    paint.AddStatic(142, 1011, false, RECT{285, 125, 580, 315});
    paint.AddButton(1001, 0, 144, 146, 146, 144, 335, 225, 403, 260);
    paint.AddButton(1000, 0, 147, 148, 148, 147, 463, 225, 531, 260);
    SendMessageW(window.m_hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));
    UpdateWindow(window.m_hWnd);

    // The popup menu, open with its second entry hovered.
    CImageMenu menu;
    menu.SetClassName(L"zarvo_menu");
    menu.paint.rowHeight = 24;
    const std::pair<int, const wchar_t*> rows[] = {{10014, L"清除缓存"}, {10015, L"刷新"}, {10016, L"老板键(Alt+D)"}};
    for (const auto& [id, text] : rows)
        menu.paint.AddRow(id)
            ->AddButton(id, text, 0, 0, 0, 0, 1, 1, 94, 94)
            ->SetTextColors(0xFF0C0C0C, 0xFF0C0C0C, 0xFF0C0C0C);
    menu.paint.SetHoverColor(0xFF9CD0FE);
    menu.Popup(left + 60, top + 130);
    CImageItem* hovered = menu.paint.AddRow(10015);
    hovered->hovered = true;
    InvalidateRect(menu.m_hWnd, nullptr, TRUE);
    UpdateWindow(menu.m_hWnd);

    // The mouse over the first picture button shows its hover look.
    skintest::MouseMove(window.m_hWnd, 30, 60);
    ASSERT_EQ(paint.hotButton, paint.FindButton(1003));
    UpdateWindow(window.m_hWnd);
    test::PumpPending();

    const RECT shot = {left, top, left + width, top + height};
    const std::wstring path = test::ArtifactFolder() + L"\\skin-widgets.png";
    ASSERT_TRUE(test::SaveScreenRect(shot, path));
    EXPECT_NE(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);

    // What the screen shows: the body colour, the menu's colours, the title
    // bar and the hovered picture button (its gold hover face, not the blue one).
    EXPECT_TRUE(Near(ScreenPixel(left + 300, top + 100), RGB(0x13, 0x2B, 0x50), 2));
    EXPECT_TRUE(Near(ScreenPixel(left + 60 + 92, top + 130 + 12), RGB(0xED, 0xF3, 0xFA), 2)) << "menu background";
    EXPECT_TRUE(Near(ScreenPixel(left + 60 + 92, top + 130 + 36), RGB(0x9C, 0xD0, 0xFE), 2)) << "hovered entry";
    const COLORREF barPixel = ScreenPixel(left + 200, top + 12);
    EXPECT_LT(GetRValue(barPixel), 0x40) << "title bar is night blue";
    EXPECT_GT(GetBValue(barPixel), GetRValue(barPixel));
    const COLORREF hoverFace = ScreenPixel(left + 30, top + 56);
    EXPECT_GT(GetRValue(hoverFace), 0xC0) << "the hovered button shows gold";
    const COLORREF normalFace = ScreenPixel(left + 124, top + 56);
    EXPECT_LT(GetRValue(normalFace), 0x80) << "its neighbour keeps the blue normal face";

    DestroyWindow(menu.m_hWnd);
    DestroyWindow(window.m_hWnd);
    SetCursorPos(1270, 790);
    test::PumpPending();
}
