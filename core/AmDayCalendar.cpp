#include "core/AmDayCalendar.h"

#include <cmath>

namespace kelvarox {

std::string DayCountToDateText(int32_t dayCount) {
    static constexpr char kMonths[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
    static constexpr char kWeekdays[] = "SunMonTueWedThuFriSat";

    const int64_t n = dayCount;
    int64_t weekday = static_cast<int64_t>(std::trunc(std::fmod(static_cast<double>(n + 433), 7.0)));
    const int64_t x = n + 428;
    int64_t year = static_cast<int64_t>(std::trunc((static_cast<double>(x) - 122.1) / 365.25));
    const int64_t z = static_cast<int64_t>(
        std::trunc(static_cast<double>(x) - std::floor(static_cast<double>(year) * 365.25)));
    int64_t month = static_cast<int64_t>(std::trunc(static_cast<double>(z) / 30.61));
    const int64_t day = static_cast<int64_t>(
        std::trunc(static_cast<double>(z) - std::floor(static_cast<double>(month) * 30.6)));
    month -= 1;
    if (month > 12) {
        month -= 12;
        year += 1;
    }

    // Day counts below 1 lie outside the calendar; keep the names inside their tables.
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
