#include "timeline/CalendarAxis.h"

#include <gtest/gtest.h>

namespace kelvarox::timeline {
namespace {

TEST(CalendarAxis, MarksAtRoundTimesOfDayFromTheElements) {
    // Epoch 2002-01-01 00:00 UTC at orbit 60, 16 orbits a day: 1.5 orbits are 2 h 15 min.
    ElementSet elements;
    elements.epochAmDay = 8766;
    elements.revolution = 60;
    elements.meanMotion = 16;
    const SatelliteDefinition satellite("Example-1", {}, {elements});
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
}

}  // namespace
}  // namespace kelvarox::timeline
