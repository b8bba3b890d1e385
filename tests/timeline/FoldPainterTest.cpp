// The pictures painted: each orbit's line in the colour of its age, the heat map's cells in the
// colour of their values and light grey without samples, and a plot's trend as its mean in the
// channel's colour over a lighter band.
#include "render/FoldPainter.h"

#include <gtest/gtest.h>

#include <QImage>

#include "render/TimeLinePainter.h"

namespace kelvarox {
namespace {

using namespace timeline;

QImage Painted(int width, int height, const std::function<void(QPainter&)>& paint) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    paint(painter);
    return image;
}

QRgb Rgb(const Colour& c) { return qRgb(c.r, c.g, c.b); }

TEST(FoldPainter, LinesByAgeAndCellsByValue) {
    // Orbit 10 flat at 20 over MA 0 to 64, then down to 0 at MA 248; orbit 12 flat at 80 over MA
    // 128 to 192, then up to 100 at MA 248.
    FoldSamples samples;
    samples.AddBlock("a.dat");
    for (int ma = 0; ma <= 64; ma += 8) samples.Add(10, ma, 20);
    samples.Add(10, 248, 0);
    for (int ma = 128; ma <= 192; ma += 8) samples.Add(12, ma, 80);
    samples.Add(12, 248, 100);
    const FoldPicture p = ComposeFold(samples, {}, 64, "#140", 72 + 512 + 84, 400);
    const QImage image = Painted(p.width, p.height, [&](QPainter& painter) { PaintFold(painter, p); });
    const auto lineY = [&](float v) { return p.lines.y + RowOf(v, p.range, p.lines.height); };
    const auto heatY = [&](int row) { return p.heat.y + (2 * row + 1) * p.heat.height / (2 * p.heatRows); };
    const auto share = [&](float v) { return (v - p.range.low) / (p.range.high - p.range.low); };
    const struct {
        int x, y;
        QRgb rgb;
    } cases[] = {
        {p.lines.x + 64, lineY(20), Rgb(AgeColour(0))},
        {p.lines.x + 320, lineY(80), Rgb(AgeColour(1))},
        {p.lines.x + 330, lineY(20) - 3, qRgb(255, 255, 255)},
        {p.heat.x + 64, heatY(0), Rgb(HeatColour(share(20)))},
        {p.heat.x + 320, heatY(2), Rgb(HeatColour(share(80)))},
        {p.heat.x + 320, heatY(1), qRgb(242, 242, 242)},        // orbit 11: no samples
        {p.heat.x + 320, heatY(0), Rgb(HeatColour(share(0)))},  // held back from MA 248
        {p.heat.x + 200, heatY(2), qRgb(242, 242, 242)},        // before orbit 12's first sample
    };
    for (const auto& c : cases) EXPECT_EQ(image.pixel(c.x, c.y), c.rgb) << c.x << " " << c.y;
}

TEST(FoldPainter, TheTrendIsTheMeanInTheChannelsColourOverALighterBand) {
    PlotPicture plot;
    plot.width = 200;
    plot.height = 100;
    plot.colour = {0, 0, 170};
    plot.trend = {{100, 50, 20, 80}, {101, 52, 20, 80}};
    const QImage image = Painted(plot.width, plot.height, [&](QPainter& painter) { PaintPlot(painter, plot); });
    EXPECT_EQ(image.pixel(100, 50), qRgb(0, 0, 170));
    EXPECT_EQ(image.pixel(100, 25), qRgb(192, 192, 234));
    EXPECT_EQ(image.pixel(102, 25), qRgb(255, 255, 255));
}

}  // namespace
}  // namespace kelvarox
