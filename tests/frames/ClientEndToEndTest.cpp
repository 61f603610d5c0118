// The real client, installed in a throw-away folder and started as its own
// process against the demo portal, used with real mouse and keyboard input.
// Pictures of each view are saved in build/artifacts.

#include "frames/ClientDriver.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

static bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

using namespace drive;

TEST_F(Client, ShowsTheLauncherWithTheStartPageInItsPanel)
{
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const RECT l = WindowRect(launcher);
    wchar_t name[64] = {};
    GetClassNameW(launcher, name, 64);
    EXPECT_STREQ(name, L"zarvo_back");
    EXPECT_EQ(l.left, (work.right - work.left - 1154) / 2);
    EXPECT_EQ(l.top, (work.bottom - work.top - 704) / 2);
    EXPECT_EQ(l.right - l.left, 1154);
    EXPECT_EQ(l.bottom - l.top, 704);
    const RECT f = WindowRect(frame);
    EXPECT_EQ(f.left - l.left, 377);
    EXPECT_EQ(f.top - l.top, 208);
    EXPECT_EQ(f.right - f.left, 600);
    EXPECT_EQ(f.bottom - f.top, 386);

    // The browser asked the portal for the start page with the user id.
    EXPECT_TRUE(test::PumpUntil(
        [] {
            for (const auto& line : test::PortalRequests())
                if (line == "GET /games/vorn/dlq4242")
                    return true;
            return false;
        },
        kTimeoutMs));
    Screenshot(L"client-launcher.png");
}

TEST_F(Client, DraggingTheLauncherMovesBothWindows)
{
    const RECT before = WindowRect(launcher);
    const RECT frameBefore = WindowRect(frame);
    // A press on the artwork, outside the buttons and the page area.
    std::wstring drag =
        L"mousemove " + std::to_wstring(before.left + 200) + L" " + std::to_wstring(before.top + 400) + L" mousedown 1";
    for (int step = 1; step <= 6; ++step)
        drag += L" sleep 0.05 mousemove " + std::to_wstring(before.left + 200 + 10 * step) + L" " +
                std::to_wstring(before.top + 400 + 5 * step);
    drag += L" mouseup 1";
    ASSERT_TRUE(Xdotool(drag));
    ASSERT_TRUE(test::PumpUntil([&] { return WindowRect(launcher).left == before.left + 60; }, kTimeoutMs));
    EXPECT_EQ(WindowRect(launcher).top, before.top + 30);
    EXPECT_TRUE(test::PumpUntil([&] { return WindowRect(frame).left == frameBefore.left + 60; }, kTimeoutMs));
    EXPECT_EQ(WindowRect(frame).top, frameBefore.top + 30);
}

// Config.ini asks for Shift+A as the boss key: no program may take a letter
// from every other one, so the client keeps Alt+D.
class ClientWithShiftBossKey : public Client {
protected:
    void SetUp() override
    {
        extraCommon = "fsModifiers=4\r\nvkCode=65\r\n";
        Client::SetUp();
    }
};

TEST_F(ClientWithShiftBossKey, GameViewMenuConfirmationAndBossKey)
{
    ASSERT_TRUE(EnterGameView());
    // Shift+A is still free for anyone to register.
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_SHIFT, 'A')) << "the client took Shift+A";
    UnregisterHotKey(nullptr, 1);
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const RECT f = WindowRect(frame);
    EXPECT_EQ(f.left, work.left);
    EXPECT_EQ(f.right, work.right);
    EXPECT_EQ(f.bottom, work.bottom);
    // The shadow follows as soon as the client has taken its new size.
    EXPECT_TRUE(test::PumpUntil([&] { return WindowRect(launcher).left == f.left - 6; }, kTimeoutMs));
    const RECT shadow = WindowRect(launcher);
    EXPECT_EQ(shadow.top, f.top - 6);
    EXPECT_EQ(shadow.right, f.right + 6);
    EXPECT_EQ(shadow.bottom, f.bottom + 6);
    // The title bar is drawn across the whole maximised width, not only across
    // the size the frame had before: its right end looks like its left, and the
    // close button is drawn at the right edge. The stretched artwork varies by
    // a step or two along its width.
    const auto titleBarAt = [&](int x) { return ScreenPixels({x, f.top + 3, x + 1, f.top + 4}).front(); };
    const auto alike = [](DWORD a, DWORD b) {
        for (int shift = 0; shift < 24; shift += 8)
            if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 8)
                return false;
        return true;
    };
    const auto closeButtonDrawn = [&] {
        const std::vector<DWORD> button = ScreenSquare(f.right - 13, f.top + 12);
        const std::vector<DWORD> bare = ScreenSquare(f.left + 150, f.top + 12);
        return !std::equal(button.begin(), button.end(), bare.begin(), bare.end(), alike);
    };
    EXPECT_TRUE(test::PumpUntil(
        [&] { return alike(titleBarAt(f.right - 150), titleBarAt(f.left + 150)) && closeButtonDrawn(); }, kTimeoutMs));
    Screenshot(L"client-game-view.png");

    // The title-bar menu.
    const int right = f.right;
    HWND menu = OpenTitleMenu(right - 71 - 12, f.top + 12);
    ASSERT_NE(menu, nullptr);
    Screenshot(L"client-title-menu.png");
    ClickAt(f.left + 400, f.top + 300); // elsewhere: the menu hides
    ASSERT_TRUE(test::PumpUntil([&] { return !IsWindowVisible(menu); }, kTimeoutMs));

    // Close asks first: 取消 keeps the client.
    ClickButtonAt(right - 13, f.top + 12);
    HWND confirm = WaitForVisible(L"zarvopellis");
    ASSERT_NE(confirm, nullptr);
    Screenshot(L"client-close-confirm.png");
    AnswerCloseQuestion(confirm, false);
    ASSERT_TRUE(test::PumpUntil([&] { return !IsWindow(confirm); }, kTimeoutMs));
    EXPECT_FALSE(process.WaitForExit(500)) << "取消 keeps the client running";
    EXPECT_TRUE(IsWindowVisible(frame));

    // The question closed by the system answers 取消 too, and gives the frame
    // back its input. (The close button lost its hover look when 取消 took the
    // pointer away, or this click would see no hover come.)
    ClickButtonAt(right - 13, f.top + 12);
    confirm = WaitForVisible(L"zarvopellis");
    ASSERT_NE(confirm, nullptr);
    PostMessageW(confirm, WM_CLOSE, 0, 0);
    ASSERT_TRUE(test::PumpUntil([&] { return !IsWindow(confirm); }, kTimeoutMs));
    EXPECT_FALSE(process.WaitForExit(500)) << "WM_CLOSE keeps the client running";
    EXPECT_TRUE(IsWindowEnabled(frame));
    MoveMouseTo(f.left + 400, f.top + 300);

    // Alt+D hides the window to the notification area and brings it back.
    SetForegroundWindow(frame);
    PressKeys({VK_MENU, 'D'});
    ASSERT_TRUE(test::PumpUntil([&] { return !IsWindowVisible(frame); }, kTimeoutMs)) << "Alt+D hid the frame";
    PressKeys({VK_MENU, 'D'});
    ASSERT_TRUE(test::PumpUntil([&] { return IsWindowVisible(frame); }, kTimeoutMs)) << "Alt+D brought it back";

    // 确定 ends it with exit code 0.
    ClickButtonAt(right - 13, f.top + 12);
    confirm = WaitForVisible(L"zarvopellis");
    ASSERT_NE(confirm, nullptr);
    AnswerCloseQuestion(confirm, true);
    ASSERT_TRUE(process.WaitForExit(kTimeoutMs));
    EXPECT_EQ(process.ExitCode(), 0u);
}

// The player's keys as the display server delivers them, with the focus in
// the page; then a restored game view, moved and closed, comes back where it
// was left at the next start. Adapts to the screen's size.
TEST_F(Client, FullScreenScreenshotAndARestoredPlaceKeptAcrossStarts)
{
    ASSERT_TRUE(EnterGameView());
    const RECT screen = WholeScreen();
    const RECT maximised = WindowRect(frame);
    const HWND page = Page();
    ASSERT_NE(page, nullptr);
    // The focus into the page. On Windows a click gives it to the page; here
    // the control, without an HTML engine, never takes it, so the test puts
    // it where that click would: on the page's innermost window.
    HWND inner = page;
    while (HWND child = GetWindow(inner, GW_CHILD))
        inner = child;
    // Given again until it holds: the frame may still be taking the
    // activation that the focus needs.
    const DWORD uiThread = GetWindowThreadProcessId(inner, nullptr);
    GUITHREADINFO ui = {};
    ui.cbSize = sizeof(ui);
    EXPECT_TRUE(test::PumpUntil([&] {
        AttachThreadInput(GetCurrentThreadId(), uiThread, TRUE);
        SetFocus(inner);
        AttachThreadInput(GetCurrentThreadId(), uiThread, FALSE);
        return test::PumpUntil([&] { return GetGUIThreadInfo(uiThread, &ui) && ui.hwndFocus == inner; }, 250);
    })) << "the focus is in the page";

    ASSERT_TRUE(Xdotool(L"key F11"));
    ASSERT_TRUE(test::PumpUntil([&] { return WindowRect(frame) == screen && WindowRect(page) == screen; }, kTimeoutMs))
        << "F11: the frame and its page cover the screen";
    EXPECT_FALSE(IsWindowVisible(launcher)) << "no shadow in full screen";

    {
        // A known picture over the page, where the shot must show it.
        const test::ScreenMarker marker({screen.left + 200, screen.top + 150, screen.left + 240, screen.top + 180});
        ASSERT_TRUE(Xdotool(L"key ctrl+alt+s"));
        ASSERT_TRUE(test::PumpUntil([] { return test::FreshPlayerSettings::Screenshots().size() == 1; }, kTimeoutMs))
            << "Ctrl+Alt+S: a picture in "
            << std::string(settings.ScreenshotFolder().begin(), settings.ScreenshotFolder().end());
    }
    const test::Picture shot =
        test::ReadPicture(settings.ScreenshotFolder() + L"\\" + test::FreshPlayerSettings::Screenshots().front());
    EXPECT_EQ(shot.width, screen.right - screen.left) << "exactly the page area";
    ASSERT_EQ(shot.height, screen.bottom - screen.top);
    EXPECT_EQ(shot.At(200, 150), test::ScreenMarker::Pixel());
    EXPECT_EQ(shot.At(239, 179), test::ScreenMarker::Pixel());
    EXPECT_NE(shot.At(240, 180), test::ScreenMarker::Pixel());
    EXPECT_NE(WaitForVisible(L"zarvo_tip"), nullptr) << "the player is told where it went";
    EXPECT_EQ(GetForegroundWindow(), frame) << "and keeps the game";
    Screenshot(L"client-full-screen.png");

    ASSERT_TRUE(Xdotool(L"key Escape"));
    ASSERT_TRUE(test::PumpUntil(
        [&] {
            return WindowRect(frame) == maximised && WindowRect(page).top == maximised.top + 25 &&
                   IsWindowVisible(launcher);
        },
        kTimeoutMs))
        << "Esc: back to the maximised view, the page below the title bar, the shadow around";
    EXPECT_TRUE(IsZoomed(frame));

    // Restored with its title-bar button, moved, and closed. The title bar is
    // drawn again first: a hover look is told from what was there before.
    WaitForStillScreen();
    ClickButtonAt(maximised.right - 37, maximised.top + 12);
    ASSERT_TRUE(test::PumpUntil([&] { return !IsZoomed(frame); }, kTimeoutMs));
    const RECT placed = {100, 80, 1200, 800};
    SetWindowPos(frame, nullptr, placed.left, placed.top, placed.right - placed.left, placed.bottom - placed.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(test::PumpUntil([&] { return WindowRect(frame) == placed; }, kTimeoutMs));
    ASSERT_TRUE(RunFrameCommand(L"close"));
    ASSERT_TRUE(process.WaitForExit(kTimeoutMs));

    test::ChildProcess next;
    ASSERT_TRUE(next.Start(folder.File(L"vorn.exe")));
    const HWND again = next.WaitForWindow(L"zarvoostrel", kTimeoutMs);
    ASSERT_NE(again, nullptr);
    ASSERT_TRUE(RunFrameCommand(L"enter"));
    EXPECT_TRUE(test::PumpUntil([&] { return IsWindowVisible(again) && WindowRect(again) == placed; }, kTimeoutMs))
        << "the next start comes back at " << placed.left << "," << placed.top << "-" << placed.right << ","
        << placed.bottom;
    EXPECT_FALSE(IsZoomed(again)) << "restored, not maximised";
    const HWND shadow = GetWindow(again, GW_OWNER);
    EXPECT_TRUE(test::PumpUntil([&] { return WindowRect(shadow).left == placed.left - 6; }, kTimeoutMs));
    PostMessageW(again, 2277, 5557, 0);
    EXPECT_TRUE(next.WaitForExit(kTimeoutMs));
}

// Two clients, each in its own folder, as a player runs one per account. The
// first to reach the game view holds the boss key for both: the real Alt+D
// hides both and brings both back; each hidden client's own icon brings back
// that client alone; once the holder has closed, the other holds the key.
TEST_F(Client, OneBossKeyForEveryClientThatOutlivesItsHolder)
{
    ASSERT_TRUE(EnterGameView());
    test::TempFolder otherFolder;
    ASSERT_TRUE(test::CopyProgram(L"vorn.exe", otherFolder.Path()));
    ASSERT_TRUE(CopyFileW(folder.File(L"Config.ini").c_str(), otherFolder.File(L"Config.ini").c_str(), FALSE));
    test::ChildProcess other;
    ASSERT_TRUE(other.Start(otherFolder.File(L"vorn.exe")));
    const HWND second = other.WaitForWindow(L"zarvoostrel", kTimeoutMs);
    ASSERT_NE(second, nullptr);
    ASSERT_TRUE(RunFrameCommand(L"enter " + std::to_wstring(other.Id())));
    ASSERT_TRUE(test::PumpUntil([&] { return IsZoomed(second) && IsWindowVisible(second); }, kTimeoutMs));
    ASSERT_FALSE(RegisterHotKey(nullptr, 1, MOD_ALT, 'D')) << "Alt+D is held";

    const auto shown = [](HWND hwnd) { return IsWindowVisible(hwnd) != FALSE; };
    const auto altD = [] { PressKeys({VK_MENU, 'D'}); };
    altD();
    ASSERT_TRUE(test::PumpUntil([&] { return !shown(frame) && !shown(second); }, kTimeoutMs)) << "Alt+D hid both";
    altD();
    ASSERT_TRUE(test::PumpUntil([&] { return shown(frame) && shown(second); }, kTimeoutMs)) << "and brought both back";

    altD();
    ASSERT_TRUE(test::PumpUntil([&] { return !shown(frame) && !shown(second); }, kTimeoutMs));
    // The second's icon double-clicked, as the shell tells its window.
    PostMessageW(second, 5556, 128, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(test::PumpUntil([&] { return shown(second); }, kTimeoutMs)) << "its icon brings back the second";
    EXPECT_FALSE(test::PumpUntil([&] { return shown(frame); }, 500)) << "and only the second";
    altD();
    ASSERT_TRUE(test::PumpUntil([&] { return shown(frame); }, kTimeoutMs)) << "the hidden holder brings back all";
    EXPECT_TRUE(shown(second));

    ASSERT_TRUE(RunFrameCommand(L"close " + std::to_wstring(process.Id())));
    ASSERT_TRUE(process.WaitForExit(kTimeoutMs));
    ASSERT_TRUE(shown(second));
    altD();
    ASSERT_TRUE(test::PumpUntil([&] { return !shown(second); }, kTimeoutMs)) << "the second took the key over";
    altD();
    ASSERT_TRUE(test::PumpUntil([&] { return shown(second); }, kTimeoutMs));
    ASSERT_TRUE(RunFrameCommand(L"close " + std::to_wstring(other.Id())));
    EXPECT_TRUE(other.WaitForExit(kTimeoutMs));
}
