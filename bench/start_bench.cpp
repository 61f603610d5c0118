// Start-up, memory and idle CPU of the real client against the floor program,
// each a separate process started here and watched from outside.
//
//   start_bench.exe RUNS CLIENT_FOLDER FLOOR_EXE
//
// CLIENT_FOLDER holds vorn.exe and a Config.ini whose [Portal] Host refuses
// connections at once. Start-up is timed from just before CreateProcess until
// the window is visible and its first layered image is on screen (a known
// opaque pixel of it reads back from the screen). The two programs take turns,
// so that a change in the machine's load hits both alike.

#include "BenchSupport.h"
#include "FloorLayeredWindow.h"

#include "resources/resource.h"
#include "ui/skin/SkinImage.h"

#include <windows.h>
#include <gdiplus.h>
#include <psapi.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kExitTimeoutMs = 20000;
constexpr DWORD kSettleMs = 1500;
constexpr DWORD kIdleMs = 10000;
constexpr UINT WM_FRAMECOMMAND = 2277;
constexpr WPARAM FRAME_CMD_ENTER_GAME = 1001;
constexpr WPARAM FRAME_CMD_CLOSE = 5557;

struct Program {
    std::wstring exe;
    const wchar_t* windowClass;
    POINT probe;       // in the window
    COLORREF expected; // what the screen shows there once the image is pushed
};

struct FindWindowOf {
    DWORD pid;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<FindWindowOf*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    if (owner == search->pid && wcscmp(name, search->className) == 0) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND WindowOf(DWORD pid, const wchar_t* className)
{
    FindWindowOf search{pid, className, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool Near(COLORREF a, COLORREF b)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= 6 && std::abs(GetGValue(a) - GetGValue(b)) <= 6 &&
           std::abs(GetBValue(a) - GetBValue(b)) <= 6;
}

COLORREF ScreenPixel(int x, int y)
{
    HDC screen = GetDC(nullptr);
    const COLORREF pixel = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return pixel;
}

// An opaque, clearly coloured pixel of the launcher artwork away from the page
// area and the buttons, as the client's first image shows it.
bool LauncherProbe(POINT& probe, COLORREF& color)
{
    std::unique_ptr<Gdiplus::Image> image = LoadPngResource(IDP_LAUNCHER);
    auto* bitmap = dynamic_cast<Gdiplus::Bitmap*>(image.get());
    if (!bitmap)
        return false;
    for (int y = 300; y < 560; y += 7) {
        for (int x = 40; x < 340; x += 7) {
            Gdiplus::Color c;
            if (bitmap->GetPixel(x, y, &c) != Gdiplus::Ok || c.GetA() != 255)
                continue;
            if (c.GetR() + c.GetG() + c.GetB() < 120)
                continue; // too close to the empty screen's black
            probe = {x, y};
            color = RGB(c.GetR(), c.GetG(), c.GetB());
            return true;
        }
    }
    return false;
}

class Started {
public:
    ~Started()
    {
        if (info.hProcess) {
            if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(info.hProcess, 1);
            CloseHandle(info.hProcess);
            CloseHandle(info.hThread);
        }
    }
    bool Start(const std::wstring& exe)
    {
        const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
        std::wstring line = L"\"" + exe + L"\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        return CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                              &info) != 0;
    }
    bool WaitForExit(DWORD timeoutMs) { return WaitForSingleObject(info.hProcess, timeoutMs) == WAIT_OBJECT_0; }
    DWORD ExitCode() const
    {
        DWORD code = 0;
        GetExitCodeProcess(info.hProcess, &code);
        return code;
    }
    PROCESS_INFORMATION info = {};
};

// Starts the program and waits until its window shows its first image: the
// milliseconds taken, or a negative value when it never did.
double TimeToScreen(const Program& program, Started& process, HWND& window)
{
    const double start = bench::NowMs();
    if (!process.Start(program.exe))
        return -1.0;
    const double deadline = start + kStartTimeoutMs;
    while (bench::NowMs() < deadline) {
        window = WindowOf(process.info.dwProcessId, program.windowClass);
        if (window && IsWindowVisible(window)) {
            RECT r = {};
            GetWindowRect(window, &r);
            if (Near(ScreenPixel(r.left + program.probe.x, r.top + program.probe.y), program.expected))
                return bench::NowMs() - start;
        }
        Sleep(1);
    }
    return -1.0;
}

bool Close(Started& process, HWND window, bool isClient)
{
    if (isClient) {
        HWND frame = WindowOf(process.info.dwProcessId, L"zarvoostrel");
        PostMessageW(frame, WM_FRAMECOMMAND, FRAME_CMD_CLOSE, 0);
    } else {
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    return process.WaitForExit(kExitTimeoutMs) && process.ExitCode() == 0;
}

// Waits (bounded) until the screen at the probe no longer shows either program.
void WaitForEmptyScreen(POINT at, COLORREF a, COLORREF b)
{
    for (int i = 0; i < 2000; ++i) {
        const COLORREF now = ScreenPixel(at.x, at.y);
        if (!Near(now, a) && !Near(now, b))
            return;
        Sleep(1);
    }
}

double CpuMs(HANDLE process)
{
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(process, &created, &ended, &kernel, &user))
        return -1.0;
    auto ticks = [](const FILETIME& t) {
        return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    };
    return (ticks(kernel) + ticks(user)) / 10000.0;
}

double IdleCpuMs(HANDLE process)
{
    const double before = CpuMs(process);
    Sleep(kIdleMs);
    const double after = CpuMs(process);
    return before < 0 || after < 0 ? -1.0 : after - before;
}

struct Memory {
    double workingSetMb = 0;
    double privateMb = 0;
};

Memory MemoryOf(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    Memory memory;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters))) {
        memory.workingSetMb = static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
        memory.privateMb = static_cast<double>(counters.PrivateUsage) / (1024.0 * 1024.0);
    }
    return memory;
}

double MedianOf(const std::vector<Memory>& samples, double Memory::*field)
{
    std::vector<double> values;
    for (const Memory& m : samples)
        values.push_back(m.*field);
    return bench::Median(values);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: start_bench RUNS CLIENT_FOLDER FLOOR_EXE\n");
        return 2;
    }
    const int runs = std::max(1, _wtoi(argv[1]));
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);

    Program client{std::wstring(argv[2]) + L"\\vorn.exe", L"zarvo_back", {}, 0};
    if (!LauncherProbe(client.probe, client.expected)) {
        std::fprintf(stderr, "start_bench: no opaque probe pixel in the launcher artwork\n");
        return 1;
    }
    const DWORD floorRgb = bench::kFloorColor;
    Program floor{argv[3], bench::kFloorClass, client.probe,
                  RGB((floorRgb >> 16) & 0xFF, (floorRgb >> 8) & 0xFF, floorRgb & 0xFF)};

    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const POINT screenProbe = {(work.right - work.left - bench::kLauncherWidth) / 2 + client.probe.x,
                               (work.bottom - work.top - bench::kLauncherHeight) / 2 + client.probe.y};

    std::vector<double> clientMs, floorMs;
    std::vector<Memory> clientMemory, floorMemory;
    int failures = 0;
    for (int run = 0; run < runs; ++run) {
        for (int turn = 0; turn < 2; ++turn) {
            const bool isClient = (run + turn) % 2 == 0;
            const Program& program = isClient ? client : floor;
            WaitForEmptyScreen(screenProbe, client.expected, floor.expected);
            Started process;
            HWND window = nullptr;
            const double ms = TimeToScreen(program, process, window);
            if (ms < 0) {
                ++failures;
                continue;
            }
            (isClient ? clientMs : floorMs).push_back(ms);
            // Memory once the program has settled with its window shown.
            if (run < 5) {
                Sleep(kSettleMs);
                (isClient ? clientMemory : floorMemory).push_back(MemoryOf(process.info.hProcess));
            }
            if (!Close(process, window, isClient))
                ++failures;
        }
    }

    // Idle: one client left alone in the login view, then in the game view.
    double idleLauncher = -1.0, idleGame = -1.0;
    {
        WaitForEmptyScreen(screenProbe, client.expected, floor.expected);
        Started process;
        HWND window = nullptr;
        if (TimeToScreen(client, process, window) >= 0) {
            Sleep(2 * kSettleMs);
            idleLauncher = IdleCpuMs(process.info.hProcess);
            HWND frame = WindowOf(process.info.dwProcessId, L"zarvoostrel");
            PostMessageW(frame, WM_FRAMECOMMAND, FRAME_CMD_ENTER_GAME, 0);
            for (int i = 0; i < 5000 && !(IsZoomed(frame) && IsWindowVisible(frame)); ++i)
                Sleep(1);
            Sleep(2 * kSettleMs);
            idleGame = IdleCpuMs(process.info.hProcess);
            if (!Close(process, window, true))
                ++failures;
        } else {
            ++failures;
        }
    }
    Gdiplus::GdiplusShutdown(token);

    const int n = static_cast<int>(std::min(clientMs.size(), floorMs.size()));
    const double clientStart = bench::Median(clientMs), floorStart = bench::Median(floorMs);
    bench::Row("start to launcher on screen, ms (median of " + std::to_string(n) + ")",
               bench::Format("%.0f", clientStart), bench::Format("%.0f", floorStart), "<= 1.5 x floor",
               bench::Verdict(!clientMs.empty() && !floorMs.empty() && clientStart <= 1.5 * floorStart));

    const double clientWs = MedianOf(clientMemory, &Memory::workingSetMb);
    const double floorWs = MedianOf(floorMemory, &Memory::workingSetMb);
    const double clientPrivate = MedianOf(clientMemory, &Memory::privateMb);
    const double floorPrivate = MedianOf(floorMemory, &Memory::privateMb);
    const bool haveMemory = !clientMemory.empty() && !floorMemory.empty() && floorWs > 0;
    bench::Row("working set with the launcher shown, MB", bench::Format("%.1f", clientWs),
               bench::Format("%.1f", floorWs), "<= floor + 10 MB", bench::Verdict(haveMemory && clientWs <= floorWs + 10));
    bench::Row("private bytes with the launcher shown, MB", bench::Format("%.1f", clientPrivate),
               bench::Format("%.1f", floorPrivate), "<= floor + 10 MB",
               bench::Verdict(haveMemory && clientPrivate <= floorPrivate + 10));

    bench::Row("CPU in 10 s of an idle launcher, ms", bench::Format("%.1f", idleLauncher), "0", "<= 20 ms",
               bench::Verdict(idleLauncher >= 0 && idleLauncher <= 20));
    bench::Row("CPU in 10 s of an idle game view, ms", bench::Format("%.1f", idleGame), "0", "<= 20 ms",
               bench::Verdict(idleGame >= 0 && idleGame <= 20));
    if (failures)
        std::fprintf(stderr, "start_bench: %d runs failed to show or to end cleanly\n", failures);
    return failures ? 1 : 0;
}
