// The game view's title bar: its buttons and portal links, the title text, and
// the title-bar menu with its rows.

#include "frames/CFrameGame.h"

#include "frames/ClearUrlCache.h"
#include "frames/CloseMsgWnd.h"
#include "frames/PortalLinks.h"
#include "resources/resource.h"
#include "ui/framework/SystemFunction.h"
#include "ui/framework/TextCut.h"

#include <algorithm>

namespace {

constexpr Gdiplus::ARGB kMenuTextColor = 0xFF0C0C0C;

} // namespace

void CFrameGame::AddTitleBar()
{
    // Every length at 96 DPI; px scales it to the window's DPI. Buttons are
    // placed by their left edge and drawn at their images' size.
    const DpiScale& px = paint.scale;
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    const int r = client.right;
    const int t = client.top;
    const int height = px(kTitleBarHeight);

    CImageStatic* bar =
        paint.AddStatic(IDP_TITLE_BAR, kTitleBarId, true, {client.left, t, client.left + px(1366), t + height});
    bar->anchorRight = 0;
    bar->fixedLeft = 0;
    paint.AddStatic(IDP_TITLE_ICON, kTitleIconId, false, px.Box(5, 5, 16, 16));

    // Each glyph: its left edge and its anchor, both from the bar's right end.
    struct Glyph {
        int id, normal, hover, left, anchor;
        bool visible;
    } glyphs[] = {
        {CImagePaint::kCloseId, IDP_TITLE_CLOSE, IDP_TITLE_CLOSE_HOVER, 25, 1, true},
        {CImagePaint::kMaximizeId, IDP_TITLE_MAX, IDP_TITLE_MAX_HOVER, 50, 25, true},
        {CImagePaint::kRestoreId, IDP_TITLE_RESTORE, IDP_TITLE_RESTORE_HOVER, 50, 25, false},
        {CImagePaint::kMinimizeId, IDP_TITLE_MIN, IDP_TITLE_MIN_HOVER, 75, 48, true},
        {kMenuButtonId, IDP_TITLE_MENU, IDP_TITLE_MENU_HOVER, 98, 71, true},
        // Left of the links, while the game is muted.
        {kMuteIndicatorId, IDP_TITLE_MUTED, IDP_TITLE_MUTED_HOVER, 291, 266, m_muted},
    };
    for (const Glyph& g : glyphs) {
        const int left = r - px(g.left);
        CImageButton* button =
            paint.AddButton(g.id, 0, g.normal, g.hover, g.hover, g.normal, left, t, left + px(25), t + height);
        button->anchorRight = px(g.anchor);
        button->visible = g.visible;
    }
    struct Link {
        int id, strip, left, anchor;
    } links[] = {
        {kServiceLinkId, IDP_LINK_SERVICE, 127, 100},
        {kForumLinkId, IDP_LINK_FORUM, 172, 145},
        {kHomeLinkId, IDP_LINK_HOME, 217, 190},
        {kPayLinkId, IDP_LINK_PAY, 262, 235},
    };
    for (const Link& l : links) {
        const int left = r - px(l.left);
        CImageButton* button = paint.AddButton(l.id, 0, 0, 0, 0, 0, left, px(2), left + px(41), px(2) + px(22));
        button->SplitStrip(l.strip);
        button->anchorRight = px(l.anchor);
    }
}

bool CFrameGame::OnButtonClick(CImageButton* button)
{
    if (!button)
        return true;
    switch (button->id) {
    case CImagePaint::kCloseId: {
        CloseMsgWnd confirm;
        if (confirm.DoModal(m_hWnd) == IDOK)
            Close();
        return false;
    }
    case kMenuButtonId: {
        POINT cursor = {};
        GetCursorPos(&cursor);
        // At the scale of the monitor it opens on.
        const DpiScale scale(dpi::OfMonitor(MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST)));
        PrepareMenu(m_mainMenu, scale, kMainMenuWidth);
        // A holder that ended without a word (a crash) left the key free: the
        // boss-key row names only what is in force.
        if (!m_bossKeyHold.Held())
            TakeBossKey();
        if (!m_mainMenu.m_hWnd) {
            AddMenuRow(m_mainMenu, kClearCacheRow, L"清除缓存");
            AddMenuRow(m_mainMenu, kRefreshRow, L"刷新");
            AddMenuRow(m_mainMenu, kBossKeyRow, m_bossKey.MenuText());
            AddMenuRow(m_mainMenu, kMuteWhileHiddenRow, MuteWhileHiddenRowText());
            AddMenuRow(m_mainMenu, kFullScreenRow, L"全屏 (F11)", IDP_ROW_FULL_SCREEN);
            AddMenuRow(m_mainMenu, kTopmostRow, TopmostRowText());
            AddMenuRow(m_mainMenu, kScreenshotRow, L"截图 (Ctrl+Alt+S)", IDP_ROW_SCREENSHOT);
            AddMenuRow(m_mainMenu, kMuteRow, MuteRowText(), MuteRowIcon());
            AddMenuRow(m_mainMenu, kZoomInRow, L"放大 (Ctrl+=)");
            // A full-width minus: the narrow one is a dot in several Chinese fonts at this size.
            AddMenuRow(m_mainMenu, kZoomOutRow, L"缩小 (Ctrl+－)");
            AddMenuRow(m_mainMenu, kActualSizeRow, L"实际大小 (Ctrl+0)");
            AddMenuRow(m_mainMenu, kFitRow, L"适应窗口");
            UpdateZoomLooks();
        }
        RECT window = {};
        ::GetWindowRect(m_hWnd, &window);
        // Below its button, but never past the right end of the work area.
        MONITORINFO monitor = {};
        monitor.cbSize = sizeof(monitor);
        int x = cursor.x - scale(10);
        if (GetMonitorInfoW(MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST), &monitor))
            x = std::min<int>(x, monitor.rcWork.right - m_mainMenu.width);
        m_mainMenu.Popup(x, window.top + paint.scale(30));
        return true;
    }
    case kMuteIndicatorId:
        SetMuted(false);
        return true;
    default:
        // A portal link; minimise, maximise and restore are the painter's own.
        if (const std::optional<std::wstring> page = portallinks::PageOf(m_portal, button->id))
            OpenInBrowser(*page);
        return true;
    }
}

void CFrameGame::OpenInBrowser(const std::wstring& url)
{
    const auto execute = SystemFunction<decltype(&ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
    if (execute)
        execute(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOW);
}

void CFrameGame::PrepareMenu(CImageMenu& menu, DpiScale scale, int width)
{
    // A destroyed menu window takes its rows along: they are added anew.
    if (menu.paint.scale != scale) {
        HideAndDestroy(menu);
        menu.paint.scale = scale;
    }
    menu.paint.rowHeight = scale(kMenuRowHeight);
    menu.width = scale(width);
}

void CFrameGame::AddMenuRow(CImageMenu& menu, int id, const std::wstring& text, int icon)
{
    const DpiScale& px = menu.paint.scale;
    CImageItem* row = menu.paint.AddRow(id);
    // The text is centred across the row; an icon sits at its left end.
    if (icon) {
        const RECT box = px.Box(6, 4, 16, 16);
        row->AddButton(id + kRowIconOffset, L"", icon, icon, icon, icon, box.left, box.top, box.right, box.bottom);
    }
    CImageButton* entry = row->AddButton(id, text.c_str(), 0, 0, 0, 0, px(1), px(1), menu.width - px(2), px(94));
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
    case kClearCacheRow: {
        // Nobody waits for the worker: its handle goes at once.
        const ScopedHandle worker(CreateThread(nullptr, 0, ClearUrlCache, m_hWnd, 0, nullptr));
        break;
    }
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
    case kZoomInRow:
        StepPageZoom(1);
        break;
    case kZoomOutRow:
        StepPageZoom(-1);
        break;
    case kActualSizeRow:
        SetPageZoom(pagezoom::kActualSize);
        break;
    case kFitRow:
        SetPageZoom(m_html.PlayerZoom() == pagezoom::kFit ? pagezoom::kActualSize : pagezoom::kFit);
        break;
    case kMuteWhileHiddenRow:
        SetMuteWhileHidden(!m_muteWhileHidden);
        break;
    case kTopmostRow:
        SetTopmost(!m_topmost);
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
        const RECT title = TitleTextRect();
        InvalidateRect(m_hWnd, &title, TRUE);
    }
}

RECT CFrameGame::TitleTextRect() const { return paint.scale.Box(22, 4, 500, 20); }

void CFrameGame::OnPaintForeground(Gdiplus::Graphics& g)
{
    if (!m_gameMode || !m_titleFont || !m_titleBrush)
        return;
    // A pass for a title-bar button leaves the title alone: laying the text
    // out costs more than painting the button.
    const RECT box = TitleTextRect();
    const Gdiplus::RectF layout(static_cast<float>(box.left), static_cast<float>(box.top),
                                static_cast<float>(box.right - box.left), static_cast<float>(box.bottom - box.top));
    if (!g.IsVisible(layout))
        return;
    const std::wstring title = ShownTitle();
    Gdiplus::StringFormat format(0);
    format.SetAlignment(Gdiplus::StringAlignmentNear);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    format.SetTrimming(Gdiplus::StringTrimmingEllipsisWord);
    g.DrawString(title.c_str(), static_cast<INT>(title.size()), m_titleFont.get(), layout, &format, m_titleBrush.get());
}
