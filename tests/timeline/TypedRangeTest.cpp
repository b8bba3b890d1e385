#include "timeline/TypedRange.h"

#include <gtest/gtest.h>

#include "ExampleElements.h"
#include "timeline/TimeLinePicture.h"

namespace kelvarox::timeline {
namespace {

// 2002-01-01 (AmDay 8766) from orbit 300, over midnight in the block 305 to 306.5, 2002-01-02
// to orbit 309; nothing on 2002-01-03; 2002-01-04 from orbit 320.
DateLine Dates() {
    DateLine dates;
    dates.AddBlock(300, 301, 8766, 8766);
    dates.AddBlock(302, 304, 8766, 8766);
    dates.AddBlock(305, 306.5, 8766, 8767);
    dates.AddBlock(307, 309, 8767, 8767);
    dates.AddBlock(320, 321, 8769, 8769);
    dates.Finish();
    return dates;
}

TEST(TypedRange, ReadsOrbitsOrbitsAndMAAndDates) {
    const DateLine dates = Dates();
    const SatelliteDefinition satellite = ExampleSatellite();
    const std::string forms = "Type an orbit (1234), an orbit and MA (1234/128) or a date (2001-12-25)";
    struct Case {
        std::string text;
        RangeEnd end;
        bool elements;
        std::optional<OrbitTime> time;
        std::string problem;
    };
    const RangeEnd from = RangeEnd::From, to = RangeEnd::To;
    const std::vector<Case> cases = {
        {"1234", from, false, 1234, ""},
        {"1234", to, false, 1235, ""},  // to the orbit's end
        {" 1234/128 ", from, false, 1234.5, ""},
        {"1234/128", to, false, 1234.5, ""},
        {"-3/64", from, false, -2.75, ""},
        {"2002-01-01", from, false, 300, ""},  // the first orbit the blocks date on that day
        {"2002-01-01", to, false, 306, ""},    // the end of the last: the block over midnight starts on it
        {"2002-01-02", from, false, 306, ""},
        {"2002-01-02", to, false, 310, ""},
        {"2002-01-01", from, true, 60, ""},
        {"2002-01-01", to, true, 76, ""},
        {"2002-01-01 13:30", from, true, 69, ""},
        {"2002-01-01T13:30:00", to, true, 69, ""},
        {"2002-01-03", from, false, {}, "No block is dated 2002-01-03"},
        {"2002-01-01 13:30", from, false, {}, "A time of day needs the orbital elements of a satellite file"},
        {"2002-02-30", from, true, {}, "2002-02-30 is no date"},
        {"2002-01-01 24:00", from, true, {}, "24:00 is no time of day"},
        {"1234/256", from, false, {}, "The MA runs from 0 to 255"},
        {"99999999999999", from, false, {}, "Orbit 99999999999999 lies beyond the time line"},
        {"", from, false, {}, forms},
        {"12a", from, false, {}, forms},
        {"1234/", from, false, {}, forms},
        {"2002-1-01x", from, false, {}, forms},
        {"2002-01-01 13", from, true, {}, forms},
        {"2002-01-01 13:30:00Z", from, true, {}, forms},
    };
    for (const Case& k : cases) {
        const TypedEnd read = ReadRangeEnd(k.text, k.end, dates, k.elements ? &satellite : nullptr);
        EXPECT_EQ(read.time, k.time) << k.text;
        EXPECT_EQ(read.problem, k.problem) << k.text;
        if (read.time) {
            EXPECT_EQ(read.form, k.text.starts_with("2002") ? EndForm::Date : EndForm::Orbit) << k.text;
        }
    }

    const TypedRange range = ReadTypedRange("300", "2002-01-02", dates, nullptr);
    EXPECT_EQ(range.view, (TimeRange{300, 310}));
    EXPECT_EQ(range.to.form, EndForm::Date);
    const TypedRange reversed = ReadTypedRange("310", "2002-01-01", dates, nullptr);
    EXPECT_FALSE(reversed.view);
    EXPECT_EQ(reversed.from.problem, "From must lie before To");
    EXPECT_EQ(reversed.to.problem, "From must lie before To");
    EXPECT_FALSE(ReadTypedRange("300", "x", dates, nullptr).view);
}

TEST(TypedRange, TheTextsOfAViewsEndsReadBack) {
    const DateLine dates = Dates();
    const SatelliteDefinition satellite = ExampleSatellite();
    struct Case {
        TimeRange view;
        EndForm form;
        bool elements;
        std::string from, to;
    };
    const std::vector<Case> cases = {
        {{300.5, 305.25}, EndForm::Orbit, false, "300/128", "305/64"},
        {{300, 306}, EndForm::Orbit, false, "300", "305"},
        {{300.001, 305.999}, EndForm::Orbit, false, "300", "305"},
        {{-2.75, -1}, EndForm::Orbit, false, "-3/64", "-2"},
        {{299, 330}, EndForm::Date, false, "2002-01-01", "2002-01-04"},
        {{311, 315}, EndForm::Date, false, "311", "314"},  // no block tells a date
        {{60, 69}, EndForm::Date, true, "2002-01-01", "2002-01-01 13:30:00"},
        {{61, 76}, EndForm::Date, true, "2002-01-01 01:30:00", "2002-01-01"},
    };
    for (const Case& k : cases) {
        const SatelliteDefinition* s = k.elements ? &satellite : nullptr;
        const std::string from = ViewEndText(k.view, RangeEnd::From, k.form, dates, s);
        const std::string to = ViewEndText(k.view, RangeEnd::To, k.form, dates, s);
        EXPECT_EQ(from, k.from) << k.view.left;
        EXPECT_EQ(to, k.to) << k.view.left;
        const TypedRange back = ReadTypedRange(from, to, dates, s);
        ASSERT_TRUE(back.view) << from << " " << to;
        if (k.form == EndForm::Date && !k.elements) continue;  // the days of the blocks, not the view
        EXPECT_LE(back.view->left, k.view.left) << from;
        EXPECT_GE(back.view->right, k.view.right) << to;
    }
}

TEST(DayStarts, DatesStandWhereTheBlocksTellADayBeganAndWhereTheyHaveRoom) {
    const DateLine dates = Dates();
    EXPECT_EQ(dates.TimesOfDay(8767)->first, 306.5);
    EXPECT_EQ(dates.TimesOfDay(8767)->last, 309);
    EXPECT_FALSE(dates.TimesOfDay(8768));

    // 10 pixels an orbit: each day where its first block end lies; none for the day no block tells.
    EXPECT_EQ(DayStartMarks({299, 330}, 310, dates),
              (std::vector<DayStartMark>{
                  {10, "2002  Jan  01 [Tue]"}, {75, "2002  Jan  02 [Wed]"}, {210, "2002  Jan  04 [Fri]"}}));
    // One pixel an orbit: the days closer than a date's width to the one before are left out.
    EXPECT_EQ(DayStartMarks({299, 330}, 31, dates).size(), 1u);
    EXPECT_TRUE(DayStartMarks({310, 319}, 300, dates).empty());

    // The axis: the first date at its left end is not repeated, the marks carry no dates of their own.
    const AxisPicture axis = ComposeAxis({299, 330}, dates, 310 + layout::kValueAxisWidth + layout::kRightMargin);
    EXPECT_EQ(axis.firstDate, "2002  Jan  01 [Tue]");
    EXPECT_EQ(axis.lastDate, "2002  Jan  04 [Fri]");
    ASSERT_EQ(axis.dayStarts.size(), 2u);
    EXPECT_EQ(axis.dayStarts[0].x, 75 + layout::kValueAxisWidth);
    for (const TimeMark& mark : axis.marks) EXPECT_EQ(mark.dateText, "");

    // Labels in order of precedence: the ends first, then each that keeps 8 pixels from those
    // taken and lies within the axis.
    const std::vector<LabelSpan> labels = {{0, 100}, {200, 100}, {105, 50}, {108, 50}, {150, 40}, {280, 40}, {-1, 5}};
    EXPECT_EQ(LabelsWithRoom(labels, 300, 8), (std::vector<size_t>{0, 1, 3}));
}

}  // namespace
}  // namespace kelvarox::timeline
