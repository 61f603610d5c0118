// Life cycles: thirty starts and closes of the real client in one install
// folder (closed by framecmd, by the frame's close message 2277/5557 and by the
// launcher's close button with its confirmation), and a hundred lives of the
// frames inside one test process, which must leave no GDI or USER objects, no
// handles and no windows behind.

#include "ReliabilitySupport.h"

#include "frames/FrameTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// A click on a point of another process's window, as its painter receives one:
// the pointer goes there, then the window gets the move, the press and the
// release (posted, in order: a press may start a modal loop over there).
void ClickAt(HWND window, int x, int y)
{
    POINT screen = {x, y};
    ClientToScreen(window, &screen);
    SetCursorPos(screen.x, screen.y);
    const LPARAM at = MAKELPARAM(x, y);
    PostMessageW(window, WM_MOUSEMOVE, 0, at);
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(window, WM_LBUTTONUP, 0, at);
}

HWND VisibleWindowOf(DWORD processId, const wchar_t* className)
{
    for (HWND hwnd : test::TopLevelWindows(processId, className))
        if (IsWindowVisible(hwnd))
            return hwnd;
    return nullptr;
}

enum class Closing { FrameCmd, Message, ConfirmedButton };

bool Close(reliability::InstalledClient& client, Closing how)
{
    switch (how) {
    case Closing::FrameCmd: {
        test::ChildProcess tool;
        return tool.Start(test::ProgramFolder() + L"\\framecmd.exe", L"close " + std::to_wstring(client.Id())) &&
               tool.WaitForExit(20000) && tool.ExitCode() == 0 && client.WaitForExit();
    }
    case Closing::Message:
        return client.CloseByCommand();
    case Closing::ConfirmedButton: {
        // The launcher's close button (1031, 157)-(1059, 185), then 确定 in the confirmation.
        ClickAt(client.launcher, 1045, 171);
        HWND confirm = nullptr;
        if (!test::PumpUntil([&] { return (confirm = VisibleWindowOf(client.Id(), L"zarvopellis")) != nullptr; },
                             10000))
            return false;
        ClickAt(confirm, 84, 117);
        return client.WaitForExit();
    }
    }
    return false;
}

} // namespace

TEST(LifeCycle, ThirtyStartsAndClosesOfTheRealClient)
{
    test::TempFolder folder;
    ASSERT_TRUE(test::WriteFileBytes(folder.File(L"Config.ini"), reliability::kClosedPortal));
    reliability::InstalledClient installer(folder.Path());
    ASSERT_TRUE(installer.Install());
    const int before = reliability::RunningClients();

    for (int cycle = 0; cycle < 30; ++cycle) {
        SCOPED_TRACE("cycle " + std::to_string(cycle + 1));
        const Closing how = static_cast<Closing>(cycle % 3);
        reliability::InstalledClient client(folder.Path());
        ASSERT_TRUE(client.Start()) << "the client showed no launcher";
        ASSERT_TRUE(Close(client, how)) << "the client did not end, closing kind " << static_cast<int>(how);
        EXPECT_EQ(client.ExitCode(), 0u);
    }
    EXPECT_EQ(reliability::RunningClients(), before) << "a client process was left behind";
    EXPECT_EQ(test::ReadIni(folder.File(L"Config.ini"), L"Common", L"RunCount"), L"30");
    SetCursorPos(1270, 790);
}

TEST(LifeCycle, AHundredFrameLivesInOneProcessLeaveNothingBehind)
{
    {
        // The GDI count sees what it counts.
        const size_t before = reliability::GuiCounts::Measure().gdi;
        HBRUSH brushes[10];
        for (HBRUSH& brush : brushes)
            brush = CreateSolidBrush(RGB(1, 2, 3));
        const size_t with = reliability::GuiCounts::Measure().gdi;
        for (HBRUSH brush : brushes)
            DeleteObject(brush);
        ASSERT_EQ(with, before + 10) << "GDI objects cannot be counted here";
    }
    reliability::GuiCounts warm;
    for (int life = 1; life <= 100; ++life) {
        {
            frametest::FrameHarness h;
            ASSERT_TRUE(h.Start()) << "life " << life;
            // Every tenth life also goes through the game view (title bar, boss key, shadow).
            if (life % 10 == 0) {
                ASSERT_TRUE(h.EnterGameView()) << "life " << life;
            }
        }
        test::PumpPending();
        // The first lives, two of them in the game view, make what stays made
        // (the browser control's libraries, font and drawing caches).
        if (life == 20)
            warm = reliability::GuiCounts::Measure();
    }
    const reliability::GuiCounts after = reliability::GuiCounts::Measure();
    std::printf("after 20 lives: GDI %zu, USER %zu, kernel %zu; after 100: GDI %zu, USER %zu, kernel %zu\n", warm.gdi,
                warm.user, warm.kernel, after.gdi, after.user, after.kernel);
    // 80 further lives: anything kept per life would show up 80 times over.
    constexpr size_t kSlack = 5;
    EXPECT_TRUE(after.gdiCounted) << "GDI objects could not be counted";
    EXPECT_LE(after.gdi, warm.gdi + kSlack) << "GDI objects leak";
    EXPECT_LE(after.user, warm.user + kSlack) << "USER objects (windows) leak";
    EXPECT_LE(after.kernel, warm.kernel + kSlack) << "handles leak";
}
