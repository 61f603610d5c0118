// What the pages make of the client, driven through the browser site's real
// event sink on the UI thread (where the control raises its events), with fake
// documents where the page would be read.

#include "FrameTestSupport.h"
#include "tests/browser/CallArguments.h"
#include "tests/browser/ControlEvents.h"
#include "tests/browser/FakeDocument.h"

#include <gtest/gtest.h>

#include <algorithm>

using frametest::FrameHarness;

namespace {

class PageContract : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(h.Start());
        ASSERT_TRUE(h.OnUiThread([&] { h.Site().SetDocumentOverride(static_cast<IHTMLDocument2*>(&document)); }));
        siteRefs = document.Refs(); // the site keeps the document it was handed
    }
    void TearDown() override
    {
        h.OnUiThread([&] { h.Site().SetDocumentOverride(nullptr); });
        h.Stop();
    }

    void DocumentComplete(const wchar_t* url)
    {
        ASSERT_TRUE(
            h.OnUiThread([&] { test::FireDocumentComplete(h.Site(), static_cast<IHTMLDocument2*>(&document), url); }));
    }
    void NavigateComplete(const wchar_t* url)
    {
        ASSERT_TRUE(
            h.OnUiThread([&] { test::FireNavigateComplete(h.Site(), static_cast<IHTMLDocument2*>(&document), url); }));
    }
    // window.external.zarvo_title(text), as a page script calls it.
    void ScriptSetsTitle(const wchar_t* text)
    {
        ASSERT_TRUE(h.OnUiThread([&] {
            IDispatch* external = nullptr;
            ASSERT_EQ(h.Site().GetExternal(&external), S_OK);
            OLECHAR name[] = L"zarvo_title";
            LPOLESTR names[] = {name};
            DISPID id = 0;
            ASSERT_EQ(external->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
            test::CallArguments args;
            args.String(text);
            VARIANT result;
            VariantInit(&result);
            EXPECT_EQ(external->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, args.Params(), &result,
                                       nullptr, nullptr),
                      S_OK);
            EXPECT_EQ(V_VT(&result), VT_BSTR);
            VariantClear(&result);
            external->Release();
        }));
    }
    bool GameMode() { return h.frame->m_gameMode; }
    void WaitForEnterTimer()
    {
        ASSERT_TRUE(test::PumpUntil([&] { return h.frame->Count(WM_TIMER, CFrameGame::TIMER_ENTER_GAME) > 0; }, 5000));
    }

    // Watches the navigations the real control reports as it starts them; it
    // outlives the harness, whose control may report one while it closes.
    bool WatchNavigations()
    {
        return h.OnUiThread([&] { test::RecordNavigations(h.Site(), navigations); });
    }

    test::EventLog navigations;
    FrameHarness h;
    test::FakeDocument document;
    LONG siteRefs = 0;
};

constexpr UINT kFrameCommand = CFrameGame::WM_FRAMECOMMAND;
constexpr WPARAM kEnterGame = CFrameGame::FRAME_CMD_ENTER_GAME;

} // namespace

TEST_F(PageContract, ServerListGivesTheLoginUserToTheApplication)
{
    test::FakeElement& user = document.AddElement(L"login_user");
    user.hasInnerText = true;
    user.innerText = L"星辰玩家";
    NavigateComplete(L"http://127.0.0.1:9/games/vorn/xf.html?user=a");
    EXPECT_STREQ(h.app.m_userName, L"星辰玩家");
    EXPECT_STREQ(h.frame->m_loginUser, L"星辰玩家");

    user.innerText = L"第二位";
    DocumentComplete(L"http://127.0.0.1:9/games/vorn/xf.html?user=b");
    EXPECT_STREQ(h.app.m_userName, L"第二位");
    test::PumpPending();
    EXPECT_FALSE(GameMode());
    EXPECT_EQ(document.Refs(), siteRefs) << "every reference taken on the page was given back";
}

TEST_F(PageContract, LongUserNamesAreCutToTheirBuffers)
{
    test::FakeElement& user = document.AddElement(L"login_user");
    user.hasInnerText = true;
    user.innerText = std::wstring(10000, L'名');
    DocumentComplete(L"http://h/xf.html");
    EXPECT_EQ(std::wstring(h.frame->m_loginUser), std::wstring(63, L'名'));
    EXPECT_EQ(std::wstring(h.app.m_userName), std::wstring(63, L'名'));
}

TEST_F(PageContract, GamePageSwitchesAtOnceWhenItsDocumentCompletes)
{
    DocumentComplete(L"http://h/games/vorn/play?server=1&type=pc");
    ASSERT_TRUE(test::PumpUntil([&] { return GameMode(); }, 2000));
    EXPECT_EQ(h.frame->Count(kFrameCommand, kEnterGame), 1);
    EXPECT_EQ(h.frame->Count(WM_TIMER, CFrameGame::TIMER_ENTER_GAME), 0) << "no timer was needed";
}

TEST_F(PageContract, GamePageSwitchesOneAndAHalfSecondsAfterItsNavigation)
{
    NavigateComplete(L"http://h/games/vorn/play?server=2&client=1");
    test::PumpPending();
    EXPECT_FALSE(GameMode()) << "not before the timer";
    WaitForEnterTimer();
    ASSERT_TRUE(test::PumpUntil([&] { return GameMode(); }, 2000));
    EXPECT_EQ(h.frame->Count(kFrameCommand, kEnterGame), 1);
    EXPECT_EQ(h.frame->log.Starting(L"arm "),
              (std::vector<std::wstring>{frametest::ObservedFrame::Armed(CFrameGame::TIMER_ENTER_GAME, 1500),
                                         frametest::ObservedFrame::Armed(CFrameGame::TIMER_MAXIMIZE, 500)}))
        << "the switch 1.5 s after the navigation, the maximise half a second later";
}

TEST_F(PageContract, NavigationAndDocumentOfOneGamePageSwitchOnce)
{
    NavigateComplete(L"http://h/play?type=pc");
    DocumentComplete(L"http://h/play?type=pc");
    ASSERT_TRUE(test::PumpUntil([&] { return GameMode(); }, 2000));
    WaitForEnterTimer();
    test::PumpPending();
    EXPECT_EQ(h.frame->Count(kFrameCommand, kEnterGame), 1) << "the timer found the game view and only stopped";

    // A game page reached in the game view only re-fits the browser.
    DocumentComplete(L"http://h/play?type=pc&again=1");
    test::PumpPending();
    EXPECT_EQ(h.frame->Count(kFrameCommand, kEnterGame), 1);
}

TEST_F(PageContract, ServerListThatIsAlsoAGamePageDoesBoth)
{
    test::FakeElement& user = document.AddElement(L"login_user");
    user.hasInnerText = true;
    user.innerText = L"双标记";
    DocumentComplete(L"http://h/xf.html?type=pc");
    EXPECT_STREQ(h.app.m_userName, L"双标记");
    EXPECT_TRUE(test::PumpUntil([&] { return GameMode(); }, 2000));
}

TEST_F(PageContract, DocumentTitleShowsUntilAScriptSetsOne)
{
    document.hasTitle = true;
    document.title = L"服务器列表";
    DocumentComplete(L"http://h/xf.html");
    EXPECT_EQ(h.frame->TitleText(), L"服务器列表");

    document.title = std::wstring(400, L'长');
    DocumentComplete(L"http://h/other.html");
    EXPECT_EQ(h.frame->TitleText(), std::wstring(259, L'长')) << "cut to the title buffer";

    ScriptSetsTitle(L"一区 - Morvane网页版");
    EXPECT_EQ(h.frame->TitleText(), L"一区 - Morvane网页版");
    document.title = L"文档标题";
    DocumentComplete(L"http://h/later.html");
    EXPECT_EQ(h.frame->TitleText(), L"一区 - Morvane网页版") << "a script's title is never replaced by a document's";

    ScriptSetsTitle(std::wstring(100000, L't').c_str());
    EXPECT_EQ(h.frame->TitleText(), std::wstring(259, L't'));
}

TEST_F(PageContract, ScriptCallsWithOtherArgumentCountsAreIgnored)
{
    ASSERT_TRUE(h.OnUiThread([&] {
        std::wstring result = h.frame->HandleExternalCall(3000, {});
        EXPECT_EQ(result, L"");
        result = h.frame->HandleExternalCall(3000, {L"a", L"b"});
        EXPECT_EQ(result, L"");
        h.frame->HandleExternalCall(3001, {L"c"});
    }));
    EXPECT_EQ(h.frame->TitleText(), L"");
    EXPECT_FALSE(h.frame->m_titleFromScript);
}

TEST_F(PageContract, NoticeTitleSendsTheLoginViewBackToTheStartPage)
{
    ASSERT_TRUE(WatchNavigations());
    document.hasTitle = true;
    document.title = L"温馨提示 - 服务器维护";
    DocumentComplete(L"http://127.0.0.1:9/games/vorn/notice");
    // The real control starts the navigation and reports it before it fetches.
    EXPECT_TRUE(navigations.WaitFor(L"before http://127.0.0.1:9/games/vorn/dlq"));
}

TEST_F(PageContract, NoticeTitleInTheGameViewStays)
{
    ASSERT_TRUE(h.EnterGameView());
    ASSERT_TRUE(WatchNavigations());
    document.hasTitle = true;
    document.title = L"温馨提示";
    DocumentComplete(L"http://127.0.0.1:9/games/vorn/notice");
    // A navigation asked for afterwards marks the point by which one to the start
    // page would have been reported.
    h.frame->m_html.Navigate(L"http://127.0.0.1:9/marker", 0);
    ASSERT_TRUE(navigations.WaitFor(L"before http://127.0.0.1:9/marker"));
    EXPECT_TRUE(navigations.Exactly({L"before http://127.0.0.1:9/marker"})) << "the game view stayed on its page";
    EXPECT_EQ(h.frame->TitleText(), L"温馨提示");
}

TEST_F(PageContract, NewWindowsOpenInTheDefaultBrowserInstead)
{
    test::UrlCapture capture;
    ASSERT_TRUE(capture.Ready());
    VARIANT_BOOL cancel = VARIANT_FALSE;
    IDispatch* newWindow = nullptr;
    ASSERT_TRUE(h.OnUiThread([&] {
        test::FireNewWindow(h.Site(), &newWindow, &cancel, 0, L"http://h/play", L"http://h/games/vorn/?from=game");
    }));
    EXPECT_EQ(cancel, VARIANT_TRUE) << "the embedded browser opens no window of its own";
    ASSERT_TRUE(capture.WaitFor(1));
    EXPECT_EQ(capture.Urls().front(), L"http://h/games/vorn/?from=game");

    // Anything but a web page is refused: a page must not start local programs.
    cancel = VARIANT_FALSE;
    ASSERT_TRUE(h.OnUiThread([&] {
        test::FireNewWindow(h.Site(), &newWindow, &cancel, 0, L"http://h/play", L"file:///C:/windows/notepad.exe");
    }));
    EXPECT_EQ(cancel, VARIANT_TRUE);
    ASSERT_TRUE(h.OnUiThread(
        [&] { test::FireNewWindow(h.Site(), &newWindow, &cancel, 0, L"http://h/play", L"https://h/pay"); }));
    ASSERT_TRUE(capture.WaitFor(2));
    const auto urls = capture.Urls();
    ASSERT_EQ(urls.size(), 2u);
    EXPECT_EQ(urls[1], L"https://h/pay");
}

TEST_F(PageContract, WithoutADocumentNothingHappens)
{
    ASSERT_TRUE(h.OnUiThread([&] { h.Site().SetDocumentOverride(nullptr); }));
    // Wine's control has no document: a completed game page must not switch views.
    DocumentComplete(L"http://h/play?type=pc");
    test::PumpPending();
    EXPECT_FALSE(GameMode());
}
