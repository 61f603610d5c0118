// The page brought to the display's scale and the player's zoom through the
// control's optical zoom: what the control is asked, and every answer it may
// give; the fit read from the page's document.

#include "BrowserTestSupport.h"
#include "FakeDocument.h"
#include "browser/PageZoom.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A control's ExecWB: answers the zoom question with `zoom` (or `ask`), takes
// a setting with `set`, and records each call as "?" or the zoom set.
struct FakeControl {
    HRESULT ask = S_OK;
    int zoom = 100;
    HRESULT set = S_OK;
    std::vector<std::string> calls;

    pagezoom::Exec Exec()
    {
        return [this](OLECMDID command, OLECMDEXECOPT option, VARIANT* in, VARIANT* out) -> HRESULT {
            EXPECT_EQ(command, OLECMDID_OPTICAL_ZOOM);
            EXPECT_EQ(option, OLECMDEXECOPT_DONTPROMPTUSER);
            if (!in) {
                calls.push_back("?");
                if (SUCCEEDED(ask) && out) {
                    out->vt = VT_I4;
                    out->lVal = zoom;
                }
                return ask;
            }
            EXPECT_EQ(in->vt, VT_I4);
            calls.push_back(std::to_string(in->lVal));
            if (SUCCEEDED(set))
                zoom = in->lVal;
            return set;
        };
    }
};

using Calls = std::vector<std::string>;

} // namespace

TEST(PageZoom, ThePageIsBroughtToTheDisplayScaleAndEveryAnswerIsSurvived)
{
    EXPECT_EQ(pagezoom::PercentFor(144), 150);
    EXPECT_EQ(pagezoom::PercentFor(120), 125);
    EXPECT_EQ(pagezoom::PercentFor(0), 100);

    // 96 DPI everywhere: the control is not asked anything.
    FakeControl plain;
    EXPECT_EQ(pagezoom::FitToDisplay(plain.Exec(), 96, 96), pagezoom::Outcome::AsIs);
    EXPECT_EQ(plain.calls, Calls{});

    // A control that zoomed the page itself is left as it is.
    FakeControl aware;
    aware.zoom = 150;
    EXPECT_EQ(pagezoom::FitToDisplay(aware.Exec(), 144, 144), pagezoom::Outcome::AsIs);
    EXPECT_EQ(aware.calls, Calls{"?"});

    // One that did not is nudged; on the monitor at 96 DPI of a 150 % system,
    // the page is shown at its own size.
    FakeControl unaware;
    EXPECT_EQ(pagezoom::FitToDisplay(unaware.Exec(), 144, 144), pagezoom::Outcome::Zoomed);
    EXPECT_EQ(unaware.calls, (Calls{"?", "150"}));
    EXPECT_EQ(pagezoom::FitToDisplay(unaware.Exec(), 96, 144), pagezoom::Outcome::Zoomed);
    EXPECT_EQ(unaware.zoom, 100);

    // Wine's control answers E_UNEXPECTED to both; another may refuse only the question.
    FakeControl wine;
    wine.ask = E_UNEXPECTED;
    wine.set = E_UNEXPECTED;
    EXPECT_EQ(pagezoom::FitToDisplay(wine.Exec(), 192, 96), pagezoom::Outcome::Refused);
    EXPECT_EQ(wine.calls, (Calls{"?", "200"}));
    FakeControl mute;
    mute.ask = E_NOTIMPL;
    EXPECT_EQ(pagezoom::FitToDisplay(mute.Exec(), 120, 120), pagezoom::Outcome::Zoomed);
    EXPECT_EQ(mute.zoom, 125);

    EXPECT_EQ(pagezoom::FitToDisplay(nullptr, 144, 144), pagezoom::Outcome::AsIs);
}

TEST(PageZoom, TheLevelsStepAndTheFitFillsTheAreaAtEveryScale)
{
    EXPECT_EQ(pagezoom::StepLevel(100, 1), 110);
    EXPECT_EQ(pagezoom::StepLevel(100, -1), 90);
    EXPECT_EQ(pagezoom::StepLevel(137, 1), 150) << "a fitted level steps to the next level";
    EXPECT_EQ(pagezoom::StepLevel(137, -1), 125);
    EXPECT_EQ(pagezoom::StepLevel(300, 1), 300);
    EXPECT_EQ(pagezoom::StepLevel(50, -1), 50);
    EXPECT_EQ(pagezoom::ValidChoice(0), pagezoom::kFit);
    EXPECT_EQ(pagezoom::ValidChoice(175), 175);
    EXPECT_EQ(pagezoom::ValidChoice(-5), 100);
    EXPECT_EQ(pagezoom::ValidChoice(120), 100);

    // A 1000 x 600 game in the maximised view of a 1920 x 1080 screen (1918 x
    // 1030 px below the title bar), limited by the height.
    EXPECT_EQ(pagezoom::FitLevel({1000, 600}, {1918, 1030}, 96), 171);
    // The same at 150 % (2878 x 1582 px): the display's scale is part of the fit.
    EXPECT_EQ(pagezoom::FitLevel({1000, 600}, {2878, 1582}, 144), 175);
    EXPECT_LE(pagezoom::OpticalFor(175, 144) * 600 / 100, 1582) << "never a pixel too large";
    // Limited by the width; and kept within the levels.
    EXPECT_EQ(pagezoom::FitLevel({1000, 200}, {1200, 1000}, 96), 120);
    EXPECT_EQ(pagezoom::FitLevel({100, 100}, {1200, 1000}, 96), 300);
    EXPECT_EQ(pagezoom::FitLevel({4000, 3000}, {1200, 1000}, 96), 50);
    EXPECT_EQ(pagezoom::FitLevel({0, 600}, {1200, 1000}, 96), 100);
    EXPECT_EQ(pagezoom::OpticalFor(125, 144), 187);

    // Once zoomed, actual size at 96 DPI asks like any other level.
    FakeControl control;
    control.zoom = 125;
    EXPECT_EQ(pagezoom::ShowAt(control.Exec(), 100, 96, 96, true), pagezoom::Outcome::Zoomed);
    EXPECT_EQ(control.calls, (Calls{"?", "100"}));
}

// The browser window on its UI thread, with the control's zoom and the page's
// document replaced: the player's level combined with the display's scale,
// the fit following the window and each navigation, and refusals survived.
TEST(PageZoom, TheBrowserWindowKeepsThePlayersZoomThroughRefusalsResizesAndNavigations)
{
    test::UiThread ui;
    ASSERT_TRUE(ui.ready);
    HWND parent = CreateWindowExW(0, L"STATIC", L"frame", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 1300, 900,
                                  nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    FakeControl control;
    test::FakeDocument document;
    document.AddTagged(L"object", {300, 200});
    document.AddTagged(L"embed", {600, 386}); // the game: the largest object
    test::TestHtml html;
    html.m_execZoom = control.Exec();
    std::vector<int> shown;
    html.m_zoomShown = [&](int level) { shown.push_back(level); };
    EXPECT_EQ(html.Create(0, nullptr, L"", WS_CHILD | WS_VISIBLE, 0, 0, 1200, 772, parent), nullptr);
    HWND window = nullptr;
    ASSERT_TRUE(test::PumpUntil([&] { return test::CreatedChild(parent, window); }));
    ASSERT_TRUE(
        html.RunOnWindowThread([&] { html.m_browser.SetDocumentOverride(static_cast<IHTMLDocument2*>(&document)); }));
    const LONG siteRefs = document.Refs();
    const auto onWindowThread = [&](const std::function<void()>& work) {
        control.calls.clear();
        EXPECT_TRUE(html.RunOnWindowThread(work));
        return control.calls;
    };

    // At 150 %: the page at the display's scale, then the player's 125 % of it.
    EXPECT_EQ(onWindowThread([&] { html.SetPageDpi(144); }), (Calls{"?", "150"}));
    EXPECT_EQ(onWindowThread([&] { html.SetPlayerZoom(125); }), (Calls{"?", "187"}));
    // Fitted: 600 x 386 CSS px in 1200 x 772 px is an optical 200 %, 133 % of the display's scale.
    EXPECT_EQ(onWindowThread([&] { html.SetPlayerZoom(pagezoom::kFit); }), (Calls{"?", "199"}));
    EXPECT_EQ(html.ShownZoom(), 133);
    // The window grows wider only: the height still limits the fit. Then narrower.
    EXPECT_EQ(onWindowThread([&] { MoveWindow(window, 0, 0, 1290, 772, TRUE); }), (Calls{"?"}));
    EXPECT_EQ(onWindowThread([&] { MoveWindow(window, 0, 0, 900, 772, TRUE); }), (Calls{"?", "150"}));
    EXPECT_EQ(html.ShownZoom(), 100);

    // A control that refuses: the choice stays, and the next navigation asks again.
    control.ask = E_NOTIMPL;
    control.set = E_UNEXPECTED;
    EXPECT_EQ(onWindowThread([&] { html.SetPlayerZoom(200); }), (Calls{"?", "300"}));
    EXPECT_EQ(html.PlayerZoom(), 200);
    control.set = S_OK;
    EXPECT_EQ(onWindowThread([&] { html.FitPageToDisplay(); }), (Calls{"?", "300"}));
    // A page without objects fits its whole content.
    document.tags.clear();
    document.body.scroll = {900, 1544};
    EXPECT_EQ(onWindowThread([&] { html.SetPlayerZoom(pagezoom::kFit); }), (Calls{"?", "75"}));
    EXPECT_EQ(html.ShownZoom(), 50);
    EXPECT_EQ(shown, (std::vector<int>{125, 133, 100, 200, 50}));
    EXPECT_EQ(document.Refs(), siteRefs) << "every reference taken was given back";

    // Wine's own control answers too, and the choice survives it.
    ASSERT_TRUE(html.RunOnWindowThread([&] {
        html.m_browser.SetDocumentOverride(nullptr);
        html.m_execZoom = nullptr;
        html.SetPlayerZoom(150);
    }));
    EXPECT_EQ(html.PlayerZoom(), 150);
    EXPECT_EQ(html.ShownZoom(), 150);
    DestroyWindow(parent);
    ui.Stop();
}
