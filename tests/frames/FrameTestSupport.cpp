#include "FrameTestSupport.h"

#include "app/ConfigFile.h"
#include "app/PortalSite.h"
#include "frames/CloseMsgWnd.h"

namespace frametest {

void SpyHtmlManager::ExecuteRequest(const HtmlRequest& request)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_executed.push_back(request.code);
    }
    CHtmlAppManager::ExecuteRequest(request);
}

std::vector<int> SpyHtmlManager::Executed()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_executed;
}

bool SpyHtmlManager::Ran(int code)
{
    for (int executed : Executed())
        if (executed == code)
            return true;
    return false;
}

LRESULT UiProbe::HandleMessage(UINT msg, WPARAM, LPARAM lParam)
{
    if (msg != WM_RUN)
        return 0;
    (*reinterpret_cast<const std::function<void()>*>(lParam))();
    return 1;
}

bool UiProbe::Run(const std::function<void()>& work)
{
    DWORD_PTR ignored = 0;
    return m_hWnd &&
           SendMessageTimeoutW(m_hWnd, WM_RUN, 0, reinterpret_cast<LPARAM>(&work), SMTO_NORMAL, 10000, &ignored) != 0;
}

LRESULT ObservedFrame::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_FRAMECOMMAND || msg == WM_TIMER || msg == WM_HOTKEY || msg == WM_ARM_ENTER_TIMER)
        log.Add(Taken(msg, wParam));
    return CFrameGame::HandleMessage(msg, wParam, lParam);
}

void ObservedFrame::ArmTimer(UINT_PTR timerId, UINT elapseMs)
{
    log.Add(Armed(timerId, elapseMs));
    CFrameGame::ArmTimer(timerId, elapseMs);
}

FrameHarness::FrameHarness(const std::wstring& portalHost, int uid)
{
    // Port 9 on the loopback refuses connections: pages fail fast, nothing leaves the machine.
    WriteConfig(L"Portal", L"Host", portalHost.empty() ? L"127.0.0.1:9" : portalHost.c_str());
    WriteConfig(L"Portal", L"ForumHost", L"forum.test:8081");
    WriteConfig(L"Portal", L"PayHost", L"pay.test:8082");
    wcsncpy(app.m_exeDir, folder.Path().c_str(), kPathCapacity - 1);
    app.m_portal.LoadOverrides(ConfigFile(app.m_exeDir));
    BuildStartUrl(app.m_startUrl, app.m_portal.StartPage().c_str(), uid);
    g_app = &app;
    frame = std::make_unique<ObservedFrame>();
}

FrameHarness::~FrameHarness()
{
    Stop();
    frame.reset();
    if (m_probeParent)
        DestroyWindow(m_probeParent);
    g_app = nullptr;
}

void FrameHarness::WriteConfig(const wchar_t* section, const wchar_t* key, const wchar_t* value)
{
    WritePrivateProfileStringW(section, key, value, folder.File(L"Config.ini").c_str());
}

bool FrameHarness::Start()
{
    m_uiThread = CreateThread(nullptr, 0, UiThreadMain, &uiManager, 0, nullptr);
    if (!m_uiThread || !uiManager.WaitUntilReady(CHtmlAppManager::kReadyTimeoutMs, m_uiThread))
        return false;
    m_probeParent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HtmlRequest create;
    create.code = REQUEST_CREATE;
    create.hwnd = m_probeParent;
    create.target = &probe;
    create.param = 10;
    create.param2 = 10;
    uiManager.PostRequest(create);

    if (!frame->CreateWindows())
        return false;
    return test::PumpUntil(
        [&] {
            HWND html = frame->m_html.m_hWnd;
            return probe.m_hWnd && html && IsWindow(html) && frame->m_html.IsBrowserReady();
        },
        10000);
}

bool FrameHarness::EnterGameView()
{
    PostMessageW(Frame(), CFrameGame::WM_FRAMECOMMAND, CFrameGame::FRAME_CMD_ENTER_GAME, 0);
    return test::PumpUntil([&] { return IsZoomed(Frame()) && IsWindowVisible(Frame()); }, 5000);
}

void FrameHarness::Stop()
{
    if (frame && frame->m_hWnd && IsWindow(frame->m_hWnd))
        DestroyWindow(frame->m_hWnd);
    if (frame && frame->m_back.m_hWnd && IsWindow(frame->m_back.m_hWnd))
        DestroyWindow(frame->m_back.m_hWnd);
    if (m_uiThread) {
        PostThreadMessageW(uiManager.m_threadId, WM_QUIT, 0, 0);
        test::PumpUntil([&] { return WaitForSingleObject(m_uiThread, 0) == WAIT_OBJECT_0; }, 10000);
        CloseHandle(m_uiThread);
        m_uiThread = nullptr;
    }
    test::PumpPending();
}

void MoveCursorTo(HWND hwnd, int x, int y)
{
    POINT screen = {x, y};
    ClientToScreen(hwnd, &screen);
    SetCursorPos(screen.x, screen.y);
}

void PostClick(HWND hwnd, int x, int y)
{
    MoveCursorTo(hwnd, x, y);
    const LPARAM at = MAKELPARAM(x, y);
    PostMessageW(hwnd, WM_MOUSEMOVE, 0, at);
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(hwnd, WM_LBUTTONUP, 0, at);
}

ConfirmAnswerer::ConfirmAnswerer(Answer answer, std::function<void()> meanwhile)
    : m_answer(answer), m_meanwhile(std::move(meanwhile))
{
    m_thread = CreateThread(nullptr, 0, Main, this, 0, nullptr);
}

ConfirmAnswerer::~ConfirmAnswerer()
{
    if (m_thread) {
        WaitForSingleObject(m_thread, 15000);
        CloseHandle(m_thread);
    }
}

bool ConfirmAnswerer::Done()
{
    if (m_thread)
        test::PumpUntil([&] { return WaitForSingleObject(m_thread, 0) == WAIT_OBJECT_0; }, 15000);
    return m_clicked;
}

DWORD WINAPI ConfirmAnswerer::Main(LPVOID param)
{
    auto* self = static_cast<ConfirmAnswerer*>(param);
    HWND found = nullptr;
    // The window belongs to the test's own thread; this one only looks for it.
    for (int tries = 0; tries < 1000 && !found; ++tries) {
        for (HWND hwnd : VisibleWindows(L"zarvopellis"))
            found = hwnd;
        if (!found)
            Sleep(10);
    }
    if (!found)
        return 0;
    GetWindowRect(found, &self->rect);
    self->owner = GetWindow(found, GW_OWNER);
    self->exStyle = GetWindowLongW(found, GWL_EXSTYLE);
    self->ownerEnabledWhileOpen = self->owner && IsWindowEnabled(self->owner);
    self->window = found;
    if (self->m_meanwhile)
        self->m_meanwhile();
    if (self->m_answer == None) {
        self->m_clicked = true;
        return 0;
    }
    constexpr LPARAM kAltDown = 1 << 29;
    switch (self->m_answer) {
    case Escape:
        PostMessageW(found, WM_KEYDOWN, VK_ESCAPE, 0);
        break;
    case Close:
        PostMessageW(found, WM_CLOSE, 0, 0);
        break;
    case SystemClose:
        PostMessageW(found, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    case AltF4:
        PostMessageW(found, WM_SYSKEYDOWN, VK_F4, kAltDown | 1);
        break;
    case OwnerClosed:
        PostMessageW(self->owner, WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
    if (self->m_answer != Confirm && self->m_answer != Cancel) {
        self->m_clicked = true;
        return 0;
    }
    // The middle of the button, where the question draws it at its scale.
    const RECT button = CloseMsgWnd::ButtonRect(
        self->m_answer == Confirm ? CloseMsgWnd::kConfirmId : CloseMsgWnd::kCancelId, DpiScale(dpi::OfWindow(found)));
    const int x = (button.left + button.right) / 2;
    const int y = (button.top + button.bottom) / 2;
    SetCursorPos(self->rect.left + x, self->rect.top + y);
    const LPARAM at = MAKELPARAM(x, y);
    PostMessageW(found, WM_MOUSEMOVE, 0, at);
    PostMessageW(found, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(found, WM_LBUTTONUP, 0, at);
    self->m_clicked = true;
    return 0;
}

bool NotifyIconPresent(HWND frame)
{
    NOTIFYICONDATAW probe = {};
    probe.cbSize = sizeof(probe);
    probe.hWnd = frame;
    probe.uID = CFrameGame::kNotifyIconId;
    if (!Shell_NotifyIconW(NIM_ADD, &probe))
        return true;
    Shell_NotifyIconW(NIM_DELETE, &probe);
    return false;
}

std::wstring ClassOf(HWND hwnd)
{
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

std::vector<HWND> VisibleWindows(const wchar_t* className)
{
    std::vector<HWND> visible;
    for (HWND hwnd : test::TopLevelWindows(GetCurrentProcessId(), className))
        if (IsWindowVisible(hwnd))
            visible.push_back(hwnd);
    return visible;
}

} // namespace frametest
