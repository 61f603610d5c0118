// The client with a UI thread that hangs as its frame closes, for the exit test.
//
// It runs the client's own process (RunClientProcess, gameApp's start-up, the
// frame, the UI thread and the teardown). Inside the browser control's
// BeforeNavigate2 of the start page the UI thread asks the frame to close and
// is then held there, as a page's script or a plug-in can hold it.
//
// The held thread took the application object as the page handlers do, through
// g_app. It is let go only when the main thread destroys that object, and then
// uses it, as a handler coming back from the control would: had the client
// freed it with the UI thread still alive, that use ends the process with
// kTouchedDestroyedApp. The client must end before, with its own exit code 0.

#include "app/ClientProcess.h"
#include "frames/CFrameGame.h"

#include <atomic>

namespace {

constexpr UINT kTouchedDestroyedApp = 3;
constexpr DWORD kReleaseWaitMs = 60000;

class HangingUiApp : public gameApp {
public:
    ~HangingUiApp() override
    {
        // From here on the object is being freed: a UI thread still alive may
        // now use it, and it is let go to do so.
        m_destroyed = true;
        SetEvent(m_release);
        WaitForSingleObject(m_used, kReleaseWaitMs);
        CloseHandle(m_release);
        CloseHandle(m_used);
    }

    void RunFrame(CFrameGame& frame) override
    {
        // Assigned before the frame posts its first request, as the frame assigns its own.
        frame.m_html.m_browser.OnBeforeNavigate = [this, &frame](IDispatch*, const wchar_t*, VARIANT_BOOL*) {
            HoldOnce(frame);
        };
        gameApp::RunFrame(frame);
    }

private:
    // On the UI thread, inside the control's event.
    void HoldOnce(CFrameGame& frame)
    {
        if (m_held.exchange(true))
            return;
        gameApp* app = g_app;
        PostMessageW(frame.m_hWnd, CFrameGame::WM_FRAMECOMMAND, CFrameGame::FRAME_CMD_CLOSE, 0);
        WaitForSingleObject(m_release, kReleaseWaitMs);
        if (static_cast<HangingUiApp*>(app)->m_destroyed)
            TerminateProcess(GetCurrentProcess(), kTouchedDestroyedApp);
        app->SetUserName(L"late");
        SetEvent(m_used);
    }

    HANDLE m_release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE m_used = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> m_held{false};
    std::atomic<bool> m_destroyed{false};
};

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return RunClientProcess<HangingUiApp>(); }
