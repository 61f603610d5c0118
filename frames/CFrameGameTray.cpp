// The boss key and the notification icon it hides the game view to, with the
// icon's own menu. One client of the user's session holds the hot key and
// hides or brings back all of them at once (BossKeyPeers); each hidden client
// has its own icon, which brings back that client alone.

#include "frames/CFrameGame.h"

#include "resources/resource.h"
#include <algorithm>

void CFrameGame::OnTrayMenuItem(CImageItem* row)
{
    switch (row ? row->id : 0) {
    case kShowWindowRow:
        ShowFromNotificationArea();
        HideAndDestroy(m_trayMenu);
        break;
    case kCloseRow:
        m_notifyIcon.Remove();
        m_bossHidden = false;
        if (m_trayMenu.m_hWnd)
            ShowWindow(m_trayMenu.m_hWnd, SW_HIDE);
        result = IDOK;
        modalRunning = false;
        Close();
        break;
    default:
        HideAndDestroy(m_trayMenu);
        break;
    }
}

void CFrameGame::AddNotifyIcon()
{
    // The small icon's size at the window's scale, drawn for it.
    const int size = paint.scale(kNotifyIconSide);
    if (!m_notifyIconImage.Get() || m_notifyIconSize != size) {
        m_notifyIconImage.Reset(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_VORN),
                                                              IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
        m_notifyIconSize = size;
    }
    m_notifyIcon.Add(m_notifyIconImage.Get(), kProductName);
}

void CFrameGame::ShowFromNotificationArea()
{
    m_bossHidden = false;
    ShowWindow(m_hWnd, SW_SHOW);
    m_notifyIcon.Remove();
    InvalidateRect(m_hWnd, nullptr, TRUE);
    ApplySessionMute();
}

void CFrameGame::HideToNotificationArea()
{
    m_notice.Hide();
    AddNotifyIcon();
    ShowWindow(m_hWnd, SW_HIDE);
    m_bossHidden = true;
    ApplySessionMute();
}

LRESULT CFrameGame::OnHotKey(int id)
{
    if (id != HOTKEY_BOSS)
        return 0;
    // The holder decides for every client: all come back when it is hidden,
    // all hide when it is shown.
    if (m_bossHidden) {
        ShowFromNotificationArea();
        m_peers.Tell(m_hWnd, BossKeyPeers::kShow);
    } else if (IsWindowVisible(m_hWnd)) {
        HideToNotificationArea();
        m_peers.Tell(m_hWnd, BossKeyPeers::kHide);
    }
    return 0;
}

LRESULT CFrameGame::OnPeerCommand(WPARAM command)
{
    switch (command) {
    case BossKeyPeers::kHide:
        // As the key itself would: only the game view hides, and only once.
        if (m_gameMode && !m_bossHidden && IsWindowVisible(m_hWnd))
            HideToNotificationArea();
        return 1;
    case BossKeyPeers::kShow:
        if (m_bossHidden)
            ShowFromNotificationArea();
        return 1;
    case BossKeyPeers::kReleased:
        if (m_gameMode && !m_bossKeyHold.Held())
            TakeBossKey();
        return 1;
    case BossKeyPeers::kWhoHolds:
        return m_bossKeyHold.Held() ? BossKeyPeers::Pack(m_bossKey) : 0;
    default:
        return 0;
    }
}

void CFrameGame::TakeBossKey()
{
    m_bossKey = BossKey::FromConfig(m_hotKeyModifiers, m_hotKeyVirtualKey);
    if (!m_bossKeyHold.Take(m_hWnd, m_bossKey)) {
        // Another client may hold it for every client of the session: then
        // its key works here too, and the menu row names that key.
        const BossKey held = m_peers.AskHolder(m_hWnd);
        if (held.available) {
            m_bossKey = held;
        } else {
            // Held by another program (the shell keeps several combinations
            // for itself): Alt+D instead, and where that is held too the
            // client works on without a boss key, and its menu row says so.
            const BossKey fallback;
            const bool other = fallback.modifiers != m_bossKey.modifiers || fallback.virtualKey != m_bossKey.virtualKey;
            if (other && m_bossKeyHold.Take(m_hWnd, fallback))
                m_bossKey = fallback;
            else
                m_bossKey.available = false;
        }
    }
    UpdateMenuRow(kBossKeyRow, m_bossKey.MenuText());
}

void CFrameGame::EndBossKeyAndIcon()
{
    m_bossKeyHold.End();
    // A window closed while hidden by the boss key leaves no icon behind.
    m_notifyIcon.Remove();
    m_bossHidden = false;
}

LRESULT CFrameGame::OnTrayNotify(WPARAM iconId, LPARAM mouseMessage)
{
    if (iconId != kNotifyIconId)
        return 1;
    switch (mouseMessage) {
    case WM_LBUTTONDBLCLK:
        ShowFromNotificationArea();
        break;
    case WM_RBUTTONUP: {
        POINT cursor = {};
        GetCursorPos(&cursor);
        const DpiScale scale(dpi::OfMonitor(MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST)));
        PrepareMenu(m_trayMenu, scale, CImageMenu::kWidth);
        if (!m_trayMenu.m_hWnd) {
            AddMenuRow(m_trayMenu, kShowWindowRow, L"系统设置");
            AddMenuRow(m_trayMenu, kCloseRow, L"关闭");
        }
        RECT work = {};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        int height = 0;
        for (const auto& row : m_trayMenu.paint.rows)
            if (row->visible)
                height += row->height;
        // A task bar docked left or right makes the work area narrower than the screen.
        const bool sideTaskBar = work.right - work.left < GetSystemMetrics(SM_CXSCREEN);
        const int x = cursor.x - scale(sideTaskBar ? kTrayMenuLeftOfCursorBesideSideTaskBar : kTrayMenuLeftOfCursor);
        const int y = std::min<int>(cursor.y, work.bottom - work.top) - height;
        m_trayMenu.Popup(x, y);
        break;
    }
    default:
        break;
    }
    return 0;
}
