#pragma once
// Two-line orbital elements, and the calendar time of a sample that they give.
//
// The blocks carry dates but no time of day. With the elements of the satellite, a sample at
// absolute orbit o and mean anomaly m (256ths of an orbit) took place at
//     t = T0 + ((o - orbitOffset) + m/256 - (R0 + M0/360)) / n   days
// with the epoch T0, the mean anomaly M0 in degrees, the mean motion n in revolutions a day
// and the revolution number R0 at the epoch.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelvarox {

inline constexpr size_t kElementLineLength = 69;

struct ElementSet {
    double epochAmDay = 0;    // T0: AmDays with the time of day as fraction (AmDay 0.0 is 1978 Jan 1 00:00 UTC)
    double meanAnomaly = 0;   // M0, degrees
    double meanMotion = 0;    // n, revolutions a day
    int64_t revolution = 0;   // R0
    int64_t orbitOffset = 0;  // the satellite's orbit number minus the elements' revolution number
};

// Why a line of elements was refused, and the column (1-based) where the fault lies.
struct ElementFault {
    int line = 1;  // 1 or 2
    int column = 1;
    std::string message;
};

// Reads the fields of a two-line element set. A line must be 69 characters long, begin with
// its line number, and end in its checksum: the sum of its digits, a minus sign counting 1,
// modulo 10. Returns the set, or the first fault.
struct ElementParse {
    std::optional<ElementSet> elements;
    ElementFault fault;
};
ElementParse ParseElementLines(std::string_view line1, std::string_view line2);

// The checksum digit of the first 68 characters of a line.
int ElementChecksum(std::string_view line);

// The time of a sample, in AmDays with the time of day as fraction.
double SampleAmDayTime(const ElementSet& elements, int64_t orbit, double ma);

// A time in AmDays as ISO 8601 UTC with milliseconds: "2001-12-25T13:04:05.123Z".
std::string UtcText(double amDayTime);

}  // namespace kelvarox
