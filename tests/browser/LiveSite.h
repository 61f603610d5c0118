#pragma once
// The browser site with the real WebBrowser control created in place in a host
// window on the test's own thread, for the site tests that need a live control.

#include "BrowserTestSupport.h"

#include "browser/CWebBrowser.h"

#include <gtest/gtest.h>

namespace test {

// A host window inside a top-level window, as the browser window is placed.
class HostWindows {
public:
    HostWindows()
    {
        top = CreateWindowExW(0, L"STATIC", L"top", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 900, 700, nullptr,
                              nullptr, nullptr, nullptr);
        host = CreateWindowExW(0, L"STATIC", L"host", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 10, 20, 800, 600, top,
                               nullptr, nullptr, nullptr);
    }
    ~HostWindows()
    {
        if (IsWindow(top))
            DestroyWindow(top);
    }
    HostWindows(const HostWindows&) = delete;
    HostWindows& operator=(const HostWindows&) = delete;
    HWND top = nullptr;
    HWND host = nullptr;
};

// The site with the real control created in place on the test's thread.
class LiveSite : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ole.Ok());
        ASSERT_NE(windows.host, nullptr);
        ASSERT_TRUE(site.Create(windows.host));
    }
    void TearDown() override { site.CloseControl(); }

    OleApartment ole;
    HostWindows windows;
    CWebBrowser site;
};

} // namespace test
