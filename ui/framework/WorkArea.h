#pragma once
// Where a window goes on a monitor: plain arithmetic on rectangles, done in 64
// bits, so that no value a settings key or the system hands over can overflow.

#include <windows.h>

namespace workarea {

// The farthest a side of a window's rectangle may lie from the origin, and its
// largest width and height: far beyond any desktop of monitors, and inside the
// 16-bit range the system keeps window coordinates in.
constexpr LONG kLargestCoordinate = 32767;

// A rectangle a window can have had: a positive size, no side beyond
// kLargestCoordinate either way.
bool IsPlausibleWindowRect(const RECT& r);

// The rectangle of a window at (x, y) of cx x cy, its far sides held within
// the range of LONG.
RECT RectOf(int x, int y, int cx, int cy);

// A window's minimum size on a work area: no side larger than the work area's.
SIZE MinimumWithin(SIZE minimum, const RECT& work);

// r moved wholly into work, at its own size where that fits and shrunk to the
// work area where not; never smaller than minimum (itself capped by the work
// area). An empty work area gives r as it is.
RECT FitInto(const RECT& r, const RECT& work, SIZE minimum);

// MINMAXINFO's maximised position and size for a window that is to cover area
// (a work area, or the whole monitor) of the monitor whose rectangle is
// monitor. The system reads the position as one on the primary monitor and
// moves it onto the window's own monitor, so it is given relative to that
// monitor's origin.
void SetMaximizedArea(MINMAXINFO& info, const RECT& monitor, const RECT& area);

} // namespace workarea
