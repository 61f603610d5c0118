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

#include "app/gameApp.h"
#include "browser/CMyHtml.h"
#include "frames/CFrameBack.h"
#include "resources/resource.h"
#include "ui/framework/CHtmlAppManager.h"
#include "ui/skin/SkinImage.h"

#include <windows.h>
#include <gdiplus.h>
#include <psapi.h>

#include <cctype>
#include <map>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <cwctype>
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
    // At the scale the launcher starts at.
    const DpiScale s = CFrameBack::ScaleOn(CFrameBack::StartMonitor());
    std::unique_ptr<Gdiplus::Image> image = LoadPngResource(IDP_LAUNCHER, s.Dpi());
    auto* bitmap = dynamic_cast<Gdiplus::Bitmap*>(image.get());
    if (!bitmap)
        return false;
    for (int y = s(300); y < s(560); y += 7) {
        for (int x = s(40); x < s(340); x += 7) {
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

// Starts the program and waits until its window shows its first image: the
// milliseconds taken, or a negative value when it never did.
double TimeToScreen(const Program& program, bench::StartedProcess& process, HWND& window)
{
    const double start = bench::NowMs();
    if (!process.Start(program.exe))
        return -1.0;
    const double deadline = start + kStartTimeoutMs;
    while (bench::NowMs() < deadline) {
        window = bench::TopLevelOf(process.info.dwProcessId, program.windowClass);
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

bool Close(bench::StartedProcess& process, HWND window, bool isClient)
{
    if (isClient) {
        // The launcher shows before the game frame behind it is created.
        HWND frame = nullptr;
        for (DWORD waited = 0; !frame && waited < kStartTimeoutMs; ++waited) {
            frame = bench::TopLevelOf(process.info.dwProcessId, L"zarvoostrel");
            if (!frame)
                Sleep(1);
        }
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

// Wine answers GetProcessTimes of another process with zero CPU time and
// GetProcessMemoryInfo without private bytes. Under Wine the process is also a
// Linux process, whose own accounting is read through the Z: drive instead.
std::string ReadSmallFile(const std::wstring& path)
{
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::string text(65536, '\0');
    DWORD read = 0;
    ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
    CloseHandle(file);
    text.resize(read);
    return text;
}

bool RunsUnderWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

// The Linux process whose command line starts with the program's path.
std::wstring LinuxProcFolder(const std::wstring& exe)
{
    std::string wanted(exe.begin(), exe.end());
    for (char& c : wanted)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW(L"Z:\\proc\\*", &entry);
    if (find == INVALID_HANDLE_VALUE)
        return {};
    std::wstring found;
    do {
        if (!iswdigit(entry.cFileName[0]))
            continue;
        const std::wstring folder = std::wstring(L"Z:\\proc\\") + entry.cFileName;
        std::string command = ReadSmallFile(folder + L"\\cmdline");
        command = command.substr(0, command.find('\0'));
        for (char& c : command)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (command == wanted) {
            found = folder;
            break;
        }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    return found;
}

// CPU time of the process (all its threads, ended ones included), in
// milliseconds: user and system time of /proc/PID/stat, in ticks of 10 ms.
double LinuxCpuMs(const std::wstring& procFolder)
{
    const std::string stat = ReadSmallFile(procFolder + L"\\stat");
    const size_t end = stat.rfind(')'); // the name in parentheses may hold blanks
    if (end == std::string::npos)
        return -1.0;
    // After the name: state (field 3) ... utime (14), stime (15).
    const char* p = stat.c_str() + end + 1;
    double fields[16] = {};
    for (int field = 3; field <= 15 && *p; ++field) {
        while (*p == ' ')
            ++p;
        fields[field] = std::atof(p);
        while (*p && *p != ' ')
            ++p;
    }
    return (fields[14] + fields[15]) * 10.0;
}

double StatusKb(const std::wstring& procFolder, const char* field)
{
    const std::string status = ReadSmallFile(procFolder + L"\\status");
    const size_t at = status.find(field);
    return at == std::string::npos ? 0.0 : std::atof(status.c_str() + at + std::strlen(field));
}

// CPU time of each of the process's threads, in nanoseconds, by thread id.
std::map<std::wstring, double> LinuxThreadCpuNs(const std::wstring& procFolder)
{
    std::map<std::wstring, double> threads;
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((procFolder + L"\\task\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return threads;
    do {
        if (iswdigit(entry.cFileName[0]))
            threads[entry.cFileName] =
                std::atof(ReadSmallFile(procFolder + L"\\task\\" + entry.cFileName + L"\\schedstat").c_str());
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    return threads;
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

// CPU time the process uses while left alone for kIdleMs. Under Wine: the sum
// over its threads (nanosecond accounting; a thread that starts meanwhile
// counts whole), cross-checked against the process's own total, which counts
// ended threads too but only in ticks of 10 ms: the larger of the two is taken.
double IdleCpuMs(HANDLE process, const std::wstring& procFolder)
{
    if (procFolder.empty()) {
        const double before = CpuMs(process);
        Sleep(kIdleMs);
        const double after = CpuMs(process);
        return before < 0 || after < 0 ? -1.0 : after - before;
    }
    const std::map<std::wstring, double> before = LinuxThreadCpuNs(procFolder);
    const double totalBefore = LinuxCpuMs(procFolder);
    Sleep(kIdleMs);
    const std::map<std::wstring, double> after = LinuxThreadCpuNs(procFolder);
    const double totalAfter = LinuxCpuMs(procFolder);
    if (after.empty() || totalBefore < 0 || totalAfter < 0)
        return -1.0;
    double ns = 0;
    for (const auto& [thread, used] : after) {
        const auto earlier = before.find(thread);
        ns += used - (earlier != before.end() ? earlier->second : 0.0);
    }
    // Ticks: a total that moved by one tick may mean anything up to 10 ms.
    const double ticksMs = totalAfter - totalBefore - 10.0;
    return std::max(ns / 1e6, ticksMs);
}

struct Memory {
    double workingSetMb = 0;
    double privateMb = 0;
};

Memory MemoryOf(HANDLE process, const std::wstring& procFolder)
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    Memory memory;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters))) {
        memory.workingSetMb = static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
        memory.privateMb = static_cast<double>(counters.PrivateUsage) / (1024.0 * 1024.0);
    }
    // Under Wine: the private pages the process holds (resident anonymous memory).
    if (memory.privateMb == 0 && !procFolder.empty())
        memory.privateMb = StatusKb(procFolder, "RssAnon:") / 1024.0;
    return memory;
}

double MedianOf(const std::vector<Memory>& samples, double Memory::*field)
{
    std::vector<double> values;
    for (const Memory& m : samples)
        values.push_back(m.*field);
    return bench::Median(values);
}

double OwnWorkingSetMb()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
}

// What the browser control adds to a process: this process's working set before
// and after a browser window (CMyHtml, the client's own) comes up on a UI thread
// that already runs, as the client's does. The parent is a window of a class
// of our own, as the client's frame is: a system class such as "STATIC" would
// load the common controls (this program carries the client's manifest, which
// asks for version 6 of them) before the control does, and their share would
// wrongly be counted as the client's own.
double BrowserControlMb()
{
    CHtmlAppManager manager;
    HANDLE thread = CreateThread(nullptr, 0, UiThreadMain, &manager, 0, nullptr);
    if (!thread || !manager.WaitUntilReady(10000, thread))
        return -1.0;
    WNDCLASSW parentClass = {};
    parentClass.lpfnWndProc = DefWindowProcW;
    parentClass.hInstance = GetModuleHandleW(nullptr);
    parentClass.lpszClassName = L"vorn_bench_parent";
    RegisterClassW(&parentClass);
    HWND parent = CreateWindowExW(0, parentClass.lpszClassName, L"", WS_POPUP, 0, 0, 600, 386, nullptr, nullptr,
                                  parentClass.hInstance, nullptr);
    double added = -1.0;
    {
        CMyHtml browser;
        Sleep(kSettleMs);
        const double before = OwnWorkingSetMb();
        browser.Create(0, nullptr, L"", WS_CHILD | WS_VISIBLE, 0, 0, 600, 386, parent);
        for (int i = 0; i < 10000 && !browser.IsBrowserReady(); ++i)
            Sleep(1);
        if (browser.IsBrowserReady()) {
            Sleep(kSettleMs);
            added = OwnWorkingSetMb() - before;
        }
        PostThreadMessageW(manager.m_threadId, WM_QUIT, 0, 0);
        WaitForSingleObject(thread, 10000);
    }
    CloseHandle(thread);
    DestroyWindow(parent);
    return added;
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
    const DpiScale s = CFrameBack::ScaleOn(CFrameBack::StartMonitor());
    const POINT screenProbe = {(work.right - work.left - s(bench::kLauncherWidth)) / 2 + client.probe.x,
                               (work.bottom - work.top - s(bench::kLauncherHeight)) / 2 + client.probe.y};

    std::vector<double> clientMs, floorMs;
    std::vector<Memory> clientMemory, floorMemory;
    int failures = 0;
    for (int run = 0; run < runs; ++run) {
        for (int turn = 0; turn < 2; ++turn) {
            const bool isClient = (run + turn) % 2 == 0;
            const Program& program = isClient ? client : floor;
            WaitForEmptyScreen(screenProbe, client.expected, floor.expected);
            bench::StartedProcess process;
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
                const std::wstring proc = RunsUnderWine() ? LinuxProcFolder(program.exe) : std::wstring();
                (isClient ? clientMemory : floorMemory).push_back(MemoryOf(process.info.hProcess, proc));
            }
            if (!Close(process, window, isClient))
                ++failures;
        }
    }

    // Idle: one client left alone in the login view, then in the game view.
    double idleLauncher = -1.0, idleGame = -1.0;
    {
        WaitForEmptyScreen(screenProbe, client.expected, floor.expected);
        bench::StartedProcess process;
        HWND window = nullptr;
        if (TimeToScreen(client, process, window) >= 0) {
            Sleep(2 * kSettleMs);
            const std::wstring proc = RunsUnderWine() ? LinuxProcFolder(client.exe) : std::wstring();
            idleLauncher = IdleCpuMs(process.info.hProcess, proc);
            HWND frame = bench::TopLevelOf(process.info.dwProcessId, L"zarvoostrel");
            PostMessageW(frame, WM_FRAMECOMMAND, FRAME_CMD_ENTER_GAME, 0);
            for (int i = 0; i < 5000 && !(IsZoomed(frame) && IsWindowVisible(frame)); ++i)
                Sleep(1);
            Sleep(2 * kSettleMs);
            idleGame = IdleCpuMs(process.info.hProcess, proc);
            if (!Close(process, window, true))
                ++failures;
        } else {
            ++failures;
        }
    }
    const double browserMb = BrowserControlMb();
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
    // The browser control's share is measured on its own (above) and taken out.
    const bool haveBrowser = browserMb >= 0;
    const double without = haveBrowser ? browserMb : 0.0;
    const char* wsName = RunsUnderWine() ? "working set (Linux resident set), MB" : "working set, MB";
    const char* privateName =
        RunsUnderWine() ? "private bytes (Linux resident anonymous memory), MB" : "private bytes, MB";
    bench::Row(std::string(wsName) + ", launcher shown, all of it", bench::Format("%.1f", clientWs),
               bench::Format("%.1f", floorWs), "report", "report");
    bench::Row(std::string(wsName) + ", launcher shown, browser control (" + bench::Format("%.1f", browserMb) +
                   " MB) excluded",
               bench::Format("%.1f", clientWs - without), bench::Format("%.1f", floorWs), "<= floor + 10 MB",
               bench::Verdict(haveMemory && haveBrowser && clientWs - without <= floorWs + 10));
    bench::Row(std::string(privateName) + ", launcher shown", bench::Format("%.1f", clientPrivate),
               bench::Format("%.1f", floorPrivate), "<= floor + 10 MB",
               bench::Verdict(haveMemory && clientPrivate > 0 && clientPrivate <= floorPrivate + 10));

    bench::Row("CPU in 10 s of an idle launcher, ms", bench::Format("%.1f", idleLauncher), "0", "<= 20 ms",
               bench::Verdict(idleLauncher >= 0 && idleLauncher <= 20));
    bench::Row("CPU in 10 s of an idle game view, ms", bench::Format("%.1f", idleGame), "0", "<= 20 ms",
               bench::Verdict(idleGame >= 0 && idleGame <= 20));
    if (failures)
        std::fprintf(stderr, "start_bench: %d runs failed to show or to end cleanly\n", failures);
    return failures ? 1 : 0;
}
