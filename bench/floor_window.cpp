// The start-up and memory floor: a program that shows one 1154 x 704 layered
// window (at 96 DPI; as many more pixels as the client draws at another)
// window from a ready bitmap, placed where the client puts its launcher, and
// waits until it is closed (WM_CLOSE).

#include "FloorLayeredWindow.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    bench::FloorLayeredWindow window;
    if (!window.Create((work.right - work.left - bench::Scaled(bench::kLauncherWidth)) / 2,
                       (work.bottom - work.top - bench::Scaled(bench::kLauncherHeight)) / 2))
        return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}
