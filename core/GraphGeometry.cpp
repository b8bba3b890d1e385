#include "core/GraphGeometry.h"

#include <algorithm>
#include <cmath>

#include "core/FixedText.h"

namespace kelvarox {

using namespace graph;

int32_t TruncCoordinate(double value) {
    if (std::isnan(value)) return 0;
    if (value >= kCoordinateLimit) return kCoordinateLimit;
    if (value <= -kCoordinateLimit) return -kCoordinateLimit;
    return static_cast<int32_t>(value);
}

int LastPlottedIndex(const BlockHeader& header) { return header.SampleCount() - 1; }

int32_t PlotX(int i, int lastIndex) {
    if (lastIndex <= 0) return kPlotLeft;
    // i and lastIndex are at most 383, so i * 620 stays far inside 32 bits.
    return i * kPlotWidth / lastIndex + kPlotLeft;
}

int32_t PlotY(float v, const ValueAxis& axis) {
    const double share = (static_cast<double>(v) - axis.axisMin) / static_cast<double>(axis.axisRange);
    const double y = kPlotBottom - share * kPlotHeight;
    if (std::isnan(y)) return v > axis.axisMin ? kPlotTop : kPlotBottom;
    return TruncCoordinate(y);
}

int32_t ScaleCoordinate(int32_t designUnits, float displayScale) {
    return TruncCoordinate(static_cast<double>(designUnits) * static_cast<double>(displayScale));
}

GraphPoint ScalePoint(GraphPoint p, float displayScale) {
    return {ScaleCoordinate(p.x, displayScale), ScaleCoordinate(p.y, displayScale)};
}

std::array<std::string, 5> LevelTexts(const ValueAxis& axis) {
    std::array<std::string, 5> texts;
    for (int k = 0; k < 5; ++k) texts[static_cast<size_t>(k)] = ValueText(axis.Level(k));
    return texts;
}

std::vector<AxisMark> OrbitAxisMarks(const BlockHeader& header) {
    const int last = LastPlottedIndex(header);
    std::vector<AxisMark> marks;
    for (const MATick& tick : SelectMATicks(header)) {
        const int32_t x = PlotX(tick.index, last);
        const int32_t labelX = x - (tick.label == "0" ? kZeroLabelShift : kMarkLabelShift);
        marks.push_back({x, tick.label, {labelX, kMarkBottom}});
    }
    return marks;
}

std::vector<GraphPoint> TracePoints(const SampleSeries& series, const ValueAxis& axis) {
    std::vector<GraphPoint> points;
    const int last = std::min(series.count, kSeriesCapacity) - 1;
    if (last < 0) return points;
    const auto value = [&](int i) { return series.sampleValue[static_cast<size_t>(i)]; };
    points.push_back({PlotX(0, last), PlotY(value(0), axis)});
    if (last == 0) {
        points.push_back({kPlotRight, points.front().y});
        return points;
    }
    points.reserve(static_cast<size_t>(2 * last + 1));
    for (int i = 1; i <= last; ++i) {
        const int32_t y = PlotY(value(i), axis);
        points.push_back({PlotX(i - 1, last), y});
        points.push_back({PlotX(i, last), y});
    }
    return points;
}

}  // namespace kelvarox
