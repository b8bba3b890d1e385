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

// A date under the axis where the blocks tell that its day has begun: the text starts at x.
struct DayStartMark {
    int32_t x = 0;
    std::string text;
    bool operator==(const DayStartMark&) const = default;
};
// Day starts stand at least this many pixels apart: no date is narrower.
inline constexpr int kLeastDayStartSpacing = 40;
// The days that begin within `view` over `width` pixels, each at its first time the blocks
// date, the earlier one kept where two lie closer than kLeastDayStartSpacing.
std::vector<DayStartMark> DayStartMarks(const TimeRange& view, int width, const DateLine& dates);

// A label under the axis: its left edge and its width in pixels.
struct LabelSpan {
    int left = 0;
    int width = 0;
};
// The labels that have room, in order of precedence: each lies within [0, width] and keeps
// `gap` pixels from every label taken before it. Their indices, in that order.
std::vector<size_t> LabelsWithRoom(const std::vector<LabelSpan>& labels, int width, int gap);

}  // namespace kelvarox::timeline
