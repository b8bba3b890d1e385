#pragma once
// Calendar dates of the proleptic Gregorian calendar as AmDays (days counted from 1978
// January 1, AmDay 0), for the dates a satellite file and orbital elements carry. Within 1901
// to 2099 the AmDay calendar's date texts name the same days.
#include <cstdint>
#include <string>

namespace kelvarox {

struct CivilDate {
    int32_t year = 1978;
    int32_t month = 1;  // 1 to 12
    int32_t day = 1;    // 1 to 31
};

// Whether year, month and day name a day of the calendar.
bool IsValidDate(const CivilDate& date);

// The AmDay of a date; negative before 1978.
int64_t AmDayOfDate(const CivilDate& date);

// The date of an AmDay.
CivilDate DateOfAmDay(int64_t amDay);

// An AmDay as an ISO 8601 date: "2001-12-25".
std::string IsoDateText(int64_t amDay);

}  // namespace kelvarox
