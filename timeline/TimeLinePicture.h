#pragma once
// The time line as a picture in plain data: for each plot its title, statistics, value levels,
// grid and step line in pixels, the same of each channel drawn over its first with the place of
// its value axis, and the shared orbit axis beneath. The window paints its plots
// from it, and the pictures it saves and the ones kelvarox-cli draws are painted from it whole,
// so all of them show the same.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/OrbitStatistics.h"
#include "timeline/ChannelTrace.h"
#include "timeline/LimitPicture.h"
#include "timeline/TimeAxis.h"
#include "timeline/ValueScale.h"

namespace kelvarox::timeline {

// The parts of a plot in pixels. Its step line lies within the trace area: right of the value
// axis's labels and inside the margins.
namespace layout {
inline constexpr int kValueAxisWidth = 72;
inline constexpr int kRightMargin = 16;
inline constexpr int kTopMargin = 8;
inline constexpr int kBottomMargin = 8;
// In a whole picture: the title and statistics above each plot, the orbit axis under them all.
inline constexpr int kHeaderHeight = 20;
inline constexpr int kAxisHeight = 44;
// A picture of kelvarox-cli: one plot of this size.
inline constexpr int kPictureWidth = 1000;
inline constexpr int kPicturePlotHeight = 300;
// Rows beyond this distance from a plot are held there: a value far outside the plot's range
// still draws a line that leaves the plot, and no row overflows.
inline constexpr int32_t kRowLimit = 100'000;
}  // namespace layout

// The width and height of the trace area of a plot canvas (at least 1).
int TraceWidth(int canvasWidth);
int TraceHeight(int canvasHeight);
// The row of `value` in the trace area (0 at the top, at the range's high end).
int32_t RowOf(double value, const ValueRange& range, int traceHeight);

struct Colour {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Colour&) const = default;
};
// The colour of the n-th plot's step line: dark, and distinct from its neighbours'.
Colour PlotColour(size_t n);

struct PixelLine {
    int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool operator==(const PixelLine&) const = default;
};

// A column of the trend: the row of its mean and the rows of its band, from its maximum (`top`)
// to its minimum (`bottom`).
struct TrendPixels {
    int32_t x = 0;
    int32_t mean = 0;
    int32_t top = 0;
    int32_t bottom = 0;
    bool operator==(const TrendPixels&) const = default;
};

struct LevelMark {
    int32_t y = 0;  // in the canvas
    std::string text;
};

// Where a channel's value axis stands in a plot of several channels: the first left of the trace
// area, the second right of it, a third and more further out on the right, a column each, so
// that no labels overlap. `x` is the canvas column of the axis's line; its labels lie outward.
struct ValueAxisPlace {
    bool right = false;
    int32_t x = 0;
    bool operator==(const ValueAxisPlace&) const = default;
};
std::vector<ValueAxisPlace> PlaceValueAxes(size_t channels, int traceLeft, int traceRight);
// The room the value axes of `channels` channels take right of the trace area, beyond its margin.
int RightAxesRoom(size_t channels);

// A channel drawn over the plot's first one: its own colour, value scale and axis.
struct OverlayPicture {
    std::string title;
    std::string statistics;
    Colour colour;
    ValueRange range;
    std::vector<LevelMark> levels;
    std::vector<PixelLine> trace;
    std::vector<TrendPixels> trend;  // as the plot's
    ValueAxisPlace axis;
};

// One plot, in the pixels of its canvas.
struct PlotPicture {
    int width = 0;
    int height = 0;
    std::string title;       // "#140  Temp - SEU  (Deg.C)"
    std::string statistics;  // of the samples in view
    Colour colour;
    ValueRange range;  // what the height shows
    std::vector<LevelMark> levels;
    std::vector<int32_t> grid;     // x of the orbit axis's marks
    std::vector<PixelLine> trace;  // the step line, within the trace area
    // In a view of more orbits than columns, the trend instead of the step line.
    std::vector<TrendPixels> trend;
    LimitPicture limits;  // the limit lines and the step line beyond them
    // The channels over the first, in their order, and the room their axes take on the right
    // (the same in every plot of a window, so that their trace areas line up).
    std::vector<OverlayPicture> overlays;
    int rightRoom = 0;
};
// The trace area's width in a plot's canvas, and the height of its header in a whole picture: a
// line for each channel.
int TraceWidth(const PlotPicture& plot);
int HeaderHeight(const PlotPicture& plot);

// What a plot shows: a channel's trace in a view, with the values the user chose for its
// height or, without them, rounded limits of the samples in view.
struct PlotContent {
    const ChannelTrace* trace = nullptr;
    std::optional<ValueRange> chosenRange;
    Colour colour;
    const SatelliteDefinition* satellite = nullptr;  // whose limits it shows; none: no limits
    // The statistics of the channel's orbits in orbit order, for the trend of a wide view; none:
    // always the samples.
    std::span<const OrbitStatistics> orbits = {};
};

// The value scale of a plot: the chosen range, or rounded limits of the samples in view
// (`inView`), or of all its samples when none is in view.
ValueScale ScaleOf(const PlotContent& content, const Summary& inView);

PlotPicture ComposePlot(const PlotContent& content, const TimeRange& view, const DateLine& dates, int width,
                        int height);
// A plot of several channels, the first as above, each further one over it with its own scale;
// the values chosen for the height and the limits are the first channel's.
PlotPicture ComposePlot(const std::vector<PlotContent>& contents, const TimeRange& view, const DateLine& dates,
                        int width, int height, int rightRoom);

// The orbit axis under plots `width` pixels wide: its marks at canvas x, the first and the
// last date of the view (empty where the blocks give none), which stand at its ends, and the
// dates of the days that begin in view, where the blocks tell it, at canvas x.
struct AxisPicture {
    int width = 0;
    int rightRoom = 0;  // as the plots' above
    std::vector<TimeMark> marks;
    std::string firstDate;
    std::string lastDate;
    std::vector<DayStartMark> dayStarts;
};
AxisPicture ComposeAxis(const TimeRange& view, const DateLine& dates, int width);

// A whole picture: the plots one above the other, each under its header, and the axis.
struct TimeLinePicture {
    int width = 0;
    std::vector<PlotPicture> plots;
    AxisPicture axis;
    int Height() const;
};

// The channel as the plot's title names it.
std::string PlotTitle(const ChannelTrace& trace);
// "Count 64   Min 2.782   Max 17.61   Mean 10.05   SD 4.7": the values in the shortest text
// that reads back as the same 32-bit float, as the series CSV writes them.
std::string StatisticsText(const Summary& summary);

}  // namespace kelvarox::timeline
