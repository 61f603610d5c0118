// Which folders the remover may delete as the client's installation folder.

#include "uninstall/InstallFolder.h"
#include "uninstall/RemovalTestSupport.h"

#include <gtest/gtest.h>

#include <shlobj.h>

using namespace removal;

namespace {

// A file named vorn.exe put into a folder for the length of a test, so that
// only the folder itself decides.
class PlacedClient {
public:
    explicit PlacedClient(const std::wstring& folder) : m_path(folder + L"\\vorn.exe")
    {
        m_placed = !Exists(m_path) && WriteText(m_path, "MZ");
    }
    ~PlacedClient()
    {
        if (m_placed)
            DeleteFileW(m_path.c_str());
    }
    PlacedClient(const PlacedClient&) = delete;
    PlacedClient& operator=(const PlacedClient&) = delete;
    bool Placed() const { return m_placed; }

private:
    std::wstring m_path;
    bool m_placed = false;
};

} // namespace

TEST(InstallFolder, AFolderHoldingTheClientIsRemovable)
{
    const std::wstring folder = L"C:\\Games\\" + std::wstring(kCaption);
    ASSERT_TRUE(MakeFolders(folder));
    EXPECT_FALSE(IsRemovableInstallFolder(folder)) << "no vorn.exe in it yet";

    ASSERT_TRUE(MakeFolders(folder + L"\\vorn.exe"));
    EXPECT_FALSE(IsRemovableInstallFolder(folder)) << "a folder named vorn.exe is not the client";
    RemoveDirectoryW((folder + L"\\vorn.exe").c_str());

    PlacedClient client(folder);
    ASSERT_TRUE(client.Placed());
    EXPECT_TRUE(IsRemovableInstallFolder(folder));
    EXPECT_TRUE(IsRemovableInstallFolder(folder + L"\\"));

    const std::wstring underProgramFiles = DefaultInstallFolder();
    ASSERT_TRUE(MakeFolders(underProgramFiles));
    PlacedClient installed(underProgramFiles);
    EXPECT_TRUE(IsRemovableInstallFolder(underProgramFiles)) << "the installer's own folder";
}

TEST(InstallFolder, NoRootOrWellKnownFolderIsEverRemovable)
{
    EXPECT_FALSE(IsRemovableInstallFolder(L""));

    const std::wstring profile = ShellFolderPath(CSIDL_PROFILE);
    const std::wstring wellKnown[] = {
        L"C:",
        L"C:\\",
        ShellFolderPath(CSIDL_WINDOWS),
        ShellFolderPath(CSIDL_SYSTEM),
        ShellFolderPath(CSIDL_PROGRAM_FILES),
        profile,
        profile.substr(0, profile.find_last_of(L'\\')), // the folder of all profiles
        ShellFolderPath(CSIDL_DESKTOPDIRECTORY),
        ShellFolderPath(CSIDL_PERSONAL),
        profile + L"\\Downloads",
        ShellFolderPath(CSIDL_APPDATA),
        ShellFolderPath(CSIDL_PROGRAMS),
        ShellFolderPath(CSIDL_COMMON_APPDATA),
    };
    for (const std::wstring& folder : wellKnown) {
        ASSERT_TRUE(IsFolder(folder)) << "the prefix lacks " << testing::PrintToString(folder);
        PlacedClient client(folder);
        ASSERT_TRUE(client.Placed()) << testing::PrintToString(folder);
        EXPECT_FALSE(IsRemovableInstallFolder(folder)) << testing::PrintToString(folder);
    }
}
