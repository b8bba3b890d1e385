#include "timeline/CursorDelta.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/CsvText.h"
#include "timeline/Readout.h"

namespace kelvarox::timeline {

OrbitDelta OrbitsBetween(OrbitTime from, OrbitTime to) {
    const auto count = [](OrbitTime t) {
        const OrbitAndMA at = OrbitAndMAOf(t);
        return at.orbit * static_cast<int64_t>(kMAPerOrbit) + at.ma;
    };
    const int64_t ma = count(to) - count(from);
    const int64_t size = std::llabs(ma);
    return {ma < 0, size / static_cast<int64_t>(kMAPerOrbit), static_cast<int32_t>(size % 256)};
}

std::string OrbitDeltaText(const OrbitDelta& delta) {
    return (delta.negative ? "-" : "+") + std::to_string(delta.orbits) + (delta.orbits == 1 ? " orbit " : " orbits ") +
           std::to_string(delta.ma) + " MA";
}

std::string TimeDeltaText(double days) {
    const double ms = std::round(std::abs(days) * 86'400'000.0);
    if (!std::isfinite(ms) || ms > 9e15) return "?";
    auto left = static_cast<int64_t>(ms);
    const int64_t milliseconds = left % 1000, seconds = left / 1000 % 60, minutes = left / 60'000 % 60,
                  hours = left / 3'600'000 % 24, wholeDays = left / 86'400'000;
    char clock[32];
    std::snprintf(clock, sizeof clock, "%02d:%02d:%02d.%03d", static_cast<int>(hours), static_cast<int>(minutes),
                  static_cast<int>(seconds), static_cast<int>(milliseconds));
    std::string text = days < 0 && ms > 0 ? "-" : "+";
    if (wholeDays > 0) text += std::to_string(wholeDays) + " d ";
    return text + clock;
}

std::string ValueDeltaText(float from, float to) {
    const double difference = static_cast<double>(to) - static_cast<double>(from);
    if (!std::isfinite(difference)) return "?";
    // The fewest digits that stay within half a step of the floats subtracted: 0.3 - 0.1 is 0.2.
    const float larger = std::max(std::abs(from), std::abs(to));
    const double step = static_cast<double>(std::nextafter(larger, INFINITY)) - static_cast<double>(larger);
    char text[40];
    for (int digits = 1; digits <= 17; ++digits) {
        std::snprintf(text, sizeof text, "%+.*g", digits, difference);
        if (std::abs(std::strtod(text, nullptr) - difference) <= step / 2) break;
    }
    return text;
}

std::string CursorDeltaText(OrbitTime second, OrbitTime cursor, std::optional<double> secondTime,
                            std::optional<double> cursorTime) {
    std::string text = "Difference " + OrbitDeltaText(OrbitsBetween(second, cursor));
    if (secondTime && cursorTime) text += "  " + TimeDeltaText(*cursorTime - *secondTime);
    return text;
}

std::string SampleDeltaText(const ChannelTrace& trace, const SampleAt& second, const SampleAt& cursor) {
    return "second " + SampleText(trace, second) + ", difference " + ValueDeltaText(second.value, cursor.value);
}

}  // namespace kelvarox::timeline
