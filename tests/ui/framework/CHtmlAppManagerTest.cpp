// The UI thread and its request queue, with a stand-in for the browser window.

#include "app/gameApp.h"
#include "support/EventLog.h"
#include "support/TestSupport.h"
#include "ui/framework/CHtmlAppManager.h"
#include "ui/framework/CHtmlTarget.h"

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <thread>

namespace {

// Records every operation a request runs on it, with the thread it ran on:
// "create", "navigate URL FLAGS", "refresh", "silent VALUE".
class FakeTarget : public CHtmlTarget {
public:
    ~FakeTarget() override
    {
        // The window lives on the UI thread: it is closed there, before the object goes.
        if (m_hWnd && IsWindow(m_hWnd))
            SendMessageW(m_hWnd, WM_CLOSE, 0, 0);
    }

    std::atomic<bool> browserComesUp{true}; // a created window makes the browser ready
    mutable std::atomic<int> readyChecks{0};
    HANDLE refreshGate = nullptr;    // when set, Refresh waits for it
    std::function<void()> onRefresh; // when set, Refresh runs it (on the UI thread)

    CHtmlAppManager* queueToWatch = nullptr; // when set, each check notes its length
    mutable std::atomic<size_t> queueAtLastCheck{0};

    bool IsBrowserReady() const override
    {
        if (queueToWatch)
            queueAtLastCheck = queueToWatch->PendingRequests();
        ++readyChecks;
        return browserComesUp && m_hWnd && IsWindow(m_hWnd);
    }
    BOOL Navigate(const wchar_t* url, int flags) override
    {
        calls.Add(test::EventLog::Line(L"navigate", url, flags));
        return TRUE;
    }
    void Refresh() override
    {
        calls.Add(L"refresh");
        if (refreshGate)
            WaitForSingleObject(refreshGate, 10000);
        if (onRefresh)
            onRefresh();
    }
    void SetSilent(VARIANT_BOOL silent) override { calls.Add(test::EventLog::Line(L"silent", silent)); }
    void OnCreate(CREATESTRUCTW*) override { calls.Add(L"create"); }

    size_t CallCount() const { return calls.Lines().size(); }

    test::EventLog calls;
};

// The UI thread, and a way to wait until it has run everything queued,
// retries included: a marker request (a refresh of a window that never
// exists, so it only asks whether its browser is ready) is sent round until,
// when it runs, nothing is queued behind it.
class UiThread : public test::UiThread {
public:
    bool Drain()
    {
        m_marker.queueToWatch = &manager;
        for (int round = 0; round < 1000; ++round) {
            const int before = m_marker.readyChecks;
            HtmlRequest marker;
            marker.code = REQUEST_REFRESH;
            marker.target = &m_marker;
            manager.PostRequest(marker);
            if (!test::PumpUntil([&] { return m_marker.readyChecks > before; }, 10000))
                return false;
            if (m_marker.queueAtLastCheck == 0)
                return true;
        }
        return false;
    }

private:
    FakeTarget m_marker;
};

HtmlRequest CreateRequest(FakeTarget& target, HWND parent, int x, int y, int width, int height)
{
    HtmlRequest request;
    request.code = REQUEST_CREATE;
    request.hwnd = parent;
    request.target = &target;
    request.param = width;
    request.param2 = height;
    request.x = x;
    request.y = y;
    return request;
}

HtmlRequest TargetRequest(int code, FakeTarget& target)
{
    HtmlRequest request;
    request.code = code;
    request.hwnd = target.m_hWnd;
    request.target = &target;
    return request;
}

HtmlRequest NavigateRequest(FakeTarget& target, const std::wstring& url, int flags)
{
    HtmlRequest request = TargetRequest(REQUEST_NAVIGATE, target);
    request.url = url;
    request.param2 = flags;
    return request;
}

class RequestQueue : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(mainManager.Attached());
        parent = CreateWindowExW(0, L"STATIC", L"parent", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr,
                                 nullptr, nullptr);
        ASSERT_NE(parent, nullptr);
        ASSERT_TRUE(ui.ready);
    }
    void TearDown() override
    {
        DestroyWindow(parent);
        test::PumpPending();
    }

    // Keeps the UI thread inside a request until the returned gate is set, so
    // that several records can be queued before any of them runs.
    HANDLE HoldUiThread()
    {
        if (!m_blocker.m_hWnd) {
            ui.manager.PostRequest(CreateRequest(m_blocker, parent, 0, 0, 1, 1));
            EXPECT_TRUE(test::PumpUntil([&] { return m_blocker.CallCount() == 1; }));
        }
        HANDLE gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_blocker.refreshGate = gate;
        const size_t before = m_blocker.CallCount();
        ui.manager.PostRequest(TargetRequest(REQUEST_REFRESH, m_blocker));
        EXPECT_TRUE(test::PumpUntil([&] { return m_blocker.CallCount() == before + 1; }));
        return gate;
    }

    test::ThreadManager mainManager;
    UiThread ui;
    HWND parent = nullptr;

private:
    FakeTarget m_blocker;
};

} // namespace

TEST_F(RequestQueue, StartUpSequenceRunsInOrderOnTheUiThread)
{
    FakeTarget target;
    ui.manager.PostRequest(CreateRequest(target, parent, 10, 20, 300, 200));
    ui.manager.PostRequest(NavigateRequest(target, L"http://127.0.0.1/games/vorn/dlq5", 2));
    HtmlRequest silent = TargetRequest(REQUEST_SET_SILENT, target);
    silent.param = VARIANT_TRUE;
    ui.manager.PostRequest(silent);

    ASSERT_TRUE(test::PumpUntil([&] { return target.CallCount() == 3; }));
    EXPECT_TRUE(target.calls.Exactly({L"create", L"navigate http://127.0.0.1/games/vorn/dlq5 2", L"silent -1"}));
    for (DWORD thread : target.calls.Threads())
        EXPECT_EQ(thread, ui.manager.m_threadId);

    // The window was created on, and bound to, the UI thread, inside the parent.
    ASSERT_NE(target.m_hWnd, nullptr);
    EXPECT_EQ(target.m_manager, &ui.manager);
    EXPECT_EQ(GetWindowThreadProcessId(target.m_hWnd, nullptr), ui.manager.m_threadId);
    EXPECT_EQ(GetParent(target.m_hWnd), parent);
    EXPECT_TRUE(GetWindowLongW(target.m_hWnd, GWL_STYLE) & WS_VISIBLE);
    RECT rect;
    GetWindowRect(target.m_hWnd, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.top, 20);
    EXPECT_EQ(rect.right - rect.left, 300);
    EXPECT_EQ(rect.bottom - rect.top, 200);
}

TEST_F(RequestQueue, CreateIsSkippedWhileTheTargetHasALiveWindow)
{
    FakeTarget target;
    ui.manager.PostRequest(CreateRequest(target, parent, 0, 0, 50, 50));
    ASSERT_TRUE(test::PumpUntil([&] { return target.CallCount() == 1; }));
    HWND first = target.m_hWnd;
    ui.manager.PostRequest(CreateRequest(target, parent, 5, 5, 60, 60));
    ui.manager.PostRequest(TargetRequest(REQUEST_REFRESH, target));
    ASSERT_TRUE(test::PumpUntil([&] { return target.CallCount() == 2; }));
    EXPECT_TRUE(target.calls.Exactly({L"create", L"refresh"})) << "no second OnCreate";
    EXPECT_EQ(target.m_hWnd, first);
}

TEST_F(RequestQueue, RefreshBeforeTheBrowserIsReadyIsDropped)
{
    FakeTarget target;
    ui.manager.PostRequest(TargetRequest(REQUEST_REFRESH, target));
    ui.manager.PostRequest(CreateRequest(target, parent, 0, 0, 50, 50));
    ASSERT_TRUE(test::PumpUntil([&] { return target.CallCount() >= 1; }));
    ASSERT_TRUE(ui.Drain());
    EXPECT_TRUE(target.calls.Exactly({L"create"}));
}

TEST_F(RequestQueue, NavigateBeforeTheBrowserIsReadyIsRetriedBehindLaterRequests)
{
    FakeTarget target;
    HANDLE gate = HoldUiThread();
    ui.manager.PostRequest(NavigateRequest(target, L"http://a/", 0));
    ui.manager.PostRequest(CreateRequest(target, parent, 0, 0, 50, 50));
    HtmlRequest silent = TargetRequest(REQUEST_SET_SILENT, target);
    silent.param = 1;
    ui.manager.PostRequest(silent);
    SetEvent(gate);
    ASSERT_TRUE(test::PumpUntil([&] { return target.CallCount() == 3; }));
    CloseHandle(gate);
    EXPECT_TRUE(target.calls.Exactly({L"create", L"silent 1", L"navigate http://a/ 0"}))
        << "the retried record went to the tail";
}

TEST_F(RequestQueue, EachNavigationCarriesItsOwnUrl)
{
    FakeTarget target;
    ui.manager.PostRequest(CreateRequest(target, parent, 0, 0, 50, 50));
    std::wstring url = L"http://first/";
    ui.manager.PostRequest(NavigateRequest(target, url, 0));
    url = L"http://second/";
    ui.manager.PostRequest(NavigateRequest(target, url, 0));
    const std::wstring longUrl = L"http://long/" + std::wstring(5000, L'a');
    ui.manager.PostRequest(NavigateRequest(target, longUrl, 0));
    url.clear();
    ASSERT_TRUE(test::PumpUntil([&] { return target.CallCount() == 4; }));
    EXPECT_TRUE(target.calls.Exactly(
        {L"create", L"navigate http://first/ 0", L"navigate http://second/ 0", L"navigate " + longUrl + L" 0"}))
        << "no length limit on a queued URL";
}

TEST_F(RequestQueue, ABrowserThatNeverComesUpStopsTheRetriesAtTheirBound)
{
    FakeTarget target;
    target.browserComesUp = false;
    ui.manager.PostRequest(NavigateRequest(target, L"http://never/", 0));
    ASSERT_TRUE(ui.Drain());
    EXPECT_EQ(target.readyChecks.load(), CHtmlAppManager::kMaxRetries + 1);
    EXPECT_EQ(target.CallCount(), 0u);

    // The UI thread still answers.
    DWORD_PTR answer = 0;
    HWND probe = nullptr;
    target.browserComesUp = true;
    ui.manager.PostRequest(CreateRequest(target, parent, 0, 0, 10, 10));
    ASSERT_TRUE(test::PumpUntil([&] { return (probe = target.m_hWnd) != nullptr; }));
    EXPECT_TRUE(SendMessageTimeoutW(probe, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &answer));
}

TEST_F(RequestQueue, RequestsForAWindowThatIsGoneAreDropped)
{
    FakeTarget target;
    ui.manager.PostRequest(CreateRequest(target, parent, 0, 0, 50, 50));
    ASSERT_TRUE(ui.Drain()) << "the creation has finished";
    const HWND old = target.m_hWnd;
    ASSERT_TRUE(IsWindow(old));
    // Destroying the parent takes the child along (on its own thread).
    DestroyWindow(parent);
    ASSERT_TRUE(test::PumpUntil([&] { return !IsWindow(old); }));
    parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);

    const int checksBefore = target.readyChecks.load();
    HtmlRequest navigate = NavigateRequest(target, L"http://gone/", 0);
    navigate.hwnd = old;
    ui.manager.PostRequest(navigate);
    ASSERT_TRUE(ui.Drain());
    EXPECT_EQ(target.readyChecks.load(), checksBefore + 1) << "not sent round again";
    EXPECT_EQ(target.CallCount(), 1u);
}

TEST_F(RequestQueue, AnEmptyRequestMessageDoesNothing)
{
    FakeTarget target;
    PostThreadMessageW(ui.manager.m_threadId, WM_HTML_REQUEST, 0, 0);
    ui.manager.PostRequest(CreateRequest(target, parent, 0, 0, 10, 10));
    ASSERT_TRUE(test::PumpUntil([&] { return target.CallCount() == 1; }));
    EXPECT_EQ(ui.manager.PendingRequests(), 0u);
}

TEST_F(RequestQueue, QuitEndsTheLoopWhileRecordsAreStillQueued)
{
    FakeTarget target;
    ui.manager.PostRequest(CreateRequest(target, parent, 0, 0, 10, 10));
    ASSERT_TRUE(test::PumpUntil([&] { return target.CallCount() == 1; }));

    // Hold the UI thread inside a request, queue the quit and three more records
    // behind it, then let it go: the loop ends at the quit.
    target.refreshGate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ui.manager.PostRequest(TargetRequest(REQUEST_REFRESH, target));
    ASSERT_TRUE(test::PumpUntil([&] { return target.CallCount() == 2; }));
    PostThreadMessageW(ui.manager.m_threadId, WM_QUIT, 0, 0);
    for (int i = 0; i < 3; ++i)
        ui.manager.PostRequest(TargetRequest(REQUEST_REFRESH, target));
    SetEvent(target.refreshGate);
    ASSERT_TRUE(ui.Stop());

    EXPECT_EQ(target.CallCount(), 2u) << "records behind the quit never run";
    EXPECT_EQ(ui.manager.PendingRequests(), 3u);
    CloseHandle(target.refreshGate);
}

TEST_F(RequestQueue, PostsAfterTheUiThreadEndedFailAndStayQueued)
{
    FakeTarget target;
    ASSERT_TRUE(ui.Stop());
    EXPECT_FALSE(ui.manager.PostRequest(CreateRequest(target, parent, 0, 0, 10, 10)));
    EXPECT_EQ(ui.manager.PendingRequests(), 1u);
    EXPECT_EQ(target.CallCount(), 0u);
}

TEST_F(RequestQueue, ManyThreadsPostingKeepEveryRecordAndTheirOrder)
{
    constexpr int kThreads = 4;
    constexpr int kPerThread = 2500;
    FakeTarget targets[kThreads];
    for (auto& target : targets)
        ui.manager.PostRequest(CreateRequest(target, parent, 0, 0, 10, 10));
    ASSERT_TRUE(test::PumpUntil([&] {
        for (auto& target : targets)
            if (target.CallCount() != 1)
                return false;
        return true;
    }));

    std::vector<std::thread> posters;
    for (int t = 0; t < kThreads; ++t) {
        posters.emplace_back([&, t] {
            for (int i = 0; i < kPerThread; ++i) {
                HtmlRequest request = TargetRequest(REQUEST_SET_SILENT, targets[t]);
                request.param = i;
                ui.manager.PostRequest(request);
            }
        });
    }
    for (auto& poster : posters)
        poster.join();

    ASSERT_TRUE(test::PumpUntil(
        [&] {
            size_t total = 0;
            for (auto& target : targets)
                total += target.CallCount();
            return total == kThreads * (kPerThread + 1);
        },
        30000));
    for (auto& target : targets) {
        const auto calls = target.calls.Lines();
        ASSERT_EQ(calls.size(), static_cast<size_t>(kPerThread + 1));
        for (int i = 0; i < kPerThread; ++i)
            ASSERT_EQ(calls[i + 1], test::EventLog::Line(L"silent", i)) << "records of one thread run in posting order";
    }
}

TEST_F(RequestQueue, ModalLoopsOnTheUiThreadRunEveryRequestInOrder)
{
    FakeTarget target;
    ui.manager.PostRequest(CreateRequest(target, parent, 0, 0, 10, 10));
    ASSERT_TRUE(test::PumpUntil([&] { return target.CallCount() == 1; }));

    constexpr int kBatch = 40;
    int nextValue = 0;
    auto postBatch = [&] {
        for (int i = 0; i < kBatch; ++i) {
            HtmlRequest request = TargetRequest(REQUEST_SET_SILENT, target);
            request.param = nextValue++;
            ui.manager.PostRequest(request);
        }
    };
    auto silentValues = [&] { return target.calls.Starting(L"silent "); };

    // Each refresh opens a loop of its own on the UI thread: first a message
    // box, as a page's alert() shows one, then a plain loop that dispatches
    // whatever it gets until the second batch has run.
    const wchar_t* const kBoxTitle = L"RequestQueue alert";
    std::atomic<int> loopsOpened{0};
    std::atomic<int> loopsClosed{0};
    target.onRefresh = [&] {
        if (++loopsOpened == 1) {
            MessageBoxW(nullptr, L"alert()", kBoxTitle, MB_OK);
        } else {
            MSG msg;
            while (silentValues().size() < 2 * kBatch) {
                const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
                if (got <= 0) {
                    if (got == 0)
                        PostQuitMessage(static_cast<int>(msg.wParam)); // the thread's own loop ends too
                    break;
                }
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        ++loopsClosed;
    };

    ui.manager.PostRequest(TargetRequest(REQUEST_REFRESH, target));
    HWND box = nullptr;
    ASSERT_TRUE(test::PumpUntil([&] { return (box = FindWindowW(L"#32770", kBoxTitle)) != nullptr; }));
    postBatch();
    EXPECT_TRUE(test::PumpUntil([&] { return silentValues().size() == kBatch; }))
        << "requests posted while the box is open run in its loop, not after it";
    EXPECT_TRUE(IsWindow(box));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(test::PumpUntil([&] { return loopsClosed == 1; }));

    ui.manager.PostRequest(TargetRequest(REQUEST_REFRESH, target));
    ASSERT_TRUE(test::PumpUntil([&] { return loopsOpened == 2; }));
    postBatch();
    EXPECT_TRUE(test::PumpUntil([&] { return loopsClosed == 2; })) << "the plain loop ran the second batch";

    // Nothing is left behind: the next request runs at once, after all the others.
    ui.manager.PostRequest(NavigateRequest(target, L"http://after/", 0));
    ASSERT_TRUE(target.calls.WaitFor(L"navigate http://after/ 0"));
    EXPECT_EQ(target.calls.Lines().back(), L"navigate http://after/ 0");
    EXPECT_EQ(ui.manager.PendingRequests(), 0u);
    const std::vector<std::wstring> values = silentValues();
    ASSERT_EQ(values.size(), 2u * kBatch);
    for (int i = 0; i < 2 * kBatch; ++i)
        ASSERT_EQ(values[i], test::EventLog::Line(L"silent", i)) << "requests ran in posting order";
    for (DWORD thread : target.calls.Threads())
        EXPECT_EQ(thread, ui.manager.m_threadId);
}

TEST(RequestWakeUp, RecordsPostedBeforeTheThreadListensRunAndRetriesWaitForTheNextWakeUp)
{
    test::ThreadManager mainManager;
    ASSERT_TRUE(mainManager.Attached());
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    CHtmlAppManager manager;
    FakeTarget first, second, created;

    // No UI thread yet: the posts wake nothing, the records stay queued.
    EXPECT_FALSE(manager.PostRequest(NavigateRequest(first, L"http://first/", 0)));
    manager.PostRequest(TargetRequest(REQUEST_SET_SILENT, second));
    // One wake-up asks each browser once; both records go back to the tail for
    // a later wake-up instead of being run again at once.
    manager.RunReadyRequests();
    EXPECT_EQ(first.readyChecks.load(), 1);
    EXPECT_EQ(second.readyChecks.load(), 1);
    manager.RunReadyRequests();
    EXPECT_EQ(first.readyChecks.load(), 2);
    EXPECT_EQ(second.readyChecks.load(), 2);
    {
        std::lock_guard<std::mutex> lock(manager.m_requestMutex);
        ASSERT_EQ(manager.m_requests.size(), 2u);
        EXPECT_EQ(manager.m_requests.front().code, REQUEST_NAVIGATE) << "the retries keep their order";
    }

    // A record posted before the thread starts runs once it listens.
    manager.PostRequest(CreateRequest(created, parent, 0, 0, 10, 10));
    HANDLE thread = CreateThread(nullptr, 0, UiThreadMain, &manager, 0, nullptr);
    ASSERT_TRUE(manager.WaitUntilReady(CHtmlAppManager::kReadyTimeoutMs, thread));
    EXPECT_TRUE(test::PumpUntil([&] { return created.CallCount() == 1; }));
    const HWND wake = manager.WakeWindow();
    ASSERT_NE(wake, nullptr);
    EXPECT_EQ(GetWindowThreadProcessId(wake, nullptr), manager.m_threadId) << "the wake window is the UI thread's";

    // A wake-up that still comes as a thread message runs the queue as well.
    {
        std::lock_guard<std::mutex> lock(manager.m_requestMutex);
        manager.m_requests.push_back(TargetRequest(REQUEST_REFRESH, created));
    }
    PostThreadMessageW(manager.m_threadId, WM_HTML_REQUEST, 0, 0);
    EXPECT_TRUE(test::PumpUntil([&] { return created.CallCount() == 2; }));

    SendMessageW(created.m_hWnd, WM_CLOSE, 0, 0);
    PostThreadMessageW(manager.m_threadId, WM_QUIT, 0, 0);
    EXPECT_TRUE(test::PumpUntil([&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }, 10000));
    CloseHandle(thread);
    EXPECT_FALSE(IsWindow(wake)) << "the wake window went with the loop";
    EXPECT_EQ(manager.WakeWindow(), nullptr);
    DestroyWindow(parent);
}
