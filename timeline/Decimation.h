#pragma once
// A trace reduced to what a screen can show: for each pixel column, the lowest and highest
// value the step line reaches in it. However many samples a view holds, the picture has at
// most a few entries per column, and it is the same picture the samples would draw.
#include <cstdint>
#include <vector>

#include "timeline/ChannelTrace.h"

namespace kelvarox::timeline {

// One pixel column of the step line. The line reaches from `low` to `high` in it; when it
// joins the column before, it comes from there level at `first`, the value of the first
// sample of this column. A column that starts after a break does not join.
struct TraceColumn {
    int32_t x = 0;
    float first = 0;
    float low = 0;
    float high = 0;
    bool joinsPrevious = false;
    bool operator==(const TraceColumn&) const = default;
};

// The columns of the trace in `view` spread over `width` pixels, left to right. A sample holds
// its value from the sample before it up to its own time, as the block graph draws it, so the
// column where a sample's step starts reaches its value too. Samples left or right of the view
// fall on the columns -1 and `width`, just outside it, so that a line that enters the view
// from outside is drawn up to its edge. A block that falls within one column is taken from
// its summary, not sample by sample.
std::vector<TraceColumn> DecimateTrace(const ChannelTrace& trace, const TimeRange& view, int width);

}  // namespace kelvarox::timeline
