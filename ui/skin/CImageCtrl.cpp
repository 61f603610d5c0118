#include "ui/skin/CImageCtrl.h"

#include "ui/framework/CAppManager.h"
#include "ui/framework/WorkArea.h"

#include <windowsx.h>

#include <algorithm>

namespace {
// Style of every skinned window: no system caption; clips its children and
// can be maximised.
constexpr LONG kStyleAdded = WS_CLIPCHILDREN | WS_MAXIMIZEBOX | 0x00000100;
constexpr int kIconGroupId = 128;
} // namespace

CImageCtrl::CImageCtrl() { SetClassName(L"ImageCtrl"); }

CImageCtrl::~CImageCtrl() { paint.Clear(); }

bool CImageCtrl::OnButtonDown(CImageButton*) { return true; }
bool CImageCtrl::OnButtonClick(CImageButton*) { return true; }
bool CImageCtrl::OnButtonHover(CImageButton*) { return true; }
bool CImageCtrl::OnButtonRightDown(CImageButton*) { return true; }
bool CImageCtrl::OnButtonRightClick(CImageButton*) { return true; }
void CImageCtrl::OnPaintBackground(Gdiplus::Graphics&) {}
void CImageCtrl::OnPaintForeground(Gdiplus::Graphics&) {}

LRESULT CImageCtrl::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_NCCREATE: {
        paint.hwnd = m_hWnd;
        // Virtual calls: a derived window's overrides receive the events.
        paint.SetOnButtonDown([this](CImageButton* b) { return OnButtonDown(b); });
        paint.SetOnButtonClick([this](CImageButton* b) { return OnButtonClick(b); });
        paint.SetOnButtonHover([this](CImageButton* b) { return OnButtonHover(b); });
        paint.SetOnButtonRightDown([this](CImageButton* b) { return OnButtonRightDown(b); });
        paint.SetOnButtonRightClick([this](CImageButton* b) { return OnButtonRightClick(b); });
        paint.SetOnPaintBackground([this](Gdiplus::Graphics& g) { OnPaintBackground(g); });
        paint.SetOnPaintForeground([this](Gdiplus::Graphics& g) { OnPaintForeground(g); });
        const LONG style = GetWindowLongW(m_hWnd, GWL_STYLE);
        SetWindowLongW(m_hWnd, GWL_STYLE, (style & ~WS_CAPTION) | kStyleAdded);
        break;
    }
    case WM_DESTROY:
        modalRunning = false;
        break;
    case WM_SIZE:
        if (clipCorners)
            ApplyCornerRegion();
        break;
    case WM_GETMINMAXINFO:
        ApplyMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
        break;
    case WM_WINDOWPOSCHANGING:
        if (minWidth != 0 && minHeight != 0) {
            auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
            // The monitor the window is going to: where it moves, or where it is.
            const RECT target = workarea::RectOf(pos->x, pos->y, pos->cx, pos->cy);
            const HMONITOR monitor = (pos->flags & SWP_NOMOVE) || (pos->flags & SWP_NOSIZE)
                                         ? MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST)
                                         : MonitorFromRect(&target, MONITOR_DEFAULTTONEAREST);
            const SIZE minimum = MinimumSizeOn(monitor);
            pos->cx = std::max<int>(pos->cx, minimum.cx);
            pos->cy = std::max<int>(pos->cy, minimum.cy);
        }
        break;
    case WM_NCHITTEST:
        // Answered here: the border acts as the system's sizing frame.
        return HitTest(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    default:
        break;
    }
    return paint.HandleMessage(msg, wParam, lParam) ? 1 : 0;
}

LRESULT CImageCtrl::HitTest(int screenX, int screenY)
{
    if (!resizable)
        return HTCLIENT;
    POINT p = {screenX, screenY};
    ScreenToClient(m_hWnd, &p);
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    const int x = p.x;
    const int y = p.y;
    const int w = client.right;
    const int h = client.bottom;
    const int bw = paint.scale(borderWidth);
    const int bh = paint.scale(borderHeight);
    if (x < bw && y < bh)
        return HTTOPLEFT;
    if (x <= bw && y >= h - bh)
        return HTBOTTOMLEFT;
    if (x > w - bw && y < bh)
        return HTTOPRIGHT;
    if (x >= w - bw && y >= h - bh)
        return HTBOTTOMRIGHT;
    if (x < bw)
        return HTLEFT;
    if (x >= w - bw)
        return HTRIGHT;
    if (y < bh)
        return HTTOP;
    if (y > h - bh)
        return HTBOTTOM;
    return HTCLIENT;
}

void CImageCtrl::ApplyCornerRegion()
{
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    const int w = client.right;
    const int h = client.bottom;
    ScopedGdiObject<HRGN> region;
    if (IsZoomed(m_hWnd)) {
        region.Reset(CreateRectRgn(0, 0, w, h));
    } else {
        // Top corners cut by one pixel, bottom corners by two (at 96 DPI).
        const int a = paint.scale(1);
        const int b = paint.scale(2);
        const POINT corners[8] = {{0, a}, {a, 0}, {w - a, 0}, {w, a}, {w, h - b}, {w - b, h}, {b, h}, {0, h - b}};
        region.Reset(CreatePolygonRgn(corners, 8, WINDING));
    }
    // The system owns the region once it is set.
    if (region && SetWindowRgn(m_hWnd, region.Get(), TRUE))
        region.Release();
}

SIZE CImageCtrl::MinimumSizeOn(HMONITOR monitor) const
{
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    const SIZE minimum = {minWidth, minHeight};
    // Never larger than the monitor's work area: a maximised window would
    // otherwise reach below a small monitor's bottom.
    if (monitor && GetMonitorInfoW(monitor, &mi))
        return workarea::MinimumWithin(minimum, mi.rcWork);
    return minimum;
}

void CImageCtrl::ApplyMinMaxInfo(MINMAXINFO* info)
{
    HMONITOR monitor = MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST);
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    // Maximised on the primary monitor means the work area (the task bar stays
    // visible); other monitors are left to the system.
    if (monitor && GetMonitorInfoW(monitor, &mi) && (mi.dwFlags & MONITORINFOF_PRIMARY))
        workarea::SetMaximizedArea(*info, mi.rcMonitor, mi.rcWork);
    const SIZE minimum = MinimumSizeOn(monitor);
    info->ptMinTrackSize.x = minimum.cx;
    info->ptMinTrackSize.y = minimum.cy;
}

bool CImageCtrl::RunModalLoop()
{
    if (modalRunning)
        return false;
    if (m_hWnd && IsWindow(m_hWnd) && GetWindowThreadProcessId(m_hWnd, nullptr) != GetCurrentThreadId())
        return false;
    CAppManager* manager = CAppManager::FromThread(GetCurrentThreadId());
    modalRunning = true;
    MSG msg;
    while (modalRunning && m_hWnd && IsWindow(m_hWnd)) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // The outer loop must see the quit as well.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1)
            break;
        if (manager && manager->FilterMessage(&msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    modalRunning = false;
    return true;
}

void CImageCtrl::SetIcon(HICON icon, bool big)
{
    ScopedIcon& kept = big ? bigIcon : smallIcon;
    HICON copy = icon ? CopyIcon(icon) : nullptr;
    HICON previous = nullptr;
    if (m_hWnd && IsWindow(m_hWnd))
        previous = reinterpret_cast<HICON>(
            SendMessageW(m_hWnd, WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(copy)));
    // The window showed our previous copy until now: release it only after the
    // new one is in place. A foreign icon it held is released too.
    if (previous && previous != kept.Get() && previous != copy)
        DestroyIcon(previous);
    kept.Reset(copy);
}

bool CImageCtrl::SetIconFromResource(int size, bool big)
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(kIconGroupId), RT_GROUP_ICON);
    HGLOBAL groupData = group ? LoadResource(module, group) : nullptr;
    auto* directory = groupData ? static_cast<BYTE*>(LockResource(groupData)) : nullptr;
    if (!directory)
        return false;
    const int iconId = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
    if (iconId <= 0)
        return false;
    HRSRC entry = FindResourceW(module, MAKEINTRESOURCEW(iconId), RT_ICON);
    HGLOBAL entryData = entry ? LoadResource(module, entry) : nullptr;
    auto* bits = entryData ? static_cast<BYTE*>(LockResource(entryData)) : nullptr;
    if (!bits)
        return false;
    ScopedIcon icon(
        CreateIconFromResourceEx(bits, SizeofResource(module, entry), TRUE, 0x30000, size, size, LR_DEFAULTCOLOR));
    if (!icon.Get())
        return false;
    SetIcon(icon.Get(), big);
    return true;
}

void CImageCtrl::GetWindowRect(RECT* out)
{
    if (out && m_hWnd && IsWindow(m_hWnd))
        ::GetWindowRect(m_hWnd, out);
}
