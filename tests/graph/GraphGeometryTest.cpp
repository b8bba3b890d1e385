#include <gtest/gtest.h>

#include <cmath>

#include "ErrorOf.h"
#include "GraphFixtures.h"
#include "core/Errors.h"
#include "core/GraphGeometry.h"
#include "core/GraphPicture.h"
#include "core/GraphReadout.h"

using namespace kelvarox;
using namespace kelvarox::testing;

namespace {

std::vector<std::string> Described(const std::vector<DrawStep>& steps) {
    std::vector<std::string> lines;
    for (const auto& s : steps) lines.push_back(DescribeStep(s));
    return lines;
}

// The steps of one kind, described.
std::vector<std::string> OfKind(const std::vector<DrawStep>& steps, DrawStep::Kind kind) {
    std::vector<std::string> lines;
    for (const auto& s : steps)
        if (s.kind == kind) lines.push_back(DescribeStep(s));
    return lines;
}

// The steps after the black pen is taken: the trace and the show.
std::vector<std::string> TraceSteps(const std::vector<DrawStep>& steps) {
    std::vector<std::string> lines;
    bool black = false;
    for (const auto& s : steps) {
        if (s.kind == DrawStep::Kind::PenColor)
            black = s.color == kBlack;
        else if (black && s.kind != DrawStep::Kind::PenWidth)
            lines.push_back(DescribeStep(s));
    }
    return lines;
}

GraphPicture Graph(BlockState& state, const ChannelBoxTexts& boxes = IdentityBoxes()) {
    auto picture = BuildGraphPicture(state, boxes);
    if (!picture) throw std::runtime_error("no picture");
    return *picture;
}

}  // namespace

TEST(GraphGeometry, PlotXSpreadsSamplesOverThePlotWidth) {
    EXPECT_EQ(PlotX(0, 3), 55);
    EXPECT_EQ(PlotX(1, 3), 261);
    EXPECT_EQ(PlotX(2, 3), 468);
    EXPECT_EQ(PlotX(3, 3), 675);
    EXPECT_EQ(PlotX(1, 62), 65);
    // One sample starts at the left end instead of dividing by zero.
    EXPECT_EQ(PlotX(0, 0), 55);
    // A header that announces more samples than a block holds is cut to 384.
    BlockHeader h;
    h.lastSampleIndex = 1000;
    EXPECT_EQ(LastPlottedIndex(h), 383);
    EXPECT_EQ(PlotX(383, LastPlottedIndex(h)), 675);
    h.lastSampleIndex = -5;
    EXPECT_EQ(LastPlottedIndex(h), -1);
}

TEST(GraphGeometry, PlotYAndLevelsOfASeriesFrom4To16) {
    const ValueAxis axis = ScaleValueAxis(16.0f, 4.0f);
    EXPECT_EQ(PlotY(16.0f, axis), 33);
    EXPECT_EQ(PlotY(4.0f, axis), 312);
    EXPECT_EQ(PlotY(10.0f, axis), 172);  // 172.5 truncated
    EXPECT_EQ(PlotY(7.0f, axis), 242);   // 242.25
    const std::array<std::string, 5> levels = {"4.0", "7.0", "10.0", "13.0", "16.0"};
    EXPECT_EQ(LevelTexts(axis), levels);
}

TEST(GraphGeometry, DisplayScaleTruncatesEveryPoint) {
    EXPECT_EQ(ScalePoint({55, 312}, 1.25f), (GraphPoint{68, 390}));
    EXPECT_EQ(ScalePoint({45, 322}, 1.25f), (GraphPoint{56, 402}));
    EXPECT_EQ(ScalePoint({55, 312}, 1.5f), (GraphPoint{82, 468}));

    BlockState state = StateWithSamples({4, 16, 10, 7});
    state.displayScale = 1.25f;
    const GraphPicture picture = Graph(state);
    EXPECT_EQ(DescribeStep(picture.steps.front()), "Clear 0,0 882,460");
    // Sample 0 is the lowest value: design point (55, 312).
    EXPECT_EQ(TraceSteps(picture.steps).front(), "MoveTo 68,390");
}

TEST(GraphGeometry, ComposesTheDrawingInItsOrder) {
    BlockState state = StateWithSamples({4, 16, 10, 7});
    const GraphPicture picture = Graph(state);
    const std::vector<std::string> expected = {
        "Clear 0,0 706,368",
        "PenColor 128,128,128",
        "PenWidth 2",
        "MoveTo 45,312",
        "LineTo 860,312",
        "MoveTo 54,322",
        "LineTo 54,30",
        "PenWidth 1",
        "SetLabel Unit Deg C",
        "PenWidth 2",
        "MoveTo 40,33",
        "LineTo 54,33",
        "MoveTo 40,103",
        "LineTo 54,103",
        "MoveTo 40,172",
        "LineTo 54,172",
        "MoveTo 40,242",
        "LineTo 54,242",
        "PenWidth 1",
        "SetLabel Level4 16.0",
        "SetLabel Level0 4.0",
        "SetLabel Level1 7.0",
        "SetLabel Level2 10.0",
        "SetLabel Level3 13.0",
        "SetLabel ChannelName Temp - SEU",
        "SetLabel StartOrbit Orbit# 60",
        "SetLabel EndOrbit Orbit# 60",
        "SetLabel StartDate Start Date: 2002/01/01",
        "SetLabel EndDate End Date: 2002/01/02",
        // Marks in the order of their passes: MA 0, then 128, then 64 and 192.
        "MoveTo 55,322",
        "LineTo 55,30",
        "TextAt 52,322 0",
        "MoveTo 468,322",
        "LineTo 468,30",
        "TextAt 458,322 128",
        "MoveTo 261,322",
        "LineTo 261,30",
        "TextAt 251,322  64",
        "MoveTo 675,322",
        "LineTo 675,30",
        "TextAt 665,322 192",
        "PenColor 0,0,0",
        "PenWidth 1",
        "MoveTo 55,312",
        "LineTo 55,33",
        "LineTo 261,33",
        "LineTo 261,172",
        "LineTo 468,172",
        "LineTo 468,242",
        "LineTo 675,242",
        "ShowWindow",
    };
    EXPECT_EQ(Described(picture.steps), expected);
    EXPECT_EQ(state.axis.axisMax, 16.0f);
    EXPECT_EQ(state.axis.axisMin, 4.0f);
}

TEST(GraphGeometry, MarksOfShortAndLongOrbitSpans) {
    // One orbit at every 4th MA: every multiple of 32 is marked, pass by pass.
    std::vector<uint8_t> samples(64, 100);
    BlockHeader h = StateWithSamples(samples, 4, 61).header;
    std::vector<std::string> marks;
    for (const auto& m : OrbitAxisMarks(h))
        marks.push_back(m.label + "@" + std::to_string(m.x) + "/" + std::to_string(m.labelAt.x));
    const std::vector<std::string> dense = {
        "0@55/52",     "128@369/359", " 64@212/202", "192@527/517",
        " 32@133/123", " 96@291/281", "160@448/438", "224@606/596",
    };
    EXPECT_EQ(marks, dense);

    // Ten orbits at every 8th MA: only MA 0, once per orbit.
    h = StateWithSamples(std::vector<uint8_t>(320, 100), 8, 70).header;
    const auto sparse = OrbitAxisMarks(h);
    ASSERT_EQ(sparse.size(), 10u);
    for (size_t k = 0; k < sparse.size(); ++k) {
        EXPECT_EQ(sparse[k].label, "0");
        EXPECT_EQ(sparse[k].x, PlotX(static_cast<int>(32 * k), 319));
        EXPECT_EQ(sparse[k].labelAt, (GraphPoint{sparse[k].x - 3, 322}));
    }
}

TEST(GraphGeometry, CursorReadout) {
    BlockState state = StateWithSamples(std::vector<uint8_t>(63, 10), 4);
    state.header.startOrbit = 1234;
    state.header.firstMA = 120;
    state.axis = ScaleValueAxis(16.0f, 4.0f);
    ReadoutBasis basis{state.header, 62, state.axis, 1.0f};

    // Samples are 10 apart: x 60 is exactly halfway to sample 1 and reads it, x 59 reads sample 0.
    EXPECT_EQ(ReadCursor(basis, 60, 100).orbitMA, "1234/124");
    EXPECT_EQ(ReadCursor(basis, 59, 100).orbitMA, "1234/120");
    // Sample 34 lies at MA 256: the next orbit.
    EXPECT_EQ(ReadCursor(basis, 395, 100).orbitMA, "1235/0");
    // The value is the one the height stands for, not the sample's.
    EXPECT_EQ(ReadCursor(basis, 60, 33), (CursorReadout{"1234/124", "16.0"}));
    EXPECT_EQ(ReadCursor(basis, 60, 312).value, "4.0");
    EXPECT_EQ(ReadCursor(basis, 60, 172).value, "10.0");
    // Above the top level, below the bottom one, half a step beyond either end: empty.
    const CursorReadout empty;
    EXPECT_EQ(ReadCursor(basis, 60, 32), empty);
    EXPECT_EQ(ReadCursor(basis, 60, 313), empty);
    EXPECT_EQ(ReadCursor(basis, 49, 100), empty);
    EXPECT_EQ(ReadCursor(basis, 50, 100).orbitMA, "1234/120");
    EXPECT_EQ(ReadCursor(basis, 679, 100).orbitMA, "1235/112");
    EXPECT_EQ(ReadCursor(basis, 680, 100), empty);

    // At 120 dots per inch, pixel 75 is design x 60.
    basis.displayScale = 1.25f;
    EXPECT_EQ(ReadCursor(basis, 75, 100).orbitMA, "1234/124");
    // A scale of 0 reads nothing rather than faulting.
    basis.displayScale = 0.0f;
    EXPECT_EQ(ReadCursor(basis, 75, 100), empty);
    // Before any graph there is nothing to read.
    EXPECT_EQ(ReadCursor(ReadoutBasis{}, 300, 100), empty);
}

TEST(GraphGeometry, NoSamplesDrawAxesAndLevelsOnly) {
    BlockState state = StateWithSamples({});
    const GraphPicture picture = Graph(state);
    const std::vector<std::string> levels = {
        "SetLabel Unit Deg C",
        "SetLabel Level4 -1000.0",
        "SetLabel Level0 1000.0",
        "SetLabel Level1 500.0",
        "SetLabel Level2 0.0",
        "SetLabel Level3 -500.0",
        "SetLabel ChannelName Temp - SEU",
        "SetLabel StartOrbit Orbit# 60",
        "SetLabel EndOrbit Orbit# 60",
        "SetLabel StartDate Start Date: 2002/01/01",
        "SetLabel EndDate End Date: 2002/01/02",
    };
    EXPECT_EQ(OfKind(picture.steps, DrawStep::Kind::SetLabel), levels);
    EXPECT_TRUE(OfKind(picture.steps, DrawStep::Kind::TextAt).empty());
    EXPECT_EQ(TraceSteps(picture.steps), std::vector<std::string>{"ShowWindow"});
    EXPECT_EQ(picture.readout.lastIndex, -1);
    for (int x : {0, 55, 300, 675}) EXPECT_EQ(ReadCursor(picture.readout, x, 172), CursorReadout{});
}

TEST(GraphGeometry, OneSampleIsDrawnAcrossThePlotAndReadEverywhereOverIt) {
    BlockState state = StateWithSamples({130});
    const GraphPicture picture = Graph(state);
    // Axis 128 to 132: the value 130 lies halfway.
    const std::vector<std::string> trace = {"MoveTo 55,172", "LineTo 675,172", "ShowWindow"};
    EXPECT_EQ(TraceSteps(picture.steps), trace);
    EXPECT_EQ(OfKind(picture.steps, DrawStep::Kind::TextAt), std::vector<std::string>{"TextAt 52,322 0"});
    for (int x : {55, 300, 675}) EXPECT_EQ(ReadCursor(picture.readout, x, 172), (CursorReadout{"60/0", "130.0"})) << x;
    EXPECT_EQ(ReadCursor(picture.readout, 54, 172), CursorReadout{});
    EXPECT_EQ(ReadCursor(picture.readout, 676, 172), CursorReadout{});
}

TEST(GraphGeometry, FlatSeriesOnAMultipleOf4IsDrawn) {
    BlockState state = StateWithSamples({9, 200, 31});
    ChannelBoxTexts boxes = IdentityBoxes();
    boxes.c = "0";  // every value 0
    const GraphPicture picture = Graph(state, boxes);
    EXPECT_EQ(state.axis.axisMax, 4.0f);
    EXPECT_EQ(state.axis.axisMin, -4.0f);
    const std::vector<std::string> trace = {"MoveTo 55,172",  "LineTo 55,172",  "LineTo 365,172",
                                            "LineTo 365,172", "LineTo 675,172", "ShowWindow"};
    EXPECT_EQ(TraceSteps(picture.steps), trace);
    EXPECT_EQ(ReadCursor(picture.readout, 365, 172).value, "0.0");
}

TEST(GraphGeometry, OversizedHeaderIsCutTo384Samples) {
    BlockState state = StateWithSamples(std::vector<uint8_t>(448, 20), 1, 62);
    state.header.lastSampleIndex = 447;
    const GraphPicture picture = Graph(state);
    const auto trace = TraceSteps(picture.steps);
    ASSERT_EQ(trace.size(), 1u + 2u * 383u + 1u);
    EXPECT_EQ(trace[trace.size() - 2], "LineTo 675,172");
    EXPECT_EQ(picture.readout.lastIndex, 383);
    EXPECT_EQ(ReadCursor(picture.readout, 675, 172).orbitMA, "61/127");
    EXPECT_EQ(ReadCursor(picture.readout, 678, 172), CursorReadout{});
}

TEST(GraphGeometry, HugeCoefficientDrawsWithoutFault) {
    BlockState state = StateWithSamples({0, 255, 3});
    ChannelBoxTexts boxes = IdentityBoxes();
    boxes.a = "3E38";  // 255 cubed times this is beyond a float
    const GraphPicture picture = Graph(state, boxes);
    EXPECT_EQ(OfKind(picture.steps, DrawStep::Kind::SetLabel)[1], "SetLabel Level4 INF");
    const auto trace = TraceSteps(picture.steps);
    EXPECT_EQ(trace[0], "MoveTo 55,312");
    EXPECT_EQ(trace[2], "LineTo 365,33");
    // Points beyond any screen are held to the coordinate limit; NaN has no place at all.
    EXPECT_EQ(TruncCoordinate(1e300), graph::kCoordinateLimit);
    EXPECT_EQ(TruncCoordinate(-1e300), -graph::kCoordinateLimit);
    EXPECT_EQ(TruncCoordinate(-2.9), -2);
    EXPECT_EQ(TruncCoordinate(std::nan("")), 0);
    EXPECT_EQ(PlotY(std::nanf(""), state.axis), 312);
    // The cursor's height stands for an infinite value, shown as such; at axisMin it has none.
    EXPECT_EQ(ReadCursor(picture.readout, 365, 100), (CursorReadout{"60/64", "INF"}));
    EXPECT_EQ(ReadCursor(picture.readout, 365, 312), CursorReadout{});
}

TEST(GraphGeometry, FailingBoxOrMissingSignatureGivesNoPicture) {
    BlockState state = StateWithSamples({4, 16});
    state.axis = ValueAxis{8.0f, 0.0f, 8.0f};
    ChannelBoxTexts boxes = IdentityBoxes();
    boxes.orbitHiByte = "1A";
    EXPECT_EQ(ErrorOf([&] { (void)BuildGraphPicture(state, boxes); }), "'1A' is not a valid integer value");
    EXPECT_EQ(state.axis.axisMax, 8.0f);  // the axis of the previous graph stays

    state.block.bytes[4] = 'H';
    EXPECT_FALSE(BuildGraphPicture(state, IdentityBoxes()).has_value());
    EXPECT_EQ(state.axis.axisMax, 8.0f);
}
