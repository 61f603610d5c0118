// The view switch: from the page area over the launcher to the game view, and
// how the game view lays out its page and carries its shadow.

#include "frames/CFrameGame.h"

#include "app/ConfigFile.h"
#include "app/gameApp.h"

namespace {

constexpr Gdiplus::ARGB kGameBackground = 0xFF23373C;

} // namespace

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
