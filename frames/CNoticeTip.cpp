#include "frames/CNoticeTip.h"

#include "ui/framework/Scoped.h"

#include <gdiplus.h>

#include <algorithm>
#include <memory>

namespace {

constexpr Gdiplus::ARGB kBackground = 0xFF16325C;
constexpr Gdiplus::ARGB kBorder = 0xFFE8C35A;
constexpr Gdiplus::ARGB kInk = 0xFFF4EAD0;
constexpr int kPadding = 8;

std::unique_ptr<Gdiplus::Font> TipFont(const DpiScale& scale)
{
    const float size = scale.FontPixels(9.0f);
    auto font = std::make_unique<Gdiplus::Font>(L"宋体", size, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    if (font->GetLastStatus() == Gdiplus::Ok)
        return font;
    const Gdiplus::FontFamily* generic = Gdiplus::FontFamily::GenericSansSerif();
    if (!generic || !generic->IsAvailable())
        return nullptr;
    return std::make_unique<Gdiplus::Font>(generic, size, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
}

} // namespace

CNoticeTip::CNoticeTip() { SetClassName(L"zarvo_tip"); }

CNoticeTip::~CNoticeTip()
{
    if (m_hWnd && IsWindow(m_hWnd))
        DestroyWindow(m_hWnd);
}

void CNoticeTip::Show(HWND owner, int x, int y, int maxWidth, const std::wstring& text)
{
    m_text = text;
    if (!m_hWnd || !IsWindow(m_hWnd)) {
        // No activation, ever: the tip is created and shown without it, and a
        // click on it is answered with MA_NOACTIVATE.
        Create(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, nullptr, nullptr, WS_POPUP, x, y, 1, scale(kHeight), owner);
        if (!m_hWnd)
            return;
    }
    const int width = std::max(1, std::min(TextWidth() + 2 * scale(kPadding), maxWidth));
    SetWindowPos(m_hWnd, HWND_TOP, x, y, width, scale(kHeight), SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(m_hWnd, nullptr, FALSE);
    SetTimer(m_hWnd, kHideTimer, kShowMs, nullptr);
}

bool CNoticeTip::Covers(const RECT& r) const
{
    RECT tip = {};
    RECT common = {};
    return m_hWnd && IsWindowVisible(m_hWnd) && ::GetWindowRect(m_hWnd, &tip) && IntersectRect(&common, &tip, &r);
}

void CNoticeTip::Hide()
{
    if (!m_hWnd || !IsWindow(m_hWnd))
        return;
    KillTimer(m_hWnd, kHideTimer);
    ShowWindow(m_hWnd, SW_HIDE);
}

void CNoticeTip::OnTimer(UINT_PTR timerId)
{
    if (timerId == kHideTimer)
        Hide();
}

LRESULT CNoticeTip::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_DPICHANGED: {
        // Moved with its owner onto a monitor of another scale.
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        scale = DpiScale(LOWORD(wParam));
        SetWindowPos(m_hWnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     scale(kHeight), SWP_NOZORDER | SWP_NOACTIVATE);
        InvalidateRect(m_hWnd, nullptr, FALSE);
        return 0;
    }
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_ERASEBKGND:
        return 1; // WM_PAINT covers every pixel
    case WM_PAINT:
        Paint();
        return 1;
    default:
        return 0;
    }
}

int CNoticeTip::TextWidth() const
{
    std::unique_ptr<Gdiplus::Font> font = TipFont(scale);
    ScopedGetDC screen(nullptr);
    if (!font || !screen.Get())
        return 0;
    Gdiplus::Graphics g(screen.Get());
    Gdiplus::RectF bounds;
    g.MeasureString(m_text.c_str(), static_cast<INT>(m_text.size()), font.get(), Gdiplus::PointF(0, 0), &bounds);
    return static_cast<int>(bounds.Width + 1.0f);
}

void CNoticeTip::Paint()
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(m_hWnd, &ps);
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    {
        Gdiplus::Graphics g(hdc);
        Gdiplus::SolidBrush background{Gdiplus::Color(kBackground)};
        g.FillRectangle(&background, 0, 0, client.right, client.bottom);
        const int line = scale(1);
        Gdiplus::SolidBrush border{Gdiplus::Color(kBorder)};
        // The border, one pixel wide at 96 DPI, inside the edges.
        g.FillRectangle(&border, 0, 0, client.right, line);
        g.FillRectangle(&border, 0, client.bottom - line, client.right, line);
        g.FillRectangle(&border, 0, 0, line, client.bottom);
        g.FillRectangle(&border, client.right - line, 0, line, client.bottom);
        if (std::unique_ptr<Gdiplus::Font> font = TipFont(scale)) {
            Gdiplus::StringFormat format;
            format.SetAlignment(Gdiplus::StringAlignmentNear);
            format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
            format.SetTrimming(Gdiplus::StringTrimmingEllipsisPath);
            format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap);
            Gdiplus::SolidBrush ink{Gdiplus::Color(kInk)};
            const int padding = scale(kPadding);
            const Gdiplus::RectF layout(static_cast<float>(padding), 0.0f,
                                        static_cast<float>(client.right - 2 * padding),
                                        static_cast<float>(client.bottom));
            g.DrawString(m_text.c_str(), static_cast<INT>(m_text.size()), font.get(), layout, &format, &ink);
        }
    }
    EndPaint(m_hWnd, &ps);
}
