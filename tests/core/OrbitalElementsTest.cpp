#include "core/OrbitalElements.h"

#include <gtest/gtest.h>

#include "core/AmDayCalendar.h"
#include "core/CivilDate.h"

namespace kelvarox {
namespace {

// Epoch 2001 day 359.5 (December 25, 12:00 UTC), mean anomaly 90 degrees, 14 revolutions a
// day, revolution 25000.
constexpr const char* kLine1 = "1 24278U 96046B   01359.50000000  .00000023  00000-0  10000-4 0  9991";
constexpr const char* kLine2 = "2 24278  98.5000 123.4567 0011000  45.0000  90.0000 14.00000000250007";

TEST(OrbitalElements, TimesOfSamplesAgainstHandComputedValues) {
    const ElementParse parse = ParseElementLines(kLine1, kLine2);
    ASSERT_TRUE(parse.elements) << parse.fault.message;
    ElementSet e = *parse.elements;
    // Orbit 25000 MA 0 lies a quarter revolution before the epoch: 12:00 - 0.25 / 14 days.
    EXPECT_EQ(UtcText(SampleAmDayTime(e, 25000, 0)), "2001-12-25T11:34:17.143Z");
    // Orbit 25001 MA 64 is one whole revolution after it: 12:00 + 1/14 day.
    EXPECT_EQ(UtcText(SampleAmDayTime(e, 25001, 64)), "2001-12-25T13:42:51.429Z");
    // Fourteen revolutions on is the same time a day later; an offset of 3 orbits moves it back.
    EXPECT_EQ(UtcText(SampleAmDayTime(e, 25015, 64)), "2001-12-26T13:42:51.429Z");
    e.orbitOffset = 3;
    EXPECT_EQ(UtcText(SampleAmDayTime(e, 25004, 64)), "2001-12-25T13:42:51.429Z");
    // Years 57 to 99 are the 1900s.
    std::string old1 = std::string(kLine1).replace(18, 2, "97");
    old1[68] = static_cast<char>('0' + ElementChecksum(old1));
    EXPECT_EQ(UtcText(ParseElementLines(old1, kLine2).elements->epochAmDay), "1997-12-25T12:00:00.000Z");
}

TEST(OrbitalElements, FaultsNameTheLineAndColumn) {
    std::string badSum = kLine2;
    badSum[68] = '8';
    std::string badMotion = kLine2;
    badMotion.replace(52, 3, "1x.");
    badMotion[68] = static_cast<char>('0' + ElementChecksum(badMotion));
    const struct {
        std::string line1, line2;
        int line, column;
        std::string message;
    } cases[] = {
        {kLine1, badSum, 2, 69, "the checksum of line 2 is wrong: it should be 7"},
        {std::string(kLine1).substr(0, 68), kLine2, 1, 1, "line 1 has 68 characters, not 69"},
        {kLine2, kLine2, 1, 1, "line 1 must begin with 1"},
        {kLine1, badMotion, 2, 53, "the mean motion \"1x.00000000\" is no number"},
    };
    for (const auto& c : cases) {
        const ElementParse p = ParseElementLines(c.line1, c.line2);
        EXPECT_FALSE(p.elements);
        EXPECT_EQ(p.fault.line, c.line);
        EXPECT_EQ(p.fault.column, c.column);
        EXPECT_EQ(p.fault.message, c.message);
    }
}

TEST(CivilDate, NamesTheSameDaysAsTheAmDayCalendar) {
    // Every day from 1901 to 2099: the AmDay of a date, and back, and the calendar's text.
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int64_t amDay = AmDayOfDate({1901, 1, 1}); amDay <= AmDayOfDate({2099, 12, 31}); ++amDay) {
        const CivilDate d = DateOfAmDay(amDay);
        ASSERT_TRUE(IsValidDate(d));
        ASSERT_EQ(AmDayOfDate(d), amDay);
        char text[16];
        std::snprintf(text, sizeof text, "%d  %s  %02d", d.year, kMonths[d.month - 1], d.day);
        ASSERT_EQ(DayCountToDateText(static_cast<int32_t>(amDay + kAmDayOffset)).substr(0, 13), text);
    }
    EXPECT_EQ(AmDayOfDate({1978, 1, 1}), 0);
    EXPECT_FALSE(IsValidDate({2001, 2, 29}));
    EXPECT_TRUE(IsValidDate({2000, 2, 29}));
}

}  // namespace
}  // namespace kelvarox
