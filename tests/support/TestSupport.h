#pragma once
// Helpers shared by the test programs: bounded waits that keep the calling
// thread's messages flowing, throw-away folders, child processes and a manager
// attached to the test's own thread.

#include "ui/framework/CAppManager.h"
#include "ui/framework/CHtmlAppManager.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace test {

// Dispatches the calling thread's messages until done() holds or the time is up.
// Returns done()'s last answer.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);
// Dispatches whatever is queued for the calling thread right now.
void PumpPending();

// Attaches a plain manager to the calling thread for the life of the object,
// as Run would, so that windows can be created without running a loop.
class ThreadManager {
public:
    ThreadManager();
    ~ThreadManager();
    ThreadManager(const ThreadManager&) = delete;
    ThreadManager& operator=(const ThreadManager&) = delete;
    CAppManager& Get() { return m_manager; }
    bool Attached() const { return m_attached; }

private:
    CAppManager m_manager;
    bool m_attached = false;
    ULONG_PTR m_gdiplusToken = 0;
};

// A fresh folder under the temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::wstring& Path() const { return m_path; }
    std::wstring File(const std::wstring& name) const { return m_path + L"\\" + name; }

private:
    std::wstring m_path;
};

// Folder of the running test program (where the built programs are too).
std::wstring ProgramFolder();
bool CopyProgram(const std::wstring& name, const std::wstring& toFolder);

// Reads an INI value as text (empty when missing).
std::wstring ReadIni(const std::wstring& path, const wchar_t* section, const wchar_t* key);
// Writes a whole file from UTF-8 or raw bytes.
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);

// A started program; terminated on destruction if it still runs.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // suspended: the process is made but runs nothing until Resume.
    bool Start(const std::wstring& exePath, const std::wstring& arguments = L"", bool suspended = false);
    void Resume() { ResumeThread(m_info.hThread); }
    // Waits for the process to end; false when it still runs after the timeout.
    bool WaitForExit(DWORD timeoutMs);
    DWORD ExitCode() const;
    DWORD Id() const { return m_info.dwProcessId; }
    DWORD MainThreadId() const { return m_info.dwThreadId; }
    HANDLE Handle() const { return m_info.hProcess; }
    // A visible top-level window of this process with the given class, waited for.
    HWND WaitForWindow(const wchar_t* className, DWORD timeoutMs);

private:
    PROCESS_INFORMATION m_info = {};
};

// Top-level windows of a process with the given class name (any visibility).
std::vector<HWND> TopLevelWindows(DWORD processId, const wchar_t* className);

// The window's rectangle on the screen.
RECT WindowRect(HWND hwnd);
// What the screen shows in r, row by row from the top, as 0xAARRGGBB.
std::vector<DWORD> ScreenPixels(const RECT& r);

} // namespace test

namespace test {

// The demo portal started by the CTest fixture: "127.0.0.1:port", or empty when
// the test runs without it.
std::wstring PortalHost();
// Lines of the portal's request log ("GET /path"), in arrival order.
std::vector<std::string> PortalRequests();
// A Unix path as Wine's Z: drive shows it.
std::wstring UnixToWindowsPath(const std::string& unixPath);

} // namespace test

namespace test {

// build/artifacts: pictures the tests save for people to look at.
std::wstring ArtifactFolder();
// Saves a rectangle of the screen as a PNG file.
bool SaveScreenRect(const RECT& screenRect, const std::wstring& path);

} // namespace test

namespace test {

// Makes url_recorder.exe the default browser for http and https while the
// object lives: every page the code under test opens with the shell (and
// every program it starts, which inherits VORN_URL_LOG) is recorded instead of
// shown. The previous registration comes back afterwards.
class UrlCapture {
public:
    UrlCapture();
    ~UrlCapture();
    UrlCapture(const UrlCapture&) = delete;
    UrlCapture& operator=(const UrlCapture&) = delete;

    bool Ready() const { return m_ready; }
    std::vector<std::wstring> Urls() const;
    // Waits until at least count URLs arrived (the shell starts the browser on its own).
    bool WaitFor(size_t count, DWORD timeoutMs = 10000) const;

private:
    TempFolder m_folder;
    std::wstring m_log;
    std::vector<std::pair<std::wstring, std::wstring>> m_previous; // key, old command ("" = none)
    bool m_ready = false;
};

} // namespace test

namespace test {

// A UI thread as start-up runs it: UiThreadMain with its own manager, OLE and loop.
class UiThread {
public:
    UiThread();
    ~UiThread() { Stop(); }
    UiThread(const UiThread&) = delete;
    UiThread& operator=(const UiThread&) = delete;

    // Asks the thread to quit and waits for its end while this thread keeps its
    // own messages flowing (the UI thread's windows may send to ours).
    bool Stop();

    CHtmlAppManager manager;
    bool ready = false;

private:
    HANDLE m_thread = nullptr;
};

// The whole content of a file (empty when it cannot be read).
std::string ReadWholeFile(const std::wstring& path);

} // namespace test

namespace test {

// The client's per-user settings (HKCU\Software\Morvane网页版: where the game
// view was left, the mute) and its screenshots folder, removed when the object
// is made and again when it goes, so that no test sees another's.
class FreshPlayerSettings {
public:
    FreshPlayerSettings() { Forget(); }
    ~FreshPlayerSettings() { Forget(); }
    FreshPlayerSettings(const FreshPlayerSettings&) = delete;
    FreshPlayerSettings& operator=(const FreshPlayerSettings&) = delete;

    static void Forget();
    // The user's Pictures folder\Morvane网页版, found as the client finds it.
    static std::wstring ScreenshotFolder();
    // The PNG files in it, by name.
    static std::vector<std::wstring> Screenshots();
};

// Width and height from a PNG file's header; 0 x 0 when it is no PNG.
SIZE PngSize(const std::wstring& path);

// A PNG file's pixels as 0xRRGGBB, row by row (alpha left out); empty when it
// cannot be read. GDI+ must be started.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<DWORD> pixels;
    DWORD At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // How many pixels differ from another picture of the same size (all of
    // them when the sizes differ).
    size_t Differences(const Picture& other) const;
};
Picture ReadPicture(const std::wstring& path);

// A window of one plain colour over everything else at a screen rectangle,
// taking no activation, for as long as the object lives: a known picture for
// screen captures to show.
class ScreenMarker {
public:
    static constexpr COLORREF kColour = RGB(203, 37, 119);
    explicit ScreenMarker(const RECT& screenRect);
    ~ScreenMarker();
    ScreenMarker(const ScreenMarker&) = delete;
    ScreenMarker& operator=(const ScreenMarker&) = delete;
    HWND Get() const { return m_hwnd; }
    // The colour as a Picture holds it.
    static DWORD Pixel() { return (GetRValue(kColour) << 16) | (GetGValue(kColour) << 8) | GetBValue(kColour); }

private:
    HWND m_hwnd = nullptr;
    HBRUSH m_brush = nullptr;
};

} // namespace test
