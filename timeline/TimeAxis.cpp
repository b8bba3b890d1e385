#include "timeline/TimeAxis.h"

#include <algorithm>
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

std::vector<DayStartMark> DayStartMarks(const TimeRange& view, int width, const DateLine& dates) {
    std::vector<DayStartMark> marks;
    if (width <= 0 || !(view.Span() > 0)) return marks;
    for (const DateLine::DayTimes& day : dates.DaysBeginningWithin(view.left, view.right)) {
        const auto x = static_cast<int32_t>(std::lround(PixelOf(view, day.first, width)));
        if (!marks.empty() && x - marks.back().x < kLeastDayStartSpacing) continue;
        marks.push_back({x, AmDayText(day.amDay)});
    }
    return marks;
}

std::vector<size_t> LabelsWithRoom(const std::vector<LabelSpan>& labels, int width, int gap) {
    std::vector<size_t> taken;
    for (size_t i = 0; i < labels.size(); ++i) {
        const LabelSpan& label = labels[i];
        if (label.left < 0 || label.left + label.width > width) continue;
        const bool room = std::none_of(taken.begin(), taken.end(), [&](size_t k) {
            const LabelSpan& other = labels[k];
            return label.left < other.left + other.width + gap && label.left + label.width + gap > other.left;
        });
        if (room) taken.push_back(i);
    }
    return taken;
}

}  // namespace kelvarox::timeline
