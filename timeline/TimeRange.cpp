#include "timeline/TimeRange.h"

#include <algorithm>
#include <cmath>

namespace kelvarox::timeline {

OrbitAndMA OrbitAndMAOf(OrbitTime time) {
    const double orbit = std::floor(time);
    if (!(std::abs(orbit) < kFarthest)) return {};
    const int32_t ma = std::clamp(static_cast<int32_t>((time - orbit) * kMAPerOrbit), 0, 255);
    return {static_cast<int64_t>(orbit), ma};
}

TimeRange Limited(TimeRange view) {
    double centre = (view.left + view.right) / 2;
    double span = view.right - view.left;
    if (!std::isfinite(centre)) centre = 0;
    if (std::isnan(span) || span < kNarrowestSpan) span = kNarrowestSpan;
    span = std::min(span, kWidestSpan);
    centre = std::clamp(centre, -kFarthest + span / 2, kFarthest - span / 2);
    return {centre - span / 2, centre + span / 2};
}

double PixelOf(const TimeRange& view, OrbitTime time, int width) { return (time - view.left) / view.Span() * width; }

OrbitTime TimeAtPixel(const TimeRange& view, double pixel, int width) {
    return view.left + pixel / std::max(width, 1) * view.Span();
}

TimeRange ZoomedAround(const TimeRange& view, OrbitTime anchor, double factor) {
    if (!(factor > 0) || !std::isfinite(factor)) return view;
    const double share = (anchor - view.left) / view.Span();
    const double span = std::clamp(view.Span() / factor, kNarrowestSpan, kWidestSpan);
    return Limited({anchor - share * span, anchor - share * span + span});
}

double WheelZoomFactor(int angleDelta) { return std::pow(1.25, angleDelta / 120.0); }

TimeRange PannedByPixels(const TimeRange& view, double dx, int width) {
    const double shift = dx / std::max(width, 1) * view.Span();
    return Limited({view.left - shift, view.right - shift});
}

TimeRange BetweenPixels(const TimeRange& view, double x0, double x1, int width) {
    const OrbitTime a = TimeAtPixel(view, std::min(x0, x1), width);
    const OrbitTime b = TimeAtPixel(view, std::max(x0, x1), width);
    return Limited({a, b});
}

TimeRange Showing(const TimeRange& extent) {
    const double margin = std::max(extent.Span() * 0.02, kNarrowestSpan / 2);
    return Limited({extent.left - margin, extent.right + margin});
}

TimeRange ViewAfterNewSamples(const TimeRange& view, bool showingAll, bool following,
                              const std::optional<TimeRange>& before, const std::optional<TimeRange>& after) {
    if (showingAll && after) return Showing(*after);
    if (following && before && after && after->right > before->right && view.right >= before->right) {
        const double moved = after->right - before->right;
        return Limited({view.left + moved, view.right + moved});
    }
    return view;
}

std::optional<ValueRange> ValuesBetweenRows(const ValueRange& range, double y0, double y1, int height) {
    if (std::abs(y1 - y0) < 2 || height <= 0 || !(range.high > range.low)) return std::nullopt;
    const auto valueAt = [&](double y) { return range.high - y / height * (range.high - range.low); };
    return ValueRange{valueAt(std::max(y0, y1)), valueAt(std::min(y0, y1))};
}

}  // namespace kelvarox::timeline
