#pragma once
// A plot's limits in pixels: the limit lines of the satellite's entries in force across the
// view, and the parts of the step line that lie at or beyond a yellow or red limit, so an
// excursion stands out at any zoom.
#include <cstdint>
#include <string>
#include <vector>

#include "core/SatelliteDefinition.h"
#include "timeline/ChannelTrace.h"
#include "timeline/Decimation.h"
#include "timeline/Excursions.h"
#include "timeline/ValueScale.h"

namespace kelvarox::timeline {

// A limit across part of a plot. A limit beyond the values shown is a marker at the plot's
// edge (`beyond`), `y` held at that edge, with its value as text.
struct LimitLine {
    int32_t x0 = 0, x1 = 0, y = 0;
    LimitLevel level = LimitLevel::Yellow;
    bool beyond = false;
    std::string text;
    bool operator==(const LimitLine&) const = default;
};

// A part of the step line at or beyond a limit: the part of a pixel column from y0 to y1
// (x0 = x1), or a step's level from the column before (y0 = y1).
struct BreachMark {
    int32_t x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    LimitLevel level = LimitLevel::Yellow;
    bool operator==(const BreachMark&) const = default;
};

struct LimitPicture {
    std::vector<LimitLine> lines;
    std::vector<BreachMark> marks;
};

// Where a plot's rows and columns lie: the trace area's place in the canvas and its value range.
struct PlotFrame {
    int32_t left = 0;  // canvas x of trace column 0
    int32_t top = 0;   // canvas y of the range's high end
    int32_t traceWidth = 1;
    int32_t traceHeight = 1;
    ValueRange range;
};

// The limits of the trace's channel in `view`, from the entries in force at each block's start
// date, over the trace's `columns` (as DecimateTrace gives them for the view).
LimitPicture ComposeLimits(const ChannelTrace& trace, const SatelliteDefinition& satellite, const TimeRange& view,
                           const PlotFrame& frame, const std::vector<TraceColumn>& columns);

}  // namespace kelvarox::timeline
