#pragma once
// The UI thread's wake-up target: a message-only window that receives
// WM_HTML_REQUEST and runs the request queue. A message posted to a window
// survives every message loop the thread may run (the control's alert and
// confirm boxes, its context menu, a drag), because each of them dispatches it
// here; a thread message has no window to go to, and such loops drop it.

#include <windows.h>

class CHtmlAppManager;

class CWakeWindow {
public:
    static constexpr const wchar_t* kClassName = L"HtmlRequestWake";

    // Creates the window on the calling thread, which must be the owner's.
    explicit CWakeWindow(CHtmlAppManager& owner);
    // Destroys the window (with any wake-up still queued for it); runs on the
    // thread that created it.
    ~CWakeWindow();
    CWakeWindow(const CWakeWindow&) = delete;
    CWakeWindow& operator=(const CWakeWindow&) = delete;

    // Null when the window could not be created.
    HWND Handle() const { return m_hwnd; }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND m_hwnd = nullptr;
};
