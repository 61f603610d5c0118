// The game view's title bar: its buttons and portal links, the title text, and
// the title-bar menu with its rows.

#include "frames/CFrameGame.h"

#include "frames/ClearUrlCache.h"
#include "frames/CloseMsgWnd.h"
#include "resources/resource.h"
#include "ui/framework/SystemFunction.h"
#include "ui/framework/TextCut.h"

#include <algorithm>

namespace {

constexpr Gdiplus::ARGB kMenuTextColor = 0xFF0C0C0C;

} // namespace

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
    // Left of the links, while the game is muted.
    CImageButton* muted = paint.AddButton(kMuteIndicatorId, 0, IDP_TITLE_MUTED, IDP_TITLE_MUTED_HOVER,
                                          IDP_TITLE_MUTED_HOVER, IDP_TITLE_MUTED, r - 291, t, r - 266, t + 25);
    muted->anchorRight = 266;
    muted->visible = m_muted;
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
            AddMenuRow(m_mainMenu, kFullScreenRow, L"全屏 (F11)", IDP_ROW_FULL_SCREEN);
            AddMenuRow(m_mainMenu, kScreenshotRow, L"截图 (Ctrl+Alt+S)", IDP_ROW_SCREENSHOT);
            AddMenuRow(m_mainMenu, kMuteRow, MuteRowText(), MuteRowIcon());
        }
        POINT cursor = {};
        GetCursorPos(&cursor);
        RECT window = {};
        ::GetWindowRect(m_hWnd, &window);
        // Below its button, but never past the right end of the work area.
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof(monitor);
        int x = cursor.x - 10;
        if (GetMonitorInfoW(MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST), &monitor))
            x = std::min<int>(x, monitor.rcWork.right - m_mainMenu.width);
        m_mainMenu.Popup(x, window.top + 30);
        return true;
    }
    case kMuteIndicatorId:
        SetMuted(false);
        return true;
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

void CFrameGame::AddMenuRow(CImageMenu& menu, int id, const std::wstring& text, int icon)
{
    CImageItem* row = menu.paint.AddRow(id);
    // The text is centred across the row; an icon sits at its left end.
    if (icon)
        row->AddButton(id + kRowIconOffset, L"", icon, icon, icon, icon, 6, 4, 22, 20);
    CImageButton* entry = row->AddButton(id, text.c_str(), 0, 0, 0, 0, 1, 1, menu.width - 2, 94);
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
    case kFullScreenRow:
        EnterFullScreen();
        break;
    case kScreenshotRow:
        // Once the page has repainted where the menu was.
        TakeScreenshot(true);
        break;
    case kMuteRow:
        SetMuted(!m_muted);
        break;
    default:
        break; // the boss-key row only names the key
    }
    HideAndDestroy(m_mainMenu);
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
    // A pass for a title-bar button leaves the title alone: laying the text
    // out costs more than painting the button.
    const Gdiplus::RectF layout(22.0f, 4.0f, 500.0f, 20.0f);
    if (!g.IsVisible(layout))
        return;
    const std::wstring title = TitleText();
    Gdiplus::StringFormat format(0);
    format.SetAlignment(Gdiplus::StringAlignmentNear);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    format.SetTrimming(Gdiplus::StringTrimmingEllipsisWord);
    g.DrawString(title.c_str(), static_cast<INT>(title.size()), m_titleFont.get(), layout, &format,
                 m_titleBrush.get());
}
