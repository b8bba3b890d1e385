#include "timeline/ValueScale.h"

#include <cmath>
#include <cstdio>

namespace kelvarox::timeline {

namespace {

constexpr int kSteps = 4;
// Limits held within this distance of 0, so that steps and labels stay numbers.
constexpr double kLargest = 1e30;

// The round step near span / kSteps: 1, 2, 2.5 or 5 times a power of ten.
double RoundStep(double span) {
    const double rough = span / kSteps;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double m : {1.0, 2.0, 2.5, 5.0}) {
        if (m * power >= rough) return m * power;
    }
    return 10 * power;
}

// As many decimals as the step has, at most 9.
int DecimalsOf(double step) {
    int decimals = 0;
    while (decimals < 9 &&
           std::abs(step * std::pow(10.0, decimals) - std::round(step * std::pow(10.0, decimals))) > 1e-6)
        ++decimals;
    return decimals;
}

std::string LevelText(double value, int decimals) {
    if (std::abs(value) < 1e-12) value = 0;  // no "-0"
    char text[64];
    if (std::abs(value) >= 1e9)
        std::snprintf(text, sizeof text, "%.3g", value);
    else
        std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::vector<ValueLevel> LevelsOf(double low, double high, double step) {
    std::vector<ValueLevel> levels;
    const int decimals = DecimalsOf(step);
    const double first = std::ceil(low / step - 1e-9);
    for (double k = first; k * step <= high + step * 1e-9 && levels.size() <= 2 * kSteps + 2; ++k) {
        levels.push_back({k * step, LevelText(k * step, decimals)});
    }
    return levels;
}

}  // namespace

ValueScale RoundedScale(double low, double high) {
    if (!std::isfinite(low) || !std::isfinite(high) || low > high) {
        low = 0;
        high = 1;
    }
    low = std::max(low, -kLargest);
    high = std::min(high, kLargest);
    if (low == high) {
        const double widen = low == 0 ? 1.0 : std::pow(10.0, std::floor(std::log10(std::abs(low))));
        low -= widen;
        high += widen;
    }
    const double step = RoundStep(high - low);
    ValueScale scale;
    scale.range = {std::floor(low / step) * step, std::ceil(high / step) * step};
    scale.levels = LevelsOf(scale.range.low, scale.range.high, step);
    return scale;
}

ValueScale ScaleWithin(const ValueRange& range) {
    ValueScale scale;
    scale.range = range;
    if (!(range.high > range.low) || !std::isfinite(range.high - range.low)) return RoundedScale(range.low, range.high);
    scale.levels = LevelsOf(range.low, range.high, RoundStep(range.high - range.low));
    return scale;
}

}  // namespace kelvarox::timeline
