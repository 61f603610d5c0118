#include "browser/PageZoom.h"

#include "ui/framework/DpiScale.h"

#include <algorithm>

namespace pagezoom {

int PercentFor(int dpi) { return MulDiv(100, dpi > 0 ? dpi : DpiScale::kBaseDpi, DpiScale::kBaseDpi); }

// Rounded down: a fitted game never comes out a pixel larger than its area.
int OpticalFor(int level, int dpi) { return static_cast<int>(static_cast<long long>(PercentFor(dpi)) * level / 100); }

int StepLevel(int percent, int direction)
{
    if (direction > 0) {
        for (int level : kLevels)
            if (level > percent)
                return level;
        return kMaxLevel;
    }
    for (auto it = std::rbegin(kLevels); it != std::rend(kLevels); ++it)
        if (*it < percent)
            return *it;
    return kMinLevel;
}

int ValidChoice(int choice)
{
    if (choice == kFit || std::find(std::begin(kLevels), std::end(kLevels), choice) != std::end(kLevels))
        return choice;
    return kActualSize;
}

int FitLevel(SIZE object, SIZE area, int dpi)
{
    if (object.cx <= 0 || object.cy <= 0 || area.cx <= 0 || area.cy <= 0)
        return kActualSize;
    // The optical zoom that fits each way, then in the player's levels.
    const long long optical = std::min(100LL * area.cx / object.cx, 100LL * area.cy / object.cy);
    const long long level = optical * 100 / PercentFor(dpi);
    return static_cast<int>(std::clamp<long long>(level, kMinLevel, kMaxLevel));
}

Outcome ShowAt(const Exec& exec, int level, int dpi, int systemDpi, bool zoomedBefore)
{
    if (!exec ||
        (level == kActualSize && !zoomedBefore && dpi == DpiScale::kBaseDpi && systemDpi == DpiScale::kBaseDpi))
        return Outcome::AsIs;
    const int wanted = OpticalFor(level, dpi);
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
