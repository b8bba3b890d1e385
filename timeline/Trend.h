#pragma once
// A channel over more orbits than a plot has pixel columns, drawn from per-orbit statistics
// instead of samples: for each column the mean of the orbits in it, as a line, over a band from
// their minimum to their maximum. An orbit spans [orbit, orbit + 1) of the orbit axis; a column
// takes every orbit that overlaps it, so an orbit across a column boundary counts in both and the
// band has no gap.
#include <cstdint>
#include <span>
#include <vector>

#include "core/OrbitStatistics.h"
#include "timeline/ChannelTrace.h"
#include "timeline/Summary.h"
#include "timeline/TimeRange.h"

namespace kelvarox::timeline {

struct TrendColumn {
    int32_t x = 0;
    int64_t samples = 0;
    double mean = 0;  // of the samples of the orbits in the column
    float min = 0;
    float max = 0;
    bool operator==(const TrendColumn&) const = default;
};

// The rule of a plot `traceWidth` columns wide: the trend when the view shows more orbits than
// that, the samples closer in.
bool UsesTrend(const TimeRange& view, int traceWidth);

// Gathers orbits, given in orbit order, into the columns of `view` over `width` pixels; orbits
// outside the view are passed over, so a stream of any length keeps memory at one entry a column.
class TrendReduction {
public:
    TrendReduction(const TimeRange& view, int width);
    void Add(const OrbitStatistics& orbit);
    // The columns that hold samples, left to right.
    std::vector<TrendColumn> Columns() const;

private:
    TimeRange view_;
    int width_;
    std::vector<OrbitStatistics> columns_;  // their `orbit` unused
};

std::vector<TrendColumn> TrendColumns(const TimeRange& view, int width, std::span<const OrbitStatistics> orbits);

// The count, extremes, mean and spread of the samples of the orbits that overlap [from, to].
Summary SummaryOfOrbits(std::span<const OrbitStatistics> orbits, OrbitTime from, OrbitTime to);

}  // namespace kelvarox::timeline
