// The descendant-window search and the Flash window it finds inside the control.

#include "browser/WindowSearch.h"

#include <gtest/gtest.h>

#include <strsafe.h>

namespace {

// Class names are compared without regard to case within one module: a class
// whose name differs only in case can only come from another module (a plug-in).
HINSTANCE OtherModule() { return GetModuleHandleW(L"kernel32.dll"); }

bool RegisterPlainClass(const wchar_t* name, HINSTANCE module = GetModuleHandleW(nullptr))
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = module;
    wc.lpszClassName = name;
    return RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND Child(const wchar_t* className, HWND parent, const wchar_t* title = L"",
           HINSTANCE module = GetModuleHandleW(nullptr))
{
    return CreateWindowExW(0, className, title, WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, parent, nullptr, module, nullptr);
}

class FlashSearch : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(RegisterPlainClass(L"MacromediaFlashPlayerActiveX"));
        ASSERT_TRUE(RegisterPlainClass(L"macromediaflashplayeractivex", OtherModule()));
        top = CreateWindowExW(0, L"STATIC", L"top", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(top, nullptr);
    }
    void TearDown() override { DestroyWindow(top); }
    HWND top = nullptr;
};

} // namespace

TEST_F(FlashSearch, FindsAFlashWindowSeveralLevelsDown)
{
    HWND level1 = Child(L"STATIC", top);
    HWND level2 = Child(L"STATIC", level1);
    HWND level3 = Child(L"STATIC", level2);
    HWND flash = Child(L"MacromediaFlashPlayerActiveX", level3);
    ASSERT_NE(flash, nullptr);
    EXPECT_EQ(FindFlashWindow(top), flash);
    EXPECT_EQ(FindFlashWindow(level2), flash);
    EXPECT_EQ(FindFlashWindow(flash), nullptr) << "a window is not its own descendant";
    EXPECT_EQ(FindFlashWindow(nullptr), nullptr);
}

TEST_F(FlashSearch, IgnoresAClassThatDiffersOnlyInLetterCase)
{
    HWND level1 = Child(L"STATIC", top);
    HWND nearMiss = Child(L"macromediaflashplayeractivex", level1, L"", OtherModule());
    ASSERT_NE(nearMiss, nullptr);
    wchar_t className[64] = {};
    GetClassNameW(nearMiss, className, 64);
    ASSERT_STREQ(className, L"macromediaflashplayeractivex");
    EXPECT_EQ(FindFlashWindow(top), nullptr);

    HWND flash = Child(L"MacromediaFlashPlayerActiveX", level1);
    EXPECT_EQ(FindFlashWindow(top), flash) << "the exact class after the near miss is found";
}

TEST_F(FlashSearch, TitleAndProcessNarrowTheSearch)
{
    HWND first = Child(L"STATIC", top, L"其他");
    HWND wanted = Child(L"STATIC", top, L"目标");
    ASSERT_TRUE(first && wanted);

    WindowSearch search;
    ZeroMemory(&search, sizeof(search));
    StringCchCopyW(search.title, WindowSearch::kTextCapacity, L"目标");
    EnumChildWindows(top, SearchChildWindow, reinterpret_cast<LPARAM>(&search));
    EXPECT_EQ(search.found, wanted);

    search.found = nullptr;
    StringCchCopyW(search.className, WindowSearch::kTextCapacity, L"Static");
    EnumChildWindows(top, SearchChildWindow, reinterpret_cast<LPARAM>(&search));
    EXPECT_EQ(search.found, wanted) << "Wine and Windows name the class Static";

    search.found = nullptr;
    search.processId = GetCurrentProcessId() + 4;
    EnumChildWindows(top, SearchChildWindow, reinterpret_cast<LPARAM>(&search));
    EXPECT_EQ(search.found, nullptr) << "another process owns no window here";

    search.processId = GetCurrentProcessId();
    EnumChildWindows(top, SearchChildWindow, reinterpret_cast<LPARAM>(&search));
    EXPECT_EQ(search.found, wanted);
}
