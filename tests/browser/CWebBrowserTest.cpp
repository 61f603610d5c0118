// The browser site's answers to the control: one identity for all its parts,
// the in-place parts withdrawn after activation, the host information and
// window context, and the keyboard hand-over to the control.

#include "FakeDocument.h"
#include "LiveSite.h"

#include <exdispid.h>
#include <gtest/gtest.h>

#include <thread>

using test::HostWindows;
using test::LiveSite;

namespace {

// The control's keyboard hand-over, recorded.
class FakeActiveObject : public IOleInPlaceActiveObject {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        *object = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IOleWindow) &&
            !IsEqualIID(iid, IID_IOleInPlaceActiveObject))
            return E_NOINTERFACE;
        *object = this;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--refs); }
    STDMETHODIMP GetWindow(HWND*) override { return E_NOTIMPL; }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(LPMSG msg) override
    {
        translated.push_back(*msg);
        return answer;
    }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }

    LONG refs = 0;
    HRESULT answer = S_OK;
    std::vector<MSG> translated;
};

struct Answer {
    const IID* iid;
    const char* name;
    void* part;
};

std::vector<Answer> SiteParts(CWebBrowser& site)
{
    return {
        {&IID_IOleClientSite, "IOleClientSite", static_cast<IOleClientSite*>(&site)},
        {&IID_IUnknown, "IUnknown", static_cast<IDispatch*>(&site)},
        {&IID_IDispatch, "IDispatch", static_cast<IDispatch*>(&site)},
        {&DIID_DWebBrowserEvents2, "DWebBrowserEvents2", static_cast<IDispatch*>(&site)},
        {&IID_IDocHostUIHandler, "IDocHostUIHandler", static_cast<IDocHostUIHandler*>(&site)},
    };
}

std::vector<Answer> InPlaceParts(CWebBrowser& site)
{
    return {
        {&IID_IOleInPlaceSite, "IOleInPlaceSite", static_cast<IOleInPlaceSite*>(&site)},
        {&IID_IOleInPlaceFrame, "IOleInPlaceFrame", static_cast<IOleInPlaceFrame*>(&site)},
        {&IID_IOleInPlaceUIWindow, "IOleInPlaceUIWindow", static_cast<IOleInPlaceFrame*>(&site)},
    };
}

} // namespace

// ---------------------------------------------------------------- identity and answers

TEST(BrowserSite, QueryInterfaceOffersTheInPlacePartsOnlyUntilActivation)
{
    CWebBrowser site;
    const LONG refsBefore = site.m_refCount;
    // Before activation every part answers, from every part, with one identity.
    for (IUnknown* from : {static_cast<IUnknown*>(static_cast<IDispatch*>(&site)),
                           static_cast<IUnknown*>(static_cast<IOleInPlaceSite*>(&site)),
                           static_cast<IUnknown*>(static_cast<IDocHostUIHandler*>(&site))}) {
        for (const auto& parts : {SiteParts(site), InPlaceParts(site)}) {
            for (const Answer& answer : parts) {
                void* object = nullptr;
                EXPECT_EQ(from->QueryInterface(*answer.iid, &object), S_OK) << answer.name;
                EXPECT_EQ(object, answer.part) << answer.name;
            }
        }
    }
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(site.QueryInterface(IID_IOleCommandTarget, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr) << "the out pointer is cleared";
    EXPECT_EQ(site.QueryInterface(IID_IServiceProvider, &object), E_NOINTERFACE);
    EXPECT_EQ(site.m_refCount, refsBefore + 3 * 8) << "each answer added one reference";

    // Activation: the control asks CanInPlaceActivate once.
    EXPECT_EQ(site.CanInPlaceActivate(), S_OK);
    EXPECT_EQ(site.m_inPlaceActive, 1);
    EXPECT_EQ(site.CanInPlaceActivate(), S_FALSE);
    for (const Answer& answer : InPlaceParts(site)) {
        object = reinterpret_cast<void*>(1);
        EXPECT_EQ(site.QueryInterface(*answer.iid, &object), E_NOINTERFACE) << answer.name;
        EXPECT_EQ(object, nullptr);
    }
    for (const Answer& answer : SiteParts(site)) {
        EXPECT_EQ(site.QueryInterface(*answer.iid, &object), S_OK) << answer.name;
        EXPECT_EQ(object, answer.part) << answer.name;
    }
}

TEST_F(LiveSite, TheRealControlActivatesInPlaceAndTheInPlacePartsAreWithdrawn)
{
    EXPECT_EQ(site.m_inPlaceActive, 1);
    EXPECT_EQ(site.m_hostWnd, windows.host);
    EXPECT_TRUE(site.m_oleObject && site.m_inPlaceObject && site.m_inPlaceActiveObject && site.m_webBrowser);
    EXPECT_NE(test::ChildOfClass(windows.host, L"Shell Embedding"), nullptr) << "the control's window is in the host";
    for (const Answer& answer : InPlaceParts(site)) {
        void* object = nullptr;
        EXPECT_EQ(site.QueryInterface(*answer.iid, &object), E_NOINTERFACE) << answer.name;
    }
    for (const Answer& answer : SiteParts(site)) {
        void* object = nullptr;
        EXPECT_EQ(site.QueryInterface(*answer.iid, &object), S_OK) << answer.name;
    }
    EXPECT_FALSE(site.Create(windows.host)) << "a second Create while active creates nothing";
}

TEST_F(LiveSite, ClosingReleasesTheControlSoTheSiteCanCreateAgain)
{
    site.CloseControl();
    EXPECT_EQ(site.m_refCount, 0) << "the control gave back every reference to the site";
    EXPECT_FALSE(site.m_oleObject || site.m_webBrowser || site.m_storage);
    EXPECT_EQ(site.m_inPlaceActive, 0);
    EXPECT_EQ(test::ChildOfClass(windows.host, L"Shell Embedding"), nullptr) << "the control's window is gone";
    EXPECT_FALSE(site.IsCreated());

    ASSERT_TRUE(site.Create(windows.host));
    EXPECT_TRUE(site.IsCreated());
    EXPECT_NE(test::ChildOfClass(windows.host, L"Shell Embedding"), nullptr);
}

TEST(BrowserSite, CreateFailsCleanlyWhereTheControlCannotBeMade)
{
    HostWindows windows;
    CWebBrowser site;
    EXPECT_FALSE(site.Create(nullptr));
    HWND gone = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    EXPECT_FALSE(site.Create(gone));

    // A thread without OLE cannot create the control: every step before the
    // failing one is undone.
    bool created = true;
    std::thread noOle([&] { created = site.Create(windows.host); });
    noOle.join();
    EXPECT_FALSE(created);
    EXPECT_FALSE(site.m_storage || site.m_oleObject || site.m_inPlaceObject || site.m_inPlaceActiveObject ||
                 site.m_webBrowser);
    EXPECT_EQ(site.m_hostWnd, nullptr);
    EXPECT_EQ(site.m_inPlaceActive, 0);
    EXPECT_FALSE(site.Navigate(L"http://127.0.0.1/", 0)) << "no control, no navigation";
}

TEST(BrowserSite, AddRefAndReleaseAlwaysAnswerZero)
{
    CWebBrowser site;
    EXPECT_EQ(site.AddRef(), 0u);
    EXPECT_EQ(static_cast<IDocHostUIHandler&>(site).AddRef(), 0u);
    EXPECT_EQ(site.m_refCount, 2);
    EXPECT_EQ(static_cast<IOleInPlaceFrame&>(site).Release(), 0u);
    EXPECT_EQ(site.Release(), 0u);
    EXPECT_EQ(site.Release(), 0u) << "below zero the object still lives";
    EXPECT_EQ(site.m_refCount, -1);
}

TEST(BrowserSite, HostInfoKeepsTheControlsFlagsAndAddsNoBorderNoScrollBarsAndDpiAwareness)
{
    CWebBrowser site;
    DOCHOSTUIINFO info = {};
    info.dwFlags = 0x10 | 0x40000;
    info.dwDoubleClick = 7;
    info.pchHostCss = reinterpret_cast<OLECHAR*>(1);
    ASSERT_EQ(site.GetHostInfo(&info), S_OK);
    EXPECT_EQ(info.cbSize, sizeof(DOCHOSTUIINFO)); // 20 bytes in the 32-bit program
    // DOCHOSTUIFLAG_DPI_AWARE: the control zooms pages by the display's scale.
    EXPECT_EQ(info.dwFlags, 0x10u | 0x40000u | 0xCu | 0x40000000u);
    EXPECT_EQ(info.dwDoubleClick, 0u);
    EXPECT_EQ(info.pchHostCss, nullptr);
    EXPECT_EQ(info.pchHostNS, nullptr);

    site.m_noScroll = false;
    info.dwFlags = 0;
    ASSERT_EQ(site.GetHostInfo(&info), S_OK);
    EXPECT_EQ(info.dwFlags, 0x4u | 0x40000000u);
}

TEST(BrowserSite, WindowContextDescribesTheHostWindowAndItsFrame)
{
    HostWindows windows;
    CWebBrowser site;
    site.m_hostWnd = windows.host;
    IOleInPlaceFrame* frame = nullptr;
    IOleInPlaceUIWindow* document = reinterpret_cast<IOleInPlaceUIWindow*>(1);
    RECT position = {1, 1, 1, 1}, clip = {2, 2, 2, 2};
    OLEINPLACEFRAMEINFO info = {};
    ASSERT_EQ(site.GetWindowContext(&frame, &document, &position, &clip, &info), S_OK);
    EXPECT_EQ(frame, static_cast<IOleInPlaceFrame*>(&site));
    EXPECT_EQ(site.m_refCount, 1) << "the frame is handed out with a reference";
    EXPECT_EQ(document, nullptr);
    for (const RECT& r : {position, clip}) {
        EXPECT_EQ(r.left, 0);
        EXPECT_EQ(r.top, 0);
        EXPECT_EQ(r.right, 800);
        EXPECT_EQ(r.bottom, 600);
    }
    EXPECT_EQ(info.cb, sizeof(OLEINPLACEFRAMEINFO)); // 20 bytes in the 32-bit program
    EXPECT_FALSE(info.fMDIApp);
    EXPECT_EQ(info.hwndFrame, windows.top);
    EXPECT_EQ(info.haccel, nullptr);
    EXPECT_EQ(info.cAccelEntries, 0u);

    HWND window = nullptr;
    EXPECT_EQ(static_cast<IOleInPlaceSite&>(site).GetWindow(&window), S_OK);
    EXPECT_EQ(window, windows.host);
    RECT border = {};
    EXPECT_EQ(site.GetBorder(&border), S_OK);
    EXPECT_EQ(border.right, 800);
    EXPECT_EQ(border.bottom, 600);
}

TEST(BrowserSite, ExternalIsTheScriptBridgeHandedOutWithAReference)
{
    CWebBrowser site;
    IDispatch* external = nullptr;
    ASSERT_EQ(site.GetExternal(&external), S_OK);
    EXPECT_EQ(external, static_cast<IDispatch*>(&site.m_external));
    EXPECT_EQ(site.m_external.m_refCount, 1);
    external->Release();
    EXPECT_EQ(site.m_external.m_refCount, 0);
}

// ---------------------------------------------------------------- keyboard

TEST(BrowserKeyboard, WithoutAControlKeysAreNotTranslatedAndOtherMessagesAreLeftAlone)
{
    CWebBrowser site;
    MSG mouse = {nullptr, WM_MOUSEMOVE, 0, 0, 0, {}};
    EXPECT_EQ(site.TranslateKeyMessage(&mouse), S_FALSE);
    MSG key = {nullptr, WM_KEYDOWN, 'A', 0, 0, {}};
    EXPECT_EQ(site.TranslateKeyMessage(&key), E_NOTIMPL);
}

TEST_F(LiveSite, KeysReachTheControlOnlyWhenAimedAtItsDocumentWindow)
{
    static bool registered = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"Internet Explorer_Server";
        return RegisterClassW(&wc) != 0;
    }();
    ASSERT_TRUE(registered);
    HWND document = CreateWindowExW(0, L"Internet Explorer_Server", L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100,
                                    windows.host, nullptr, nullptr, nullptr);
    ASSERT_NE(document, nullptr);

    FakeActiveObject active;
    site.m_inPlaceActiveObject = ComPtr<IOleInPlaceActiveObject>::Share(&active);

    MSG mouse = {document, WM_LBUTTONDOWN, 0, 0, 0, {}};
    EXPECT_EQ(site.TranslateKeyMessage(&mouse), S_FALSE);
    MSG elsewhere = {windows.host, WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_EQ(site.TranslateKeyMessage(&elsewhere), S_FALSE);
    EXPECT_TRUE(active.translated.empty()) << "the control is not asked for other windows' keys";

    MSG key = {document, WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_EQ(site.TranslateKeyMessage(&key), S_OK);
    active.answer = S_FALSE;
    MSG last = {document, WM_KEYLAST, 0, 0, 0, {}};
    EXPECT_EQ(site.TranslateKeyMessage(&last), S_FALSE);
    ASSERT_EQ(active.translated.size(), 2u);
    EXPECT_EQ(active.translated[0].wParam, static_cast<WPARAM>(VK_TAB));
    EXPECT_EQ(active.translated[1].message, static_cast<UINT>(WM_KEYLAST));

    site.m_inPlaceActiveObject.Reset();
    EXPECT_EQ(active.refs, 0);
    EXPECT_EQ(site.TranslateKeyMessage(&key), S_FALSE) << "no active object, nothing to ask";
    DestroyWindow(document);
}
