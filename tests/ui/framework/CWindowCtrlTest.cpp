// The window base class: creation, binding, routing of messages to the virtual
// handlers and the answers it gives the system.

#include "RecordingWindow.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using test::Attached;
using test::RecordingManager;
using test::RecordingWindow;

namespace {
constexpr DWORD kPopup = WS_POPUP;
}

TEST(WindowCreate, BindsAtNcCreateAndUnbindsAtNcDestroy)
{
    Attached<RecordingManager> attached;
    RecordingWindow window;
    HWND hwnd = window.Create(0, nullptr, L"", kPopup, 0, 0, 50, 40, nullptr);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(window.m_hWnd, hwnd);
    EXPECT_EQ(window.hwndAtNcCreate, hwnd) << "the handle is known from WM_NCCREATE on";
    EXPECT_TRUE(window.boundAtNcCreate);
    EXPECT_EQ(window.m_manager, &attached.manager);
    ASSERT_FALSE(window.handled.empty());
    EXPECT_EQ(window.handled.front(), static_cast<UINT>(WM_NCCREATE)) << "nothing reaches the object before it";
    EXPECT_EQ(window.createSeen.lpCreateParams, &window);

    DestroyWindow(hwnd);
    EXPECT_TRUE(window.sawNcDestroy) << "the object still gets the last message";
    EXPECT_EQ(window.hwndAtNcDestroy, nullptr) << "already unbound when WM_NCDESTROY arrives";
    EXPECT_EQ(window.m_hWnd, nullptr);
    EXPECT_EQ(attached.manager.FindWindowObject(hwnd), nullptr);
    EXPECT_TRUE(attached.manager.m_windows.empty());
    EXPECT_TRUE(window.calls.Saw(L"OnDestroy"));
}

TEST(WindowCreate, MessagesBeforeNcCreateGoToTheManager)
{
    Attached<RecordingManager> attached;
    RecordingWindow window;
    // An overlapped top-level window is asked for its size limits before WM_NCCREATE.
    ASSERT_TRUE(window.Create(0, nullptr, L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr));
    bool unboundMinMax = false;
    for (UINT msg : attached.manager.unbound)
        unboundMinMax |= msg == WM_GETMINMAXINFO;
    EXPECT_TRUE(unboundMinMax);
    EXPECT_EQ(window.handled.front(), static_cast<UINT>(WM_NCCREATE));
    DestroyWindow(window.m_hWnd);
}

TEST(WindowCreate, SecondCreateReturnsTheLiveWindowUnchanged)
{
    Attached<CAppManager> attached;
    RecordingWindow window;
    HWND first = window.Create(0, L"FirstClass", L"", kPopup, 0, 0, 10, 10, nullptr);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(window.Create(0, L"OtherClass", L"", kPopup, 5, 5, 20, 20, nullptr), first);
    EXPECT_STREQ(window.m_className, L"FirstClass") << "a second Create changes nothing";
    EXPECT_FALSE(CAppManager::IsClassRegistered(L"OtherClass"));
    DestroyWindow(first);

    // Once the window is gone the object can be created again.
    HWND again = window.Create(0, nullptr, L"", kPopup, 0, 0, 10, 10, nullptr);
    EXPECT_NE(again, nullptr);
    DestroyWindow(again);
}

TEST(WindowCreate, NoManagerOnTheThreadCreatesNothing)
{
    RecordingWindow window;
    window.SetClassName(L"NeverRegistered");
    EXPECT_EQ(window.Create(0, nullptr, L"", kPopup, 0, 0, 10, 10, nullptr), nullptr);
    EXPECT_FALSE(CAppManager::IsClassRegistered(L"NeverRegistered"));
    EXPECT_EQ(window.m_manager, nullptr);
}

TEST(WindowCreate, RectangleFormUsesLeftTopWidthHeight)
{
    Attached<CAppManager> attached;
    RecordingWindow window;
    const RECT rect = {30, 40, 130, 90};
    ASSERT_TRUE(window.Create(0, nullptr, L"", kPopup, rect, nullptr));
    RECT actual;
    GetWindowRect(window.m_hWnd, &actual);
    EXPECT_EQ(actual.left, 30);
    EXPECT_EQ(actual.top, 40);
    EXPECT_EQ(actual.right, 130);
    EXPECT_EQ(actual.bottom, 90);

    window.SetWindowRect({10, 20, 60, 80});
    GetWindowRect(window.m_hWnd, &actual);
    EXPECT_EQ(actual.left, 10);
    EXPECT_EQ(actual.bottom, 80);
    DestroyWindow(window.m_hWnd);
}

TEST(WindowCreate, ClassNamesAreCutToSixtyThreeCharacters)
{
    RecordingWindow window;
    window.SetClassName(std::wstring(100, L'x').c_str());
    EXPECT_EQ(std::wstring(window.m_className), std::wstring(63, L'x'));
    window.SetClassName(nullptr);
    EXPECT_EQ(std::wstring(window.m_className), std::wstring(63, L'x')) << "null is ignored";
    window.SetClassName(L"");
    EXPECT_STREQ(window.m_className, L"") << "an empty name is copied";

    EXPECT_STREQ(RecordingWindow{}.m_className, L"RecordingWindow");
    CWindowCtrl plain;
    EXPECT_STREQ(plain.m_className, L"ImageWnd");
}

TEST(WindowCreate, FailureInWmCreateLeavesTheObjectUnbound)
{
    Attached<CAppManager> attached;
    RecordingWindow window;
    window.handler = [](UINT msg, WPARAM, LPARAM) -> LRESULT { return msg == WM_CREATE ? -1 : 0; };
    EXPECT_EQ(window.Create(0, nullptr, L"", kPopup, 0, 0, 10, 10, nullptr), nullptr);
    EXPECT_EQ(window.m_hWnd, nullptr);
    EXPECT_TRUE(attached.manager.m_windows.empty());
    EXPECT_TRUE(window.sawNcDestroy);
}

TEST(WindowProcRouting, NonZeroFromHandleMessageSuppressesEverythingElse)
{
    Attached<CAppManager> attached;
    RecordingWindow window;
    ASSERT_TRUE(window.Create(0, nullptr, L"", kPopup, 0, 0, 10, 10, nullptr));
    window.handler = [](UINT msg, WPARAM, LPARAM) -> LRESULT { return msg == WM_SIZE ? 7 : 0; };
    window.calls.Clear();
    EXPECT_EQ(SendMessageW(window.m_hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(10, 20)), 7);
    EXPECT_TRUE(window.calls.Exactly({})) << "OnSize must not run";

    window.handler = nullptr;
    SendMessageW(window.m_hWnd, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(10, 20));
    EXPECT_TRUE(window.calls.Saw(L"OnSize 2 10 20"));

    // A message nobody routes answers what HandleMessage says.
    window.handler = [](UINT msg, WPARAM, LPARAM) -> LRESULT { return msg == WM_USER + 9 ? 42 : 0; };
    EXPECT_EQ(SendMessageW(window.m_hWnd, WM_USER + 9, 0, 0), 42);
    DestroyWindow(window.m_hWnd);
}

TEST(WindowProcRouting, NcCreateAnsweredByHandleMessageSkipsTheDefault)
{
    Attached<CAppManager> attached;
    // The default processing of WM_NCCREATE is what stores the window text.
    RecordingWindow answered;
    answered.handler = [](UINT msg, WPARAM, LPARAM) -> LRESULT { return msg == WM_NCCREATE ? TRUE : 0; };
    ASSERT_TRUE(answered.Create(0, nullptr, L"caption", kPopup, 0, 0, 10, 10, nullptr))
        << "creation continues with the handler's answer";
    wchar_t text[32] = {};
    GetWindowTextW(answered.m_hWnd, text, 32);
    EXPECT_STREQ(text, L"");

    RecordingWindow defaulted;
    ASSERT_TRUE(defaulted.Create(0, nullptr, L"caption", kPopup, 0, 0, 10, 10, nullptr));
    GetWindowTextW(defaulted.m_hWnd, text, 32);
    EXPECT_STREQ(text, L"caption");
    DestroyWindow(answered.m_hWnd);
    DestroyWindow(defaulted.m_hWnd);
}

TEST(WindowProcRouting, MoveAndSizeCoordinatesAreSignExtended)
{
    Attached<CAppManager> attached;
    RecordingWindow window;
    ASSERT_TRUE(window.Create(0, nullptr, L"", kPopup, 0, 0, 100, 50, nullptr));
    window.calls.Clear();
    MoveWindow(window.m_hWnd, -50, -30, 120, 60, FALSE);
    EXPECT_TRUE(window.calls.Saw(L"OnMove -50 -30"));
    EXPECT_TRUE(window.calls.Saw(L"OnSize 0 120 60"));
    DestroyWindow(window.m_hWnd);
}

TEST(WindowProcRouting, ShowWindowAndTimerReachTheirHandlers)
{
    Attached<CAppManager> attached;
    RecordingWindow window;
    ASSERT_TRUE(window.Create(0, nullptr, L"", kPopup, 0, 0, 10, 10, nullptr));
    ShowWindow(window.m_hWnd, SW_SHOW);
    EXPECT_TRUE(window.calls.Saw(L"OnShowWindow 1"));
    ShowWindow(window.m_hWnd, SW_HIDE);
    EXPECT_TRUE(window.calls.Saw(L"OnShowWindow 0"));

    EXPECT_EQ(SendMessageW(window.m_hWnd, WM_TIMER, 5, 0), 1) << "WM_TIMER is answered 1";
    EXPECT_TRUE(window.calls.Saw(L"OnTimer 5"));
    SetTimer(window.m_hWnd, 77, 10, nullptr);
    EXPECT_TRUE(test::PumpUntil([&] { return window.calls.Saw(L"OnTimer 77"); }));
    KillTimer(window.m_hWnd, 77);
    DestroyWindow(window.m_hWnd);
}

TEST(WindowProcRouting, HitTestAnswersClientEvenOverASystemCaption)
{
    Attached<CAppManager> attached;
    RecordingWindow window;
    ASSERT_TRUE(window.Create(0, nullptr, L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200, nullptr));
    // Points on the caption bar and on the sizing border of the system frame.
    EXPECT_EQ(SendMessageW(window.m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(250, 105)), HTCLIENT);
    EXPECT_EQ(SendMessageW(window.m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(101, 250)), HTCLIENT);
    DestroyWindow(window.m_hWnd);
}

namespace {
class ReflectTarget : public RecordingWindow {
public:
    UINT reflected = 0;
    WPARAM reflectedWParam = 0;
    LPARAM reflectedLParam = 0;
    ReflectTarget()
    {
        handler = [this](UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
            if (msg == OCM_COMMAND_REFLECT) {
                reflected = msg;
                reflectedWParam = wParam;
                reflectedLParam = lParam;
            }
            return 0;
        };
    }
};
} // namespace

TEST(WindowProcRouting, CommandFromAControlIsReflectedToIt)
{
    Attached<CAppManager> attached;
    RecordingWindow parent;
    ReflectTarget child;
    ASSERT_TRUE(parent.Create(0, nullptr, L"", kPopup, 0, 0, 100, 100, nullptr));
    ASSERT_TRUE(child.Create(0, nullptr, L"", WS_CHILD, 0, 0, 10, 10, parent.m_hWnd));

    const WPARAM wParam = MAKEWPARAM(12, BN_CLICKED);
    EXPECT_EQ(SendMessageW(parent.m_hWnd, WM_COMMAND, wParam, reinterpret_cast<LPARAM>(child.m_hWnd)), 1);
    EXPECT_EQ(child.reflected, 0x2111u);
    EXPECT_EQ(child.reflectedWParam, wParam);
    EXPECT_EQ(child.reflectedLParam, reinterpret_cast<LPARAM>(child.m_hWnd));

    // A menu or accelerator command (no control) gets the default answer.
    child.reflected = 0;
    EXPECT_EQ(SendMessageW(parent.m_hWnd, WM_COMMAND, 40001, 0), 0);
    EXPECT_EQ(child.reflected, 0u);
    DestroyWindow(parent.m_hWnd);
}

TEST(WindowLifetime, DestroyingABoundObjectOnlyUnbindsItsWindow)
{
    Attached<RecordingManager> attached;
    HWND hwnd = nullptr;
    {
        RecordingWindow window;
        hwnd = window.Create(0, nullptr, L"", kPopup, 0, 0, 10, 10, nullptr);
        ASSERT_NE(hwnd, nullptr);
    }
    EXPECT_TRUE(IsWindow(hwnd)) << "the window outlives its object";
    EXPECT_TRUE(attached.manager.m_windows.empty());
    attached.manager.unbound.clear();
    SendMessageW(hwnd, WM_USER + 4, 0, 0);
    ASSERT_FALSE(attached.manager.unbound.empty());
    EXPECT_EQ(attached.manager.unbound.back(), static_cast<UINT>(WM_USER + 4));
    DestroyWindow(hwnd);
}
