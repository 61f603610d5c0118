// The skinned window: its resize edges, clipped corners, size limits, work-area
// maximising, icons and the nested modal loop, on real windows.

#include "SkinTestSupport.h"

#include <gtest/gtest.h>

#include <thread>

using skintest::TestImageWindow;

namespace {
class ImageWindowTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (window.m_hWnd)
            DestroyWindow(window.m_hWnd);
        test::PumpPending();
    }
    LRESULT HitTest(int x, int y)
    {
        POINT p = {x, y};
        ClientToScreen(window.m_hWnd, &p);
        return SendMessageW(window.m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    }
    bool InRegion(int x, int y)
    {
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        const int kind = GetWindowRgn(window.m_hWnd, region);
        const bool inside = kind != ERROR && PtInRegion(region, x, y);
        DeleteObject(region);
        return inside;
    }

    test::ThreadManager manager;
    TestImageWindow window;
};
} // namespace

TEST_F(ImageWindowTest, CreationDropsTheCaptionAndBindsThePainter)
{
    ASSERT_TRUE(window.Create(0, nullptr, L"", WS_POPUP | WS_CAPTION | WS_VISIBLE, 10, 10, 200, 100, nullptr));
    EXPECT_STREQ(window.m_className, L"ImageCtrl");
    EXPECT_EQ(window.paint.hwnd, window.m_hWnd);
    const LONG style = GetWindowLongW(window.m_hWnd, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, 0);
    EXPECT_EQ(style & 0x02010100, 0x02010100);
    EXPECT_TRUE(window.paint.onButtonClick && window.paint.onPaintForeground);
}

TEST_F(ImageWindowTest, BorderHitTestOfAResizable300By200Window)
{
    ASSERT_TRUE(window.CreatePopup(50, 50, 300, 200));
    EXPECT_EQ(HitTest(2, 2), HTCLIENT) << "not resizable: everything is client";
    window.resizable = true;
    struct Case {
        int x, y;
        LRESULT expected;
    };
    const Case cases[] = {
        {2, 2, HTTOPLEFT},         {3, 2, HTTOP},    {3, 197, HTBOTTOMLEFT}, {297, 2, HTRIGHT},    {298, 2, HTTOPRIGHT},
        {297, 197, HTBOTTOMRIGHT}, {0, 100, HTLEFT}, {297, 100, HTRIGHT},    {100, 198, HTBOTTOM}, {100, 197, HTCLIENT},
        {150, 100, HTCLIENT},      {150, 0, HTTOP},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HitTest(c.x, c.y), c.expected) << "at " << c.x << "," << c.y;
}

TEST_F(ImageWindowTest, ClippedCornersGoWhenMaximisedAndComeBack)
{
    ASSERT_TRUE(window.CreatePopup(50, 50, 300, 200));
    window.clipCorners = true;
    window.paint.AddButton(30, 0, 211, 212, 0, 0, 250, 0, 275, 25);
    window.paint.AddButton(40, 0, 215, 216, 0, 0, 250, 0, 275, 25)->visible = false;
    MoveWindow(window.m_hWnd, 50, 50, 320, 220, TRUE);
    EXPECT_FALSE(InRegion(0, 0));
    EXPECT_FALSE(InRegion(319, 0));
    EXPECT_FALSE(InRegion(0, 219));
    EXPECT_TRUE(InRegion(0, 217));
    EXPECT_FALSE(InRegion(319, 219));
    EXPECT_TRUE(InRegion(1, 1));
    EXPECT_TRUE(InRegion(0, 1));
    EXPECT_TRUE(InRegion(160, 110));
    EXPECT_TRUE(InRegion(160, 219));

    window.paint.ToggleMaximize();
    ASSERT_TRUE(IsZoomed(window.m_hWnd));
    EXPECT_TRUE(InRegion(0, 0)) << "maximised: a plain rectangle";
    RECT client;
    GetClientRect(window.m_hWnd, &client);
    EXPECT_TRUE(InRegion(client.right - 1, client.bottom - 1));

    window.paint.ToggleMaximize();
    ASSERT_FALSE(IsZoomed(window.m_hWnd));
    EXPECT_FALSE(InRegion(0, 0)) << "restored: the corners are clipped again";
    EXPECT_TRUE(InRegion(1, 1));
}

TEST_F(ImageWindowTest, MaximisedWindowFillsTheWorkArea)
{
    ASSERT_TRUE(window.CreatePopup(50, 50, 300, 200));
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    MINMAXINFO info = {};
    SendMessageW(window.m_hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMaxSize.x, work.right - work.left);
    EXPECT_EQ(info.ptMaxSize.y, work.bottom - work.top);
    EXPECT_EQ(info.ptMaxPosition.x, work.left);
    EXPECT_EQ(info.ptMaxPosition.y, work.top);

    ShowWindow(window.m_hWnd, SW_SHOWMAXIMIZED);
    RECT r;
    ::GetWindowRect(window.m_hWnd, &r);
    EXPECT_TRUE(EqualRect(&r, &work)) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
}

TEST_F(ImageWindowTest, MinimumWidthAloneDoesNotClampWhileMovingOrSizing)
{
    ASSERT_TRUE(window.CreatePopup(50, 50, 300, 200));
    window.minWidth = 400;
    MoveWindow(window.m_hWnd, 50, 50, 200, 100, TRUE);
    RECT r;
    ::GetWindowRect(window.m_hWnd, &r);
    EXPECT_EQ(r.right - r.left, 200);
    EXPECT_EQ(r.bottom - r.top, 100);
    MINMAXINFO info = {};
    SendMessageW(window.m_hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 400);
    EXPECT_EQ(info.ptMinTrackSize.y, 0);

    window.minHeight = 300;
    MoveWindow(window.m_hWnd, 50, 50, 200, 100, TRUE);
    ::GetWindowRect(window.m_hWnd, &r);
    EXPECT_EQ(r.right - r.left, 400) << "both minimums set: the size is clamped";
    EXPECT_EQ(r.bottom - r.top, 300);
}

TEST_F(ImageWindowTest, BothIconsAreShownAndOutliveTheCallersHandle)
{
    EXPECT_TRUE(window.SetIconFromResource(48, false)) << "before the window exists only the copy is kept";
    EXPECT_NE(window.smallIcon.Get(), nullptr);
    ASSERT_TRUE(window.CreatePopup(50, 50, 300, 200));
    EXPECT_TRUE(window.SetIconFromResource(64, true));
    EXPECT_TRUE(window.SetIconFromResource(64, false));
    for (int round = 0; round < 2; ++round) {
        auto big = reinterpret_cast<HICON>(SendMessageW(window.m_hWnd, WM_GETICON, ICON_BIG, 0));
        auto small = reinterpret_cast<HICON>(SendMessageW(window.m_hWnd, WM_GETICON, ICON_SMALL, 0));
        ASSERT_NE(big, nullptr) << "the big icon is kept, not cleared";
        ASSERT_NE(small, nullptr);
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(big, &info)) << "the window's big icon is a live handle";
        BITMAP bitmap = {};
        GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
        EXPECT_EQ(bitmap.bmWidth, 64);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        ASSERT_TRUE(GetIconInfo(small, &info)) << "the window's small icon is a live handle";
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        // Setting them again replaces them without releasing what the window shows.
        EXPECT_TRUE(window.SetIconFromResource(64, true));
        EXPECT_TRUE(window.SetIconFromResource(64, false));
    }
}

TEST_F(ImageWindowTest, ModalLoopEndsWhenTheWindowIsDestroyed)
{
    ASSERT_TRUE(window.CreatePopup(50, 50, 300, 200));
    bool nestedAnswer = true;
    window.onRunMessage = [&] {
        EXPECT_TRUE(window.modalRunning);
        nestedAnswer = window.RunModalLoop();
        DestroyWindow(window.m_hWnd);
    };
    PostMessageW(window.m_hWnd, TestImageWindow::kRunMessage, 0, 0);
    EXPECT_TRUE(window.RunModalLoop());
    EXPECT_FALSE(nestedAnswer) << "a second nesting is refused";
    EXPECT_FALSE(window.modalRunning);
    EXPECT_EQ(window.m_hWnd, nullptr);
}

TEST_F(ImageWindowTest, ModalLoopHandsWmQuitOnToTheOuterLoop)
{
    ASSERT_TRUE(window.CreatePopup(50, 50, 300, 200));
    PostQuitMessage(7);
    EXPECT_TRUE(window.RunModalLoop());
    EXPECT_TRUE(IsWindow(window.m_hWnd)) << "the window stays; only the loop ends";
    MSG msg = {};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "WM_QUIT was posted again";
    EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(ImageWindowTest, ModalLoopRefusesAnotherThread)
{
    ASSERT_TRUE(window.CreatePopup(50, 50, 300, 200));
    bool answer = true;
    std::thread other([&] { answer = window.RunModalLoop(); });
    other.join();
    EXPECT_FALSE(answer);
    EXPECT_FALSE(window.modalRunning);
}

TEST_F(ImageWindowTest, ModalLoopWithoutAWindowEndsAtOnce)
{
    EXPECT_TRUE(window.RunModalLoop());
    EXPECT_FALSE(window.modalRunning);
}
