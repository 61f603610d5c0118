#include "browser/WindowSearch.h"

#include <strsafe.h>

namespace {
constexpr int kReadCapacity = 512;
}

BOOL CALLBACK SearchChildWindow(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    if (search->title[0]) {
        // Reading the text sends a message to the window's thread; a search by
        // class alone never waits on another thread.
        wchar_t text[kReadCapacity] = {};
        GetWindowTextW(hwnd, text, kReadCapacity - 1);
        if (wcscmp(search->title, text) != 0)
            return TRUE;
    }
    wchar_t className[kReadCapacity] = {};
    GetClassNameW(hwnd, className, kReadCapacity - 1);
    if (search->className[0] && wcscmp(search->className, className) != 0)
        return TRUE;
    if (search->processId) {
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner != search->processId)
            return TRUE;
    }
    search->found = hwnd;
    return FALSE;
}

HWND FindFlashWindow(HWND parent)
{
    // Without a parent EnumChildWindows would walk every top-level window.
    if (!parent)
        return nullptr;
    WindowSearch search;
    ZeroMemory(&search, sizeof(search));
    StringCchPrintfW(search.title, WindowSearch::kTextCapacity, L"%s", L"");
    StringCchPrintfW(search.className, WindowSearch::kTextCapacity, L"%s", L"MacromediaFlashPlayerActiveX");
    EnumChildWindows(parent, SearchChildWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
