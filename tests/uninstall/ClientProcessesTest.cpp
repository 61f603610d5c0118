// Finding running clients by their program's file name, and closing them.

#include "uninstall/ClientProcesses.h"
#include "uninstall/RemovalTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace removal;

namespace {

bool Contains(const std::vector<DWORD>& ids, DWORD id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); }

// A stand-in started as folder\name.
bool StartStandIn(test::ChildProcess& process, const std::wstring& folder, const std::wstring& name)
{
    return MakeFolders(folder) && CopyStandIn(folder, name) && process.Start(folder + L"\\" + name);
}

} // namespace

TEST(ClientProcesses, FindsEveryClientByItsFileNameOnly)
{
    test::ChildProcess first, second, upperCase, otherName, nameInside;
    ASSERT_TRUE(StartStandIn(first, L"C:\\clients\\one", L"vorn.exe"));
    ASSERT_TRUE(StartStandIn(second, L"C:\\clients\\two", L"vorn.exe"));
    ASSERT_TRUE(StartStandIn(upperCase, L"C:\\clients\\three", L"VORN.EXE"));
    ASSERT_TRUE(StartStandIn(otherName, L"C:\\clients\\one", L"vornx.exe"));
    ASSERT_TRUE(StartStandIn(nameInside, L"C:\\clients\\vorn.exe", L"launcher.exe"));

    const std::vector<DWORD> found = FindClientProcesses();

    EXPECT_EQ(found.size(), 3u);
    EXPECT_TRUE(Contains(found, first.Id()));
    EXPECT_TRUE(Contains(found, second.Id()));
    EXPECT_TRUE(Contains(found, upperCase.Id())) << "Windows file names ignore case";
    EXPECT_FALSE(Contains(found, otherName.Id()));
    EXPECT_FALSE(Contains(found, nameInside.Id())) << "only the file name counts, not the folder";
}

TEST(ClientProcesses, TerminatedClientsHaveEndedWhenTerminateReturns)
{
    test::ChildProcess first, second, bystander;
    ASSERT_TRUE(StartStandIn(first, L"C:\\clients\\one", L"vorn.exe"));
    ASSERT_TRUE(StartStandIn(second, L"C:\\clients\\two", L"vorn.exe"));
    ASSERT_TRUE(StartStandIn(bystander, L"C:\\clients\\one", L"vornx.exe"));
    // An id whose process is already gone is skipped.
    test::ChildProcess gone;
    ASSERT_TRUE(StartStandIn(gone, L"C:\\clients\\gone", L"vorn.exe"));
    const DWORD goneId = gone.Id();
    TerminateProcess(gone.Handle(), 1);
    ASSERT_TRUE(gone.WaitForExit(10000));

    TerminateClients({goneId, first.Id(), second.Id()}, 10000);

    EXPECT_TRUE(first.WaitForExit(0)) << "the first client still runs";
    EXPECT_TRUE(second.WaitForExit(0)) << "the second client still runs";
    EXPECT_EQ(first.ExitCode(), 0u);
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_FALSE(bystander.WaitForExit(0)) << "a program with another name is not touched";
}
