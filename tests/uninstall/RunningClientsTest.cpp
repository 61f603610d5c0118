// Running clients: the remover asks once, closes them on Yes and removes
// nothing at all on No.

#include "uninstall/RemovalTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace removal;

namespace {

const std::wstring kQuestion = L"<Morvane网页版>正在运行,是否关闭<Morvane网页版>？";

// An installation whose vorn.exe is the stand-in, started twice from the
// install folder, plus a program of another name that must be left alone.
class RunningInstallation : public testing::Test {
protected:
    void SetUp() override
    {
        SKIP_WITHOUT_INSTALLER();
        ASSERT_EQ(RunInstaller(), 0u);
        ASSERT_TRUE(CopyStandIn(folder, L"vorn.exe"));
        ASSERT_TRUE(MakeFolders(L"C:\\elsewhere"));
        ASSERT_TRUE(CopyStandIn(L"C:\\elsewhere", L"vorn-helper.exe"));
        ASSERT_TRUE(firstClient.Start(folder + L"\\vorn.exe"));
        ASSERT_TRUE(secondClient.Start(folder + L"\\vorn.exe"));
        ASSERT_TRUE(bystander.Start(L"C:\\elsewhere\\vorn-helper.exe"));
    }

    // Starts the remover and answers its one question.
    void AnswerQuestion(WPARAM answer)
    {
        ASSERT_TRUE(remover.Start(folder));
        HWND question = remover.WaitForQuestion(kRemoverTimeoutMs);
        ASSERT_NE(question, nullptr) << "no question box titled " << testing::PrintToString(std::wstring(kCaption));
        const std::vector<std::wstring> texts = ControlTexts(question);
        EXPECT_NE(std::find(texts.begin(), texts.end(), kQuestion), texts.end())
            << "texts: " << testing::PrintToString(texts);
        PostMessageW(question, WM_COMMAND, answer, 0);
        // A second question would keep the remover from ending.
        ASSERT_TRUE(remover.WaitForExit(kRemoverTimeoutMs)) << "the remover did not end after one answer";
        EXPECT_EQ(remover.ExitCode(), 0u);
    }

    const std::wstring folder = DefaultInstallFolder();
    test::ChildProcess firstClient, secondClient, bystander;
    RemoverProcess remover;
};

} // namespace

TEST_F(RunningInstallation, YesClosesEveryClientAndRemovalCompletes)
{
    AnswerQuestion(IDYES);

    EXPECT_TRUE(firstClient.WaitForExit(0)) << "the first client still runs";
    EXPECT_TRUE(secondClient.WaitForExit(0)) << "the second client still runs";
    EXPECT_FALSE(bystander.WaitForExit(0)) << "a program with another name was closed";
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallEntry));
    EXPECT_FALSE(Exists(DesktopShortcut()));
    EXPECT_FALSE(Exists(StartMenuFolder()));
    EXPECT_TRUE(WaitUntilGone(folder, kFinalDeleteTimeoutMs))
        << "left: " << testing::PrintToString(EntriesBelow(folder));
    EXPECT_TRUE(Exists(L"C:\\elsewhere\\vorn-helper.exe"));
}

TEST_F(RunningInstallation, NoLeavesTheEntryTheShortcutsAndEveryFile)
{
    const std::vector<std::wstring> installed = EntriesBelow(folder);

    AnswerQuestion(IDNO);

    EXPECT_FALSE(InterpreterRuns()) << "a final delete was started";
    EXPECT_FALSE(firstClient.WaitForExit(0));
    EXPECT_FALSE(secondClient.WaitForExit(0));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallEntry));
    EXPECT_TRUE(Exists(DesktopShortcut()));
    EXPECT_EQ(EntriesBelow(StartMenuFolder()).size(), 2u);
    EXPECT_EQ(EntriesBelow(folder), installed);
}
