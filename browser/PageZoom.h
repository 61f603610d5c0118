#pragma once
// The page at the display's scale. The control zooms its pages by the scale
// itself when its host says it is DPI aware (DOCHOSTUIFLAG_DPI_AWARE); where it
// does not, or where the window is on a monitor of another scale than the
// system's, the page is brought to that scale after each navigation through
// the control's optical zoom, in percent of the page's size at 96 DPI.

#include <windows.h>
#include <docobj.h>

#include <functional>

namespace pagezoom {

// IWebBrowser2::ExecWB, or a stand-in for it.
using Exec = std::function<HRESULT(OLECMDID command, OLECMDEXECOPT option, VARIANT* in, VARIANT* out)>;

// The zoom in percent that shows a page at this DPI.
int PercentFor(int dpi);

enum class Outcome {
    AsIs,    // the page is at that zoom already (or nothing needed asking)
    Zoomed,  // the zoom was set
    Refused, // the control answered neither the question nor the setting
};
// Brings the page to the zoom of dpi. Nothing is asked when the page and the
// system are both at 96 DPI. Any answer of the control is survived.
Outcome FitToDisplay(const Exec& exec, int dpi, int systemDpi);

} // namespace pagezoom
