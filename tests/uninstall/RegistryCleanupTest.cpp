// The remover's registry work beyond the installed-programs entry: the
// compatibility assistant's value, the client's browser-emulation value and
// the client's own settings key.

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
