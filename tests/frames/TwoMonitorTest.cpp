// The game view on a desktop of two monitors (tools/wine-run-monitors.in): a
// 1280 x 720 primary and, to its right, a 1024 x 600 monitor, smaller than the
// view's minimum size. Maximised and full screen there, the view stays on that
// monitor whatever the system does to it; a kept rectangle comes back wholly
// on the monitor it belongs to.

#include "FrameTestSupport.h"

#include <gtest/gtest.h>

#include <climits>

using frametest::FrameHarness;
using frametest::WindowRect;

static bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }
static void PrintTo(const RECT& r, std::ostream* out)
{
    *out << r.left << "," << r.top << "-" << r.right << "," << r.bottom;
}

namespace {

bool Inside(const RECT& r, const RECT& outer)
{
    return r.left >= outer.left && r.top >= outer.top && r.right <= outer.right && r.bottom <= outer.bottom;
}

BOOL CALLBACK NoteSecondMonitor(HMONITOR monitor, HDC, RECT*, LPARAM data)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(monitor, &info) && !(info.dwFlags & MONITORINFOF_PRIMARY))
        *reinterpret_cast<MONITORINFO*>(data) = info;
    return TRUE;
}

// The monitor that is not the primary one.
MONITORINFO SecondMonitor()
{
    MONITORINFO found = {};
    EnumDisplayMonitors(nullptr, nullptr, NoteSecondMonitor, reinterpret_cast<LPARAM>(&found));
    return found;
}

void Keep(const wchar_t* name, LONG value)
{
    const DWORD stored = static_cast<DWORD>(value);
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Morvane网页版", name, REG_DWORD, &stored, sizeof(stored));
}

class TwoMonitors : public ::testing::Test {
protected:
    void SetUp() override
    {
        second = SecondMonitor();
        ASSERT_EQ(second.rcMonitor, (RECT{1280, 0, 2304, 600})) << "two monitors?";
    }
    MONITORINFO second = {};
};

} // namespace

TEST_F(TwoMonitors, MaximisedAndFullScreenOnTheSmallMonitorTheViewStaysThere)
{
    FrameHarness h;
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.EnterGameView());
    const HWND frame = h.Frame();
    ShowWindow(frame, SW_RESTORE);
    MoveWindow(frame, 1300, 10, 900, 500, TRUE);
    const RECT restored = WindowRect(frame);
    EXPECT_EQ(restored, (RECT{1300, 10, 2320, 610})) << "at least the minimum size, capped by the monitor's height";

    ShowWindow(frame, SW_MAXIMIZE);
    ASSERT_TRUE(test::PumpUntil([&] { return IsZoomed(frame) != FALSE; }));
    const RECT maximised = WindowRect(frame);
    EXPECT_TRUE(Inside(maximised, second.rcMonitor)) << "maximised to " << testing::PrintToString(maximised);

    h.frame->EnterFullScreen();
    ASSERT_EQ(WindowRect(frame), second.rcMonitor);
    // What the system may do to the window meanwhile: restore it (the task
    // bar, Win+Shift+arrow), move it (a changed work area), minimise and
    // restore it. Full screen stays on its monitor.
    ShowWindow(frame, SW_RESTORE);
    EXPECT_EQ(WindowRect(frame), second.rcMonitor) << "restored while full screen";
    SetWindowPos(frame, nullptr, 40, 40, 800, 600, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(WindowRect(frame), second.rcMonitor) << "moved while full screen";
    ShowWindow(frame, SW_MINIMIZE);
    ShowWindow(frame, SW_RESTORE);
    EXPECT_EQ(WindowRect(frame), second.rcMonitor) << "minimised and restored while full screen";
    ShowWindow(frame, SW_MAXIMIZE);
    EXPECT_EQ(WindowRect(frame), second.rcMonitor) << "maximised while full screen";
    EXPECT_TRUE(h.frame->IsFullScreen());

    h.frame->LeaveFullScreen();
    EXPECT_EQ(WindowRect(frame), maximised) << "back to the maximised view on the same monitor";
}

TEST_F(TwoMonitors, AKeptRectangleComesBackWhollyOnTheMonitorItBelongsTo)
{
    const RECT& work = second.rcWork;
    struct Case {
        const char* what;
        RECT kept;
        RECT expected;
    } cases[] = {
        // Mostly on the second monitor, its title bar on both, three times its size.
        {"larger than the monitor", {1250, 500, 4250, 2500}, work},
        // A strip of a few pixels at the monitor's bottom right corner.
        {"a strip at the edge", {2300, 596, 2304, 600}, {2304 - 1020, 0, 2304, 600}},
        // Its title bar reaches the monitor by one pixel.
        {"hanging below", {1282, 599, 2302, 1299}, {1282, 0, 2302, 600}},
        // No window has such a rectangle: the view starts as the first time,
        // shown maximised on the primary monitor.
        {"beyond the system's coordinates", {INT_MIN + 5, 40, INT_MAX - 5, 900}, {0, 0, 1280, 720}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FrameHarness h;
        Keep(L"Left", c.kept.left);
        Keep(L"Top", c.kept.top);
        Keep(L"Right", c.kept.right);
        Keep(L"Bottom", c.kept.bottom);
        Keep(L"Maximized", 0);
        Keep(L"FullScreen", 0);
        ASSERT_TRUE(h.Start());
        PostMessageW(h.Frame(), CFrameGame::WM_FRAMECOMMAND, CFrameGame::FRAME_CMD_ENTER_GAME, 0);
        ASSERT_TRUE(test::PumpUntil([&] { return IsWindowVisible(h.Frame()) != FALSE; }));
        EXPECT_EQ(WindowRect(h.Frame()), c.expected);
    }
}
