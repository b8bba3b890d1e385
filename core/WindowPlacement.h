#pragma once
// Where a window goes on the screens there are now: a stored position can come from a monitor
// that is gone or from a hand-edited settings file, and a window whose title bar lies outside
// every screen can be neither seen nor moved.
#include <cstdint>
#include <vector>

namespace kelvarox {

// A rectangle in screen pixels: a screen's usable area, or a window's outer frame.
struct ScreenRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
};

struct FrameCorner {
    int32_t left = 0;
    int32_t top = 0;
    bool operator==(const FrameCorner&) const = default;
};

// How much of a title bar must lie on one screen for the user to grab it.
inline constexpr int32_t kGrabbableTitleWidth = 48;

// The outer top-left corner for `frame`. The frame stays where it is when its title bar (its
// top `titleBarHeight` rows) lies on one of `screens` to its full height and at least
// kGrabbableTitleWidth pixels wide (the frame's width when narrower). Otherwise it moves onto
// the screen nearest to that title bar, by as little as keeps the whole frame on that screen
// (its top-left corner first when the frame is larger). Without screens it stays.
[[nodiscard]] FrameCorner PlaceOnScreens(const ScreenRect& frame, int32_t titleBarHeight,
                                         const std::vector<ScreenRect>& screens);

}  // namespace kelvarox
