// Paint figures of the real window classes against their floors, in one process:
//
//   launcher full layered redraw: Redraw of the launcher's painter (CFrameBack,
//   1154 x 704: render and UpdateLayeredWindow) against UpdateLayeredWindow of a
//   ready DIB of that size holding the launcher's finished pixels;
//   title-bar repaint: a hover change on one title-bar button of a 1920 x 1050
//   game frame (CFrameGame in the game view; only the invalidated part is
//   painted) against a BitBlt of that button's rectangle.
//
//   paint_bench.exe [RUNS]       (needs a display of at least 1920 x 1080)
//
// Each pair of samples is taken back to back, so load changes hit both alike.

#include "BenchSupport.h"
#include "FloorLayeredWindow.h"

#include "frames/CFrameGame.h"
#include "ui/framework/CAppManager.h"

#include <windows.h>
#include <gdiplus.h>

#include <cstdlib>
#include <vector>

namespace {

constexpr int kGameWidth = 1920;
constexpr int kGameHeight = 1050;

struct Pair {
    std::vector<double> measured;
    std::vector<double> floor;
};

Pair LauncherRedraw(int runs)
{
    Pair result;
    CFrameBack launcher;
    launcher.Create(0, nullptr, nullptr, WS_POPUP | WS_VISIBLE, 0, 0, CFrameBack::kWidth, CFrameBack::kHeight,
                    nullptr);
    bench::FloorLayeredWindow floor;
    if (!launcher.m_hWnd || !launcher.paint.layered || !floor.Create(0, 0))
        return result;
    // The pointer rests on the launcher, away from its buttons, as while a user
    // moves between them (the painter then keeps its image between redraws).
    SetCursorPos(200, 400);
    SendMessageW(launcher.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(200, 400));
    bench::PumpPending();
    // The floor shows the very pixels the launcher shows (its transparent
    // edges included): the same visible result from a ready bitmap.
    launcher.paint.Redraw();
    DIBSECTION image = {};
    if (!launcher.paint.layeredImage ||
        !GetObjectW(GetCurrentObject(launcher.paint.layeredImage->DC(), OBJ_BITMAP), sizeof(image), &image) ||
        !image.dsBm.bmBits)
        return result;
    floor.SetPixels(image.dsBm.bmBits);
    for (int i = 0; i < 5; ++i) {
        launcher.paint.Redraw();
        floor.Push();
    }
    for (int i = 0; i < runs; ++i) {
        double start = bench::NowMs();
        launcher.paint.Redraw();
        result.measured.push_back(bench::NowMs() - start);
        start = bench::NowMs();
        floor.Push();
        result.floor.push_back(bench::NowMs() - start);
        bench::PumpPending();
    }
    DestroyWindow(launcher.m_hWnd);
    bench::PumpPending();
    return result;
}

// A hover change as the painter sees it: the pointer moves onto the button or
// off it; the window then paints what was invalidated, synchronously.
double HoverChange(HWND frame, int x, int y)
{
    POINT screen = {x, y};
    ClientToScreen(frame, &screen);
    SetCursorPos(screen.x, screen.y);
    const double start = bench::NowMs();
    SendMessageW(frame, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    UpdateWindow(frame);
    return bench::NowMs() - start;
}

Pair TitleBarRepaint(int runs, RECT& buttonRect)
{
    Pair result;
    CFrameGame frame;
    if (!frame.CreateWindows())
        return result;
    SendMessageW(frame.m_hWnd, CFrameGame::WM_FRAMECOMMAND, CFrameGame::FRAME_CMD_ENTER_GAME, 0);
    KillTimer(frame.m_hWnd, CFrameGame::TIMER_MAXIMIZE);
    ShowWindow(frame.m_hWnd, SW_SHOWNORMAL);
    SetWindowPos(frame.m_hWnd, HWND_TOP, 0, 0, kGameWidth, kGameHeight, SWP_SHOWWINDOW);
    UpdateWindow(frame.m_hWnd);
    bench::PumpPending();

    CImageButton* minimize = frame.paint.FindButton(CImagePaint::kMinimizeId);
    if (!minimize)
        return result;
    buttonRect = minimize->rect;
    const int onX = (buttonRect.left + buttonRect.right) / 2, onY = (buttonRect.top + buttonRect.bottom) / 2;
    const int offX = onX - 400, offY = onY; // title bar, no button there

    HDC windowDC = GetDC(frame.m_hWnd);
    HDC memoryDC = CreateCompatibleDC(windowDC);
    const int w = buttonRect.right - buttonRect.left, h = buttonRect.bottom - buttonRect.top;
    HBITMAP ready = CreateCompatibleBitmap(windowDC, w, h);
    HGDIOBJ previous = SelectObject(memoryDC, ready);
    BitBlt(memoryDC, 0, 0, w, h, windowDC, buttonRect.left, buttonRect.top, SRCCOPY);

    for (int i = 0; i < 5; ++i) {
        HoverChange(frame.m_hWnd, onX, onY);
        HoverChange(frame.m_hWnd, offX, offY);
    }
    for (int i = 0; i < runs; ++i) {
        const bool onto = i % 2 == 0;
        result.measured.push_back(HoverChange(frame.m_hWnd, onto ? onX : offX, onto ? onY : offY));
        const double start = bench::NowMs();
        BitBlt(windowDC, buttonRect.left, buttonRect.top, w, h, memoryDC, 0, 0, SRCCOPY);
        GdiFlush();
        result.floor.push_back(bench::NowMs() - start);
        bench::PumpPending();
    }
    SelectObject(memoryDC, previous);
    DeleteObject(ready);
    DeleteDC(memoryDC);
    ReleaseDC(frame.m_hWnd, windowDC);
    DestroyWindow(frame.m_hWnd);
    DestroyWindow(frame.m_back.m_hWnd);
    bench::PumpPending();
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(10, std::atoi(argv[1])) : 200;
    CAppManager manager;
    if (!manager.AttachThread())
        return 1;
    g_hInstance = GetModuleHandleW(nullptr);
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);

    int status = 0;
    const Pair redraw = LauncherRedraw(runs);
    if (redraw.measured.empty()) {
        std::fprintf(stderr, "paint_bench: the launcher or its floor could not be shown layered\n");
        status = 1;
    } else {
        const double measured = bench::Median(redraw.measured), floor = bench::Median(redraw.floor);
        bench::Row("launcher full layered redraw, ms (median of " + std::to_string(runs) + ")",
                   bench::Format("%.2f", measured), bench::Format("%.2f", floor), "<= 2 x floor",
                   bench::Verdict(measured <= 2 * floor));
    }

    RECT button = {};
    const Pair title = TitleBarRepaint(runs, button);
    if (title.measured.empty()) {
        std::fprintf(stderr, "paint_bench: the game view could not be set up\n");
        status = 1;
    } else {
        char figure[160];
        std::snprintf(figure, sizeof(figure),
                      "title-bar hover repaint of a 1920 x 1050 frame (%ld x %ld button), ms (median / p99)",
                      button.right - button.left, button.bottom - button.top);
        bench::Row(figure,
                   bench::Format("%.2f", bench::Median(title.measured)) + " / " +
                       bench::Format("%.2f", bench::Percentile(title.measured, 0.99)),
                   bench::Format("%.3f", bench::Median(title.floor)) + " / " +
                       bench::Format("%.3f", bench::Percentile(title.floor, 0.99)),
                   "report", "report");
    }

    Gdiplus::GdiplusShutdown(token);
    CAppManager::DetachThread(manager.m_threadId);
    return status;
}
