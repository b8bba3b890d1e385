#include "timeline/TimeLinePicture.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/ChannelCatalogue.h"
#include "core/CsvText.h"
#include "core/SampleSeries.h"
#include "timeline/Decimation.h"
#include "timeline/Trend.h"

namespace kelvarox::timeline {

using namespace layout;

int TraceWidth(int canvasWidth) { return std::max(1, canvasWidth - kValueAxisWidth - kRightMargin); }
int TraceHeight(int canvasHeight) { return std::max(1, canvasHeight - kTopMargin - kBottomMargin); }

int32_t RowOf(double value, const ValueRange& range, int traceHeight) {
    const double row = (range.high - value) / (range.high - range.low) * traceHeight;
    if (std::isnan(row)) return 0;
    return static_cast<int32_t>(std::lround(std::clamp(row, double{-kRowLimit}, double{kRowLimit})));
}

Colour PlotColour(size_t n) {
    static constexpr std::array<Colour, 6> kColours = {
        {{0, 0, 170}, {170, 0, 0}, {0, 120, 0}, {140, 0, 140}, {0, 110, 130}, {150, 90, 0}}};
    return kColours[n % kColours.size()];
}

std::string PlotTitle(const ChannelTrace& trace) {
    return ChannelCatalogue::ChannelNumberText(trace.Channel()) + "  " + trace.Name() + "  (" + trace.Unit() + ")";
}

std::string StatisticsText(const Summary& summary) {
    std::string text = "Count " + std::to_string(summary.count);
    if (summary.count == 0) return text;
    const auto add = [&](const char* name, float value) {
        text += "   ";
        text += name;
        text += ' ';
        AppendShortestFloat(text, value);
    };
    add("Min", summary.min);
    add("Max", summary.max);
    add("Mean", RoundToFloat(summary.mean));
    add("SD", RoundToFloat(summary.StandardDeviation()));
    return text;
}

ValueScale ScaleOf(const PlotContent& content, const Summary& inView) {
    if (content.chosenRange) return ScaleWithin(*content.chosenRange);
    Summary summary = inView;
    if (summary.count == 0) {
        if (const auto extent = content.trace->Extent())
            summary = content.trace->SummaryWithin(extent->left, extent->right);
    }
    if (summary.count == 0) return RoundedScale(0, 1);
    return RoundedScale(summary.min, summary.max);
}

std::vector<ValueAxisPlace> PlaceValueAxes(size_t channels, int traceLeft, int traceRight) {
    std::vector<ValueAxisPlace> places;
    for (size_t n = 0; n < channels; ++n) {
        if (n == 0)
            places.push_back({false, traceLeft - 1});
        else
            places.push_back({true, traceRight + static_cast<int32_t>(n - 1) * kValueAxisWidth});
    }
    return places;
}

int RightAxesRoom(size_t channels) { return channels < 2 ? 0 : static_cast<int>(channels - 1) * kValueAxisWidth; }

int TraceWidth(const PlotPicture& plot) { return TraceWidth(plot.width - plot.rightRoom); }

int HeaderHeight(const PlotPicture& plot) { return kHeaderHeight * static_cast<int>(1 + plot.overlays.size()); }

namespace {

// One channel of a plot in its trace area: its statistics, scale, levels and step line, or its
// trend in a wide view.
struct Layer {
    std::string statistics;
    ValueScale scale;
    std::vector<LevelMark> levels;
    std::vector<PixelLine> trace;
    std::vector<TrendPixels> trend;
    std::vector<TraceColumn> columns;  // what the limits read
};

// The step line of the samples' columns, a lone sample as a small cross.
void AddStepLine(std::vector<PixelLine>& lines, const std::vector<TraceColumn>& columns, const auto& row) {
    lines.reserve(columns.size() * 2);
    for (size_t k = 0; k < columns.size(); ++k) {
        const TraceColumn& c = columns[k];
        const int32_t x = kValueAxisWidth + c.x;
        if (c.joinsPrevious) {
            const int32_t y = row(c.first);
            lines.push_back({kValueAxisWidth + columns[k - 1].x, y, x, y});
        }
        lines.push_back({x, row(c.high), x, row(c.low)});
        // A sample alone between two breaks is a point: drawn as a small cross to be seen.
        const bool alone = !c.joinsPrevious && (k + 1 == columns.size() || !columns[k + 1].joinsPrevious);
        if (alone && c.low == c.high) {
            const int32_t y = row(c.low);
            lines.push_back({x - 2, y, x + 2, y});
            lines.push_back({x, y - 2, x, y + 2});
        }
    }
}

Layer ComposeLayer(const PlotContent& content, const TimeRange& view, int traceWidth, int traceHeight) {
    const ChannelTrace& trace = *content.trace;
    Layer layer;
    // A view of more orbits than columns is drawn from the orbits' statistics, its own statistics
    // too: it reads no sample.
    const bool trend = !content.orbits.empty() && UsesTrend(view, traceWidth);
    const Summary inView =
        trend ? SummaryOfOrbits(content.orbits, view.left, view.right) : trace.SummaryWithin(view.left, view.right);
    layer.statistics = StatisticsText(inView);
    layer.scale = ScaleOf(content, inView);
    const auto row = [&](double value) { return kTopMargin + RowOf(value, layer.scale.range, traceHeight); };
    for (const ValueLevel& level : layer.scale.levels) layer.levels.push_back({row(level.value), level.text});

    if (trend) {
        // The limits read the trend as columns reaching from the minimum to the maximum.
        for (const TrendColumn& c : TrendColumns(view, traceWidth, content.orbits)) {
            layer.trend.push_back({kValueAxisWidth + c.x, row(c.mean), row(c.max), row(c.min)});
            const bool joins = !layer.columns.empty() && layer.columns.back().x + 1 == c.x;
            layer.columns.push_back({c.x, static_cast<float>(c.mean), c.min, c.max, joins});
        }
    } else {
        layer.columns = DecimateTrace(trace, view, traceWidth);
        AddStepLine(layer.trace, layer.columns, row);
    }
    return layer;
}

}  // namespace

PlotPicture ComposePlot(const PlotContent& content, const TimeRange& view, const DateLine& dates, int width,
                        int height) {
    return ComposePlot(std::vector<PlotContent>{content}, view, dates, width, height, 0);
}

PlotPicture ComposePlot(const std::vector<PlotContent>& contents, const TimeRange& view, const DateLine& dates,
                        int width, int height, int rightRoom) {
    PlotPicture plot;
    plot.width = width;
    plot.height = height;
    plot.rightRoom = rightRoom;
    if (contents.empty()) return plot;
    const int traceWidth = TraceWidth(plot);
    const int traceHeight = TraceHeight(height);
    const std::vector<ValueAxisPlace> axes =
        PlaceValueAxes(contents.size(), kValueAxisWidth, kValueAxisWidth + traceWidth);
    for (size_t n = 0; n < contents.size(); ++n) {
        const PlotContent& content = contents[n];
        Layer layer = ComposeLayer(content, view, traceWidth, traceHeight);
        if (n > 0) {
            plot.overlays.push_back({PlotTitle(*content.trace), std::move(layer.statistics), content.colour,
                                     layer.scale.range, std::move(layer.levels), std::move(layer.trace),
                                     std::move(layer.trend), axes[n]});
            continue;
        }
        plot.title = PlotTitle(*content.trace);
        plot.statistics = std::move(layer.statistics);
        plot.colour = content.colour;
        plot.range = layer.scale.range;
        plot.levels = std::move(layer.levels);
        plot.trace = std::move(layer.trace);
        plot.trend = std::move(layer.trend);
        for (const TimeMark& mark : TimeMarks(view, traceWidth, dates)) plot.grid.push_back(kValueAxisWidth + mark.x);
        if (content.satellite)
            plot.limits =
                ComposeLimits(*content.trace, *content.satellite, view,
                              {kValueAxisWidth, kTopMargin, traceWidth, traceHeight, layer.scale.range}, layer.columns);
    }
    return plot;
}

AxisPicture ComposeAxis(const TimeRange& view, const DateLine& dates, int width) {
    AxisPicture axis;
    axis.width = width;
    axis.marks = TimeMarks(view, TraceWidth(width), dates);
    // The day starts tell the dates where they change; a mark's day would repeat them.
    for (TimeMark& mark : axis.marks) {
        mark.x += kValueAxisWidth;
        mark.dateText.clear();
    }
    if (const auto first = dates.FirstAmDayWithin(view.left, view.right)) axis.firstDate = AmDayText(*first);
    if (const auto last = dates.LastAmDayWithin(view.left, view.right)) axis.lastDate = AmDayText(*last);
    for (DayStartMark& day : DayStartMarks(view, TraceWidth(width), dates)) {
        if (day.text == axis.firstDate) continue;
        day.x += kValueAxisWidth;
        axis.dayStarts.push_back(std::move(day));
    }
    return axis;
}

int TimeLinePicture::Height() const {
    int height = kAxisHeight;
    for (const PlotPicture& plot : plots) height += HeaderHeight(plot) + plot.height;
    return height;
}

}  // namespace kelvarox::timeline
