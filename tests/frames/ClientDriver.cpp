#include "frames/ClientDriver.h"

#include "frames/CloseMsgWnd.h"

namespace drive {

RECT WholeScreen() { return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

std::vector<DWORD> ScreenSquare(int x, int y) { return ScreenPixels({x - 8, y - 8, x + 9, y + 9}); }

void WaitForStillScreen()
{
    std::vector<DWORD> last = ScreenPixels(WholeScreen());
    ULONGLONG stableSince = GetTickCount64();
    test::PumpUntil(
        [&] {
            std::vector<DWORD> now = ScreenPixels(WholeScreen());
            if (now != last)
                stableSince = GetTickCount64();
            last = std::move(now);
            return GetTickCount64() - stableSince >= 500;
        },
        5000);
}

void Screenshot(const wchar_t* name)
{
    WaitForStillScreen();
    EXPECT_TRUE(test::SaveScreenRect(WholeScreen(), test::ArtifactFolder() + L"\\" + name));
}

void SendMouse(DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
}

bool Xdotool(const std::wstring& arguments)
{
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    test::ChildProcess tool;
    return tool.Start(std::wstring(system) + L"\\start.exe", L"/wait /unix /usr/bin/xdotool " + arguments) &&
           tool.WaitForExit(kTimeoutMs) && tool.ExitCode() == 0;
}

void ClickAt(int x, int y)
{
    SetCursorPos(x, y);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
}

void MoveMouseTo(int x, int y)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof(input));
}

// Waits until the pixels around (x, y) have not changed for a while: a window
// that has only just been shown may not have drawn itself yet, and its first
// drawing would pass for the hover look.
void WaitForStillSquare(int x, int y)
{
    std::vector<DWORD> last = ScreenSquare(x, y);
    ULONGLONG stableSince = GetTickCount64();
    test::PumpUntil(
        [&] {
            std::vector<DWORD> now = ScreenSquare(x, y);
            if (now != last)
                stableSince = GetTickCount64();
            last = std::move(now);
            return GetTickCount64() - stableSince >= 300;
        },
        5000);
}

void ClickButtonAt(int x, int y)
{
    WaitForStillSquare(x, y);
    const std::vector<DWORD> before = ScreenSquare(x, y);
    bool hovered = false;
    for (DWORD waited = 0; !hovered && waited < kTimeoutMs; waited += 250) {
        const int nudge = (waited / 250) % 2;
        MoveMouseTo(x + nudge, y + nudge);
        hovered = test::PumpUntil([&] { return ScreenSquare(x, y) != before; }, 250);
    }
    EXPECT_TRUE(hovered) << "the button under the pointer at " << x << "," << y << " shows its hover look";
    ClickAt(x, y);
}

void AnswerCloseQuestion(HWND question, bool confirm)
{
    const RECT at = WindowRect(question);
    const RECT button = CloseMsgWnd::ButtonRect(confirm ? CloseMsgWnd::kConfirmId : CloseMsgWnd::kCancelId,
                                                DpiScale(dpi::OfWindow(question)));
    ClickButtonAt(at.left + (button.left + button.right) / 2, at.top + (button.top + button.bottom) / 2);
}

void PressKeys(std::initializer_list<WORD> keys)
{
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT down = {};
        down.type = INPUT_KEYBOARD;
        down.ki.wVk = key;
        inputs.push_back(down);
    }
    for (auto it = keys.end(); it != keys.begin();) {
        INPUT up = {};
        up.type = INPUT_KEYBOARD;
        up.ki.wVk = *--it;
        up.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(up);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

} // namespace drive
