// The close confirmation, run modally over a real owner window while another
// thread answers it with real mouse and key messages.

#include "FrameTestSupport.h"
#include "frames/CloseMsgWnd.h"

#include <gtest/gtest.h>

using frametest::ConfirmAnswerer;

namespace {

class Confirmation : public ::testing::Test {
protected:
    void SetUp() override
    {
        owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 100, 120, 500, 400, nullptr, nullptr,
                                nullptr, nullptr);
        ASSERT_NE(owner, nullptr);
    }
    void TearDown() override { DestroyWindow(owner); }

    test::ThreadManager manager;
    HWND owner = nullptr;
};

} // namespace

TEST_F(Confirmation, ConfirmAnswersOneAndCancelTwo)
{
    {
        ConfirmAnswerer answerer(ConfirmAnswerer::Confirm);
        CloseMsgWnd confirm;
        EXPECT_EQ(confirm.DoModal(owner), 1);
        ASSERT_TRUE(answerer.Done());
        EXPECT_FALSE(IsWindow(answerer.window)) << "the window is gone when DoModal returns";
    }
    {
        ConfirmAnswerer answerer(ConfirmAnswerer::Cancel);
        CloseMsgWnd confirm;
        EXPECT_EQ(confirm.DoModal(owner), 2);
        ASSERT_TRUE(answerer.Done());
    }
}

TEST_F(Confirmation, CentredOnTheOwnerLayeredAndModalToIt)
{
    ConfirmAnswerer answerer(ConfirmAnswerer::Cancel);
    CloseMsgWnd confirm;
    confirm.DoModal(owner);
    ASSERT_TRUE(answerer.Done());
    EXPECT_EQ(answerer.rect.left, 100 + (500 - 295) / 2);
    EXPECT_EQ(answerer.rect.top, 120 + (400 - 190) / 2);
    EXPECT_EQ(answerer.rect.right - answerer.rect.left, 295);
    EXPECT_EQ(answerer.rect.bottom - answerer.rect.top, 190);
    EXPECT_EQ(answerer.owner, owner);
    EXPECT_TRUE(answerer.exStyle & WS_EX_LAYERED) << "drawn from the artwork's alpha";
    EXPECT_FALSE(answerer.ownerEnabledWhileOpen) << "the owner takes no input while the question is open";
    EXPECT_TRUE(IsWindowEnabled(owner)) << "and gets it back afterwards";
}

TEST_F(Confirmation, AnOwnerDisabledBeforehandStaysDisabled)
{
    EnableWindow(owner, FALSE);
    ConfirmAnswerer answerer(ConfirmAnswerer::Confirm);
    CloseMsgWnd confirm;
    EXPECT_EQ(confirm.DoModal(owner), 1);
    ASSERT_TRUE(answerer.Done());
    EXPECT_FALSE(IsWindowEnabled(owner)) << "the question enables only what it disabled";
    EnableWindow(owner, TRUE);
}

TEST_F(Confirmation, EscapeOrClosingTheWindowAnswersTwoAndActivatesTheOwnerAgain)
{
    // Another program's window, above the owner: the system activates it when the
    // question hides while the owner still takes no input.
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 700, 120, 200, 200, nullptr, nullptr,
                                 nullptr, nullptr);
    using A = ConfirmAnswerer;
    for (auto answer : {A::Escape, A::Close, A::SystemClose, A::AltF4}) {
        SetActiveWindow(owner);
        ConfirmAnswerer answerer(answer);
        CloseMsgWnd confirm;
        EXPECT_EQ(confirm.DoModal(owner), 2) << "answer " << answer;
        ASSERT_TRUE(answerer.Done());
        EXPECT_FALSE(IsWindow(answerer.window)) << "answer " << answer;
        EXPECT_TRUE(IsWindowEnabled(owner)) << "answer " << answer;
        EXPECT_EQ(GetActiveWindow(), owner) << "answer " << answer << ": activation went elsewhere";
    }
    {
        // The owner closed underneath the open question takes it along.
        ConfirmAnswerer answerer(A::OwnerClosed);
        CloseMsgWnd confirm;
        EXPECT_EQ(confirm.DoModal(owner), 2);
        ASSERT_TRUE(answerer.Done());
        EXPECT_FALSE(IsWindow(owner));
    }
    DestroyWindow(other);
}
