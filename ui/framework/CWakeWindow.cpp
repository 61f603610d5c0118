#include "ui/framework/CWakeWindow.h"

#include "ui/framework/CHtmlAppManager.h"

CWakeWindow::CWakeWindow(CHtmlAppManager& owner)
{
    const HINSTANCE module = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &CWakeWindow::WindowProc;
    wc.hInstance = module;
    wc.lpszClassName = kClassName;
    // Every UI thread of the process registers the class; the first one wins.
    if (!RegisterClassExW(&wc)) {
        const DWORD error = GetLastError();
        if (error != ERROR_CLASS_ALREADY_EXISTS)
            return;
    }
    m_hwnd = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module, &owner);
}

CWakeWindow::~CWakeWindow()
{
    if (m_hwnd)
        DestroyWindow(m_hwnd);
}

LRESULT CALLBACK CWakeWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    } else if (msg == WM_HTML_REQUEST) {
        // Reached when a loop other than the manager's own dispatches the
        // wake-up; the manager's loop takes it in its pre-translation.
        if (auto* owner = reinterpret_cast<CHtmlAppManager*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)))
            owner->RunReadyRequests();
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}
