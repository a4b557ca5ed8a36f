#include "widgets/window_placement.h"

#include <gtest/gtest.h>

using namespace zuv;

TEST(WindowPlacement, BesideTheOwnerAndAlwaysOnTheScreen)
{
    const ScreenRect screen{0, 0, 1280, 1024};
    struct Case
    {
        const char* name;
        ScreenRect owner;
        int width;
        int height;
        ScreenRect area;
        ScreenPoint expected;
    };
    const Case cases[] = {
        {"RightEdgeHasRoom", {100, 100, 400, 300}, 250, 290, screen, {500, 116}},
        {"EndsExactlyAtTheEdge", {100, 100, 930, 300}, 250, 290, screen, {1030, 116}},
        // The German dialog beside a main window grown to 614 pixels.
        {"LeftEdgeWhenTheRightHasNone", {440, 200, 614, 400}, 250, 290, screen, {190, 216}},
        {"OverlapsWhenNeitherSideHasRoom", {100, 100, 1000, 300}, 250, 290, screen, {1030, 116}},
        {"LowOwnerMovesItUp", {100, 900, 400, 100}, 250, 290, screen, {500, 734}},
        {"HighOwnerMovesItDown", {100, -200, 400, 300}, 250, 290, screen, {500, 0}},
        // A panel takes the screen's left and top: the free area is what counts.
        {"FreeAreaOfTheScreen", {40, 0, 400, 300}, 250, 290, {64, 30, 1216, 994}, {440, 30}},
        {"SecondScreen", {2200, 100, 400, 300}, 250, 290, {1280, 0, 1280, 1024}, {1950, 116}},
        {"LargerThanTheArea", {0, 0, 400, 300}, 1400, 1100, screen, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PlaceBeside(c.owner, c.width, c.height, 16, c.area), c.expected);
    }
    EXPECT_EQ(KeepInside({1200, 1000, 200, 100}, screen), (ScreenPoint{1080, 924}));
    EXPECT_EQ(KeepInside({-5, 10, 200, 100}, screen), (ScreenPoint{0, 10}));
}
