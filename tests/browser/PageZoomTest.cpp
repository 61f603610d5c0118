// The page brought to the display's scale through the control's optical zoom:
// what the control is asked, and every answer it may give.

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
