#pragma once
// Base of every window object: creates its window through the shared window
// procedure, receives each of its messages in WindowProc and turns the common
// ones into the sixteen virtual operations below (their order is fixed).

#include <windows.h>

class CAppManager;

class CWindowCtrl {
public:
    static constexpr int kClassNameCapacity = 64;

    CWindowCtrl();
    CWindowCtrl(const CWindowCtrl&) = delete;
    CWindowCtrl& operator=(const CWindowCtrl&) = delete;

    /* 0 */ virtual ~CWindowCtrl();
    /* 1 */ virtual HWND Create(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                                const RECT& rect, HWND parent);
    /* 2 */ virtual HWND Create(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int x,
                                int y, int width, int height, HWND parent);
    /* 3 */ virtual void SetClassName(const wchar_t* name);
    /* 4 */ virtual BOOL PreTranslateMessage(MSG* msg);
    /* 5 */ virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    /* 6 */ virtual void OnCreate(CREATESTRUCTW* create);
    /* 7 */ virtual void OnDestroy();
    /* 8 */ virtual void OnMove(int x, int y);
    /* 9 */ virtual void OnSize(UINT type, int cx, int cy);
    /* 10 */ virtual void OnWindowPosChanging(WINDOWPOS* pos);
    /* 11 */ virtual LRESULT OnNcHitTest(int x, int y);
    /* 12 */ virtual void OnGetMinMaxInfo(MINMAXINFO* info);
    /* 13 */ virtual void OnShowWindow(BOOL show, UINT status);
    /* 14 */ virtual void OnTimer(UINT_PTR timerId);
    /* 15 */ virtual void OnSetCursor(HWND hwndUnderPointer);

    // Called only by the shared window procedure, for every message of the window.
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    void SetWindowRect(const RECT& rect);

    HWND m_hWnd = nullptr;
    CAppManager* m_manager = nullptr;
    wchar_t m_className[kClassNameCapacity];
};

// Reflected WM_COMMAND, sent back to the control that sent it.
constexpr UINT OCM_COMMAND_REFLECT = 0x2111;
