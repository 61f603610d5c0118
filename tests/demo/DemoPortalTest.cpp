// The demo portal keeps the page contract the client relies on; fetched with
// WinINet under Wine, as the embedded browser fetches it.

#include "support/TestSupport.h"

#include <wininet.h>

#include <gtest/gtest.h>

namespace {

struct Page {
    DWORD status = 0;
    std::wstring contentType;
    std::string body;
};

class Internet {
public:
    Internet() : m_session(InternetOpenW(L"vorn-test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0)) {}
    ~Internet()
    {
        if (m_session)
            InternetCloseHandle(m_session);
    }
    Internet(const Internet&) = delete;
    Internet& operator=(const Internet&) = delete;

    Page Get(const std::wstring& url)
    {
        Page page;
        HINTERNET request = InternetOpenUrlW(m_session, url.c_str(), nullptr, 0,
                                             INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
        if (!request)
            return page;
        DWORD size = sizeof(page.status);
        HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &page.status, &size, nullptr);
        wchar_t type[256] = {};
        size = sizeof(type);
        if (HttpQueryInfoW(request, HTTP_QUERY_CONTENT_TYPE, type, &size, nullptr))
            page.contentType = type;
        char chunk[4096];
        DWORD read = 0;
        while (InternetReadFile(request, chunk, sizeof(chunk), &read) && read > 0)
            page.body.append(chunk, read);
        InternetCloseHandle(request);
        return page;
    }

private:
    HINTERNET m_session;
};

class DemoPortal : public ::testing::Test {
protected:
    void SetUp() override
    {
        host = test::PortalHost();
        ASSERT_FALSE(host.empty()) << "the demo portal fixture is not running";
    }
    Page Get(const std::wstring& path) { return internet.Get(L"http://" + host + path); }
    static bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

    std::wstring host;
    Internet internet;
};

} // namespace

TEST_F(DemoPortal, StartPageAnswersWithAndWithoutUserId)
{
    for (const wchar_t* path : {L"/games/vorn/dlq", L"/games/vorn/dlq12345"}) {
        const Page page = Get(path);
        EXPECT_EQ(page.status, 200u);
        EXPECT_EQ(page.contentType, L"text/html; charset=utf-8");
        EXPECT_TRUE(Contains(page.body, "<form")) << "a login form";
    }
    EXPECT_TRUE(Contains(Get(L"/games/vorn/dlq12345").body, "12345"));
    EXPECT_EQ(Get(L"/games/vorn/dlqx").status, 404u);
}

TEST_F(DemoPortal, LoginLeadsToTheServerListWithTheUserName)
{
    // WinINet follows the redirect of the login form to the server list.
    const Page page = Get(L"/games/vorn/login?user=hero&pass=x");
    EXPECT_EQ(page.status, 200u);
    EXPECT_TRUE(Contains(page.body, "id=\"login_user\">hero<"));
    EXPECT_TRUE(Contains(page.body, "type=pc"));
    EXPECT_TRUE(Contains(page.body, "client=1"));
    const auto requests = test::PortalRequests();
    ASSERT_GE(requests.size(), 2u);
    EXPECT_EQ(requests[requests.size() - 2], "GET /games/vorn/login?user=hero&pass=x");
    EXPECT_EQ(requests.back().rfind("GET /games/vorn/xf.html?", 0), 0u);
}

TEST_F(DemoPortal, GamePageSetsTheTitleThroughTheBridgeAndOpensNewWindows)
{
    const Page page = Get(L"/games/vorn/play?server=1&type=pc");
    EXPECT_EQ(page.status, 200u);
    EXPECT_TRUE(Contains(page.body, "window.external.zarvo_title("));
    EXPECT_TRUE(Contains(page.body, "target=\"_blank\""));
}

TEST_F(DemoPortal, NoticePageCarriesTheWarningTitle)
{
    const Page page = Get(L"/games/vorn/notice");
    EXPECT_TRUE(Contains(page.body, "<title>\xE6\xB8\xA9\xE9\xA6\xA8\xE6\x8F\x90\xE7\xA4\xBA</title>")) << "温馨提示";
}

TEST_F(DemoPortal, PortalPagesAnswer)
{
    for (const wchar_t* path : {L"/kf/", L"/games/vorn/", L"/forum-2110-1.html", L"/"}) {
        const Page page = Get(path);
        EXPECT_EQ(page.status, 200u) << testing::PrintToString(std::wstring(path));
        EXPECT_EQ(page.contentType, L"text/html; charset=utf-8");
    }
}
