#pragma once
// The ends of a view as the user types them into the time line's From and To boxes, and the
// texts that show a view's ends there. An end is an orbit ("1234"), an orbit and MA
// ("1234/128") or a date ("2001-12-25"); with the satellite's orbital elements a date may carry
// a time of day ("2001-12-25 13:45", "2001-12-25T13:45:10", UTC).
//
// An orbit in To reaches to that orbit's end, so that From 1234 To 1234 shows orbit 1234 whole.
// A date without elements maps through the blocks' dates: From is the start of the first orbit
// they date on that day, To the end of the last. With elements a date alone is 00:00 of that
// day in From and 24:00 in To.
#include <optional>
#include <string>
#include <string_view>

#include "core/SatelliteDefinition.h"
#include "timeline/DateLine.h"
#include "timeline/TimeRange.h"

namespace kelvarox::timeline {

enum class RangeEnd { From, To };
enum class EndForm { Orbit, Date };

// An end read from its text: its time and the form it was typed in, or why it does not read.
struct TypedEnd {
    std::optional<OrbitTime> time;
    EndForm form = EndForm::Orbit;
    std::string problem;
};
// `satellite` may be none: then dates map through the blocks alone.
TypedEnd ReadRangeEnd(std::string_view text, RangeEnd end, const DateLine& dates, const SatelliteDefinition* satellite);

// Both ends: the view, or the problem of each box (empty where it reads). From must lie before
// To.
struct TypedRange {
    std::optional<TimeRange> view;
    TypedEnd from;
    TypedEnd to;
};
TypedRange ReadTypedRange(std::string_view from, std::string_view to, const DateLine& dates,
                          const SatelliteDefinition* satellite);

// The text of an end of `view` in `form`, such that it reads back as a view that holds this
// one: From rounded down, To up, to the MA or the second. In the date form without elements,
// the first or the last day the blocks tell within the view; the orbit form where they tell none.
std::string ViewEndText(const TimeRange& view, RangeEnd end, EndForm form, const DateLine& dates,
                        const SatelliteDefinition* satellite);

}  // namespace kelvarox::timeline
