#pragma once
// Search for a descendant window by title, class name and owning process, and
// its use to find the Flash player's window inside the browser control.

#include <windows.h>

struct WindowSearch {
    static constexpr int kTextCapacity = 256;

    DWORD processId;                  // 0: any process
    HWND found;                       // the first match, null until one is found
    wchar_t title[kTextCapacity];     // empty: any title; else the exact window text
    wchar_t className[kTextCapacity]; // empty: any class; else the exact class name
};

// EnumChildWindows callback: stores the first window matching the search
// (exact, case-sensitive comparisons) in found and stops there.
BOOL CALLBACK SearchChildWindow(HWND hwnd, LPARAM search);

// The first descendant of parent whose class is exactly "MacromediaFlashPlayerActiveX", or null.
HWND FindFlashWindow(HWND parent);
