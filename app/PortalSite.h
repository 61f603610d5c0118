#pragma once
// The game's web site as the client knows it: three hosts and the fixed paths of
// its pages. The compiled-in hosts can be replaced by the optional [Portal]
// section of Config.ini (Host, ForumHost, PayHost), each a host name with an
// optional ":port" and nothing else.

#include <string>

class ConfigFile;

class PortalSite {
public:
    static constexpr int kHostCapacity = 64;

    static constexpr const wchar_t* kDefaultHost = L"www.morvane.com";
    static constexpr const wchar_t* kDefaultForumHost = L"bbs.morvane.com";
    static constexpr const wchar_t* kDefaultPayHost = L"pay.morvane.com";

    static constexpr const wchar_t* kStartPath = L"/games/vorn/dlq";
    static constexpr const wchar_t* kHomePath = L"/games/vorn/";
    static constexpr const wchar_t* kServicePath = L"/kf/";
    static constexpr const wchar_t* kForumPath = L"/forum-2110-1.html";
    static constexpr const wchar_t* kPayPath = L"/";

    PortalSite();

    // Replaces each host whose [Portal] value is a valid host; others keep the default.
    void LoadOverrides(const ConfigFile& config);
    static bool IsValidHost(const wchar_t* text);

    std::wstring StartPage() const;   // the start page without user id
    std::wstring HomePage() const;    // the game's home page
    std::wstring ServicePage() const; // customer service
    std::wstring ForumPage() const;
    std::wstring PaymentPage() const;

    const wchar_t* Host() const { return m_host; }
    const wchar_t* ForumHost() const { return m_forumHost; }
    const wchar_t* PayHost() const { return m_payHost; }

private:
    wchar_t m_host[kHostCapacity] = {};
    wchar_t m_forumHost[kHostCapacity] = {};
    wchar_t m_payHost[kHostCapacity] = {};
};

// The start URL: the start page followed directly by the decimal user id when it
// is not 0. Written into a 512-character buffer, never past it.
constexpr int kStartUrlCapacity = 512;
void BuildStartUrl(wchar_t (&out)[kStartUrlCapacity], const wchar_t* startPage, int uid);
