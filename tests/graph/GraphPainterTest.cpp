#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <set>

#include "GraphFixtures.h"
#include "core/GraphPicture.h"
#include "render/GraphPainter.h"
#include "render/GraphScene.h"

using namespace kelvarox;
using namespace kelvarox::testing;

namespace {

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kGreyPixel = qRgb(128, 128, 128);
const QRgb kBlackPixel = qRgb(0, 0, 0);

QImage Canvas() {
    QImage image(graph::kImageWidth, graph::kImageHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

GraphPicture PictureOf(const std::vector<uint8_t>& samples) {
    BlockState state = StateWithSamples(samples);
    return *BuildGraphPicture(state, IdentityBoxes());
}

void Paint(QImage& image, const GraphPicture& picture, std::vector<std::string>* others = nullptr) {
    QPainter painter(&image);
    GraphStepPainter canvas(painter);
    for (const DrawStep& step : picture.steps) {
        if (!canvas.Paint(step) && others) others->push_back(DescribeStep(step));
    }
}

// How many pixels of `colour` the column x has between y0 and y1.
int CountInColumn(const QImage& image, int x, int y0, int y1, QRgb colour) {
    int n = 0;
    for (int y = y0; y <= y1; ++y) n += image.pixel(x, y) == colour;
    return n;
}

// How many pixels of the rectangle are darker than mid-grey.
int DarkIn(const QImage& image, const QRect& r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += qGray(image.pixel(x, y)) < 128;
    return n;
}

}  // namespace

TEST(GraphPainter, PaintsAxesTicksMarksAndTrace) {
    QImage image = Canvas();
    std::vector<std::string> others;
    Paint(image, PictureOf({4, 16, 10, 7}), &others);

    EXPECT_EQ(image.pixel(0, 0), kWhite);
    EXPECT_EQ(image.pixel(705, 367), kWhite);
    // Axes and ticks of width 2, grey.
    EXPECT_EQ(image.pixel(300, 312), kGreyPixel);
    EXPECT_EQ(image.pixel(705, 312), kGreyPixel);  // the orbit axis runs on past the edge
    EXPECT_EQ(CountInColumn(image, 300, 305, 319, kGreyPixel), 2);
    EXPECT_EQ(image.pixel(54, 200), kGreyPixel);
    EXPECT_EQ(image.pixel(45, 103), kGreyPixel);
    EXPECT_EQ(image.pixel(45, 242), kGreyPixel);
    // Mark lines of width 1 from 322 up to 30: MA 128 at x 468.
    EXPECT_EQ(image.pixel(468, 30), kGreyPixel);
    EXPECT_EQ(image.pixel(468, 100), kGreyPixel);
    EXPECT_EQ(image.pixel(468, 29), kWhite);
    EXPECT_EQ(image.pixel(467, 100), kWhite);
    // The trace, width 1, black over the grey mark lines.
    EXPECT_EQ(image.pixel(150, 33), kBlackPixel);
    EXPECT_EQ(CountInColumn(image, 150, 26, 40, kBlackPixel), 1);
    EXPECT_EQ(image.pixel(55, 200), kBlackPixel);   // from sample 0 up to sample 1
    EXPECT_EQ(image.pixel(261, 100), kBlackPixel);  // down to sample 2
    EXPECT_EQ(image.pixel(400, 172), kBlackPixel);
    EXPECT_EQ(image.pixel(468, 200), kBlackPixel);
    EXPECT_EQ(image.pixel(600, 242), kBlackPixel);
    EXPECT_EQ(image.pixel(600, 172), kWhite);
    // Mark labels in black below the orbit axis: "192" left of x 675.
    EXPECT_GT(CountInColumn(image, 667, 322, 340, kBlackPixel) + CountInColumn(image, 668, 322, 340, kBlackPixel) +
                  CountInColumn(image, 669, 322, 340, kBlackPixel),
              0);
    // No antialiasing: the lines leave only the three colours.
    std::set<QRgb> colours;
    for (int x = 0; x < graph::kImageWidth; ++x) colours.insert(image.pixel(x, 172));
    for (int y = 20; y < 320; ++y) colours.insert(image.pixel(261, y));
    EXPECT_EQ(colours, (std::set<QRgb>{kWhite, kGreyPixel, kBlackPixel}));

    // The labels and the show go elsewhere, in their order.
    ASSERT_EQ(others.size(), 12u);
    EXPECT_EQ(others.front(), "SetLabel Unit Deg C");
    EXPECT_EQ(others[1], "SetLabel Level4 16.0");
    EXPECT_EQ(others.back(), "ShowWindow");
}

TEST(GraphPainter, ClearRemovesTheEarlierGraph) {
    QImage image = Canvas();
    Paint(image, PictureOf({4, 16, 10, 7}));
    ASSERT_EQ(image.pixel(150, 33), kBlackPixel);
    Paint(image, PictureOf({16, 4}));
    EXPECT_EQ(image.pixel(150, 33), kWhite);
    EXPECT_EQ(image.pixel(261, 100), kWhite);
    EXPECT_EQ(image.pixel(55, 100), kBlackPixel);   // from sample 0 at the top down to sample 1
    EXPECT_EQ(image.pixel(500, 312), kBlackPixel);  // sample 1 at the bottom, over the axis
}

TEST(GraphScene, TextsTakeTheirWidthOrWrapAndAreCutOffBelowTheirPlace) {
    GraphScene scene(1.0f);
    scene.Draw(PictureOf({4, 16, 10, 7}).steps);
    scene.SetText(GraphText::Unit, "Degrees Celsius per second per day");
    const QImage image = scene.Image();
    // A date takes its text's width, far beyond the 50 pixels of the form.
    const QRect date = scene.Place(GraphText::StartDate);
    EXPECT_EQ(date.topLeft(), QPoint(88, 376));
    EXPECT_GT(date.width(), 100);
    EXPECT_GT(DarkIn(image, QRect(140, 376, date.right() - 140, 16)), 0);
    // The unit wraps within its 52 x 28 pixels: a second line, and nothing of a third below.
    EXPECT_EQ(scene.Place(GraphText::Unit), QRect(4, 131, 52, 28));
    EXPECT_GT(DarkIn(image, QRect(4, 146, 52, 13)), 0);
    EXPECT_EQ(DarkIn(image, QRect(4, 159, 52, 8)), 0);
}
