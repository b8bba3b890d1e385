#pragma once
// The marks of the shared orbit axis: at round orbits (or round MA within an orbit when the
// view is narrow), labelled with the orbit number ("1234", "1234/128" for orbit and MA) and
// the date where the blocks give it.
#include <cstdint>
#include <string>
#include <vector>

#include "timeline/DateLine.h"
#include "timeline/TimeRange.h"

namespace kelvarox::timeline {

// Marks stand at least this many pixels apart.
inline constexpr int kMarkSpacing = 80;

struct TimeMark {
    OrbitTime time = 0;
    int32_t x = 0;  // pixel from the left edge of the plots
    std::string orbitText;
    std::string dateText;  // empty where the date is unknown
};

// The marks of `view` over `width` pixels, at the smallest round step that keeps them
// kMarkSpacing apart: 1, 2, 4 ... 128 MA, then 1, 2, 5, 10, 20, 50 ... orbits.
std::vector<TimeMark> TimeMarks(const TimeRange& view, int width, const DateLine& dates);

// The orbit and MA of a time as the read-out writes them: "1234/128".
std::string OrbitMAText(OrbitTime time);

}  // namespace kelvarox::timeline
