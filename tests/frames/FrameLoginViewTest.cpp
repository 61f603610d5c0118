// The login view: the launcher with the page area over its dark panel.

#include "FrameTestSupport.h"
#include "GuardedHeap.h"
#include "tests/browser/ControlEvents.h"
#include "tests/browser/FakeDocument.h"
#include "tests/ui/skin/SkinTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using frametest::ClassOf;
using frametest::FrameHarness;
using frametest::PostClick;
using frametest::WindowRect;

TEST(LoginView, LauncherCentredAndFrameOverItsPanel)
{
    FrameHarness h;
    ASSERT_TRUE(h.Start());
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int bx = (work.right - work.left - 1154) / 2;
    const int by = (work.bottom - work.top - 704) / 2;

    const RECT launcher = WindowRect(h.Launcher());
    EXPECT_EQ(ClassOf(h.Launcher()), L"zarvo_back");
    EXPECT_EQ(launcher.left, bx);
    EXPECT_EQ(launcher.top, by);
    EXPECT_EQ(launcher.right - launcher.left, 1154);
    EXPECT_EQ(launcher.bottom - launcher.top, 704);
    const LONG launcherEx = GetWindowLongW(h.Launcher(), GWL_EXSTYLE);
    EXPECT_TRUE(launcherEx & WS_EX_LAYERED);
    EXPECT_TRUE(launcherEx & WS_EX_TOOLWINDOW) << "no task-bar button of its own";
    EXPECT_FALSE(launcherEx & WS_EX_APPWINDOW);

    const RECT frame = WindowRect(h.Frame());
    EXPECT_EQ(ClassOf(h.Frame()), L"zarvoostrel");
    EXPECT_EQ(frame.left, bx + 377);
    EXPECT_EQ(frame.top, by + 208);
    EXPECT_EQ(frame.right - frame.left, 600);
    EXPECT_EQ(frame.bottom - frame.top, 386);
    EXPECT_EQ(GetWindow(h.Frame(), GW_OWNER), h.Launcher()) << "the launcher owns the frame";
    EXPECT_TRUE(GetWindowLongW(h.Frame(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    wchar_t title[64] = {};
    GetWindowTextW(h.Frame(), title, 64);
    EXPECT_STREQ(title, L"Morvane网页版");

    // The browser window covers the frame's whole client area, on the UI thread.
    HWND html = h.frame->m_html.m_hWnd;
    EXPECT_EQ(GetParent(html), h.Frame());
    EXPECT_EQ(GetWindowThreadProcessId(html, nullptr), h.uiManager.m_threadId);
    RECT htmlRect = WindowRect(html);
    EXPECT_EQ(htmlRect.left, frame.left);
    EXPECT_EQ(htmlRect.right - htmlRect.left, 600);
    EXPECT_EQ(htmlRect.bottom - htmlRect.top, 386);
    EXPECT_FALSE(h.frame->m_gameMode);
}

namespace {
// The launcher alone, its pushes to the screen caught from the first on.
class CapturedLauncher : public CFrameBack {
public:
    void OnCreate(CREATESTRUCTW* create) override
    {
        CFrameBack::OnCreate(create);
        paint.updateLayered = skintest::LayeredCapture::Function();
    }
};
} // namespace

TEST(LoginView, TheLauncherPushesItsImageWhenShownAndNotWhileHidden)
{
    test::ThreadManager manager;
    skintest::LayeredCapture capture;
    CapturedLauncher launcher;
    ASSERT_TRUE(launcher.Create(0, nullptr, nullptr, WS_POPUP | WS_VISIBLE, 30, 20, 1154, 704, nullptr));
    // Created shown, as start-up makes it: one image, the artwork.
    ASSERT_EQ(capture.Pushes().size(), 1u) << "creating and showing the launcher pushes one image";
    const skintest::LayeredPush& first = capture.Pushes().front();
    EXPECT_EQ(first.size.cx, 1154);
    EXPECT_EQ(first.size.cy, 704);
    EXPECT_EQ(skintest::Alpha(first.At(0, 0)), 0);
    EXPECT_EQ(skintest::Alpha(first.At(377 + 300, 208 + 193)), 255) << "the panel under the page area";
    const DWORD panel = first.At(377 + 300, 208 + 193);
    const DWORD crest = first.At(600, 100);

    // Hidden, a new size pushes nothing; shown again, the new size is pushed.
    ShowWindow(launcher.m_hWnd, SW_HIDE);
    capture.Reset();
    MoveWindow(launcher.m_hWnd, 30, 20, 900, 500, TRUE);
    EXPECT_TRUE(capture.Pushes().empty());
    ShowWindow(launcher.m_hWnd, SW_SHOWNA);
    ASSERT_EQ(capture.Pushes().size(), 1u);
    EXPECT_EQ(capture.Pushes().front().size.cx, 900);
    EXPECT_EQ(capture.Pushes().front().size.cy, 500);
    // Shown, a new size is pushed at once.
    capture.Reset();
    MoveWindow(launcher.m_hWnd, 30, 20, 1154, 704, TRUE);
    ASSERT_EQ(capture.Pushes().size(), 1u);
    EXPECT_EQ(capture.Pushes().front().size.cx, 1154);
    // With no pointer over it, the artwork's pixels are let go once pushed, and
    // the next push shows them all the same.
    EXPECT_EQ(launcher.paint.FindStatic(CFrameBack::kArtworkId)->image, nullptr);
    capture.Reset();
    launcher.paint.Redraw();
    ASSERT_EQ(capture.Pushes().size(), 1u);
    EXPECT_EQ(capture.Pushes().front().At(377 + 300, 208 + 193), panel);
    EXPECT_EQ(capture.Pushes().front().At(600, 100), crest);
    DestroyWindow(launcher.m_hWnd);
}

TEST(LoginView, StartUpAsksTheUiThreadToCreateNavigateAndSilence)
{
    FrameHarness h;
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(test::PumpUntil([&] { return h.uiManager.Executed().size() >= 4; }));
    const auto executed = h.uiManager.Executed();
    // The probe's own creation is first; the frame's requests follow in this order.
    std::vector<int> frameRequests(executed.begin() + 1, executed.end());
    ASSERT_GE(frameRequests.size(), 3u);
    EXPECT_EQ(frameRequests[0], REQUEST_CREATE);
    EXPECT_EQ(frameRequests[1], REQUEST_NAVIGATE);
    EXPECT_EQ(frameRequests[2], REQUEST_SET_SILENT);
    VARIANT_BOOL silent = VARIANT_FALSE;
    ASSERT_TRUE(test::PumpUntil([&] {
        h.OnUiThread([&] { h.Site().WebBrowser()->get_Silent(&silent); });
        return silent == VARIANT_TRUE;
    }));
    // Names for the page's scripts are in place before the first page.
    EXPECT_EQ(h.Site().m_external.m_names.at(3000), L"zarvo_title");
}

TEST(LoginView, MovingTheLauncherCarriesTheFrame)
{
    FrameHarness h;
    ASSERT_TRUE(h.Start());
    const RECT before = WindowRect(h.Launcher());
    MoveWindow(h.Launcher(), before.left + 40, before.top + 25, 1154, 704, TRUE);
    const RECT frame = WindowRect(h.Frame());
    EXPECT_EQ(frame.left, before.left + 40 + 377);
    EXPECT_EQ(frame.top, before.top + 25 + 208);
    EXPECT_EQ(frame.right - frame.left, 600);
    EXPECT_EQ(frame.bottom - frame.top, 386);
}

TEST(LoginView, MinimiseHidesTheLauncherAndRestoreBringsBoth)
{
    FrameHarness h;
    ASSERT_TRUE(h.Start());
    PostClick(h.Launcher(), 1058, 196); // the launcher's minimise button
    ASSERT_TRUE(test::PumpUntil([&] { return IsIconic(h.Frame()) && !IsWindowVisible(h.Launcher()); }));

    // Restoring the frame from the task bar.
    SendMessageW(h.Frame(), WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(test::PumpUntil([&] { return !IsIconic(h.Frame()) && IsWindowVisible(h.Launcher()); }));

    // As the system sends them, with its own bits in the low four (here: given with the mouse).
    SendMessageW(h.Frame(), WM_SYSCOMMAND, SC_MINIMIZE | 2, 0);
    EXPECT_TRUE(test::PumpUntil([&] { return !IsWindowVisible(h.Launcher()); }));
    SendMessageW(h.Frame(), WM_SYSCOMMAND, SC_RESTORE | 2, 0);
    EXPECT_TRUE(test::PumpUntil([&] { return IsWindowVisible(h.Launcher()); }));

    // Hiding and showing the frame takes the launcher along.
    ShowWindow(h.Frame(), SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(h.Launcher()));
    ShowWindow(h.Frame(), SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(h.Launcher()));
}

TEST(LoginView, PortalButtonsOpenTheirPagesInTheDefaultBrowser)
{
    test::UrlCapture capture;
    ASSERT_TRUE(capture.Ready());
    FrameHarness h(L"portal.test:8080");
    ASSERT_TRUE(h.Start());
    const POINT buttons[] = {{542, 183}, {939, 183}, {843, 183}, {450, 183}}; // 官方网站 游戏论坛 客服中心 充值中心
    for (const POINT& p : buttons)
        PostClick(h.Launcher(), p.x, p.y);
    ASSERT_TRUE(capture.WaitFor(4));
    auto urls = capture.Urls();
    std::sort(urls.begin(), urls.end());
    const std::vector<std::wstring> expected = {L"http://forum.test:8081/forum-2110-1.html", L"http://pay.test:8082/",
                                                L"http://portal.test:8080/games/vorn/", L"http://portal.test:8080/kf/"};
    EXPECT_EQ(urls, expected);
    EXPECT_TRUE(IsWindowVisible(h.Launcher())) << "the launcher stays";
}

TEST(LoginView, CloseAsksAndCancelLeavesEverything)
{
    FrameHarness h;
    ASSERT_TRUE(h.Start());
    {
        frametest::ConfirmAnswerer answerer(frametest::ConfirmAnswerer::Cancel);
        PostClick(h.Launcher(), 1045, 171); // the launcher's close button
        ASSERT_TRUE(answerer.Done());
        EXPECT_EQ(answerer.owner, h.Launcher());
        test::PumpUntil([&] { return !IsWindow(answerer.window); });
    }
    EXPECT_TRUE(IsWindowVisible(h.Launcher()));
    EXPECT_TRUE(IsWindowVisible(h.Frame()));

    frametest::ConfirmAnswerer answerer(frametest::ConfirmAnswerer::Confirm);
    PostClick(h.Launcher(), 1045, 171);
    ASSERT_TRUE(answerer.Done());
    EXPECT_TRUE(test::PumpUntil([&] { return !IsWindow(h.Frame()); })) << "the frame closes after 确定";
    EXPECT_TRUE(test::PumpUntil([&] { return !IsWindow(h.Launcher()); })) << "and takes the launcher along";
}

TEST(LoginView, BossKeyIsNotTakenBeforeTheGameView)
{
    FrameHarness h;
    ASSERT_TRUE(h.Start());
    HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(RegisterHotKey(probe, 1, MOD_ALT, 'D')) << "Alt+D is still free";
    UnregisterHotKey(probe, 1);
    DestroyWindow(probe);
}

namespace {
// The launcher's close button asks in a message loop of its own, and the click
// is still being handled while the question is open. The frames live on
// guarded pages here: if the click came back to a launcher button that went
// meanwhile, the read would end the test program.
class CloseQuestionOpen : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(h.Start());
        ASSERT_TRUE(frametest::GuardedHeapScope::Holds(h.frame->m_back.paint.FindButton(CFrameBack::kCloseId)));
    }
    void TearDown() override
    {
        h.OnUiThread([&] { h.Site().SetDocumentOverride(nullptr); });
        h.Stop();
    }

    frametest::GuardedHeapScope guarded; // open before the frames are made
    FrameHarness h;
    test::FakeDocument document;
};
} // namespace

TEST_F(CloseQuestionOpen, GamePageTurnsTheLauncherIntoTheShadowThenCancelKeepsTheGameView)
{
    ASSERT_TRUE(h.OnUiThread([&] { h.Site().SetDocumentOverride(static_cast<IHTMLDocument2*>(&document)); }));
    // The page's command reaches the frame's queue before the answer does, so
    // the launcher loses its buttons while the question is still open.
    frametest::ConfirmAnswerer answerer(frametest::ConfirmAnswerer::Cancel, [&] {
        h.OnUiThread([&] {
            test::FireDocumentComplete(h.Site(), static_cast<IHTMLDocument2*>(&document),
                                       L"http://127.0.0.1:9/games/vorn/play?type=pc");
        });
    });
    PostClick(h.Launcher(), 1045, 171); // the launcher's close button
    ASSERT_TRUE(answerer.Done());
    EXPECT_TRUE(test::PumpUntil([&] { return !IsWindow(answerer.window); }));
    EXPECT_EQ(h.frame->Count(CFrameGame::WM_FRAMECOMMAND, CFrameGame::FRAME_CMD_ENTER_GAME), 1);

    EXPECT_TRUE(h.frame->m_back.m_shadowMode);
    EXPECT_TRUE(h.frame->m_back.paint.buttons.empty());
    EXPECT_EQ(h.frame->m_back.paint.hotButton, nullptr);
    EXPECT_FALSE(h.frame->m_back.paint.captured) << "no capture left on the shadow";
    EXPECT_TRUE(IsWindow(h.Launcher())) << "取消 keeps the shadow";
    EXPECT_TRUE(test::PumpUntil([&] { return IsZoomed(h.Frame()) && IsWindowVisible(h.Frame()); }))
        << "and the game view";
}

TEST_F(CloseQuestionOpen, ClientClosedByCommandTakesTheQuestionAlong)
{
    frametest::ConfirmAnswerer answerer(frametest::ConfirmAnswerer::None, [&] {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(h.Frame(), CFrameGame::WM_FRAMECOMMAND, CFrameGame::FRAME_CMD_CLOSE, 0, SMTO_NORMAL, 10000,
                            &ignored);
    });
    HWND frame = h.Frame();
    HWND launcher = h.Launcher();
    PostClick(launcher, 1045, 171);
    ASSERT_TRUE(answerer.Done());
    EXPECT_TRUE(test::PumpUntil([&] { return !IsWindow(answerer.window); })) << "the question went with its owner";
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_FALSE(IsWindow(launcher));
    EXPECT_TRUE(h.frame->m_back.paint.buttons.empty());
    EXPECT_EQ(h.frame->m_back.paint.hwnd, nullptr);
}
