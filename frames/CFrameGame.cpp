#include "frames/CFrameGame.h"

#include "app/ConfigFile.h"
#include "app/gameApp.h"
#include "browser/ComBstr.h"
#include "frames/ClearUrlCache.h"
#include "frames/CloseMsgWnd.h"
#include "resources/resource.h"
#include "ui/framework/CHtmlAppManager.h"
#include "ui/framework/SystemFunction.h"
#include "ui/framework/TextCut.h"

#include <strsafe.h>

#include <algorithm>

namespace {

constexpr const wchar_t* kProductName = L"Morvane网页版";
constexpr const wchar_t* kNoticeTitle = L"温馨提示";
constexpr Gdiplus::ARGB kMenuTextColor = 0xFF0C0C0C;
constexpr Gdiplus::ARGB kMenuHoverColor = 0xFF9CD0FE;
constexpr Gdiplus::ARGB kGameBackground = 0xFF23373C;
constexpr int kNavNoHistory = 2;

// The shell is needed only for the notification icon and for opening pages, never
// to show the launcher: it is loaded on first use.
BOOL NotifyIcon(DWORD message, NOTIFYICONDATAW* data)
{
    const auto notify = SystemFunction<decltype(&Shell_NotifyIconW)>(L"shell32.dll", "Shell_NotifyIconW");
    return notify ? notify(message, data) : FALSE;
}

bool Contains(const wchar_t* text, const wchar_t* part) { return text && wcsstr(text, part) != nullptr; }

// Only web pages go to the default browser: a page must never get the shell to
// open a local file or start a program.
bool IsWebUrl(const wchar_t* url)
{
    return url && (_wcsnicmp(url, L"http://", 7) == 0 || _wcsnicmp(url, L"https://", 8) == 0);
}

std::unique_ptr<Gdiplus::Font> MakeTitleFont()
{
    Gdiplus::FontFamily tahoma(L"Tahoma");
    if (tahoma.GetLastStatus() == Gdiplus::Ok)
        return std::make_unique<Gdiplus::Font>(&tahoma, 9.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPoint);
    // The generic family can be missing too (a system without fonts): then no title is drawn.
    const Gdiplus::FontFamily* generic = Gdiplus::FontFamily::GenericSansSerif();
    if (generic && generic->IsAvailable())
        return std::make_unique<Gdiplus::Font>(generic, 9.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPoint);
    return nullptr;
}

} // namespace

CFrameGame::CFrameGame()
{
    SetIconFromResource(48, true);
    SetIconFromResource(48, false);
    SetClassName(L"zarvoostrel");
    if (g_app)
        m_portal = g_app->m_portal;
    m_taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
}

CFrameGame::~CFrameGame()
{
    if (m_hWnd && IsWindow(m_hWnd))
        DestroyWindow(m_hWnd);
}

bool CFrameGame::IsServerListUrl(const wchar_t* url) { return Contains(url, L"xf.html"); }

bool CFrameGame::IsGamePageUrl(const wchar_t* url) { return Contains(url, L"type=pc") || Contains(url, L"client=1"); }

void CFrameGame::Launch()
{
    if (CreateWindows())
        RunModalLoop();
}

POINT CFrameGame::LauncherOrigin()
{
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    // Screen coordinates without the work area's own origin, as the launcher has always been placed.
    return {(work.right - work.left - CFrameBack::kWidth) / 2, (work.bottom - work.top - CFrameBack::kHeight) / 2};
}

void CFrameGame::ShowLauncher()
{
    if (m_back.m_hWnd)
        return;
    const POINT origin = LauncherOrigin();
    m_back.Create(0, nullptr, nullptr, WS_POPUP | WS_VISIBLE, origin.x, origin.y, CFrameBack::kWidth,
                  CFrameBack::kHeight, nullptr);
    // Let the launcher reach the screen before the page area is built: a look
    // at the message queue hands the display what has been drawn so far.
    MSG pending;
    PeekMessageW(&pending, nullptr, 0, 0, PM_NOREMOVE);
}

bool CFrameGame::CreateWindows()
{
    ShowLauncher();
    const POINT origin = LauncherOrigin();

    if (GetSystemMetrics(SM_CXSCREEN) >= CFrameBack::kPageWidth &&
        GetSystemMetrics(SM_CYSCREEN) >= CFrameBack::kPageHeight) {
        minWidth = CFrameBack::kPageWidth;
        minHeight = CFrameBack::kPageHeight;
    }
    const DWORD style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    if (!Create(WS_EX_APPWINDOW, nullptr, nullptr, style, origin.x + CFrameBack::kPageLeft,
                origin.y + CFrameBack::kPageTop, CFrameBack::kPageWidth, CFrameBack::kPageHeight, m_back.m_hWnd))
        return false;
    m_back.m_game = this;
    return true;
}

void CFrameGame::OnCreate(CREATESTRUCTW*)
{
    m_titleFont = MakeTitleFont();
    m_titleBrush = std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(0xFFFFFFFF));
    SetIconFromResource(64, true);
    SetIconFromResource(64, false);
    SetWindowTextW(m_hWnd, kProductName);

    RECT client = {};
    GetClientRect(m_hWnd, &client);
    m_html.Create(0, nullptr, L"", WS_CHILD | WS_VISIBLE, client.left, client.top, client.right - client.left,
                  client.bottom - client.top, m_hWnd);

    // Assigned before the first navigation is requested: the request queue
    // orders these writes before any page event on the UI thread.
    CWebBrowser& site = m_html.m_browser;
    site.OnNavigateComplete = [this](const wchar_t* url) { HandleNavigateComplete(url); };
    site.OnNewWindow = [this](IDispatch** ppDisp, VARIANT_BOOL*& cancel, unsigned long flags, wchar_t* urlContext,
                              wchar_t* url) { HandleNewWindow(ppDisp, cancel, flags, urlContext, url); };
    site.OnDocumentComplete = [this](IDispatch* disp, const wchar_t* url) { HandleDocumentComplete(disp, url); };
    site.m_external.AddName(L"zarvo_title", kTitleDispid);
    site.SetExternalCallback(
        [this](unsigned dispid, const std::vector<std::wstring>& args) { return HandleExternalCall(dispid, args); });

    const std::wstring startUrl = g_app ? std::wstring(g_app->m_startUrl) : m_portal.StartPage();
    m_html.Navigate(startUrl.c_str(), kNavNoHistory);
    // Silent: the control shows no dialog boxes of its own.
    m_html.SetSilent(VARIANT_TRUE);

    for (CImageMenu* menu : {&m_mainMenu, &m_trayMenu}) {
        menu->SetClassName(L"zarvo_menu");
        menu->paint.rowHeight = 24;
        menu->paint.SetHoverColor(kMenuHoverColor);
    }
    m_mainMenu.paint.SetOnRowClick([this](CImageItem* row) { OnMainMenuItem(row); });
    m_trayMenu.paint.SetOnRowClick([this](CImageItem* row) { OnTrayMenuItem(row); });

    ZeroMemory(&m_notifyIcon, sizeof(m_notifyIcon));
    m_notifyIcon.cbSize = sizeof(NOTIFYICONDATAW);
    m_notifyIcon.hWnd = m_hWnd;
    m_notifyIcon.uID = kNotifyIconId;
    m_notifyIcon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_notifyIcon.uCallbackMessage = WM_TRAYNOTIFY;
    m_notifyIcon.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_VORN));
}

void CFrameGame::EnterGameMode()
{
    if (m_gameMode)
        return;
    m_gameMode = true;
    m_back.EnterShadowMode();
    m_html.m_fitExactly = true;
    ShowWindow(m_hWnd, SW_HIDE);

    paint.draggable = true;
    paint.fillBackground = true;
    clipCorners = true;
    resizable = true;
    paint.SetBackgroundColor(kGameBackground);

    const ConfigFile config(g_app ? g_app->m_exeDir : L"");
    m_hotKeyModifiers = g_app ? config.ReadInt(L"Common", L"fsModifiers") : 0;
    m_hotKeyVirtualKey = g_app ? config.ReadInt(L"Common", L"vkCode") : 0;
    m_bossKey = BossKey::FromConfig(m_hotKeyModifiers, m_hotKeyVirtualKey);

    AddTitleBar();

    // Taken by another program: the client works on without a boss key.
    RegisterHotKey(m_hWnd, HOTKEY_BOSS, m_bossKey.modifiers, m_bossKey.virtualKey);

    if (GetSystemMetrics(SM_CXSCREEN) >= kGameMinWidth && GetSystemMetrics(SM_CYSCREEN) >= kGameMinHeight) {
        minWidth = kGameMinWidth;
        minHeight = kGameMinHeight;
    }
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    MoveWindow(m_hWnd, (work.right - minWidth - work.left) / 2, (work.bottom - minHeight - work.top) / 2, minWidth,
               minHeight, TRUE);
    ArmTimer(TIMER_MAXIMIZE, 500);
}

void CFrameGame::AddTitleBar()
{
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    const int r = client.right;
    const int t = client.top;

    CImageStatic* bar = paint.AddStatic(IDP_TITLE_BAR, kTitleBarId, true, {client.left, t, client.left + 1366, t + 25});
    bar->anchorRight = 0;
    bar->fixedLeft = 0;
    paint.AddStatic(IDP_TITLE_ICON, kTitleIconId, false, {5, 5, 21, 21});

    struct Glyph {
        int id, normal, hover, left, right, anchor;
        bool visible;
    } glyphs[] = {
        {CImagePaint::kCloseId, IDP_TITLE_CLOSE, IDP_TITLE_CLOSE_HOVER, r - 25, r, 1, true},
        {CImagePaint::kMaximizeId, IDP_TITLE_MAX, IDP_TITLE_MAX_HOVER, r - 50, r - 25, 25, true},
        {CImagePaint::kRestoreId, IDP_TITLE_RESTORE, IDP_TITLE_RESTORE_HOVER, r - 50, r - 25, 25, false},
        {CImagePaint::kMinimizeId, IDP_TITLE_MIN, IDP_TITLE_MIN_HOVER, r - 75, r - 50, 48, true},
        {kMenuButtonId, IDP_TITLE_MENU, IDP_TITLE_MENU_HOVER, r - 98, r - 73, 71, true},
    };
    for (const Glyph& g : glyphs) {
        CImageButton* button = paint.AddButton(g.id, 0, g.normal, g.hover, g.hover, g.normal, g.left, t, g.right, t + 25);
        button->anchorRight = g.anchor;
        button->visible = g.visible;
    }
    struct Link {
        int id, strip, left, right, anchor;
    } links[] = {
        {kServiceLinkId, IDP_LINK_SERVICE, r - 127, r - 86, 100},
        {kForumLinkId, IDP_LINK_FORUM, r - 172, r - 131, 145},
        {kHomeLinkId, IDP_LINK_HOME, r - 217, r - 176, 190},
        {kPayLinkId, IDP_LINK_PAY, r - 262, r - 221, 235},
    };
    for (const Link& l : links) {
        CImageButton* button = paint.AddButton(l.id, 0, 0, 0, 0, 0, l.left, 2, l.right, 24);
        button->SplitStrip(l.strip);
        button->anchorRight = l.anchor;
    }
}

void CFrameGame::OnTimer(UINT_PTR timerId)
{
    switch (timerId) {
    case TIMER_ENTER_GAME:
        if (!m_gameMode)
            PostMessageW(m_hWnd, WM_FRAMECOMMAND, FRAME_CMD_ENTER_GAME, 0);
        KillTimer(m_hWnd, TIMER_ENTER_GAME);
        break;
    case TIMER_MAXIMIZE:
        ShowWindow(m_hWnd, SW_SHOWMAXIMIZED);
        SetForegroundWindow(m_hWnd);
        KillTimer(m_hWnd, TIMER_MAXIMIZE);
        break;
    default:
        break;
    }
}

LRESULT CFrameGame::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_SYSCOMMAND:
        // The frame has no menu: Alt released after a hot key must not leave it
        // in keyboard-menu mode, which would swallow the next click.
        if ((wParam & 0xFFF0) == SC_KEYMENU)
            return 1;
        // In the login view the launcher goes and comes with the frame.
        if (!m_gameMode && m_back.m_hWnd) {
            if (wParam == SC_MINIMIZE)
                ShowWindow(m_back.m_hWnd, SW_HIDE);
            else if (wParam == SC_RESTORE)
                ShowWindow(m_back.m_hWnd, SW_SHOW);
        }
        break;
    case WM_HOTKEY:
        OnHotKey(static_cast<int>(wParam));
        break;
    case WM_FRAMECOMMAND:
        if (wParam == FRAME_CMD_ENTER_GAME) {
            EnterGameMode();
        } else if (wParam == FRAME_CMD_CLOSE && m_hWnd && IsWindow(m_hWnd)) {
            Close();
            return 1;
        }
        break;
    case WM_CLOSE:
        Close();
        return 1;
    case WM_ARM_ENTER_TIMER:
        ArmTimer(TIMER_ENTER_GAME, 1500);
        return 1;
    case WM_TRAYNOTIFY:
        if (OnTrayNotify(wParam, lParam))
            return 1;
        break;
    default:
        // A restarted shell has lost every notification icon: the hidden window's
        // icon is the only way back, so it is added again.
        if (m_taskbarCreated && msg == m_taskbarCreated && m_bossHidden)
            AddNotifyIcon();
        break;
    }
    return CImageCtrl::HandleMessage(msg, wParam, lParam);
}

bool CFrameGame::OnButtonClick(CImageButton* button)
{
    if (!button)
        return true;
    switch (button->id) {
    case CImagePaint::kCloseId: {
        CloseMsgWnd confirm;
        if (confirm.DoModal(m_hWnd) == 1)
            Close();
        return false;
    }
    case kMenuButtonId: {
        if (!m_mainMenu.m_hWnd) {
            AddMenuRow(m_mainMenu, kClearCacheRow, L"清除缓存");
            AddMenuRow(m_mainMenu, kRefreshRow, L"刷新");
            AddMenuRow(m_mainMenu, kBossKeyRow, m_bossKey.MenuText());
        }
        POINT cursor = {};
        GetCursorPos(&cursor);
        RECT window = {};
        ::GetWindowRect(m_hWnd, &window);
        m_mainMenu.Popup(cursor.x - 10, window.top + 30);
        return true;
    }
    case kServiceLinkId:
        OpenInBrowser(m_portal.ServicePage());
        return true;
    case kForumLinkId:
        OpenInBrowser(m_portal.ForumPage());
        return true;
    case kHomeLinkId:
        OpenInBrowser(m_portal.HomePage());
        return true;
    case kPayLinkId:
        OpenInBrowser(m_portal.PaymentPage());
        return true;
    default:
        return true; // minimise, maximise and restore are the painter's own
    }
}

void CFrameGame::OpenInBrowser(const std::wstring& url)
{
    const auto execute = SystemFunction<decltype(&ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
    if (execute)
        execute(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOW);
}

void CFrameGame::AddMenuRow(CImageMenu& menu, int id, const std::wstring& text)
{
    CImageItem* row = menu.paint.AddRow(id);
    CImageButton* entry = row->AddButton(id, text.c_str(), 0, 0, 0, 0, 1, 1, 94, 94);
    entry->SetTextColors(kMenuTextColor, kMenuTextColor, kMenuTextColor);
}

void CFrameGame::HideAndDestroy(CImageMenu& menu)
{
    if (menu.m_hWnd && IsWindow(menu.m_hWnd)) {
        ShowWindow(menu.m_hWnd, SW_HIDE);
        DestroyWindow(menu.m_hWnd);
    }
}

void CFrameGame::OnMainMenuItem(CImageItem* row)
{
    switch (row ? row->id : 0) {
    case kClearCacheRow:
        if (HANDLE worker = CreateThread(nullptr, 0, ClearUrlCache, m_hWnd, 0, nullptr))
            CloseHandle(worker); // nobody waits for it
        break;
    case kRefreshRow:
        m_html.Refresh(); // directly on the UI thread, as a request from any other
        break;
    default:
        break; // the boss-key row only names the key
    }
    HideAndDestroy(m_mainMenu);
}

void CFrameGame::OnTrayMenuItem(CImageItem* row)
{
    switch (row ? row->id : 0) {
    case kShowWindowRow:
        ShowFromNotificationArea();
        HideAndDestroy(m_trayMenu);
        break;
    case kCloseRow:
        NotifyIcon(NIM_DELETE, &m_notifyIcon);
        m_bossHidden = false;
        if (m_trayMenu.m_hWnd)
            ShowWindow(m_trayMenu.m_hWnd, SW_HIDE);
        result = 1;
        modalRunning = false;
        Close();
        break;
    default:
        HideAndDestroy(m_trayMenu);
        break;
    }
}

void CFrameGame::AddNotifyIcon()
{
    StringCchCopyW(m_notifyIcon.szTip, kTipCapacity, kProductName);
    NotifyIcon(NIM_ADD, &m_notifyIcon);
}

void CFrameGame::ShowFromNotificationArea()
{
    m_bossHidden = false;
    ShowWindow(m_hWnd, SW_SHOW);
    NotifyIcon(NIM_DELETE, &m_notifyIcon);
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

LRESULT CFrameGame::OnHotKey(int id)
{
    if (id != HOTKEY_BOSS)
        return 0;
    if (m_bossHidden) {
        ShowFromNotificationArea();
    } else if (IsWindowVisible(m_hWnd)) {
        AddNotifyIcon();
        ShowWindow(m_hWnd, SW_HIDE);
        m_bossHidden = true;
    }
    return 0;
}

LRESULT CFrameGame::OnTrayNotify(WPARAM iconId, LPARAM mouseMessage)
{
    if (iconId != kNotifyIconId)
        return 1;
    switch (mouseMessage) {
    case WM_LBUTTONDBLCLK:
        ShowFromNotificationArea();
        break;
    case WM_RBUTTONUP: {
        if (!m_trayMenu.m_hWnd) {
            AddMenuRow(m_trayMenu, kShowWindowRow, L"系统设置");
            AddMenuRow(m_trayMenu, kCloseRow, L"关闭");
        }
        POINT cursor = {};
        GetCursorPos(&cursor);
        RECT work = {};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        int height = 0;
        for (const auto& row : m_trayMenu.paint.rows)
            if (row->visible)
                height += row->height;
        // A task bar docked left or right makes the work area narrower than the screen.
        const bool sideTaskBar = work.right - work.left < GetSystemMetrics(SM_CXSCREEN);
        const int x = cursor.x - (sideTaskBar ? 96 : 30);
        const int y = std::min<int>(cursor.y, work.bottom - work.top) - height;
        m_trayMenu.Popup(x, y);
        break;
    }
    default:
        break;
    }
    return 0;
}

void CFrameGame::HandleNavigateComplete(const wchar_t* url)
{
    if (m_gameMode) {
        m_html.OnSize(0, 0, 0);
        return;
    }
    if (IsServerListUrl(url))
        ReadLoginUser();
    if (IsGamePageUrl(url))
        PostMessageW(m_hWnd, WM_ARM_ENTER_TIMER, 0, 0);
}

void CFrameGame::HandleDocumentComplete(IDispatch*, const wchar_t* url)
{
    ComPtr<IHTMLDocument2> document = m_html.m_browser.GetHtmlDocument2();
    if (!document)
        return;
    if (IsServerListUrl(url))
        ReadLoginUser();

    ComBstr title;
    if (SUCCEEDED(document->get_title(title.Put())) && title.Get() && !m_titleFromScript)
        SetTitleText(title.Get());

    if (!m_gameMode && TitleText().find(kNoticeTitle) != std::wstring::npos)
        m_html.Navigate(m_portal.StartPage().c_str(), kNavNoHistory);

    if (m_gameMode)
        m_html.OnSize(0, 0, 0);
    else if (IsGamePageUrl(url))
        PostMessageW(m_hWnd, WM_FRAMECOMMAND, FRAME_CMD_ENTER_GAME, 0);
    else if (IsServerListUrl(url))
        ReadLoginUser();
}

void CFrameGame::ReadLoginUser()
{
    ComPtr<IHTMLDocument3> document = m_html.m_browser.GetHtmlDocument3();
    if (!document)
        return;
    ComBstr id(L"login_user");
    ComPtr<IHTMLElement> element;
    if (FAILED(document->getElementById(id.Get(), element.Put())) || !element)
        return;
    ComBstr text;
    if (SUCCEEDED(element->get_innerText(text.Put())) && text.Get()) {
        CopyCut(m_loginUser, text.Get());
        if (g_app)
            g_app->SetUserName(m_loginUser);
    }
}

void CFrameGame::HandleNewWindow(IDispatch**, VARIANT_BOOL* cancel, unsigned long, wchar_t*, wchar_t* url)
{
    // Every new window of the page opens in the user's default browser instead.
    if (IsWebUrl(url))
        OpenInBrowser(url);
    if (cancel)
        *cancel = VARIANT_TRUE;
}

std::wstring CFrameGame::HandleExternalCall(unsigned dispid, const std::vector<std::wstring>& args)
{
    if (dispid == kTitleDispid && args.size() == 1) {
        m_titleFromScript = true;
        SetTitleText(args[0]);
    }
    return L"";
}

void CFrameGame::SetTitleText(const std::wstring& text)
{
    {
        std::lock_guard<std::mutex> lock(m_titleLock);
        CopyCut(m_titleText, text.c_str());
    }
    InvalidateTitle();
}

std::wstring CFrameGame::TitleText()
{
    std::lock_guard<std::mutex> lock(m_titleLock);
    return m_titleText;
}

void CFrameGame::InvalidateTitle()
{
    // The new title shows at once (InvalidateRect may be called from any thread).
    if (m_gameMode && m_hWnd) {
        const RECT title = {22, 4, 522, 24};
        InvalidateRect(m_hWnd, &title, TRUE);
    }
}

void CFrameGame::OnPaintForeground(Gdiplus::Graphics& g)
{
    if (!m_gameMode || !m_titleFont || !m_titleBrush)
        return;
    const std::wstring title = TitleText();
    Gdiplus::StringFormat format(0);
    format.SetAlignment(Gdiplus::StringAlignmentNear);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    format.SetTrimming(Gdiplus::StringTrimmingEllipsisWord);
    const Gdiplus::RectF layout(22.0f, 4.0f, 500.0f, 20.0f);
    g.DrawString(title.c_str(), static_cast<INT>(title.size()), m_titleFont.get(), layout, &format,
                 m_titleBrush.get());
}

void CFrameGame::FollowWithShadow()
{
    RECT r = {};
    if (m_hWnd && IsWindow(m_hWnd))
        ::GetWindowRect(m_hWnd, &r);
    if (r.right - r.left != 0)
        InflateRect(&r, m_back.m_inset, m_back.m_inset);
    if (m_back.m_hWnd)
        MoveWindow(m_back.m_hWnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void CFrameGame::OnMove(int, int)
{
    if (m_gameMode)
        FollowWithShadow();
}

void CFrameGame::OnSize(UINT, int, int)
{
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    if (m_gameMode) {
        client.top += kTitleBarHeight;
        if (!IsZoomed(m_hWnd)) {
            // A one-pixel border around the page.
            client.left += 1;
            client.right -= 1;
            client.bottom -= 1;
        }
    }
    if (m_html.m_hWnd)
        MoveWindow(m_html.m_hWnd, client.left, client.top, client.right - client.left, client.bottom - client.top,
                   TRUE);
    if (m_gameMode) {
        ShowZoomGlyph();
        FollowWithShadow();
        m_back.paint.Redraw();
    }
}

void CFrameGame::ShowZoomGlyph()
{
    // However the window got maximised or restored (the delayed maximise, the
    // system, a double click), the title bar offers the other state.
    CImageButton* maximize = paint.FindButton(CImagePaint::kMaximizeId);
    CImageButton* restore = paint.FindButton(CImagePaint::kRestoreId);
    if (!maximize || !restore)
        return;
    const bool zoomed = IsZoomed(m_hWnd);
    maximize->visible = !zoomed;
    restore->visible = zoomed;
}

void CFrameGame::OnShowWindow(BOOL show, UINT)
{
    if (!m_gameMode && m_back.m_hWnd)
        ShowWindow(m_back.m_hWnd, show ? SW_SHOW : SW_HIDE);
}

void CFrameGame::Close()
{
    if (!m_hWnd || !IsWindow(m_hWnd))
        return;
    // The browser window is a child of ours on the UI thread. Destroying our
    // window sends it WM_DESTROY and waits for that thread, without a bound: a
    // UI thread stuck inside the control would hold this thread for good. So
    // the browser window goes first, closed by its own thread within a bound.
    if (m_html.Close()) {
        DestroyWindow(m_hWnd);
        return;
    }
    // The UI thread does not answer. Our window stays, hidden, with everything
    // the thread may still reach, and the client's windows leave the screen;
    // the modal loop ends, and start-up, finding the UI thread hung, ends the
    // process. The launcher is hidden rather than closed: destroying it would
    // destroy this window, which it owns.
    UnregisterHotKey(m_hWnd, HOTKEY_BOSS);
    if (m_bossHidden) {
        NotifyIcon(NIM_DELETE, &m_notifyIcon);
        m_bossHidden = false;
    }
    ShowWindow(m_hWnd, SW_HIDE);
    if (m_back.m_hWnd)
        ShowWindow(m_back.m_hWnd, SW_HIDE);
    modalRunning = false;
}

void CFrameGame::OnDestroy()
{
    m_titleFont.reset();
    m_titleBrush.reset();
    UnregisterHotKey(m_hWnd, HOTKEY_BOSS);
    // A window closed while hidden by the boss key leaves no icon behind.
    if (m_bossHidden) {
        NotifyIcon(NIM_DELETE, &m_notifyIcon);
        m_bossHidden = false;
    }
    if (m_back.m_hWnd)
        PostMessageW(m_back.m_hWnd, WM_CLOSE, 0, 0);
    if (g_htmlAppManager)
        PostThreadMessageW(g_htmlAppManager->m_threadId, WM_QUIT, 0, 0);
}

void CFrameGame::ArmTimer(UINT_PTR timerId, UINT elapseMs) { SetTimer(m_hWnd, timerId, elapseMs, nullptr); }
