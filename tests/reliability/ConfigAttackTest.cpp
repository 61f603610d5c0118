// Config.ini attacked: a few hundred generated files (binary junk, UTF-16 with
// and without byte-order mark, lines of 100 000 characters, numbers far beyond
// 32 bits, duplicated sections and keys, a missing file, a folder in its place,
// a read-only file) through start-up's own Config.ini step, and a sample of
// them through the real client. Start-up never crashes, the start URL stays
// within its buffer and is well formed, and RunCount is written as the rules
// say whenever the file can be written.

#include "ReliabilitySupport.h"

#include "app/ConfigFile.h"
#include "app/gameApp.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <vector>

namespace {

struct ConfigCase {
    std::string name;
    std::string bytes;
    std::optional<int> runCount; // what start-up must read, when the case fixes it
    std::optional<int> uid;
};

// What a decimal text of any length converts to: saturated at the 32-bit range.
std::optional<int> Saturated(const std::string& digits, bool negative)
{
    long long value = 0;
    for (char c : digits) {
        value = value * 10 + (c - '0');
        if (value > 1LL << 32)
            break;
    }
    if (negative)
        return value >= -static_cast<long long>(INT_MIN) ? INT_MIN : static_cast<int>(-value);
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

std::vector<ConfigCase> GeneratedCases()
{
    std::vector<ConfigCase> cases;
    reliability::Random random(20240607);
    const std::string portal = reliability::kClosedPortal;

    // Numbers: at the 32-bit bounds, far beyond them, signs, blanks, junk after digits.
    struct Number {
        const char* text;
        std::optional<int> value;
    } numbers[] = {
        {"0", 0},
        {"7", 7},
        {"-5", -5},
        {"+12", 12},
        {"  42", 42},
        {"12abc", 12},
        {"abc", 0},
        {"", 0},
        {"-", 0},
        {"+", 0},
        {"0x10", 0},
        {"1e9", 1},
        {"2147483646", 2147483646},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-2147483649", INT_MIN},
        {"99999999999999999999999999999999", INT_MAX},
        {"-99999999999999999999999999", INT_MIN},
        {"00000000000000000000000000000000000000008", 8},
    };
    for (const Number& n : numbers) {
        cases.push_back({std::string("RunCount=") + n.text,
                         "[Common]\r\nRunCount=" + std::string(n.text) + "\r\n" + portal, n.value, 0});
        cases.push_back(
            {std::string("UID=") + n.text, "[Common]\r\nUID=" + std::string(n.text) + "\r\n" + portal, 0, n.value});
    }
    // Random decimal strings of 1 to 80 digits, either sign.
    for (int i = 0; i < 40; ++i) {
        std::string digits(1 + random.Below(80), '0');
        for (char& d : digits)
            d = static_cast<char>('0' + random.Below(10));
        const bool negative = random.Below(2) == 1;
        const std::string text = (negative ? "-" : "") + digits;
        // Values are read into 64 characters: only the first 63 count.
        const std::string read = digits.substr(0, 63 - (negative ? 1 : 0));
        cases.push_back({"digits " + text, "[Common]\r\nUID=" + text + "\r\nRunCount=" + text + "\r\n" + portal,
                         Saturated(read, negative), Saturated(read, negative)});
    }
    // Encodings: UTF-16 with and without its mark, UTF-8 with its mark.
    const std::string plain = "[Common]\r\nRunCount=41\r\nUID=7\r\n" + portal;
    cases.push_back({"UTF-16 with BOM", reliability::Utf16(plain, true), 41, 7});
    cases.push_back({"UTF-16 without BOM", reliability::Utf16(plain, false), std::nullopt, std::nullopt});
    cases.push_back({"UTF-8 with BOM", "\xEF\xBB\xBF" + plain, std::nullopt, std::nullopt});
    // Long lines: a key, a value, a section name and a comment of 100 000 characters.
    const std::string huge(100000, 'x');
    cases.push_back({"long line before", huge + "\r\n[Common]\r\nRunCount=9\r\n" + portal, 9, 0});
    cases.push_back({"long key", "[Common]\r\n" + huge + "=1\r\nRunCount=9\r\n" + portal, 9, 0});
    cases.push_back(
        {"long value", "[Common]\r\nUID=" + std::string(100000, '7') + "\r\nRunCount=9\r\n" + portal, 9, INT_MAX});
    cases.push_back({"long section", "[" + huge + "]\r\nRunCount=3\r\n[Common]\r\nRunCount=9\r\n" + portal, 9, 0});
    cases.push_back({"long comment", ";" + huge + "\r\n[Common]\r\nRunCount=9\r\n" + portal, 9, 0});
    cases.push_back(
        {"long portal host", "[Common]\r\nRunCount=9\r\n[Portal]\r\nHost=" + std::string(100000, 'a') + "\r\n", 9, 0});
    // Duplicated sections and keys, odd line ends, NUL bytes, broken lines.
    cases.push_back({"duplicate keys", "[Common]\r\nRunCount=3\r\nRunCount=8\r\n" + portal, std::nullopt, 0});
    cases.push_back(
        {"duplicate sections", "[Common]\r\nRunCount=3\r\n[Common]\r\nRunCount=8\r\n" + portal, std::nullopt, 0});
    cases.push_back({"CR only", "[Common]\rRunCount=5\rUID=2\r" + portal, std::nullopt, std::nullopt});
    cases.push_back({"LF only", "[Common]\nRunCount=5\nUID=2\n" + portal, 5, 2});
    cases.push_back({"NUL bytes", std::string("[Common]\r\nRun\0Count=5\r\nRunCount=6\0\0\r\n", 34) + portal,
                     std::nullopt, std::nullopt});
    cases.push_back({"broken lines",
                     "[\r\n]\r\n=\r\n[Common\r\nRunCount\r\n==5\r\n[Common]\r\n RunCount = 6 \r\n" + portal,
                     std::nullopt, std::nullopt});
    cases.push_back({"empty file", "", 0, 0});
    // Binary junk of many sizes, alone and around a valid section.
    for (int i = 0; i < 120; ++i) {
        const size_t size = i < 100 ? random.Below(4096) : 20000 + random.Below(80000);
        std::string junk = random.Bytes(size);
        if (i % 3 == 0)
            junk = random.Bytes(size / 2) + "\r\n[Common]\r\nRunCount=5\r\n" + random.Bytes(size / 2);
        cases.push_back({"junk " + std::to_string(i), junk + "\r\n" + portal, std::nullopt, std::nullopt});
    }
    // A valid file mutated at random places.
    const std::string valid = "[GameInfo]\r\nVersion=1.15\r\n[Common]\r\nUID=123\r\nRunCount=77\r\n" + portal;
    for (int i = 0; i < 60; ++i) {
        std::string mutated = valid;
        for (uint32_t n = 1 + random.Below(8); n > 0; --n)
            mutated[random.Below(static_cast<uint32_t>(mutated.size()))] = static_cast<char>(random.Next() & 0xFF);
        cases.push_back({"mutation " + std::to_string(i), mutated, std::nullopt, std::nullopt});
    }
    return cases;
}

int ReadRunCount(const test::TempFolder& folder)
{
    return ParseIniInt(test::ReadIni(folder.File(L"Config.ini"), L"Common", L"RunCount").c_str());
}

// Whether the system lets this process write a file marked read-only (Wine run
// as root does; Windows does not).
bool WritableAnyway(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

int Next(int count) { return count < INT_MAX ? count + 1 : count; }

// The start URL is within its buffer, is the start page of some host, and ends
// with exactly the user id start-up read.
void ExpectWellFormedStartUrl(const gameApp& app)
{
    const size_t length = wcsnlen(app.m_startUrl, kStartUrlCapacity);
    ASSERT_LT(length, static_cast<size_t>(kStartUrlCapacity)) << "the start URL is not terminated in its buffer";
    const std::wstring url(app.m_startUrl, length);
    EXPECT_EQ(url.rfind(L"http://", 0), 0u) << testing::PrintToString(url);
    const size_t page = url.find(L"/games/vorn/dlq");
    ASSERT_NE(page, std::wstring::npos) << testing::PrintToString(url);
    const std::wstring suffix = url.substr(page + 15);
    EXPECT_EQ(suffix, app.m_uid ? std::to_wstring(app.m_uid) : L"");
}

} // namespace

TEST(ConfigAttack, GeneratedFilesThroughStartUp)
{
    const std::vector<ConfigCase> cases = GeneratedCases();
    ASSERT_GE(cases.size(), 250u);
    for (const ConfigCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempFolder folder;
        ASSERT_TRUE(test::WriteFileBytes(folder.File(L"Config.ini"), c.bytes));
        // What the file holds as the system reads it, before start-up touches it.
        const int before = ReadRunCount(folder);
        if (c.runCount) {
            EXPECT_EQ(before, *c.runCount) << "the file does not hold what the case meant";
        }

        gameApp app;
        wcscpy(app.m_exeDir, folder.Path().c_str());
        app.UpdateConfig();

        ExpectWellFormedStartUrl(app);
        if (c.uid) {
            EXPECT_EQ(app.m_uid, *c.uid);
        }
        EXPECT_EQ(ReadRunCount(folder), Next(before));
        EXPECT_EQ(test::ReadIni(folder.File(L"Config.ini"), L"GameInfo", L"Version"), L"1.15");
        if (c.name == "long portal host") {
            EXPECT_EQ(std::wstring(app.m_portal.Host()), L"www.morvane.com") << "a cut host is no host";
        }
        if (HasFatalFailure() || HasNonfatalFailure())
            return; // one failing file says enough
    }
}

TEST(ConfigAttack, MissingUnwritableOrNoFile)
{
    {
        SCOPED_TRACE("missing file");
        test::TempFolder folder;
        gameApp app;
        wcscpy(app.m_exeDir, folder.Path().c_str());
        app.UpdateConfig();
        ExpectWellFormedStartUrl(app);
        EXPECT_EQ(ReadRunCount(folder), 1);
    }
    {
        SCOPED_TRACE("a folder named Config.ini");
        test::TempFolder folder;
        ASSERT_TRUE(CreateDirectoryW(folder.File(L"Config.ini").c_str(), nullptr));
        gameApp app;
        wcscpy(app.m_exeDir, folder.Path().c_str());
        app.UpdateConfig();
        ExpectWellFormedStartUrl(app);
        EXPECT_EQ(app.m_uid, 0);
        RemoveDirectoryW(folder.File(L"Config.ini").c_str());
    }
    {
        SCOPED_TRACE("read-only file");
        test::TempFolder folder;
        const std::wstring path = folder.File(L"Config.ini");
        ASSERT_TRUE(test::WriteFileBytes(path, std::string("[Common]\r\nRunCount=5\r\nUID=9\r\n") +
                                                   reliability::kClosedPortal));
        ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
        gameApp app;
        wcscpy(app.m_exeDir, folder.Path().c_str());
        app.UpdateConfig();
        ExpectWellFormedStartUrl(app);
        EXPECT_EQ(app.m_uid, 9);
        const bool writable = WritableAnyway(path);
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(ReadRunCount(folder), writable ? 6 : 5) << "a read-only file is left as it was";
    }
}

TEST(ConfigAttack, SampleThroughTheRealClient)
{
    const std::string portal = reliability::kClosedPortal;
    reliability::Random random(77);
    struct Sample {
        const char* name;
        std::string bytes;
        bool readOnly;
        std::optional<int> runCount;
    } samples[] = {
        {"binary junk", random.Bytes(3000) + "\r\n" + portal, false, std::nullopt},
        {"UTF-16 with BOM", reliability::Utf16("[Common]\r\nRunCount=41\r\n" + portal, true), false, 42},
        {"UTF-16 without BOM", reliability::Utf16("[Common]\r\nRunCount=41\r\n" + portal, false), false, std::nullopt},
        {"huge numbers", "[Common]\r\nUID=-99999999999999\r\nRunCount=99999999999999\r\n" + portal, false, INT_MAX},
        {"line of 100 000", std::string(100000, 'z') + "\r\n[Common]\r\nRunCount=3\r\n" + portal, false, 4},
        {"duplicates", "[Common]\r\nRunCount=3\r\n[Common]\r\nRunCount=8\r\n" + portal, false, std::nullopt},
        {"read-only", "[Common]\r\nRunCount=5\r\n" + portal, true, std::nullopt},
    };
    for (const Sample& s : samples) {
        SCOPED_TRACE(s.name);
        test::TempFolder folder;
        const std::wstring path = folder.File(L"Config.ini");
        ASSERT_TRUE(test::WriteFileBytes(path, s.bytes));
        const int before = ReadRunCount(folder);
        if (s.readOnly) {
            ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
        }

        const bool writable = !s.readOnly || WritableAnyway(path);
        reliability::InstalledClient client(folder.Path());
        ASSERT_TRUE(client.Install());
        ASSERT_TRUE(client.Start()) << "the client showed no launcher";
        ASSERT_TRUE(client.CloseByCommand()) << "the client did not end";
        EXPECT_EQ(client.ExitCode(), 0u);
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (writable) {
            EXPECT_EQ(ReadRunCount(folder), s.runCount ? *s.runCount : Next(before));
        } else {
            EXPECT_EQ(ReadRunCount(folder), before) << "a read-only file is left as it was";
        }
    }
}
