// The boss key and the notification icon it hides the game view to, with the
// icon's own menu.

#include "frames/CFrameGame.h"

#include "resources/resource.h"
#include "ui/framework/SystemFunction.h"

#include <strsafe.h>

#include <algorithm>

void CFrameGame::OnTrayMenuItem(CImageItem* row)
{
    switch (row ? row->id : 0) {
    case kShowWindowRow:
        ShowFromNotificationArea();
        HideAndDestroy(m_trayMenu);
        break;
    case kCloseRow:
        NotifyIcon(NIM_DELETE);
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
    const int size = paint.scale(16);
    if (!m_notifyIconImage.Get() || m_notifyIconSize != size) {
        m_notifyIconImage.Reset(static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_VORN), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
        m_notifyIconSize = size;
    }
    m_notifyIcon.hIcon = m_notifyIconImage.Get();
    StringCchCopyW(m_notifyIcon.szTip, kTipCapacity, kProductName);
    NotifyIcon(NIM_ADD);
}

BOOL CFrameGame::NotifyIcon(DWORD message)
{
    const auto notify = SystemFunction<decltype(&Shell_NotifyIconW)>(L"shell32.dll", "Shell_NotifyIconW");
    return notify ? notify(message, &m_notifyIcon) : FALSE;
}

void CFrameGame::ShowFromNotificationArea()
{
    m_bossHidden = false;
    ShowWindow(m_hWnd, SW_SHOW);
    NotifyIcon(NIM_DELETE);
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

LRESULT CFrameGame::OnHotKey(int id)
{
    if (id != HOTKEY_BOSS)
        return 0;
    if (m_bossHidden) {
        ShowFromNotificationArea();
    } else if (IsWindowVisible(m_hWnd)) {
        m_notice.Hide();
        AddNotifyIcon();
        ShowWindow(m_hWnd, SW_HIDE);
        m_bossHidden = true;
    }
    return 0;
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
        const int x = cursor.x - scale(sideTaskBar ? 96 : 30);
        const int y = std::min<int>(cursor.y, work.bottom - work.top) - height;
        m_trayMenu.Popup(x, y);
        break;
    }
    default:
        break;
    }
    return 0;
}
