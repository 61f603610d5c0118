// Long sessions: the client's own process (its start-up, frame, UI thread and
// browser window, as vorn.exe runs them) driven through a long session by a
// thread of its own, against a loopback portal of this program that serves two
// pages. After a warm-up, in the game view: 1,000 navigations between the two
// pages, with 100 refreshes, 10 cache clears and 50 boss-key round trips among
// them, each made the way the client makes it (a navigation and a refresh as
// requests to the UI thread, a clear as the menu's worker thread, whose box is
// answered, the boss key as the frame's hot-key message). Then: how much the
// private memory grew, and whether windows, GDI objects and handles are back
// where they were.
//
//   soak_bench.exe NAVIGATIONS     (run from a folder of its own: it writes Config.ini there)

#include "LoopbackPortal.h"

#include "app/gameApp.h"
#include "frames/CFrameGame.h"
#include "frames/ClearUrlCache.h"
#include "tests/browser/ProcessResources.h"

#include <windows.h>
#include <winternl.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr DWORD kStepTimeoutMs = 10000;
constexpr DWORD kSettleMs = 1500;
constexpr int kWarmUpNavigations = 50;
const wchar_t* const kPages[] = {L"/soak/page-a.html", L"/soak/page-b.html"};

int g_navigations = 1000;

// Waits (bounded) for a condition another thread brings about.
bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs = kStepTimeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!done()) {
        if (GetTickCount64() > deadline)
            return false;
        Sleep(2);
    }
    return true;
}

HWND OwnTopLevel(const wchar_t* className, const wchar_t* title)
{
    for (HWND hwnd = nullptr; (hwnd = FindWindowExW(nullptr, hwnd, className, title)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner == GetCurrentProcessId())
            return hwnd;
    }
    return nullptr;
}

// Private memory the process has committed, as Windows counts private bytes:
// every committed region that is not an image or a mapped file.
double CommittedPrivateMb()
{
    double bytes = 0;
    MEMORY_BASIC_INFORMATION region;
    for (const BYTE* at = nullptr; VirtualQuery(at, &region, sizeof(region)) == sizeof(region);) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            bytes += static_cast<double>(region.RegionSize);
        const BYTE* next = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize;
        if (next <= at)
            break;
        at = next;
    }
    return bytes / (1024.0 * 1024.0);
}

// Under Wine the process is also a Linux process: its resident anonymous memory.
double ResidentAnonymousMb()
{
    HANDLE file =
        CreateFileW(L"Z:\\proc\\self\\status", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return -1.0;
    std::string text(16384, '\0');
    DWORD read = 0;
    ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
    CloseHandle(file);
    text.resize(read);
    const size_t at = text.find("RssAnon:");
    return at == std::string::npos ? -1.0 : std::atof(text.c_str() + at + 8) / 1024.0;
}

BOOL CALLBACK NoteOwnWindow(HWND hwnd, LPARAM param)
{
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == GetCurrentProcessId()) {
        wchar_t name[64] = {};
        GetClassNameW(hwnd, name, 64);
        ++(*reinterpret_cast<std::map<std::wstring, int>*>(param))[name];
    }
    return TRUE;
}

BOOL CALLBACK NoteWindowTree(HWND hwnd, LPARAM param)
{
    NoteOwnWindow(hwnd, param);
    EnumChildWindows(hwnd, NoteOwnWindow, param);
    return TRUE;
}

// The process's windows by class, message-only ones included, as ProcessResources counts them.
std::map<std::wstring, int> WindowClasses()
{
    std::map<std::wstring, int> classes;
    EnumWindows(NoteWindowTree, reinterpret_cast<LPARAM>(&classes));
    for (HWND hwnd = nullptr; (hwnd = FindWindowExW(HWND_MESSAGE, hwnd, nullptr, nullptr)) != nullptr;)
        NoteWindowTree(hwnd, reinterpret_cast<LPARAM>(&classes));
    return classes;
}

// The values of the process's handles, from the system handle table as
// ProcessResources walks it, with the name of each one's object type.
std::map<ULONG_PTR, std::wstring> OwnHandleTypes()
{
    using QueryObject = LONG(WINAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
    auto queryObject = reinterpret_cast<QueryObject>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryObject")));
    std::map<ULONG_PTR, std::wstring> types;
    if (!queryObject)
        return types;
    constexpr ULONG kObjectTypeInformation = 2;
    for (HANDLE handle : test::OwnHandles()) {
        // A UNICODE_STRING with the type's name first.
        alignas(8) BYTE info[512] = {};
        std::wstring name = L"?";
        if (queryObject(handle, kObjectTypeInformation, info, sizeof(info), nullptr) >= 0) {
            const auto* text = reinterpret_cast<const UNICODE_STRING*>(info);
            if (text->Buffer)
                name.assign(text->Buffer, text->Length / sizeof(wchar_t));
        }
        types[reinterpret_cast<ULONG_PTR>(handle)] = name;
    }
    return types;
}

struct Snapshot {
    double privateMb = 0;
    double residentMb = 0;
    test::ProcessResources resources;
    std::map<std::wstring, int> windowClasses;
    std::map<ULONG_PTR, std::wstring> handleTypes;
};

class SoakApp : public gameApp {
public:
    bool InitInstance() override
    {
        // The portal is up, and Config.ini names it, before the client's own start-up reads it.
        wchar_t folder[kPathCapacity];
        if (!m_server.Start() || !ReadModuleFolder(nullptr, folder) ||
            !bench::WritePortalConfig(folder, m_server.Host())) {
            std::fprintf(stderr, "soak_bench: no portal or no Config.ini\n");
            m_failures = 1;
            return false;
        }
        return gameApp::InitInstance();
    }

    void RunFrame(CFrameGame& frame) override
    {
        // Set before the frame's windows and its first request, as the frame sets its own handlers.
        frame.m_html.m_browser.OnBeforeNavigate = [this](IDispatch*, const wchar_t* url, VARIANT_BOOL*) {
            if (url && wcscmp(url, L"about:blank") == 0)
                ++m_blankNavigations;
        };
        std::thread driver([this, &frame] { Drive(frame); });
        gameApp::RunFrame(frame);
        driver.join();
    }

    int m_failures = 0;

private:
    std::string Path(int page) const
    {
        const std::wstring wide = kPages[page % 2];
        return std::string(wide.begin(), wide.end());
    }

    // One navigation, as the frame asks for a page: done when its request is in.
    bool Navigate(CFrameGame& frame, int index)
    {
        const std::string path = Path(index);
        const int seen = m_server.Count(path);
        const std::wstring url = L"http://" + m_server.Host() + kPages[index % 2];
        return frame.m_html.Navigate(url.c_str(), 0) && m_server.WaitForRequest(path, seen, kStepTimeoutMs) >= 0;
    }

    // As the menu's row does: a worker of its own, whose closing box is answered here.
    bool ClearCache(HWND frameWindow)
    {
        HANDLE worker = CreateThread(nullptr, 0, ClearUrlCache, frameWindow, 0, nullptr);
        if (!worker)
            return false;
        HWND box = nullptr;
        const bool asked = WaitFor([&] { return (box = OwnTopLevel(L"#32770", CFrameGame::kProductName)) != nullptr; });
        if (asked)
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        const bool ended = WaitForSingleObject(worker, kStepTimeoutMs) == WAIT_OBJECT_0;
        CloseHandle(worker);
        return asked && ended;
    }

    // To the notification area and back, as the hot key does it.
    static bool BossRoundTrip(HWND frameWindow)
    {
        PostMessageW(frameWindow, WM_HOTKEY, CFrameGame::HOTKEY_BOSS, 0);
        if (!WaitFor([&] { return !IsWindowVisible(frameWindow); }))
            return false;
        PostMessageW(frameWindow, WM_HOTKEY, CFrameGame::HOTKEY_BOSS, 0);
        return WaitFor([&] { return IsWindowVisible(frameWindow) != FALSE; });
    }

    // Navigations first..last-1, with a refresh after every 10th, a boss-key
    // round trip after every 20th and a cache clear after every 100th
    // (counted from the session's first).
    void Session(CFrameGame& frame, HWND frameWindow, int first, int last)
    {
        for (int i = first; i < last; ++i) {
            if (!Navigate(frame, i))
                ++m_navigationFailures;
            const int done = i + 1;
            if (done % 10 == 0) {
                frame.m_html.Refresh();
                ++m_refreshes;
            }
            if (done % 20 == 0) {
                if (BossRoundTrip(frameWindow))
                    ++m_bossTrips;
                else
                    ++m_failures;
            }
            if (done % 100 == 0) {
                if (ClearCache(frameWindow))
                    ++m_clears;
                else
                    ++m_failures;
            }
        }
    }

    static Snapshot Measure()
    {
        Snapshot now;
        now.resources = test::ProcessResources::Measure();
        now.privateMb = CommittedPrivateMb();
        now.residentMb = ResidentAnonymousMb();
        now.windowClasses = WindowClasses();
        now.handleTypes = OwnHandleTypes();
        return now;
    }

    // The same quiet state at the start and at the end: the last page's download
    // is ended by a navigation to an empty page, which asks no server, and the
    // counts are taken once they hold still for a second (at most a few seconds).
    Snapshot Settled(CFrameGame& frame)
    {
        const int blanks = m_blankNavigations;
        frame.m_html.Navigate(L"about:blank", 0);
        if (!WaitFor([&] { return m_blankNavigations > blanks; }))
            ++m_failures;
        Sleep(kSettleMs);
        Snapshot now = Measure();
        for (int look = 0; look < 5; ++look) {
            Sleep(1000);
            Snapshot next = Measure();
            const bool still = next.resources.windows == now.resources.windows &&
                               next.resources.kernelObjects == now.resources.kernelObjects &&
                               next.resources.wineGdiObjects == now.resources.wineGdiObjects;
            now = std::move(next);
            if (still)
                break;
        }
        return now;
    }

    void Drive(CFrameGame& frame)
    {
        HWND frameWindow = nullptr;
        const std::wstring start = PortalSite::kStartPath;
        const bool up =
            WaitFor([&] { return (frameWindow = OwnTopLevel(L"zarvoostrel", nullptr)) != nullptr; }, 20000) &&
            m_server.WaitForRequest(std::string(start.begin(), start.end()), 0, 20000) >= 0;
        if (!up)
            std::fprintf(stderr, "soak_bench: no frame, or its start page never reached the portal\n");
        if (up) {
            // Maximised, or where a player left it last time.
            PostMessageW(frameWindow, CFrameGame::WM_FRAMECOMMAND, CFrameGame::FRAME_CMD_ENTER_GAME, 0);
            if (!WaitFor([&] { return frame.m_gameMode && IsWindowVisible(frameWindow); }))
                std::fprintf(stderr, "soak_bench: the frame did not enter the game view\n");
            else {
                // The warm-up goes through every kind of step once.
                const int warmUp = kWarmUpNavigations;
                Session(frame, frameWindow, 0, warmUp);
                frame.m_html.Refresh();
                BossRoundTrip(frameWindow);
                ClearCache(frameWindow);
                m_refreshes = m_bossTrips = m_clears = m_navigationFailures = 0;
                m_before = Settled(frame);
                const double started = bench::NowMs();
                Session(frame, frameWindow, 0, g_navigations);
                m_sessionMs = bench::NowMs() - started;
                m_after = Settled(frame);
                m_measured = true;
            }
        }
        if (!m_measured)
            ++m_failures;
        if (frameWindow)
            PostMessageW(frameWindow, CFrameGame::WM_FRAMECOMMAND, CFrameGame::FRAME_CMD_CLOSE, 0);
    }

public:
    void Report() const
    {
        const test::ProcessResources& a = m_before.resources;
        const test::ProcessResources& b = m_after.resources;
        const std::string session = std::to_string(g_navigations) + " navigations, " + std::to_string(m_refreshes) +
                                    " refreshes, " + std::to_string(m_clears) + " cache clears, " +
                                    std::to_string(m_bossTrips) + " boss-key round trips";
        const double growth = m_after.privateMb - m_before.privateMb;
        bench::Row("soak (" + session + "), at 96 DPI only: private bytes (committed) growth, MB",
                   bench::Format("%.1f", growth), "0", "<= 5 MB",
                   bench::Verdict(m_measured && m_navigationFailures == 0 && growth <= 5.0));
        if (m_after.residentMb >= 0)
            bench::Row("soak: resident anonymous memory (Linux) growth, MB",
                       bench::Format("%.1f", m_after.residentMb - m_before.residentMb), "0", "report", "report");
        const size_t gdiBefore = a.gdiObjects ? a.gdiObjects : a.wineGdiObjects;
        const size_t gdiAfter = b.gdiObjects ? b.gdiObjects : b.wineGdiObjects;
        auto counts = [](size_t windows, size_t gdi, size_t handles) {
            return std::to_string(windows) + " / " + std::to_string(gdi) + " / " + std::to_string(handles);
        };
        const bool same = b.windows == a.windows && gdiAfter == gdiBefore && b.kernelObjects <= a.kernelObjects;
        bench::Row("soak: windows / GDI objects / handles, end (start)",
                   counts(b.windows, gdiAfter, b.kernelObjects) + " (" + counts(a.windows, gdiBefore, a.kernelObjects) +
                       ")",
                   "—", "end <= start", bench::Verdict(m_measured && same));
        for (const auto& [name, count] : m_after.windowClasses) {
            const auto before = m_before.windowClasses.find(name);
            const int had = before == m_before.windowClasses.end() ? 0 : before->second;
            if (count != had)
                std::fprintf(stderr, "soak_bench: windows of class %ls: %d at the start, %d at the end\n", name.c_str(),
                             had, count);
        }
        for (const auto& [name, count] : m_before.windowClasses)
            if (!m_after.windowClasses.count(name))
                std::fprintf(stderr, "soak_bench: windows of class %ls: %d at the start, none at the end\n",
                             name.c_str(), count);
        std::map<std::wstring, int> newHandles;
        for (const auto& [value, type] : m_after.handleTypes)
            if (!m_before.handleTypes.count(value))
                ++newHandles[type];
        for (const auto& [value, type] : m_before.handleTypes)
            if (!m_after.handleTypes.count(value))
                --newHandles[type];
        for (const auto& [type, more] : newHandles)
            if (more)
                std::fprintf(stderr, "soak_bench: handles of type %ls: %+d at the end\n", type.c_str(), more);
        std::fprintf(stderr, "soak_bench: %.0f s of session; before: %s; after: %s; %d navigations unanswered\n",
                     m_sessionMs / 1000.0, a.Describe().c_str(), b.Describe().c_str(), m_navigationFailures);
    }

    int NavigationFailures() const { return m_navigationFailures; }

private:
    bench::LoopbackPortal m_server;
    Snapshot m_before, m_after;
    bool m_measured = false;
    double m_sessionMs = 0;
    int m_navigationFailures = 0;
    int m_refreshes = 0;
    int m_bossTrips = 0;
    int m_clears = 0;
    std::atomic<int> m_blankNavigations{0};
};

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc >= 2)
        g_navigations = std::max(100, _wtoi(argv[1]));
    int failures = 1;
    // The client's own process, around an application object that drives it.
    if (OleInitialize(nullptr) != S_OK)
        return 1;
    {
        SoakApp app;
        g_app = &app;
        app.Run();
        g_app = nullptr;
        app.Report();
        failures = app.m_failures + app.NavigationFailures();
    }
    OleUninitialize();
    if (failures)
        std::fprintf(stderr, "soak_bench: %d steps failed\n", failures);
    return failures ? 1 : 0;
}
