#include <gtest/gtest.h>

#include "core/AmDayCalendar.h"

using namespace kelvarox;

namespace {
std::string AmDay(int32_t amDay) { return DayCountToDateText(amDay + kAmDayOffset); }
}  // namespace

TEST(AmDayCalendar, DateTextsOfAmDays) {
    EXPECT_EQ(AmDay(0), "1978  Jan  01 [Sun]");
    EXPECT_EQ(AmDay(1), "1978  Jan  02 [Mon]");
    EXPECT_EQ(AmDay(58), "1978  Feb  28 [Tue]");
    EXPECT_EQ(AmDay(59), "1978  Mar  01 [Wed]");
    EXPECT_EQ(AmDay(789), "1980  Feb  29 [Fri]");
    EXPECT_EQ(AmDay(8094), "2000  Feb  29 [Tue]");
    EXPECT_EQ(AmDay(8034), "1999  Dec  31 [Fri]");
    EXPECT_EQ(AmDay(8035), "2000  Jan  01 [Sat]");
    EXPECT_EQ(AmDay(8766), "2002  Jan  01 [Tue]");
    EXPECT_EQ(AmDay(9999), "2005  May  18 [Wed]");
    EXPECT_EQ(AmDay(44618), "2100  Feb  28 [Sun]");
    EXPECT_EQ(AmDay(44619), "2100  Feb  29 [Mon]");
    EXPECT_EQ(AmDay(44620), "2100  Mar  01 [Tue]");
    EXPECT_EQ(AmDay(-28430), "1900  Mar  01 [Thu]");
    EXPECT_EQ(DayCountToDateText(1), "1  Jan  01 [Sun]");
}

TEST(AmDayCalendar, EveryDayOfTwoCenturiesFollowsTheCivilCalendar) {
    // Walk day by day from 1900 March 1 and compare with a calendar kept by hand.
    static const int kDaysIn[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    static const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    static const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    int year = 1900, month = 3, day = 1, weekday = 4;  // a Thursday
    for (int32_t amDay = -28430; amDay <= 44618; ++amDay) {
        char expected[40];
        std::snprintf(expected, sizeof expected, "%d  %s  %02d [%s]", year, kMonths[month - 1], day, kDays[weekday]);
        ASSERT_EQ(AmDay(amDay), expected) << "AmDay " << amDay;
        const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
        const int length = month == 2 && leap ? 29 : kDaysIn[month - 1];
        weekday = (weekday + 1) % 7;
        if (++day > length) {
            day = 1;
            if (++month > 12) {
                month = 1;
                ++year;
            }
        }
    }
}
