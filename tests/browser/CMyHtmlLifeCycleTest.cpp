// The whole life of the browser window, over and over in one process: a UI
// thread starts, the window and its control are created from the main thread,
// navigate to the demo portal, and go again, either with their parent window or
// with the end of the UI thread. Nothing may crash, hang or stay behind.

#include "BrowserTestSupport.h"
#include "ProcessResources.h"

#include <gtest/gtest.h>

#include <wininet.h>

#include <cstdio>

namespace {

// One life. windowFirst: the parent window goes first and takes the browser
// window with it; otherwise the UI thread is told to quit while the browser
// window still lives, as when the frame's quit overtakes the window's end.
// The page is still loading when the window goes, as when a user closes early.
::testing::AssertionResult OneLife(const std::wstring& host, int life, bool windowFirst)
{
    const std::string which = "life " + std::to_string(life) + ": ";
    test::UiThread ui;
    if (!ui.ready)
        return ::testing::AssertionFailure() << which << "the UI thread did not come up";
    HWND parent = CreateWindowExW(0, L"STATIC", L"frame", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 900, 700,
                                  nullptr, nullptr, nullptr, nullptr);
    test::EventLog log;
    CMyHtml html;
    test::RecordNavigations(html.m_browser, log);

    html.Create(0, nullptr, L"", WS_CHILD | WS_VISIBLE, 0, 0, 800, 600, parent);
    HWND window = nullptr;
    if (!test::PumpUntil([&] { return test::CreatedChild(parent, window); }, 10000))
        return ::testing::AssertionFailure() << which << "no browser window";
    if (!test::ChildOfClass(window, L"Shell Embedding"))
        return ::testing::AssertionFailure() << which << "no control in the window";

    // A user id no other test asks for marks this life's request in the portal's log.
    const std::string path = "/games/vorn/dlq" + std::to_string(7000 + life);
    const std::wstring url = L"http://" + host + std::wstring(path.begin(), path.end());
    html.Navigate(url.c_str(), 2);
    if (!log.WaitFor(L"before " + url))
        return ::testing::AssertionFailure() << which << "the navigation was not reported";
    if (!test::PumpUntil(
            [&] {
                for (const std::string& request : test::PortalRequests())
                    if (request == "GET " + path)
                        return true;
                return false;
            },
            10000))
        return ::testing::AssertionFailure() << which << "the portal was not asked for the page";

    if (windowFirst) {
        DestroyWindow(parent);
        if (!test::PumpUntil([&] { return !IsWindow(window); }, 10000))
            return ::testing::AssertionFailure() << which << "the browser window outlived its parent";
        if (!ui.Stop())
            return ::testing::AssertionFailure() << which << "the UI thread did not end";
    } else {
        if (!ui.Stop())
            return ::testing::AssertionFailure() << which << "the UI thread did not end";
        if (IsWindow(window))
            return ::testing::AssertionFailure() << which << "the browser window outlived its thread";
        DestroyWindow(parent);
    }
    if (html.m_browser.IsCreated() || html.m_browser.m_refCount != 0)
        return ::testing::AssertionFailure() << which << "the control was not released on its thread ("
                                             << html.m_browser.m_refCount << " references to the site)";
    return ::testing::AssertionSuccess();
}

// The URL cache and the cookie store open their containers once per process,
// on the first download that completes; one complete download opens them
// before anything is counted.
void OpenTheUrlCache(const std::wstring& url)
{
    HINTERNET session = InternetOpenW(L"vorn-test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    if (!session)
        return;
    if (HINTERNET request = InternetOpenUrlW(session, url.c_str(), nullptr, 0, 0, 0)) {
        char chunk[4096];
        DWORD read = 0;
        while (InternetReadFile(request, chunk, sizeof(chunk), &read) && read > 0) {
        }
        InternetCloseHandle(request);
    }
    wchar_t cookie[256] = {};
    DWORD size = 256;
    InternetGetCookieW(url.c_str(), nullptr, cookie, &size);
    InternetCloseHandle(session);
}

} // namespace

TEST(BrowserLifeCycle, TwentyLivesInOneProcessLeaveNothingBehind)
{
    const std::wstring host = test::PortalHost();
    ASSERT_FALSE(host.empty()) << "the demo portal fixture is not running";

    // The first lives load the control's libraries and their caches for good.
    OpenTheUrlCache(L"http://" + host + L"/games/vorn/dlq");
    ASSERT_TRUE(OneLife(host, 0, true));
    ASSERT_TRUE(OneLife(host, 1, false));
    test::PumpPending();
    const auto before = test::ProcessResources::Measure();

    constexpr int kLives = 20;
    for (int life = 2; life < 2 + kLives; ++life)
        ASSERT_TRUE(OneLife(host, life, life % 2 == 0));
    test::PumpPending();
    const auto after = test::ProcessResources::Measure();
    std::printf("before: %s\nafter:  %s\n", before.Describe().c_str(), after.Describe().c_str());

    // A leak of one object per life would show as kLives more; a few objects
    // the system creates lazily on its own schedule are allowed for.
    constexpr DWORD kSlack = 4;
    EXPECT_LE(after.handles, before.handles + kSlack);
    EXPECT_LE(after.gdiObjects, before.gdiObjects + kSlack);
    EXPECT_LE(after.userObjects, before.userObjects + kSlack);
    EXPECT_LE(after.kernelObjects, before.kernelObjects + kSlack);
    EXPECT_EQ(after.windows, before.windows) << "no window of the control or of the UI thread stays";
    EXPECT_LE(after.tempFiles, before.tempFiles) << "the control's temporary storage is removed";
    // Not checked: the download handles. Wine's URL moniker keeps the cache file
    // and the socket of a download that was cut short by closing the control.
}

TEST(BrowserLifeCycle, TheCountsSeeWhatTheyCount)
{
    // While a thread has windows the system keeps its own beside them (an input
    // method window, registry keys); one window held throughout keeps them steady.
    HWND holder = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    const auto before = test::ProcessResources::Measure();
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 5, 5, window, nullptr, nullptr, nullptr);
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    wchar_t temp[MAX_PATH] = {}, file[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    GetTempFileNameW(temp, L"vor", 0, file);
    const auto during = test::ProcessResources::Measure();
    DestroyWindow(window);
    DestroyWindow(holder);
    CloseHandle(event);
    DeleteFileW(file);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(during.windows, before.windows + 2);
    EXPECT_EQ(during.kernelObjects, before.kernelObjects + 1);
    EXPECT_EQ(during.tempFiles, before.tempFiles + 1);
}
