#include "frames/ClearUrlCache.h"

#include "ui/framework/SystemFunction.h"

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

// WinINet's cache functions, found when the cache is cleared: showing the
// launcher needs nothing of WinINet (the browser control loads it for its own
// use when it comes up).
struct UrlCacheFunctions {
    UrlCacheFunctions()
        : findFirst(SystemFunction<decltype(&FindFirstUrlCacheEntryW)>(kLibrary, "FindFirstUrlCacheEntryW")),
          findNext(SystemFunction<decltype(&FindNextUrlCacheEntryW)>(kLibrary, "FindNextUrlCacheEntryW")),
          findClose(SystemFunction<decltype(&FindCloseUrlCache)>(kLibrary, "FindCloseUrlCache")),
          deleteEntry(SystemFunction<decltype(&DeleteUrlCacheEntryW)>(kLibrary, "DeleteUrlCacheEntryW"))
    {}
    bool Found() const { return findFirst && findNext && findClose && deleteEntry; }

    static constexpr const wchar_t* kLibrary = L"wininet.dll";
    decltype(&FindFirstUrlCacheEntryW) findFirst;
    decltype(&FindNextUrlCacheEntryW) findNext;
    decltype(&FindCloseUrlCache) findClose;
    decltype(&DeleteUrlCacheEntryW) deleteEntry;
};

void DeleteEveryEntry()
{
    const UrlCacheFunctions wininet;
    if (!wininet.Found())
        return; // nothing can be deleted without them
    CacheEntryBuffer buffer;
    DWORD size = 0;
    // This first call only reports the size the first entry needs.
    wininet.findFirst(nullptr, nullptr, &size);
    if (size == 0)
        return; // an empty cache
    buffer.Resize(size);
    HANDLE find = wininet.findFirst(nullptr, buffer.Entry(), &size);
    if (!find)
        return;
    for (;;) {
        if (INTERNET_CACHE_ENTRY_INFOW* entry = buffer.Entry()) {
            if (entry->lpszSourceUrlName)
                wininet.deleteEntry(entry->lpszSourceUrlName); // an entry in use stays; the walk goes on
        }
        size = 0;
        // Learns the next entry's size without moving on.
        wininet.findNext(find, nullptr, &size);
        buffer.Resize(size);
        if (!buffer.Entry() || !wininet.findNext(find, buffer.Entry(), &size))
            break;
    }
    wininet.findClose(find);
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
