// The client's logic for hostile input, built natively with AddressSanitizer and
// UndefinedBehaviorSanitizer and fed generated input in loops: the Config.ini
// number conversion, the value reads and their buffers, the host check, the
// start-URL builder, the boss-key choice and its name, and the cutting of
// titles and user names. Any read or write past a buffer, any overflow, ends
// the run with the sanitizer's report. The closing line counts the checks.

#include "app/ConfigFile.h"
#include "app/PortalSite.h"
#include "frames/BossKey.h"
#include "ui/framework/TextCut.h"
#include "ui/framework/WorkArea.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <map>
#include <random>
#include <string>

namespace {

int g_passed = 0;
int g_failed = 0;

#define CHECK(condition)                                                                                               \
    do {                                                                                                               \
        if (condition) {                                                                                               \
            ++g_passed;                                                                                                \
        } else {                                                                                                       \
            ++g_failed;                                                                                                \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);                         \
        }                                                                                                              \
    } while (0)

// The in-memory private-profile store behind the shim.
std::map<std::wstring, std::wstring> g_profile;

std::wstring ProfileKey(LPCWSTR section, LPCWSTR key, LPCWSTR path)
{
    return std::wstring(path) + L"|" + section + L"|" + key;
}

std::mt19937 g_random(4242);

std::wstring RandomText(size_t maxLength, const std::wstring& alphabet)
{
    std::wstring text(g_random() % (maxLength + 1), L' ');
    for (wchar_t& c : text)
        c = alphabet[g_random() % alphabet.size()];
    return text;
}

// Signed decimal conversion saturating at the 32-bit range, written apart from
// the client's (a wider accumulator, no early stop).
int ReferenceParse(const std::wstring& text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-'))
        negative = text[i++] == L'-';
    __int128 value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > (static_cast<__int128>(1) << 40))
            value = static_cast<__int128>(1) << 40;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

void CheckParseIniInt()
{
    CHECK(ParseIniInt(nullptr) == 0);
    const std::wstring alphabet = L"0123456789+- \tx9\x4E00";
    for (int i = 0; i < 200000; ++i) {
        const std::wstring text = RandomText(i % 1000 == 0 ? 5000 : 40, alphabet);
        const int parsed = ParseIniInt(text.c_str());
        if (parsed != ReferenceParse(text)) {
            CHECK(parsed == ReferenceParse(text));
            return;
        }
    }
    ++g_passed;
}

void CheckConfigReads()
{
    const std::wstring folder = L"C:\\game";
    // Folders of every length: a path that does not fit is never used.
    for (size_t length = 0; length < 400; ++length) {
        const std::wstring deep(length, L'd');
        ConfigFile config(deep.c_str());
        CHECK(config.IsUsable() == (length > 0 && length + 11 < kPathCapacity));
        CHECK(std::wcslen(config.Path()) < static_cast<size_t>(kPathCapacity));
    }
    ConfigFile none(nullptr);
    CHECK(!none.IsUsable());

    ConfigFile config(folder.c_str());
    for (int i = 0; i < 20000; ++i) {
        const std::wstring value = RandomText(i % 100 == 0 ? 100000 : 150, L"0123456789-+ ab.:\xD83D\xDE00");
        g_profile[ProfileKey(L"Common", L"UID", config.Path())] = value;
        wchar_t text[kIniValueCapacity];
        config.ReadText(L"Common", L"UID", text);
        CHECK(std::wcslen(text) < static_cast<size_t>(kIniValueCapacity));
        wchar_t whole[kIniValueCapacity];
        const bool fits = config.ReadWholeText(L"Common", L"UID", whole);
        CHECK(fits == (value.size() < static_cast<size_t>(kIniValueCapacity)));
        CHECK(fits ? value == whole : whole[0] == L'\0');
        const int number = config.ReadInt(L"Common", L"UID");
        CHECK(number == ReferenceParse(value.substr(0, kIniValueCapacity - 1)));
        CHECK(config.WriteInt(L"Common", L"RunCount", number));
    }
}

void CheckHostsAndStartUrl()
{
    const std::wstring alphabet = L"abcz09.-:/?@ \x7528";
    ConfigFile config(L"C:\\game");
    for (int i = 0; i < 50000; ++i) {
        const std::wstring host = RandomText(i % 500 == 0 ? 3000 : 30, alphabet);
        const bool valid = PortalSite::IsValidHost(host.c_str());
        if (valid)
            CHECK(host.size() < 200 && host.find_first_of(L"/?@ ") == std::wstring::npos);
        g_profile[ProfileKey(L"Portal", L"Host", config.Path())] = host;
        PortalSite site;
        site.LoadOverrides(config);
        CHECK(std::wcslen(site.Host()) < static_cast<size_t>(PortalSite::kHostCapacity));
        CHECK(site.Host() == host || std::wstring(site.Host()) == PortalSite::kDefaultHost);
    }
    CHECK(!PortalSite::IsValidHost(nullptr));

    const int uids[] = {0, 1, -1, 12345, INT_MAX, INT_MIN};
    for (int i = 0; i < 20000; ++i) {
        const std::wstring page = L"http://" + RandomText(i % 50 == 0 ? 4000 : 600, L"abc./") + L"/games/vorn/dlq";
        const int uid = i % 7 < 6 ? uids[i % 6] : static_cast<int>(g_random());
        wchar_t url[kStartUrlCapacity];
        BuildStartUrl(url, page.c_str(), uid);
        const std::wstring built(url);
        CHECK(built.size() < static_cast<size_t>(kStartUrlCapacity));
        const std::wstring whole = page + (uid ? std::to_wstring(uid) : L"");
        CHECK(whole.compare(0, built.size(), built) == 0);
        if (whole.size() < static_cast<size_t>(kStartUrlCapacity))
            CHECK(built == whole);
    }
}

void CheckBossKey()
{
    const int values[] = {INT_MIN, -1, 0, 1, 2, 3, 4, 5, 8, 15, 16, 0x44, 0x70, 0x87, 0x88, 255, 65536, INT_MAX};
    for (int modifiers = -20; modifiers < 40; ++modifiers) {
        for (int vk = -10; vk < 300; ++vk) {
            const BossKey key = BossKey::FromConfig(modifiers, vk);
            const std::wstring name = key.Name();
            CHECK(!name.empty() && name.size() < 32);
        }
    }
    for (int m : values) {
        for (int vk : values) {
            const BossKey key = BossKey::FromConfig(m, vk);
            const bool sound = m > 0 && (m & ~0xF) == 0 && (m & 0xB) != 0 &&
                               ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9') || (vk >= VK_F1 && vk <= VK_F24));
            CHECK(sound ? (key.modifiers == static_cast<UINT>(m) && key.virtualKey == static_cast<UINT>(vk))
                        : (key.modifiers == MOD_ALT && key.virtualKey == 'D'));
            CHECK(key.MenuText().rfind(L"老板键(", 0) == 0 && key.MenuText().back() == L')');
        }
    }
}

void CheckTextCut()
{
    CHECK(CopyCut(nullptr, 10, L"x") == 0);
    wchar_t one[1] = {L'q'};
    CHECK(CopyCut(one, nullptr) == 0 && one[0] == L'\0');
    const std::wstring alphabet = L"a\x540D\xD83D\xDE00\xD83C\xDFAE";
    for (int i = 0; i < 50000; ++i) {
        const std::wstring text = RandomText(i % 100 == 0 ? 100000 : 400, alphabet);
        const size_t capacity = 1 + g_random() % 300;
        std::wstring buffer(capacity + 8, L'#'); // guard characters past the buffer
        const size_t copied = CopyCut(buffer.data(), capacity, text.c_str());
        CHECK(copied < capacity && buffer[copied] == L'\0');
        CHECK(buffer.compare(capacity, 8, std::wstring(8, L'#')) == 0);
        CHECK(text.compare(0, copied, buffer, 0, copied) == 0);
        if (copied < text.size())
            CHECK(copied == 0 || !IsLeadSurrogate(buffer[copied - 1]) ||
                  !(text[copied] >= 0xDC00 && text[copied] <= 0xDFFF));
        // Only a character that does not fit is left out: at most one more place stays empty.
        CHECK(copied + 2 >= std::min(capacity, text.size() + 1));
    }
    wchar_t title[260];
    const std::wstring huge(100000, L'\x6807');
    CHECK(CopyCut(title, huge.c_str()) == 259);
}

bool Inside(const RECT& r, const RECT& outer)
{
    return r.left >= outer.left && r.top >= outer.top && r.right <= outer.right && r.bottom <= outer.bottom;
}

void CheckWorkArea()
{
    using namespace workarea;
    // A primary monitor with a task bar, a small one to its right, one left of
    // it (negative coordinates) and one above.
    const RECT works[] = {{0, 0, 1920, 1040}, {1920, 0, 2944, 600}, {-2560, -200, 0, 1240}, {0, -1080, 1920, 0}};
    const SIZE minimum = {1020, 704};
    const LONG edges[] = {INT_MIN, INT_MIN + 1, -1000000, -32769, -32768,  -32767,       -4000,
                          -25,     -1,          0,        1,      3,       600,          1919,
                          1920,    5000,        32767,    32768,  1000000, INT_MAX - 25, INT_MAX};
    for (const RECT& work : works) {
        const SIZE least = MinimumWithin(minimum, work);
        CHECK(least.cx == std::min<LONG>(1020, work.right - work.left) &&
              least.cy == std::min<LONG>(704, work.bottom - work.top));
        for (LONG a : edges) {
            for (LONG b : edges) {
                for (int shape = 0; shape < 3; ++shape) {
                    // Either corner anywhere, a strip along an edge, and a rectangle many screens large.
                    const RECT r = shape == 0   ? RECT{a, b, b, a}
                                   : shape == 1 ? RECT{a, b, a, b > INT_MIN + 3 ? b - 3 : INT_MAX}
                                                : RECT{a, b, a > INT_MAX - 9000 ? INT_MAX : a + 9000, INT_MAX};
                    const bool plausible = IsPlausibleWindowRect(r);
                    CHECK(!plausible || (r.right > r.left && r.bottom > r.top && r.left >= -32767 && r.right <= 32767));
                    const RECT fit = FitInto(r, work, minimum);
                    CHECK(Inside(fit, work));
                    const long long width = static_cast<long long>(r.right) - r.left;
                    const long long height = static_cast<long long>(r.bottom) - r.top;
                    CHECK(static_cast<long long>(fit.right) - fit.left ==
                          std::clamp<long long>(width, least.cx, work.right - work.left));
                    CHECK(static_cast<long long>(fit.bottom) - fit.top ==
                          std::clamp<long long>(height, least.cy, work.bottom - work.top));
                    // What fits stays where it was.
                    if (Inside(r, work) && width >= least.cx && height >= least.cy)
                        CHECK(fit.left == r.left && fit.top == r.top && fit.right == r.right && fit.bottom == r.bottom);
                }
            }
        }
    }
    CHECK(!IsPlausibleWindowRect({0, 0, 0, 10}) && !IsPlausibleWindowRect({5, 5, 4, 9}));
    CHECK(IsPlausibleWindowRect({-32767, -32767, 0, 0}) && !IsPlausibleWindowRect({-32767, 0, 1, 10}));
    const RECT edge = RectOf(INT_MAX - 5, INT_MIN + 5, 100, -100);
    CHECK(edge.right == INT_MAX && edge.bottom == INT_MIN);

    // The maximised area as the system reads it: relative to the window's own monitor.
    MINMAXINFO info = {};
    SetMaximizedArea(info, {1920, 0, 2944, 600}, {1920, 0, 2944, 600});
    CHECK(info.ptMaxPosition.x == 0 && info.ptMaxPosition.y == 0 && info.ptMaxSize.x == 1024 &&
          info.ptMaxSize.y == 600);
    SetMaximizedArea(info, {-2560, -200, 0, 1240}, {-2500, -200, 0, 1200});
    CHECK(info.ptMaxPosition.x == 60 && info.ptMaxPosition.y == 0 && info.ptMaxSize.x == 2500 &&
          info.ptMaxSize.y == 1400);
    SetMaximizedArea(info, {0, 0, 1920, 1080}, {0, 40, 1920, 1080});
    CHECK(info.ptMaxPosition.x == 0 && info.ptMaxPosition.y == 40 && info.ptMaxSize.y == 1040);
}

} // namespace

DWORD GetPrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR fallback, LPWSTR buffer, DWORD size, LPCWSTR path)
{
    if (!buffer || size == 0)
        return 0;
    auto found = g_profile.find(ProfileKey(section, key, path));
    const std::wstring value = found != g_profile.end() ? found->second : std::wstring(fallback ? fallback : L"");
    const size_t n = std::min<size_t>(value.size(), size - 1);
    std::wmemcpy(buffer, value.data(), n);
    buffer[n] = L'\0';
    return static_cast<DWORD>(n);
}

BOOL WritePrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR value, LPCWSTR path)
{
    g_profile[ProfileKey(section, key, path)] = value ? value : L"";
    return TRUE;
}

int main()
{
    CheckParseIniInt();
    CheckConfigReads();
    CheckHostsAndStartUrl();
    CheckBossKey();
    CheckTextCut();
    CheckWorkArea();
    std::printf("%d passed, %d failed\n", g_passed, g_failed);
    return g_failed == 0 ? 0 : 1;
}
