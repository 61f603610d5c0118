// The application object's own operations.

#include "app/gameApp.h"
#include "support/TestSupport.h"

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
    // Under a double-byte code page (936, simplified Chinese) 40 Chinese characters
    // take 80 bytes: only the first 31 whole ones fit in 63.
    std::wstring name;
    for (int i = 0; i < 40; ++i)
        name += i % 2 ? L"网" : L"页";
    char ansi[gameApp::kUserNameCapacity];
    gameApp::ToAnsiWhole(name.c_str(), ansi, 936);
    EXPECT_EQ(strlen(ansi), 62u);
    wchar_t back[64] = {};
    MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, ansi, -1, back, 64);
    EXPECT_EQ(std::wstring(back), name.substr(0, 31));

    // A name of single bytes and double bytes mixed ends on a whole character too.
    gameApp::ToAnsiWhole((std::wstring(62, L'a') + L"网").c_str(), ansi, 936);
    EXPECT_EQ(std::string(ansi), std::string(62, 'a'));

    gameApp app;
    app.SetUserName(name.c_str());
    EXPECT_EQ(std::wstring(app.m_userName), name) << "the wide form is whole";
    EXPECT_LT(strlen(app.m_userNameAnsi), 64u);
}

TEST(gameApp, FieldsStartZeroed)
{
    gameApp app;
    EXPECT_STREQ(app.m_exeDir, L"");
    EXPECT_STREQ(app.m_startUrl, L"");
    EXPECT_FALSE(app.m_instanceMutex.Valid());
    EXPECT_FALSE(app.m_isFirstInstance);
    EXPECT_EQ(app.m_uid, 0);
}

TEST(gameApp, AModulePathTooLongForItsBufferNamesNoFolder)
{
    // A module loaded from a folder whose path leaves no room in the buffer: the
    // system cuts its path silently, and the cut at its last backslash would name
    // the parent folder, with someone else's Config.ini in it.
    test::TempFolder root;
    std::vector<std::wstring> folders = {root.Path()};
    while (folders.back().size() < 280) {
        folders.push_back(folders.back() + L"\\" + std::wstring(40, L'p'));
        ASSERT_TRUE(CreateDirectoryW(folders.back().c_str(), nullptr));
    }
    const std::wstring source = test::ProgramFolder() + L"\\module_probe.dll";
    const std::wstring shortCopy = root.File(L"module_probe.dll");
    const std::wstring longCopy = folders.back() + L"\\module_probe.dll";
    ASSERT_TRUE(CopyFileW(source.c_str(), shortCopy.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(source.c_str(), longCopy.c_str(), FALSE));

    wchar_t folder[kPathCapacity];
    HMODULE shallow = LoadLibraryW(shortCopy.c_str());
    ASSERT_NE(shallow, nullptr);
    EXPECT_TRUE(gameApp::ReadModuleFolder(shallow, folder));
    EXPECT_EQ(std::wstring(folder), root.Path());
    FreeLibrary(shallow);

    HMODULE deep = LoadLibraryW(longCopy.c_str());
    ASSERT_NE(deep, nullptr) << "a module from a path of " << longCopy.size() << " characters";
    EXPECT_FALSE(gameApp::ReadModuleFolder(deep, folder));
    EXPECT_STREQ(folder, L"");
    EXPECT_FALSE(ConfigFile(folder).IsUsable()) << "an empty folder names no Config.ini";
    FreeLibrary(deep);

    DeleteFileW(longCopy.c_str());
    for (size_t i = folders.size() - 1; i > 0; --i)
        RemoveDirectoryW(folders[i].c_str());
}
