#pragma once
// The client's frames as start-up runs them, inside a test program: an
// application object for a throw-away install folder, the main thread's manager,
// a UI thread whose manager notes every request it runs, and a probe window on
// the UI thread through which the test raises page events where they arrive in
// the client (the UI thread).

#include "app/gameApp.h"
#include "frames/CFrameGame.h"
#include "support/EventLog.h"
#include "support/TestSupport.h"
#include "tests/browser/BrowserTestSupport.h"
#include "ui/framework/CHtmlAppManager.h"
#include "ui/framework/CHtmlTarget.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace frametest {

// The UI thread's manager, noting the code of each request it takes.
class SpyHtmlManager : public CHtmlAppManager {
public:
    void ExecuteRequest(const HtmlRequest& request) override;
    std::vector<int> Executed();
    bool Ran(int code);

private:
    std::mutex m_mutex;
    std::vector<int> m_executed;
};

// A window on the UI thread that runs test code there.
class UiProbe : public CHtmlTarget {
public:
    static constexpr UINT WM_RUN = WM_APP + 91;
    bool IsBrowserReady() const override { return false; }
    BOOL Navigate(const wchar_t*, int) override { return FALSE; }
    void Refresh() override {}
    void SetSilent(VARIANT_BOOL) override {}
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // Runs work on the UI thread and waits for it.
    bool Run(const std::function<void()>& work);
};

// The frame, noting the messages its window takes on the main thread.
class ObservedFrame : public CFrameGame {
public:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    int Count(UINT msg, WPARAM wParam) const { return log.Count(Taken(msg, wParam)); }
    // The line of a message taken: "message <msg> <wParam>".
    static std::wstring Taken(UINT msg, WPARAM wParam) { return test::EventLog::Line(L"message", msg, wParam); }
    // The line of a timer armed, with its period: "arm <timer> <ms>".
    static std::wstring Armed(UINT_PTR timerId, UINT elapseMs)
    {
        return test::EventLog::Line(L"arm", timerId, elapseMs);
    }
    test::EventLog log;

protected:
    void ArmTimer(UINT_PTR timerId, UINT elapseMs) override;
};

class FrameHarness {
public:
    // portalHost: "127.0.0.1:port" of the demo portal, or empty for an address
    // that refuses connections.
    explicit FrameHarness(const std::wstring& portalHost = L"", int uid = 777);
    ~FrameHarness();
    FrameHarness(const FrameHarness&) = delete;
    FrameHarness& operator=(const FrameHarness&) = delete;

    // Writes Config.ini keys before the frames start.
    void WriteConfig(const wchar_t* section, const wchar_t* key, const wchar_t* value);
    // Creates the launcher and the frame (Launch without its loop) and waits for
    // the browser window and the probe on the UI thread.
    bool Start();
    // Posts the frame's enter-game command and waits for the delayed maximise.
    bool EnterGameView();
    // Runs work on the UI thread.
    bool OnUiThread(const std::function<void()>& work) { return probe.Run(work); }
    CWebBrowser& Site() { return frame->m_html.m_browser; }
    HWND Frame() const { return frame->m_hWnd; }
    HWND Launcher() const { return frame->m_back.m_hWnd; }
    // Destroys the frame's window and ends the UI thread.
    void Stop();

    // First made, last gone: the frame's settings written at its end go too.
    test::FreshPlayerSettings settings;
    test::OleApartment ole;
    test::TempFolder folder;
    gameApp app;
    test::ThreadManager mainManager;
    SpyHtmlManager uiManager;
    UiProbe probe;
    // Made once the application object is set up: the frame reads it when constructed.
    std::unique_ptr<ObservedFrame> frame;

private:
    HANDLE m_uiThread = nullptr;
    HWND m_probeParent = nullptr;
};

// Mouse input as a user gives it, in a window's client coordinates: the cursor
// moves there (the system's own mouse move), then button messages are posted.
// Posted, not sent: a click may open a modal window whose loop must run while
// the test keeps pumping.
void PostClick(HWND hwnd, int x, int y);
void MoveCursorTo(HWND hwnd, int x, int y);

// Answers the close confirmation from another thread while this thread runs its
// modal loop: waits for the "zarvopellis" window, runs `meanwhile` (on the
// answering thread, while the question is open) and clicks 确定 or 取消; with
// None it only runs `meanwhile`.
class ConfirmAnswerer {
public:
    // Close, SystemClose and AltF4 close the window as the system does; OwnerClosed
    // closes its owner, which takes the question with it.
    enum Answer { Confirm, Cancel, Escape, Close, SystemClose, AltF4, OwnerClosed, None };
    explicit ConfirmAnswerer(Answer answer, std::function<void()> meanwhile = {});
    ~ConfirmAnswerer();
    ConfirmAnswerer(const ConfirmAnswerer&) = delete;
    ConfirmAnswerer& operator=(const ConfirmAnswerer&) = delete;
    // Waits for the answerer's end; true when it found the window and clicked.
    bool Done();

    std::atomic<HWND> window{nullptr};
    RECT rect = {};
    HWND owner = nullptr;
    LONG exStyle = 0;
    bool ownerEnabledWhileOpen = true;

private:
    static DWORD WINAPI Main(LPVOID self);
    Answer m_answer;
    std::function<void()> m_meanwhile;
    HANDLE m_thread = nullptr;
    std::atomic<bool> m_clicked{false};
};

// Whether the frame's notification icon is in the notification area: adding it
// again fails exactly when it is there (a probe that finds it missing takes its
// own addition back).
bool NotifyIconPresent(HWND frame);

using test::WindowRect;
std::wstring ClassOf(HWND hwnd);

// Top-level visible windows of this process with a class name.
std::vector<HWND> VisibleWindows(const wchar_t* className);

} // namespace frametest
