#include "ui/skin/CImageMenu.h"

CImageMenu::CImageMenu() { SetClassName(L"ImageMenu"); }

CImageMenu::~CImageMenu()
{
    if (HWND shadowWindow = ShadowWindow())
        DestroyWindow(shadowWindow);
    shadow.reset();
}

HWND CImageMenu::ShadowWindow() const
{
    return shadow && shadow->m_hWnd && IsWindow(shadow->m_hWnd) ? shadow->m_hWnd : nullptr;
}

void CImageMenu::Popup(int x, int y)
{
    int height = 0;
    for (auto& row : paint.rows) {
        if (row->visible)
            height += row->height;
    }
    if (!m_hWnd || !IsWindow(m_hWnd)) {
        // Every menu window gets a fresh shadow window to own it. A shadow
        // window left from a destroyed menu is closed already (its WM_CLOSE may
        // still be queued and would take the new menu with it): end it now.
        if (!shadow) {
            shadow = std::make_unique<CShadowCtrl>();
            shadow->SetLightColors();
        }
        if (HWND stale = ShadowWindow())
            DestroyWindow(stale);
        shadow->m_rim.SetScale(paint.scale);
        shadow->Create(0, nullptr, nullptr, WS_POPUP | WS_VISIBLE, x, y, 0, 0, nullptr);
        Create(0, nullptr, nullptr, WS_POPUP, x, y, width, height, ShadowWindow());
    }
    if (m_hWnd) {
        MoveWindow(m_hWnd, x, y, width, height, TRUE);
        ShowWindow(m_hWnd, SW_SHOW);
        SetForegroundWindow(m_hWnd);
    }
}

void CImageMenu::OnCreate(CREATESTRUCTW*)
{
    SetWindowLongW(m_hWnd, GWL_STYLE, GetWindowLongW(m_hWnd, GWL_STYLE) | WS_CLIPCHILDREN);
    // A tool window: never a taskbar button.
    const LONG exStyle = GetWindowLongW(m_hWnd, GWL_EXSTYLE);
    SetWindowLongW(m_hWnd, GWL_EXSTYLE, (exStyle & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW);
    // The shadow owns the menu: making it topmost takes the menu along.
    HWND topmost = ShadowWindow() ? ShadowWindow() : m_hWnd;
    SetWindowPos(topmost, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    paint.SetBackgroundColor(0xFFEDF3FA);
}

LRESULT CImageMenu::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // Its owner makes it at the scale of the monitor it opens on, and places
    // it there: the rectangle Windows suggests is not taken.
    if (msg == WM_DPICHANGED)
        return 0;
    if (msg == WM_NCCREATE) {
        paint.hwnd = m_hWnd;
    } else if ((msg == WM_ACTIVATE && LOWORD(wParam) == WA_INACTIVE) || (msg == WM_NCACTIVATE && !wParam)) {
        if (hideOnDeactivate && IsWindowVisible(m_hWnd))
            ShowWindow(m_hWnd, SW_HIDE);
    }
    return CImageCtrlEx::HandleMessage(msg, wParam, lParam);
}

void CImageMenu::OnShowWindow(BOOL show, UINT)
{
    if (show) {
        SetForegroundWindow(m_hWnd);
        if (HWND shadowWindow = ShadowWindow())
            ShowWindow(shadowWindow, SW_SHOW);
    } else if (HWND shadowWindow = ShadowWindow()) {
        ShowWindow(shadowWindow, SW_HIDE);
    }
}

void CImageMenu::OnMove(int, int) { FitShadow(); }

// A popup at the same place with other rows changes only the size.
void CImageMenu::OnSize(UINT, int, int) { FitShadow(); }

void CImageMenu::FitShadow()
{
    HWND shadowWindow = ShadowWindow();
    if (!shadowWindow)
        return;
    RECT r = {};
    ::GetWindowRect(m_hWnd, &r);
    if (IsRectEmpty(&r))
        return;
    InflateRect(&r, shadow->m_rim.Inset(), shadow->m_rim.Inset());
    MoveWindow(shadowWindow, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    shadow->UpdateShadow(255);
}

void CImageMenu::OnDestroy()
{
    if (HWND shadowWindow = ShadowWindow()) {
        ShowWindow(shadowWindow, SW_HIDE);
        PostMessageW(shadowWindow, WM_CLOSE, 0, 0);
    }
}
