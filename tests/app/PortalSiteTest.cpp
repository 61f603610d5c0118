// The portal's hosts and pages, and the start URL.

#include "app/ConfigFile.h"
#include "app/PortalSite.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

TEST(StartUrl, AppendsANonZeroUserIdWithoutSeparator)
{
    wchar_t url[kStartUrlCapacity];
    BuildStartUrl(url, L"http://h/games/vorn/dlq", 12345);
    EXPECT_STREQ(url, L"http://h/games/vorn/dlq12345");
    BuildStartUrl(url, L"http://h/games/vorn/dlq", 0);
    EXPECT_STREQ(url, L"http://h/games/vorn/dlq");
    BuildStartUrl(url, L"http://h/games/vorn/dlq", -5);
    EXPECT_STREQ(url, L"http://h/games/vorn/dlq-5");
}

TEST(StartUrl, UserIdsFromConfigAsStartUpReadsThem)
{
    // UID text as found in Config.ini, through the same conversion start-up uses.
    struct Case {
        const wchar_t* uid;
        const wchar_t* suffix;
    } cases[] = {{L"12345", L"12345"}, {L"abc", L""}, {L"0", L""}, {L"", L""}, {L" 77x", L"77"}};
    for (const Case& c : cases) {
        wchar_t url[kStartUrlCapacity];
        BuildStartUrl(url, PortalSite().StartPage().c_str(), ParseIniInt(c.uid));
        EXPECT_EQ(std::wstring(url), L"http://www.morvane.com/games/vorn/dlq" + std::wstring(c.suffix));
    }
}

TEST(StartUrl, NeverWritesPastItsBuffer)
{
    wchar_t url[kStartUrlCapacity + 8];
    for (auto& c : url)
        c = L'#';
    const std::wstring huge = L"http://" + std::wstring(2000, L'x');
    BuildStartUrl(reinterpret_cast<wchar_t(&)[kStartUrlCapacity]>(url), huge.c_str(), 42);
    EXPECT_EQ(wcslen(url), static_cast<size_t>(kStartUrlCapacity - 1));
    for (int i = kStartUrlCapacity; i < kStartUrlCapacity + 8; ++i)
        EXPECT_EQ(url[i], L'#');
}

TEST(PortalSite, DefaultPagesUseTheirOwnHosts)
{
    PortalSite site;
    EXPECT_EQ(site.StartPage(), L"http://www.morvane.com/games/vorn/dlq");
    EXPECT_EQ(site.HomePage(), L"http://www.morvane.com/games/vorn/");
    EXPECT_EQ(site.ServicePage(), L"http://www.morvane.com/kf/");
    EXPECT_EQ(site.ForumPage(), L"http://bbs.morvane.com/forum-2110-1.html");
    EXPECT_EQ(site.PaymentPage(), L"http://pay.morvane.com/");
}

TEST(PortalSite, AcceptsOnlyAHostWithAnOptionalPort)
{
    for (const wchar_t* good : {L"127.0.0.1", L"127.0.0.1:8080", L"localhost", L"a-b.example.org:1", L"x:65535"})
        EXPECT_TRUE(PortalSite::IsValidHost(good)) << testing::PrintToString(std::wstring(good));
    for (const wchar_t* bad : {L"", L"http://h", L"h/path", L"h:", L"h:0", L"h:65536", L"h:123456", L"h:80x", L"-h",
                               L"h.", L".h", L"h h", L"h?x", L"用户.com", L":80", L"h:80:81"})
        EXPECT_FALSE(PortalSite::IsValidHost(bad)) << testing::PrintToString(std::wstring(bad));
    EXPECT_FALSE(PortalSite::IsValidHost(nullptr));
}

TEST(PortalSite, ConfigOverridesValidHostsAndIgnoresTheRest)
{
    test::TempFolder folder;
    ASSERT_TRUE(
        test::WriteFileBytes(folder.File(L"Config.ini"),
                             "[Portal]\r\nHost=127.0.0.1:8123\r\nForumHost=http://evil/\r\nPayHost=pay.local\r\n"));
    PortalSite site;
    site.LoadOverrides(ConfigFile(folder.Path().c_str()));
    EXPECT_EQ(site.StartPage(), L"http://127.0.0.1:8123/games/vorn/dlq");
    EXPECT_EQ(site.ServicePage(), L"http://127.0.0.1:8123/kf/");
    EXPECT_EQ(site.ForumPage(), L"http://bbs.morvane.com/forum-2110-1.html") << "an invalid value keeps the default";
    EXPECT_EQ(site.PaymentPage(), L"http://pay.local/");
}
