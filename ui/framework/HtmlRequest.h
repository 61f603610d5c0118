#pragma once
// A request for the browser window on the UI thread. Records are copied into the
// queue by value; each post wakes the UI thread with one WM_HTML_REQUEST.

#include <windows.h>

#include <cstdint>
#include <string>

class CHtmlTarget;

constexpr UINT WM_HTML_REQUEST = 8913;

constexpr int REQUEST_CREATE = 1001;
constexpr int REQUEST_NAVIGATE = 1003;
constexpr int REQUEST_REFRESH = 1004;
constexpr int REQUEST_SET_SILENT = 1005;
constexpr int REQUEST_FIT_PAGE = 1006;

struct HtmlRequest {
    HWND hwnd = nullptr;           // 1001: parent of the new window; else the target's own window
    int code = 0;                  // request code; 0 means no request
    INT_PTR param = 0;             // 1001: width; 1005: the silent flag (VARIANT_BOOL)
    CHtmlTarget* target = nullptr; // window the request acts on; not owned
    int param2 = 0;                // 1001: height; 1003: navigation flags
    int x = 0;                     // 1001: left in the parent's client area
    int y = 0;                     // 1001: top
    std::wstring url;              // 1003: the request's own copy of the URL
    int retries = 0;               // times it found its browser not ready and went back to the tail
    std::uint64_t serial = 0;      // order of posting, given by the queue
};
