// The framecmd tool, run as its own process against frame windows of this test.

#include "support/TestSupport.h"
#include "tests/ui/framework/RecordingWindow.h"

#include <gtest/gtest.h>

namespace {

class FrameStandIn : public test::RecordingWindow {
public:
    FrameStandIn() { SetClassName(L"zarvoostrel"); }
    std::vector<WPARAM> commands;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == 2277)
            commands.push_back(wParam);
        return RecordingWindow::HandleMessage(msg, wParam, lParam);
    }
};

DWORD RunFrameCommand(const std::wstring& arguments)
{
    test::ChildProcess tool;
    if (!tool.Start(test::ProgramFolder() + L"\\framecmd.exe", arguments))
        return 0xFFFFFFFF;
    // The frame's thread keeps pumping while the tool looks for it.
    test::PumpUntil([&] { return tool.WaitForExit(0); }, 15000);
    return tool.ExitCode();
}

} // namespace

TEST(FrameCommandTool, SendsEnterAndCloseToTheFrame)
{
    test::ThreadManager manager;
    FrameStandIn frame;
    ASSERT_TRUE(frame.Create(0, nullptr, L"", WS_POPUP, 0, 0, 10, 10, nullptr));

    EXPECT_EQ(RunFrameCommand(L"enter"), 0u);
    EXPECT_TRUE(test::PumpUntil([&] { return frame.commands.size() == 1; }));
    EXPECT_EQ(RunFrameCommand(L"close " + std::to_wstring(GetCurrentProcessId())), 0u);
    EXPECT_TRUE(test::PumpUntil([&] { return frame.commands.size() == 2; }));
    ASSERT_EQ(frame.commands.size(), 2u);
    EXPECT_EQ(frame.commands[0], 1001u);
    EXPECT_EQ(frame.commands[1], 5557u);
    DestroyWindow(frame.m_hWnd);
}

TEST(FrameCommandTool, ReportsWhenNoClientRunsAndRefusesBadArguments)
{
    EXPECT_EQ(RunFrameCommand(L"enter"), 1u) << "no frame window exists";
    EXPECT_EQ(RunFrameCommand(L""), 2u);
    EXPECT_EQ(RunFrameCommand(L"open"), 2u);
    EXPECT_EQ(RunFrameCommand(L"close 12x"), 2u);
}

TEST(FrameCommandTool, OnlyTheNamedProcessGetsTheCommand)
{
    test::ThreadManager manager;
    FrameStandIn frame;
    ASSERT_TRUE(frame.Create(0, nullptr, L"", WS_POPUP, 0, 0, 10, 10, nullptr));
    EXPECT_EQ(RunFrameCommand(L"close " + std::to_wstring(GetCurrentProcessId() + 4)), 1u);
    test::PumpPending();
    EXPECT_TRUE(frame.commands.empty());
    DestroyWindow(frame.m_hWnd);
}
