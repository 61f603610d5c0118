// The remover's registry work beyond the installed-programs entry: the
// compatibility assistant's value and the client's browser-emulation value.

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
