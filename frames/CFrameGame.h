#pragma once
// The client's main window. In the login view it is the 600 x 386 page area
// over the launcher's dark panel; when the browser reaches a game page it turns,
// once and for good, into a resizable skinned window with a title bar (icon,
// title, portal links, menu, minimise, maximise/restore, close) above the page,
// maximised (or as the player left it last time), with the launcher as its
// shadow. There the player can go full screen, take screenshots of the page and
// mute the game. It owns the two menus, the boss key, the notification icon and
// the browser window, and runs the main thread's modal loop for the client's
// whole visible life.

#include "app/PortalSite.h"
#include "browser/CMyHtml.h"
#include "frames/BossKey.h"
#include "frames/BossKeyPeers.h"
#include "frames/CFrameBack.h"
#include "frames/CNoticeTip.h"
#include "frames/PlayerKeys.h"
#include "frames/PlayerSettings.h"
#include "frames/Screenshot.h"
#include "frames/SessionMute.h"
#include "frames/TrayIcon.h"
#include "ui/skin/CImageCtrl.h"
#include "ui/skin/CImageMenu.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CFrameGame : public CImageCtrl {
public:
    // The frame's window messages, timers and hot key.
    static constexpr UINT WM_FRAMECOMMAND = 2277;
    static constexpr WPARAM FRAME_CMD_ENTER_GAME = 1001;
    static constexpr WPARAM FRAME_CMD_CLOSE = 5557;
    static constexpr UINT WM_TRAYNOTIFY = 5556;
    static constexpr UINT_PTR TIMER_ENTER_GAME = 5558;
    static constexpr UINT_PTR TIMER_MAXIMIZE = 5559;
    static constexpr int HOTKEY_BOSS = 5561;
    // Asks the frame's own thread to arm TIMER_ENTER_GAME (a timer belongs to
    // the thread of its window, and page events arrive on the UI thread).
    static constexpr UINT WM_ARM_ENTER_TIMER = WM_APP + 1;
    // A player command (PlayerCommand in wParam) from a keystroke in the page,
    // which arrives on the UI thread; the frame runs it on its own.
    static constexpr UINT WM_PLAYER_COMMAND = WM_APP + 2;
    // A screenshot chosen in the menu waits this long, so that the page has
    // repainted where the menu was.
    static constexpr UINT_PTR TIMER_SCREENSHOT = 5562;
    static constexpr UINT kMenuScreenshotDelayMs = 250;
    // The page reports a game page: the frame turns to the game view this long after.
    static constexpr UINT kEnterGameDelayMs = 1500;
    // A first game view, centred at its minimum size, is maximised this long after.
    static constexpr UINT kFirstMaximizeDelayMs = 500;
    // A picture has been stored (or could not be): its notice is due.
    static constexpr UINT WM_SCREENSHOT_STORED = WM_APP + 3;
    // News of the audio session (SessionMute's kMuteChanged, kDefaultDeviceChanged).
    static constexpr UINT WM_SESSION_NEWS = WM_APP + 4;
    static constexpr unsigned kTitleDispid = 3000;
    static constexpr UINT kNotifyIconId = 128;
    // The notification icon's side at 96 DPI (the small icon's).
    static constexpr int kNotifyIconSide = 16;
    // The window's icons (their side in pixels) while the frame is made, and
    // once its window exists.
    static constexpr int kFrameIconSide = 48;
    static constexpr int kWindowIconSide = 64;
    // The notification icon's menu opens this far left of the cursor (at 96
    // DPI), further beside a task bar docked left or right.
    static constexpr int kTrayMenuLeftOfCursor = 30;
    static constexpr int kTrayMenuLeftOfCursorBesideSideTaskBar = 96;

    // Title bar, menu rows and portal links.
    static constexpr int kTitleBarId = 10011;
    static constexpr int kTitleIconId = 10012;
    static constexpr int kMenuButtonId = 10013;
    static constexpr int kClearCacheRow = 10014;
    static constexpr int kRefreshRow = 10015;
    static constexpr int kBossKeyRow = 10016;
    static constexpr int kShowWindowRow = 10017;
    static constexpr int kCloseRow = 10018;
    static constexpr int kServiceLinkId = 10019;
    static constexpr int kForumLinkId = 10020;
    static constexpr int kHomeLinkId = 10021;
    static constexpr int kPayLinkId = 10022;
    static constexpr int kFullScreenRow = 10023;
    static constexpr int kScreenshotRow = 10024;
    static constexpr int kMuteRow = 10025;
    // Shown in the title bar while the game is muted; a click unmutes.
    static constexpr int kMuteIndicatorId = 10026;
    static constexpr int kZoomInRow = 10040;
    static constexpr int kZoomOutRow = 10041;
    static constexpr int kActualSizeRow = 10042;
    static constexpr int kFitRow = 10043;
    // Whether the game is muted while the boss key hides it; whether the game
    // view stays above other windows.
    static constexpr int kMuteWhileHiddenRow = 10030;
    static constexpr int kTopmostRow = 10031;
    // A row's icon button: the row's id plus this.
    static constexpr int kRowIconOffset = 1000;
    // Wide enough for the rows that name their keys.
    static constexpr int kMainMenuWidth = 176;
    static constexpr int kMenuRowHeight = 24;

    static constexpr int kTitleBarHeight = 25;
    static constexpr int kGameMinWidth = 1020;
    static constexpr int kGameMinHeight = 704;
    static constexpr int kTitleCapacity = 260;
    static constexpr int kLoginUserCapacity = 64;
    static constexpr int kTipCapacity = 128;
    static constexpr const wchar_t* kProductName = L"Morvane网页版";
    static constexpr const wchar_t* kFrameClass = L"zarvoostrel";
    // Navigate2's navNoHistory.
    static constexpr int kNavNoHistory = 2;

    CFrameGame();
    /* 0 */ ~CFrameGame() override;
    /* 4 */ BOOL PreTranslateMessage(MSG* msg) override;
    /* 5 */ LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    /* 6 */ void OnCreate(CREATESTRUCTW* create) override;
    /* 7 */ void OnDestroy() override;
    /* 8 */ void OnMove(int x, int y) override;
    /* 9 */ void OnSize(UINT type, int cx, int cy) override;
    /* 12 */ void OnGetMinMaxInfo(MINMAXINFO* info) override;
    /* 13 */ void OnShowWindow(BOOL show, UINT status) override;
    /* 14 */ void OnTimer(UINT_PTR timerId) override;
    /* 17 */ bool OnButtonClick(CImageButton* button) override;
    /* 22 */ void OnPaintForeground(Gdiplus::Graphics& g) override;

    // In the login view the page area is drawn at the launcher's scale.
    void FollowLauncherScale(DpiScale scale);
    // Creates the launcher and the frame and runs the modal loop until the
    // frame's window is gone.
    void Launch();
    // The windows of Launch, without its loop: false when the frame could not be created.
    bool CreateWindows();
    // The first of them, the launcher, shown with its first image; once only.
    // Start-up shows it before the UI thread is ready, which the page area,
    // the frame's own window, then waits for.
    void ShowLauncher();
    // Switches to the game view; only the first call acts.
    void EnterGameMode();
    // Ends the frame, as every way of closing the client does: destroys the
    // window, or, when the UI thread does not answer, hides it and ends the
    // modal loop without waiting on that thread.
    void Close();

    // The player's commands, in the game view only: from the keys wherever the
    // focus is inside the client, and from the menu.
    void RunPlayerCommand(PlayerCommand command);
    // Full screen: the frame covers the monitor it is on, the page fills it,
    // no title bar and no shadow; leaving it brings back the view as it was
    // (maximised or the restored rectangle). The page is never reloaded.
    void EnterFullScreen();
    void LeaveFullScreen();
    bool IsFullScreen() const { return m_fullScreen; }
    // Takes a picture of the page area, stores it and tells the player where
    // it went. With a delay (the menu's), or when the previous picture's
    // notice lies over the page area, the picture is taken once the page has
    // repainted there.
    void TakeScreenshot(bool delayed = false);
    // Mutes or unmutes the client's own audio session, keeps the choice for
    // the next start and shows it in the title bar and the menu. The game
    // view follows the session: what the system's volume mixer does to it is
    // shown and kept likewise.
    void SetMuted(bool muted);
    bool IsMuted() const { return m_muted; }
    // The page's zoom, the player's choice (a level of pagezoom::kLevels or
    // pagezoom::kFit): the page follows, the choice is kept for the next
    // start, and the title bar shows the level while it is not 100 %.
    void SetPageZoom(int choice);
    // One level up or down from the level the page is shown at (a fitted page's too).
    void StepPageZoom(int direction);
    // The title as the title bar draws it, with the zoom when it is not 100 %.
    std::wstring ShownTitle();
    // Whether the boss key mutes the game while it hides it; kept for the next start.
    void SetMuteWhileHidden(bool mute);
    // The game view above every window that is not itself kept on top, but
    // never in full screen (there it is off while full screen lasts); kept
    // for the next start.
    void SetTopmost(bool topmost);
    bool IsTopmost() const { return m_topmost; }
    // Keeps where the game view is, for the next start (game view only).
    void SaveGameView();

    void OnMainMenuItem(CImageItem* row);
    void OnTrayMenuItem(CImageItem* row);
    // Takes the commands of the system menu the frame answers itself: true when taken.
    bool OnSysCommand(WPARAM command);
    LRESULT OnHotKey(int id);
    LRESULT OnTrayNotify(WPARAM iconId, LPARAM mouseMessage);

    // Page events, on the UI thread.
    void HandleNavigateComplete(const wchar_t* url);
    void HandleDocumentComplete(IDispatch* disp, const wchar_t* url);
    void HandleNewWindow(IDispatch** ppDisp, VARIANT_BOOL* cancel, unsigned long flags, wchar_t* urlContext,
                         wchar_t* url);
    std::wstring HandleExternalCall(unsigned dispid, const std::vector<std::wstring>& args);
    void ReadLoginUser();

    // The page contract: plain, case-sensitive substring tests of the whole URL.
    static bool IsServerListUrl(const wchar_t* url);
    static bool IsGamePageUrl(const wchar_t* url);

    // The title bar's text as it stands.
    std::wstring TitleText();

    std::unique_ptr<Gdiplus::Font> m_titleFont;
    std::unique_ptr<Gdiplus::SolidBrush> m_titleBrush;
    CImageMenu m_mainMenu;
    CImageMenu m_trayMenu;
    CMyHtml m_html;
    CFrameBack m_back;
    std::atomic<bool> m_gameMode{false};
    wchar_t m_loginUser[kLoginUserCapacity] = {};
    wchar_t m_titleText[kTitleCapacity] = {};
    int m_hotKeyModifiers = 0;
    int m_hotKeyVirtualKey = 0;
    TrayIcon m_notifyIcon;
    ScopedIcon m_notifyIconImage;
    int m_notifyIconSize = 0;
    bool m_bossHidden = false;
    bool m_muteWhileHidden = true;
    std::atomic<bool> m_titleFromScript{false};

    BossKey m_bossKey;
    BossKeyPeers m_peers{kFrameClass};
    // The hot key while this client has it registered. One that has not may
    // still be covered by another client holding it (m_bossKey then names
    // that key).
    BossKeyHold m_bossKeyHold{m_peers, HOTKEY_BOSS};
    PortalSite m_portal;
    CNoticeTip m_notice;
    // The client's own audio session, opened with the game view (at the start
    // when the player left the game muted).
    SessionMute m_sessionMute;
    ScreenshotStore m_screenshots;

    // Opens a portal page in the user's default browser.
    static void OpenInBrowser(const std::wstring& url);

protected:
    // Every timer of the frame's window is armed here.
    virtual void ArmTimer(UINT_PTR timerId, UINT elapseMs);

private:
    void SetTitleText(const std::wstring& text);
    void InvalidateTitle();
    void AddMenuRow(CImageMenu& menu, int id, const std::wstring& text, int icon = 0);
    void HideAndDestroy(CImageMenu& menu);
    void ShowFromNotificationArea();
    void HideToNotificationArea();
    // A command from another client (BossKeyPeers::Command).
    LRESULT OnPeerCommand(WPARAM command);
    void AddNotifyIcon();
    void FollowWithShadow();
    void ShowZoomGlyph();
    // Where a launcher of this size goes: centred in the work area's size.
    static POINT LauncherOrigin(SIZE launcher);
    SIZE LauncherSize() const;
    void AddTitleBar();
    static std::unique_ptr<Gdiplus::Font> MakeTitleFont(const DpiScale& scale);
    // The title text's place in the title bar.
    RECT TitleTextRect() const;
    // Empties a menu made at another scale than the one it opens at next; its
    // rows, size and shadow are made for that one.
    void PrepareMenu(CImageMenu& menu, DpiScale scale, int width);
    // Moves to a monitor of another DPI (WM_DPICHANGED): laid out again at its scale.
    void OnDpiChanged(int dpi, const RECT& suggested);
    // A keystroke of the frame's windows (main thread) or of the page (UI
    // thread) that is one of the player's keys: true takes it from its window.
    bool TakePlayerKey(const MSG& msg, bool fromPage);
    void ShowKeptGameView(const GameViewRecord& kept);
    // Registers the boss key, or learns which key another client holds for
    // all; the menu row names what is in force.
    void TakeBossKey();
    // However the frame ends: the hot key goes (the other clients are told,
    // one of which takes it) and so does the notification icon.
    void EndBossKeyAndIcon();
    // Frame and shadow on top, or not, as the player chose and full screen allows.
    void ApplyTopmost();
    // The game view's minimum size at the window's scale.
    void SetGameMinimumSize();
    void NoteRestoredRect();
    void LayOut();
    void ShowNotice(const std::wstring& text);
    void OnScreenshotStored();
    bool OpenSession();
    // The session's mute as the system has it becomes the client's.
    void AdoptMute(bool muted);
    void OnSessionNews(WPARAM what, LPARAM value);
    void UpdateMuteLooks();
    std::wstring MuteRowText() const;
    void UpdateZoomLooks();
    int MuteRowIcon() const;
    // What the client's audio session should be now: the player's choice, or
    // muted while hidden by the boss key when the player wants that.
    bool SessionShouldBeMuted() const { return m_muted || (m_bossHidden && m_muteWhileHidden); }
    void ApplySessionMute();
    std::wstring MuteWhileHiddenRowText() const;
    std::wstring TopmostRowText() const;
    // A row of the title-bar menu, if it is there, takes new text (and icon).
    void UpdateMenuRow(int id, const std::wstring& text, int icon = 0);

    // Guards m_titleText: the UI thread writes it, the main thread paints it.
    std::mutex m_titleLock;
    // Broadcast when the shell (and its notification area) starts again.
    UINT m_taskbarCreated = 0;
    // Read by the page's keystrokes on the UI thread.
    std::atomic<bool> m_fullScreen{false};
    // The monitor's rectangle, held while full screen.
    RECT m_fullScreenRect = {};
    void HoldFullScreenRect(WINDOWPOS* pos) const;
    bool m_zoomedBeforeFullScreen = false;
    SIZE m_minSizeBeforeFullScreen = {};
    // The game view's rectangle when last neither maximised, minimised nor full screen.
    RECT m_restoredRect = {};
    bool m_muted = false;
    bool m_topmost = false;
    // Pictures asked for and waiting for TIMER_SCREENSHOT.
    int m_waitingScreenshots = 0;
};
