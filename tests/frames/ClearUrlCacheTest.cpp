// Cache clearing against the real WinINet URL cache of the prefix.

#include "frames/ClearUrlCache.h"
#include "support/TestSupport.h"

#include <wininet.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr const wchar_t* kCaption = L"Morvane网页版";

bool SeedCacheEntry(const std::wstring& url)
{
    wchar_t file[MAX_PATH] = {};
    if (!CreateUrlCacheEntryW(url.c_str(), 0, L"htm", file, 0))
        return false;
    if (!test::WriteFileBytes(file, "<html>cached</html>"))
        return false;
    FILETIME never = {};
    const wchar_t header[] = L"HTTP/1.1 200 OK\r\n\r\n";
    return CommitUrlCacheEntryW(url.c_str(), file, never, never, NORMAL_CACHE_ENTRY, const_cast<wchar_t*>(header),
                                static_cast<DWORD>(wcslen(header)), L"htm", nullptr);
}

bool IsCached(const std::wstring& url)
{
    DWORD size = 0;
    GetUrlCacheEntryInfoW(url.c_str(), nullptr, &size);
    const DWORD error = GetLastError();
    return error == ERROR_INSUFFICIENT_BUFFER;
}

std::vector<HWND> DoneBoxes()
{
    std::vector<HWND> boxes;
    for (HWND box = FindWindowW(L"#32770", kCaption); box; box = FindWindowExW(nullptr, box, L"#32770", kCaption))
        boxes.push_back(box);
    return boxes;
}

std::wstring BoxText(HWND box)
{
    wchar_t text[128] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 128); // the message text of a message box
    return text;
}

class CacheClearing : public ::testing::Test {
protected:
    void SetUp() override
    {
        owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                                nullptr, nullptr);
        ASSERT_NE(owner, nullptr);
    }
    void TearDown() override
    {
        for (HWND box : DoneBoxes())
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        for (HANDLE thread : threads) {
            test::PumpUntil([&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }, 5000);
            CloseHandle(thread);
        }
        DestroyWindow(owner);
    }
    HANDLE StartRun()
    {
        HANDLE thread = CreateThread(nullptr, 0, ClearUrlCache, owner, 0, nullptr);
        threads.push_back(thread);
        return thread;
    }
    HWND WaitForBox()
    {
        HWND box = nullptr;
        test::PumpUntil([&] { return (box = FindWindowW(L"#32770", kCaption)) != nullptr; }, 10000);
        return box;
    }
    bool WaitForEnd(HANDLE thread)
    {
        return test::PumpUntil([&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }, 10000);
    }

    HWND owner = nullptr;
    std::vector<HANDLE> threads;
};

} // namespace

TEST_F(CacheClearing, DeletesEveryEntryAndSaysSoOnce)
{
    const std::vector<std::wstring> urls = {L"http://127.0.0.1:9/games/vorn/dlq", L"http://127.0.0.1:9/a.png",
                                            L"http://127.0.0.1:9/game.swf?v=2"};
    for (const auto& url : urls) {
        ASSERT_TRUE(SeedCacheEntry(url)) << testing::PrintToString(url);
        ASSERT_TRUE(IsCached(url));
    }

    HANDLE run = StartRun();
    HWND box = WaitForBox();
    ASSERT_NE(box, nullptr) << "no message box at the end of the run";
    EXPECT_EQ(BoxText(box), L"清理缓存完成");
    EXPECT_EQ(GetWindow(box, GW_OWNER), owner);
    EXPECT_NE(GetWindowThreadProcessId(box, nullptr), GetCurrentThreadId()) << "the box belongs to the worker";
    for (const auto& url : urls)
        EXPECT_FALSE(IsCached(url)) << testing::PrintToString(url);
    EXPECT_TRUE(g_cacheClearing) << "in progress until the box is dismissed";

    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitForEnd(run));
    DWORD code = 1;
    GetExitCodeThread(run, &code);
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(g_cacheClearing);
}

TEST_F(CacheClearing, ASecondRunWhileTheBoxIsOpenDoesNothing)
{
    ASSERT_TRUE(SeedCacheEntry(L"http://127.0.0.1:9/first"));
    StartRun();
    ASSERT_NE(WaitForBox(), nullptr);

    ASSERT_TRUE(SeedCacheEntry(L"http://127.0.0.1:9/second"));
    HANDLE second = StartRun();
    ASSERT_TRUE(WaitForEnd(second)) << "the second run returns at once";
    EXPECT_EQ(DoneBoxes().size(), 1u) << "one box only";
    EXPECT_TRUE(IsCached(L"http://127.0.0.1:9/second")) << "the second run cleared nothing";
}

TEST_F(CacheClearing, AnEmptyCacheStillEndsWithTheBox)
{
    HANDLE first = StartRun();
    HWND box = WaitForBox();
    ASSERT_NE(box, nullptr);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitForEnd(first));

    // The cache is empty now; a new run still reports completion.
    HANDLE second = StartRun();
    box = WaitForBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(BoxText(box), L"清理缓存完成");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitForEnd(second));
}

TEST_F(CacheClearing, RunsStartedTogetherClearOnce)
{
    // Many runs released at the same instant: exactly one gets through.
    std::vector<HANDLE> runs;
    for (int i = 0; i < 8; ++i)
        runs.push_back(CreateThread(nullptr, 0, ClearUrlCache, owner, CREATE_SUSPENDED, nullptr));
    for (HANDLE run : runs) {
        threads.push_back(run);
        ResumeThread(run);
    }
    ASSERT_NE(WaitForBox(), nullptr);
    int ended = 0;
    test::PumpUntil(
        [&] {
            ended = 0;
            for (HANDLE run : runs)
                ended += WaitForSingleObject(run, 0) == WAIT_OBJECT_0;
            return ended == 7;
        },
        10000);
    EXPECT_EQ(ended, 7) << "all but the one that shows the box have ended";
    EXPECT_EQ(DoneBoxes().size(), 1u);
}
