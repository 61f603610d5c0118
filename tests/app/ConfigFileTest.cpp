// Config.ini: the conversion of integer values and the file's path rules.

#include "app/ConfigFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <climits>

TEST(ParseIniInt, ConvertsSignedDecimalTextAsTheClientReadsIt)
{
    struct Case {
        const wchar_t* text;
        int expected;
    } cases[] = {
        {L"", 0},
        {L"abc", 0},
        {L"0", 0},
        {L"12345", 12345},
        {L"  42", 42},
        {L"\t7", 7},
        {L"+8", 8},
        {L"-9", -9},
        {L"12abc", 12},
        {L"3 4", 3},
        {L"- 5", 0},
        {L"+-5", 0},
        {L"007", 7},
        {L"2147483647", INT_MAX},
        {L"2147483648", INT_MAX},
        {L"99999999999999999999999", INT_MAX},
        {L"-2147483648", INT_MIN},
        {L"-2147483649", INT_MIN},
        {L"-99999999999999999999999", INT_MIN},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseIniInt(c.text), c.expected) << "text \"" << testing::PrintToString(std::wstring(c.text)) << "\"";
    EXPECT_EQ(ParseIniInt(nullptr), 0);
}

TEST(ConfigFile, ReadsAndWritesBesideTheGivenFolder)
{
    test::TempFolder folder;
    ConfigFile config(folder.Path().c_str());
    ASSERT_TRUE(config.IsUsable());
    EXPECT_EQ(std::wstring(config.Path()), folder.File(L"Config.ini"));

    EXPECT_EQ(config.ReadInt(L"Common", L"UID"), 0) << "missing file reads as empty";
    EXPECT_TRUE(config.WriteInt(L"Common", L"RunCount", -3));
    EXPECT_EQ(test::ReadIni(folder.File(L"Config.ini"), L"Common", L"RunCount"), L"-3");
    EXPECT_EQ(config.ReadInt(L"Common", L"RunCount"), -3);

    wchar_t text[kIniValueCapacity];
    config.ReadText(L"Common", L"Missing", text);
    EXPECT_STREQ(text, L"");
}

TEST(ConfigFile, LongValuesAreCutToTheBuffer)
{
    test::TempFolder folder;
    ConfigFile config(folder.Path().c_str());
    ASSERT_TRUE(config.WriteText(L"Common", L"UID", std::wstring(500, L'7').c_str()));
    wchar_t text[kIniValueCapacity];
    config.ReadText(L"Common", L"UID", text);
    EXPECT_EQ(wcslen(text), static_cast<size_t>(kIniValueCapacity - 1));
    EXPECT_EQ(config.ReadInt(L"Common", L"UID"), INT_MAX);
}

TEST(ConfigFile, APathThatDoesNotFitIsNeverUsed)
{
    test::TempFolder folder;
    // 250 characters of folder leave no room for "\Config.ini" in 260.
    std::wstring deep = folder.Path() + L"\\" + std::wstring(250 - folder.Path().size() - 1, L'd');
    ASSERT_EQ(deep.size(), 250u);
    ConfigFile config(deep.c_str());
    EXPECT_FALSE(config.IsUsable());
    EXPECT_FALSE(config.WriteText(L"Common", L"RunCount", L"1"));
    EXPECT_EQ(config.ReadInt(L"Common", L"RunCount"), 0);
    // The cut path would have been "...\Con": nothing of that name may appear.
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder.Path() + L"\\*").c_str(), &data);
    int entries = 0;
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (wcscmp(data.cFileName, L".") && wcscmp(data.cFileName, L".."))
                ++entries;
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    EXPECT_EQ(entries, 0);
}
