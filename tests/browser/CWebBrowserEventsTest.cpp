// The browser site's event sink, driven through Invoke with the arguments laid
// out as the control lays them out: last parameter first, by-reference variants
// where the control passes them.

#include "ControlEvents.h"
#include "FakeDocument.h"
#include "LiveSite.h"

#include <exdispid.h>
#include <gtest/gtest.h>

using test::EventArguments;
using test::Fire;
using test::LiveSite;

namespace {

// Records every callback of the site.
struct CallbackLog {
    explicit CallbackLog(CWebBrowser& site)
    {
        site.OnTitleChange = [this](const wchar_t* title) { Add(L"title " + std::wstring(title)); };
        site.OnDocumentComplete = [this](IDispatch* disp, const wchar_t* url) {
            lastDisp = disp;
            Add(L"document " + std::wstring(url));
        };
        site.OnNavigateComplete = [this](const wchar_t* url) { Add(L"navigated " + std::wstring(url)); };
        site.OnBeforeNavigate = [this](IDispatch* disp, const wchar_t* url, VARIANT_BOOL* cancel) {
            lastDisp = disp;
            lastCancel = cancel;
            if (cancel && cancelBeforeNavigate)
                *cancel = VARIANT_TRUE;
            Add(L"before " + std::wstring(url));
        };
        site.OnNewWindow = [this](IDispatch** ppDisp, VARIANT_BOOL*& cancel, unsigned long flags, wchar_t* context,
                                  wchar_t* url) {
            lastDispRef = ppDisp;
            lastCancel = cancel;
            *cancel = VARIANT_TRUE;
            Add(L"newwindow " + std::to_wstring(flags) + L" " + (context ? context : L"<null>") + L" " + url);
        };
        site.OnQuit = [this] { Add(L"quit"); };
    }
    void Add(std::wstring entry) { entries.push_back(std::move(entry)); }

    std::vector<std::wstring> entries;
    IDispatch* lastDisp = nullptr;
    IDispatch** lastDispRef = nullptr;
    VARIANT_BOOL* lastCancel = nullptr;
    bool cancelBeforeNavigate = false;
};

} // namespace

// ---------------------------------------------------------------- event sink

TEST(BrowserEvents, EachEventReachesItsCallbackWithTheArgumentsTheControlPasses)
{
    CWebBrowser site;
    CallbackLog log(site);
    test::FakeDocument frame;
    IDispatch* frameObject = static_cast<IHTMLDocument2*>(&frame);

    VARIANT_BOOL cancel = VARIANT_FALSE;
    log.cancelBeforeNavigate = true;
    EXPECT_EQ(test::FireBeforeNavigate(site, frameObject, L"http://127.0.0.1/games/vorn/xf.html", &cancel), S_OK);
    EXPECT_EQ(log.lastDisp, frameObject);
    EXPECT_EQ(log.lastCancel, &cancel) << "the callback writes through the control's own flag";
    EXPECT_EQ(cancel, VARIANT_TRUE);

    EXPECT_EQ(test::FireNavigateComplete(site, frameObject, L"http://127.0.0.1/games/vorn/play?type=pc"), S_OK);
    log.lastDisp = nullptr;
    EXPECT_EQ(test::FireDocumentComplete(site, frameObject, L"http://127.0.0.1/games/vorn/play?client=1"), S_OK);
    EXPECT_EQ(log.lastDisp, frameObject);
    EXPECT_EQ(test::FireTitleChange(site, L"Morvane - 1区"), S_OK);

    IDispatch* newWindow = nullptr;
    VARIANT_BOOL cancelWindow = VARIANT_FALSE;
    EXPECT_EQ(test::FireNewWindow(site, &newWindow, &cancelWindow, 6, L"http://127.0.0.1/games/vorn/play",
                                  L"http://127.0.0.1/kf/"),
              S_OK);
    EXPECT_EQ(log.lastDispRef, &newWindow);
    EXPECT_EQ(cancelWindow, VARIANT_TRUE);

    EventArguments none;
    EXPECT_EQ(Fire(site, DISPID_QUIT, none), S_OK);

    EXPECT_EQ(log.entries, (std::vector<std::wstring>{
                               L"before http://127.0.0.1/games/vorn/xf.html",
                               L"navigated http://127.0.0.1/games/vorn/play?type=pc",
                               L"document http://127.0.0.1/games/vorn/play?client=1",
                               L"title Morvane - 1区",
                               L"newwindow 6 http://127.0.0.1/games/vorn/play http://127.0.0.1/kf/",
                               L"quit",
                           }));
    EXPECT_EQ(frame.refs, 0) << "the site takes no references on the event's objects";
}

TEST(BrowserEvents, EventsTheSiteDoesNotForwardAreAnsweredAsTheControlExpects)
{
    CWebBrowser site;
    CallbackLog log(site);
    VARIANT_BOOL cancel = VARIANT_FALSE;
    {
        // A handled event with a foreign interface id is refused before anything runs.
        EventArguments args;
        args.Object(nullptr).StringInVariant(L"http://x/").EmptyVariantRef().EmptyVariantRef().EmptyVariantRef()
            .EmptyVariantRef().BoolRef(&cancel);
        EXPECT_EQ(Fire(site, DISPID_BEFORENAVIGATE2, args, IID_IDispatch), E_INVALIDARG);
    }
    {
        EventArguments args; // a TitleChange without a string
        args.Int(5);
        EXPECT_EQ(Fire(site, DISPID_TITLECHANGE, args), S_OK);
        EventArguments none;
        EXPECT_EQ(Fire(site, DISPID_TITLECHANGE, none), S_OK);
    }
    {
        EventArguments args; // CommandStateChange (Command, Enable)
        args.Int(1).Int(VARIANT_TRUE);
        EXPECT_EQ(Fire(site, DISPID_COMMANDSTATECHANGE, args), S_OK);
    }
    {
        EventArguments args; // NavigateError (pDisp, URL, Frame, StatusCode, Cancel)
        args.Object(nullptr).StringInVariant(L"http://x/").StringInVariant(L"").EmptyVariantRef().BoolRef(&cancel);
        EXPECT_EQ(Fire(site, DISPID_NAVIGATEERROR, args), S_OK);
    }
    {
        EventArguments args; // BeforeNavigate2 one argument short
        args.StringInVariant(L"http://x/").EmptyVariantRef().EmptyVariantRef().EmptyVariantRef().EmptyVariantRef()
            .BoolRef(&cancel);
        EXPECT_EQ(Fire(site, DISPID_BEFORENAVIGATE2, args), S_OK);
        EventArguments one; // NavigateComplete2 and DocumentComplete with one argument
        one.StringInVariant(L"http://x/");
        EXPECT_EQ(Fire(site, DISPID_NAVIGATECOMPLETE2, one), S_OK);
        EXPECT_EQ(Fire(site, DISPID_DOCUMENTCOMPLETE, one), S_OK);
        EventArguments four; // NewWindow3 one argument short
        four.BoolRef(&cancel).UInt(0).String(L"").String(L"http://x/");
        EXPECT_EQ(Fire(site, DISPID_NEWWINDOW3, four), S_OK);
    }
    {
        EventArguments none;
        EXPECT_EQ(Fire(site, 251, none), DISP_E_MEMBERNOTFOUND);
        EXPECT_EQ(Fire(site, DISPID_STATUSTEXTCHANGE, none), DISP_E_MEMBERNOTFOUND);
        EXPECT_EQ(site.Invoke(DISPID_QUIT, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr), S_OK);
    }
    EXPECT_EQ(log.entries, (std::vector<std::wstring>{L"quit"})) << "only the quit went through";
    EXPECT_EQ(cancel, VARIANT_FALSE) << "the site itself never cancels";
}

TEST(BrowserEvents, EmptyCallbacksAreSkipped)
{
    CWebBrowser site;
    test::FakeDocument frame;
    EventArguments args;
    args.Object(static_cast<IHTMLDocument2*>(&frame)).StringInVariant(L"http://x/");
    EXPECT_EQ(Fire(site, DISPID_DOCUMENTCOMPLETE, args), S_OK);
    EXPECT_EQ(Fire(site, DISPID_NAVIGATECOMPLETE2, args), S_OK);
    EventArguments none;
    EXPECT_EQ(Fire(site, DISPID_QUIT, none), S_OK);
}

TEST_F(LiveSite, NavigateCompleteFindsTheControlsWindowFirst)
{
    std::vector<HWND> announced;
    HWND windowAtCallback = nullptr;
    site.OnBrowserWindow = [&](HWND window) { announced.push_back(window); };
    site.OnNavigateComplete = [&](const wchar_t*) { windowAtCallback = site.m_browserWnd; };
    EventArguments args;
    args.Object(nullptr).StringInVariant(L"http://x/");
    ASSERT_EQ(Fire(site, DISPID_NAVIGATECOMPLETE2, args), S_OK);

    HWND control = test::ChildOfClass(windows.host, L"Shell Embedding");
    ASSERT_NE(control, nullptr);
    ASSERT_EQ(announced.size(), 1u);
    EXPECT_EQ(announced[0], control);
    EXPECT_EQ(windowAtCallback, control) << "known before the callback runs";
    EXPECT_EQ(site.GetBrowserWindow(), control);
    EXPECT_EQ(announced.size(), 1u) << "a live cached window is not looked up again";
}
