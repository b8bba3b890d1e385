#include "render/FoldPainter.h"

#include <QFontMetrics>
#include <QImage>
#include <QVector>
#include <array>
#include <cmath>

#include "render/TextCodec.h"
#include "render/TimeLinePainter.h"

namespace kelvarox {

using namespace timeline::foldlayout;

namespace {

const QColor kText(Qt::black);
const QColor kFrame(150, 150, 150);
const QColor kGrid(225, 225, 225);
const QColor kEmpty(242, 242, 242);  // a heat-map cell without samples
const QColor kBand(0, 0, 0, 48);
const QColor kMedian(0, 0, 0);

QRgb RgbOf(const timeline::Colour& c) { return qRgb(c.r, c.g, c.b); }
QRect RectOf(const timeline::PixelRect& r) { return QRect(r.x, r.y, r.width, r.height); }

void PaintHeader(QPainter& painter, const timeline::FoldPicture& picture) {
    const QRect line(4, 0, picture.width - 4 - kMargin, kHeaderHeight);
    QFont bold = TimeLineFont();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(kText);
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, ToQt(picture.title));
    painter.setFont(TimeLineFont());
    painter.drawText(line, Qt::AlignRight | Qt::AlignVCenter, ToQt(picture.subtitle));
}

// The MA numbers under an area, and the marks on its lower edge.
void PaintMAAxis(QPainter& painter, const timeline::FoldPicture& picture, const QRect& area) {
    const QFontMetrics metrics(painter.font());
    for (const timeline::AxisMark& mark : picture.maMarks) {
        painter.setPen(kFrame);
        painter.drawLine(mark.at, area.bottom() + 1, mark.at, area.bottom() + 4);
        painter.setPen(kText);
        const QString text = ToQt(mark.text);
        painter.drawText(QPoint(mark.at - metrics.horizontalAdvance(text) / 2, area.bottom() + 5 + metrics.ascent()),
                         text);
    }
    painter.drawText(
        QPoint(area.left() - 8 - metrics.horizontalAdvance(QStringLiteral("MA")), area.bottom() + 5 + metrics.ascent()),
        QStringLiteral("MA"));
}

// Labels right-aligned left of x, each centred on its y.
void PaintLabelsLeftOf(QPainter& painter, int x, const std::vector<timeline::AxisMark>& marks) {
    const QFontMetrics metrics(painter.font());
    for (const timeline::AxisMark& mark : marks) {
        painter.setPen(kFrame);
        painter.drawLine(x - 4, mark.at, x - 1, mark.at);
        painter.setPen(kText);
        const QString text = ToQt(mark.text);
        painter.drawText(QPoint(x - 7 - metrics.horizontalAdvance(text), mark.at + metrics.ascent() / 2 - 1), text);
    }
}

void PaintLines(QPainter& painter, const timeline::FoldPicture& picture) {
    const QRect area = RectOf(picture.lines);
    painter.setPen(kGrid);
    for (const timeline::AxisMark& level : picture.levels)
        painter.drawLine(area.left(), level.at, area.right(), level.at);
    for (const timeline::AxisMark& mark : picture.maMarks)
        painter.drawLine(mark.at, area.top(), mark.at, area.bottom());
    if (!picture.lineCells.empty()) {
        std::array<QRgb, 256> ages;
        for (size_t a = 0; a < ages.size(); ++a) ages[a] = RgbOf(timeline::AgeColour(a / 255.0));
        QImage image(area.size(), QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        for (int y = 0; y < area.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < area.width(); ++x) {
                const uint32_t cell = picture.lineCells[static_cast<size_t>(y) * area.width() + x];
                if (cell != 0) row[x] = ages[picture.pieceAges[cell - 1]];
            }
        }
        painter.drawImage(area.topLeft(), image);
    }
    painter.setPen(Qt::NoPen);
    for (const timeline::BandPixels& b : picture.band)
        painter.fillRect(QRect(QPoint(b.x0, b.top), QPoint(b.x1 - 1, b.bottom)), kBand);
    QVector<QLine> median;
    for (size_t k = 0; k < picture.band.size(); ++k) {
        const timeline::BandPixels& b = picture.band[k];
        if (k > 0 && picture.band[k - 1].x1 == b.x0)
            median.push_back(QLine(b.x0, picture.band[k - 1].median, b.x0, b.median));
        median.push_back(QLine(b.x0, b.median, b.x1, b.median));
    }
    painter.setClipRect(area);
    painter.setPen(QPen(kMedian, 2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.drawLines(median);
    painter.setClipping(false);
    painter.setPen(kFrame);
    painter.drawRect(area.adjusted(-1, -1, 0, 0));
    PaintLabelsLeftOf(painter, area.left(), picture.levels);
    PaintMAAxis(painter, picture, area);
}

void PaintHeat(QPainter& painter, const timeline::FoldPicture& picture) {
    const QRect area = RectOf(picture.heat);
    const double low = picture.range.low, span = picture.range.high - picture.range.low;
    if (picture.heatRows > 0 && picture.heatColumns > 0) {
        QImage image(picture.heatColumns, picture.heatRows, QImage::Format_RGB32);
        for (int y = 0; y < picture.heatRows; ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < picture.heatColumns; ++x) {
                const float value = picture.heatCells[static_cast<size_t>(y) * picture.heatColumns + x];
                row[x] = std::isnan(value) ? kEmpty.rgb() : RgbOf(timeline::HeatColour((value - low) / span));
            }
        }
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(area, image);
    }
    painter.setPen(kFrame);
    painter.drawRect(area.adjusted(-1, -1, 0, 0));
    PaintLabelsLeftOf(painter, area.left(), picture.orbitMarks);
    painter.setPen(kText);
    painter.drawText(QPoint(4, area.top() - 4), QStringLiteral("Orbit"));
    PaintMAAxis(painter, picture, area);

    // The colour scale, the range's high end at the top, its levels to the right.
    const QRect bar = RectOf(picture.scale);
    for (int y = 0; y < bar.height(); ++y) {
        const double share = bar.height() > 1 ? 1.0 - static_cast<double>(y) / (bar.height() - 1) : 1.0;
        painter.setPen(QColor::fromRgb(RgbOf(timeline::HeatColour(share))));
        painter.drawLine(bar.left(), bar.top() + y, bar.right(), bar.top() + y);
    }
    painter.setPen(kFrame);
    painter.drawRect(bar.adjusted(-1, -1, 0, 0));
    const QFontMetrics metrics(painter.font());
    for (const timeline::AxisMark& level : picture.scaleLevels) {
        painter.setPen(kFrame);
        painter.drawLine(bar.right() + 1, level.at, bar.right() + 4, level.at);
        painter.setPen(kText);
        painter.drawText(QPoint(bar.right() + 7, level.at + metrics.ascent() / 2 - 1), ToQt(level.text));
    }
}

}  // namespace

void PaintFold(QPainter& painter, const timeline::FoldPicture& picture) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRect(0, 0, picture.width, picture.height), Qt::white);
    PaintHeader(painter, picture);
    painter.setFont(TimeLineFont());
    PaintLines(painter, picture);
    PaintHeat(painter, picture);
    painter.restore();
}

}  // namespace kelvarox
