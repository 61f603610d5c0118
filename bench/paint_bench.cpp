// Paint figures of the real window classes against their floors, in one process:
//
//   launcher full layered redraw: Redraw of the launcher's painter (CFrameBack,
//   1154 x 704: render and UpdateLayeredWindow) against UpdateLayeredWindow of a
//   ready DIB of that size holding the launcher's finished pixels;
//   title-bar repaint: a hover change on one title-bar button of a 1920 x 1050
//   game frame (CFrameGame in the game view; only the invalidated part is
//   painted) against a BitBlt of that button's rectangle, and against the same
//   change at the frame's minimum size, 1020 x 704 (the cost must not grow
//   with the window).
//
//   paint_bench.exe [RUNS]       (needs a display of at least 1920 x 1080)
//
// Each pair of samples is taken back to back, so load changes hit both alike.

#include "BenchSupport.h"
#include "FloorLayeredWindow.h"

#include "frames/CFrameGame.h"
#include "ui/framework/CAppManager.h"
#include "ui/framework/Scoped.h"

#include <windows.h>
#include <gdiplus.h>

#include <algorithm>
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
    // At the scale the client starts it at, as large as the floor's.
    launcher.paint.scale = CFrameBack::ScaleOn(CFrameBack::StartMonitor());
    launcher.Create(0, nullptr, nullptr, WS_POPUP | WS_VISIBLE, 0, 0, launcher.paint.scale(CFrameBack::kWidth),
                    launcher.paint.scale(CFrameBack::kHeight), nullptr);
    bench::FloorLayeredWindow floor;
    if (!launcher.m_hWnd || !launcher.paint.layered || !floor.Create(0, 0))
        return result;
    // The pointer rests on one of the launcher's buttons, as while a user
    // moves between them (the painter then keeps its image between redraws).
    CImageButton* home = launcher.paint.FindButton(CFrameBack::kHomeId);
    if (!home)
        return result;
    const POINT on = {(home->rect.left + home->rect.right) / 2, (home->rect.top + home->rect.bottom) / 2};
    SetCursorPos(on.x, on.y);
    SendMessageW(launcher.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(on.x, on.y));
    bench::PumpPending();
    // The floor shows the very pixels the launcher shows (its transparent
    // edges included): the same visible result from a ready bitmap.
    launcher.paint.Redraw();
    DIBSECTION image = {};
    const CLayeredBitmap* shown = launcher.paint.renderer.LayeredImage();
    if (!shown || !GetObjectW(GetCurrentObject(shown->DC(), OBJ_BITMAP), sizeof(image), &image) || !image.dsBm.bmBits)
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

// The game frame at one size, with the minimise button's place in it.
struct FrameSize {
    int width;
    int height;
    RECT button = {};
};

// Sizes the frame and returns where its minimise button now lies (it keeps its
// distance from the right edge).
bool Resize(CFrameGame& frame, FrameSize& size)
{
    SetWindowPos(frame.m_hWnd, HWND_TOP, 0, 0, size.width, size.height, SWP_SHOWWINDOW);
    UpdateWindow(frame.m_hWnd);
    bench::PumpPending();
    RECT client = {};
    GetClientRect(frame.m_hWnd, &client);
    CImageButton* minimize = frame.paint.FindButton(CImagePaint::kMinimizeId);
    if (!minimize || client.right != size.width || client.bottom != size.height)
        return false;
    size.button = minimize->rect;
    return true;
}

struct TitleBarFigures {
    Pair large;                // at 1920 x 1050, beside its floor
    std::vector<double> small; // the same repaint at the frame's minimum size
    SIZE minimum = {};
    SIZE size = {};
    RECT button = {};
};

TitleBarFigures TitleBarRepaint(int runs)
{
    TitleBarFigures result;
    CFrameGame frame;
    if (!frame.CreateWindows())
        return result;
    SendMessageW(frame.m_hWnd, CFrameGame::WM_FRAMECOMMAND, CFrameGame::FRAME_CMD_ENTER_GAME, 0);
    KillTimer(frame.m_hWnd, CFrameGame::TIMER_MAXIMIZE);
    ShowWindow(frame.m_hWnd, SW_SHOWNORMAL);
    // The minimum size at the frame's scale, within the work area; the large
    // view no lower than that.
    const SIZE minimum = frame.MinimumSizeOn(MonitorFromWindow(frame.m_hWnd, MONITOR_DEFAULTTONEAREST));
    FrameSize large = {kGameWidth, std::max<int>(kGameHeight, minimum.cy)};
    FrameSize small = {minimum.cx, minimum.cy};
    if (!Resize(frame, large) || !Resize(frame, small) || !Resize(frame, large))
        return result;
    result.button = large.button;
    result.minimum = {small.width, small.height};
    result.size = {large.width, large.height};

    // The floor: the button's finished pixels copied to where they belong.
    const RECT& b = large.button;
    const int w = b.right - b.left, h = b.bottom - b.top;
    HDC windowDC = GetDC(frame.m_hWnd);
    HDC memoryDC = CreateCompatibleDC(windowDC);
    HBITMAP ready = CreateCompatibleBitmap(windowDC, w, h);
    HGDIOBJ previous = SelectObject(memoryDC, ready);
    BitBlt(memoryDC, 0, 0, w, h, windowDC, b.left, b.top, SRCCOPY);

    // Blocks of samples at either size in turn, so that load changes hit both
    // sizes alike; each block begins with a few unmeasured changes.
    constexpr int kBlock = 20;
    for (int taken = 0; taken < runs; taken += kBlock) {
        for (FrameSize* size : {&large, &small}) {
            if (!Resize(frame, *size))
                return TitleBarFigures{};
            const RECT& r = size->button;
            const int onX = (r.left + r.right) / 2, onY = (r.top + r.bottom) / 2;
            const int offX = onX - 400, offY = onY; // title bar, no button there
            for (int i = 0; i < 4; ++i)
                HoverChange(frame.m_hWnd, i % 2 == 0 ? onX : offX, i % 2 == 0 ? onY : offY);
            for (int i = 0; i < kBlock && taken + i < runs; ++i) {
                const bool onto = i % 2 == 0;
                const double measured = HoverChange(frame.m_hWnd, onto ? onX : offX, onto ? onY : offY);
                if (size == &small) {
                    result.small.push_back(measured);
                } else {
                    result.large.measured.push_back(measured);
                    const double start = bench::NowMs();
                    BitBlt(windowDC, b.left, b.top, w, h, memoryDC, 0, 0, SRCCOPY);
                    GdiFlush();
                    result.large.floor.push_back(bench::NowMs() - start);
                }
                bench::PumpPending();
            }
        }
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
    const ScopedGdiplus gdiplus;

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

    const TitleBarFigures title = TitleBarRepaint(runs);
    if (title.large.measured.empty() || title.small.empty()) {
        std::fprintf(stderr, "paint_bench: the game view could not be set up at both sizes\n");
        status = 1;
    } else {
        const double large = bench::Median(title.large.measured), floor = bench::Median(title.large.floor);
        char figure[160];
        std::snprintf(figure, sizeof(figure),
                      "title-bar hover repaint of a %ld x %ld frame (%ld x %ld button), ms (median / p99)",
                      title.size.cx, title.size.cy, title.button.right - title.button.left,
                      title.button.bottom - title.button.top);
        bench::Row(
            figure,
            bench::Format("%.3f", large) + " / " + bench::Format("%.3f", bench::Percentile(title.large.measured, 0.99)),
            bench::Format("%.3f", floor) + " / " + bench::Format("%.3f", bench::Percentile(title.large.floor, 0.99)),
            "<= 30 x floor (median)", bench::Verdict(large <= 30 * floor));
        const double small = bench::Median(title.small);
        const std::string minimum = std::to_string(title.minimum.cx) + " x " + std::to_string(title.minimum.cy);
        bench::Row("the same repaint at " + std::to_string(title.size.cx) + " x " + std::to_string(title.size.cy) +
                       " against " + minimum + ", ms (median)",
                   bench::Format("%.3f", large), bench::Format("%.3f", small), "<= 1.3 x the " + minimum + " repaint",
                   bench::Verdict(large <= 1.3 * small));
    }

    CAppManager::DetachThread(manager.m_threadId);
    return status;
}
