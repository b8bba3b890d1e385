#include "core/CivilDate.h"

#include <cstdio>

namespace kelvarox {

namespace {

constexpr int64_t FloorDiv(int64_t a, int64_t b) { return a / b - (a % b < 0 ? 1 : 0); }

constexpr bool IsLeapYear(int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

// Days from 1970 January 1 to the date: years counted from March 1, so that the leap day ends
// its year; eras of 400 years of 146097 days.
constexpr int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2 ? 1 : 0;
    const int64_t era = FloorDiv(y, 400);
    const int64_t yearOfEra = y - era * 400;                                   // [0, 399]
    const int64_t dayOfYear = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;  // [0, 365]
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

constexpr int64_t kAmDayZero = DaysFromCivil(1978, 1, 1);

}  // namespace

bool IsValidDate(const CivilDate& date) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (date.month < 1 || date.month > 12 || date.day < 1) return false;
    const int last = kDays[date.month - 1] + (date.month == 2 && IsLeapYear(date.year) ? 1 : 0);
    return date.day <= last;
}

int64_t AmDayOfDate(const CivilDate& date) { return DaysFromCivil(date.year, date.month, date.day) - kAmDayZero; }

CivilDate DateOfAmDay(int64_t amDay) {
    const int64_t z = amDay + kAmDayZero + 719468;
    const int64_t era = FloorDiv(z, 146097);
    const int64_t dayOfEra = z - era * 146097;                                                            // [0, 146096]
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;  // [0, 399]
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);             // [0, 365]
    const int64_t mp = (5 * dayOfYear + 2) / 153;                                                         // [0, 11]
    const int64_t day = dayOfYear - (153 * mp + 2) / 5 + 1;
    const int64_t month = mp < 10 ? mp + 3 : mp - 9;
    const int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    return {static_cast<int32_t>(year), static_cast<int32_t>(month), static_cast<int32_t>(day)};
}

std::string IsoDateText(int64_t amDay) {
    const CivilDate d = DateOfAmDay(amDay);
    char text[24];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", d.year, d.month, d.day);
    return text;
}

}  // namespace kelvarox
