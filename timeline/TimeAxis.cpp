#include "timeline/TimeAxis.h"

#include <cmath>

namespace kelvarox::timeline {

namespace {

double MarkStep(double span, int width) {
    const double least = span * kMarkSpacing / std::max(width, 1);
    for (double ma = 1; ma < kMAPerOrbit; ma *= 2) {
        if (ma / kMAPerOrbit >= least) return ma / kMAPerOrbit;
    }
    for (double power = 1;; power *= 10) {
        for (const double m : {1.0, 2.0, 5.0}) {
            if (m * power >= least) return m * power;
        }
    }
}

}  // namespace

std::string OrbitMAText(OrbitTime time) {
    const OrbitAndMA at = OrbitAndMAOf(time);
    return std::to_string(at.orbit) + "/" + std::to_string(at.ma);
}

std::vector<TimeMark> TimeMarks(const TimeRange& view, int width, const DateLine& dates) {
    std::vector<TimeMark> marks;
    if (width <= 0 || !(view.Span() > 0)) return marks;
    const double step = MarkStep(view.Span(), width);
    for (double k = std::ceil(view.left / step); k * step <= view.right && marks.size() <= static_cast<size_t>(width);
         ++k) {
        const OrbitTime t = k * step;
        TimeMark mark;
        mark.time = t;
        mark.x = static_cast<int32_t>(std::lround(PixelOf(view, t, width)));
        mark.orbitText = step >= 1 ? std::to_string(OrbitAndMAOf(t).orbit) : OrbitMAText(t);
        if (const std::optional<int32_t> day = dates.AmDayAt(t)) mark.dateText = AmDayText(*day);
        marks.push_back(std::move(mark));
    }
    return marks;
}

}  // namespace kelvarox::timeline
