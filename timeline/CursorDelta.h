#pragma once
// The measure between the time line's two cursors: the cursor that follows the mouse and the
// second one a Shift-click leaves. Every difference runs from the second cursor to the cursor
// (the cursor's minus the second's): in orbits and MA, in time by the orbital elements, and in
// the value of each channel's samples nearest to them.
#include <cstdint>
#include <optional>
#include <string>

#include "timeline/ChannelTrace.h"

namespace kelvarox::timeline {

// A span of the orbit axis in whole MA, as orbits and the MA left over.
struct OrbitDelta {
    bool negative = false;
    int64_t orbits = 0;
    int32_t ma = 0;  // 0 to 255
    bool operator==(const OrbitDelta&) const = default;
};
// From `from` to `to`, each taken at the orbit and MA the read-out gives it.
OrbitDelta OrbitsBetween(OrbitTime from, OrbitTime to);

// "+1 orbit 12 MA", "-0 orbits 132 MA".
std::string OrbitDeltaText(const OrbitDelta& delta);
// A span of days, to the millisecond: "+00:41:02.125", "-3 d 02:00:00.000".
std::string TimeDeltaText(double days);
// `to` minus `from` in the fewest digits the two 32-bit floats tell: "+2.25", "+0.2" for 0.3 - 0.1.
std::string ValueDeltaText(float from, float to);

// The window's measure: "Difference +0 orbits 132 MA", with the time between the cursors'
// calendar times (AmDays) when the elements give both.
std::string CursorDeltaText(OrbitTime second, OrbitTime cursor, std::optional<double> secondTime,
                            std::optional<double> cursorTime);
// A channel's: the sample nearest the second cursor and the difference to the one nearest the
// cursor: "second 15.25 at 17/4 in b.dat, difference -2.25".
std::string SampleDeltaText(const ChannelTrace& trace, const SampleAt& second, const SampleAt& cursor);

}  // namespace kelvarox::timeline
