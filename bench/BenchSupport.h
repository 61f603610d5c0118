#pragma once
// Shared by the benchmark programs: a high-resolution clock, order statistics
// and the one line format bench.sh reads.
//
// A result line is tab-separated:
//   ROW <figure> <measured> <floor> <target> <verdict>
// verdict is "met", "missed" or "report" (a figure that has no target).

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace bench {

inline double NowMs()
{
    static const double ticksPerMs = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / ticksPerMs;
}

// The value below which the given share of the samples lies (nearest rank).
inline double Percentile(std::vector<double> samples, double share)
{
    if (samples.empty())
        return 0.0;
    std::sort(samples.begin(), samples.end());
    size_t rank = static_cast<size_t>(share * static_cast<double>(samples.size()));
    if (rank >= samples.size())
        rank = samples.size() - 1;
    return samples[rank];
}

inline double Median(const std::vector<double>& samples) { return Percentile(samples, 0.5); }

inline std::string Format(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof(text), format, value);
    return text;
}

inline void Row(const std::string& figure, const std::string& measured, const std::string& floor,
                const std::string& target, const char* verdict)
{
    std::printf("ROW\t%s\t%s\t%s\t%s\t%s\n", figure.c_str(), measured.c_str(), floor.c_str(), target.c_str(), verdict);
    std::fflush(stdout);
}

inline const char* Verdict(bool met) { return met ? "met" : "missed"; }

// Dispatches whatever is queued for the calling thread.
inline void PumpPending()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// A window of the class: top-level and of the process, or anywhere below parent.
struct WindowSearch {
    DWORD pid;
    const wchar_t* className;
    HWND found;
};

inline BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
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

inline HWND TopLevelOf(DWORD pid, const wchar_t* className)
{
    WindowSearch search{pid, className, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline HWND DescendantOf(HWND parent, const wchar_t* className)
{
    if (!parent)
        return nullptr;
    WindowSearch search{0, className, nullptr};
    GetWindowThreadProcessId(parent, &search.pid);
    EnumChildWindows(parent, MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A program started for a measurement; ended when this goes, if it still runs.
class StartedProcess {
public:
    StartedProcess() = default;
    StartedProcess(const StartedProcess&) = delete;
    StartedProcess& operator=(const StartedProcess&) = delete;
    ~StartedProcess()
    {
        if (info.hProcess) {
            if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(info.hProcess, 1);
            CloseHandle(info.hProcess);
            CloseHandle(info.hThread);
        }
    }
    // Starts exe in its own folder, with the arguments after its quoted path.
    bool Start(const std::wstring& exe, const std::wstring& arguments = L"")
    {
        const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
        std::wstring line = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
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

// A Config.ini in folder whose portal pages are all at host ("127.0.0.1:port").
inline bool WritePortalConfig(const std::wstring& folder, const std::wstring& host)
{
    const std::string h(host.begin(), host.end());
    const std::string text = "[Portal]\r\nHost=" + h + "\r\nForumHost=" + h + "\r\nPayHost=" + h + "\r\n";
    HANDLE file = CreateFileW((folder + L"\\Config.ini").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok =
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
    CloseHandle(file);
    return ok;
}

} // namespace bench
