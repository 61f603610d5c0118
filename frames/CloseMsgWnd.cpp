#include "frames/CloseMsgWnd.h"

#include "resources/resource.h"

CloseMsgWnd::CloseMsgWnd() { SetClassName(L"zarvopellis"); }

CloseMsgWnd::~CloseMsgWnd()
{
    if (m_hWnd && IsWindow(m_hWnd))
        DestroyWindow(m_hWnd);
}

int CloseMsgWnd::DoModal(HWND owner)
{
    result = IDCANCEL;
    RECT o = {};
    if (owner)
        ::GetWindowRect(owner, &o);
    // At the scale of the monitor it opens on: the owner's.
    const DpiScale scale(owner ? dpi::OfMonitor(MonitorFromRect(&o, MONITOR_DEFAULTTONEAREST)) : dpi::OfSystem());
    const bool rescaled = scale != paint.scale;
    paint.scale = scale;
    const int width = scale(kWidth);
    const int height = scale(kHeight);
    // The picture has one size; a screen too small for it still gets a window
    // that can be answered.
    if (GetSystemMetrics(SM_CXSCREEN) >= width && GetSystemMetrics(SM_CYSCREEN) >= height) {
        minWidth = width;
        minHeight = height;
    }
    const int x = (o.right - width - o.left) / 2 + o.left;
    const int y = (o.bottom - height - o.top) / 2 + o.top;

    // Modal to its owner, as a dialog is: the owner takes no input from the
    // moment the question shows until it is answered, so it cannot ask a
    // second time meanwhile.
    const bool disabledOwner = owner && IsWindowEnabled(owner);
    if (disabledOwner)
        EnableWindow(owner, FALSE);
    m_owner = disabledOwner ? owner : nullptr;
    if (m_hWnd && IsWindow(m_hWnd)) {
        MoveWindow(m_hWnd, x, y, width, height, TRUE);
        if (rescaled) {
            AddItems();
            paint.Redraw();
        }
    } else {
        Create(0, nullptr, nullptr, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, x, y,
               width, height, owner);
    }
    if (!m_hWnd || !IsWindow(m_hWnd)) {
        ReleaseOwner();
        return result;
    }
    RunModalLoop();
    ReleaseOwner();
    return result;
}

void CloseMsgWnd::OnCreate(CREATESTRUCTW*)
{
    paint.EnableLayered();
    paint.draggable = true;
    AddItems();
}

void CloseMsgWnd::AddItems()
{
    const DpiScale& px = paint.scale;
    paint.captionRect = px.Box(0, 0, kWidth, kHeight);
    const RECT ok = ButtonRect(kConfirmId);
    const RECT cancel = ButtonRect(kCancelId);
    paint.AddButton(kConfirmId, 0, IDP_CLOSE_OK, IDP_CLOSE_OK_HOVER, IDP_CLOSE_OK_HOVER, IDP_CLOSE_OK, ok.left, ok.top,
                    ok.right, ok.bottom);
    paint.AddButton(kCancelId, 0, IDP_CLOSE_CANCEL, IDP_CLOSE_CANCEL_HOVER, IDP_CLOSE_CANCEL_HOVER, IDP_CLOSE_CANCEL,
                    cancel.left, cancel.top, cancel.right, cancel.bottom);
    paint.AddStatic(IDP_CLOSE_PANEL, kPanelId, false, paint.captionRect);
}

LRESULT CloseMsgWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_KEYDOWN:
        // Esc answers as 取消 does.
        if (wParam != VK_ESCAPE)
            break;
        Finish(IDCANCEL);
        return 1;
    case WM_CLOSE:
        // Closed by the system (Alt+F4, the system menu, WM_CLOSE from anyone):
        // as 取消.
        Finish(IDCANCEL);
        return 1;
    case WM_WINDOWPOSCHANGING:
        // Hidden or destroyed by someone else: the system picks the window to
        // activate while this one hides, so the owner must take input again first.
        if (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_HIDEWINDOW)
            ReleaseOwner();
        break;
    case WM_DESTROY:
        ReleaseOwner();
        break;
    case WM_DPICHANGED: {
        // Dragged onto a monitor of another scale: drawn for that one.
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        paint.scale = DpiScale(LOWORD(wParam));
        // The window may become smaller than its minimum at the old scale.
        const bool keptMinimum = minWidth != 0;
        minWidth = 0;
        minHeight = 0;
        SetWindowPos(m_hWnd, nullptr, suggested->left, suggested->top, paint.scale(kWidth), paint.scale(kHeight),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        if (keptMinimum) {
            minWidth = paint.scale(kWidth);
            minHeight = paint.scale(kHeight);
        }
        AddItems();
        paint.Redraw();
        return 0;
    }
    default:
        break;
    }
    return CImageCtrl::HandleMessage(msg, wParam, lParam);
}

bool CloseMsgWnd::OnButtonClick(CImageButton* button)
{
    if (!button)
        return true;
    switch (button->id) {
    case kConfirmId:
        Finish(IDOK);
        return false;
    case kCancelId:
        Finish(IDCANCEL);
        return false;
    default:
        return true;
    }
}

void CloseMsgWnd::Finish(int answer)
{
    result = answer;
    modalRunning = false;
    ReleaseOwner();
    DestroyWindow(m_hWnd);
}

void CloseMsgWnd::ReleaseOwner()
{
    // The owner gets its input back before this window goes, so that activation
    // returns to it rather than to some other program.
    if (m_owner && IsWindow(m_owner))
        EnableWindow(m_owner, TRUE);
    m_owner = nullptr;
}
