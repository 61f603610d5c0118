#pragma once
// Drives the real client, installed in a throw-away folder and started as its
// own process against the demo portal, with real mouse and keyboard input, and
// reads what the screen shows.

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace drive {

constexpr DWORD kTimeoutMs = 20000;

using test::ScreenPixels;
using test::WindowRect;

RECT WholeScreen();

// What the screen shows in the 17 x 17 square around a point.
std::vector<DWORD> ScreenSquare(int x, int y);

// Waits until the client has finished painting the screen: the picture has
// not changed for half a second (two looks in a row can both come before a
// repaint the client has still to make).
void WaitForStillScreen();

// Saves the screen once the client has finished painting it.
void Screenshot(const wchar_t* name);

// Real input, through the system's input queue, as a user gives it.
void SendMouse(DWORD flags);

// Input from the display server itself (xdotool), for what the system's own
// window-moving loop follows: the pointer, as X reports it.
bool Xdotool(const std::wstring& arguments);

void ClickAt(int x, int y);

// A move of the pointer through the system's input queue, as a mouse gives it.
void MoveMouseTo(int x, int y);

// As a user clicks a button: the pointer goes there first, and the press
// follows once the button shows its hover look, so the window has taken the
// pointer in. A window that has only just appeared may otherwise not yet be
// ready for the press, and a single jump of the pointer may go unseen by it
// (both seen under Wine when the machine is busy), so the pointer keeps
// moving by a pixel, as a hand does, until the look shows.
void ClickButtonAt(int x, int y);
// Clicks 确定 (confirm) or 取消 on the close question, where it draws them at its scale.
void AnswerCloseQuestion(HWND question, bool confirm);

void PressKeys(std::initializer_list<WORD> keys);

class Client : public ::testing::Test {
protected:
    void SetUp() override
    {
        portal = test::PortalHost();
        ASSERT_FALSE(portal.empty()) << "the demo portal fixture is not running";
        ASSERT_TRUE(test::CopyProgram(L"vorn.exe", folder.Path()));
        const std::string host(portal.begin(), portal.end());
        ASSERT_TRUE(test::WriteFileBytes(folder.File(L"Config.ini"),
                                         "[Common]\r\nUID=4242\r\n" + extraCommon + "[Portal]\r\nHost=" + host +
                                             "\r\nForumHost=" + host + "\r\nPayHost=" + host + "\r\n"));
        ASSERT_TRUE(process.Start(folder.File(L"vorn.exe")));
        frame = process.WaitForWindow(L"zarvoostrel", kTimeoutMs);
        ASSERT_NE(frame, nullptr);
        launcher = GetWindow(frame, GW_OWNER);
        ASSERT_NE(launcher, nullptr);
    }
    // More [Common] lines for Config.ini, set before SetUp runs.
    std::string extraCommon;
    void TearDown() override
    {
        if (!process.WaitForExit(0))
            PostMessageW(frame, 2277, 5557, 0);
        process.WaitForExit(kTimeoutMs);
        SetCursorPos(1270, 790);
    }
    bool RunFrameCommand(const std::wstring& command)
    {
        test::ChildProcess tool;
        return tool.Start(test::ProgramFolder() + L"\\framecmd.exe", command) && tool.WaitForExit(kTimeoutMs) &&
               tool.ExitCode() == 0;
    }
    bool EnterGameView()
    {
        return RunFrameCommand(L"enter") &&
               test::PumpUntil([&] { return IsZoomed(frame) && IsWindowVisible(frame); }, kTimeoutMs);
    }
    // The page area: the frame's one child, the browser's window.
    HWND Page() const { return GetWindow(frame, GW_CHILD); }
    HWND WaitForVisible(const wchar_t* className, DWORD timeoutMs = kTimeoutMs)
    {
        HWND found = nullptr;
        test::PumpUntil(
            [&] {
                for (HWND hwnd : test::TopLevelWindows(process.Id(), className))
                    if (IsWindowVisible(hwnd))
                        found = hwnd;
                return found != nullptr;
            },
            timeoutMs);
        return found;
    }
    // Opens the title-bar menu with a click on its button. Under Wine the
    // display server reports focus changes late, and one that arrives after
    // the menu took the focus deactivates the menu, which then hides as it
    // should. A user clicks again; so does this, at most twice more.
    HWND OpenTitleMenu(int x, int y)
    {
        ClickButtonAt(x, y);
        for (int attempt = 1;; ++attempt) {
            if (HWND menu = WaitForVisible(L"zarvo_menu", 3000))
                return menu;
            if (attempt == 3)
                return nullptr;
            std::fprintf(stderr, "the title-bar menu did not stay open; clicking again\n");
            ClickAt(x, y);
        }
    }

    // Made before the client starts and gone after it has ended: no test sees
    // another's kept game view, mute or screenshots.
    test::FreshPlayerSettings settings;
    test::TempFolder folder;
    test::ChildProcess process;
    std::wstring portal;
    HWND frame = nullptr;
    HWND launcher = nullptr;
};

} // namespace drive
