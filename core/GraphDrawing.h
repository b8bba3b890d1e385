#pragma once
// The graph window's picture as an ordered list of drawing steps: the canvas operations
// (clear, pen, move, line, text) with the label texts at their places between them. The
// window and the command line paint the same list, so both show the same picture.
#include <cstdint>
#include <string>
#include <vector>

#include "core/GraphGeometry.h"
#include "core/GraphReadout.h"

namespace kelvarox {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};
inline constexpr Rgb kGrey{128, 128, 128};
inline constexpr Rgb kBlack{0, 0, 0};

// The graph window's labels that a drawing sets, by what they show: the channel's name and
// unit, the five levels of the value axis from AxisMin (Level0) up to AxisMax (Level4), the
// start and end orbit and the start and end date.
enum class GraphLabel {
    ChannelName,
    Unit,
    Level0,
    Level1,
    Level2,
    Level3,
    Level4,
    StartOrbit,
    EndOrbit,
    StartDate,
    EndDate
};
// The label's role as the records of a drawing name it ("Unit").
const char* LabelRole(GraphLabel label);

// One step of a drawing. Which fields count depends on the kind.
struct DrawStep {
    enum class Kind {
        Clear,       // fill from `at` up to but not including `end` with the canvas's background
        PenColor,    // `color`
        PenWidth,    // `width`
        MoveTo,      // the pen to `at`
        LineTo,      // a line from the pen's position to `at`, where the pen then stays
        TextAt,      // `text` in the canvas's font with its top left at `at`
        SetLabel,    // `label` shows `text`
        ShowWindow,  // the graph window becomes visible
    };
    Kind kind = Kind::ShowWindow;
    GraphPoint at;
    GraphPoint end;
    Rgb color;
    int width = 1;
    GraphLabel label = GraphLabel::ChannelName;
    std::string text;
    bool operator==(const DrawStep&) const = default;
};

// One line of text per step ("LineTo 675,312", "SetLabel ChannelName Temp - SEU"), for records.
std::string DescribeStep(const DrawStep& step);

// A drawing and what the cursor read-out over it works from.
struct GraphPicture {
    std::vector<DrawStep> steps;
    ReadoutBasis readout;
};

// What one graph shows: the block's header, its series, the value axis, the channel name
// and unit as the main window's boxes hold them, and the display scale.
struct GraphContent {
    const BlockHeader& header;
    const SampleSeries& series;
    const ValueAxis& axis;
    const std::string& name;
    const std::string& unit;
    float displayScale = 1.0f;
};

// The drawing in its order: clear; grey axes of width 2; pen width 1; the unit; the level
// ticks at width 2, then width 1; the level labels; channel, orbit and date labels; the
// orbit-axis marks with their labels; the black trace; show. Every point is scaled.
GraphPicture ComposeGraph(const GraphContent& content);

}  // namespace kelvarox
