#include "frames/ClearUrlCache.h"

#include <wininet.h>

#include <vector>

std::atomic<bool> g_cacheClearing{false};

namespace {

// WinINet fills one cache entry record with its strings behind the fixed part;
// each entry asks for its own size.
class CacheEntryBuffer {
public:
    void Resize(DWORD bytes) { m_bytes.assign(bytes, 0); }
    INTERNET_CACHE_ENTRY_INFOW* Entry()
    {
        return m_bytes.empty() ? nullptr : reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(m_bytes.data());
    }

private:
    std::vector<BYTE> m_bytes;
};

void DeleteEveryEntry()
{
    CacheEntryBuffer buffer;
    DWORD size = 0;
    // This first call only reports the size the first entry needs.
    FindFirstUrlCacheEntryW(nullptr, nullptr, &size);
    if (size == 0)
        return; // an empty cache
    buffer.Resize(size);
    HANDLE find = FindFirstUrlCacheEntryW(nullptr, buffer.Entry(), &size);
    if (!find)
        return;
    for (;;) {
        if (INTERNET_CACHE_ENTRY_INFOW* entry = buffer.Entry()) {
            if (entry->lpszSourceUrlName)
                DeleteUrlCacheEntryW(entry->lpszSourceUrlName); // an entry in use stays; the walk goes on
        }
        size = 0;
        // Learns the next entry's size without moving on.
        FindNextUrlCacheEntryW(find, nullptr, &size);
        buffer.Resize(size);
        if (!buffer.Entry() || !FindNextUrlCacheEntryW(find, buffer.Entry(), &size))
            break;
    }
    FindCloseUrlCache(find);
}

} // namespace

DWORD WINAPI ClearUrlCache(LPVOID param)
{
    // Test-and-set: of two runs started at the same instant only one goes on.
    if (g_cacheClearing.exchange(true))
        return 0;
    DeleteEveryEntry();
    MessageBoxW(static_cast<HWND>(param), L"清理缓存完成", L"Morvane网页版", MB_OK);
    g_cacheClearing = false;
    return 0;
}
