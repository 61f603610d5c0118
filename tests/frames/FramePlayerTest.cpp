// The player's keys, full screen, the game view's kept place and the mute, with
// the frames as start-up runs them: keystrokes go through the threads' own
// pre-translation (the page's on the UI thread), the mute through the real
// audio session API (ALSA's null device gives Wine an endpoint). Wine makes a
// new session for every look-up of the default one, so the mute is read back
// from the session the client holds.

#include "FakeAudio.h"
#include "FrameTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <optional>

using frametest::FrameHarness;
using frametest::PostClick;
using frametest::WindowRect;

// Found by the test macros' lookup in the argument's (the global) namespace.
static bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

namespace {

std::string Show(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

MONITORINFO MonitorOf(HWND hwnd)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info);
    return info;
}

// The calling thread's keyboard with the keys in `held` down, for the life of the object.
class HeldKeys {
public:
    explicit HeldKeys(std::initializer_list<BYTE> held)
    {
        BYTE state[256] = {};
        for (BYTE k : held)
            state[k] = 0x80;
        SetKeyboardState(state);
    }
    ~HeldKeys()
    {
        BYTE none[256] = {};
        SetKeyboardState(none);
    }
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;
};

// A key pressed while the modifiers in `held` are down, as the thread that
// takes it from its queue sees it, through that thread's pre-translation. True
// when a window of the client took the keystroke.
BOOL Press(CAppManager& manager, HWND target, WORD key, std::initializer_list<BYTE> held, bool repeat)
{
    const HeldKeys keys(held);
    MSG msg = {};
    msg.hwnd = target;
    msg.message = (held.size() == 1 && *held.begin() == VK_MENU) ? WM_SYSKEYDOWN : WM_KEYDOWN;
    msg.wParam = key;
    msg.lParam = 1 | (repeat ? 1 << 30 : 0);
    const BOOL taken = manager.FilterMessage(&msg);
    return taken;
}

// In the page: its innermost window, on the UI thread.
BOOL PageKey(FrameHarness& h, WORD key, std::initializer_list<BYTE> held = {}, bool repeat = false)
{
    HWND target = h.frame->m_html.m_hWnd;
    while (HWND child = GetWindow(target, GW_CHILD))
        target = child;
    BOOL taken = FALSE;
    EXPECT_TRUE(h.OnUiThread([&] { taken = Press(h.uiManager, target, key, held, repeat); }));
    return taken;
}

// In the frame's own window, on the main thread.
BOOL FrameKey(FrameHarness& h, WORD key, std::initializer_list<BYTE> held = {})
{
    return Press(h.mainManager.Get(), h.Frame(), key, held, false);
}

std::optional<LONG> KeptValue(const wchar_t* name)
{
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Morvane网页版", name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return static_cast<LONG>(value);
}

void Keep(const wchar_t* name, LONG value)
{
    const DWORD stored = static_cast<DWORD>(value);
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Morvane网页版", name, REG_DWORD, &stored, sizeof(stored));
}

// The mute of the client's own audio session, as the session reports it;
// none while the client has opened no session.
std::optional<bool> SessionMuted(FrameHarness& h)
{
    bool muted = false;
    if (!h.frame->m_sessionMute.Read(&muted))
        return std::nullopt;
    return muted;
}

std::wstring RowText(CImageMenu& menu, int id)
{
    for (const auto& row : menu.paint.rows)
        if (row->id == id)
            for (const auto& button : row->buttons)
                if (button->id == id)
                    return button->text;
    return L"<missing>";
}

class PlayerKeys : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(h.Start());
        ASSERT_TRUE(h.EnterGameView());
    }
    HWND Page() const { return h.frame->m_html.m_hWnd; }
    bool FullScreenShown()
    {
        return test::PumpUntil([&] {
            return h.frame->IsFullScreen() && WindowRect(h.Frame()) == MonitorOf(h.Frame()).rcMonitor &&
                   WindowRect(Page()) == MonitorOf(h.Frame()).rcMonitor;
        });
    }
    FrameHarness h;
};

} // namespace

TEST_F(PlayerKeys, FullScreenFromThePageAndBackWithoutAReloadOtherKeysStayWithThePage)
{
    const RECT screen = MonitorOf(h.Frame()).rcMonitor;
    const RECT maximised = WindowRect(h.Frame());
    const size_t requests = h.uiManager.Executed().size();
    const HWND page = Page();

    EXPECT_FALSE(PageKey(h, VK_ESCAPE)) << "Esc outside full screen is the page's";
    EXPECT_FALSE(PageKey(h, VK_F11, {VK_SHIFT}));
    EXPECT_FALSE(PageKey(h, 'S', {VK_CONTROL}));
    EXPECT_FALSE(PageKey(h, 'M', {VK_MENU}));
    EXPECT_FALSE(PageKey(h, 'A'));
    EXPECT_FALSE(h.frame->IsFullScreen());

    EXPECT_TRUE(PageKey(h, VK_F11));
    ASSERT_TRUE(FullScreenShown()) << "frame " << Show(WindowRect(h.Frame())) << ", page " << Show(WindowRect(Page()))
                                   << ", monitor " << Show(screen);
    EXPECT_FALSE(IsWindowVisible(h.Launcher())) << "no shadow in full screen";
    // A held F11 is still the player's key, and acts once.
    EXPECT_TRUE(PageKey(h, VK_F11, {}, true));
    test::PumpPending();
    EXPECT_TRUE(h.frame->IsFullScreen());

    // The boss key hides it and brings it back as it was.
    SendMessageW(h.Frame(), WM_HOTKEY, CFrameGame::HOTKEY_BOSS, 0);
    EXPECT_FALSE(IsWindowVisible(h.Frame()));
    SendMessageW(h.Frame(), WM_HOTKEY, CFrameGame::HOTKEY_BOSS, 0);
    EXPECT_TRUE(IsWindowVisible(h.Frame()));
    EXPECT_TRUE(FullScreenShown());
    EXPECT_FALSE(IsWindowVisible(h.Launcher()));

    // Ctrl+Alt+S: a picture of exactly the page area, and a word where it went
    // that takes neither the activation nor the keyboard. A second picture,
    // taken while that word lies over the page, is the same picture (the word
    // is no part of it), under a name of its own.
    SetForegroundWindow(h.Frame());
    ASSERT_EQ(GetActiveWindow(), h.Frame());
    {
        const test::ScreenMarker marker({screen.left + 100, screen.top + 90, screen.left + 164, screen.top + 138});
        EXPECT_TRUE(PageKey(h, 'S', {VK_CONTROL, VK_MENU}));
        ASSERT_TRUE(test::PumpUntil([&] { return IsWindowVisible(h.frame->m_notice.m_hWnd) != FALSE; }));
        ASSERT_TRUE(h.frame->m_notice.Covers(screen));
        EXPECT_TRUE(PageKey(h, 'S', {VK_CONTROL, VK_MENU}));
        ASSERT_TRUE(test::PumpUntil([] { return test::FreshPlayerSettings::Screenshots().size() == 2; }));
    }
    std::vector<test::Picture> shots;
    for (const std::wstring& name : test::FreshPlayerSettings::Screenshots())
        shots.push_back(test::ReadPicture(test::FreshPlayerSettings::ScreenshotFolder() + L"\\" + name));
    ASSERT_EQ(shots[0].width, screen.right - screen.left);
    ASSERT_EQ(shots[0].height, screen.bottom - screen.top);
    EXPECT_EQ(shots[0].At(100, 90), test::ScreenMarker::Pixel()) << "the marker's top left corner, where it was";
    EXPECT_EQ(shots[0].At(163, 137), test::ScreenMarker::Pixel());
    EXPECT_NE(shots[0].At(99, 90), test::ScreenMarker::Pixel()) << "the page beside it";
    EXPECT_NE(shots[0].At(164, 137), test::ScreenMarker::Pixel());
    EXPECT_EQ(shots[1].Differences(shots[0]), 0u) << "the notice over the page is not in the second picture";
    ASSERT_TRUE(test::PumpUntil([&] { return IsWindowVisible(h.frame->m_notice.m_hWnd) != FALSE; }));
    EXPECT_NE(h.frame->m_notice.Text().find(test::FreshPlayerSettings::ScreenshotFolder()), std::wstring::npos)
        << "the notice names the folder";
    EXPECT_EQ(GetActiveWindow(), h.Frame());

    EXPECT_TRUE(PageKey(h, VK_ESCAPE));
    ASSERT_TRUE(test::PumpUntil([&] { return !h.frame->IsFullScreen() && WindowRect(h.Frame()) == maximised; }));
    EXPECT_TRUE(IsZoomed(h.Frame()));
    EXPECT_EQ(WindowRect(Page()).top, maximised.top + 25) << "the page below the title bar again";
    EXPECT_TRUE(IsWindowVisible(h.Launcher())) << "the shadow is back";
    EXPECT_EQ(WindowRect(h.Launcher()).left, maximised.left - 6);
    // Out of full screen the picture is the page area without the title bar.
    const RECT area = WindowRect(Page());
    const std::vector<std::wstring> before = test::FreshPlayerSettings::Screenshots();
    {
        const test::ScreenMarker marker({area.left, area.top, area.left + 30, area.top + 20});
        EXPECT_TRUE(FrameKey(h, 'S', {VK_CONTROL, VK_MENU}));
        ASSERT_TRUE(test::PumpUntil([] { return test::FreshPlayerSettings::Screenshots().size() == 3; }));
    }
    for (const std::wstring& name : test::FreshPlayerSettings::Screenshots()) {
        if (std::find(before.begin(), before.end(), name) != before.end())
            continue;
        const test::Picture shot = test::ReadPicture(test::FreshPlayerSettings::ScreenshotFolder() + L"\\" + name);
        ASSERT_EQ(shot.width, area.right - area.left);
        ASSERT_EQ(shot.height, area.bottom - area.top);
        EXPECT_EQ(shot.At(0, 0), test::ScreenMarker::Pixel()) << "the page area's own top left corner";
        EXPECT_EQ(shot.At(29, 19), test::ScreenMarker::Pixel());
        EXPECT_NE(shot.At(30, 20), test::ScreenMarker::Pixel());
    }

    // From the restored view, with the keys of the frame's own window.
    ShowWindow(h.Frame(), SW_RESTORE);
    const RECT restored = WindowRect(h.Frame());
    EXPECT_TRUE(FrameKey(h, VK_F11));
    ASSERT_TRUE(FullScreenShown());
    EXPECT_FALSE(FrameKey(h, VK_ESCAPE, {VK_CONTROL}));
    EXPECT_TRUE(FrameKey(h, VK_F11));
    ASSERT_TRUE(test::PumpUntil([&] { return !h.frame->IsFullScreen() && WindowRect(h.Frame()) == restored; }));
    EXPECT_FALSE(IsZoomed(h.Frame()));
    EXPECT_EQ(WindowRect(Page()).top, restored.top + 25);
    EXPECT_EQ(WindowRect(Page()).left, restored.left + 1);
    RECT region = {};
    EXPECT_EQ(GetWindowRgnBox(h.Frame(), &region), COMPLEXREGION) << "the corners are clipped again";

    EXPECT_EQ(Page(), page) << "the page's window is the same one";
    const std::vector<int> executed = h.uiManager.Executed();
    EXPECT_EQ(executed.size(), requests) << "no navigation or refresh was asked for";
}

TEST(PlayerKeyChoice, OnALayoutWithAltGrTheRightAltTypesItsCharacterInstead)
{
    // AltGr comes as Ctrl+Alt, with the right Alt (and a left Ctrl the system adds).
    const auto key = [](WORD vk, std::initializer_list<BYTE> held, bool layoutHasAltGr) {
        const HeldKeys keys(held);
        MSG msg = {};
        msg.message = WM_KEYDOWN;
        msg.wParam = vk;
        return PlayerKeyOf(msg, false, layoutHasAltGr).command;
    };
    const std::initializer_list<BYTE> altGr = {VK_CONTROL, VK_LCONTROL, VK_MENU, VK_RMENU};
    const std::initializer_list<BYTE> leftCtrlAlt = {VK_CONTROL, VK_LCONTROL, VK_MENU, VK_LMENU};
    EXPECT_EQ(key('S', altGr, true), PlayerCommand::None) << "AltGr+S is the page's character";
    EXPECT_EQ(key('M', altGr, true), PlayerCommand::None);
    EXPECT_EQ(key('S', leftCtrlAlt, true), PlayerCommand::Screenshot) << "the left Ctrl+Alt is the player's key";
    EXPECT_EQ(key('M', leftCtrlAlt, true), PlayerCommand::ToggleMute);
    EXPECT_EQ(key('S', altGr, false), PlayerCommand::Screenshot) << "without AltGr the right Alt is an Alt";
}

TEST_F(PlayerKeys, AFolderThatTakesLongNeverHoldsUpTheFrame)
{
    // A Pictures folder on a network share that does not answer: the store
    // waits until the test lets it go.
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> stored{false};
    h.frame->m_screenshots.store = [&](const std::vector<BYTE>& png) {
        WaitForSingleObject(release, 10000);
        stored = true;
        return png.empty() ? std::wstring() : std::wstring(L"\\\\share\\截图.png");
    };
    EXPECT_TRUE(FrameKey(h, 'S', {VK_CONTROL, VK_MENU}));
    test::PumpPending();
    EXPECT_FALSE(stored) << "the key came back while the picture was still being stored";
    EXPECT_FALSE(IsWindowVisible(h.frame->m_notice.m_hWnd));
    SetEvent(release);
    EXPECT_TRUE(test::PumpUntil([&] { return h.frame->m_notice.Text() == L"截图已保存：\\\\share\\截图.png"; }));
    CloseHandle(release);

    h.frame->m_screenshots.store = [](const std::vector<BYTE>&) { return std::wstring(); };
    EXPECT_TRUE(FrameKey(h, 'S', {VK_CONTROL, VK_MENU}));
    EXPECT_TRUE(test::PumpUntil([&] { return h.frame->m_notice.Text() == L"截图未能保存"; }));
}

TEST(GameViewPlacement, AKeptRectangleOnNoMonitorComesOntoTheWorkAreaFullScreenAsLeftAndIsKeptAtTheEnd)
{
    FrameHarness h;
    Keep(L"Left", 5000);
    Keep(L"Top", -4000);
    Keep(L"Right", 6100);
    Keep(L"Bottom", -3280);
    Keep(L"Maximized", 0);
    Keep(L"FullScreen", 1);
    ASSERT_TRUE(h.Start());
    PostMessageW(h.Frame(), CFrameGame::WM_FRAMECOMMAND, CFrameGame::FRAME_CMD_ENTER_GAME, 0);
    ASSERT_TRUE(test::PumpUntil([&] { return IsWindowVisible(h.Frame()) && h.frame->IsFullScreen(); }));
    const MONITORINFO monitor = MonitorOf(h.Frame());
    EXPECT_EQ(WindowRect(h.Frame()), monitor.rcMonitor);
    EXPECT_EQ(h.frame->log.Starting(test::EventLog::Line(L"arm", CFrameGame::TIMER_MAXIMIZE) + L" "),
              std::vector<std::wstring>{})
        << "a kept view is not maximised later";

    EXPECT_TRUE(FrameKey(h, VK_ESCAPE));
    ASSERT_TRUE(test::PumpUntil([&] { return !h.frame->IsFullScreen(); }));
    const RECT r = WindowRect(h.Frame());
    const RECT& work = monitor.rcWork;
    EXPECT_FALSE(IsZoomed(h.Frame()));
    EXPECT_EQ(r.right - r.left, 1100);
    EXPECT_EQ(r.bottom - r.top, 720);
    EXPECT_TRUE(r.left >= work.left && r.top >= work.top && r.right <= work.right && r.bottom <= work.bottom)
        << Show(r) << " on the work area " << Show(work);

    // Moved, maximised and closed: the restored rectangle and the state are kept.
    MoveWindow(h.Frame(), work.left + 30, work.top + 20, 1050, 710, TRUE);
    ShowWindow(h.Frame(), SW_MAXIMIZE);
    h.Stop();
    EXPECT_EQ(KeptValue(L"Left"), work.left + 30);
    EXPECT_EQ(KeptValue(L"Top"), work.top + 20);
    EXPECT_EQ(KeptValue(L"Right"), work.left + 1080);
    EXPECT_EQ(KeptValue(L"Bottom"), work.top + 730);
    EXPECT_EQ(KeptValue(L"Maximized"), 1);
    EXPECT_EQ(KeptValue(L"FullScreen"), 0);
}

TEST(Mute, MutesTheClientsOwnSessionAndTheNextStartComesBackMuted)
{
    {
        FrameHarness h;
        ASSERT_TRUE(h.Start());
        EXPECT_EQ(SessionMuted(h), std::nullopt) << "no audio session opened in the login view";
        EXPECT_EQ(GetModuleHandleW(L"mmdevapi.dll"), nullptr) << "the audio API is loaded only when needed";
        ASSERT_TRUE(h.EnterGameView());
        EXPECT_EQ(SessionMuted(h), false) << "the game view follows the session; no audio endpoint? Tests run "
                                             "under wine-run, with ALSA's null device";
        CImageButton* indicator = h.frame->paint.FindButton(CFrameGame::kMuteIndicatorId);
        ASSERT_NE(indicator, nullptr);
        EXPECT_FALSE(indicator->visible);

        EXPECT_TRUE(FrameKey(h, 'M', {VK_CONTROL, VK_MENU}));
        ASSERT_EQ(SessionMuted(h), true);
        EXPECT_EQ(KeptValue(L"Muted"), 1);
        EXPECT_TRUE(indicator->visible) << "the title bar shows the mute";
        RECT c = {};
        GetClientRect(h.Frame(), &c);
        PostClick(h.Frame(), c.right - 71 - 12, 12);
        ASSERT_TRUE(test::PumpUntil([&] { return IsWindowVisible(h.frame->m_mainMenu.m_hWnd) != FALSE; }));
        EXPECT_EQ(RowText(h.frame->m_mainMenu, CFrameGame::kMuteRow), L"取消静音 (Ctrl+Alt+M)");
        EXPECT_EQ(RowText(h.frame->m_mainMenu, CFrameGame::kFullScreenRow), L"全屏 (F11)");
        EXPECT_EQ(RowText(h.frame->m_mainMenu, CFrameGame::kScreenshotRow), L"截图 (Ctrl+Alt+S)");
    }
    // The next start: only the kept choice says muted.
    FrameHarness h;
    Keep(L"Muted", 1);
    ASSERT_TRUE(h.Start());
    EXPECT_EQ(SessionMuted(h), true) << "muted from the start, the login view included";
    ASSERT_TRUE(h.EnterGameView());
    RECT c = {};
    GetClientRect(h.Frame(), &c);
    PostClick(h.Frame(), c.right - 278, 12); // the title bar's mute sign unmutes
    ASSERT_TRUE(test::PumpUntil([&] { return !h.frame->IsMuted(); }));
    EXPECT_EQ(SessionMuted(h), false);
    EXPECT_EQ(KeptValue(L"Muted"), 0);
    EXPECT_FALSE(h.frame->paint.FindButton(CFrameGame::kMuteIndicatorId)->visible);
}

TEST(Mute, TheGameViewShowsAndKeepsWhatTheSystemHasForTheSession)
{
    // Windows kept the session muted from the last time, though the kept
    // choice says otherwise.
    frametest::FakeAudio audio;
    audio.Session(0).muted = true;
    FrameHarness h;
    Keep(L"Muted", 0);
    h.frame->m_sessionMute.createEnumerator = [&](IMMDeviceEnumerator** out) { return audio.Create(out); };
    ASSERT_TRUE(h.Start());
    EXPECT_EQ(audio.opened, 0) << "nothing opened in the login view";
    ASSERT_TRUE(h.EnterGameView());
    CImageButton* indicator = h.frame->paint.FindButton(CFrameGame::kMuteIndicatorId);
    EXPECT_TRUE(h.frame->IsMuted()) << "the session's own mute, read when it is opened";
    EXPECT_TRUE(indicator->visible);
    EXPECT_EQ(KeptValue(L"Muted"), 1);

    // The volume mixer unmutes it: the title bar and the kept choice follow.
    audio.Session(0).MixerSets(false);
    ASSERT_TRUE(test::PumpUntil([&] { return !h.frame->IsMuted(); }));
    EXPECT_FALSE(indicator->visible);
    EXPECT_EQ(KeptValue(L"Muted"), 0);

    // The player's own key mutes the session, and the client is not misled by
    // hearing of its own change.
    EXPECT_TRUE(FrameKey(h, 'M', {VK_CONTROL, VK_MENU}));
    test::PumpPending();
    EXPECT_TRUE(audio.Session(0).muted);
    EXPECT_TRUE(h.frame->IsMuted());

    // Another default device: the client's session there takes the player's
    // choice, and only that session is followed from now on.
    audio.SwitchToSecondDevice();
    ASSERT_TRUE(test::PumpUntil([&] { return audio.Session(1).muted.load(); })) << "the new device's session is muted";
    EXPECT_EQ(audio.Session(0).listener, nullptr);
    EXPECT_NE(audio.Session(1).listener, nullptr);
    audio.Session(1).MixerSets(false);
    EXPECT_TRUE(test::PumpUntil([&] { return !h.frame->IsMuted(); }));

    h.Stop();
    EXPECT_EQ(audio.Session(1).listener, nullptr) << "nothing is followed after the end";
    EXPECT_EQ(audio.client, nullptr);
}

namespace {

// The title-bar menu, opened with a click on its button; rows are 24 pixels high.
HWND OpenTitleMenu(FrameHarness& h)
{
    RECT c = {};
    GetClientRect(h.Frame(), &c);
    PostClick(h.Frame(), c.right - 71 - 12, 12);
    test::PumpUntil([&] { return h.frame->m_mainMenu.m_hWnd && IsWindowVisible(h.frame->m_mainMenu.m_hWnd); });
    return h.frame->m_mainMenu.m_hWnd;
}

void ClickRow(HWND menu, int index) { PostClick(menu, 48, index * 24 + 12); }

bool Topmost(HWND hwnd) { return (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

} // namespace

TEST(Mute, TheBossKeyMutesWhileItHidesAndGivesBackThePlayersChoiceUnlessTurnedOff)
{
    FrameHarness h;
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.EnterGameView());
    ASSERT_EQ(SessionMuted(h), false);
    const auto bossKey = [&] { SendMessageW(h.Frame(), WM_HOTKEY, CFrameGame::HOTKEY_BOSS, 0); };

    bossKey();
    ASSERT_FALSE(IsWindowVisible(h.Frame()));
    EXPECT_EQ(SessionMuted(h), true) << "silent while hidden";
    EXPECT_FALSE(h.frame->IsMuted()) << "the player's choice is not the hiding's";
    EXPECT_EQ(KeptValue(L"Muted").value_or(0), 0);
    bossKey();
    ASSERT_TRUE(IsWindowVisible(h.Frame()));
    EXPECT_EQ(SessionMuted(h), false) << "heard again once back";

    // Muted by the player: muted it stays, hidden and back.
    EXPECT_TRUE(FrameKey(h, 'M', {VK_CONTROL, VK_MENU}));
    bossKey();
    EXPECT_EQ(SessionMuted(h), true);
    bossKey();
    EXPECT_EQ(SessionMuted(h), true);
    EXPECT_TRUE(h.frame->IsMuted());
    EXPECT_EQ(KeptValue(L"Muted"), 1);
    EXPECT_TRUE(FrameKey(h, 'M', {VK_CONTROL, VK_MENU}));
    ASSERT_EQ(SessionMuted(h), false);

    // Turned off in the menu: heard while hidden, and kept so.
    HWND menu = OpenTitleMenu(h);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(RowText(h.frame->m_mainMenu, CFrameGame::kMuteWhileHiddenRow), L"隐藏时静音 √");
    ClickRow(menu, 3);
    ASSERT_TRUE(test::PumpUntil([&] { return KeptValue(L"MuteWhileHidden") == 0; }));
    menu = OpenTitleMenu(h);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(RowText(h.frame->m_mainMenu, CFrameGame::kMuteWhileHiddenRow), L"隐藏时不静音");
    bossKey();
    ASSERT_FALSE(IsWindowVisible(h.Frame()));
    EXPECT_EQ(SessionMuted(h), false) << "the row is off";
    bossKey();
    EXPECT_EQ(SessionMuted(h), false);
}

TEST(Topmost, TheRowKeepsFrameAndShadowOnTopExceptInFullScreenAndTheNextStartComesBackOnTop)
{
    {
        FrameHarness h;
        ASSERT_TRUE(h.Start());
        ASSERT_TRUE(h.EnterGameView());
        EXPECT_FALSE(Topmost(h.Frame()));
        HWND menu = OpenTitleMenu(h);
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(RowText(h.frame->m_mainMenu, CFrameGame::kTopmostRow), L"窗口置顶");
        ClickRow(menu, 5);
        // Windows makes the shadow's owned frame topmost with it. Wine links an
        // owner made topmost right below its owned window, topmost only when the
        // window below is: the frame's own state and the order are what both show.
        ASSERT_TRUE(test::PumpUntil([&] { return Topmost(h.Frame()); }));
        EXPECT_EQ(GetWindow(h.Frame(), GW_HWNDNEXT), h.Launcher()) << "the shadow right behind the frame";
        EXPECT_EQ(KeptValue(L"Topmost"), 1);

        h.frame->EnterFullScreen();
        ASSERT_TRUE(h.frame->IsFullScreen());
        EXPECT_FALSE(Topmost(h.Frame())) << "not over other windows in full screen";
        h.frame->LeaveFullScreen();
        EXPECT_TRUE(Topmost(h.Frame())) << "on top again after full screen";
        EXPECT_EQ(GetWindow(h.Frame(), GW_HWNDNEXT), h.Launcher());
        EXPECT_EQ(KeptValue(L"Topmost"), 1);

        menu = OpenTitleMenu(h);
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(RowText(h.frame->m_mainMenu, CFrameGame::kTopmostRow), L"窗口置顶 √");
        ClickRow(menu, 5);
        ASSERT_TRUE(test::PumpUntil([&] { return !Topmost(h.Frame()); }));
        EXPECT_FALSE(Topmost(h.Launcher()));
        EXPECT_EQ(KeptValue(L"Topmost"), 0);
    }
    // Kept on top from the last time: the login view is not, the game view is from its first appearance.
    FrameHarness h;
    Keep(L"Topmost", 1);
    ASSERT_TRUE(h.Start());
    EXPECT_FALSE(Topmost(h.Frame()));
    ASSERT_TRUE(h.EnterGameView());
    EXPECT_TRUE(Topmost(h.Frame()));
    EXPECT_EQ(GetWindow(h.Frame(), GW_HWNDNEXT), h.Launcher());
}

TEST(PageZoomKeys, TheKeysTheWheelAndTheMenuZoomTheGameKeptForTheNextStart)
{
    {
        FrameHarness h;
        ASSERT_TRUE(h.Start());
        EXPECT_FALSE(PageKey(h, VK_OEM_PLUS, {VK_CONTROL})) << "the login view's page keeps its keys";
        ASSERT_TRUE(h.EnterGameView());
        CMyHtml& html = h.frame->m_html;
        EXPECT_EQ(html.PlayerZoom(), 100);
        EXPECT_EQ(h.frame->ShownTitle().find(L"缩放"), std::wstring::npos) << "nothing shown at 100 %";

        // Under Wine the control refuses every zoom: the player's choice stands all the same.
        EXPECT_TRUE(PageKey(h, VK_OEM_PLUS, {VK_CONTROL}));
        ASSERT_TRUE(test::PumpUntil([&] { return html.PlayerZoom() == 110; }));
        EXPECT_TRUE(FrameKey(h, VK_ADD, {VK_CONTROL, VK_SHIFT}));
        EXPECT_EQ(html.PlayerZoom(), 125);
        EXPECT_TRUE(PageKey(h, VK_OEM_PLUS, {VK_CONTROL}, true)) << "held down, it goes on zooming";
        ASSERT_TRUE(test::PumpUntil([&] { return html.PlayerZoom() == 150; }));
        EXPECT_EQ(KeptValue(L"PageZoom"), 150);
        EXPECT_NE(h.frame->ShownTitle().find(L"缩放 150%"), std::wstring::npos) << "the title bar shows the zoom";
        EXPECT_FALSE(PageKey(h, VK_OEM_PLUS, {VK_CONTROL, VK_MENU})) << "Ctrl+Alt+= is the page's";
        EXPECT_FALSE(PageKey(h, VK_OEM_MINUS)) << "a plain - is the page's";

        // The wheel turned with Ctrl over the page, a notch down; without Ctrl it scrolls.
        const auto wheel = [&](WORD held, short delta) {
            HWND target = html.m_hWnd;
            while (HWND child = GetWindow(target, GW_CHILD))
                target = child;
            BOOL taken = FALSE;
            EXPECT_TRUE(h.OnUiThread([&] {
                MSG msg = {};
                msg.hwnd = target;
                msg.message = WM_MOUSEWHEEL;
                msg.wParam = MAKEWPARAM(held, static_cast<WORD>(delta));
                taken = h.uiManager.FilterMessage(&msg);
            }));
            return taken;
        };
        EXPECT_TRUE(wheel(MK_CONTROL, -WHEEL_DELTA));
        ASSERT_TRUE(test::PumpUntil([&] { return html.PlayerZoom() == 125; }));
        EXPECT_FALSE(wheel(0, -WHEEL_DELTA));
        EXPECT_TRUE(PageKey(h, '0', {VK_CONTROL}));
        ASSERT_TRUE(test::PumpUntil([&] { return html.PlayerZoom() == 100; }));
        for (int i = 0; i < 8; ++i)
            FrameKey(h, VK_SUBTRACT, {VK_CONTROL});
        EXPECT_EQ(html.PlayerZoom(), 50) << "the smallest level stays";

        // The menu's fit row, which then offers to end the fit.
        RECT c = {};
        GetClientRect(h.Frame(), &c);
        PostClick(h.Frame(), c.right - 71 - 12, 12);
        ASSERT_TRUE(test::PumpUntil([&] { return IsWindowVisible(h.frame->m_mainMenu.m_hWnd) != FALSE; }));
        EXPECT_EQ(RowText(h.frame->m_mainMenu, CFrameGame::kZoomInRow), L"放大 (Ctrl+=)");
        EXPECT_EQ(RowText(h.frame->m_mainMenu, CFrameGame::kFitRow), L"适应窗口");
        CImageItem* fitRow = nullptr;
        for (const auto& row : h.frame->m_mainMenu.paint.rows)
            if (row->id == CFrameGame::kFitRow)
                fitRow = row.get();
        ASSERT_NE(fitRow, nullptr);
        h.frame->OnMainMenuItem(fitRow);
        EXPECT_EQ(html.PlayerZoom(), pagezoom::kFit);
        EXPECT_EQ(KeptValue(L"PageZoom"), 0);
        PostClick(h.Frame(), c.right - 71 - 12, 12);
        ASSERT_TRUE(test::PumpUntil([&] { return IsWindowVisible(h.frame->m_mainMenu.m_hWnd) != FALSE; }));
        EXPECT_EQ(RowText(h.frame->m_mainMenu, CFrameGame::kFitRow), L"取消适应窗口");
    }
    // The next start: fitted again once in the game view, not before.
    FrameHarness h;
    Keep(L"PageZoom", 0);
    ASSERT_TRUE(h.Start());
    EXPECT_EQ(h.frame->m_html.PlayerZoom(), 100);
    ASSERT_TRUE(h.EnterGameView());
    ASSERT_TRUE(test::PumpUntil([&] { return h.frame->m_html.PlayerZoom() == pagezoom::kFit; }));
    Keep(L"PageZoom", 120);
    EXPECT_EQ(PlayerSettings::ReadPageZoom(), 100) << "a kept value that is no level is actual size";
}
