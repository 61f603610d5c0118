// Over-long and hostile input through the client's real paths: a 100 000
// character title from the page's script bridge, method names of that length,
// URLs far beyond the cross-thread buffer handed to the browser window from the
// main thread, and the notification tip. Each is cut where the client cuts it
// (or carried whole where it is copied), and nothing is written past a buffer.

#include "ReliabilitySupport.h"

#include "frames/FrameTestSupport.h"
#include "tests/browser/BrowserTestSupport.h"
#include "tests/browser/CallArguments.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A text of the given length that never repeats within a short window, so a
// cut at the wrong place shows.
std::wstring Pattern(size_t length, const wchar_t* alphabet)
{
    const size_t n = wcslen(alphabet);
    std::wstring text(length, L' ');
    for (size_t i = 0; i < length; ++i)
        text[i] = alphabet[(i * 7 + i / n) % n];
    return text;
}

} // namespace

TEST(HostileInput, ScriptTitleOfAHundredThousandCharactersIsCutToTheTitleBuffer)
{
    frametest::FrameHarness h;
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.EnterGameView());
    CImpIDispatch& bridge = h.Site().m_external;

    // The script first asks for the method's id, then calls it.
    const std::wstring longName(100000, L'z');
    DISPID ids[2] = {};
    HRESULT named = S_OK;
    ASSERT_TRUE(h.OnUiThread([&] {
        LPOLESTR names[2] = {const_cast<LPOLESTR>(L"zarvo_title"), const_cast<LPOLESTR>(longName.c_str())};
        named = bridge.GetIDsOfNames(IID_NULL, names, 2, 0, ids);
    }));
    EXPECT_EQ(named, DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[0], static_cast<DISPID>(CFrameGame::kTitleDispid));
    EXPECT_EQ(ids[1], DISPID_UNKNOWN);

    for (const wchar_t* alphabet : {L"Morvane网页版标题ABCxyz0123", L"\xD83D\xDE00\xD83C\xDFAE"}) {
        const std::wstring title = Pattern(100000, alphabet);
        test::CallArguments args;
        args.String(title.c_str());
        VARIANT result;
        VariantInit(&result);
        HRESULT called = E_FAIL;
        ASSERT_TRUE(h.OnUiThread([&] {
            called = bridge.Invoke(ids[0], IID_NULL, 0, DISPATCH_METHOD, args.Params(), &result, nullptr, nullptr);
        }));
        EXPECT_EQ(called, S_OK);
        EXPECT_EQ(V_VT(&result), VT_BSTR);
        EXPECT_EQ(SysStringLen(V_BSTR(&result)), 0u) << "the script gets an empty string back";
        VariantClear(&result);

        const std::wstring shown = h.frame->TitleText();
        ASSERT_LE(shown.size(), static_cast<size_t>(CFrameGame::kTitleCapacity - 1));
        EXPECT_EQ(title.compare(0, shown.size(), shown), 0) << "the title is the script's text, cut at its end";
        EXPECT_GE(shown.size(), static_cast<size_t>(CFrameGame::kTitleCapacity - 2));
        EXPECT_FALSE(IS_HIGH_SURROGATE(shown.back())) << "a cut never leaves half a character";

        // The cut title is drawn (with its ellipsis) by a real paint pass.
        RECT titleBar = {0, 0, 600, 25};
        RedrawWindow(h.Frame(), &titleBar, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        DWORD_PTR answer = 0;
        EXPECT_NE(SendMessageTimeoutW(h.Frame(), WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer), 0);
    }

    // The boss key's notification icon carries the product's tip, terminated in its buffer.
    h.frame->OnHotKey(CFrameGame::HOTKEY_BOSS);
    EXPECT_TRUE(h.frame->m_bossHidden);
    EXPECT_LT(wcsnlen(h.frame->m_notifyIcon.Data().szTip, CFrameGame::kTipCapacity),
              static_cast<size_t>(CFrameGame::kTipCapacity));
    EXPECT_STREQ(h.frame->m_notifyIcon.Data().szTip, L"Morvane网页版");
    h.frame->OnHotKey(CFrameGame::HOTKEY_BOSS);
    EXPECT_FALSE(h.frame->m_bossHidden);
}

TEST(HostileInput, LongUrlsCrossToTheUiThreadWhole)
{
    test::EventLog log; // outlives the harness, whose control may still report while it closes
    frametest::FrameHarness h;
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.OnUiThread([&] { test::RecordNavigations(h.Site(), log); }));

    const std::wstring base = L"http://127.0.0.1:9/games/vorn/dlq?q=";
    for (size_t length : {2047u, 2048u, 2049u, 5000u}) {
        SCOPED_TRACE(length);
        const std::wstring url = base + Pattern(length - base.size(), L"abcdefghijklmnopqrstuvwxyz0123456789");
        // From the main thread: a request for the UI thread carrying its own copy.
        ASSERT_TRUE(h.frame->m_html.Navigate(url.c_str(), 2));
        EXPECT_TRUE(log.WaitFor(L"before " + url)) << "the control was asked for the whole URL";
    }
}
