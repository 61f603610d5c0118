// The game view: title bar, shadow, menus, boss key and notification icon, with
// real windows and real mouse messages.

#include "FrameTestSupport.h"
#include "frames/ClearUrlCache.h"
#include "tests/browser/CallArguments.h"

#include <wininet.h>

#include <gtest/gtest.h>

#include <algorithm>

using frametest::FrameHarness;
using frametest::NotifyIconPresent;
using frametest::PostClick;
using frametest::VisibleWindows;
using frametest::WindowRect;

namespace {

RECT WorkArea()
{
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

class GameView : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(h.Start());
        ASSERT_TRUE(h.EnterGameView());
    }
    int Right() const
    {
        RECT c = {};
        GetClientRect(h.Frame(), &c);
        return c.right;
    }
    // Opens the title-bar menu with a click on its button and returns the menu window.
    HWND OpenTitleMenu()
    {
        PostClick(h.Frame(), Right() - 71 - 12, 12);
        test::PumpUntil([&] { return h.frame->m_mainMenu.m_hWnd && IsWindowVisible(h.frame->m_mainMenu.m_hWnd); });
        return h.frame->m_mainMenu.m_hWnd;
    }
    // Clicks the menu's row with the given index (24 pixels a row).
    static void ClickRow(HWND menu, int index) { PostClick(menu, 48, index * 24 + 12); }

    FrameHarness h;
};

std::wstring RowText(CImageMenu& menu, int id)
{
    for (const auto& row : menu.paint.rows)
        if (row->id == id && !row->buttons.empty())
            return row->buttons.front()->text;
    return L"<missing>";
}

} // namespace

TEST_F(GameView, MaximisedToTheWorkAreaWithTheLauncherAsItsShadow)
{
    const RECT work = WorkArea();
    const RECT frame = WindowRect(h.Frame());
    EXPECT_EQ(frame.left, work.left);
    EXPECT_EQ(frame.top, work.top);
    EXPECT_EQ(frame.right, work.right);
    EXPECT_EQ(frame.bottom, work.bottom);
    EXPECT_TRUE(h.frame->resizable);
    EXPECT_EQ(h.frame->minWidth, 1020);
    EXPECT_EQ(h.frame->minHeight, 704);

    const RECT shadow = WindowRect(h.Launcher());
    EXPECT_EQ(shadow.left, frame.left - 6);
    EXPECT_EQ(shadow.top, frame.top - 6);
    EXPECT_EQ(shadow.right, frame.right + 6);
    EXPECT_EQ(shadow.bottom, frame.bottom + 6);
    EXPECT_TRUE(h.frame->m_back.m_shadowMode);
    EXPECT_TRUE(h.frame->m_back.paint.buttons.empty()) << "no launcher buttons in the shadow";
    EXPECT_TRUE(h.frame->m_back.paint.statics.empty()) << "and no artwork";

    // Restored, the frame sits centred at its minimum size, and the shadow follows.
    ShowWindow(h.Frame(), SW_RESTORE);
    const RECT restored = WindowRect(h.Frame());
    EXPECT_EQ(restored.right - restored.left, 1020);
    EXPECT_EQ(restored.bottom - restored.top, 704);
    const RECT followed = WindowRect(h.Launcher());
    EXPECT_EQ(followed.left, restored.left - 6);
    EXPECT_EQ(followed.bottom, restored.bottom + 6);
    // The page sits below the 25-pixel title bar, inside a one-pixel border.
    RECT page = WindowRect(h.frame->m_html.m_hWnd);
    POINT origin = {0, 0};
    ClientToScreen(h.Frame(), &origin);
    EXPECT_EQ(page.left - origin.x, 1);
    EXPECT_EQ(page.top - origin.y, 25);
}

TEST_F(GameView, TitleBarButtonsKeepTheirDistanceFromTheRightEdge)
{
    const int r = Right();
    struct Expect {
        int id, right;
    } expected[] = {{10, r - 1},      {30, r - 25},     {40, r - 25},     {20, r - 48},    {10013, r - 71},
                    {10019, r - 100}, {10020, r - 145}, {10021, r - 190}, {10022, r - 235}};
    for (const Expect& e : expected) {
        CImageButton* button = h.frame->paint.FindButton(e.id);
        ASSERT_NE(button, nullptr) << e.id;
        EXPECT_EQ(button->rect.right, e.right) << e.id;
    }
    EXPECT_FALSE(h.frame->paint.FindButton(30)->visible) << "maximised: the title bar offers restore";
    EXPECT_TRUE(h.frame->paint.FindButton(40)->visible);
    CImageStatic* bar = h.frame->paint.FindStatic(10011);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->rect.left, 0);
    EXPECT_EQ(bar->rect.right, r) << "the title bar spans the width";
}

TEST_F(GameView, BossKeyHidesToTheNotificationAreaAndBack)
{
    EXPECT_FALSE(NotifyIconPresent(h.Frame()));
    SetForegroundWindow(h.Frame());
    SendMessageW(h.Frame(), WM_HOTKEY, CFrameGame::HOTKEY_BOSS, 0);
    EXPECT_FALSE(IsWindowVisible(h.Frame()));
    EXPECT_TRUE(h.frame->m_bossHidden);
    EXPECT_TRUE(NotifyIconPresent(h.Frame()));
    EXPECT_TRUE(IsWindowVisible(h.Launcher())) << "the shadow stays in place";
    // The system is told never to hand the activation to the shadow (Wine
    // activates a hidden window's owner regardless).
    EXPECT_TRUE(GetWindowLongW(h.Launcher(), GWL_EXSTYLE) & WS_EX_NOACTIVATE) << "the shadow takes no activation";
    EXPECT_EQ(SendMessageW(h.Launcher(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(h.Launcher()),
                           MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
              MA_NOACTIVATE);
    EXPECT_STREQ(h.frame->m_notifyIcon.Data().szTip, L"Morvane网页版");

    SendMessageW(h.Frame(), WM_HOTKEY, CFrameGame::HOTKEY_BOSS, 0);
    EXPECT_TRUE(IsWindowVisible(h.Frame()));
    EXPECT_FALSE(h.frame->m_bossHidden);
    EXPECT_FALSE(NotifyIconPresent(h.Frame()));

    // A window hidden some other way stays hidden: no icon without the boss key.
    ShowWindow(h.Frame(), SW_HIDE);
    SendMessageW(h.Frame(), WM_HOTKEY, CFrameGame::HOTKEY_BOSS, 0);
    EXPECT_FALSE(h.frame->m_bossHidden);
    EXPECT_FALSE(NotifyIconPresent(h.Frame()));
    SendMessageW(h.Frame(), WM_HOTKEY, 42, 0);
    EXPECT_FALSE(IsWindowVisible(h.Frame())) << "other hot keys are ignored";
}

TEST_F(GameView, TheBossKeyIsAltDByDefault)
{
    HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    EXPECT_FALSE(RegisterHotKey(probe, 1, MOD_ALT, 'D')) << "taken by the frame";
    DestroyWindow(probe);
    HWND menu = OpenTitleMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(RowText(h.frame->m_mainMenu, CFrameGame::kBossKeyRow), L"老板键(Alt+D)");
}

TEST(GameViewConfig, AnUnusableBossKeyFallsBackToAltD)
{
    FrameHarness h;
    h.WriteConfig(L"Common", L"fsModifiers", L"0");
    h.WriteConfig(L"Common", L"vkCode", L"81");
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.EnterGameView());
    HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    EXPECT_FALSE(RegisterHotKey(probe, 1, MOD_ALT, 'D'));
    DestroyWindow(probe);
    EXPECT_EQ(h.frame->m_bossKey.MenuText(), L"老板键(Alt+D)");
}

TEST(GameViewConfig, ABossKeyFromConfigIsRegisteredOrGivesWayToAltDOrToNone)
{
    // Ctrl+Q from Config.ini: free, it is the frame's; held by another program
    // (as the shell holds Win+D), the frame takes Alt+D; with Alt+D held too,
    // the frame has no boss key and says so.
    HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    const struct {
        UINT heldModifiers;
        UINT heldKey;
        const wchar_t* menuText;
    } cases[] = {{0, 0, L"老板键(Ctrl+Q)"}, {MOD_CONTROL, 'Q', L"老板键(Alt+D)"}, {MOD_ALT, 'D', L"老板键(不可用)"}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(cases[i].menuText)));
        if (cases[i].heldKey) {
            ASSERT_TRUE(RegisterHotKey(other, i, cases[i].heldModifiers, cases[i].heldKey));
        }
        FrameHarness h;
        h.WriteConfig(L"Common", L"fsModifiers", L"2");
        h.WriteConfig(L"Common", L"vkCode", L"81");
        ASSERT_TRUE(h.Start());
        ASSERT_TRUE(h.EnterGameView());
        EXPECT_EQ(h.frame->m_hotKeyModifiers, 2);
        EXPECT_EQ(h.frame->m_hotKeyVirtualKey, 81);
        EXPECT_EQ(h.frame->m_bossKey.MenuText(), cases[i].menuText);
        HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        if (i == 0) {
            EXPECT_FALSE(RegisterHotKey(probe, 1, MOD_CONTROL, 'Q')) << "Ctrl+Q is taken by the frame";
        }
        if (i < 2) {
            EXPECT_EQ(RegisterHotKey(probe, 2, MOD_ALT, 'D') != FALSE, i == 0)
                << "Alt+D is the frame's only in its stead";
            UnregisterHotKey(probe, 2);
        }
        DestroyWindow(probe);
    }
    for (int i = 0; i < 3; ++i)
        UnregisterHotKey(other, i);
    DestroyWindow(other);
}

// Another client (the real one, as its own process) reached the game view
// first and holds Ctrl+Q, the key both are given: the frame is covered by it
// and names that key, rather than taking Alt+D for itself; when the other
// closes, the frame holds Ctrl+Q.
TEST(GameViewConfig, ABossKeyHeldByAnotherClientCoversTheFrameUntilThatClientCloses)
{
    const std::wstring portal = test::PortalHost();
    ASSERT_FALSE(portal.empty()) << "the demo portal fixture is not running";
    FrameHarness h(portal);
    test::TempFolder otherFolder;
    ASSERT_TRUE(test::CopyProgram(L"vorn.exe", otherFolder.Path()));
    const std::string host(portal.begin(), portal.end());
    ASSERT_TRUE(test::WriteFileBytes(otherFolder.File(L"Config.ini"),
                                     "[Common]\r\nUID=4243\r\nfsModifiers=2\r\nvkCode=81\r\n[Portal]\r\nHost=" + host +
                                         "\r\n"));
    test::ChildProcess other;
    ASSERT_TRUE(other.Start(otherFolder.File(L"vorn.exe")));
    ASSERT_NE(other.WaitForWindow(L"zarvoostrel", 20000), nullptr);
    const auto frameCommand = [&](const wchar_t* command) {
        test::ChildProcess tool;
        return tool.Start(test::ProgramFolder() + L"\\framecmd.exe", command + std::to_wstring(other.Id())) &&
               tool.WaitForExit(20000) && tool.ExitCode() == 0;
    };
    HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    const auto free = [&](UINT modifiers, UINT key) {
        const bool registered = RegisterHotKey(probe, 1, modifiers, key) != FALSE;
        UnregisterHotKey(probe, 1);
        return registered;
    };
    ASSERT_TRUE(frameCommand(L"enter "));
    ASSERT_TRUE(test::PumpUntil([&] { return !free(MOD_CONTROL, 'Q'); }, 20000)) << "the other client holds Ctrl+Q";

    h.WriteConfig(L"Common", L"fsModifiers", L"2");
    h.WriteConfig(L"Common", L"vkCode", L"81");
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.EnterGameView());
    EXPECT_FALSE(h.frame->m_bossKeyHold.Held());
    EXPECT_EQ(h.frame->m_bossKey.MenuText(), L"老板键(Ctrl+Q)") << "the key in force, held by the other client";
    EXPECT_TRUE(free(MOD_ALT, 'D')) << "no Alt+D in its stead";

    ASSERT_TRUE(frameCommand(L"close "));
    ASSERT_TRUE(other.WaitForExit(20000));
    EXPECT_TRUE(test::PumpUntil([&] { return h.frame->m_bossKeyHold.Held(); }, 5000)) << "the frame took the key over";
    EXPECT_FALSE(free(MOD_CONTROL, 'Q'));
    EXPECT_EQ(h.frame->m_bossKey.MenuText(), L"老板键(Ctrl+Q)");
    DestroyWindow(probe);
}

TEST_F(GameView, ARestartedShellGetsTheIconBack)
{
    SendMessageW(h.Frame(), WM_HOTKEY, CFrameGame::HOTKEY_BOSS, 0);
    ASSERT_TRUE(NotifyIconPresent(h.Frame()));
    // The shell restarts: its icons are gone, and it announces itself to every window.
    NOTIFYICONDATAW icon = {};
    icon.cbSize = sizeof(icon);
    icon.hWnd = h.Frame();
    icon.uID = CFrameGame::kNotifyIconId;
    Shell_NotifyIconW(NIM_DELETE, &icon);
    ASSERT_FALSE(NotifyIconPresent(h.Frame()));
    SendMessageW(h.Frame(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(NotifyIconPresent(h.Frame()));
    SendMessageW(h.Frame(), WM_HOTKEY, CFrameGame::HOTKEY_BOSS, 0);
}

TEST_F(GameView, TitleMenuOpensBelowItsButtonWithItsTwelveRows)
{
    POINT cursor = {};
    HWND menu = OpenTitleMenu();
    ASSERT_NE(menu, nullptr);
    GetCursorPos(&cursor);
    const RECT r = WindowRect(menu);
    // Below its button, as far right as the work area lets it.
    EXPECT_EQ(r.left, std::min<LONG>(cursor.x - 10, WorkArea().right - 176));
    EXPECT_EQ(r.top, WindowRect(h.Frame()).top + 30);
    EXPECT_EQ(r.right - r.left, 176);
    EXPECT_EQ(r.bottom - r.top, 12 * 24);
    EXPECT_EQ(RowText(h.frame->m_mainMenu, 10014), L"清除缓存");
    EXPECT_EQ(RowText(h.frame->m_mainMenu, 10015), L"刷新");
    wchar_t name[64] = {};
    GetClassNameW(menu, name, 64);
    EXPECT_STREQ(name, L"zarvo_menu");

    // The boss-key row only closes the menu.
    ClickRow(menu, 2);
    EXPECT_TRUE(test::PumpUntil([&] { return !IsWindow(menu); }));
    EXPECT_TRUE(IsWindowVisible(h.Frame()));
    EXPECT_FALSE(h.frame->m_bossHidden);
    EXPECT_FALSE(NotifyIconPresent(h.Frame()));
    // It opens again with the same rows.
    HWND again = OpenTitleMenu();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(h.frame->m_mainMenu.paint.rows.size(), 12u);
}

TEST_F(GameView, RefreshRowAsksTheUiThreadToReload)
{
    HWND menu = OpenTitleMenu();
    ASSERT_NE(menu, nullptr);
    ClickRow(menu, 1);
    EXPECT_TRUE(test::PumpUntil([&] { return h.uiManager.Ran(REQUEST_REFRESH); }));
    EXPECT_TRUE(test::PumpUntil([&] { return !IsWindow(menu); }));
}

namespace {
bool SeedCacheEntry(const std::wstring& url)
{
    wchar_t file[MAX_PATH] = {};
    if (!CreateUrlCacheEntryW(url.c_str(), 0, L"htm", file, 0) || !test::WriteFileBytes(file, "cached"))
        return false;
    FILETIME never = {};
    return CommitUrlCacheEntryW(url.c_str(), file, never, never, NORMAL_CACHE_ENTRY, nullptr, 0, L"htm", nullptr);
}

bool IsCached(const std::wstring& url)
{
    DWORD size = 0;
    GetUrlCacheEntryInfoW(url.c_str(), nullptr, &size);
    const DWORD error = GetLastError();
    return error == ERROR_INSUFFICIENT_BUFFER;
}
} // namespace

TEST_F(GameView, ClearCacheRowEmptiesTheCacheAndSaysSoOnce)
{
    ASSERT_TRUE(SeedCacheEntry(L"http://127.0.0.1:9/cached.swf"));
    HWND menu = OpenTitleMenu();
    ClickRow(menu, 0);
    HWND box = nullptr;
    ASSERT_TRUE(test::PumpUntil([&] { return (box = FindWindowW(L"#32770", L"Morvane网页版")) != nullptr; }, 10000));
    EXPECT_FALSE(IsCached(L"http://127.0.0.1:9/cached.swf"));
    EXPECT_FALSE(IsWindow(menu)) << "the menu closed";

    // Chosen again while the box is open, the row still closes the menu (the
    // second run itself ends at once: see the cache-clearing tests).
    HWND second = OpenTitleMenu();
    ClickRow(second, 0);
    ASSERT_TRUE(test::PumpUntil([&] { return !IsWindow(second); }));
    // The frame stays responsive meanwhile.
    DWORD_PTR answer = 0;
    EXPECT_TRUE(SendMessageTimeoutW(h.Frame(), WM_NULL, 0, 0, SMTO_NORMAL, 2000, &answer));

    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(test::PumpUntil([&] { return !g_cacheClearing; }, 5000));
}

TEST_F(GameView, NotificationMenuBringsTheWindowBackOrCloses)
{
    SendMessageW(h.Frame(), WM_HOTKEY, CFrameGame::HOTKEY_BOSS, 0);
    ASSERT_FALSE(IsWindowVisible(h.Frame()));
    SetCursorPos(600, 500);
    SendMessageW(h.Frame(), CFrameGame::WM_TRAYNOTIFY, CFrameGame::kNotifyIconId, WM_RBUTTONUP);
    HWND menu = h.frame->m_trayMenu.m_hWnd;
    ASSERT_TRUE(menu && IsWindowVisible(menu));
    EXPECT_EQ(RowText(h.frame->m_trayMenu, 10017), L"系统设置");
    EXPECT_EQ(RowText(h.frame->m_trayMenu, 10018), L"关闭");
    ClickRow(menu, 0); // 系统设置
    ASSERT_TRUE(test::PumpUntil([&] { return IsWindowVisible(h.Frame()); }));
    EXPECT_FALSE(h.frame->m_bossHidden);
    EXPECT_FALSE(NotifyIconPresent(h.Frame()));
    EXPECT_TRUE(test::PumpUntil([&] { return !IsWindow(menu); }));

    // A double click on the icon does the same.
    SendMessageW(h.Frame(), WM_HOTKEY, CFrameGame::HOTKEY_BOSS, 0);
    SendMessageW(h.Frame(), CFrameGame::WM_TRAYNOTIFY, CFrameGame::kNotifyIconId, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(IsWindowVisible(h.Frame()));
    EXPECT_FALSE(NotifyIconPresent(h.Frame()));

    // 关闭 closes at once, without asking.
    SendMessageW(h.Frame(), WM_HOTKEY, CFrameGame::HOTKEY_BOSS, 0);
    SendMessageW(h.Frame(), CFrameGame::WM_TRAYNOTIFY, CFrameGame::kNotifyIconId, WM_RBUTTONUP);
    menu = h.frame->m_trayMenu.m_hWnd;
    ASSERT_TRUE(menu && IsWindowVisible(menu));
    HWND frame = h.Frame();
    ClickRow(menu, 1);
    EXPECT_TRUE(test::PumpUntil([&] { return !IsWindow(frame); }));
    EXPECT_TRUE(VisibleWindows(L"zarvopellis").empty()) << "no confirmation";
    EXPECT_FALSE(NotifyIconPresent(frame));
}

TEST_F(GameView, NotificationMessagesOfOtherIconsAreSwallowed)
{
    EXPECT_EQ(SendMessageW(h.Frame(), CFrameGame::WM_TRAYNOTIFY, 99, WM_RBUTTONUP), 1);
    EXPECT_EQ(h.frame->m_trayMenu.m_hWnd, nullptr);
    EXPECT_EQ(SendMessageW(h.Frame(), CFrameGame::WM_TRAYNOTIFY, 128, WM_MOUSEMOVE), 0);
}

TEST_F(GameView, NotificationMenuSitsAtThePointerAndAboveTheTaskBar)
{
    const RECT work = WorkArea();
    SetCursorPos(600, 500);
    SendMessageW(h.Frame(), CFrameGame::WM_TRAYNOTIFY, CFrameGame::kNotifyIconId, WM_RBUTTONUP);
    HWND menu = h.frame->m_trayMenu.m_hWnd;
    ASSERT_NE(menu, nullptr);
    RECT r = WindowRect(menu);
    EXPECT_EQ(r.left, 600 - 30) << "a task bar at the bottom";
    EXPECT_EQ(r.top, 500 - 48);
    ShowWindow(menu, SW_HIDE);

    // A task bar docked at the side: the work area is narrower than the screen.
    RECT side = work;
    side.left += 60;
    ASSERT_TRUE(SystemParametersInfoW(SPI_SETWORKAREA, 0, &side, 0));
    SetCursorPos(700, work.bottom - 1);
    SendMessageW(h.Frame(), CFrameGame::WM_TRAYNOTIFY, CFrameGame::kNotifyIconId, WM_RBUTTONUP);
    r = WindowRect(menu);
    SystemParametersInfoW(SPI_SETWORKAREA, 0, const_cast<RECT*>(&work), 0);
    EXPECT_EQ(r.left, 700 - 96);
    EXPECT_EQ(r.top, std::min<int>(work.bottom - 1, side.bottom - side.top) - 48);
}

TEST_F(GameView, CloseButtonAsksAndOnlyConfirmCloses)
{
    HWND frame = h.Frame();
    {
        frametest::ConfirmAnswerer answerer(frametest::ConfirmAnswerer::Cancel);
        PostClick(frame, Right() - 13, 12);
        ASSERT_TRUE(answerer.Done());
        EXPECT_EQ(answerer.owner, frame);
        test::PumpUntil([&] { return !IsWindow(answerer.window); });
    }
    EXPECT_TRUE(IsWindowVisible(frame)) << "取消 leaves the frame";
    frametest::ConfirmAnswerer answerer(frametest::ConfirmAnswerer::Confirm);
    PostClick(frame, Right() - 13, 12);
    ASSERT_TRUE(answerer.Done());
    EXPECT_TRUE(test::PumpUntil([&] { return !IsWindow(frame); }));
}

TEST_F(GameView, TitleBarLinksOpenThePortalPages)
{
    test::UrlCapture capture;
    ASSERT_TRUE(capture.Ready());
    const int r = Right();
    for (int anchor : {100, 145, 190, 235})
        PostClick(h.Frame(), r - anchor - 20, 12);
    ASSERT_TRUE(capture.WaitFor(4));
    const std::vector<std::wstring> expected = {L"http://127.0.0.1:9/kf/", L"http://forum.test:8081/forum-2110-1.html",
                                                L"http://127.0.0.1:9/games/vorn/", L"http://pay.test:8082/"};
    auto urls = capture.Urls();
    std::sort(urls.begin(), urls.end());
    auto sorted = expected;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(urls, sorted);
}

TEST_F(GameView, ScriptTitleIsDrawnInTheTitleBarAtOnce)
{
    auto whitePixels = [&] {
        POINT origin = {0, 0};
        ClientToScreen(h.Frame(), &origin);
        HDC screen = GetDC(nullptr);
        int white = 0;
        for (int y = 6; y < 22; ++y)
            for (int x = 22; x < 200; ++x) {
                const COLORREF c = GetPixel(screen, origin.x + x, origin.y + y);
                white += GetRValue(c) > 200 && GetGValue(c) > 200 && GetBValue(c) > 200;
            }
        ReleaseDC(nullptr, screen);
        return white;
    };
    UpdateWindow(h.Frame());
    EXPECT_EQ(whitePixels(), 0) << "no title yet";
    ASSERT_TRUE(h.OnUiThread([&] { h.frame->HandleExternalCall(3000, {L"Server 1 - Morvane"}); }));
    EXPECT_TRUE(test::PumpUntil([&] { return whitePixels() > 20; })) << "the title shows without another repaint";
}
