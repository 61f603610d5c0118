#include "ui/framework/CShadowCtrl.h"

#include "ui/framework/ScopedGdi.h"

CShadowCtrl::CShadowCtrl() { SetClassName(L"ShadowCtrl"); }

CShadowCtrl::~CShadowCtrl() = default;

void CShadowCtrl::CreatePens()
{
    static constexpr float kWidths[3] = {2.0f, 2.0f, 4.0f};
    for (int i = 0; i < 3; ++i)
        m_pens[i] = std::make_unique<Gdiplus::Pen>(Gdiplus::Color(m_colors[i]), kWidths[i]);
}

void CShadowCtrl::SetLightColors()
{
    m_colors[0] = 0x0F9E9E9E;
    m_colors[1] = 0x329E9E9E;
    m_colors[2] = 0x649E9E9E;
    CreatePens();
}

void CShadowCtrl::OnCreate(CREATESTRUCTW*)
{
    SetWindowLongW(m_hWnd, GWL_STYLE, GetWindowLongW(m_hWnd, GWL_STYLE) | WS_CLIPCHILDREN);
    // A tool window never gets a taskbar button.
    LONG exStyle = GetWindowLongW(m_hWnd, GWL_EXSTYLE);
    exStyle = (exStyle & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW;
    SetWindowLongW(m_hWnd, GWL_EXSTYLE, exStyle);
    CreatePens();
    if (UpdateLayeredWindowFn update = FindUpdateLayeredWindow()) {
        SetWindowLongW(m_hWnd, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
        m_updateLayeredWindow = update;
    }
}

void CShadowCtrl::OnDestroy()
{
    for (auto& pen : m_pens)
        pen.reset();
}

void CShadowCtrl::OnShowWindow(BOOL show, UINT)
{
    if (show)
        UpdateShadow(255);
}

void CShadowCtrl::AddRoundedOutline(Gdiplus::GraphicsPath& path, int left, int top, int right, int bottom,
                                    int radius)
{
    const int r = radius;
    const int d = 2 * r;
    path.AddArc(left, top, d, d, 180.0f, 90.0f);
    path.AddLine(left + r, top, right - r, top);
    path.AddArc(right - d, top, d, d, 270.0f, 90.0f);
    path.AddLine(right, top + r, right, bottom - r);
    path.AddArc(right - d, bottom - d, d, d, 0.0f, 90.0f);
    path.AddLine(right - r, bottom, left + r, bottom);
    path.AddArc(left, bottom - d, d, d, 90.0f, 90.0f);
    path.AddLine(left, top + r, left, bottom - r);
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
        const int s = m_inset;
        struct Outline {
            int grow;   // added to left and top
            int shrink; // added to right and bottom
            int radius;
        };
        const Outline outlines[3] = {
            {s - 5, 4 - s, m_radius + 1},
            {s - 3, 2 - s, m_radius + 1},
            {s, -(s + 1), m_radius - 1},
        };
        for (int i = 0; i < 3; ++i) {
            if (!m_pens[i])
                continue;
            Gdiplus::GraphicsPath path(Gdiplus::FillModeAlternate);
            AddRoundedOutline(path, client.left + outlines[i].grow, client.top + outlines[i].grow,
                              client.right + outlines[i].shrink, client.bottom + outlines[i].shrink,
                              outlines[i].radius);
            g.DrawPath(m_pens[i].get(), &path);
        }
    }
    image.Push(m_updateLayeredWindow, m_hWnd, static_cast<BYTE>(alpha & 0xFF));
}
