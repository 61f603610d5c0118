// Deleting a folder tree: attributes do not stop it, files in use stay, and
// links are never followed out of the tree.

#include "uninstall/FolderTree.h"
#include "uninstall/RemovalTestSupport.h"

#include <gtest/gtest.h>

using namespace removal;

namespace {

const std::wstring kRoot = L"C:\\tree-test";

bool WriteWithAttributes(const std::wstring& path, DWORD attributes)
{
    return WriteText(path, "data") && SetFileAttributesW(path.c_str(), attributes) &&
           (GetFileAttributesW(path.c_str()) & attributes) == attributes;
}

// A folder outside the tree with files that must survive whatever happens inside.
std::wstring MakeOutsideFolder(const std::wstring& name)
{
    const std::wstring outside = kRoot + L"\\" + name;
    MakeFolders(outside + L"\\inner");
    WriteText(outside + L"\\keep.txt", "keep");
    WriteText(outside + L"\\inner\\keep2.txt", "keep");
    return outside;
}

const std::vector<std::wstring> kOutsideEntries = {L"inner", L"inner\\keep2.txt", L"keep.txt"};

} // namespace

TEST(DeleteFolderTree, RemovesFilesAndFoldersWhateverTheirAttributes)
{
    const std::wstring tree = kRoot + L"\\attributes";
    ASSERT_TRUE(MakeFolders(tree + L"\\locked\\deeper"));
    ASSERT_TRUE(MakeFolders(tree + L"\\empty"));
    ASSERT_TRUE(WriteWithAttributes(tree + L"\\readonly.txt", FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(WriteWithAttributes(tree + L"\\hidden.txt", FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(WriteWithAttributes(tree + L"\\system.txt", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(WriteWithAttributes(tree + L"\\locked\\deeper\\Config.ini", FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetFileAttributesW((tree + L"\\locked").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(GetFileAttributesW((tree + L"\\locked").c_str()) & FILE_ATTRIBUTE_HIDDEN);

    DeleteFolderTree(tree);

    EXPECT_FALSE(Exists(tree)) << "left: " << testing::PrintToString(EntriesBelow(tree));
}

TEST(DeleteFolderTree, LeavesAFileInUseAndTheFoldersHoldingIt)
{
    const std::wstring tree = kRoot + L"\\in-use";
    ASSERT_TRUE(MakeFolders(tree + L"\\data\\cache"));
    ASSERT_TRUE(MakeFolders(tree + L"\\other"));
    ASSERT_TRUE(WriteText(tree + L"\\vorn.exe", "MZ"));
    ASSERT_TRUE(WriteText(tree + L"\\data\\held.dat", "held"));
    ASSERT_TRUE(WriteText(tree + L"\\data\\cache\\free.dat", "free"));
    ASSERT_TRUE(WriteText(tree + L"\\other\\free.dat", "free"));
    // Opened without FILE_SHARE_DELETE, as a program keeps a file it works on.
    HANDLE held = CreateFileW((tree + L"\\data\\held.dat").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    DeleteFolderTree(tree);
    const std::vector<std::wstring> left = EntriesBelow(tree);
    CloseHandle(held);

    EXPECT_EQ(left, (std::vector<std::wstring>{L"data", L"data\\held.dat"}));
}

TEST(DeleteFolderTree, NeverFollowsALinkOutOfTheTree)
{
    const std::wstring outside = MakeOutsideFolder(L"outside");
    const std::wstring tree = kRoot + L"\\linked";
    ASSERT_TRUE(MakeFolders(tree + L"\\sub"));
    ASSERT_TRUE(WriteText(tree + L"\\vorn.exe", "MZ"));
    ASSERT_TRUE(MakeDirectoryLink(tree + L"\\sub\\saves", outside));
    ASSERT_EQ(EntriesBelow(tree + L"\\sub\\saves"), kOutsideEntries) << "the link shows the folder it points to";

    DeleteFolderTree(tree);

    EXPECT_EQ(EntriesBelow(outside), kOutsideEntries) << "what the link points to is untouched";
    EXPECT_FALSE(Exists(tree + L"\\vorn.exe"));
    // Windows removes the link itself and then the tree. Wine cannot remove a
    // link to a folder that holds files (RemoveDirectory fails), which then
    // keeps the folders above it.
    if (Exists(tree + L"\\sub\\saves"))
        EXPECT_EQ(EntriesBelow(tree), (std::vector<std::wstring>{L"sub", L"sub\\saves"}));
    else
        EXPECT_FALSE(Exists(tree));
}

TEST(DeleteFolderTree, AFolderThatIsALinkLosesOnlyTheLink)
{
    const std::wstring outside = MakeOutsideFolder(L"outside-top");
    const std::wstring link = kRoot + L"\\top-link";
    ASSERT_TRUE(MakeFolders(kRoot));
    ASSERT_TRUE(MakeDirectoryLink(link, outside));

    DeleteFolderTree(link);

    EXPECT_EQ(EntriesBelow(outside), kOutsideEntries);
}

TEST(HoldsLinks, FindsALinkAtAnyDepth)
{
    const std::wstring outside = MakeOutsideFolder(L"outside-deep");
    const std::wstring tree = kRoot + L"\\deep";
    ASSERT_TRUE(MakeFolders(tree + L"\\a\\b\\c"));
    ASSERT_TRUE(WriteText(tree + L"\\a\\b\\c\\file.txt", "x"));
    EXPECT_FALSE(HoldsLinks(tree));
    EXPECT_FALSE(HoldsLinks(kRoot + L"\\missing"));

    ASSERT_TRUE(MakeDirectoryLink(tree + L"\\a\\b\\link", outside));
    EXPECT_TRUE(HoldsLinks(tree));
    EXPECT_FALSE(HoldsLinks(tree + L"\\a\\b\\c"));
}
