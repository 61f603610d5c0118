#pragma once
// The page's zoom: the display's scale times the player's own level.
//
// The control zooms its pages by the display's scale itself when its host says
// it is DPI aware (DOCHOSTUIFLAG_DPI_AWARE); where it does not, or where the
// window is on a monitor of another scale than the system's, the page is
// brought to that scale after each navigation through the control's optical
// zoom, in percent of the page's size at 96 DPI. The player's level (50 % to
// 300 %, or the level that fits the game to the page area) multiplies it.

#include <windows.h>
#include <docobj.h>

#include <functional>

namespace pagezoom {

// IWebBrowser2::ExecWB, or a stand-in for it.
using Exec = std::function<HRESULT(OLECMDID command, OLECMDEXECOPT option, VARIANT* in, VARIANT* out)>;

// The player's levels, in percent of the page at the display's scale.
inline constexpr int kLevels[] = {50, 67, 75, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300};
inline constexpr int kMinLevel = 50;
inline constexpr int kMaxLevel = 300;
inline constexpr int kActualSize = 100;
// The player's choice "fit the game to the window", where a level is kept otherwise.
inline constexpr int kFit = 0;

// The zoom in percent that shows a page at this DPI.
int PercentFor(int dpi);
// The control's optical zoom for a player's level at this DPI.
int OpticalFor(int level, int dpi);

// The next level above (direction > 0) or below percent, which need not be a
// level itself; the ends stay where they are.
int StepLevel(int percent, int direction);
// A kept choice as the client uses it: a level or kFit, anything else actual size.
int ValidChoice(int choice);

// The level at which a game of `object` CSS pixels fills `area` device pixels
// at this DPI without scrolling, within kMinLevel..kMaxLevel; actual size when
// either size is empty.
int FitLevel(SIZE object, SIZE area, int dpi);

enum class Outcome {
    AsIs,    // the page is at that zoom already (or nothing needed asking)
    Zoomed,  // the zoom was set
    Refused, // the control answered neither the question nor the setting
};
// Brings the page to the player's level at dpi. Nothing is asked when the page
// and the system are both at 96 DPI, the level is actual size and the page
// was never zoomed. Any answer of the control is survived.
Outcome ShowAt(const Exec& exec, int level, int dpi, int systemDpi, bool zoomedBefore);
// The page at the display's scale and its own size.
inline Outcome FitToDisplay(const Exec& exec, int dpi, int systemDpi)
{
    return ShowAt(exec, kActualSize, dpi, systemDpi, false);
}

} // namespace pagezoom
