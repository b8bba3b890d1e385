#include "core/WindowPlacement.h"

#include <algorithm>
#include <limits>

namespace kelvarox {

namespace {

// Edges in 64 bits: a stored corner near the 32-bit limit plus a width must not overflow.
struct Span {
    int64_t from, to;  // [from, to)
};

Span Horizontal(const ScreenRect& r) { return {r.left, int64_t{r.left} + std::max(r.width, 0)}; }
Span Vertical(const ScreenRect& r) { return {r.top, int64_t{r.top} + std::max(r.height, 0)}; }

int64_t Overlap(Span a, Span b) { return std::max<int64_t>(0, std::min(a.to, b.to) - std::max(a.from, b.from)); }

// How far apart two spans lie; 0 when they touch or overlap.
int64_t Gap(Span a, Span b) { return std::max<int64_t>({0, a.from - b.to, b.from - a.to}); }

// The start of a span of `length` kept inside `area` by the least move; the area's start
// when the span is longer than the area.
int64_t KeepInside(int64_t start, int64_t length, Span area) {
    return std::max(area.from, std::min(start, area.to - length));
}

}  // namespace

FrameCorner PlaceOnScreens(const ScreenRect& frame, int32_t titleBarHeight, const std::vector<ScreenRect>& screens) {
    const ScreenRect title{frame.left, frame.top, frame.width, std::max(titleBarHeight, 1)};
    const Span titleX = Horizontal(title), titleY = Vertical(title);
    const int64_t grabbable = std::min<int64_t>(kGrabbableTitleWidth, std::max(frame.width, 1));

    const ScreenRect* nearest = nullptr;
    double nearestDistance = std::numeric_limits<double>::infinity();  // gaps reach 2^33: squares as doubles
    for (const ScreenRect& screen : screens) {
        const Span x = Horizontal(screen), y = Vertical(screen);
        if (Overlap(titleY, y) == titleY.to - titleY.from && Overlap(titleX, x) >= grabbable)
            return {frame.left, frame.top};
        const auto dx = static_cast<double>(Gap(titleX, x)), dy = static_cast<double>(Gap(titleY, y));
        if (dx * dx + dy * dy < nearestDistance) {
            nearestDistance = dx * dx + dy * dy;
            nearest = &screen;
        }
    }
    if (!nearest) return {frame.left, frame.top};
    const Span frameX = Horizontal(frame), frameY = Vertical(frame);
    // Inside a screen whose edges are 32-bit numbers: the corner fits in 32 bits.
    return {static_cast<int32_t>(KeepInside(frameX.from, frameX.to - frameX.from, Horizontal(*nearest))),
            static_cast<int32_t>(KeepInside(frameY.from, frameY.to - frameY.from, Vertical(*nearest)))};
}

}  // namespace kelvarox
