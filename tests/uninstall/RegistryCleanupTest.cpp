// The remover's registry work beyond the installed-programs entry: the
// compatibility assistant's value, the client's browser-emulation value, the
// client's own settings key and its Windows Error Reporting key.

#include "app/CrashDumpWriter.h"
#include "uninstall/RemovalTestSupport.h"

#include <gtest/gtest.h>

using namespace removal;

TEST(RegistryCleanup, MarksTheRemoverForTheCompatibilityAssistantAndDeletesOnlyTheClientsEmulationValue)
{
    SKIP_WITHOUT_INSTALLER();
    const std::wstring folder = DefaultInstallFolder();
    ASSERT_EQ(RunInstaller(), 0u);
    ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, kCompatibilityKey));
    ASSERT_TRUE(SetRegDword(HKEY_CURRENT_USER, kBrowserEmulationKey, L"vorn.exe", 11001));
    ASSERT_TRUE(SetRegDword(HKEY_CURRENT_USER, kBrowserEmulationKey, L"other.exe", 11000));

    EXPECT_EQ(RunRemover(folder), 0u);

    EXPECT_EQ(RegDword(HKEY_CURRENT_USER, kCompatibilityKey, folder + L"\\Uninstall.exe"), 1u);
    EXPECT_EQ(RegDword(HKEY_CURRENT_USER, kBrowserEmulationKey, L"vorn.exe"), std::nullopt);
    EXPECT_EQ(RegDword(HKEY_CURRENT_USER, kBrowserEmulationKey, L"other.exe"), 11000u);
    EXPECT_TRUE(WaitUntilGone(folder, kFinalDeleteTimeoutMs));
}

TEST(RegistryCleanup, TheClientsOwnSettingsGoWithAnyRun)
{
    // No installation needed: the remover clears the user's registry wherever it runs.
    const std::wstring folder = L"C:\\Tools";
    ASSERT_TRUE(MakeFolders(folder));
    ASSERT_TRUE(CopyRemover(folder));
    ASSERT_TRUE(SetRegDword(HKEY_CURRENT_USER, kUserSettingsKey, L"Muted", 1));
    ASSERT_TRUE(SetRegDword(HKEY_CURRENT_USER, kUserSettingsKey + std::wstring(L"\\Later"), L"Kept", 1));

    EXPECT_EQ(RunRemover(folder), 0u);

    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kUserSettingsKey)) << "the key goes with everything in it";
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, L"Software")) << "and nothing above it";
}

TEST(RegistryCleanup, AMissingCompatibilityKeyIsNotCreated)
{
    SKIP_WITHOUT_INSTALLER();
    const std::wstring folder = DefaultInstallFolder();
    ASSERT_EQ(RunInstaller(), 0u);
    DeleteKeyTree(HKEY_CURRENT_USER, kCompatibilityKey);
    ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, kCompatibilityKey));

    EXPECT_EQ(RunRemover(folder), 0u);

    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kCompatibilityKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallEntry)) << "the other steps still run";
    EXPECT_TRUE(WaitUntilGone(folder, kFinalDeleteTimeoutMs));
}

TEST(RegistryCleanup, ErrorReportingDumpsGoToTheClientsFolderUntilTheRemoverTakesTheKeyAway)
{
    SKIP_WITHOUT_INSTALLER();
    const HKEY hklm = HKEY_LOCAL_MACHINE;
    const std::wstring folder = DefaultInstallFolder();
    ASSERT_FALSE(KeyExists(hklm, kLocalDumpsKey)) << "the prefix has error reporting's local dumps off";
    ASSERT_EQ(RunInstaller(), 0u);
    ASSERT_EQ(RunInstaller(), 0u) << "installed again over the first installation";

    // The folder of the client's own dumps, where the newest five are kept.
    EXPECT_EQ(RegExpandString(hklm, kClientLocalDumpsKey, L"DumpFolder"),
              L"%LOCALAPPDATA%\\" + std::wstring(CrashDumpWriter::kSubFolder));
    EXPECT_EQ(RegDword(hklm, kClientLocalDumpsKey, L"DumpCount"), 5u);
    EXPECT_EQ(RegDword(hklm, kClientLocalDumpsKey, L"DumpType"), 1u) << "a minidump";

    EXPECT_EQ(RunRemover(folder), 0u);

    EXPECT_FALSE(KeyExists(hklm, kClientLocalDumpsKey));
    EXPECT_FALSE(KeyExists(hklm, kLocalDumpsKey))
        << "the installer made the LocalDumps key, which turns local dumps on for every program";
    EXPECT_TRUE(WaitUntilGone(folder, kFinalDeleteTimeoutMs));
}

TEST(RegistryCleanup, LocalDumpsSettingsThatWereThereBeforeStay)
{
    SKIP_WITHOUT_INSTALLER();
    const HKEY hklm = HKEY_LOCAL_MACHINE;
    const std::wstring folder = DefaultInstallFolder();
    {
        // An empty LocalDumps key: local dumps on for every program, with the
        // system's defaults.
        ASSERT_TRUE(CreateKey(hklm, kLocalDumpsKey));
        ASSERT_EQ(RunInstaller(), 0u);
        ASSERT_EQ(RegDword(hklm, kClientLocalDumpsKey, L"DumpCount"), 5u);
        EXPECT_EQ(RunRemover(folder), 0u);
        EXPECT_FALSE(KeyExists(hklm, kClientLocalDumpsKey));
        EXPECT_TRUE(KeyExists(hklm, kLocalDumpsKey)) << "the installer did not make it";
        ASSERT_TRUE(WaitUntilGone(folder, kFinalDeleteTimeoutMs));
    }
    {
        // Settings of every program and of another one.
        const std::wstring other = kLocalDumpsKey + std::wstring(L"\\other.exe");
        ASSERT_TRUE(SetRegDword(hklm, kLocalDumpsKey, L"DumpCount", 3));
        ASSERT_TRUE(SetRegDword(hklm, other, L"DumpType", 2));
        ASSERT_EQ(RunInstaller(), 0u);
        EXPECT_EQ(RunRemover(folder), 0u);
        EXPECT_FALSE(KeyExists(hklm, kClientLocalDumpsKey));
        EXPECT_EQ(RegSubKeyNames(hklm, kLocalDumpsKey), std::vector<std::wstring>{L"other.exe"});
        EXPECT_EQ(RegValueNames(hklm, kLocalDumpsKey), std::vector<std::wstring>{L"DumpCount"});
        EXPECT_EQ(RegDword(hklm, other, L"DumpType"), 2u);
        EXPECT_TRUE(WaitUntilGone(folder, kFinalDeleteTimeoutMs));
    }
}
