#pragma once
// Helpers of the browser tests: an OLE apartment for the test's own thread, a
// UI thread run as start-up runs it, and a browser window that can run a piece
// of test code on its own thread.

#include "app/gameApp.h"
#include "browser/CMyHtml.h"
#include "support/EventLog.h"
#include "support/TestSupport.h"
#include "ui/framework/CHtmlAppManager.h"

#include <ole2.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace test {

// OLE on the calling thread for the life of the object.
class OleApartment {
public:
    OleApartment() : m_ok(OleInitialize(nullptr) == S_OK) {}
    ~OleApartment()
    {
        if (m_ok)
            OleUninitialize();
    }
    OleApartment(const OleApartment&) = delete;
    OleApartment& operator=(const OleApartment&) = delete;
    bool Ok() const { return m_ok; }

private:
    bool m_ok;
};

// The browser window with a way for the test to run code on the UI thread.
class TestHtml : public CMyHtml {
public:
    static constexpr UINT WM_RUN_TEST_CODE = WM_APP + 77;

    // Runs work on the window's thread, synchronously; false when the window is
    // gone or its thread does not answer.
    bool RunOnWindowThread(const std::function<void()>& work)
    {
        HWND hwnd = m_hWnd;
        DWORD_PTR ignored = 0;
        return hwnd && SendMessageTimeoutW(hwnd, WM_RUN_TEST_CODE, 0, reinterpret_cast<LPARAM>(&work), SMTO_NORMAL,
                                           10000, &ignored) != 0;
    }

    LRESULT HandleMessage(UINT msg, WPARAM, LPARAM lParam) override
    {
        if (msg != WM_RUN_TEST_CODE)
            return 0;
        (*reinterpret_cast<const std::function<void()>*>(lParam))();
        return 1;
    }

    // Where and in which state the window was destroyed.
    void OnDestroy() override
    {
        APTTYPE type = APTTYPE_CURRENT;
        APTTYPEQUALIFIER qualifier = APTTYPEQUALIFIER_NONE;
        destroyedInApartment =
            SUCCEEDED(CoGetApartmentType(&type, &qualifier)) && (type == APTTYPE_STA || type == APTTYPE_MAINSTA);
        destroyedOnThread = GetCurrentThreadId();
        CMyHtml::OnDestroy();
    }
    std::atomic<DWORD> destroyedOnThread{0};
    std::atomic<bool> destroyedInApartment{false};
};

// Writes down each navigation the browser site reports as it starts:
// "before <url>", marked " (no object)" or " (no flag)" when the control left
// the frame's object or the cancel flag out. Set it on the site's own thread.
inline void RecordNavigations(CWebBrowser& site, EventLog& log)
{
    site.OnBeforeNavigate = [&log](IDispatch* disp, const wchar_t* url, VARIANT_BOOL* cancel) {
        log.Add(EventLog::Line(L"before", url ? url : L"<null>") + (disp ? L"" : L" (no object)") +
                (cancel ? L"" : L" (no flag)"));
    };
}

// The first direct child of parent with the given class, or null.
inline HWND ChildOfClass(HWND parent, const wchar_t* className)
{
    return parent ? FindWindowExW(parent, nullptr, className, nullptr) : nullptr;
}

// The browser window inside parent once its creation has finished: it is in
// the parent's child list from the start, but shown only at the end of creation.
inline bool CreatedChild(HWND parent, HWND& window)
{
    window = ChildOfClass(parent, L"ImageWnd");
    return window && IsWindowVisible(window);
}

// A window's rectangle in the client coordinates of another window.
inline RECT RectIn(HWND window, HWND reference)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, reference, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

} // namespace test
