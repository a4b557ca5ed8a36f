#pragma once

namespace zuv {

// A rectangle of screen pixels: the outer frame of a window or the free area of a screen.
struct ScreenRect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    int Right() const { return left + width; }  // one past the last column
    int Bottom() const { return top + height; } // one past the last row
    bool operator==(const ScreenRect&) const = default;
};

struct ScreenPoint
{
    int x = 0;
    int y = 0;
    bool operator==(const ScreenPoint&) const = default;
};

// The top-left corner that keeps a frame of this size inside `area`: moved no more than needed,
// and to the area's top-left corner when the frame is larger than the area.
ScreenPoint KeepInside(const ScreenRect& frame, const ScreenRect& area);

// Where a window hangs beside its owner: at the owner's right edge, `below` pixels under its top.
// Where the right has no room it goes to the owner's left edge, and where neither side has room
// it overlaps the owner at the area's right edge; it always stays inside `area`.
ScreenPoint PlaceBeside(const ScreenRect& owner, int width, int height, int below,
                        const ScreenRect& area);

} // namespace zuv
