// The browser site's event sink, driven through Invoke with the arguments laid
// out as the control lays them out: last parameter first, by-reference variants
// where the control passes them.

#include "ControlEvents.h"
#include "FakeDocument.h"
#include "LiveSite.h"
#include "support/EventLog.h"

#include <exdispid.h>
#include <gtest/gtest.h>

using test::EventArguments;
using test::Fire;
using test::LiveSite;

namespace {

// Writes down every callback of the site, naming the object each carries.
struct CallbackLog {
    explicit CallbackLog(CWebBrowser& site)
    {
        site.OnTitleChange = [this](const wchar_t* title) { Add(L"title " + std::wstring(title)); };
        site.OnDocumentComplete = [this](IDispatch* disp, const wchar_t* url) {
            lastDisp = disp;
            Add(L"document " + std::wstring(url) + Name(disp));
        };
        site.OnNavigateComplete = [this](const wchar_t* url) { Add(L"navigated " + std::wstring(url)); };
        site.OnBeforeNavigate = [this](IDispatch* disp, const wchar_t* url, VARIANT_BOOL* cancel) {
            lastDisp = disp;
            lastCancel = cancel;
            if (cancel && cancelBeforeNavigate)
                *cancel = VARIANT_TRUE;
            Add(L"before " + std::wstring(url) + Name(disp) + (cancel ? L"" : L" (no flag)"));
        };
        site.OnNewWindow = [this](IDispatch** ppDisp, VARIANT_BOOL*& cancel, unsigned long flags, wchar_t* context,
                                  wchar_t* url) {
            lastDispRef = ppDisp;
            lastCancel = cancel;
            *cancel = VARIANT_TRUE;
            Add(L"newwindow " + std::to_wstring(flags) + L" " + context + L" " + url +
                (ppDisp ? Name(*ppDisp) : L" (no slot)"));
        };
        site.OnQuit = [this] { Add(L"quit"); };
    }
    void Add(std::wstring entry) { entries.Add(std::move(entry)); }
    // The frame's object is the one object the events carry in these tests.
    std::wstring Name(IDispatch* disp) const { return disp == frame ? L" frame" : disp ? L" other" : L" none"; }

    test::EventLog entries;
    IDispatch* frame = nullptr;
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
    log.frame = frameObject;

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

    EXPECT_TRUE(log.entries.Exactly({
        L"before http://127.0.0.1/games/vorn/xf.html frame",
        L"navigated http://127.0.0.1/games/vorn/play?type=pc",
        L"document http://127.0.0.1/games/vorn/play?client=1 frame",
        L"title Morvane - 1区",
        L"newwindow 6 http://127.0.0.1/games/vorn/play http://127.0.0.1/kf/ none",
        L"quit",
    }));
    EXPECT_EQ(frame.refs, 0) << "the site takes no references on the event's objects";
}

// Each form the arguments of the page events may come in: the control's own,
// then those of other packers, then arguments that hold nothing readable, which
// the events pass on as nothing (a title excepted) without reading through a
// null reference.
TEST(BrowserEvents, PageEventsReadTheirArgumentsInEveryForm)
{
    using test::Forms;
    using test::Pass;
    test::FakeDocument document;
    IDispatch* frame = static_cast<IHTMLDocument2*>(&document);
    const struct {
        const char* form;
        Forms forms;
    } forms[] = {
        {"the control's", {}},
        {"strings by value", {.text = Pass::Value}},
        {"strings by reference", {.text = Pass::Ref}},
        {"strings by reference in variants", {.text = Pass::RefInVariant}},
        {"objects by reference", {.object = Pass::Ref}},
        {"objects in variants", {.object = Pass::InVariant}},
        {"cancel flag in a variant", {.flag = Pass::InVariant}},
        {"cancel flag by reference in a variant", {.flag = Pass::RefInVariant}},
        {"unsigned integers", {.integerType = VT_UI4}},
    };
    for (const auto& row : forms) {
        SCOPED_TRACE(row.form);
        CWebBrowser site;
        CallbackLog log(site);
        log.frame = frame;
        log.cancelBeforeNavigate = true;
        VARIANT_BOOL cancel = VARIANT_FALSE;
        VARIANT_BOOL errorCancel = VARIANT_FALSE;
        EXPECT_EQ(test::FireBeforeNavigate(site, frame, L"http://h/a", &cancel, row.forms), S_OK);
        EXPECT_EQ(test::FireNavigateComplete(site, frame, L"http://h/b", row.forms), S_OK);
        EXPECT_EQ(test::FireDocumentComplete(site, frame, L"http://h/c", row.forms), S_OK);
        EXPECT_EQ(test::FireTitleChange(site, L"标题", row.forms), S_OK);
        EXPECT_EQ(
            test::FireNavigateError(site, frame, L"http://h/d", static_cast<LONG>(0x800C0010), &errorCancel, row.forms),
            S_OK);
        EXPECT_TRUE(log.entries.Exactly(
            {L"before http://h/a frame", L"navigated http://h/b", L"document http://h/c frame", L"title 标题"}));
        EXPECT_EQ(cancel, VARIANT_TRUE) << "the callback's answer reaches the control";
        EXPECT_EQ(errorCancel, VARIANT_FALSE);
    }

    CWebBrowser site;
    CallbackLog log(site);
    log.frame = frame;
    EventArguments wrong; // every argument of another type
    wrong.String(L"x").Int(1).String(L"x").Int(1).String(L"x").Int(1).Bool(true);
    EventArguments nulls; // every reference null
    nulls.Of(VT_DISPATCH | VT_BYREF)
        .Of(VT_VARIANT | VT_BYREF)
        .Of(VT_I4 | VT_BYREF)
        .Of(VT_BSTR | VT_BYREF)
        .Of(VT_VARIANT | VT_BYREF)
        .Of(VT_VARIANT | VT_BYREF)
        .Of(VT_BOOL | VT_BYREF);
    for (EventArguments* args : {&wrong, &nulls}) {
        log.entries.Clear();
        EXPECT_EQ(Fire(site, DISPID_BEFORENAVIGATE2, *args), S_OK);
        EXPECT_EQ(Fire(site, DISPID_NAVIGATEERROR, *args), S_OK);
        EventArguments two;
        EventArguments title;
        if (args == &nulls) {
            two.Of(VT_DISPATCH | VT_BYREF).Of(VT_VARIANT | VT_BYREF);
            title.Of(VT_BSTR | VT_BYREF);
        } else {
            two.Int(1).Bool(true);
            title.Int(5);
        }
        EXPECT_EQ(Fire(site, DISPID_NAVIGATECOMPLETE2, two), S_OK);
        EXPECT_EQ(Fire(site, DISPID_DOCUMENTCOMPLETE, two), S_OK);
        EXPECT_EQ(Fire(site, DISPID_TITLECHANGE, title), S_OK);
        EXPECT_TRUE(log.entries.Exactly({L"before  none (no flag)", L"navigated ", L"document  none"}))
            << "passed on as nothing, but for the title";
    }
}

// NewWindow3 is cancelled, and its page opened by the handler, whatever form its
// flags, strings, slot and cancel flag come in; without a cancel flag it cannot
// be answered and is not passed on.
TEST(BrowserEvents, NewWindowReadsItsArgumentsInEveryForm)
{
    using test::Forms;
    using test::Pass;
    test::FakeDocument document;
    IDispatch* frame = static_cast<IHTMLDocument2*>(&document);
    const struct {
        const char* form;
        Forms forms;
    } forms[] = {
        {"the control's (flags VT_I4)", {}},
        {"flags VT_UI4", {.integerType = VT_UI4}},
        {"flags VT_I2", {.integerType = VT_I2}},
        {"flags VT_UI1", {.integerType = VT_UI1}},
        {"flags VT_I8", {.integerType = VT_I8}},
        {"flags VT_UINT", {.integerType = VT_UINT}},
        {"flags by reference", {.integer = Pass::Ref}},
        {"flags in a variant", {.integer = Pass::InVariant, .integerType = VT_UI4}},
        {"flags by reference in a variant", {.integer = Pass::RefInVariant, .integerType = VT_INT}},
        {"strings in variants", {.text = Pass::InVariant}},
        {"strings by reference", {.text = Pass::Ref}},
        {"slot in a variant", {.object = Pass::InVariant}},
        {"slot by reference in a variant", {.object = Pass::RefInVariant}},
        {"cancel flag in a variant", {.flag = Pass::InVariant}},
        {"cancel flag by reference in a variant", {.flag = Pass::RefInVariant}},
    };
    for (const auto& row : forms) {
        SCOPED_TRACE(row.form);
        CWebBrowser site;
        CallbackLog log(site);
        log.frame = frame;
        IDispatch* newWindow = frame;
        VARIANT_BOOL cancel = VARIANT_FALSE;
        EXPECT_EQ(test::FireNewWindow(site, &newWindow, &cancel, 6, L"http://h/play", L"http://h/kf/", row.forms),
                  S_OK);
        EXPECT_TRUE(log.entries.Exactly({L"newwindow 6 http://h/play http://h/kf/ frame"}));
        EXPECT_EQ(cancel, VARIANT_TRUE);
    }

    // Built by hand: the coercion reads through references and keeps a flag
    // word's bits; what cannot be read is passed on as nothing; without a cancel
    // flag the event is not passed on.
    const struct {
        void (*build)(EventArguments& args, VARIANT_BOOL* cancel);
        const wchar_t* entry; // null: not passed on
    } odd[] = {
        {[](EventArguments& args, VARIANT_BOOL* cancel) {
             args.ObjectRef(nullptr)
                 .Flag(cancel, Pass::Ref)
                 .Integer(-1, VT_I4, Pass::Ref)
                 .String(L"c", Pass::Ref)
                 .String(L"u", Pass::RefInVariant);
         },
         L"newwindow 4294967295 c u (no slot)"},
        {[](EventArguments& args, VARIANT_BOOL* cancel) {
             args.Of(VT_VARIANT | VT_BYREF)
                 .Flag(cancel, Pass::InVariant)
                 .Of(VT_I4 | VT_BYREF)
                 .Of(VT_BSTR | VT_BYREF)
                 .Of(VT_VARIANT | VT_BYREF);
         },
         L"newwindow 0   (no slot)"},
        {[](EventArguments& args, VARIANT_BOOL* cancel) {
             args.ObjectRef(nullptr).Flag(cancel, Pass::Ref).String(L"6").Int(6).Of(VT_DISPATCH | VT_BYREF);
         },
         L"newwindow 0   (no slot)"},
        {[](EventArguments& args, VARIANT_BOOL*) {
             args.ObjectRef(nullptr).Of(VT_BOOL | VT_BYREF).Int(0).String(L"").String(L"http://h/");
         },
         nullptr},
        {[](EventArguments& args, VARIANT_BOOL* cancel) {
             args.ObjectRef(nullptr).Flag(cancel, Pass::Value).Int(0).String(L"").String(L"http://h/");
         },
         nullptr},
        {[](EventArguments& args, VARIANT_BOOL*) {
             args.ObjectRef(nullptr).Of(VT_VARIANT | VT_BYREF).Int(0).String(L"").String(L"http://h/");
         },
         nullptr},
    };
    for (const auto& row : odd) {
        SCOPED_TRACE(row.entry ? row.entry : L"not passed on");
        CWebBrowser site;
        CallbackLog log(site);
        VARIANT_BOOL cancel = VARIANT_FALSE;
        {
            EventArguments args;
            row.build(args, &cancel);
            EXPECT_EQ(Fire(site, DISPID_NEWWINDOW3, args), S_OK);
        }
        EXPECT_TRUE(
            log.entries.Exactly(row.entry ? std::vector<std::wstring>{row.entry} : std::vector<std::wstring>{}));
        EXPECT_EQ(cancel, row.entry ? VARIANT_TRUE : VARIANT_FALSE);
    }
}

TEST(BrowserEvents, EventsTheSiteDoesNotForwardAreAnsweredAsTheControlExpects)
{
    CWebBrowser site;
    CallbackLog log(site);
    VARIANT_BOOL cancel = VARIANT_FALSE;
    {
        // A handled event with a foreign interface id is refused before anything runs.
        EventArguments args;
        args.Object(nullptr)
            .StringInVariant(L"http://x/")
            .EmptyVariantRef()
            .EmptyVariantRef()
            .EmptyVariantRef()
            .EmptyVariantRef()
            .BoolRef(&cancel);
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
        args.StringInVariant(L"http://x/")
            .EmptyVariantRef()
            .EmptyVariantRef()
            .EmptyVariantRef()
            .EmptyVariantRef()
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
    EXPECT_TRUE(log.entries.Exactly({L"quit"})) << "only the quit went through";
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
