#include "browser/CMyHtml.h"

#include "browser/HtmlDocument.h"
#include "browser/WindowSearch.h"
#include "ui/framework/CHtmlAppManager.h"

CMyHtml::~CMyHtml()
{
    // The control must be closed on its own thread, while that thread still runs:
    // a window that is still alive is destroyed there first.
    Close();
}

bool CMyHtml::Close()
{
    const HWND hwnd = m_hWnd;
    if (!hwnd || !IsWindow(hwnd))
        return true;
    if (GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId()) {
        DestroyWindow(hwnd);
    } else {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(hwnd, WM_CLOSE, 0, 0, SMTO_NORMAL, kCloseTimeoutMs, &ignored);
    }
    return !IsWindow(hwnd);
}

HtmlRequest CMyHtml::Request(int code) const
{
    HtmlRequest request;
    request.code = code;
    request.hwnd = m_hWnd;
    request.target = const_cast<CMyHtml*>(this);
    return request;
}

HWND CMyHtml::Create(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int x, int y,
                     int width, int height, HWND parent)
{
    if (IsUiThread())
        return CHtmlTarget::Create(exStyle, className, title, style, x, y, width, height, parent);
    if (g_htmlAppManager) {
        HtmlRequest request = Request(REQUEST_CREATE);
        request.hwnd = parent;
        request.param = width;
        request.param2 = height;
        request.x = x;
        request.y = y;
        g_htmlAppManager->PostRequest(request);
    }
    return nullptr;
}

BOOL CMyHtml::Navigate(const wchar_t* url, int flags)
{
    if (IsUiThread())
        return m_browser.Navigate(url, flags) ? TRUE : FALSE;
    if (!url || !g_htmlAppManager)
        return FALSE;
    HtmlRequest request = Request(REQUEST_NAVIGATE);
    request.url = url;
    request.param2 = flags;
    return g_htmlAppManager->PostRequest(request);
}

void CMyHtml::Refresh()
{
    if (!IsUiThread()) {
        if (g_htmlAppManager)
            g_htmlAppManager->PostRequest(Request(REQUEST_REFRESH));
        return;
    }
    if (IWebBrowser2* control = m_browser.WebBrowser())
        control->Refresh();
}

void CMyHtml::SetSilent(VARIANT_BOOL silent)
{
    if (!IsUiThread()) {
        if (g_htmlAppManager) {
            HtmlRequest request = Request(REQUEST_SET_SILENT);
            request.param = silent;
            g_htmlAppManager->PostRequest(request);
        }
        return;
    }
    if (IWebBrowser2* control = m_browser.WebBrowser())
        control->put_Silent(silent);
}

void CMyHtml::SetPageDpi(int dpi)
{
    if (m_pageDpi.exchange(dpi) != dpi)
        ShowPageZoom();
}

void CMyHtml::SetPlayerZoom(int choice)
{
    const int valid = pagezoom::ValidChoice(choice);
    if (m_playerZoom.exchange(valid) != valid)
        ShowPageZoom();
}

void CMyHtml::ShowPageZoom()
{
    if (IsUiThread())
        FitPageToDisplay();
    else if (g_htmlAppManager)
        g_htmlAppManager->PostRequest(Request(REQUEST_FIT_PAGE));
}

pagezoom::Exec CMyHtml::ControlExec()
{
    if (m_execZoom)
        return m_execZoom;
    IWebBrowser2* control = m_browser.WebBrowser();
    if (!control)
        return nullptr;
    return [control](OLECMDID command, OLECMDEXECOPT option, VARIANT* in, VARIANT* out) {
        return control->ExecWB(command, option, in, out);
    };
}

std::optional<SIZE> CMyHtml::GameSize()
{
    ComPtr<IHTMLDocument2> document = m_browser.GetHtmlDocument2();
    if (!document)
        return std::nullopt;
    return HtmlDocument(ComPtr<IDispatch>(document.Detach())).GameSize();
}

void CMyHtml::FitPageToDisplay()
{
    const pagezoom::Exec exec = ControlExec();
    if (!exec)
        return;
    const int dpi = m_pageDpi;
    int level = m_playerZoom;
    if (level == pagezoom::kFit) {
        // A page whose game is not laid out yet keeps the level it has.
        RECT client = {};
        GetClientRect(m_hWnd, &client);
        const std::optional<SIZE> game = GameSize();
        level = game ? pagezoom::FitLevel(*game, {client.right, client.bottom}, dpi) : m_shownZoom.load();
    }
    // The player's choice stays what it is whatever the control answers: the
    // next navigation asks again.
    if (pagezoom::ShowAt(exec, level, dpi, dpi::OfSystem(), m_zoomedBefore) == pagezoom::Outcome::Zoomed)
        m_zoomedBefore = true;
    if (m_shownZoom.exchange(level) != level && m_zoomShown)
        m_zoomShown(level);
}

bool CMyHtml::IsBrowserReady() const { return m_browser.IsCreated(); }

BOOL CMyHtml::PreTranslateMessage(MSG* msg)
{
    // Keystrokes, and the wheel turned with Ctrl held (the zoom's).
    const bool key = msg && msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST;
    const bool wheel = msg && msg->message == WM_MOUSEWHEEL;
    if (m_takeKey && (key || wheel) && m_takeKey(*msg))
        return TRUE;
    return m_browser.TranslateKeyMessage(msg) == S_OK;
}

void CMyHtml::OnCreate(CREATESTRUCTW*) { m_browser.Create(m_hWnd); }

void CMyHtml::OnDestroy()
{
    // Still on the UI thread, with OLE up: the control goes with its window.
    m_browser.CloseControl();
}

void CMyHtml::OnSize(UINT, int, int)
{
    RECT client = {};
    if (m_hWnd && IsWindow(m_hWnd))
        GetClientRect(m_hWnd, &client);
    HWND control = m_browser.GetBrowserWindow();
    if (!control)
        return;
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    MoveWindow(control, client.left, client.top, width, height + (m_fitExactly ? 0 : kHiddenBottom), TRUE);
    // Flash content takes the exact size: its own bottom edge must stay visible.
    if (FindFlashWindow(control))
        MoveWindow(control, client.left, client.top, width, height, TRUE);
    // A fitted game follows the window.
    if (m_playerZoom == pagezoom::kFit)
        FitPageToDisplay();
}
