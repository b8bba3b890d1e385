#include "render/TimeLinePainter.h"

#include <QFontMetrics>
#include <QVector>
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "render/TextCodec.h"

namespace kelvarox {

using namespace timeline::layout;

namespace {

const QColor kBackground(Qt::white);
const QColor kText(Qt::black);
const QColor kFrame(150, 150, 150);
const QColor kGrid(225, 225, 225);
const QColor kYellow(214, 160, 0);
const QColor kRed(210, 0, 0);

QColor ColourOf(const timeline::Colour& c) { return QColor(c.r, c.g, c.b); }

QRect TraceArea(const timeline::PlotPicture& plot) {
    return QRect(kValueAxisWidth, kTopMargin, timeline::TraceWidth(plot), timeline::TraceHeight(plot.height));
}

QColor LevelColour(timeline::LimitLevel level) { return level == timeline::LimitLevel::Red ? kRed : kYellow; }

// The limit lines dashed across their spans, a limit beyond the values shown as a small
// triangle with its value at the plot's edge, and the step line beyond a limit in the limit's
// colour, three pixels wide so that one sample shows at any zoom.
void PaintLimits(QPainter& painter, const timeline::LimitPicture& limits, const QRect& area) {
    for (const timeline::BreachMark& m : limits.marks)
        painter.fillRect(QRect(QPoint(m.x0 - 1, m.y0 - 1), QPoint(m.x1 + 1, m.y1 + 1)), LevelColour(m.level));
    const QFontMetrics metrics(painter.font());
    for (const timeline::LimitLine& l : limits.lines) {
        const QColor colour = LevelColour(l.level);
        if (!l.beyond) {
            painter.setPen(QPen(colour, 1, Qt::DashLine));
            painter.drawLine(l.x0, l.y, l.x1, l.y);
            continue;
        }
        const bool above = l.y <= area.top();
        const int tip = above ? area.top() : area.bottom();
        const int base = above ? tip + 6 : tip - 6;
        const int x = std::max(area.left() + 4, l.x1 - 8);
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawPolygon(QPolygon({QPoint(x - 4, base), QPoint(x + 4, base), QPoint(x, tip)}));
        painter.setPen(colour);
        const QString text = ToQt(l.text);
        painter.drawText(QPoint(x - 6 - metrics.horizontalAdvance(text), above ? base + metrics.ascent() - 4 : base),
                         text);
    }
    painter.setBrush(Qt::NoBrush);
}

// The trend: the band from minimum to maximum a quarter as dark as the channel's colour, the
// mean over it in the colour itself, broken where a column holds no orbit.
void PaintTrend(QPainter& painter, const std::vector<timeline::TrendPixels>& trend, const QColor& colour) {
    if (trend.empty()) return;
    const QColor light(255 - (255 - colour.red()) / 4, 255 - (255 - colour.green()) / 4,
                       255 - (255 - colour.blue()) / 4);
    QVector<QLine> band, mean;
    band.reserve(static_cast<qsizetype>(trend.size()));
    mean.reserve(static_cast<qsizetype>(trend.size()));
    for (size_t k = 0; k < trend.size(); ++k) {
        const timeline::TrendPixels& c = trend[k];
        band.push_back(QLine(c.x, c.top, c.x, c.bottom));
        const bool joins = k > 0 && trend[k - 1].x + 1 == c.x;
        mean.push_back(joins ? QLine(trend[k - 1].x, trend[k - 1].mean, c.x, c.mean) : QLine(c.x, c.mean, c.x, c.mean));
    }
    painter.setPen(QPen(light, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawLines(band);
    painter.setPen(QPen(colour, 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawLines(mean);
}

// A value axis: a tick and a label at each level, outward from the axis's line; an axis further
// out than the trace area's edge draws its line too.
void PaintValueAxis(QPainter& painter, const std::vector<timeline::LevelMark>& levels,
                    const timeline::ValueAxisPlace& place, const QRect& area, const QColor& colour) {
    const QFontMetrics metrics(painter.font());
    const int outward = place.right ? 1 : -1;
    if (place.right && place.x > area.right() + 1) {
        painter.setPen(QPen(colour, 1));
        painter.drawLine(place.x, area.top(), place.x, area.bottom());
    }
    for (const timeline::LevelMark& level : levels) {
        painter.setPen(QPen(place.x > area.right() + 1 ? colour : kFrame, 1));
        painter.drawLine(place.x, level.y, place.x + 4 * outward, level.y);
        painter.setPen(colour);
        const QString text = ToQt(level.text);
        const int left = place.right ? place.x + 7 : place.x - 7 - metrics.horizontalAdvance(text);
        painter.drawText(QPoint(left, level.y + metrics.ascent() / 2 - 1), text);
    }
}

void PaintStepLine(QPainter& painter, const std::vector<timeline::PixelLine>& trace, const timeline::Colour& colour) {
    QVector<QLine> lines;
    lines.reserve(static_cast<qsizetype>(trace.size()));
    for (const timeline::PixelLine& l : trace) lines.push_back(QLine(l.x0, l.y0, l.x1, l.y1));
    painter.setPen(QPen(ColourOf(colour), 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawLines(lines);
}

}  // namespace

QFont TimeLineFont() {
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

void PaintPlot(QPainter& painter, const timeline::PlotPicture& plot) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setFont(TimeLineFont());
    painter.fillRect(QRect(0, 0, plot.width, plot.height), kBackground);
    const QRect area = TraceArea(plot);

    painter.setPen(QPen(kGrid, 1));
    for (const timeline::LevelMark& level : plot.levels) painter.drawLine(area.left(), level.y, area.right(), level.y);
    for (const int32_t x : plot.grid) painter.drawLine(x, area.top(), x, area.bottom());

    painter.setPen(QPen(kFrame, 1));
    painter.drawRect(area.adjusted(-1, -1, 0, 0));
    // With channels over the first, each axis's labels are in its channel's colour.
    const bool overlaid = !plot.overlays.empty();
    PaintValueAxis(painter, plot.levels, {false, area.left() - 1}, area, overlaid ? ColourOf(plot.colour) : kText);
    for (const timeline::OverlayPicture& overlay : plot.overlays)
        PaintValueAxis(painter, overlay.levels, overlay.axis, area, ColourOf(overlay.colour));

    painter.setClipRect(area);
    PaintStepLine(painter, plot.trace, plot.colour);
    PaintTrend(painter, plot.trend, ColourOf(plot.colour));
    PaintLimits(painter, plot.limits, area);
    for (const timeline::OverlayPicture& overlay : plot.overlays) {
        PaintStepLine(painter, overlay.trace, overlay.colour);
        PaintTrend(painter, overlay.trend, ColourOf(overlay.colour));
    }
    painter.restore();
}

void PaintPlotHeader(QPainter& painter, const timeline::PlotPicture& plot) {
    painter.save();
    painter.fillRect(QRect(0, 0, plot.width, timeline::HeaderHeight(plot)), kBackground);
    QFont bold = TimeLineFont();
    bold.setBold(true);
    const bool overlaid = !plot.overlays.empty();
    const auto paintLine = [&](int n, const std::string& title, const std::string& statistics,
                               const timeline::Colour& colour) {
        const QRect line(4, n * kHeaderHeight, plot.width - 4 - kRightMargin, kHeaderHeight);
        painter.setFont(bold);
        painter.setPen(ColourOf(colour));
        painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, ToQt(title));
        painter.setFont(TimeLineFont());
        painter.setPen(overlaid ? ColourOf(colour) : kText);
        painter.drawText(line, Qt::AlignRight | Qt::AlignVCenter, ToQt(statistics));
    };
    paintLine(0, plot.title, plot.statistics, plot.colour);
    for (size_t n = 0; n < plot.overlays.size(); ++n) {
        const timeline::OverlayPicture& overlay = plot.overlays[n];
        paintLine(static_cast<int>(n + 1), overlay.title, overlay.statistics, overlay.colour);
    }
    painter.restore();
}

void PaintAxis(QPainter& painter, const timeline::AxisPicture& axis) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setFont(TimeLineFont());
    painter.fillRect(QRect(0, 0, axis.width, kAxisHeight), kBackground);
    const QFontMetrics metrics(painter.font());
    const int right = kValueAxisWidth + timeline::TraceWidth(axis.width - axis.rightRoom);
    painter.setPen(QPen(kFrame, 1));
    painter.drawLine(kValueAxisWidth - 1, 0, right, 0);
    for (const timeline::TimeMark& mark : axis.marks) {
        painter.setPen(QPen(kFrame, 1));
        painter.drawLine(mark.x, 0, mark.x, 5);
        painter.setPen(kText);
        const QString orbit = ToQt(mark.orbitText);
        const int orbitWidth = metrics.horizontalAdvance(orbit);
        painter.drawText(
            QPoint(std::clamp(mark.x - orbitWidth / 2, 0, std::max(0, axis.width - orbitWidth)), 6 + metrics.ascent()),
            orbit);
    }

    // The first and the last date of the view stand at its ends; between them, the dates of
    // the days that begin in view and the calendar's dates under its marks, where they have room.
    std::vector<QString> texts;
    std::vector<timeline::LabelSpan> spans;
    // Each label at `anchor` less `share` of its width; the ends moved in to be seen whole.
    const auto add = [&](const std::string& text, int anchor, double share, bool end) {
        texts.push_back(ToQt(text));
        const int width = metrics.horizontalAdvance(texts.back());
        int left = anchor - static_cast<int>(std::lround(share * width));
        if (end) left = std::clamp(left, 0, std::max(0, axis.width - width));
        spans.push_back({left, width});
    };
    if (!axis.firstDate.empty()) add(axis.firstDate, kValueAxisWidth, 0, true);
    if (!axis.lastDate.empty() && axis.lastDate != axis.firstDate) add(axis.lastDate, right, 1, true);
    for (const timeline::DayStartMark& day : axis.dayStarts) add(day.text, day.x, 0, false);
    for (const timeline::TimeMark& mark : axis.marks)
        if (!mark.dateText.empty()) add(mark.dateText, mark.x, 0.5, false);
    constexpr int kGap = 8;
    const int baseline = 8 + metrics.height() + metrics.ascent();
    painter.setPen(kText);
    for (const size_t i : timeline::LabelsWithRoom(spans, axis.width, kGap))
        painter.drawText(QPoint(spans[i].left, baseline), texts[i]);
    painter.restore();
}

void PaintTimeLine(QPainter& painter, const timeline::TimeLinePicture& picture) {
    painter.fillRect(QRect(0, 0, picture.width, picture.Height()), kBackground);
    int y = 0;
    for (const timeline::PlotPicture& plot : picture.plots) {
        painter.save();
        painter.translate(0, y);
        PaintPlotHeader(painter, plot);
        painter.translate(0, timeline::HeaderHeight(plot));
        PaintPlot(painter, plot);
        painter.restore();
        y += timeline::HeaderHeight(plot) + plot.height;
    }
    painter.save();
    painter.translate(0, y);
    PaintAxis(painter, picture.axis);
    painter.restore();
}

}  // namespace kelvarox
