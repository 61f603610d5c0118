#include "ui/framework/CWindowCtrl.h"

#include "ui/framework/CAppManager.h"

#include <strsafe.h>

namespace {
// Sign-extended halves of an lParam that carries coordinates.
int LowSigned(LPARAM lParam) { return static_cast<short>(LOWORD(lParam)); }
int HighSigned(LPARAM lParam) { return static_cast<short>(HIWORD(lParam)); }
} // namespace

CWindowCtrl::CWindowCtrl()
{
    ZeroMemory(m_className, sizeof(m_className));
    StringCchCopyW(m_className, kClassNameCapacity, L"ImageWnd");
}

CWindowCtrl::~CWindowCtrl()
{
    // Unbind only: a window that is still alive stays on screen and is left to
    // its manager's OnUnboundMessage. Owners destroy their windows first.
    if (m_manager && m_hWnd) {
        if (m_manager->FindWindowObject(m_hWnd))
            m_manager->RemoveWindow(m_hWnd);
    }
    if (m_hWnd && IsWindow(m_hWnd))
        PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
}

HWND CWindowCtrl::Create(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, const RECT& rect,
                         HWND parent)
{
    return Create(exStyle, className, title, style, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                  parent);
}

HWND CWindowCtrl::Create(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int x, int y,
                         int width, int height, HWND parent)
{
    CAppManager* manager = CAppManager::FromThread(GetCurrentThreadId());
    if (!manager)
        return nullptr;
    if (m_hWnd && IsWindow(m_hWnd))
        return m_hWnd;
    if (className && *className) {
        ZeroMemory(m_className, sizeof(m_className));
        StringCchCopyW(m_className, kClassNameCapacity, className);
    }
    if (!CAppManager::RegisterWindowClass(m_className))
        return m_hWnd;
    m_manager = manager;
    HWND hwnd =
        CreateWindowExW(exStyle, m_className, title, style, x, y, width, height, parent, nullptr, g_hInstance, this);
    m_hWnd = hwnd;
    return hwnd;
}

void CWindowCtrl::SetClassName(const wchar_t* name)
{
    if (!name)
        return;
    ZeroMemory(m_className, sizeof(m_className));
    StringCchCopyW(m_className, kClassNameCapacity, name);
}

BOOL CWindowCtrl::PreTranslateMessage(MSG*) { return FALSE; }
LRESULT CWindowCtrl::HandleMessage(UINT, WPARAM, LPARAM) { return 0; }
void CWindowCtrl::OnCreate(CREATESTRUCTW*) {}
void CWindowCtrl::OnDestroy() {}
void CWindowCtrl::OnMove(int, int) {}
void CWindowCtrl::OnSize(UINT, int, int) {}
void CWindowCtrl::OnWindowPosChanging(WINDOWPOS*) {}
LRESULT CWindowCtrl::OnNcHitTest(int, int) { return HTCLIENT; }
void CWindowCtrl::OnGetMinMaxInfo(MINMAXINFO*) {}
void CWindowCtrl::OnShowWindow(BOOL, UINT) {}
void CWindowCtrl::OnTimer(UINT_PTR) {}
void CWindowCtrl::OnSetCursor(HWND) { SetCursor(LoadCursorW(nullptr, IDC_ARROW)); }

LRESULT CWindowCtrl::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // A non-zero answer of HandleMessage is final: no routing, no default processing.
    if (LRESULT handled = HandleMessage(msg, wParam, lParam))
        return handled;

    switch (msg) {
    case WM_CREATE:
        OnCreate(reinterpret_cast<CREATESTRUCTW*>(lParam));
        break;
    case WM_DESTROY:
        OnDestroy();
        break;
    case WM_MOVE:
        OnMove(LowSigned(lParam), HighSigned(lParam));
        break;
    case WM_SIZE:
        OnSize(static_cast<UINT>(wParam), LowSigned(lParam), HighSigned(lParam));
        break;
    case WM_SHOWWINDOW:
        OnShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam));
        break;
    case WM_SETCURSOR:
        OnSetCursor(reinterpret_cast<HWND>(wParam));
        break;
    case WM_GETMINMAXINFO:
        OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
        break;
    case WM_WINDOWPOSCHANGING:
        OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam));
        break;
    case WM_NCHITTEST:
        // The answer is the virtual's own; the system's frame areas never apply.
        return OnNcHitTest(LowSigned(lParam), HighSigned(lParam));
    case WM_COMMAND:
        if (lParam) {
            // Reflect a control's notification back to the control itself.
            SendMessageW(reinterpret_cast<HWND>(lParam), OCM_COMMAND_REFLECT, wParam, lParam);
            return 1;
        }
        break;
    case WM_TIMER:
        OnTimer(wParam);
        return 1;
    default:
        break;
    }
    return DefWindowProcW(m_hWnd, msg, wParam, lParam);
}

void CWindowCtrl::SetWindowRect(const RECT& rect)
{
    if (m_hWnd && IsWindow(m_hWnd))
        MoveWindow(m_hWnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}
