#pragma once
// The calendar axis: the time line's marks at round times of day, from the satellite's orbital
// elements, instead of at round orbits. An orbit and its time convert both ways through the
// element set nearest the view.
#include <optional>

#include "core/SatelliteDefinition.h"
#include "timeline/TimeLinePicture.h"

namespace kelvarox::timeline {

// The element set nearest `orbit`: the one whose epoch lies at the nearest orbit.
const ElementSet* ElementsNearOrbit(const SatelliteDefinition& satellite, OrbitTime orbit);

// A time (AmDays with the time of day as fraction) and the orbit it falls in, by one element set.
double TimeOfOrbit(const ElementSet& elements, OrbitTime orbit);
OrbitTime OrbitOfTime(const ElementSet& elements, double amDayTime);

// The axis of `view` over plots `width` pixels wide with its marks at the smallest round step
// of time (10, 30 seconds, 1, 5, 10, 30 minutes, 1, 3, 6, 12 hours, 1, 2, 7, 14 days, 1, 3,
// 6 months, then years) that keeps them kMarkSpacing apart. A mark reads as the time of day
// ("13:30", "13:30:10" for steps of seconds) with a date under each day's first, as the date
// for steps of days and months, as the year for steps of years; the ends give the date and time
// of the view's first and last pixel ("2001-12-25 13:04"). None without elements.
std::optional<AxisPicture> ComposeCalendarAxis(const TimeRange& view, const SatelliteDefinition& satellite, int width);

}  // namespace kelvarox::timeline
