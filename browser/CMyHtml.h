#pragma once
// The child window the page is shown in. It lives on the UI thread with the
// WebBrowser control it hosts; Create, Navigate, Refresh and SetSilent may be
// called from any thread and become requests for the UI thread there. The
// control's window is kept sized to this window's client area, and the control
// sees keyboard messages before they are dispatched.

#include "browser/CWebBrowser.h"
#include "browser/PageZoom.h"
#include "ui/framework/DpiScale.h"
#include "ui/framework/CHtmlTarget.h"
#include "ui/framework/HtmlRequest.h"

#include <atomic>
#include <functional>
#include <optional>

class CMyHtml : public CHtmlTarget {
public:
    // How much taller than the client area the control is made while it is not
    // fitted exactly: its bottom edge stays hidden below ours.
    static constexpr int kHiddenBottom = 4;
    // How long Close, called on another thread, waits for the UI thread to
    // close a window that is still alive.
    static constexpr UINT kCloseTimeoutMs = 5000;

    CMyHtml() = default;
    ~CMyHtml() override;

    // Destroys the window (and the control in it) on its own thread, waiting
    // at most kCloseTimeoutMs for that thread. True when the window is gone;
    // false when the UI thread did not answer in time.
    bool Close();

    using CHtmlTarget::Create;
    // On the UI thread: creates the window (and, in OnCreate, the control).
    // Elsewhere: asks the UI thread to create it as a visible child and returns
    // null; exStyle, class name, title and style are the UI thread's own then.
    HWND Create(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int x, int y, int width,
                int height, HWND parent) override;
    // TRUE when the control consumed the keystroke, which is then not dispatched.
    BOOL PreTranslateMessage(MSG* msg) override;
    void OnCreate(CREATESTRUCTW* create) override;
    void OnDestroy() override;
    // Fits the control's window to the client area; the arguments are not used.
    void OnSize(UINT type, int cx, int cy) override;

    bool IsBrowserReady() const override;
    // On the UI thread: navigates at once. Elsewhere: posts a request carrying
    // its own copy of url and returns whether the post succeeded.
    BOOL Navigate(const wchar_t* url, int flags) override;
    void Refresh() override;
    void SetSilent(VARIANT_BOOL silent) override;
    // The DPI the page is shown at, from any thread: the page follows at once
    // and after each navigation (FitPageToDisplay, on the UI thread).
    void SetPageDpi(int dpi);
    // The player's zoom, from any thread: a level of pagezoom::kLevels or
    // pagezoom::kFit. The page follows at once, after each navigation and,
    // fitted, whenever the window changes size.
    void SetPlayerZoom(int choice);
    int PlayerZoom() const { return m_playerZoom; }
    // The level the page was last shown at (the fitted one when fitted).
    int ShownZoom() const { return m_shownZoom; }
    void FitPageToDisplay() override;

    bool m_fitExactly = false;
    // Offered every keystroke of the page before the control sees it (on the
    // UI thread): true takes the keystroke from the page. Set before the
    // window is created.
    std::function<bool(const MSG&)> m_takeKey;
    CWebBrowser m_browser;
    // The control's ExecWB; replaceable for tests.
    pagezoom::Exec m_execZoom;
    // Told on the UI thread when the level the page is shown at changes.
    std::function<void(int level)> m_zoomShown;

private:
    HtmlRequest Request(int code) const;
    // The page at the zoom of its DPI and the player's choice: at once on the
    // UI thread, as a request from any other.
    void ShowPageZoom();
    pagezoom::Exec ControlExec();
    std::optional<SIZE> GameSize();
    std::atomic<int> m_pageDpi{DpiScale::kBaseDpi};
    std::atomic<int> m_playerZoom{pagezoom::kActualSize};
    std::atomic<int> m_shownZoom{pagezoom::kActualSize};
    // Once zoomed, actual size at 96 DPI is asked for like any other level.
    bool m_zoomedBefore = false;
};
