// The player's commands in the game view: the keys (F11, Esc, Ctrl+Alt+S,
// Ctrl+Alt+M, the zoom's) wherever the focus is inside the client, the
// screenshot with its notice, the mute (with the mute while the boss key hides
// the client) and the page's zoom. Full screen itself belongs to the view
// (CFrameGameView.cpp).

#include "frames/CFrameGame.h"

#include "frames/PlayerSettings.h"
#include "resources/resource.h"

namespace {

// Room the notice leaves at the title bar's right end for its links and buttons.
constexpr int kNoticeClearRight = 300;
constexpr int kNoticeMargin = 8;

} // namespace

bool CFrameGame::TakePlayerKey(const MSG& msg, bool fromPage)
{
    // While a box of the frame's is open (the frame is disabled), keys are the box's.
    if (!m_gameMode || !IsWindowEnabled(m_hWnd))
        return false;
    const PlayerKey key = PlayerKeyOf(msg, m_fullScreen);
    if (key.command == PlayerCommand::None)
        return false;
    if (!key.repeat) {
        // The page's keystrokes arrive on the UI thread: the frame acts on its own.
        if (fromPage)
            PostMessageW(m_hWnd, WM_PLAYER_COMMAND, static_cast<WPARAM>(key.command), 0);
        else
            RunPlayerCommand(key.command);
    }
    return true;
}

BOOL CFrameGame::PreTranslateMessage(MSG* msg) { return msg && TakePlayerKey(*msg, false) ? TRUE : FALSE; }

void CFrameGame::RunPlayerCommand(PlayerCommand command)
{
    if (!m_gameMode || m_bossHidden)
        return;
    switch (command) {
    case PlayerCommand::ToggleFullScreen:
        if (m_fullScreen)
            LeaveFullScreen();
        else
            EnterFullScreen();
        break;
    case PlayerCommand::LeaveFullScreen:
        LeaveFullScreen();
        break;
    case PlayerCommand::Screenshot:
        TakeScreenshot();
        break;
    case PlayerCommand::ToggleMute:
        SetMuted(!m_muted);
        break;
    case PlayerCommand::ZoomIn:
        StepPageZoom(1);
        break;
    case PlayerCommand::ZoomOut:
        StepPageZoom(-1);
        break;
    case PlayerCommand::ZoomReset:
        SetPageZoom(pagezoom::kActualSize);
        break;
    default:
        break;
    }
}

void CFrameGame::TakeScreenshot(bool delayed)
{
    RECT page = {};
    if (!m_html.m_hWnd || !::GetWindowRect(m_html.m_hWnd, &page) || IsRectEmpty(&page))
        return;
    // The previous picture's notice lies over the page in full screen: it is
    // no part of what the player sees of the game, so it goes first. Any
    // picture asked for meanwhile waits as well.
    if (delayed || m_waitingScreenshots > 0 || m_notice.Covers(page)) {
        m_notice.Hide();
        ++m_waitingScreenshots;
        ArmTimer(TIMER_SCREENSHOT, kMenuScreenshotDelayMs);
        return;
    }
    std::vector<BYTE> png = screenshot::Capture(page);
    if (png.empty() || !m_screenshots.Start(std::move(png), m_hWnd, WM_SCREENSHOT_STORED))
        ShowNotice(L"截图未能保存");
}

void CFrameGame::OnScreenshotStored()
{
    for (const std::wstring& path : m_screenshots.TakeFinished())
        ShowNotice(path.empty() ? std::wstring(L"截图未能保存") : L"截图已保存：" + path);
}

void CFrameGame::ShowNotice(const std::wstring& text)
{
    RECT frame = {};
    RECT page = {};
    ::GetWindowRect(m_hWnd, &frame);
    if (m_html.m_hWnd)
        ::GetWindowRect(m_html.m_hWnd, &page);
    const DpiScale& px = paint.scale;
    m_notice.scale = px;
    if (m_fullScreen) {
        // No title bar: at the top of the page.
        const int margin = px(kNoticeMargin);
        m_notice.Show(m_hWnd, page.left + margin, page.top + margin, page.right - page.left - 2 * margin, text);
    } else {
        // Over the title text, clear of the links and buttons at the bar's right end.
        const int x = frame.left + px(22);
        m_notice.Show(m_hWnd, x, frame.top + px(2), frame.right - px(kNoticeClearRight) - x, text);
    }
}

void CFrameGame::SetMuted(bool muted)
{
    m_muted = muted;
    ApplySessionMute();
    PlayerSettings::WriteMuted(muted);
    UpdateMuteLooks();
}

void CFrameGame::ApplySessionMute()
{
    // Without an audio device there is nothing to mute; the choice is kept all the same.
    if (m_sessionMute.IsOpen() || OpenSession())
        m_sessionMute.Set(SessionShouldBeMuted());
}

void CFrameGame::SetMuteWhileHidden(bool mute)
{
    m_muteWhileHidden = mute;
    PlayerSettings::WriteMuteWhileHidden(mute);
    ApplySessionMute();
    UpdateMenuRow(kMuteWhileHiddenRow, MuteWhileHiddenRowText());
}

bool CFrameGame::OpenSession() { return m_sessionMute.Open(m_hWnd, WM_SESSION_NEWS); }

void CFrameGame::AdoptMute(bool muted)
{
    if (muted == m_muted)
        return;
    m_muted = muted;
    PlayerSettings::WriteMuted(muted);
    UpdateMuteLooks();
}

void CFrameGame::OnSessionNews(WPARAM what, LPARAM value)
{
    if (what == SessionMute::kMuteChanged) {
        AdoptMute(value != 0);
    } else if (what == SessionMute::kDefaultDeviceChanged && m_sessionMute.IsOpen() && OpenSession()) {
        // The client's sound goes to the new device now, into a session of its own there.
        m_sessionMute.Set(SessionShouldBeMuted());
    }
}

void CFrameGame::UpdateMuteLooks()
{
    if (CImageButton* indicator = paint.FindButton(kMuteIndicatorId)) {
        indicator->visible = m_muted;
        if (m_hWnd)
            InvalidateRect(m_hWnd, nullptr, FALSE);
    }
    // The menu row offers the other state, with its icon.
    UpdateMenuRow(kMuteRow, MuteRowText(), MuteRowIcon());
}

void CFrameGame::UpdateMenuRow(int id, const std::wstring& text, int icon)
{
    for (const auto& row : m_mainMenu.paint.rows) {
        if (row->id != id)
            continue;
        for (const auto& button : row->buttons) {
            if (button->id == id)
                button->SetText(text.c_str());
            else if (icon)
                button->SetImages(icon, icon, icon, icon);
        }
    }
}

std::wstring CFrameGame::MuteRowText() const { return m_muted ? L"取消静音 (Ctrl+Alt+M)" : L"静音 (Ctrl+Alt+M)"; }

int CFrameGame::MuteRowIcon() const { return m_muted ? IDP_ROW_SOUND : IDP_ROW_MUTE; }

void CFrameGame::SetPageZoom(int choice)
{
    m_html.SetPlayerZoom(choice);
    PlayerSettings::WritePageZoom(m_html.PlayerZoom());
    UpdateZoomLooks();
}

void CFrameGame::StepPageZoom(int direction) { SetPageZoom(pagezoom::StepLevel(m_html.ShownZoom(), direction)); }

std::wstring CFrameGame::ShownTitle()
{
    const int level = m_html.ShownZoom();
    std::wstring title = TitleText();
    if (m_gameMode && level != pagezoom::kActualSize)
        title += L"  缩放 " + std::to_wstring(level) + L"%";
    return title;
}

void CFrameGame::UpdateZoomLooks()
{
    InvalidateTitle();
    // The fit row offers the other state.
    for (const auto& row : m_mainMenu.paint.rows)
        if (row->id == kFitRow)
            for (const auto& button : row->buttons)
                if (button->id == kFitRow)
                    button->SetText(m_html.PlayerZoom() == pagezoom::kFit ? L"取消适应窗口" : L"适应窗口");
}

// These two rows show the state they are in; a click turns it over.
std::wstring CFrameGame::MuteWhileHiddenRowText() const
{
    return m_muteWhileHidden ? L"隐藏时静音 √" : L"隐藏时不静音";
}

std::wstring CFrameGame::TopmostRowText() const { return m_topmost ? L"窗口置顶 √" : L"窗口置顶"; }
