#pragma once
// The orbit axis of the time line and the arithmetic of zooming and panning it. A time is the
// absolute orbit with the MA as its fraction, orbit + MA / 256: exact in a double for every
// orbit the archive can hold.
#include <cstdint>
#include <optional>

namespace kelvarox::timeline {

using OrbitTime = double;

inline constexpr double kMAPerOrbit = 256.0;

inline OrbitTime TimeOf(int64_t orbit, int32_t ma) { return static_cast<double>(orbit) + ma / kMAPerOrbit; }

// The orbit and the MA of a time, as the data table counts them (the MA 0 to 255).
struct OrbitAndMA {
    int64_t orbit = 0;
    int32_t ma = 0;
};
OrbitAndMA OrbitAndMAOf(OrbitTime time);

// The narrowest view shows four MA; the widest, far more orbits than any archive holds. Every
// view lies within kFarthest of orbit 0, so its pixels stay within integer range.
inline constexpr double kNarrowestSpan = 4.0 / kMAPerOrbit;
inline constexpr double kWidestSpan = 1e12;
inline constexpr double kFarthest = 1e13;

// A view of the orbit axis from `left` to `right`, spread over a number of pixels.
struct TimeRange {
    OrbitTime left = 0;
    OrbitTime right = 1;
    double Span() const { return right - left; }
    bool Contains(OrbitTime t) const { return t >= left && t <= right; }
    bool operator==(const TimeRange&) const = default;
};

// The view held within the limits above, about its centre; a view that is no view (not
// finite, or reversed) becomes the narrowest one about its centre, or about 0.
TimeRange Limited(TimeRange view);

// The pixel (from 0 at the left edge) where `time` lies when the view spans `width` pixels,
// and the time at a pixel.
double PixelOf(const TimeRange& view, OrbitTime time, int width);
OrbitTime TimeAtPixel(const TimeRange& view, double pixel, int width);

// The view `factor` times narrower (wider below 1), with `anchor` where it was on the screen.
TimeRange ZoomedAround(const TimeRange& view, OrbitTime anchor, double factor);
// The factor of a wheel turn (120 to a notch, forward zooms in): 1.25 a notch.
double WheelZoomFactor(int angleDelta);
// The view moved so that what lay at pixel p lies at p + dx.
TimeRange PannedByPixels(const TimeRange& view, double dx, int width);
// The view between two pixels of the present one, in either order.
TimeRange BetweenPixels(const TimeRange& view, double x0, double x1, int width);
// A view that shows everything from `first` to `last` with a small margin on both sides.
TimeRange Showing(const TimeRange& extent);

// The view after the samples on display changed from those spanning `before` to those spanning
// `after` (nothing: no samples). A view that shows all follows all of them; with Follow on, a
// view that reached the newest sample moves on with the new ones; any other view stays.
TimeRange ViewAfterNewSamples(const TimeRange& view, bool showingAll, bool following,
                              const std::optional<TimeRange>& before, const std::optional<TimeRange>& after);

// A vertical view: the values from `low` to `high`.
struct ValueRange {
    double low = 0;
    double high = 1;
    bool operator==(const ValueRange&) const = default;
};

// The values between two pixel rows of a plot `height` pixels high that shows `range`, in
// either order; nothing when they are fewer than two rows apart or the range is no range.
std::optional<ValueRange> ValuesBetweenRows(const ValueRange& range, double y0, double y1, int height);

}  // namespace kelvarox::timeline
