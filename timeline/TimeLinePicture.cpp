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

namespace {

// The step line of the samples' columns, a lone sample as a small cross.
void AddStepLine(PlotPicture& plot, const std::vector<TraceColumn>& columns, const auto& row) {
    plot.trace.reserve(columns.size() * 2);
    for (size_t k = 0; k < columns.size(); ++k) {
        const TraceColumn& c = columns[k];
        const int32_t x = kValueAxisWidth + c.x;
        if (c.joinsPrevious) {
            const int32_t y = row(c.first);
            plot.trace.push_back({kValueAxisWidth + columns[k - 1].x, y, x, y});
        }
        plot.trace.push_back({x, row(c.high), x, row(c.low)});
        // A sample alone between two breaks is a point: drawn as a small cross to be seen.
        const bool alone = !c.joinsPrevious && (k + 1 == columns.size() || !columns[k + 1].joinsPrevious);
        if (alone && c.low == c.high) {
            const int32_t y = row(c.low);
            plot.trace.push_back({x - 2, y, x + 2, y});
            plot.trace.push_back({x, y - 2, x, y + 2});
        }
    }
}

}  // namespace

PlotPicture ComposePlot(const PlotContent& content, const TimeRange& view, const DateLine& dates, int width,
                        int height) {
    const ChannelTrace& trace = *content.trace;
    PlotPicture plot;
    plot.width = width;
    plot.height = height;
    plot.title = PlotTitle(trace);
    plot.colour = content.colour;
    const int traceWidth = TraceWidth(width);
    const int traceHeight = TraceHeight(height);
    // A view of more orbits than columns is drawn from the orbits' statistics, its own statistics
    // too: it reads no sample.
    const bool trend = !content.orbits.empty() && UsesTrend(view, traceWidth);
    const Summary inView =
        trend ? SummaryOfOrbits(content.orbits, view.left, view.right) : trace.SummaryWithin(view.left, view.right);
    plot.statistics = StatisticsText(inView);

    const ValueScale scale = ScaleOf(content, inView);
    plot.range = scale.range;
    const auto row = [&](double value) { return kTopMargin + RowOf(value, scale.range, traceHeight); };
    for (const ValueLevel& level : scale.levels) plot.levels.push_back({row(level.value), level.text});
    for (const TimeMark& mark : TimeMarks(view, traceWidth, dates)) plot.grid.push_back(kValueAxisWidth + mark.x);

    std::vector<TraceColumn> columns;
    if (trend) {
        // The limits read the trend as columns reaching from the minimum to the maximum.
        for (const TrendColumn& c : TrendColumns(view, traceWidth, content.orbits)) {
            plot.trend.push_back({kValueAxisWidth + c.x, row(c.mean), row(c.max), row(c.min)});
            const bool joins = !columns.empty() && columns.back().x + 1 == c.x;
            columns.push_back({c.x, static_cast<float>(c.mean), c.min, c.max, joins});
        }
    } else {
        columns = DecimateTrace(trace, view, traceWidth);
        AddStepLine(plot, columns, row);
    }
    if (content.satellite)
        plot.limits = ComposeLimits(trace, *content.satellite, view,
                                    {kValueAxisWidth, kTopMargin, traceWidth, traceHeight, scale.range}, columns);
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
    for (const PlotPicture& plot : plots) height += kHeaderHeight + plot.height;
    return height;
}

}  // namespace kelvarox::timeline
