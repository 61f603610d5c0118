#pragma once
// Empties the user's WinINet URL cache on a worker thread of its own and tells
// the user when it is done.

#include <windows.h>

#include <atomic>

// A clearing run is in progress (from its start through its final message box).
extern std::atomic<bool> g_cacheClearing;

// Thread start routine; param is the window that owns the final message box.
// A run started while another one is in progress returns at once.
DWORD WINAPI ClearUrlCache(LPVOID param);
