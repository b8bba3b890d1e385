#pragma once
// Where things lie on the graph window's image: samples, values, levels, the marks of the
// orbit axis and the step line of the trace. Design units are pixels at 96 dots per inch
// with the origin at the image's top left; DisplayScale turns them into screen pixels.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/SampleSeries.h"
#include "core/WodBlock.h"

namespace kelvarox {

namespace graph {
inline constexpr int32_t kImageWidth = 706;
inline constexpr int32_t kImageHeight = 368;
inline constexpr int32_t kPlotLeft = 55;    // x of sample 0
inline constexpr int32_t kPlotRight = 675;  // x of the last sample
inline constexpr int32_t kPlotWidth = kPlotRight - kPlotLeft;
inline constexpr int32_t kPlotTop = 33;      // y of AxisMax
inline constexpr int32_t kPlotBottom = 312;  // y of AxisMin
inline constexpr int32_t kPlotHeight = kPlotBottom - kPlotTop;
// The orbit axis lies at kPlotBottom and runs on past the image's right edge.
inline constexpr int32_t kOrbitAxisLeft = 45;
inline constexpr int32_t kOrbitAxisRight = 860;
// The value axis and the mark lines of the orbit axis run from below the orbit axis up past
// the top level; a mark's label has its top at the lower end of its line.
inline constexpr int32_t kValueAxisX = 54;
inline constexpr int32_t kMarkBottom = 322;
inline constexpr int32_t kMarkTop = 30;
// The level ticks reach from here to the value axis, at the heights of level 4 down to
// level 1 (level 0 lies on the orbit axis).
inline constexpr int32_t kLevelTickLeft = 40;
inline constexpr std::array<int32_t, 4> kLevelTickY = {33, 103, 172, 242};
// A mark's label starts this far left of its line: "0" is one digit wide, the other labels
// three characters.
inline constexpr int32_t kZeroLabelShift = 3;
inline constexpr int32_t kMarkLabelShift = 10;
// Coordinates are held within this distance of the origin, so that no value, however
// large or undefined, turns into a point the painter cannot handle. Every line of the
// graph is horizontal or vertical, so holding a far end point changes nothing on the image.
inline constexpr int32_t kCoordinateLimit = 1'000'000;
}  // namespace graph

struct GraphPoint {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const GraphPoint&) const = default;
};

// Truncates toward zero, holding the result within kCoordinateLimit; NaN gives 0.
int32_t TruncCoordinate(double value);

// Index of the last sample on the graph: LastSampleIndex cut to the series' 384 samples,
// -1 when there are none.
int LastPlottedIndex(const BlockHeader& header);

// x of sample i when `lastIndex` is the last sample: i * 620 / lastIndex + 55 in integer
// arithmetic. A graph of one sample (lastIndex 0) starts it at the left end of the plot.
int32_t PlotX(int i, int lastIndex);

// y of value v: 312 - (v - AxisMin) / AxisRange * 279, truncated toward zero. A value that has
// no place on the axis (NaN, or an infinite value over an infinite range) lies at the top
// when it is above AxisMin and at the bottom otherwise.
int32_t PlotY(float v, const ValueAxis& axis);

// A design coordinate on the screen: trunc(coordinate * DisplayScale).
int32_t ScaleCoordinate(int32_t designUnits, float displayScale);
GraphPoint ScalePoint(GraphPoint p, float displayScale);

// The level texts from level 0 (AxisMin) up to level 4 (AxisMax), each ValueText.
std::array<std::string, 5> LevelTexts(const ValueAxis& axis);

// A mark of the orbit axis: its line at x from y 322 up to 30 and its label at labelAt.
struct AxisMark {
    int32_t x = 0;
    std::string label;
    GraphPoint labelAt;
    bool operator==(const AxisMark&) const = default;
};

// The marks of SelectMATicks placed on the plot, in their order.
std::vector<AxisMark> OrbitAxisMarks(const BlockHeader& header);

// The trace as a step line: the first point is where the pen starts, each further one the
// end of a line. Each sample is a horizontal line ending at its own x, joined to the one
// before by a vertical line at the previous sample's x. A single sample is drawn across
// the whole plot width; no samples give no points.
std::vector<GraphPoint> TracePoints(const SampleSeries& series, const ValueAxis& axis);

}  // namespace kelvarox
