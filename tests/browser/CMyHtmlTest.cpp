// The browser window with the real WebBrowser control on a real UI thread,
// driven from the test's main thread as the game frame drives it, against the
// demo portal.

#include "BrowserTestSupport.h"

#include <gtest/gtest.h>

#include <exdispid.h>

namespace {

class BrowserWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ui.ready);
        host = test::PortalHost();
        ASSERT_FALSE(host.empty()) << "the demo portal fixture is not running";
        parent = CreateWindowExW(0, L"STATIC", L"frame", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 1000, 800,
                                 nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(parent, nullptr);
        test::RecordNavigations(html.m_browser, log);
    }
    void TearDown() override
    {
        DestroyWindow(parent);
        ui.Stop();
    }

    // Creates the browser window from this (non-UI) thread and waits for it.
    HWND CreateFromMainThread(int x = 10, int y = 20, int width = 800, int height = 600)
    {
        EXPECT_EQ(html.Create(0, nullptr, L"", WS_CHILD | WS_VISIBLE, x, y, width, height, parent), nullptr)
            << "off the UI thread the window only comes later";
        HWND window = nullptr;
        test::PumpUntil([&] { return test::CreatedChild(parent, window); });
        return window;
    }
    std::wstring Url(const std::wstring& path) { return L"http://" + host + path; }
    bool PortalSaw(const std::string& path)
    {
        for (const std::string& line : test::PortalRequests())
            if (line == "GET " + path)
                return true;
        return false;
    }

    test::UiThread ui;
    std::wstring host;
    HWND parent = nullptr;
    test::TestHtml html;
    test::EventLog log;
};

} // namespace

TEST_F(BrowserWindow, CreatedFromTheMainThreadItComesUpOnTheUiThreadWithTheControlInside)
{
    HWND window = CreateFromMainThread();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetWindowThreadProcessId(window, nullptr), ui.manager.m_threadId);
    EXPECT_EQ(GetParent(window), parent);
    EXPECT_TRUE(IsWindowVisible(window));
    const RECT rect = test::RectIn(window, parent);
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.top, 20);
    EXPECT_EQ(rect.right - rect.left, 800);
    EXPECT_EQ(rect.bottom - rect.top, 600);

    HWND control = test::ChildOfClass(window, L"Shell Embedding");
    ASSERT_NE(control, nullptr) << "the WebBrowser control sits in the window";
    EXPECT_EQ(GetWindowThreadProcessId(control, nullptr), ui.manager.m_threadId);

    bool ready = false;
    CAppManager* boundTo = nullptr;
    ASSERT_TRUE(html.RunOnWindowThread([&] {
        ready = html.IsBrowserReady();
        boundTo = CAppManager::FromThread(GetCurrentThreadId());
    }));
    EXPECT_TRUE(ready);
    EXPECT_EQ(boundTo, &ui.manager);
    EXPECT_EQ(html.m_manager, &ui.manager);
    EXPECT_EQ(html.m_hWnd, window);
}

TEST_F(BrowserWindow, NavigateFromTheMainThreadFetchesThePageAndReportsItOnTheUiThread)
{
    ASSERT_NE(CreateFromMainThread(), nullptr);
    const std::wstring url = Url(L"/games/vorn/dlq4711");
    EXPECT_TRUE(html.Navigate(url.c_str(), 2));

    ASSERT_TRUE(test::PumpUntil([&] { return !log.Lines().empty(); }, 10000)) << "BeforeNavigate2 for the URL";
    ASSERT_TRUE(test::PumpUntil([&] { return PortalSaw("/games/vorn/dlq4711"); }, 10000))
        << "the control really asked the portal for the page";
    EXPECT_TRUE(log.Exactly({L"before " + url})) << "with the frame's object and the cancel flag";
    for (DWORD thread : log.Threads())
        EXPECT_EQ(thread, ui.manager.m_threadId);
    EXPECT_FALSE(html.Navigate(nullptr, 0)) << "no URL, nothing posted";
}

TEST_F(BrowserWindow, OnTheUiThreadNavigationRunsAtOnceAndPostsNothing)
{
    ASSERT_NE(CreateFromMainThread(), nullptr);
    const std::wstring url = Url(L"/games/vorn/dlq99");
    size_t eventsDuringCall = 0;
    size_t queued = 99;
    BOOL result = FALSE;
    ASSERT_TRUE(html.RunOnWindowThread([&] {
        result = html.Navigate(url.c_str(), 0);
        eventsDuringCall = log.Lines().size();
        queued = ui.manager.PendingRequests();
    }));
    EXPECT_TRUE(result);
    EXPECT_EQ(eventsDuringCall, 1u) << "BeforeNavigate2 arrived inside the call";
    EXPECT_EQ(queued, 0u);
    EXPECT_TRUE(log.Saw(L"before " + url));
}

TEST_F(BrowserWindow, SilentModeRequestedFromTheMainThreadReachesTheControl)
{
    ASSERT_NE(CreateFromMainThread(), nullptr);
    VARIANT_BOOL silent = VARIANT_TRUE;
    ASSERT_TRUE(html.RunOnWindowThread([&] { html.m_browser.WebBrowser()->get_Silent(&silent); }));
    EXPECT_EQ(silent, VARIANT_FALSE) << "the control starts out showing its dialogs";

    html.SetSilent(VARIANT_TRUE);
    // Requests run in order: once a later navigation has been reported, the
    // silent request before it has run.
    const std::wstring url = Url(L"/games/vorn/dlq1");
    html.Navigate(url.c_str(), 2);
    ASSERT_TRUE(log.WaitFor(L"before " + url));
    ASSERT_TRUE(html.RunOnWindowThread([&] { html.m_browser.WebBrowser()->get_Silent(&silent); }));
    EXPECT_EQ(silent, VARIANT_TRUE);

    // A refresh of a page the control could not show fails inside the control
    // and changes nothing here.
    html.Refresh();
    ASSERT_TRUE(html.RunOnWindowThread([] {}));
}

TEST_F(BrowserWindow, TheControlIsFourPixelsTallerUnlessFittedOrShowingFlash)
{
    HWND window = CreateFromMainThread(0, 0, 800, 600);
    ASSERT_NE(window, nullptr);
    HWND control = test::ChildOfClass(window, L"Shell Embedding");
    ASSERT_NE(control, nullptr);

    // Sized when the window was created.
    RECT rect = test::RectIn(control, window);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, 800);
    EXPECT_EQ(rect.bottom, 604) << "the bottom 4 pixels hide below the window's edge";

    ASSERT_TRUE(html.RunOnWindowThread([&] {
        html.m_fitExactly = true;
        html.OnSize(0, 0, 0);
    }));
    rect = test::RectIn(control, window);
    EXPECT_EQ(rect.bottom, 600) << "fitted exactly";

    // A Flash player window several levels down inside the control.
    static bool registered = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"MacromediaFlashPlayerActiveX";
        return RegisterClassW(&wc) != 0;
    }();
    ASSERT_TRUE(registered);
    HWND flash = nullptr;
    ASSERT_TRUE(html.RunOnWindowThread([&] {
        HWND level1 = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 800, 600, control, nullptr,
                                      nullptr, nullptr);
        HWND level2 = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 800, 600, level1, nullptr,
                                      nullptr, nullptr);
        flash = CreateWindowExW(0, L"MacromediaFlashPlayerActiveX", L"", WS_CHILD | WS_VISIBLE, 0, 0, 800, 600, level2,
                                nullptr, nullptr, nullptr);
        html.m_fitExactly = false;
        html.OnSize(0, 0, 0);
    }));
    ASSERT_NE(flash, nullptr);
    rect = test::RectIn(control, window);
    EXPECT_EQ(rect.right, 800);
    EXPECT_EQ(rect.bottom, 600) << "Flash content is never cut";

    // The window follows its own size changes.
    ASSERT_TRUE(html.RunOnWindowThread([&] {
        DestroyWindow(flash);
        MoveWindow(window, 0, 0, 640, 480, TRUE);
    }));
    rect = test::RectIn(control, window);
    EXPECT_EQ(rect.right, 640);
    EXPECT_EQ(rect.bottom, 484);
}

TEST_F(BrowserWindow, OnlyKeysTheControlConsumesAreKeptFromDispatch)
{
    HWND window = CreateFromMainThread();
    ASSERT_NE(window, nullptr);
    BOOL mouse = TRUE, key = TRUE;
    ASSERT_TRUE(html.RunOnWindowThread([&] {
        MSG click = {window, WM_LBUTTONDOWN, 0, 0, 0, {}};
        mouse = html.PreTranslateMessage(&click);
        MSG press = {test::ChildOfClass(window, L"Shell Embedding"), WM_KEYDOWN, 'A', 0, 0, {}};
        key = html.PreTranslateMessage(&press);
    }));
    EXPECT_FALSE(mouse);
    EXPECT_FALSE(key) << "a key for a window of another class goes on to normal dispatch";
}

TEST_F(BrowserWindow, DestroyingTheWindowClosesTheControlOnTheUiThread)
{
    HWND window = CreateFromMainThread();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(html.RunOnWindowThread([&] { DestroyWindow(window); }));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(html.m_browser.IsCreated());
    EXPECT_EQ(html.m_browser.m_refCount, 0) << "the control let go of the site";
    EXPECT_EQ(html.m_browser.m_inPlaceActive, 0);

    // The same object makes a new window with a new control.
    HWND again = CreateFromMainThread();
    ASSERT_NE(again, nullptr);
    EXPECT_NE(test::ChildOfClass(again, L"Shell Embedding"), nullptr);
}

TEST_F(BrowserWindow, AQuitBeforeTheWindowsEndStillClosesTheControlOnTheUiThread)
{
    HWND window = CreateFromMainThread();
    ASSERT_NE(window, nullptr);
    const DWORD uiThread = ui.manager.m_threadId;
    ASSERT_TRUE(ui.Stop());
    EXPECT_FALSE(IsWindow(window)) << "the window did not outlive its thread's loop";
    EXPECT_EQ(html.destroyedOnThread, uiThread);
    EXPECT_TRUE(html.destroyedInApartment) << "the control was closed while the thread's OLE was up";
    EXPECT_FALSE(html.m_browser.IsCreated());
    EXPECT_EQ(html.m_browser.m_refCount, 0) << "the control let go of the site";
}
