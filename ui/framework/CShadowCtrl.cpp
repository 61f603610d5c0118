#include "ui/framework/CShadowCtrl.h"

#include "ui/framework/Scoped.h"

CShadowCtrl::CShadowCtrl() { SetClassName(L"ShadowCtrl"); }

CShadowCtrl::~CShadowCtrl() = default;

void CShadowCtrl::OnCreate(CREATESTRUCTW*)
{
    SetWindowLongW(m_hWnd, GWL_STYLE, GetWindowLongW(m_hWnd, GWL_STYLE) | WS_CLIPCHILDREN);
    // A tool window never gets a taskbar button.
    LONG exStyle = GetWindowLongW(m_hWnd, GWL_EXSTYLE);
    exStyle = (exStyle & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW;
    SetWindowLongW(m_hWnd, GWL_EXSTYLE, exStyle);
    if (UpdateLayeredWindowFn update = FindUpdateLayeredWindow()) {
        SetWindowLongW(m_hWnd, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
        m_updateLayeredWindow = update;
    }
}

void CShadowCtrl::OnDestroy() { m_rim.Release(); }

void CShadowCtrl::OnShowWindow(BOOL show, UINT)
{
    if (show)
        UpdateShadow(255);
}

void CShadowCtrl::UpdateShadow(int alpha)
{
    if (!m_updateLayeredWindow)
        return;
    RECT client = {};
    if (IsWindow(m_hWnd))
        GetClientRect(m_hWnd, &client);
    // A window that has not been sized yet has nothing to show.
    ScopedGetDC windowDC(m_hWnd);
    CLayeredBitmap image(windowDC.Get(), client.right, client.bottom);
    if (!image.Valid())
        return;
    {
        Gdiplus::Graphics g(image.DC());
        g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        m_rim.Draw(g, client);
    }
    image.Push(m_updateLayeredWindow, m_hWnd, static_cast<BYTE>(alpha & 0xFF));
}
