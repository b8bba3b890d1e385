#pragma once
// The value axis of a plot: limits rounded outward to a step of 1, 2, 2.5 or 5 times a power
// of ten, and a level at every step, labelled with as many decimals as the step needs.
#include <string>
#include <vector>

#include "timeline/TimeRange.h"

namespace kelvarox::timeline {

struct ValueLevel {
    double value = 0;
    std::string text;
};

struct ValueScale {
    ValueRange range;
    std::vector<ValueLevel> levels;
};

// A scale from `low` to `high` with about four steps. Equal limits are widened by a power of
// ten about their value (by 1 about 0); limits that are not finite give the scale of 0 to 1.
ValueScale RoundedScale(double low, double high);

// A scale over exactly `range` (a view the user chose), with levels at round values inside it.
ValueScale ScaleWithin(const ValueRange& range);

}  // namespace kelvarox::timeline
