// Times a full layered redraw of the launcher-sized window (1154 x 704 with the
// launcher artwork and its six picture buttons): render into the DIB section
// and push it with UpdateLayeredWindow. Prints the median of many runs.
//
//   build/wine-run build/bin/layered_redraw.exe [runs]   (needs a display)

#include "ui/framework/CAppManager.h"
#include "ui/framework/Scoped.h"
#include "ui/skin/CImageCtrl.h"

#include <windows.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    CAppManager manager;
    if (!manager.AttachThread())
        return 1;
    g_hInstance = GetModuleHandleW(nullptr);
    const ScopedGdiplus gdiplus;

    std::vector<double> ms;
    {
        CImageCtrl window;
        if (!window.Create(0, nullptr, L"", WS_POPUP | WS_VISIBLE, 0, 0, 1154, 704, nullptr)) {
            std::printf("no window\n");
            return 1;
        }
        CImagePaint& paint = window.paint;
        paint.AddButton(20, 0, 135, 154, 154, 135, 1047, 185, 1070, 208);
        paint.AddButton(1002, 0, 130, 153, 153, 130, 1031, 157, 1059, 185);
        paint.AddButton(1003, 0, 131, 155, 155, 131, 500, 171, 584, 195);
        paint.AddButton(1004, 0, 132, 151, 151, 132, 897, 171, 981, 195);
        paint.AddButton(1005, 0, 133, 152, 152, 133, 801, 171, 885, 195);
        paint.AddButton(1006, 0, 134, 156, 156, 134, 408, 171, 492, 195);
        paint.AddStatic(145, 1007, false, RECT{0, 0, 1154, 704});
        paint.EnableLayered();
        if (!paint.layered) {
            std::printf("layered mode unavailable\n");
            return 1;
        }
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        for (int i = 0; i < 5; ++i)
            paint.Redraw(); // warm up caches and the decoder
        for (int i = 0; i < runs; ++i) {
            LARGE_INTEGER start, end;
            QueryPerformanceCounter(&start);
            paint.Redraw();
            QueryPerformanceCounter(&end);
            ms.push_back(1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                         static_cast<double>(frequency.QuadPart));
        }
        DestroyWindow(window.m_hWnd);
    }
    CAppManager::DetachThread(manager.m_threadId);

    std::sort(ms.begin(), ms.end());
    std::printf("full layered redraw of 1154 x 704, %d runs: median %.2f ms, min %.2f ms, max %.2f ms\n", runs,
                ms[ms.size() / 2], ms.front(), ms.back());
    return 0;
}
