#include "core/AmDayCalendar.h"

namespace kelvarox {

namespace {

// a / b rounded toward minus infinity, for b > 0.
constexpr int64_t FloorDiv(int64_t a, int64_t b) { return a / b - (a % b < 0 ? 1 : 0); }

}  // namespace

// The calendar counts in years that begin on March 1, so that the leap day is the last day of
// its year: 1461 days in four years, and within a year the months from March on in a fixed
// pattern of 153 days in five months. Everything is whole-number arithmetic in 64 bits; the
// ranges below hold for the defined day counts, 1 to 2^31 - 1.
//
// The constants are those of the calendar's decimal formulas, made exact: a year of 365.25
// days from an offset of 122.1 is 20x / 7305 from 2442 / 7305, a month of 30.61 days for the
// month number is 100z / 3061, and one of 30.6 days for the month's start is 306m / 10. No
// quotient of the first two lands on a whole number, so truncating the exact fractions gives
// what the decimal formulas give.
std::string DayCountToDateText(int32_t dayCount) {
    static constexpr char kMonths[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
    static constexpr char kWeekdays[] = "SunMonTueWedThuFriSat";

    const int64_t n = dayCount;
    // Weekday, 0 for Sunday: day count 1 was a Sunday. In [0, 6].
    int64_t weekday = (n + 433) % 7;
    // Day count shifted so that the years fall on whole multiples. In [429, 2147484075].
    const int64_t x = n + 428;
    // Year that begins on March 1. In [0, 5879490].
    int64_t year = (20 * x - 2442) / 7305;
    // Day within that year, counted from 123 on March 1. In [123, 488]; 1461 * year stays
    // below 8.6e9.
    const int64_t z = x - FloorDiv(1461 * year, 4);
    // Month, 4 for March up to 15 for the next February. In [4, 15].
    int64_t month = (100 * z) / 3061;
    // Day of the month. In [1, 31].
    const int64_t day = z - FloorDiv(306 * month, 10);
    // January and February belong to the next calendar year. month in [1, 12].
    month -= 1;
    if (month > 12) {
        month -= 12;
        year += 1;
    }

    // Day counts below 1 lie outside the calendar; the same arithmetic gives them a text all
    // the same, the names kept inside their tables.
    if (weekday < 0) weekday += 7;
    if (month < 1 || month > 12) month = 1;

    std::string text = std::to_string(year);
    text += "  ";
    text.append(kMonths + 3 * (month - 1), 3);
    text += "  ";
    if (day < 10 && day >= 0) text += '0';
    text += std::to_string(day);
    text += " [";
    text.append(kWeekdays + 3 * weekday, 3);
    text += ']';
    return text;
}

}  // namespace kelvarox
