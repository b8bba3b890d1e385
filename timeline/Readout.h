#pragma once
// The texts of the time line's read-out and its CSV export.
#include <string>
#include <vector>

#include "timeline/ChannelTrace.h"
#include "timeline/DateLine.h"

namespace kelvarox::timeline {

// The cursor's place: "Orbit 316  MA 128  2002  Jan  01 [Tue]", without the date where the
// blocks do not give it.
std::string CursorText(OrbitTime time, const DateLine& dates);

// A sample of a plot: its value (the shortest text that reads back as the same 32-bit float),
// its orbit and MA, and the name of its block's file: "17.61 at 316/128 in temperature.dat".
std::string SampleText(const ChannelTrace& trace, const SampleAt& sample);

// The samples of `trace` within `view` as the series command writes them: CSV (RFC 4180,
// CR LF) with the columns orbit,ma,value,raw,file.
std::string SamplesCsv(const ChannelTrace& trace, const TimeRange& view);

// The samples within `view` of the channels of one plot: CSV (RFC 4180, CR LF) with the columns
// orbit, ma and a value column for each channel, headed by its title. A row for each orbit and
// MA with a sample, in time order; a channel without a sample there leaves its field empty.
std::string OverlaidSamplesCsv(const std::vector<const ChannelTrace*>& traces, const TimeRange& view);

}  // namespace kelvarox::timeline
