#include "timeline/Trend.h"

#include <algorithm>
#include <cmath>

namespace kelvarox::timeline {

bool UsesTrend(const TimeRange& view, int traceWidth) { return view.Span() > traceWidth; }

TrendReduction::TrendReduction(const TimeRange& view, int width)
    : view_(view), width_(std::max(width, 1)), columns_(static_cast<size_t>(width_)) {}

void TrendReduction::Add(const OrbitStatistics& orbit) {
    if (orbit.samples <= 0) return;
    const auto start = static_cast<double>(orbit.orbit);
    if (start + 1 <= view_.left || start >= view_.right) return;
    // The columns from the one the orbit starts in to the one it ends in, its end excluded.
    const double first = std::floor(PixelOf(view_, start, width_));
    const double last = std::ceil(PixelOf(view_, start + 1, width_)) - 1;
    const auto from = static_cast<int>(std::clamp(first, 0.0, width_ - 1.0));
    const auto to = static_cast<int>(std::clamp(last, 0.0, width_ - 1.0));
    for (int x = from; x <= to; ++x) {
        OrbitStatistics& c = columns_[static_cast<size_t>(x)];
        c.samples += orbit.samples;
        c.min = std::fmin(c.min, orbit.min);
        c.max = std::fmax(c.max, orbit.max);
        c.sum += orbit.sum;
        c.sumSquares += orbit.sumSquares;
    }
}

std::vector<TrendColumn> TrendReduction::Columns() const {
    std::vector<TrendColumn> columns;
    for (size_t x = 0; x < columns_.size(); ++x) {
        const OrbitStatistics& c = columns_[x];
        if (c.samples > 0) columns.push_back({static_cast<int32_t>(x), c.samples, c.Mean(), c.min, c.max});
    }
    return columns;
}

namespace {

// The orbits that may overlap [from, to]: from the one before `from` on.
std::span<const OrbitStatistics> From(std::span<const OrbitStatistics> orbits, OrbitTime from) {
    const auto first = std::lower_bound(orbits.begin(), orbits.end(), from - 1,
                                        [](const OrbitStatistics& o, double t) { return o.orbit < t; });
    return orbits.subspan(static_cast<size_t>(first - orbits.begin()));
}

}  // namespace

std::vector<TrendColumn> TrendColumns(const TimeRange& view, int width, std::span<const OrbitStatistics> orbits) {
    TrendReduction reduction(view, width);
    for (const OrbitStatistics& o : From(orbits, view.left)) {
        if (static_cast<double>(o.orbit) >= view.right) break;
        reduction.Add(o);
    }
    return reduction.Columns();
}

Summary SummaryOfOrbits(std::span<const OrbitStatistics> orbits, OrbitTime from, OrbitTime to) {
    Summary summary;
    for (const OrbitStatistics& o : From(orbits, from)) {
        const auto start = static_cast<double>(o.orbit);
        if (start > to) break;
        if (start + 1 <= from || o.samples <= 0) continue;
        const auto n = static_cast<double>(o.samples);
        Summary part;
        part.count = o.samples;
        part.min = o.min;
        part.max = o.max;
        part.mean = o.Mean();
        part.m2 = std::max(0.0, o.sumSquares - o.sum * o.sum / n);
        summary.Merge(part);
    }
    return summary;
}

}  // namespace kelvarox::timeline
