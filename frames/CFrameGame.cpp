// The frame's life: construction, the windows of Launch, the browser window and
// menus set up in OnCreate, the message switch, the timers and the ways the frame
// ends. The view switch (with full screen and the kept place), the title bar and
// its menu, the notification icon with the boss key, the page events and the
// player's keys, screenshots and mute live in CFrameGameView.cpp,
// CFrameGameTitleBar.cpp, CFrameGameTray.cpp, CFrameGamePage.cpp and
// CFrameGamePlayer.cpp.

#include "frames/CFrameGame.h"

#include "app/gameApp.h"
#include "resources/resource.h"
#include "ui/framework/CHtmlAppManager.h"

#include <utility>

namespace {

constexpr Gdiplus::ARGB kMenuHoverColor = 0xFF9CD0FE;

} // namespace

std::unique_ptr<Gdiplus::Font> CFrameGame::MakeTitleFont(const DpiScale& scale)
{
    // Tahoma 9 pt at the window's scale.
    const float size = scale.FontPixels(9.0f);
    Gdiplus::FontFamily tahoma(L"Tahoma");
    if (tahoma.GetLastStatus() == Gdiplus::Ok)
        return std::make_unique<Gdiplus::Font>(&tahoma, size, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    // The generic family can be missing too (a system without fonts): then no title is drawn.
    const Gdiplus::FontFamily* generic = Gdiplus::FontFamily::GenericSansSerif();
    if (generic && generic->IsAvailable())
        return std::make_unique<Gdiplus::Font>(generic, size, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    return nullptr;
}

CFrameGame::CFrameGame()
{
    SetIconFromResource(kFrameIconSide, true);
    SetIconFromResource(kFrameIconSide, false);
    SetClassName(kFrameClass);
    if (g_app)
        m_portal = g_app->m_portal;
    m_taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
}

CFrameGame::~CFrameGame()
{
    if (m_hWnd && IsWindow(m_hWnd))
        DestroyWindow(m_hWnd);
}

void CFrameGame::Launch()
{
    if (CreateWindows())
        RunModalLoop();
}

POINT CFrameGame::LauncherOrigin(SIZE launcher)
{
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    // Screen coordinates without the work area's own origin, as the launcher has always been placed.
    return {(work.right - work.left - launcher.cx) / 2, (work.bottom - work.top - launcher.cy) / 2};
}

SIZE CFrameGame::LauncherSize() const
{
    return {m_back.paint.scale(CFrameBack::kWidth), m_back.paint.scale(CFrameBack::kHeight)};
}

void CFrameGame::ShowLauncher()
{
    if (m_back.m_hWnd)
        return;
    // The launcher, and the page area over it, at the scale of the monitor
    // it starts on.
    m_back.paint.scale = CFrameBack::ScaleOn(CFrameBack::StartMonitor());
    paint.scale = m_back.paint.scale;
    const SIZE size = LauncherSize();
    const POINT origin = LauncherOrigin(size);
    m_back.Create(0, nullptr, nullptr, WS_POPUP | WS_VISIBLE, origin.x, origin.y, size.cx, size.cy, nullptr);
    // Let the launcher reach the screen before the page area is built: a look
    // at the message queue hands the display what has been drawn so far.
    MSG pending;
    PeekMessageW(&pending, nullptr, 0, 0, PM_NOREMOVE);
}

bool CFrameGame::CreateWindows()
{
    ShowLauncher();
    const POINT origin = LauncherOrigin(LauncherSize());
    const RECT page = m_back.PageArea();
    const SIZE pageSize = {page.right - page.left, page.bottom - page.top};

    if (GetSystemMetrics(SM_CXSCREEN) >= pageSize.cx && GetSystemMetrics(SM_CYSCREEN) >= pageSize.cy) {
        minWidth = pageSize.cx;
        minHeight = pageSize.cy;
    }
    const DWORD style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    if (!Create(WS_EX_APPWINDOW, nullptr, nullptr, style, origin.x + page.left, origin.y + page.top, pageSize.cx,
                pageSize.cy, m_back.m_hWnd))
        return false;
    m_back.m_game = this;
    return true;
}

void CFrameGame::OnCreate(CREATESTRUCTW*)
{
    // The player's keys in the page: set before the browser window is asked
    // for, so the UI thread sees it before any keystroke (the request queue
    // orders the two).
    m_html.m_takeKey = [this](const MSG& msg) { return TakePlayerKey(msg, true); };
    m_html.m_zoomShown = [this](int) { InvalidateTitle(); };
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    m_html.Create(0, nullptr, L"", WS_CHILD | WS_VISIBLE, client.left, client.top, client.right - client.left,
                  client.bottom - client.top, m_hWnd);

    // Assigned before the first navigation is requested: the request queue
    // orders these writes before any page event on the UI thread.
    CWebBrowser& site = m_html.m_browser;
    site.OnNavigateComplete = [this](const wchar_t* url) { HandleNavigateComplete(url); };
    site.OnNewWindow = [this](IDispatch** ppDisp, VARIANT_BOOL*& cancel, unsigned long flags, wchar_t* urlContext,
                              wchar_t* url) { HandleNewWindow(ppDisp, cancel, flags, urlContext, url); };
    site.OnDocumentComplete = [this](IDispatch* disp, const wchar_t* url) { HandleDocumentComplete(disp, url); };
    site.m_external.AddName(L"zarvo_title", kTitleDispid);
    site.SetExternalCallback(
        [this](unsigned dispid, const std::vector<std::wstring>& args) { return HandleExternalCall(dispid, args); });

    m_html.SetPageDpi(paint.scale.Dpi());
    const std::wstring startUrl = g_app ? std::wstring(g_app->m_startUrl) : m_portal.StartPage();
    m_html.Navigate(startUrl.c_str(), kNavNoHistory);
    // Silent: the control shows no dialog boxes of its own.
    m_html.SetSilent(VARIANT_TRUE);

    // The frame's own look comes after the page's requests, which the UI
    // thread takes meanwhile.
    m_titleFont = MakeTitleFont(paint.scale);
    m_titleBrush = std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(0xFFFFFFFF));
    SetIconFromResource(kWindowIconSide, true);
    SetIconFromResource(kWindowIconSide, false);
    SetWindowTextW(m_hWnd, kProductName);

    for (CImageMenu* menu : {&m_mainMenu, &m_trayMenu}) {
        menu->SetClassName(L"zarvo_menu");
        menu->paint.SetHoverColor(kMenuHoverColor);
    }
    m_mainMenu.paint.SetOnRowClick([this](CImageItem* row) { OnMainMenuItem(row); });
    m_trayMenu.paint.SetOnRowClick([this](CImageItem* row) { OnTrayMenuItem(row); });

    m_notifyIcon.Bind(m_hWnd, kNotifyIconId, WM_TRAYNOTIFY);

    // Muted from the start when the player left it muted. Only then is the
    // audio API loaded before the game view.
    m_muted = PlayerSettings::ReadMuted();
    if (m_muted && OpenSession())
        m_sessionMute.Set(true);
}

void CFrameGame::OnTimer(UINT_PTR timerId)
{
    switch (timerId) {
    case TIMER_ENTER_GAME:
        if (!m_gameMode)
            PostMessageW(m_hWnd, WM_FRAMECOMMAND, FRAME_CMD_ENTER_GAME, 0);
        KillTimer(m_hWnd, TIMER_ENTER_GAME);
        break;
    case TIMER_MAXIMIZE:
        ShowWindow(m_hWnd, SW_SHOWMAXIMIZED);
        SetForegroundWindow(m_hWnd);
        KillTimer(m_hWnd, TIMER_MAXIMIZE);
        break;
    case TIMER_SCREENSHOT:
        KillTimer(m_hWnd, TIMER_SCREENSHOT);
        for (int waiting = std::exchange(m_waitingScreenshots, 0); waiting > 0; --waiting)
            TakeScreenshot();
        break;
    default:
        break;
    }
}

bool CFrameGame::OnSysCommand(WPARAM command)
{
    // The low four bits are the system's own (how the command was given).
    command &= 0xFFF0;
    // The frame has no menu: Alt released after a hot key must not leave it
    // in keyboard-menu mode, which would swallow the next click.
    if (command == SC_KEYMENU)
        return true;
    // In the login view the launcher goes and comes with the frame.
    if (!m_gameMode && m_back.m_hWnd) {
        if (command == SC_MINIMIZE)
            ShowWindow(m_back.m_hWnd, SW_HIDE);
        else if (command == SC_RESTORE)
            ShowWindow(m_back.m_hWnd, SW_SHOW);
    }
    return false;
}

LRESULT CFrameGame::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_SYSCOMMAND:
        if (OnSysCommand(wParam))
            return 1;
        break;
    case WM_HOTKEY:
        OnHotKey(static_cast<int>(wParam));
        break;
    case WM_WINDOWPOSCHANGING:
        HoldFullScreenRect(reinterpret_cast<WINDOWPOS*>(lParam));
        break;
    case WM_FRAMECOMMAND:
        if (wParam == FRAME_CMD_ENTER_GAME) {
            EnterGameMode();
        } else if (wParam == FRAME_CMD_CLOSE && m_hWnd && IsWindow(m_hWnd)) {
            Close();
            return 1;
        }
        break;
    case WM_CLOSE:
        Close();
        return 1;
    case WM_ARM_ENTER_TIMER:
        ArmTimer(TIMER_ENTER_GAME, kEnterGameDelayMs);
        return 1;
    case WM_PLAYER_COMMAND:
        RunPlayerCommand(static_cast<PlayerCommand>(wParam));
        return 1;
    case WM_SCREENSHOT_STORED:
        OnScreenshotStored();
        return 1;
    case WM_SESSION_NEWS:
        OnSessionNews(wParam, lParam);
        return 1;
    case WM_DPICHANGED:
        OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_ENDSESSION:
        // Windows is ending: the process may go without its windows being destroyed.
        if (wParam)
            SaveGameView();
        break;
    case WM_TRAYNOTIFY:
        if (OnTrayNotify(wParam, lParam))
            return 1;
        break;
    default:
        // A restarted shell has lost every notification icon: the hidden window's
        // icon is the only way back, so it is added again.
        if (m_taskbarCreated && msg == m_taskbarCreated && m_bossHidden)
            AddNotifyIcon();
        if (m_peers.Message() && msg == m_peers.Message())
            return OnPeerCommand(wParam);
        break;
    }
    return CImageCtrl::HandleMessage(msg, wParam, lParam);
}

void CFrameGame::Close()
{
    if (!m_hWnd || !IsWindow(m_hWnd))
        return;
    // The browser window is a child of ours on the UI thread. Destroying our
    // window sends it WM_DESTROY and waits for that thread, without a bound: a
    // UI thread stuck inside the control would hold this thread for good. So
    // the browser window goes first, closed by its own thread within a bound.
    if (m_html.Close()) {
        DestroyWindow(m_hWnd);
        return;
    }
    // The UI thread does not answer. Our window stays, hidden, with everything
    // the thread may still reach, and the client's windows leave the screen;
    // the modal loop ends, and start-up, finding the UI thread hung, ends the
    // process. The launcher is hidden rather than closed: destroying it would
    // destroy this window, which it owns.
    SaveGameView();
    EndBossKeyAndIcon();
    ShowWindow(m_hWnd, SW_HIDE);
    if (m_back.m_hWnd)
        ShowWindow(m_back.m_hWnd, SW_HIDE);
    modalRunning = false;
}

void CFrameGame::OnDestroy()
{
    // However the frame ends, the game view's place is kept for the next start.
    SaveGameView();
    m_sessionMute.Release();
    m_titleFont.reset();
    m_titleBrush.reset();
    EndBossKeyAndIcon();
    if (m_back.m_hWnd)
        PostMessageW(m_back.m_hWnd, WM_CLOSE, 0, 0);
    if (g_htmlAppManager)
        PostThreadMessageW(g_htmlAppManager->m_threadId, WM_QUIT, 0, 0);
}

void CFrameGame::ArmTimer(UINT_PTR timerId, UINT elapseMs) { SetTimer(m_hWnd, timerId, elapseMs, nullptr); }
