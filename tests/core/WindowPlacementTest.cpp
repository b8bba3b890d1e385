#include "core/WindowPlacement.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

using namespace kelvarox;

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

FrameCorner Place(int32_t left, int32_t top, const std::vector<ScreenRect>& screens) {
    return PlaceOnScreens({left, top, 400, 250}, 20, screens);
}

}  // namespace

TEST(WindowPlacement, KeepsAGrabbableTitleBarAndMovesAnUnreachableOneOntoTheNearestScreen) {
    // Two screens side by side, the right one lower and smaller.
    const std::vector<ScreenRect> screens = {{0, 0, 1024, 768}, {1024, 100, 800, 600}};
    EXPECT_EQ(Place(20, 20, screens), (FrameCorner{20, 20}));
    EXPECT_EQ(Place(1100, 150, screens), (FrameCorner{1100, 150}));
    // Partly off the left edge with enough of the title bar left to grab, and a frame that
    // reaches below the screen: they stay.
    EXPECT_EQ(Place(-352, 20, screens), (FrameCorner{-352, 20}));
    EXPECT_EQ(Place(100, 700, screens), (FrameCorner{100, 700}));
    // Too little of the title bar to grab, or part of its height above the screen.
    EXPECT_EQ(Place(-353, 20, screens), (FrameCorner{0, 20}));
    EXPECT_EQ(Place(19, -1, screens), (FrameCorner{19, 0}));
    EXPECT_EQ(Place(1100, 50, screens), (FrameCorner{1100, 100}));  // above the right screen only
    // Far away or at the ends of the number range: onto the nearest screen, whole.
    EXPECT_EQ(Place(kMax, kMax, screens), (FrameCorner{1424, 450}));
    EXPECT_EQ(Place(kMin, kMin, screens), (FrameCorner{0, 0}));
    EXPECT_EQ(Place(3000, 300, screens), (FrameCorner{1424, 300}));
    // A screen smaller than the frame takes its top-left corner; no screen leaves it alone.
    EXPECT_EQ(Place(500, 500, {{0, 0, 300, 200}}), (FrameCorner{0, 0}));
    EXPECT_EQ(Place(kMax, kMin, {}), (FrameCorner{kMax, kMin}));
}
