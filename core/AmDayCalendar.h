#pragma once
// The AmDay calendar: AmDay 0 is 1978 January 1.
#include <cstdint>
#include <string>

namespace kelvarox {

// Day count of AmDay 0. A caller holding an AmDay passes AmDay + kAmDayOffset.
inline constexpr int32_t kAmDayOffset = 722100;

// The date text of a calendar day count (day 1 is January 1 of year 1, every fourth year a
// leap year), for example "1978  Jan  01 [Sun]". Defined for day counts of 1 and above.
std::string DayCountToDateText(int32_t dayCount);

}  // namespace kelvarox
