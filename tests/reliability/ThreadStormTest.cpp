// Threads against the UI thread: thousands of requests from several threads
// while the UI thread creates and destroys the browser window they name, and a
// browser window that never comes up. The UI thread keeps answering other
// messages all along (each probe answered within its bound), every request is
// taken off the queue in the end, and retries stop at their bound. Cache
// clearing started twice shows one box while the frame keeps answering.

#include "ReliabilitySupport.h"

#include "frames/ClearUrlCache.h"
#include "frames/FrameTestSupport.h"
#include "tests/browser/BrowserTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

constexpr DWORD kAnswerBoundMs = 1000;

// Sends a message to a window on the UI thread every few milliseconds and notes
// how long each answer took, until stopped.
class Pinger {
public:
    explicit Pinger(HWND target) : m_target(target), m_thread([this] { Run(); }) {}
    ~Pinger() { Stop(); }
    void Stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    int unanswered() const { return m_unanswered; }
    int answered() const { return m_answered; }
    double slowestMs() const { return m_slowestMs; }

private:
    void Run()
    {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        while (!m_stop) {
            LARGE_INTEGER start, end;
            QueryPerformanceCounter(&start);
            DWORD_PTR answer = 0;
            const bool ok = SendMessageTimeoutW(m_target, WM_NULL, 0, 0, SMTO_NORMAL, kAnswerBoundMs, &answer) != 0;
            QueryPerformanceCounter(&end);
            const double ms =
                1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
            if (ok) {
                ++m_answered;
                if (ms > m_slowestMs)
                    m_slowestMs = ms;
            } else {
                ++m_unanswered;
            }
            Sleep(5);
        }
    }

    HWND m_target;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_unanswered{0};
    std::atomic<int> m_answered{0};
    std::atomic<double> m_slowestMs{0};
    std::thread m_thread;
};

// A window on the UI thread that only answers (created by the UI thread's queue).
class UiThreadWithProbe {
public:
    UiThreadWithProbe()
    {
        parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
        HtmlRequest create;
        create.code = REQUEST_CREATE;
        create.hwnd = parent;
        create.target = &probe;
        create.param = 10;
        create.param2 = 10;
        ui.manager.PostRequest(create);
        test::PumpUntil([&] { return probe.m_hWnd != nullptr; }, 10000);
    }
    ~UiThreadWithProbe()
    {
        ui.Stop();
        DestroyWindow(parent);
    }
    bool Drained(DWORD timeoutMs)
    {
        return test::PumpUntil([&] { return ui.manager.PendingRequests() == 0; }, timeoutMs);
    }

    test::OleApartment ole;
    test::UiThread ui;
    frametest::UiProbe probe;
    HWND parent = nullptr;
};

void Report(const char* what, const Pinger& pinger)
{
    std::printf("%s: %d probes answered, slowest %.1f ms\n", what, pinger.answered(), pinger.slowestMs());
}

} // namespace

TEST(ThreadStorm, ThousandsOfRequestsWhileTheBrowserWindowComesAndGoes)
{
    UiThreadWithProbe fixture;
    ASSERT_TRUE(fixture.ui.ready);
    ASSERT_NE(fixture.probe.m_hWnd, nullptr);
    test::TestHtml html;
    Pinger pinger(fixture.probe.m_hWnd);

    constexpr int kThreads = 4;
    constexpr int kPerThread = 1000;
    std::atomic<int> posted{0};
    std::vector<std::thread> posters;
    for (int t = 0; t < kThreads; ++t) {
        posters.emplace_back([&, t] {
            for (int i = 0; i < kPerThread; ++i) {
                if (i % 50 == 0)
                    html.Navigate((L"http://127.0.0.1:9/games/vorn/dlq" + std::to_wstring(t * kPerThread + i)).c_str(),
                                  2);
                else if (i % 2)
                    html.SetSilent(VARIANT_TRUE);
                else
                    html.Refresh();
                ++posted;
            }
        });
    }
    // Meanwhile the browser window is created and destroyed on the UI thread, again and again.
    int lives = 0;
    for (; lives < 6; ++lives) {
        html.Create(0, nullptr, L"", WS_CHILD | WS_VISIBLE, 0, 0, 320, 200, fixture.parent);
        ASSERT_TRUE(test::PumpUntil([&] { return html.m_hWnd && html.IsBrowserReady(); }, 10000))
            << "life " << lives << " of the browser window did not come up";
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(html.m_hWnd, WM_CLOSE, 0, 0, SMTO_NORMAL, 10000, &ignored);
        ASSERT_TRUE(test::PumpUntil([&] { return html.m_hWnd == nullptr; }, 10000));
    }
    for (std::thread& poster : posters)
        poster.join();
    EXPECT_EQ(posted, kThreads * kPerThread);
    // A last life takes whatever still waits for a ready browser.
    html.Create(0, nullptr, L"", WS_CHILD | WS_VISIBLE, 0, 0, 320, 200, fixture.parent);
    EXPECT_TRUE(fixture.Drained(60000)) << fixture.ui.manager.PendingRequests() << " requests never left the queue";
    pinger.Stop();
    Report("storm", pinger);
    EXPECT_EQ(pinger.unanswered(), 0) << "the UI thread left a probe unanswered for " << kAnswerBoundMs << " ms";
    EXPECT_GT(pinger.answered(), 0);
}

TEST(ThreadStorm, ABrowserThatNeverComesUpStopsRetryingAndTheUiThreadAnswers)
{
    UiThreadWithProbe fixture;
    ASSERT_TRUE(fixture.ui.ready);
    // Its parent is gone before the UI thread gets to create it: creation fails.
    HWND gone = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    test::TestHtml never;
    Pinger pinger(fixture.probe.m_hWnd);
    never.Create(0, nullptr, L"", WS_CHILD | WS_VISIBLE, 0, 0, 320, 200, gone);
    std::vector<std::thread> posters;
    for (int t = 0; t < 2; ++t) {
        posters.emplace_back([&] {
            for (int i = 0; i < 100; ++i) {
                never.Navigate(L"http://127.0.0.1:9/never", 2);
                never.SetSilent(VARIANT_TRUE);
            }
        });
    }
    for (std::thread& poster : posters)
        poster.join();
    EXPECT_TRUE(fixture.Drained(60000)) << "retries did not stop: " << fixture.ui.manager.PendingRequests()
                                        << " requests still queued";
    pinger.Stop();
    Report("never ready", pinger);
    EXPECT_EQ(never.m_hWnd, nullptr);
    EXPECT_EQ(pinger.unanswered(), 0) << "the UI thread left a probe unanswered for " << kAnswerBoundMs << " ms";
}

TEST(ThreadStorm, CacheClearingStartedTwiceShowsOneBoxAndTheFrameAnswers)
{
    frametest::FrameHarness h;
    ASSERT_TRUE(h.Start());
    HANDLE first = CreateThread(nullptr, 0, ClearUrlCache, h.Frame(), 0, nullptr);
    ASSERT_NE(first, nullptr);
    ASSERT_TRUE(test::PumpUntil([] { return !frametest::VisibleWindows(L"#32770").empty(); }, 20000))
        << "the first run showed no box";
    HANDLE second = CreateThread(nullptr, 0, ClearUrlCache, h.Frame(), 0, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(test::PumpUntil([&] { return WaitForSingleObject(second, 0) == WAIT_OBJECT_0; }, 10000))
        << "the second run waits instead of returning";
    EXPECT_EQ(frametest::VisibleWindows(L"#32770").size(), 1u);
    DWORD_PTR answer = 0;
    EXPECT_NE(SendMessageTimeoutW(h.Frame(), WM_NULL, 0, 0, SMTO_NORMAL, kAnswerBoundMs, &answer), 0)
        << "the frame stops answering while the box is open";

    for (HWND box : frametest::VisibleWindows(L"#32770"))
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(test::PumpUntil([&] { return WaitForSingleObject(first, 0) == WAIT_OBJECT_0; }, 10000));
    CloseHandle(first);
    CloseHandle(second);
}
