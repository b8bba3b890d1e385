#include "timeline/DateLine.h"

#include <algorithm>
#include <map>

#include "core/AmDayCalendar.h"
#include "core/WodBlock.h"

namespace kelvarox::timeline {

void DateLine::AddBlock(OrbitTime start, OrbitTime end, int32_t startAmDay, int32_t endAmDay) {
    spans_.push_back({start, std::max(start, end), startAmDay, endAmDay});
}

void DateLine::Finish() {
    std::stable_sort(spans_.begin(), spans_.end(), [](const Span& a, const Span& b) { return a.start < b.start; });
    reach_.resize(spans_.size());
    reachSpan_.resize(spans_.size());
    for (size_t i = 0; i < spans_.size(); ++i) {
        const bool further = i == 0 || spans_[i].end > reach_[i - 1];
        reach_[i] = further ? spans_[i].end : reach_[i - 1];
        reachSpan_[i] = further ? i : reachSpan_[i - 1];
    }
    std::map<int32_t, DayTimes> days;
    const auto take = [&](int32_t amDay, OrbitTime t) {
        const auto [at, added] = days.try_emplace(amDay, DayTimes{amDay, t, t});
        if (added) return;
        at->second.first = std::min(at->second.first, t);
        at->second.last = std::max(at->second.last, t);
    };
    for (const Span& s : spans_) {
        take(s.startAmDay, s.start);
        take(s.endAmDay, s.end);
    }
    days_.clear();
    for (const auto& [amDay, times] : days) days_.push_back(times);
    std::stable_sort(days_.begin(), days_.end(),
                     [](const DayTimes& a, const DayTimes& b) { return a.first < b.first; });
}

std::optional<DateLine::DayTimes> DateLine::TimesOfDay(int32_t amDay) const {
    for (const DayTimes& day : days_)
        if (day.amDay == amDay) return day;
    return std::nullopt;
}

std::vector<DateLine::DayTimes> DateLine::DaysBeginningWithin(OrbitTime from, OrbitTime to) const {
    const auto first =
        std::lower_bound(days_.begin(), days_.end(), from, [](const DayTimes& d, OrbitTime t) { return d.first < t; });
    std::vector<DayTimes> within;
    for (auto it = first; it != days_.end() && it->first <= to; ++it) within.push_back(*it);
    return within;
}

std::optional<int32_t> DateLine::AmDayAt(OrbitTime time) const {
    // Spans [0, after) start at or before `time`.
    const size_t after = static_cast<size_t>(
        std::upper_bound(spans_.begin(), spans_.end(), time, [](OrbitTime t, const Span& s) { return t < s.start; }) -
        spans_.begin());
    const size_t first = static_cast<size_t>(
        std::lower_bound(reach_.begin(), reach_.begin() + static_cast<std::ptrdiff_t>(after), time) - reach_.begin());
    std::optional<int32_t> day;
    bool held = false;
    for (size_t i = first; i < after; ++i) {
        const Span& s = spans_[i];
        if (s.end < time) continue;
        held = true;
        if (s.startAmDay == s.endAmDay)
            day = s.startAmDay;
        else if (time == s.start)
            day = s.startAmDay;
        else if (time == s.end)
            day = s.endAmDay;
        if (day) return day;
    }
    if (held || after == 0 || after == spans_.size()) return std::nullopt;
    const Span& before = spans_[reachSpan_[after - 1]];
    const Span& next = spans_[after];
    if (before.endAmDay == next.startAmDay) return before.endAmDay;
    return std::nullopt;
}

template <class Each>
void DateLine::ForEachEndWithin(OrbitTime from, OrbitTime to, Each&& each) const {
    const size_t first = static_cast<size_t>(std::lower_bound(reach_.begin(), reach_.end(), from) - reach_.begin());
    for (size_t i = first; i < spans_.size() && spans_[i].start <= to; ++i) {
        const Span& s = spans_[i];
        if (s.start >= from) each(s.start, s.startAmDay);
        if (s.end >= from && s.end <= to) each(s.end, s.endAmDay);
    }
}

std::optional<int32_t> DateLine::FirstAmDayWithin(OrbitTime from, OrbitTime to) const {
    if (const auto day = AmDayAt(from)) return day;
    std::optional<std::pair<OrbitTime, int32_t>> first;
    ForEachEndWithin(from, to, [&](OrbitTime t, int32_t day) {
        if (!first || t < first->first) first = {t, day};
    });
    if (!first) return std::nullopt;
    return first->second;
}

std::optional<int32_t> DateLine::LastAmDayWithin(OrbitTime from, OrbitTime to) const {
    if (const auto day = AmDayAt(to)) return day;
    std::optional<std::pair<OrbitTime, int32_t>> last;
    ForEachEndWithin(from, to, [&](OrbitTime t, int32_t day) {
        if (!last || t >= last->first) last = {t, day};
    });
    if (!last) return std::nullopt;
    return last->second;
}

std::string AmDayText(int32_t amDay) { return DayCountToDateText(WrapAdd(amDay, kAmDayOffset)); }

}  // namespace kelvarox::timeline
