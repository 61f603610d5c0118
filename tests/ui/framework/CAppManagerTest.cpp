// The manager registry, the shared window procedure and the message loop.

#include "RecordingWindow.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <thread>

using test::Attached;
using test::RecordingManager;
using test::RecordingWindow;

namespace {

constexpr DWORD kPopup = WS_POPUP;

// Posts WM_QUIT to a thread after a delay unless cancelled: turns a loop that
// should never have started into a test failure instead of a hang.
class QuitWatchdog {
public:
    explicit QuitWatchdog(DWORD afterMs)
        : m_cancel(CreateEventW(nullptr, TRUE, FALSE, nullptr)), m_threadId(GetCurrentThreadId())
    {
        m_thread = std::thread([this, afterMs] {
            if (WaitForSingleObject(m_cancel, afterMs) == WAIT_TIMEOUT) {
                fired = true;
                PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
            }
        });
    }
    ~QuitWatchdog()
    {
        SetEvent(m_cancel);
        m_thread.join();
        CloseHandle(m_cancel);
    }
    std::atomic<bool> fired{false};

private:
    HANDLE m_cancel;
    DWORD m_threadId;
    std::thread m_thread;
};

} // namespace

TEST(ManagerRegistry, AttachesOncePerThreadAndIsFoundByThreadId)
{
    CAppManager first, second;
    ASSERT_TRUE(first.AttachThread());
    EXPECT_EQ(first.m_threadId, GetCurrentThreadId());
    EXPECT_FALSE(second.AttachThread()) << "a thread has at most one manager";
    EXPECT_EQ(CAppManager::FromThread(GetCurrentThreadId()), &first);
    EXPECT_EQ(g_managers.size(), 1u);

    CAppManager::DetachThread(first.m_threadId);
    EXPECT_EQ(CAppManager::FromThread(GetCurrentThreadId()), nullptr);
    EXPECT_TRUE(g_managers.empty());
}

TEST(ManagerRegistry, SingleManagerPointerFollowsAttachAndDetach)
{
    CAppManager mainManager, otherManager;
    ASSERT_TRUE(mainManager.AttachThread());
    EXPECT_EQ(g_singleManager.load(), &mainManager) << "first manager of an empty registry";

    std::thread([&] { EXPECT_TRUE(otherManager.AttachThread()); }).join();
    EXPECT_EQ(g_singleManager.load(), nullptr) << "two managers attached";

    CAppManager::DetachThread(mainManager.m_threadId);
    EXPECT_EQ(g_singleManager.load(), nullptr) << "stays null until the registry is empty";
    EXPECT_EQ(CAppManager::FromThread(otherManager.m_threadId), &otherManager);

    CAppManager::DetachThread(otherManager.m_threadId);
    EXPECT_EQ(g_singleManager.load(), nullptr);
    EXPECT_TRUE(g_managers.empty());

    CAppManager again;
    ASSERT_TRUE(again.AttachThread());
    EXPECT_EQ(g_singleManager.load(), &again) << "an empty registry makes the next manager single again";
    CAppManager::DetachThread(again.m_threadId);
}

TEST(ManagerRegistry, DetachOfUnknownThreadKeepsOthers)
{
    CAppManager manager;
    ASSERT_TRUE(manager.AttachThread());
    CAppManager::DetachThread(0x7fffffff);
    EXPECT_EQ(CAppManager::FromThread(GetCurrentThreadId()), &manager);
    EXPECT_EQ(g_singleManager.load(), &manager);
    CAppManager::DetachThread(manager.m_threadId);
}

TEST(ManagerRegistry, AddWindowRefusesAHandleThatIsAlreadyBound)
{
    CAppManager manager;
    RecordingWindow a, b;
    HWND fake = reinterpret_cast<HWND>(0x1234);
    a.m_hWnd = fake;
    EXPECT_TRUE(manager.AddWindow(fake, &a));
    b.m_hWnd = fake;
    EXPECT_FALSE(manager.AddWindow(fake, &b));
    EXPECT_EQ(manager.m_windows.size(), 1u);

    manager.RemoveWindow(fake);
    EXPECT_EQ(a.m_hWnd, nullptr) << "unbinding clears the object's handle";
    EXPECT_TRUE(manager.m_windows.empty());
    manager.RemoveWindow(fake); // nothing bound: no effect
    b.m_hWnd = nullptr;
}

namespace {
class CountingManager : public CAppManager {
public:
    int initCalls = 0;
    bool createWindow = false;
    bool gdiplusLiveInInit = false;
    RecordingWindow window;
    bool InitInstance() override
    {
        ++initCalls;
        gdiplusLiveInInit = m_gdiplusToken != 0;
        if (createWindow) {
            window.handler = [this](UINT msg, WPARAM, LPARAM) -> LRESULT {
                if (msg == WM_USER + 1) {
                    DestroyWindow(window.m_hWnd);
                    PostQuitMessage(0);
                    return 1;
                }
                return 0;
            };
            if (window.Create(0, nullptr, L"", kPopup, 0, 0, 10, 10, nullptr))
                PostMessageW(window.m_hWnd, WM_USER + 1, 0, 0);
        }
        return true;
    }
};
} // namespace

TEST(ManagerRun, SecondManagerOnTheSameThreadDoesNothing)
{
    Attached<CAppManager> first;
    ASSERT_TRUE(first.attached);
    CountingManager second;
    second.Run();
    EXPECT_EQ(second.initCalls, 0);
    EXPECT_EQ(second.m_gdiplusToken, 0u);
    EXPECT_EQ(g_managers.size(), 1u);
    EXPECT_EQ(CAppManager::FromThread(GetCurrentThreadId()), &first.manager);
}

TEST(ManagerRun, WithoutWindowsReturnsWithoutLooping)
{
    QuitWatchdog watchdog(3000);
    CountingManager manager;
    manager.Run();
    EXPECT_EQ(manager.initCalls, 1);
    EXPECT_TRUE(manager.gdiplusLiveInInit) << "GDI+ runs during InitInstance";
    EXPECT_FALSE(watchdog.fired) << "Run entered a loop although no window was created";
    EXPECT_EQ(CAppManager::FromThread(GetCurrentThreadId()), nullptr) << "detached after Run";
}

TEST(ManagerRun, LoopsWhileAWindowExistsAndDetachesAfterwards)
{
    QuitWatchdog watchdog(5000);
    CountingManager manager;
    manager.createWindow = true;
    manager.Run();
    EXPECT_FALSE(watchdog.fired);
    EXPECT_TRUE(manager.window.sawNcDestroy);
    EXPECT_FALSE(manager.m_inLoop);
    EXPECT_TRUE(g_managers.empty());
    EXPECT_EQ(g_hInstance, GetModuleHandleW(nullptr));
}

TEST(MessageLoop, RefusesAForeignThreadAndNesting)
{
    Attached<CAppManager> attached;
    bool foreignResult = true;
    std::thread([&] { foreignResult = attached.manager.RunMessageLoop(); }).join();
    EXPECT_FALSE(foreignResult);

    RecordingWindow window;
    bool nestedResult = true;
    window.handler = [&](UINT msg, WPARAM, LPARAM) -> LRESULT {
        if (msg == WM_USER + 2) {
            nestedResult = attached.manager.RunMessageLoop();
            PostQuitMessage(0);
            return 1;
        }
        return 0;
    };
    ASSERT_TRUE(window.Create(0, nullptr, L"", kPopup, 0, 0, 10, 10, nullptr));
    PostMessageW(window.m_hWnd, WM_USER + 2, 0, 0);
    QuitWatchdog watchdog(5000);
    EXPECT_TRUE(attached.manager.RunMessageLoop());
    EXPECT_FALSE(nestedResult) << "a loop of the same manager cannot nest";
    EXPECT_FALSE(watchdog.fired);
    DestroyWindow(window.m_hWnd);
}

TEST(MessageLoop, ThreadMessagesReachOnlyTheManager)
{
    Attached<RecordingManager> attached;
    test::EventLog keyLog;
    RecordingWindow window(L"window", &keyLog);
    ASSERT_TRUE(window.Create(0, nullptr, L"", kPopup, 0, 0, 10, 10, nullptr));

    PostThreadMessageW(GetCurrentThreadId(), WM_USER + 7, 11, 22);
    PostThreadMessageW(GetCurrentThreadId(), WM_KEYDOWN, 'A', 0);
    PostQuitMessage(0);
    attached.manager.keyLog = &keyLog;
    EXPECT_TRUE(attached.manager.RunMessageLoop());

    bool sawThreadMessage = false;
    for (const MSG& msg : attached.manager.preTranslated) {
        if (msg.message == WM_USER + 7) {
            sawThreadMessage = true;
            EXPECT_EQ(msg.hwnd, nullptr);
            EXPECT_EQ(msg.wParam, 11u);
        }
    }
    EXPECT_TRUE(sawThreadMessage);
    EXPECT_TRUE(keyLog.Exactly({L"manager"})) << "a thread key message skips every window";
    EXPECT_FALSE(window.Handled(WM_USER + 7));
    DestroyWindow(window.m_hWnd);
}

namespace {
// top (bound) > middle (a plain system window, unbound) > leaf (bound)
struct WindowChain {
    test::EventLog log;
    RecordingWindow top{L"top", &log};
    RecordingWindow leaf{L"leaf", &log};
    HWND middle = nullptr;
    bool Create()
    {
        if (!top.Create(0, nullptr, L"", kPopup | WS_VISIBLE, 0, 0, 200, 200, nullptr))
            return false;
        middle = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, top.m_hWnd, nullptr, nullptr,
                                 nullptr);
        return middle && leaf.Create(0, nullptr, L"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, middle);
    }
    ~WindowChain()
    {
        if (top.m_hWnd)
            DestroyWindow(top.m_hWnd);
    }
};
} // namespace

TEST(MessageLoop, PreTranslationWalksFromTheWindowUpToTheManager)
{
    Attached<RecordingManager> attached;
    WindowChain chain;
    ASSERT_TRUE(chain.Create());
    attached.manager.keyLog = &chain.log;

    PostMessageW(chain.leaf.m_hWnd, WM_KEYDOWN, 'A', 0);
    PostQuitMessage(0);
    attached.manager.RunMessageLoop();

    EXPECT_TRUE(chain.log.Exactly({L"leaf", L"top", L"manager"}))
        << "the unbound middle window is skipped, the walk goes on upward";
    EXPECT_TRUE(chain.leaf.Handled(WM_KEYDOWN)) << "nobody consumed it, so it was dispatched";
}

TEST(MessageLoop, FirstTrueInTheWalkConsumesTheMessage)
{
    Attached<RecordingManager> attached;
    WindowChain chain;
    ASSERT_TRUE(chain.Create());
    attached.manager.keyLog = &chain.log;
    chain.top.consumeKeys = TRUE;

    PostMessageW(chain.leaf.m_hWnd, WM_KEYDOWN, 'A', 0);
    PostQuitMessage(0);
    attached.manager.RunMessageLoop();

    EXPECT_TRUE(chain.log.Exactly({L"leaf", L"top"}));
    EXPECT_FALSE(chain.leaf.Handled(WM_KEYDOWN)) << "a consumed message is not dispatched";

    MSG direct = {chain.leaf.m_hWnd, WM_KEYDOWN, 'B', 0};
    EXPECT_TRUE(attached.manager.FilterMessage(&direct));
}

TEST(SharedWindowProc, WindowOfAThreadWithoutManagerGetsDefaultProcessing)
{
    // Our class is registered by a thread with a manager; a window of it made on a
    // thread without one must still behave as a plain window.
    {
        Attached<CAppManager> attached;
        ASSERT_TRUE(CAppManager::RegisterWindowClass(L"NoManagerClass"));
    }
    std::thread([] {
        HWND hwnd = CreateWindowExW(0, L"NoManagerClass", L"title", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(hwnd, nullptr);
        wchar_t text[16] = {};
        GetWindowTextW(hwnd, text, 16);
        EXPECT_STREQ(text, L"title") << "DefWindowProc handled WM_NCCREATE";
        DestroyWindow(hwnd);
    }).join();
}

TEST(SharedWindowProc, ForeignCreationWithoutObjectStaysUnbound)
{
    Attached<RecordingManager> attached;
    ASSERT_TRUE(CAppManager::RegisterWindowClass(L"ForeignCreated"));
    HWND hwnd =
        CreateWindowExW(0, L"ForeignCreated", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, g_hInstance, nullptr);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_TRUE(attached.manager.m_windows.empty());
    SendMessageW(hwnd, WM_USER + 3, 0, 0);
    EXPECT_FALSE(attached.manager.unbound.empty());
    EXPECT_EQ(attached.manager.unbound.back(), static_cast<UINT>(WM_USER + 3));
    DestroyWindow(hwnd);
}

TEST(WindowClasses, RegisteredOnceAndReusedByLaterObjects)
{
    Attached<CAppManager> attached;
    const size_t before = g_classNames.size();
    RecordingWindow first, second;
    first.SetClassName(L"SharedClassTest");
    second.SetClassName(L"SharedClassTest");
    ASSERT_TRUE(first.Create(0, nullptr, L"", kPopup, 0, 0, 10, 10, nullptr));
    DestroyWindow(first.m_hWnd);
    ASSERT_TRUE(second.Create(0, nullptr, L"", kPopup, 0, 0, 10, 10, nullptr));
    EXPECT_EQ(g_classNames.size(), before + 1);
    EXPECT_TRUE(CAppManager::IsClassRegistered(L"SharedClassTest"));
    EXPECT_FALSE(CAppManager::IsClassRegistered(L"sharedclasstest")) << "names compare case-sensitively";
    wchar_t name[64] = {};
    GetClassNameW(second.m_hWnd, name, 64);
    EXPECT_STREQ(name, L"SharedClassTest");
    DestroyWindow(second.m_hWnd);
}

TEST(WindowClasses, AClassRegisteredElsewhereCountsAsRegistered)
{
    Attached<CAppManager> attached;
    WNDCLASSEXW wc = {sizeof(wc)};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = g_hInstance;
    wc.lpszClassName = L"RegisteredByHand";
    ASSERT_TRUE(RegisterClassExW(&wc));
    EXPECT_FALSE(CAppManager::IsClassRegistered(L"RegisteredByHand"));
    EXPECT_TRUE(CAppManager::RegisterWindowClass(L"RegisteredByHand")) << "ERROR_CLASS_ALREADY_EXISTS is success";
    EXPECT_TRUE(CAppManager::IsClassRegistered(L"RegisteredByHand"));
}
