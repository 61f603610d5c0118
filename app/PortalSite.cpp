#include "app/PortalSite.h"

#include "app/ConfigFile.h"

#include <strsafe.h>

namespace {

std::wstring HttpUrl(const wchar_t* host, const wchar_t* path) { return std::wstring(L"http://") + host + path; }

bool IsHostChar(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'.' || c == L'-';
}

void TakeOverride(const ConfigFile& config, const wchar_t* key, wchar_t (&host)[PortalSite::kHostCapacity])
{
    wchar_t value[kIniValueCapacity];
    if (config.ReadWholeText(L"Portal", key, value) && PortalSite::IsValidHost(value))
        StringCchCopyW(host, PortalSite::kHostCapacity, value);
}

} // namespace

PortalSite::PortalSite()
{
    StringCchCopyW(m_host, kHostCapacity, kDefaultHost);
    StringCchCopyW(m_forumHost, kHostCapacity, kDefaultForumHost);
    StringCchCopyW(m_payHost, kHostCapacity, kDefaultPayHost);
}

void PortalSite::LoadOverrides(const ConfigFile& config)
{
    TakeOverride(config, L"Host", m_host);
    TakeOverride(config, L"ForumHost", m_forumHost);
    TakeOverride(config, L"PayHost", m_payHost);
}

bool PortalSite::IsValidHost(const wchar_t* text)
{
    if (!text || !*text)
        return false;
    const wchar_t* p = text;
    // Host name: letters, digits, dots and hyphens, not starting or ending with a dot or hyphen.
    const wchar_t* nameStart = p;
    while (IsHostChar(*p))
        ++p;
    if (p == nameStart || *nameStart == L'.' || *nameStart == L'-' || p[-1] == L'.' || p[-1] == L'-')
        return false;
    if (*p == L'\0')
        return true;
    if (*p != L':')
        return false;
    ++p;
    // Port: 1 to 65535, decimal digits only.
    long port = 0;
    int digits = 0;
    for (; *p >= L'0' && *p <= L'9'; ++p) {
        if (++digits > 5)
            return false;
        port = port * 10 + (*p - L'0');
    }
    return *p == L'\0' && digits > 0 && port >= 1 && port <= 65535;
}

std::wstring PortalSite::StartPage() const { return HttpUrl(m_host, kStartPath); }
std::wstring PortalSite::HomePage() const { return HttpUrl(m_host, kHomePath); }
std::wstring PortalSite::ServicePage() const { return HttpUrl(m_host, kServicePath); }
std::wstring PortalSite::ForumPage() const { return HttpUrl(m_forumHost, kForumPath); }
std::wstring PortalSite::PaymentPage() const { return HttpUrl(m_payHost, kPayPath); }

void BuildStartUrl(wchar_t (&out)[kStartUrlCapacity], const wchar_t* startPage, int uid)
{
    ZeroMemory(out, sizeof(out));
    if (uid != 0)
        StringCchPrintfW(out, kStartUrlCapacity, L"%ls%d", startPage, uid);
    else
        StringCchPrintfW(out, kStartUrlCapacity, L"%ls", startPage);
}
