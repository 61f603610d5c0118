// Path forms the remover compares folders in.

#include "uninstall/ProgramPaths.h"

#include <gtest/gtest.h>

TEST(ProgramPaths, FolderOfCutsAtTheLastBackslash)
{
    EXPECT_EQ(FolderOf(L"C:\\Program Files\\Morvane网页版\\Uninstall.exe"), L"C:\\Program Files\\Morvane网页版");
    EXPECT_EQ(FolderOf(L"C:\\Uninstall.exe"), L"C:");
    EXPECT_EQ(FolderOf(L"Uninstall.exe"), L"");
    EXPECT_EQ(FolderOf(L""), L"");
}

TEST(ProgramPaths, NormalizedFolderHasOneFormPerFolder)
{
    EXPECT_EQ(NormalizedFolder(L"C:"), L"C:\\") << "a bare drive is its root, never its current folder";
    EXPECT_EQ(NormalizedFolder(L"C:\\"), L"C:\\");
    EXPECT_EQ(NormalizedFolder(L"C:\\windows\\..\\windows\\\\"), L"C:\\windows");
    EXPECT_EQ(NormalizedFolder(L""), L"");
}

TEST(ProgramPaths, SameOrInsideComparesWholeFolderNames)
{
    EXPECT_TRUE(IsSameOrInside(L"C:\\Games", L"C:\\Games"));
    EXPECT_TRUE(IsSameOrInside(L"c:\\games\\Morvane网页版", L"C:\\Games"));
    EXPECT_TRUE(IsSameOrInside(L"C:\\Games", L"C:\\"));
    EXPECT_FALSE(IsSameOrInside(L"C:\\Games2", L"C:\\Games")) << "a longer name is another folder";
    EXPECT_FALSE(IsSameOrInside(L"C:\\", L"C:\\Games"));
    EXPECT_FALSE(IsSameOrInside(L"", L"C:\\Games"));
}
