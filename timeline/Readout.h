#pragma once
// The texts of the time line's read-out and its CSV export.
#include <string>

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

}  // namespace kelvarox::timeline
