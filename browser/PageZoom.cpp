#include "browser/PageZoom.h"

#include "ui/framework/DpiScale.h"

namespace pagezoom {

int PercentFor(int dpi) { return MulDiv(100, dpi > 0 ? dpi : DpiScale::kBaseDpi, DpiScale::kBaseDpi); }

Outcome FitToDisplay(const Exec& exec, int dpi, int systemDpi)
{
    if (!exec || (dpi == DpiScale::kBaseDpi && systemDpi == DpiScale::kBaseDpi))
        return Outcome::AsIs;
    const int wanted = PercentFor(dpi);
    VARIANT current;
    VariantInit(&current);
    const HRESULT asked = exec(OLECMDID_OPTICAL_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, nullptr, &current);
    const bool known = SUCCEEDED(asked) && current.vt == VT_I4;
    const bool same = known && current.lVal == wanted;
    VariantClear(&current);
    if (same)
        return Outcome::AsIs;
    VARIANT zoom;
    VariantInit(&zoom);
    zoom.vt = VT_I4;
    zoom.lVal = wanted;
    // A control that could not say its zoom may still take one.
    const HRESULT set = exec(OLECMDID_OPTICAL_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, &zoom, nullptr);
    return SUCCEEDED(set) ? Outcome::Zoomed : Outcome::Refused;
}

} // namespace pagezoom
