#include "timeline/CalendarAxis.h"

#include <gtest/gtest.h>

#include "ExampleElements.h"

namespace kelvarox::timeline {
namespace {

TEST(CalendarAxis, MarksAtRoundTimesOfDayFromTheElements) {
    // 1.5 orbits are 2 h 15 min.
    const ElementSet elements = ExampleElements();
    const SatelliteDefinition satellite = ExampleSatellite();
    EXPECT_DOUBLE_EQ(OrbitOfTime(elements, TimeOfOrbit(elements, 61.25)), 61.25);
    // 540 pixels for 135 minutes: half-hour marks, 120 pixels apart.
    const auto axis = ComposeCalendarAxis({60, 61.5}, satellite, 540 + layout::kValueAxisWidth + layout::kRightMargin);
    ASSERT_TRUE(axis);
    EXPECT_EQ(axis->firstDate, "2002-01-01 00:00");
    EXPECT_EQ(axis->lastDate, "2002-01-01 02:15");
    std::vector<std::tuple<int32_t, std::string, std::string>> marks;
    for (const TimeMark& m : axis->marks) marks.emplace_back(m.x - layout::kValueAxisWidth, m.orbitText, m.dateText);
    const std::vector<std::tuple<int32_t, std::string, std::string>> expected = {
        {0, "00:00", "2002-01-01"}, {120, "00:30", ""}, {240, "01:00", ""}, {360, "01:30", ""}, {480, "02:00", ""}};
    EXPECT_EQ(marks, expected);
    EXPECT_FALSE(ComposeCalendarAxis({60, 61.5}, SatelliteDefinition(), 600));
    // Ends to the second: 0.4 s before midnight (orbit 76) is midnight of the next day.
    const double end = 76 - 0.4 * 16 / 86400;
    const auto seconds = ComposeCalendarAxis({end - 16.0 * 1.5 / 1440, end}, satellite, 1000);
    ASSERT_TRUE(seconds);
    EXPECT_EQ(seconds->firstDate, "2002-01-01 23:58:30");
    EXPECT_EQ(seconds->lastDate, "2002-01-02 00:00:00");
}

TEST(CalendarAxis, MarksReadWellFromAMinuteToThirtyYears) {
    // Views from 2002-01-01 00:09 over 1000 pixels.
    const SatelliteDefinition satellite = ExampleSatellite();
    const int width = 1000 + layout::kValueAxisWidth + layout::kRightMargin;
    const double minute = 16.0 / 1440;
    // The span in orbits, the first mark and the view's first end.
    const std::vector<std::tuple<double, std::string, std::string>> cases = {
        {1.5 * minute, "00:09:00", "2002-01-01 00:09:00"}, {10 * minute, "00:09", "2002-01-01 00:09"},
        {60 * minute, "00:10", "2002-01-01 00:09"},        {16.0, "03:00", "2002-01-01 00:09"},
        {7 * 16.0, "2002-01-02", "2002-01-01 00:09"},      {31 * 16.0, "2002-01-06", "2002-01-01 00:09"},
        {365 * 16.0, "2002-04-01", "2002-01-01 00:09"},    {30 * 365.25 * 16, "2003", "2002-01-01 00:09"},
    };
    for (const auto& [span, firstMark, firstDate] : cases) {
        SCOPED_TRACE(firstMark);
        const auto axis = ComposeCalendarAxis({60.1, 60.1 + span}, satellite, width);
        ASSERT_TRUE(axis);
        ASSERT_GE(axis->marks.size(), 4u);
        EXPECT_EQ(axis->marks[0].orbitText, firstMark);
        EXPECT_EQ(axis->firstDate, firstDate);
        for (size_t k = 1; k < axis->marks.size(); ++k) {
            EXPECT_GE(axis->marks[k].x - axis->marks[k - 1].x, kMarkSpacing - 1);
            EXPECT_NE(axis->marks[k].orbitText, axis->marks[k - 1].orbitText);
        }
    }
}

}  // namespace
}  // namespace kelvarox::timeline
