// The whole life cycle: the real installer puts the client in place, the real
// remover takes all of it away again.

#include "uninstall/RemovalTestSupport.h"

#include <gtest/gtest.h>

using namespace removal;

namespace {

void ExpectInstalledInto(const std::wstring& folder)
{
    EXPECT_TRUE(Exists(folder + L"\\vorn.exe"));
    EXPECT_TRUE(Exists(folder + L"\\Uninstall.exe"));

    const HKEY hklm = HKEY_LOCAL_MACHINE;
    EXPECT_EQ(RegString(hklm, kUninstallEntry, L"DisplayName"), kCaption);
    EXPECT_EQ(RegString(hklm, kUninstallEntry, L"DisplayVersion"), L"1.15");
    EXPECT_EQ(RegString(hklm, kUninstallEntry, L"DisplayIcon"), folder + L"\\vorn.exe");
    EXPECT_EQ(RegString(hklm, kUninstallEntry, L"Publisher"), L"Morvane");
    EXPECT_EQ(RegString(hklm, kUninstallEntry, L"UninstallString"), L"\"" + folder + L"\\Uninstall.exe\"");
    EXPECT_EQ(RegString(hklm, kUninstallEntry, L"InstallLocation"), folder);
    EXPECT_EQ(RegDword(hklm, kUninstallEntry, L"NoModify"), 1u);
    EXPECT_EQ(RegDword(hklm, kUninstallEntry, L"NoRepair"), 1u);

    EXPECT_EQ(ShortcutTarget(DesktopShortcut()), folder + L"\\vorn.exe");
    EXPECT_EQ(ShortcutTarget(StartMenuFolder() + L"\\" + kCaption + L".lnk"), folder + L"\\vorn.exe");
    EXPECT_EQ(ShortcutTarget(StartMenuFolder() + L"\\卸载" + kCaption + L".lnk"), folder + L"\\Uninstall.exe");
}

} // namespace

TEST(InstallRoundTrip, InstallsThenRemovesEverything)
{
    SKIP_WITHOUT_INSTALLER();
    const std::wstring folder = DefaultInstallFolder();
    ASSERT_EQ(RunInstaller(), 0u);
    ExpectInstalledInto(folder);
    // What the client and its user add after installing goes too.
    ASSERT_TRUE(WriteText(folder + L"\\Config.ini", "[GameInfo]\r\nVersion=1.15\r\n[Common]\r\nRunCount=3\r\n"));
    ASSERT_TRUE(MakeFolders(folder + L"\\logs\\old"));
    ASSERT_TRUE(WriteText(folder + L"\\logs\\old\\run.log", "log"));
    ASSERT_TRUE(SetRegDword(HKEY_CURRENT_USER, kUserSettingsKey, L"Maximized", 1));

    EXPECT_EQ(RunRemover(folder), 0u);

    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallEntry));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kUserSettingsKey));
    EXPECT_FALSE(Exists(DesktopShortcut()));
    EXPECT_FALSE(Exists(StartMenuFolder()));
    EXPECT_TRUE(WaitUntilGone(folder, kFinalDeleteTimeoutMs))
        << "left: " << testing::PrintToString(EntriesBelow(folder));
    EXPECT_TRUE(IsFolder(ShellFolderPath(CSIDL_PROGRAM_FILES)));
    EXPECT_TRUE(IsFolder(ShellFolderPath(CSIDL_DESKTOPDIRECTORY)));
    EXPECT_TRUE(IsFolder(ShellFolderPath(CSIDL_PROGRAMS)));
}

TEST(InstallRoundTrip, AReinstallGoesToTheSameFolderAndKeepsTheUsersConfig)
{
    SKIP_WITHOUT_INSTALLER();
    const std::wstring folder = L"C:\\Games\\" + std::wstring(kCaption);
    ASSERT_EQ(RunInstaller(folder), 0u);
    const std::string config = "[GameInfo]\r\nVersion=1.15\r\n[Common]\r\nUID=12345\r\nRunCount=7\r\n";
    ASSERT_TRUE(WriteText(folder + L"\\Config.ini", config));
    ASSERT_TRUE(DeleteFileW((folder + L"\\vorn.exe").c_str()));

    ASSERT_EQ(RunInstaller(), 0u) << "installed again without naming a folder";

    EXPECT_FALSE(Exists(DefaultInstallFolder())) << "the reinstall found the earlier folder";
    EXPECT_EQ(ReadText(folder + L"\\Config.ini"), config);
    ExpectInstalledInto(folder);
}
