// The window painter in real windows under real messages: hover, press and
// click routing, the caption drag, double-click maximise, right clicks,
// re-anchoring on resize, and the layered image it pushes.

#include "SkinTestSupport.h"

#include <gtest/gtest.h>

using skintest::Alpha;
using skintest::Click;
using skintest::MouseMessage;
using skintest::MouseMove;
using skintest::TestImageWindow;

namespace {
// A 300 x 200 skinned popup at (100, 100) with one 84 x 24 button.
class PainterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(window.CreatePopup(100, 100, 300, 200));
        button = window.paint.AddButton(7, 0, 131, 155, 0, 0, 50, 60, 134, 84);
        test::PumpPending();
    }
    void TearDown() override
    {
        if (window.m_hWnd)
            DestroyWindow(window.m_hWnd);
        // Park the cursor away from every test window.
        SetCursorPos(1270, 790);
        test::PumpPending();
    }
    HWND hwnd() const { return window.m_hWnd; }

    test::ThreadManager manager;
    TestImageWindow window;
    CImageButton* button = nullptr;
};
} // namespace

TEST_F(PainterTest, HoverPressAndReleaseOnOneButtonClicksIt)
{
    MouseMove(hwnd(), 60, 70);
    EXPECT_EQ(window.paint.hotButton, button);
    EXPECT_EQ(window.Count("hover 7"), 1);
    MouseMessage(hwnd(), WM_LBUTTONDOWN, 60, 70);
    EXPECT_EQ(window.Count("down 7"), 1);
    EXPECT_TRUE(window.paint.leftPressed);
    EXPECT_EQ(GetCapture(), hwnd()) << "the press captures the mouse";
    MouseMessage(hwnd(), WM_LBUTTONUP, 61, 71);
    EXPECT_EQ(window.Count("click 7"), 1);
    EXPECT_FALSE(window.paint.leftPressed);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(window.paint.hotButton, button) << "the mouse still lies on the button";
}

TEST_F(PainterTest, PressDragAndReleaseOutsideGivesNoClick)
{
    MouseMove(hwnd(), 60, 70);
    MouseMessage(hwnd(), WM_LBUTTONDOWN, 60, 70);
    MouseMove(hwnd(), 200, 150);
    EXPECT_EQ(window.paint.hotButton, button) << "no new hot button while the press lasts";
    MouseMessage(hwnd(), WM_LBUTTONUP, 200, 150);
    EXPECT_EQ(window.Count("click 7"), 0);
    EXPECT_EQ(window.paint.hotButton, nullptr);
    EXPECT_EQ(window.paint.mouseX, -1);
    EXPECT_EQ(window.paint.mouseY, -1);
}

TEST_F(PainterTest, ReleaseOnAnotherButtonClicksNeither)
{
    window.paint.AddButton(8, 0, 132, 151, 0, 0, 150, 60, 234, 84);
    MouseMove(hwnd(), 60, 70);
    MouseMessage(hwnd(), WM_LBUTTONDOWN, 60, 70);
    MouseMove(hwnd(), 160, 70);
    MouseMessage(hwnd(), WM_LBUTTONUP, 160, 70);
    EXPECT_EQ(window.Count("click 7"), 0);
    EXPECT_EQ(window.Count("click 8"), 0);
}

TEST_F(PainterTest, HiddenButtonIsNeitherHotNorClicked)
{
    button->visible = false;
    Click(hwnd(), 60, 70);
    EXPECT_EQ(window.paint.hotButton, nullptr);
    EXPECT_TRUE(window.events.empty());
}

TEST_F(PainterTest, IdsFrom100To250NeverBecomeHot)
{
    struct Case {
        int id;
        bool hot;
    };
    for (Case c : {Case{99, true}, Case{100, false}, Case{150, false}, Case{250, false}, Case{251, true}}) {
        SCOPED_TRACE("id " + std::to_string(c.id));
        window.paint.RemoveButton(7);
        window.paint.RemoveButton(99);
        window.paint.RemoveButton(100);
        window.paint.RemoveButton(150);
        window.paint.RemoveButton(250);
        window.events.clear();
        CImageButton* b = window.paint.AddButton(c.id, 0, 131, 155, 0, 0, 50, 60, 134, 84);
        MouseMove(hwnd(), 10, 10); // off the button first
        Click(hwnd(), 60, 70);
        EXPECT_EQ(window.paint.hotButton == b, c.hot);
        EXPECT_EQ(window.Count("click " + std::to_string(c.id)), c.hot ? 1 : 0);
        EXPECT_EQ(window.Count("hover " + std::to_string(c.id)), c.hot ? 1 : 0);
    }
}

TEST_F(PainterTest, ClickAnsweredFalseStopsTheBuiltInButtons)
{
    window.paint.RemoveButton(7);
    window.paint.AddButton(10, 0, 209, 210, 0, 0, 275, 0, 300, 25);
    window.paint.AddButton(30, 0, 211, 212, 0, 0, 250, 0, 275, 25);
    window.paint.AddButton(40, 0, 215, 216, 0, 0, 250, 0, 275, 25)->visible = false;
    window.paint.AddButton(20, 0, 213, 214, 0, 0, 225, 0, 250, 25);
    window.clickAnswer = false;
    Click(hwnd(), 260, 10);
    Click(hwnd(), 235, 10);
    Click(hwnd(), 285, 10);
    EXPECT_EQ(window.Count("click 30"), 1);
    EXPECT_EQ(window.Count("click 20"), 1);
    EXPECT_EQ(window.Count("click 10"), 1);
    EXPECT_TRUE(IsWindow(hwnd()));
    EXPECT_FALSE(IsZoomed(hwnd()));
    EXPECT_FALSE(IsIconic(hwnd()));

    window.clickAnswer = true;
    Click(hwnd(), 260, 10);
    EXPECT_TRUE(IsZoomed(hwnd())) << "button 30 maximises";
    EXPECT_FALSE(window.paint.FindButton(30)->visible);
    EXPECT_TRUE(window.paint.FindButton(40)->visible);
    // Maximised, the buttons did not move (no anchors): 40 now sits under the mouse.
    MouseMove(hwnd(), 261, 11);
    Click(hwnd(), 261, 11);
    EXPECT_EQ(window.Count("click 40"), 1);
    EXPECT_FALSE(IsZoomed(hwnd())) << "button 40 restores";
    EXPECT_TRUE(window.paint.FindButton(30)->visible);

    Click(hwnd(), 235, 10);
    EXPECT_TRUE(IsIconic(hwnd())) << "button 20 minimises";
    ShowWindow(hwnd(), SW_RESTORE);
    test::PumpPending();

    HWND closed = hwnd();
    Click(closed, 285, 10);
    EXPECT_FALSE(IsWindow(closed)) << "button 10 destroys the window";
    EXPECT_EQ(window.paint.hwnd, nullptr) << "the painter was cleared with the window";
    EXPECT_TRUE(window.paint.buttons.empty());
}

TEST_F(PainterTest, ToggleMaximizeNeedsBothGlyphButtons)
{
    window.paint.AddButton(30, 0, 211, 212, 0, 0, 250, 0, 275, 25);
    window.paint.ToggleMaximize();
    EXPECT_FALSE(IsZoomed(hwnd()));
    window.paint.AddButton(40, 0, 215, 216, 0, 0, 250, 0, 275, 25);
    window.paint.ToggleMaximize();
    EXPECT_TRUE(IsZoomed(hwnd()));
    window.paint.RemoveButton(30);
    window.paint.ToggleMaximize();
    EXPECT_TRUE(IsZoomed(hwnd())) << "without button 30 not even a restore happens";
}

TEST_F(PainterTest, CaptionDragStartsOnRow40NotOnRow41)
{
    window.paint.draggable = true;
    MouseMove(hwnd(), 150, 40);
    MouseMessage(hwnd(), WM_LBUTTONDOWN, 150, 40);
    test::PumpUntil([&] { return window.dragRequests > 0; }, 1000);
    MouseMessage(hwnd(), WM_LBUTTONUP, 150, 40);
    EXPECT_EQ(window.dragRequests, 1);

    MouseMove(hwnd(), 150, 41);
    MouseMessage(hwnd(), WM_LBUTTONDOWN, 150, 41);
    MouseMessage(hwnd(), WM_LBUTTONUP, 150, 41);
    test::PumpPending();
    EXPECT_EQ(window.dragRequests, 1) << "row 41 is not caption";

    window.paint.draggable = false;
    MouseMessage(hwnd(), WM_LBUTTONDOWN, 150, 10);
    MouseMessage(hwnd(), WM_LBUTTONUP, 150, 10);
    test::PumpPending();
    EXPECT_EQ(window.dragRequests, 1) << "a window that is not draggable never drags";
}

TEST_F(PainterTest, PressOnAButtonInTheCaptionRowsDoesNotDrag)
{
    window.paint.draggable = true;
    button->SetRect(50, 10, 134, 34);
    Click(hwnd(), 60, 20);
    test::PumpPending();
    EXPECT_EQ(window.Count("click 7"), 1);
    EXPECT_EQ(window.dragRequests, 0);
}

TEST_F(PainterTest, CaptionRectangleReplacesTheTopRows)
{
    window.paint.draggable = true;
    window.paint.captionRect = RECT{0, 100, 300, 200};
    MouseMessage(hwnd(), WM_LBUTTONDOWN, 150, 20);
    MouseMessage(hwnd(), WM_LBUTTONUP, 150, 20);
    MouseMessage(hwnd(), WM_LBUTTONDOWN, 150, 150);
    MouseMessage(hwnd(), WM_LBUTTONUP, 150, 150);
    test::PumpPending();
    EXPECT_EQ(window.dragRequests, 1) << "only the caption rectangle drags";
}

TEST_F(PainterTest, DoubleClickInTheCaptionRowsTogglesMaximise)
{
    window.paint.draggable = true;
    window.paint.AddButton(30, 0, 211, 212, 0, 0, 250, 0, 275, 25);
    window.paint.AddButton(40, 0, 215, 216, 0, 0, 250, 0, 275, 25)->visible = false;
    MouseMessage(hwnd(), WM_LBUTTONDBLCLK, 150, 41);
    EXPECT_FALSE(IsZoomed(hwnd()));
    MouseMessage(hwnd(), WM_LBUTTONDBLCLK, 150, 40);
    EXPECT_TRUE(IsZoomed(hwnd()));
    MouseMessage(hwnd(), WM_LBUTTONDBLCLK, 150, 0);
    EXPECT_FALSE(IsZoomed(hwnd()));
}

TEST_F(PainterTest, RightPressAndReleaseOnTheButtonIsARightClick)
{
    MouseMove(hwnd(), 60, 70);
    MouseMessage(hwnd(), WM_RBUTTONDOWN, 60, 70);
    EXPECT_EQ(window.Count("rdown 7"), 1);
    EXPECT_TRUE(window.paint.rightPressed);
    EXPECT_EQ(GetCapture(), hwnd());
    MouseMessage(hwnd(), WM_RBUTTONUP, 60, 70);
    EXPECT_EQ(window.Count("rclick 7"), 1);
    EXPECT_FALSE(window.paint.rightPressed);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(window.Count("click 7"), 0) << "a right click is no click";

    // Released away from the button: no right click, and the hover ends.
    MouseMessage(hwnd(), WM_RBUTTONDOWN, 60, 70);
    MouseMessage(hwnd(), WM_RBUTTONUP, 200, 150);
    EXPECT_EQ(window.Count("rclick 7"), 1);
    EXPECT_EQ(window.paint.hotButton, nullptr);
}

TEST_F(PainterTest, MouseLeaveEndsTheHover)
{
    MouseMove(hwnd(), 60, 70);
    ASSERT_EQ(window.paint.hotButton, button);
    ASSERT_TRUE(window.paint.tracking);
    // The real pointer leaves the window: the system reports WM_MOUSELEAVE.
    SetCursorPos(1000, 700);
    ASSERT_TRUE(test::PumpUntil([&] { return !window.paint.tracking; }, 3000)) << "WM_MOUSELEAVE arrived";
    EXPECT_EQ(window.paint.hotButton, nullptr);
    EXPECT_EQ(window.paint.mouseX, -1);
}

// A pointer resting over a button is watched until it leaves; one resting
// where no button is is not watched at all (Wine polls for the leaving), until
// it moves again.
TEST_F(PainterTest, APointerRestingAwayFromTheButtonsIsNotWatched)
{
    MouseMove(hwnd(), 60, 70);
    SendMessageW(hwnd(), WM_MOUSEHOVER, 0, MAKELPARAM(60, 70));
    EXPECT_TRUE(window.paint.tracking) << "over the button: its hover look ends when the pointer goes";
    MouseMove(hwnd(), 250, 150);
    ASSERT_EQ(window.paint.hotButton, nullptr);
    SendMessageW(hwnd(), WM_MOUSEHOVER, 0, MAKELPARAM(250, 150));
    EXPECT_FALSE(window.paint.tracking);
    EXPECT_EQ(window.paint.mouseX, -1);
    MouseMove(hwnd(), 60, 70);
    EXPECT_TRUE(window.paint.tracking);
    EXPECT_EQ(window.paint.hotButton, button);
}

TEST_F(PainterTest, AWindowHiddenAndShownAgainForgetsItsHotButton)
{
    // As the boss key does it: hidden with the pointer on a button, shown
    // again, and the pointer moves onto the button at once.
    for (const bool throughWindowPos : {false, true}) {
        SCOPED_TRACE(throughWindowPos ? "hidden through SetWindowPos" : "hidden through ShowWindow");
        MouseMove(hwnd(), 60, 70);
        ASSERT_EQ(window.paint.hotButton, button);
        MouseMessage(hwnd(), WM_LBUTTONDOWN, 60, 70);
        ASSERT_EQ(GetCapture(), hwnd());
        const int hovers = window.Count("hover 7");
        if (throughWindowPos)
            SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
        else
            ShowWindow(hwnd(), SW_HIDE);
        EXPECT_EQ(window.paint.hotButton, nullptr);
        EXPECT_FALSE(window.paint.leftPressed) << "a press does not outlive the window's hiding";
        EXPECT_NE(GetCapture(), hwnd());
        ShowWindow(hwnd(), SW_SHOWNA);
        MouseMove(hwnd(), 61, 71);
        EXPECT_EQ(window.paint.hotButton, button);
        EXPECT_EQ(window.Count("hover 7"), hovers + 1) << "the move shows the hover look again";
        MouseMessage(hwnd(), WM_LBUTTONUP, 61, 71);
        EXPECT_EQ(window.Count("click 7"), 0) << "the release of a press from before the hiding clicks nothing";
    }
}

TEST_F(PainterTest, APressClicksTheButtonUnderItWhateverTheHoverSaid)
{
    // A leave message that arrives late, after the pointer came back (seen
    // under load when a hidden window is shown again), clears the hover.
    MouseMove(hwnd(), 60, 70);
    SendMessageW(hwnd(), WM_MOUSELEAVE, 0, 0);
    ASSERT_EQ(window.paint.hotButton, nullptr);
    MouseMessage(hwnd(), WM_LBUTTONDOWN, 60, 70);
    MouseMessage(hwnd(), WM_LBUTTONUP, 60, 70);
    EXPECT_EQ(window.Count("click 7"), 1) << "the press itself says where the pointer is";

    // The same for a right press, and for a press that no move came before.
    SendMessageW(hwnd(), WM_MOUSELEAVE, 0, 0);
    MouseMessage(hwnd(), WM_RBUTTONDOWN, 60, 70);
    MouseMessage(hwnd(), WM_RBUTTONUP, 60, 70);
    EXPECT_EQ(window.Count("rclick 7"), 1);

    // A press beside the button still presses nothing.
    SendMessageW(hwnd(), WM_MOUSELEAVE, 0, 0);
    MouseMessage(hwnd(), WM_LBUTTONDOWN, 200, 150);
    MouseMessage(hwnd(), WM_LBUTTONUP, 200, 150);
    EXPECT_EQ(window.Count("click 7"), 1);
    EXPECT_EQ(window.paint.hotButton, nullptr);
}

TEST_F(PainterTest, AddButtonAgainReloadsAndRemovalClearsTheHotButton)
{
    button->SetText(L"旧");
    EXPECT_EQ(window.paint.AddButton(7, 0, 132, 151, 0, 0, 10, 10, 94, 34), button);
    EXPECT_STREQ(button->text, L"");
    EXPECT_EQ(button->rect.left, 10);
    EXPECT_EQ(window.paint.buttons.size(), 1u);
    MouseMove(hwnd(), 20, 20);
    ASSERT_EQ(window.paint.hotButton, button);
    EXPECT_TRUE(window.paint.RemoveButton(7));
    EXPECT_EQ(window.paint.hotButton, nullptr);
    EXPECT_FALSE(window.paint.RemoveButton(7));
}

TEST_F(PainterTest, OnlyTheLauncherBackgroundStaticIsRemoved)
{
    window.paint.AddStatic(137, 10012, false, RECT{5, 5, 21, 21});
    window.paint.AddStatic(145, 1007, false, RECT{0, 0, 300, 200});
    EXPECT_TRUE(window.paint.RemoveBackgroundStatic());
    EXPECT_FALSE(window.paint.RemoveBackgroundStatic());
    ASSERT_EQ(window.paint.statics.size(), 1u);
    EXPECT_EQ(window.paint.statics[0]->id, 10012);
}

TEST_F(PainterTest, ResizeReanchorsButtonsAndStatics)
{
    CImageButton* close = window.paint.AddButton(10, 0, 209, 210, 0, 0, 275, 0, 300, 25);
    close->anchorRight = 1;
    CImageButton* corner = window.paint.AddButton(11, 0, 209, 210, 0, 0, 270, 170, 295, 195);
    corner->anchorRight = 5;
    corner->anchorBottom = 5;
    CImageStatic* bar = window.paint.AddStatic(217, 10011, true, RECT{0, 0, 1366, 25});
    bar->anchorRight = 0;
    bar->fixedLeft = 0;
    CImageStatic* footer = window.paint.AddStatic(137, 3, false, RECT{10, 180, 26, 196});
    footer->anchorBottom = 4;

    for (SIZE size : {SIZE{500, 300}, SIZE{240, 160}}) {
        SCOPED_TRACE(std::to_string(size.cx) + "x" + std::to_string(size.cy));
        MoveWindow(hwnd(), 100, 100, size.cx, size.cy, TRUE);
        test::PumpPending();
        EXPECT_EQ(close->rect.right, size.cx - 1);
        EXPECT_EQ(close->rect.left, size.cx - 26) << "width kept";
        EXPECT_EQ(close->rect.top, 0) << "no bottom anchor: the top stays";
        EXPECT_EQ(corner->rect.right, size.cx - 5);
        EXPECT_EQ(corner->rect.bottom, size.cy - 5);
        EXPECT_EQ(corner->rect.bottom - corner->rect.top, 25);
        EXPECT_EQ(bar->rect.left, 0);
        EXPECT_EQ(bar->rect.right, size.cx) << "the bar spans the whole width";
        EXPECT_EQ(footer->rect.bottom, size.cy - 4);
        EXPECT_EQ(footer->rect.bottom - footer->rect.top, 16) << "moves without stretching";
        EXPECT_EQ(footer->rect.left, 10);
    }
}

TEST_F(PainterTest, PaintPassFillsTheBackgroundAndDrawsTheForeground)
{
    window.paint.SetBackgroundColor(0xFF123456);
    window.foregroundPaints = 0;
    InvalidateRect(hwnd(), nullptr, TRUE);
    UpdateWindow(hwnd());
    EXPECT_GT(window.foregroundPaints, 0);
    HDC dc = GetDC(hwnd());
    const COLORREF pixel = GetPixel(dc, 5, 150);
    ReleaseDC(hwnd(), dc);
    EXPECT_EQ(pixel, RGB(0x12, 0x34, 0x56));
}

namespace {
// The launcher's window: full-window artwork and its six buttons, layered.
class LayeredTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(window.CreatePopup(20, 20, 1154, 704));
        window.paint.AddButton(20, 0, 135, 154, 154, 135, 1047, 185, 1070, 208);
        window.paint.AddButton(1002, 0, 130, 153, 153, 130, 1031, 157, 1059, 185);
        window.paint.AddButton(1003, 0, 131, 155, 155, 131, 500, 171, 584, 195);
        window.paint.AddButton(1004, 0, 132, 151, 151, 132, 897, 171, 981, 195);
        window.paint.AddButton(1005, 0, 133, 152, 152, 133, 801, 171, 885, 195);
        window.paint.AddButton(1006, 0, 134, 156, 156, 134, 408, 171, 492, 195);
        window.paint.AddStatic(145, 1007, false, RECT{0, 0, 1154, 704});
        window.paint.SetBackgroundColor(0xFFFF0000);
        window.paint.EnableLayered();
        window.paint.updateLayered = skintest::LayeredCapture::Function();
        capture.Reset();
    }
    void TearDown() override
    {
        if (window.m_hWnd)
            DestroyWindow(window.m_hWnd);
        SetCursorPos(1270, 790);
        test::PumpPending();
    }
    bool OnAnyButton(int x, int y)
    {
        for (auto& b : window.paint.buttons) {
            const RECT r = b->rect;
            if (x >= r.left - 1 && x <= r.right && y >= r.top - 1 && y <= r.bottom)
                return true;
        }
        return false;
    }

    test::ThreadManager manager;
    skintest::LayeredCapture capture;
    TestImageWindow window;
};
} // namespace

TEST_F(LayeredTest, RedrawPushesOneFullImageWithTheArtworksAlpha)
{
    EXPECT_TRUE(window.paint.layered);
    EXPECT_FALSE(window.paint.fillBackground) << "layered windows take transparency from the artwork only";
    EXPECT_TRUE(GetWindowLongW(window.m_hWnd, GWL_EXSTYLE) & WS_EX_LAYERED);

    window.paint.Redraw();
    ASSERT_EQ(capture.Pushes().size(), 1u);
    const skintest::LayeredPush& push = capture.Pushes()[0];
    EXPECT_EQ(push.hwnd, window.m_hWnd);
    EXPECT_EQ(push.size.cx, 1154);
    EXPECT_EQ(push.size.cy, 704);
    EXPECT_EQ(push.destination.x, 20);
    EXPECT_EQ(push.destination.y, 20);
    EXPECT_EQ(push.flags, static_cast<DWORD>(ULW_ALPHA));
    EXPECT_EQ(push.blend.BlendOp, AC_SRC_OVER);
    EXPECT_EQ(push.blend.SourceConstantAlpha, 255);
    EXPECT_EQ(push.blend.AlphaFormat, AC_SRC_ALPHA);
    ASSERT_EQ(push.pixels.size(), 1154u * 704u);

    auto artwork = LoadPngResource(145);
    const auto expected = skintest::ImagePixels(artwork.get());
    auto check = [&](const skintest::LayeredPush& image) {
        int compared = 0, transparent = 0, partial = 0;
        for (int y = 0; y < 704; y += 3) {
            for (int x = 0; x < 1154; x += 3) {
                if (OnAnyButton(x, y))
                    continue;
                const DWORD got = image.At(x, y);
                const int want = Alpha(expected[static_cast<size_t>(y) * 1154 + x]);
                ASSERT_NEAR(Alpha(got), want, 2) << "alpha at " << x << "," << y;
                if (want == 0) {
                    ASSERT_EQ(got, 0u) << "fully transparent at " << x << "," << y;
                }
                // Premultiplied: no colour channel exceeds alpha.
                ASSERT_LE(skintest::Red(got), Alpha(got) + 1);
                ++compared;
                transparent += want == 0;
                partial += want > 0 && want < 255;
            }
        }
        EXPECT_GT(transparent, 10000);
        EXPECT_GT(partial, 100);
        EXPECT_GT(compared, 80000);
    };
    check(push);
    // While the pointer is over the window the image is kept between redraws:
    // each redraw starts again from transparent, nothing piles up.
    window.paint.tracking = true;
    window.paint.Redraw();
    window.paint.Redraw();
    ASSERT_EQ(capture.Pushes().size(), 3u);
    SCOPED_TRACE("a kept image redrawn");
    check(capture.Pushes()[2]);
}

TEST_F(LayeredTest, HoverRedrawsTheWholeImageWithTheHoverLook)
{
    MouseMove(window.m_hWnd, 520, 180);
    ASSERT_EQ(window.paint.hotButton, window.paint.FindButton(1003));
    ASSERT_FALSE(capture.Pushes().empty());
    const skintest::LayeredPush& push = capture.Pushes().back();
    EXPECT_EQ(push.size.cx, 1154) << "a layered window is always pushed whole";
    auto hover = LoadPngResource(155);
    const auto expected = skintest::ImagePixels(hover.get());
    int same = 0;
    for (int y = 2; y < 22; ++y)
        for (int x = 2; x < 82; ++x)
            same += (push.At(500 + x, 171 + y) & 0xFFFFFF) == (expected[y * 84 + x] & 0xFFFFFF);
    EXPECT_GT(same, 80 * 20 * 9 / 10) << "the button shows its hover image";
}

TEST_F(PainterTest, RealInputClicksTheButton)
{
    // Input through the system's input queue, as a user's mouse gives it.
    POINT p = {70, 72};
    ClientToScreen(hwnd(), &p);
    SetCursorPos(p.x, p.y);
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].type = INPUT_MOUSE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_TRUE(test::PumpUntil([&] { return window.paint.hotButton == button; }, 3000)) << "hover from the real move";
    ASSERT_EQ(SendInput(2, inputs, sizeof(INPUT)), 2u);
    EXPECT_TRUE(test::PumpUntil([&] { return window.Count("click 7") == 1; }, 3000));
    EXPECT_EQ(window.Count("down 7"), 1);
}

namespace {
// A title bar over a body, as the game frame has them: a stretched bar, an
// icon, glyph buttons kept at the right edge, a picture button, a captioned
// button, and a title and an outline drawn by the foreground callback. Large
// enough that a whole-window pass does not keep its surface.
class TitledWindow : public skintest::TestImageWindow {
public:
    void OnPaintForeground(Gdiplus::Graphics& g) override
    {
        Gdiplus::Font font(L"宋体", 9.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPoint);
        Gdiplus::SolidBrush white(Gdiplus::Color(0xFFFFFFFF));
        Gdiplus::StringFormat format;
        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
        g.DrawString(L"Morvane网页版 - 局部重绘", -1, &font, Gdiplus::RectF(22, 4, 300, 20), &format, &white);
        Gdiplus::Pen pen(Gdiplus::Color(0xC0FFD040), 1.5f);
        g.DrawEllipse(&pen, 130.5f, 90.5f, 201.0f, 97.0f);
    }
};

// The client area as the window shows it.
std::unique_ptr<skintest::PixelSurface> Shown(HWND hwnd)
{
    RECT client = {};
    GetClientRect(hwnd, &client);
    auto shot = std::make_unique<skintest::PixelSurface>(client.right, client.bottom);
    HDC dc = GetDC(hwnd);
    BitBlt(shot->DC(), 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    ReleaseDC(hwnd, dc);
    return shot;
}

// "" when both show the same pixels, else how many differ and the first one.
std::string Differences(const skintest::PixelSurface& a, const skintest::PixelSurface& b)
{
    GdiFlush();
    int count = 0;
    std::string first;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if ((a.At(x, y) & 0xFFFFFF) != (b.At(x, y) & 0xFFFFFF) && count++ == 0)
                first = " pixels differ, the first at " + std::to_string(x) + "," + std::to_string(y);
    return count ? std::to_string(count) + first : "";
}

// Paints the rectangle over in magenta, then lets the window repaint it.
void Repaint(HWND hwnd, const RECT& r)
{
    HDC dc = GetDC(hwnd);
    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
    FillRect(dc, &r, magenta);
    DeleteObject(magenta);
    ReleaseDC(hwnd, dc);
    InvalidateRect(hwnd, &r, TRUE);
    UpdateWindow(hwnd);
}
} // namespace

TEST(PartialPaint, ARepaintedRectangleShowsExactlyWhatAWholeWindowPassShows)
{
    test::ThreadManager manager;
    TitledWindow window;
    const int width = 641, height = 243;
    ASSERT_TRUE(window.CreatePopup(37, 53, width, height));
    HWND hwnd = window.m_hWnd;
    CImagePaint& paint = window.paint;
    paint.SetBackgroundColor(0xFF132B50);
    CImageStatic* bar = paint.AddStatic(217, 10011, true, RECT{0, 0, 1366, 25});
    bar->anchorRight = 0;
    bar->fixedLeft = 0;
    paint.AddStatic(137, 10012, false, RECT{5, 5, 21, 21});
    for (int i = 0; i < 3; ++i) {
        const int ids[3][3] = {{10, 209, 210}, {30, 211, 212}, {20, 213, 214}};
        paint.AddButton(ids[i][0], 0, ids[i][1], ids[i][2], ids[i][2], ids[i][1], 0, 0, 25, 25)->anchorRight =
            1 + 25 * i;
    }
    CImageButton* picture = paint.AddButton(1003, 0, 131, 155, 155, 131, 20, 50, 104, 74);
    CImageButton* captioned = paint.AddButton(1004, 0, 132, 151, 151, 132, 150, 120, 234, 144);
    captioned->SetText(L"游戏论坛");
    captioned->SetTextColors(0xFFFFFFFF, 0xFFFFE080, 0xFFFFE080);
    SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);
    test::PumpPending();
    const auto whole = Shown(hwnd);
    EXPECT_EQ(paint.renderer.Surface().Width(), 0) << "a whole-window surface is not kept";

    // Rectangles of every shape, each repainted alone: a glyph at the right
    // edge, one pixel, a wide strip over the title, a tall one through the
    // outline and the captioned button, a corner of the picture button. The
    // surface grows to the largest of them, and no further.
    const RECT minimize = paint.FindButton(20)->rect;
    const RECT cases[] = {minimize, {301, 13, 302, 14}, {3, 2, 333, 41}, {101, 20, 141, 231}, {95, 55, 121, 70}};
    const SIZE surfaces[] = {{25, 25}, {25, 25}, {330, 39}, {330, 211}, {330, 211}};
    for (size_t i = 0; i < std::size(cases); ++i) {
        const RECT& r = cases[i];
        SCOPED_TRACE("rectangle " + std::to_string(r.left) + "," + std::to_string(r.top) + " " +
                     std::to_string(r.right - r.left) + " x " + std::to_string(r.bottom - r.top));
        Repaint(hwnd, r);
        EXPECT_EQ(Differences(*Shown(hwnd), *whole), "");
        EXPECT_EQ(paint.renderer.Surface().Width(), surfaces[i].cx);
        EXPECT_EQ(paint.renderer.Surface().Height(), surfaces[i].cy);
    }

    // A hover change is painted at once (no paint message is handled before
    // the look), and shows what a whole pass in the hover state shows.
    POINT onPicture = {30, 60};
    ClientToScreen(hwnd, &onPicture);
    SetCursorPos(onPicture.x, onPicture.y);
    SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(30, 60));
    ASSERT_EQ(paint.hotButton, picture);
    const auto hovered = Shown(hwnd);
    EXPECT_NE(hovered->At(30, 56), whole->At(30, 56)) << "the picture button shows its hover look";
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);
    EXPECT_EQ(Differences(*Shown(hwnd), *hovered), "");

    DestroyWindow(hwnd);
    SetCursorPos(1270, 790);
    test::PumpPending();
}
