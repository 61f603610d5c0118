// The application object's own operations.

#include "app/gameApp.h"

#include <gtest/gtest.h>

TEST(SetUserName, KeepsSixtyThreeCharactersAndItsAnsiForm)
{
    gameApp app;
    app.SetUserName(L"player_one");
    EXPECT_STREQ(app.m_userName, L"player_one");
    EXPECT_STREQ(app.m_userNameAnsi, "player_one");

    const std::wstring longName(300, L'n');
    app.SetUserName(longName.c_str());
    EXPECT_EQ(std::wstring(app.m_userName), std::wstring(63, L'n'));
    EXPECT_EQ(std::string(app.m_userNameAnsi), std::string(63, 'n'));

    app.SetUserName(nullptr);
    EXPECT_STREQ(app.m_userName, L"");
    EXPECT_STREQ(app.m_userNameAnsi, "");
}

TEST(SetUserName, AnsiFormNeverCutsACharacterInHalf)
{
    gameApp app;
    // 40 Chinese characters: more bytes than fit whenever the ANSI code page needs
    // two or more bytes per character.
    std::wstring name;
    for (int i = 0; i < 40; ++i)
        name += L"网";
    app.SetUserName(name.c_str());
    EXPECT_EQ(std::wstring(app.m_userName), name);

    const size_t bytes = strlen(app.m_userNameAnsi);
    EXPECT_LT(bytes, 64u);
    // Whatever was kept must convert back to whole characters of the name.
    wchar_t back[64] = {};
    const int chars = MultiByteToWideChar(CP_ACP, 0, app.m_userNameAnsi, static_cast<int>(bytes), back, 63);
    const std::wstring expected = [&] {
        char full[512] = {};
        WideCharToMultiByte(CP_ACP, 0, name.c_str(), -1, full, sizeof(full), nullptr, nullptr);
        wchar_t w[512] = {};
        MultiByteToWideChar(CP_ACP, 0, full, -1, w, 512);
        return std::wstring(w).substr(0, chars);
    }();
    EXPECT_EQ(std::wstring(back, chars), expected);
}

TEST(gameApp, FieldsStartZeroed)
{
    gameApp app;
    EXPECT_STREQ(app.m_exeDir, L"");
    EXPECT_STREQ(app.m_startUrl, L"");
    EXPECT_EQ(app.m_instanceMutex, nullptr);
    EXPECT_FALSE(app.m_isFirstInstance);
    EXPECT_EQ(app.m_uid, 0);
}
