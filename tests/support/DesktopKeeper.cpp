// desktop_keeper: holds Wine's desktop open for a whole test run.
//
// Wine closes a desktop one second after the last program using it ends and
// starts a new desktop process for the next one. Test programs start and end
// back to back, so without a steady user every test would pay for a new desktop
// and end while the old one is being torn down. This program owns one hidden
// window, answers its messages (broadcasts must not wait on it) and lives until
// the Wine server ends it. Once its window (and with it the desktop) is there,
// it says "ready" on its standard output, which the runner waits for.

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = L"VornTestDesktopKeeper";
    if (!RegisterClassW(&wc))
        return 1;
    // Never shown: no screenshot or window search of a test sees it.
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  instance, nullptr);
    if (!window)
        return 1;
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "ready\n", 6, &written, nullptr);
    CloseHandle(GetStdHandle(STD_OUTPUT_HANDLE));
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}
