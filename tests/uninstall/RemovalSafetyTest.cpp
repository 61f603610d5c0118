// The remover deletes the installation and nothing else: not what a blank in
// the path or a link inside the folder could lead to, not a folder that is not
// the client's installation, not a file another program holds.

#include "uninstall/RemovalTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace removal;

namespace {

// Files of the user's that no removal may touch.
void PlaceUserFiles(const std::wstring& folder)
{
    ASSERT_TRUE(MakeFolders(folder + L"\\photos"));
    ASSERT_TRUE(WriteText(folder + L"\\notes.txt", "mine"));
    ASSERT_TRUE(WriteText(folder + L"\\photos\\holiday.jpg", "mine"));
}

const std::vector<std::wstring> kUserFiles = {L"notes.txt", L"photos", L"photos\\holiday.jpg"};

bool IsEntryAndShortcutsGone()
{
    return !KeyExists(HKEY_LOCAL_MACHINE, kUninstallEntry) && !Exists(DesktopShortcut()) && !Exists(StartMenuFolder());
}

} // namespace

TEST(RemovalSafety, AnInstallPathWithBlanksReachesTheFinalDeleteAsOneArgument)
{
    SKIP_WITHOUT_INSTALLER();
    // Unquoted, "del /S C:\My Games\..." would empty C:\My.
    PlaceUserFiles(L"C:\\My");
    const std::wstring folder = L"C:\\My Games\\" + std::wstring(kCaption) + L" 2";
    ASSERT_EQ(RunInstaller(folder), 0u);
    ASSERT_TRUE(WriteText(folder + L"\\Config.ini", "[Common]\r\nRunCount=1\r\n"));

    EXPECT_EQ(RunRemover(folder), 0u);

    EXPECT_TRUE(WaitUntilGone(folder, kFinalDeleteTimeoutMs))
        << "left: " << testing::PrintToString(EntriesBelow(folder));
    EXPECT_EQ(EntriesBelow(L"C:\\My"), kUserFiles);
    EXPECT_TRUE(IsFolder(L"C:\\My Games"));
}

TEST(RemovalSafety, ALinkInsideTheInstallFolderIsNeverFollowed)
{
    SKIP_WITHOUT_INSTALLER();
    PlaceUserFiles(L"C:\\Saves");
    const std::wstring folder = DefaultInstallFolder();
    ASSERT_EQ(RunInstaller(), 0u);
    ASSERT_TRUE(MakeFolders(folder + L"\\data"));
    ASSERT_TRUE(MakeDirectoryLink(folder + L"\\data\\saves", L"C:\\Saves"));

    EXPECT_EQ(RunRemover(folder), 0u);
    // Windows removes the link itself, and the final delete then finds no
    // link; Wine cannot remove it, and then no recursive delete may start.
    const bool linkLeft = Exists(folder + L"\\data\\saves");
    if (linkLeft)
        EXPECT_FALSE(InterpreterRuns()) << "a recursive delete started on a folder that still holds a link";
    else
        EXPECT_TRUE(WaitUntilGone(folder, kFinalDeleteTimeoutMs));

    EXPECT_EQ(EntriesBelow(L"C:\\Saves"), kUserFiles);
    EXPECT_FALSE(Exists(folder + L"\\vorn.exe"));
    EXPECT_TRUE(IsEntryAndShortcutsGone());
}

TEST(RemovalSafety, ReadOnlyAndHiddenFilesAndFoldersAreRemoved)
{
    SKIP_WITHOUT_INSTALLER();
    const std::wstring folder = DefaultInstallFolder();
    ASSERT_EQ(RunInstaller(), 0u);
    ASSERT_TRUE(MakeFolders(folder + L"\\skin\\old"));
    ASSERT_TRUE(WriteText(folder + L"\\Config.ini", "[Common]\r\nRunCount=1\r\n"));
    ASSERT_TRUE(WriteText(folder + L"\\skin\\old\\back.png", "png"));
    ASSERT_TRUE(WriteText(folder + L"\\skin\\thumbs.db", "db"));
    SetFileAttributesW((folder + L"\\Config.ini").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW((folder + L"\\vorn.exe").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW((folder + L"\\skin\\old\\back.png").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW((folder + L"\\skin\\thumbs.db").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    SetFileAttributesW((folder + L"\\skin\\old").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW((folder + L"\\skin").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(GetFileAttributesW((folder + L"\\Config.ini").c_str()) & FILE_ATTRIBUTE_READONLY);

    EXPECT_EQ(RunRemover(folder), 0u);

    EXPECT_TRUE(WaitUntilGone(folder, kFinalDeleteTimeoutMs))
        << "left: " << testing::PrintToString(EntriesBelow(folder));
}

TEST(RemovalSafety, ARemoverOnTheDesktopDeletesNoFolder)
{
    SKIP_WITHOUT_INSTALLER();
    ASSERT_EQ(RunInstaller(), 0u);
    // A user copied the remover, and even the client, to the desktop.
    const std::wstring desktop = ShellFolderPath(CSIDL_DESKTOPDIRECTORY);
    PlaceUserFiles(desktop);
    ASSERT_TRUE(CopyRemover(desktop));
    ASSERT_TRUE(CopyStandIn(desktop, L"vorn.exe"));
    const std::vector<std::wstring> before = EntriesBelow(desktop);

    EXPECT_EQ(RunRemover(desktop), 0u);

    EXPECT_FALSE(InterpreterRuns()) << "a final delete was started on the desktop";
    EXPECT_TRUE(IsEntryAndShortcutsGone()) << "the registry entry and the shortcuts still go";
    std::vector<std::wstring> expected = before;
    const auto shortcut = std::find(expected.begin(), expected.end(), std::wstring(kCaption) + L".lnk");
    ASSERT_NE(shortcut, expected.end()) << "the installer made no desktop shortcut";
    expected.erase(shortcut);
    EXPECT_EQ(EntriesBelow(desktop), expected);
    EXPECT_TRUE(Exists(DefaultInstallFolder() + L"\\vorn.exe")) << "another folder is never touched";
}

TEST(RemovalSafety, ARemoverBesideNoClientProgramDeletesNoFolder)
{
    const std::wstring folder = L"C:\\Tools";
    PlaceUserFiles(folder);
    ASSERT_TRUE(CopyRemover(folder));

    EXPECT_EQ(RunRemover(folder), 0u);

    EXPECT_FALSE(InterpreterRuns());
    std::vector<std::wstring> expected = kUserFiles;
    expected.insert(expected.begin(), L"Uninstall.exe");
    EXPECT_EQ(EntriesBelow(folder), expected);
}

TEST(RemovalSafety, AFileHeldOpenStaysAndTheRunStillCompletes)
{
    SKIP_WITHOUT_INSTALLER();
    const std::wstring folder = DefaultInstallFolder();
    ASSERT_EQ(RunInstaller(), 0u);
    ASSERT_TRUE(MakeFolders(folder + L"\\cache"));
    ASSERT_TRUE(WriteText(folder + L"\\cache\\held.dat", "held"));
    ASSERT_TRUE(WriteText(folder + L"\\cache\\free.dat", "free"));
    HANDLE held = CreateFileW((folder + L"\\cache\\held.dat").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    const DWORD exitCode = RunRemover(folder);
    // The final delete takes the remover's own file last of all.
    const bool removerGone = WaitUntilGone(folder + L"\\Uninstall.exe", kFinalDeleteTimeoutMs);
    const bool interpreterDone = test::PumpUntil([] { return !InterpreterRuns(); }, kFinalDeleteTimeoutMs);
    const std::vector<std::wstring> left = EntriesBelow(folder);
    CloseHandle(held);

    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(removerGone);
    EXPECT_TRUE(interpreterDone);
    EXPECT_EQ(left, (std::vector<std::wstring>{L"cache", L"cache\\held.dat"}));
    EXPECT_TRUE(IsEntryAndShortcutsGone());
}
