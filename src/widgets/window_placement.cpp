#include "widgets/window_placement.h"

#include <algorithm>

namespace zuv {

namespace {

int KeepSpanInside(int start, int length, int areaStart, int areaLength)
{
    // Larger than the area: its start (a caption bar, the first texts) stays visible.
    return std::max(areaStart, std::min(start, areaStart + areaLength - length));
}

} // namespace

ScreenPoint KeepInside(const ScreenRect& frame, const ScreenRect& area)
{
    return {KeepSpanInside(frame.left, frame.width, area.left, area.width),
            KeepSpanInside(frame.top, frame.height, area.top, area.height)};
}

ScreenPoint PlaceBeside(const ScreenRect& owner, int width, int height, int below,
                        const ScreenRect& area)
{
    int left = owner.Right();
    if (left + width > area.Right()) {
        left = owner.left - width;
        if (left < area.left)
            left = area.Right() - width;
    }
    return KeepInside({left, owner.top + below, width, height}, area);
}

} // namespace zuv
