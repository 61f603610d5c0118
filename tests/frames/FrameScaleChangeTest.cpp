// Windows tells a window moved onto a monitor of another scale with
// WM_DPICHANGED and a suggested rectangle (Wine never does): the launcher and
// the game view lay themselves out again, and back at 96 DPI they are as before.
// On a 2560 x 1600 screen, where both fit at 150 %.

#include "FrameTestSupport.h"

#include <gtest/gtest.h>

using frametest::FrameHarness;
using frametest::WindowRect;

namespace {

void ChangeScale(HWND hwnd, int dpi, RECT suggested)
{
    SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

RECT PageRect(FrameHarness& h) { return WindowRect(h.frame->m_html.m_hWnd); }

} // namespace

TEST(ScaleChange, TheLauncherAndTheGameViewAreLaidOutAgainAtTheNewScale)
{
    FrameHarness h;
    ASSERT_TRUE(h.Start());
    const RECT before = WindowRect(h.Launcher());
    ChangeScale(h.Launcher(), 144, {before.left, before.top, before.left + 1731, before.top + 1056});
    RECT l = WindowRect(h.Launcher());
    EXPECT_EQ(l.right - l.left, 1731);
    EXPECT_EQ(l.bottom - l.top, 1056);
    RECT page = WindowRect(h.Frame());
    EXPECT_EQ(page.left - l.left, 566);
    EXPECT_EQ(page.top - l.top, 312);
    EXPECT_EQ(page.right - page.left, 900);
    EXPECT_EQ(page.bottom - page.top, 579);
    // Its picture buttons at their new places, drawn for the scale.
    CImageButton* minimise = h.frame->m_back.paint.FindButton(CFrameBack::kMinimizeId);
    ASSERT_NE(minimise, nullptr);
    EXPECT_EQ(minimise->rect.left, 1571);
    EXPECT_EQ(minimise->rect.right - minimise->rect.left, 35);
    ASSERT_TRUE(minimise->imgNormal);
    EXPECT_EQ(minimise->imgNormal->GetWidth(), 35u);

    ChangeScale(h.Launcher(), 96, before);
    EXPECT_TRUE(EqualRect(&before, &(l = WindowRect(h.Launcher()))));
    page = WindowRect(h.Frame());
    EXPECT_EQ(page.left - l.left, 377);
    EXPECT_EQ(page.right - page.left, 600);
    EXPECT_EQ(page.bottom - page.top, 386);

    ASSERT_TRUE(h.EnterGameView());
    ShowWindow(h.Frame(), SW_RESTORE);
    SetWindowPos(h.Frame(), nullptr, 40, 30, 1100, 760, SWP_NOZORDER | SWP_NOACTIVATE);
    ChangeScale(h.Frame(), 144, {40, 30, 40 + 1650, 30 + 1140});
    RECT f = WindowRect(h.Frame());
    EXPECT_EQ(f.right - f.left, 1650);
    EXPECT_EQ(f.bottom - f.top, 1140);
    EXPECT_EQ(PageRect(h).top - f.top, 38) << "the title bar is 38 pixels high";
    EXPECT_EQ(PageRect(h).left - f.left, 2) << "inside a border of 2";
    EXPECT_EQ(WindowRect(h.Launcher()).left, f.left - 9) << "the shadow lies 9 pixels around";
    CImageButton* close = h.frame->paint.FindButton(CImagePaint::kCloseId);
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->rect.right, 1650 - 2);
    EXPECT_EQ(close->rect.bottom - close->rect.top, 38);
    // The minimum size at the new scale.
    SetWindowPos(h.Frame(), nullptr, 40, 30, 1100, 760, SWP_NOZORDER | SWP_NOACTIVATE);
    f = WindowRect(h.Frame());
    EXPECT_EQ(f.right - f.left, 1530);
    EXPECT_EQ(f.bottom - f.top, 1056);

    // Full screen on the monitor the window went to, then back at 96 DPI.
    h.frame->EnterFullScreen();
    const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    ChangeScale(h.Frame(), 96, {40, 30, 40 + 1020, 30 + 704});
    EXPECT_TRUE(EqualRect(&screen, &(f = WindowRect(h.Frame())))) << "full screen holds its monitor";
    h.frame->LeaveFullScreen();
    SetWindowPos(h.Frame(), nullptr, 40, 30, 1100, 760, SWP_NOZORDER | SWP_NOACTIVATE);
    f = WindowRect(h.Frame());
    EXPECT_EQ(f.right - f.left, 1100) << "the minimum is 1020 x 704 again";
    EXPECT_EQ(PageRect(h).top - f.top, 25);
    EXPECT_EQ(WindowRect(h.Launcher()).left, f.left - 6);
    close = h.frame->paint.FindButton(CImagePaint::kCloseId);
    EXPECT_EQ(close->rect.right, 1100 - 1);
    EXPECT_EQ(close->rect.bottom - close->rect.top, 25);
}
