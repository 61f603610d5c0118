// The page sooner: how long the real client takes, from just before
// CreateProcess, until its start page's request reaches the portal, against
// the floor program (one window with the WebBrowser control that navigates to
// the same URL at once). The portal is a loopback server of this program; the
// client finds it through the Config.ini written into its folder here.
//
//   page_bench.exe RUNS CLIENT_FOLDER FLOOR_EXE
//
// The two programs take turns, so that a change in the machine's load hits
// both alike. Then a few more runs of each are watched from outside (their
// windows, as they appear) to show where the time goes; they are not part of
// the judged figure, since the watching itself takes processor time.

#include "LoopbackPortal.h"

#include "app/PortalSite.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr DWORD kRequestTimeoutMs = 20000;
constexpr DWORD kExitTimeoutMs = 20000;
constexpr int kWatchedRuns = 5;
constexpr UINT WM_FRAMECOMMAND = 2277;
constexpr WPARAM FRAME_CMD_CLOSE = 5557;

HWND MessageWindowOf(DWORD pid, const wchar_t* className)
{
    for (HWND hwnd = nullptr; (hwnd = FindWindowExW(HWND_MESSAGE, hwnd, className, nullptr)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner == pid)
            return hwnd;
    }
    return nullptr;
}

// Ends a program once its request is in: the client through its frame's close
// command (the frame comes after the launcher), the floor through WM_CLOSE.
bool Close(bench::StartedProcess& process, bool isClient)
{
    const wchar_t* windowClass = isClient ? L"zarvoostrel" : L"floor_browser";
    HWND window = nullptr;
    for (DWORD waited = 0; !window && waited < kExitTimeoutMs; ++waited) {
        window = bench::TopLevelOf(process.info.dwProcessId, windowClass);
        if (!window)
            Sleep(1);
    }
    PostMessageW(window, isClient ? WM_FRAMECOMMAND : WM_CLOSE, isClient ? FRAME_CMD_CLOSE : 0, 0);
    return process.WaitForExit(kExitTimeoutMs) && process.ExitCode() == 0;
}

// Milliseconds from the start at which each step was first seen.
struct Steps {
    double oleUp = -1, floorWindow = -1, launcherVisible = -1, uiThreadListening = -1, frame = -1, browserWindow = -1,
           control = -1, request = -1;
};

// Watches a program's windows appear until its request is in: OLE's own
// window on the first thread that starts it, then the floor's one window, or
// the client's launcher, UI thread, frame and browser window, and the
// control's window inside it.
Steps Watch(bench::StartedProcess& process, bool isClient, bench::LoopbackPortal& portal, const std::string& path,
            double start)
{
    Steps steps;
    const int seen = portal.Count(path);
    const DWORD pid = process.info.dwProcessId;
    const double deadline = start + kRequestTimeoutMs;
    auto note = [&](double& step, bool now) {
        if (step < 0 && now)
            step = bench::NowMs() - start;
    };
    while (bench::NowMs() < deadline && portal.Count(path) <= seen) {
        note(steps.oleUp, MessageWindowOf(pid, L"OleMainThreadWndClass") != nullptr);
        HWND host = nullptr;
        if (isClient) {
            HWND launcher = bench::TopLevelOf(pid, L"zarvo_back");
            note(steps.launcherVisible, launcher && IsWindowVisible(launcher));
            note(steps.uiThreadListening, MessageWindowOf(pid, L"HtmlRequestWake") != nullptr);
            HWND frame = bench::TopLevelOf(pid, L"zarvoostrel");
            note(steps.frame, frame != nullptr);
            // In the frame, or still on its own before the frame takes it in.
            host = frame ? FindWindowExW(frame, nullptr, L"ImageWnd", nullptr) : nullptr;
            if (!host)
                host = bench::TopLevelOf(pid, L"ImageWnd");
            note(steps.browserWindow, host != nullptr);
        } else {
            host = bench::TopLevelOf(pid, L"floor_browser");
            note(steps.floorWindow, host && IsWindowVisible(host));
        }
        note(steps.control, bench::DescendantOf(host, L"Shell Embedding") != nullptr);
        Sleep(1);
    }
    const double arrived = portal.WaitForRequest(path, seen, 0);
    if (arrived >= 0)
        steps.request = arrived - start;
    return steps;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: page_bench RUNS CLIENT_FOLDER FLOOR_EXE\n");
        return 2;
    }
    const int runs = std::max(1, _wtoi(argv[1]));
    const std::wstring clientExe = std::wstring(argv[2]) + L"\\vorn.exe";
    const std::wstring floorExe = argv[3];

    bench::LoopbackPortal portal;
    if (!portal.Start()) {
        std::fprintf(stderr, "page_bench: no loopback port\n");
        return 1;
    }
    if (!bench::WritePortalConfig(argv[2], portal.Host())) {
        std::fprintf(stderr, "page_bench: cannot write the client's Config.ini\n");
        return 1;
    }
    const std::wstring widePath = PortalSite::kStartPath;
    const std::string path(widePath.begin(), widePath.end());
    const std::wstring url = L"http://" + portal.Host() + widePath;

    std::vector<double> clientMs, floorMs;
    int failures = 0;
    // One unmeasured turn each first: the first start after the others' pays
    // for files the system has not read yet.
    for (int run = -1; run < runs; ++run) {
        for (int turn = 0; turn < 2; ++turn) {
            const bool isClient = (run + 1 + turn) % 2 == 0;
            const int seen = portal.Count(path);
            bench::StartedProcess process;
            const double start = bench::NowMs();
            if (!(isClient ? process.Start(clientExe) : process.Start(floorExe, url))) {
                ++failures;
                continue;
            }
            const double arrived = portal.WaitForRequest(path, seen, kRequestTimeoutMs);
            if (arrived < 0)
                ++failures;
            else if (run >= 0)
                (isClient ? clientMs : floorMs).push_back(arrived - start);
            if (!Close(process, isClient))
                ++failures;
        }
    }

    // Watched runs, taking turns too.
    std::vector<Steps> watchedClient, watchedFloor;
    for (int run = 0; run < 2 * kWatchedRuns; ++run) {
        const bool isClient = run % 2 == 0;
        bench::StartedProcess process;
        const double start = bench::NowMs();
        if (!(isClient ? process.Start(clientExe) : process.Start(floorExe, url))) {
            ++failures;
            continue;
        }
        (isClient ? watchedClient : watchedFloor).push_back(Watch(process, isClient, portal, path, start));
        if (!Close(process, isClient))
            ++failures;
    }

    const int n = static_cast<int>(std::min(clientMs.size(), floorMs.size()));
    const double client = bench::Median(clientMs), floor = bench::Median(floorMs);
    const bool measured = !clientMs.empty() && !floorMs.empty();
    bench::Row("start to the start page's request at the portal, ms (median of " + std::to_string(n) + ")",
               bench::Format("%.0f", client), bench::Format("%.0f", floor), "<= 1.3 x floor",
               bench::Verdict(measured && client <= 1.3 * floor));
    auto step = [](const char* name, const std::vector<Steps>& runs, double Steps::*field) {
        std::vector<double> seen;
        for (const Steps& s : runs)
            if (s.*field >= 0)
                seen.push_back(s.*field);
        return std::string(name) + " " + (seen.empty() ? std::string("-") : bench::Format("%.0f", bench::Median(seen)));
    };
    bench::Row(
        "where the time goes, ms from start (watched from outside, median of " + std::to_string(kWatchedRuns) + ")",
        step("OLE up", watchedClient, &Steps::oleUp) + ", " +
            step("UI thread listening", watchedClient, &Steps::uiThreadListening) + ", " +
            step("launcher visible", watchedClient, &Steps::launcherVisible) + ", " +
            step("frame", watchedClient, &Steps::frame) + ", " +
            step("browser window", watchedClient, &Steps::browserWindow) + ", " +
            step("control", watchedClient, &Steps::control) + ", " + step("request", watchedClient, &Steps::request),
        step("OLE up", watchedFloor, &Steps::oleUp) + ", " + step("window", watchedFloor, &Steps::floorWindow) + ", " +
            step("control", watchedFloor, &Steps::control) + ", " + step("request", watchedFloor, &Steps::request),
        "report", "report");
    for (size_t i = 0; i < clientMs.size(); ++i)
        std::fprintf(stderr, "page_bench: run %zu: client %.0f ms, floor %.0f ms\n", i, clientMs[i],
                     i < floorMs.size() ? floorMs[i] : -1.0);
    if (failures)
        std::fprintf(stderr, "page_bench: %d runs failed to ask for the page or to end cleanly\n", failures);
    portal.Stop();
    return failures ? 1 : 0;
}
