#include "ui/framework/WorkArea.h"

#include <algorithm>
#include <cstdint>

namespace workarea {

namespace {

using Wide = std::int64_t;

Wide Width(const RECT& r) { return Wide{r.right} - r.left; }
Wide Height(const RECT& r) { return Wide{r.bottom} - r.top; }

// One side of FitInto: where a span of `size` (already no larger than the
// room) starting at `start` goes within [low, high).
LONG Place(LONG start, Wide size, LONG low, LONG high)
{
    return static_cast<LONG>(std::clamp<Wide>(start, low, Wide{high} - size));
}

} // namespace

RECT RectOf(int x, int y, int cx, int cy)
{
    const auto farSide = [](Wide start, Wide size) {
        return static_cast<LONG>(std::clamp<Wide>(start + size, INT32_MIN, INT32_MAX));
    };
    return {x, y, farSide(x, cx), farSide(y, cy)};
}

bool IsPlausibleWindowRect(const RECT& r)
{
    const auto within = [](LONG v) { return v >= -kLargestCoordinate && v <= kLargestCoordinate; };
    return within(r.left) && within(r.top) && within(r.right) && within(r.bottom) && Width(r) > 0 && Height(r) > 0 &&
           Width(r) <= kLargestCoordinate && Height(r) <= kLargestCoordinate;
}

SIZE MinimumWithin(SIZE minimum, const RECT& work)
{
    const Wide width = std::max<Wide>(Width(work), 0);
    const Wide height = std::max<Wide>(Height(work), 0);
    return {static_cast<LONG>(std::min<Wide>(minimum.cx, width)),
            static_cast<LONG>(std::min<Wide>(minimum.cy, height))};
}

RECT FitInto(const RECT& r, const RECT& work, SIZE minimum)
{
    if (Width(work) <= 0 || Height(work) <= 0)
        return r;
    const SIZE least = MinimumWithin(minimum, work);
    const Wide width = std::clamp<Wide>(Width(r), std::max<LONG>(least.cx, 1), Width(work));
    const Wide height = std::clamp<Wide>(Height(r), std::max<LONG>(least.cy, 1), Height(work));
    const LONG left = Place(r.left, width, work.left, work.right);
    const LONG top = Place(r.top, height, work.top, work.bottom);
    return {left, top, static_cast<LONG>(left + width), static_cast<LONG>(top + height)};
}

void SetMaximizedArea(MINMAXINFO& info, const RECT& monitor, const RECT& area)
{
    info.ptMaxPosition.x = static_cast<LONG>(Wide{area.left} - monitor.left);
    info.ptMaxPosition.y = static_cast<LONG>(Wide{area.top} - monitor.top);
    info.ptMaxSize.x = static_cast<LONG>(Width(area));
    info.ptMaxSize.y = static_cast<LONG>(Height(area));
}

} // namespace workarea
