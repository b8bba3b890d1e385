#pragma once
// The days of the orbit axis, as far as the archive's blocks tell them: each block gives the
// AmDays of its first and last sample.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "timeline/TimeRange.h"

namespace kelvarox::timeline {

class DateLine {
public:
    // The blocks in any order, then Finish.
    void AddBlock(OrbitTime start, OrbitTime end, int32_t startAmDay, int32_t endAmDay);
    void Finish();
    bool Empty() const { return spans_.empty(); }

    // The AmDay at `time` when the blocks decide it: a block of one day that holds the time, or
    // the blocks just before and just after it ending and starting on the same day. Nothing
    // where a block that holds it spans two days or the blocks around it differ.
    std::optional<int32_t> AmDayAt(OrbitTime time) const;

    // The first and the last day within [from, to]: the days at its ends when the blocks decide
    // them, else the earliest and the latest day a block starts or ends on within it. Nothing
    // where no block tells a day within it.
    std::optional<int32_t> FirstAmDayWithin(OrbitTime from, OrbitTime to) const;
    std::optional<int32_t> LastAmDayWithin(OrbitTime from, OrbitTime to) const;

    // The first and the last time a block dates on `amDay`: the earliest and the latest block
    // end (start or end) of that day. Nothing when no block tells that day.
    struct DayTimes {
        int32_t amDay = 0;
        OrbitTime first = 0;
        OrbitTime last = 0;
    };
    std::optional<DayTimes> TimesOfDay(int32_t amDay) const;
    // The days whose first time lies within [from, to], by that time: where the blocks tell that
    // a new day has begun.
    std::vector<DayTimes> DaysBeginningWithin(OrbitTime from, OrbitTime to) const;

private:
    // The ends of blocks within [from, to] with their days, as each(time, amDay).
    template <class Each>
    void ForEachEndWithin(OrbitTime from, OrbitTime to, Each&& each) const;

    struct Span {
        OrbitTime start, end;
        int32_t startAmDay, endAmDay;
    };
    std::vector<Span> spans_;       // by start
    std::vector<OrbitTime> reach_;  // the latest end up to each span
    std::vector<size_t> reachSpan_;
    std::vector<DayTimes> days_;  // by first time
};

// The date text of an AmDay, as the block graph writes it: "2002  Jan  01 [Tue]".
std::string AmDayText(int32_t amDay);

}  // namespace kelvarox::timeline
