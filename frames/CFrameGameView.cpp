// The view switch: from the page area over the launcher to the game view, and
// how the game view lays out its page and carries its shadow; full screen; and
// the game view's place, kept for the next start.

#include "frames/CFrameGame.h"

#include "app/ConfigFile.h"
#include "app/gameApp.h"
#include "frames/PlayerSettings.h"
#include "ui/framework/WorkArea.h"

namespace {

constexpr Gdiplus::ARGB kGameBackground = 0xFF23373C;

MONITORINFO MonitorOf(HMONITOR monitor)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (!monitor || !GetMonitorInfoW(monitor, &info))
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &info.rcWork, 0), info.rcMonitor = info.rcWork;
    return info;
}

} // namespace

void CFrameGame::EnterGameMode()
{
    if (m_gameMode)
        return;
    m_gameMode = true;
    m_back.EnterShadowMode();
    m_html.m_fitExactly = true;
    ShowWindow(m_hWnd, SW_HIDE);

    paint.draggable = true;
    paint.fillBackground = true;
    clipCorners = true;
    resizable = true;
    paint.SetBackgroundColor(kGameBackground);

    const ConfigFile config(g_app ? g_app->m_exeDir : L"");
    m_hotKeyModifiers = g_app ? config.ReadInt(L"Common", L"fsModifiers") : 0;
    m_hotKeyVirtualKey = g_app ? config.ReadInt(L"Common", L"vkCode") : 0;
    m_muteWhileHidden = PlayerSettings::ReadMuteWhileHidden();
    m_topmost = PlayerSettings::ReadTopmost();

    AddTitleBar();
    // The player's zoom is the game's: the login view's page stays at its size.
    m_html.SetPlayerZoom(PlayerSettings::ReadPageZoom());

    // From here on the title bar shows the session's mute as the system has
    // it (the system keeps a session's mute across starts).
    bool sessionMuted = false;
    if (!m_sessionMute.IsOpen() && OpenSession() && m_sessionMute.Read(&sessionMuted))
        AdoptMute(sessionMuted);

    TakeBossKey();

    SetGameMinimumSize();
    // On top from the start when the player left it so (and not while a kept
    // full screen lasts, which EnterFullScreen sees to).
    ApplyTopmost();
    // The game view comes back as the player left it; the first time it is
    // centred at its minimum size and maximised half a second later.
    if (const std::optional<GameViewRecord> kept = PlayerSettings::ReadGameView()) {
        ShowKeptGameView(*kept);
        return;
    }
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    MoveWindow(m_hWnd, (work.right - minWidth - work.left) / 2, (work.bottom - minHeight - work.top) / 2, minWidth,
               minHeight, TRUE);
    ArmTimer(TIMER_MAXIMIZE, kFirstMaximizeDelayMs);
}

void CFrameGame::SetGameMinimumSize()
{
    // Within the work area of the window's monitor, which MinimumSizeOn sees to.
    const int width = paint.scale(kGameMinWidth);
    const int height = paint.scale(kGameMinHeight);
    if (GetSystemMetrics(SM_CXSCREEN) >= kGameMinWidth && GetSystemMetrics(SM_CYSCREEN) >= kGameMinHeight) {
        minWidth = width;
        minHeight = height;
    }
}

void CFrameGame::FollowLauncherScale(DpiScale scale)
{
    if (m_gameMode)
        return;
    paint.scale = scale;
    m_html.SetPageDpi(scale.Dpi());
    const RECT page = m_back.PageArea();
    if (minWidth != 0) {
        minWidth = page.right - page.left;
        minHeight = page.bottom - page.top;
    }
}

void CFrameGame::OnDpiChanged(int dpi, const RECT& suggested)
{
    // In the login view the launcher decides the page area's scale and place.
    if (!m_gameMode || DpiScale(dpi) == paint.scale)
        return;
    paint.scale = DpiScale(dpi);
    m_html.SetPageDpi(dpi);
    m_titleFont = MakeTitleFont(paint.scale);
    m_back.m_rim.SetScale(paint.scale);
    // The title bar's items, anew at the new scale (the same ids replace them).
    AddTitleBar();
    UpdateMuteLooks();
    if (m_fullScreen) {
        // Full screen on the monitor the window went to, whatever its size.
        m_minSizeBeforeFullScreen = {paint.scale(kGameMinWidth), paint.scale(kGameMinHeight)};
        m_fullScreenRect = MonitorOf(MonitorFromRect(&suggested, MONITOR_DEFAULTTONEAREST)).rcMonitor;
        const RECT& r = m_fullScreenRect;
        SetWindowPos(m_hWnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        SetGameMinimumSize();
        if (!IsZoomed(m_hWnd) && !IsIconic(m_hWnd))
            SetWindowPos(m_hWnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                         suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    LayOut();
}

void CFrameGame::ShowKeptGameView(const GameViewRecord& kept)
{
    // Placed while hidden and not maximised: this is its restored rectangle,
    // wholly on the work area of the monitor it belongs to (a monitor since
    // removed, another screen size, a value no window can have), so that its
    // title bar and buttons can be reached.
    const MONITORINFO monitor = MonitorOf(MonitorFromRect(&kept.restored, MONITOR_DEFAULTTONEAREST));
    const RECT r = workarea::FitInto(kept.restored, monitor.rcWork, {minWidth, minHeight});
    MoveWindow(m_hWnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    ShowWindow(m_hWnd, kept.maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    SetForegroundWindow(m_hWnd);
    if (kept.fullScreen)
        EnterFullScreen();
}

void CFrameGame::NoteRestoredRect()
{
    // The rectangle the view has when neither maximised, minimised nor full
    // screen: what the next start restores.
    if (m_gameMode && !m_fullScreen && m_hWnd && !IsZoomed(m_hWnd) && !IsIconic(m_hWnd))
        ::GetWindowRect(m_hWnd, &m_restoredRect);
}

void CFrameGame::SaveGameView()
{
    if (!m_gameMode || !m_hWnd || !IsWindow(m_hWnd) || IsRectEmpty(&m_restoredRect))
        return;
    GameViewRecord record;
    record.restored = m_restoredRect;
    record.fullScreen = m_fullScreen;
    if (m_fullScreen) {
        record.maximized = m_zoomedBeforeFullScreen;
    } else if (IsIconic(m_hWnd)) {
        WINDOWPLACEMENT placement = {};
        placement.length = sizeof(placement);
        record.maximized = GetWindowPlacement(m_hWnd, &placement) && (placement.flags & WPF_RESTORETOMAXIMIZED);
    } else {
        record.maximized = IsZoomed(m_hWnd);
    }
    PlayerSettings::WriteGameView(record);
}

void CFrameGame::EnterFullScreen()
{
    if (!m_gameMode || m_fullScreen || !m_hWnd || !IsWindowVisible(m_hWnd) || IsIconic(m_hWnd))
        return;
    const RECT screen = MonitorOf(MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST)).rcMonitor;
    m_fullScreenRect = screen;
    m_zoomedBeforeFullScreen = IsZoomed(m_hWnd);
    m_minSizeBeforeFullScreen = {minWidth, minHeight};
    m_fullScreen = true;
    // The page covers the whole monitor, title bar and edges included: nothing
    // of the frame's own is left to drag, size or round off.
    minWidth = 0;
    minHeight = 0;
    resizable = false;
    clipCorners = false;
    paint.draggable = false;
    SetWindowRgn(m_hWnd, nullptr, FALSE);
    if (m_back.m_hWnd)
        ShowWindow(m_back.m_hWnd, SW_HIDE);
    // A maximised view stays maximised underneath (its restored rectangle is
    // kept). Whatever moves or sizes the window while full screen (a restore
    // from a minimise or from the task bar, a maximise, a changed work area)
    // finds the monitor's rectangle held (HoldFullScreenRect).
    SetWindowPos(m_hWnd, nullptr, screen.left, screen.top, screen.right - screen.left, screen.bottom - screen.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    ApplyTopmost();
    LayOut();
}

void CFrameGame::LeaveFullScreen()
{
    if (!m_fullScreen)
        return;
    m_fullScreen = false;
    minWidth = m_minSizeBeforeFullScreen.cx;
    minHeight = m_minSizeBeforeFullScreen.cy;
    resizable = true;
    clipCorners = true;
    paint.draggable = true;
    if (m_zoomedBeforeFullScreen && IsZoomed(m_hWnd)) {
        // Maximised all along: back to the work area.
        const RECT work = MonitorOf(MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST)).rcWork;
        SetWindowPos(m_hWnd, nullptr, work.left, work.top, work.right - work.left, work.bottom - work.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        if (IsZoomed(m_hWnd))
            ShowWindow(m_hWnd, SW_RESTORE);
        const RECT& r = m_restoredRect;
        SetWindowPos(m_hWnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (m_back.m_hWnd)
        ShowWindow(m_back.m_hWnd, SW_SHOWNA);
    ApplyTopmost();
    LayOut();
}

void CFrameGame::SetTopmost(bool topmost)
{
    m_topmost = topmost;
    PlayerSettings::WriteTopmost(topmost);
    ApplyTopmost();
    UpdateMenuRow(kTopmostRow, TopmostRowText());
}

void CFrameGame::ApplyTopmost()
{
    if (!m_gameMode || !m_hWnd)
        return;
    const bool on = m_topmost && !m_fullScreen;
    constexpr UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    if (on) {
        // The shadow first: the frame, its owned window, lands right above it.
        if (m_back.m_hWnd)
            SetWindowPos(m_back.m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, flags);
        SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, flags);
    } else {
        // An owned window right above its owner is kept above it (Wine puts
        // it back after itself, and so leaves it on top): the shadow steps
        // aside first.
        if (m_back.m_hWnd)
            SetWindowPos(m_back.m_hWnd, HWND_BOTTOM, 0, 0, 0, 0, flags);
        SetWindowPos(m_hWnd, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
        // And back right behind the frame.
        if (m_back.m_hWnd)
            SetWindowPos(m_back.m_hWnd, m_hWnd, 0, 0, 0, 0, flags);
    }
}

void CFrameGame::LayOut()
{
    // The size may be the one the window had (a maximised view on a screen
    // without a task bar covers the monitor already): the corners, the title
    // bar and the page are laid out for the new view all the same.
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    SendMessageW(m_hWnd, WM_SIZE, IsZoomed(m_hWnd) ? SIZE_MAXIMIZED : SIZE_RESTORED,
                 MAKELPARAM(client.right, client.bottom));
    InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CFrameGame::OnGetMinMaxInfo(MINMAXINFO* info)
{
    if (!m_fullScreen || !info)
        return;
    const MONITORINFO monitor = MonitorOf(MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST));
    workarea::SetMaximizedArea(*info, monitor.rcMonitor, monitor.rcMonitor);
}

void CFrameGame::HoldFullScreenRect(WINDOWPOS* pos) const
{
    // Minimised, the window goes where the system keeps minimised windows.
    if (!m_fullScreen || !pos || IsIconic(m_hWnd) || ((pos->flags & SWP_NOMOVE) && (pos->flags & SWP_NOSIZE)))
        return;
    const RECT& r = m_fullScreenRect;
    pos->x = r.left;
    pos->y = r.top;
    pos->cx = r.right - r.left;
    pos->cy = r.bottom - r.top;
    pos->flags &= ~(SWP_NOMOVE | SWP_NOSIZE);
}

void CFrameGame::FollowWithShadow()
{
    RECT r = {};
    if (m_hWnd && IsWindow(m_hWnd))
        ::GetWindowRect(m_hWnd, &r);
    if (r.right - r.left != 0)
        InflateRect(&r, m_back.m_rim.Inset(), m_back.m_rim.Inset());
    if (m_back.m_hWnd)
        MoveWindow(m_back.m_hWnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void CFrameGame::OnMove(int, int)
{
    NoteRestoredRect();
    if (m_gameMode && !m_fullScreen)
        FollowWithShadow();
}

void CFrameGame::OnSize(UINT, int, int)
{
    NoteRestoredRect();
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    // Full screen: the page is all there is.
    if (m_gameMode && !m_fullScreen) {
        client.top += paint.scale(kTitleBarHeight);
        if (!IsZoomed(m_hWnd)) {
            // A one-pixel border around the page.
            const int border = paint.scale(1);
            client.left += border;
            client.right -= border;
            client.bottom -= border;
        }
    }
    if (m_html.m_hWnd)
        MoveWindow(m_html.m_hWnd, client.left, client.top, client.right - client.left, client.bottom - client.top,
                   TRUE);
    if (m_gameMode && !m_fullScreen) {
        ShowZoomGlyph();
        FollowWithShadow();
        m_back.paint.Redraw();
    }
}

void CFrameGame::ShowZoomGlyph()
{
    // However the window got maximised or restored (the delayed maximise, the
    // system, a double click), the title bar offers the other state.
    CImageButton* maximize = paint.FindButton(CImagePaint::kMaximizeId);
    CImageButton* restore = paint.FindButton(CImagePaint::kRestoreId);
    if (!maximize || !restore)
        return;
    const bool zoomed = IsZoomed(m_hWnd);
    maximize->visible = !zoomed;
    restore->visible = zoomed;
}

void CFrameGame::OnShowWindow(BOOL show, UINT)
{
    if (!m_gameMode && m_back.m_hWnd)
        ShowWindow(m_back.m_hWnd, show ? SW_SHOW : SW_HIDE);
}
