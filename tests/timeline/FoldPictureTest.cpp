// The picture of folded orbits: the lines and bins at both ends of the MA axis, the band of
// hand-checked percentiles, the heat map's cells, and what the mouse points at.
#include "timeline/FoldPicture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace kelvarox::timeline {
namespace {

constexpr int kWidth = 72 + 512 + 84;  // 512 pixels to the orbit: two a MA

struct Folded {
    FoldSamples samples;
    FoldStatistics statistics{64};
    void Add(int64_t orbit, int32_t ma, float value) {
        samples.Add(orbit, ma, value);
        statistics.Add(ma, value);
    }
    FoldPicture Compose() { return ComposeFold(samples, statistics.Bins(), 64, "#140", kWidth, 400); }
};

uint32_t CellAt(const FoldPicture& p, int x, int y) {
    return p.lineCells[static_cast<size_t>(y - p.lines.y) * p.lines.width + static_cast<size_t>(x - p.lines.x)];
}

TEST(FoldPicture, LinesAndBinsReachBothEndsOfTheOrbit) {
    Folded f;
    f.samples.AddBlock("a.dat");
    for (int v = 1; v <= 20; ++v) f.Add(100 + v, 0, static_cast<float>(v));  // twenty orbits at MA 0
    f.samples.AddBlock("b.dat");
    f.Add(120, 255, 20);
    const FoldPicture p = f.Compose();
    ASSERT_EQ(p.lines.width, 512);
    EXPECT_EQ(p.subtitle, "20 orbits from 101 to 120");
    // The newest orbit at MA 0 (value 20) and at MA 255 in the first and the last column.
    const int top = p.lines.y + RowOf(20, p.range, p.lines.height);
    EXPECT_EQ(CellAt(p, p.lines.x, top), 20u);
    EXPECT_EQ(CellAt(p, p.lines.x + 510, top), 21u);
    // The bins: MA 0 to 4 at the left edge and 252 to 256 at the right edge; in the first,
    // of the values 1 to 20, p05 is rank 1, the median rank 10 and p95 rank 19.
    ASSERT_EQ(p.band.size(), 2u);
    const auto row = [&](float v) { return p.lines.y + RowOf(v, p.range, p.lines.height); };
    EXPECT_EQ(p.band[0], (BandPixels{p.lines.x, p.lines.x + 8, row(19), row(1), row(10)}));
    EXPECT_EQ(p.band[1], (BandPixels{p.lines.x + 504, p.lines.x + 512, row(20), row(20), row(20)}));
    EXPECT_EQ(p.pieceAges.front(), 0);
    EXPECT_EQ(p.pieceAges.back(), 255);
}

TEST(FoldPicture, HeatCellsHoldEachSampleBackToTheOneBeforeItInItsBlock) {
    Folded f;
    f.samples.AddBlock("a.dat");
    f.Add(7, 0, 1);
    f.Add(7, 128, 3);
    f.samples.AddBlock("b.dat");  // the rest of orbit 7 from another block, after a gap
    f.Add(7, 192, 5);
    f.Add(9, 64, 2);
    const FoldPicture p = f.Compose();
    ASSERT_EQ(p.heatRows, 3);  // orbits 7 to 9, orbit 8 empty
    ASSERT_EQ(p.heatColumns, 256);
    const auto cell = [&](int row, int ma) { return p.heatCells[static_cast<size_t>(row) * 256 + ma]; };
    const struct {
        int row, ma;
        float value;
    } cases[] = {{0, 0, 1}, {0, 1, 3}, {0, 128, 3}, {0, 192, 5}, {2, 64, 2}};
    for (const auto& c : cases) EXPECT_EQ(cell(c.row, c.ma), c.value) << c.row << " " << c.ma;
    for (const auto& [row, ma] : {std::pair{0, 129}, {0, 191}, {0, 193}, {1, 64}, {2, 63}, {2, 65}})
        EXPECT_TRUE(std::isnan(cell(row, ma)));
}

TEST(FoldPicture, TheMouseNamesTheOrbitMAValueAndFile) {
    Folded f;
    f.samples.AddBlock("old.dat");
    for (int ma = 0; ma < 256; ma += 16) f.Add(30, ma, 10);
    f.samples.AddBlock("new.dat");
    for (int ma = 0; ma < 256; ma += 16) f.Add(31, ma, static_cast<float>(ma));
    const FoldPicture p = f.Compose();
    const int y10 = p.lines.y + RowOf(10, p.range, p.lines.height);
    // On the old flat line at MA 160, two pixels off it; on the new line at MA 192.
    const struct {
        int x, y;
        std::optional<FoldHit> hit;
    } cases[] = {
        {p.lines.x + 320, y10 + 2, FoldHit{30, 160, 10, "old.dat"}},
        {p.lines.x + 384, p.lines.y + RowOf(192, p.range, p.lines.height), FoldHit{31, 192, 192, "new.dat"}},
        {p.lines.x + 320, p.lines.y + p.lines.height - 1, std::nullopt},
        {p.heat.x + 66, p.heat.y + 1, FoldHit{30, 32, 10, "old.dat"}},
        {p.heat.x + 66, p.heat.y + p.heat.height - 1, FoldHit{31, 32, 32, "new.dat"}},
        {0, 0, std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(FoldHitAt(p, f.samples, c.x, c.y), c.hit) << c.x << " " << c.y;
    EXPECT_EQ(FoldHitText({31, 16, 2.5f, "new.dat"}), "Orbit 31  MA 16  Value 2.5  File new.dat");
}

TEST(FoldPicture, BatchesAppendedKeepEachSampleWithItsOrbitAndFile) {
    // Orbit 5 runs on from one block into the next batch's first block: two pieces.
    FoldSamples first, second, together;
    for (FoldSamples* s : {&first, &together}) {
        s->AddBlock("a.dat");
        s->Add(4, 250, 1);
        s->Add(5, 0, 2);
        s->Add(5, 300, 9);  // no MA: left out
    }
    for (FoldSamples* s : {&second, &together}) {
        s->AddBlock("b.dat");
        s->Add(5, 4, NAN);  // no number: left out
        s->Add(5, 8, 3);
    }
    first.Append(second);
    for (const FoldSamples* s : {&first, &together}) {
        ASSERT_EQ(s->PieceCount(), 3u);
        const FoldPiece& last = s->Piece(2);
        EXPECT_EQ((std::tuple{last.orbit, last.count, s->File(last), s->MA(last.first), s->Value(last.first)}),
                  (std::tuple{int64_t{5}, 1u, std::string("b.dat"), 8, 3.0f}));
        EXPECT_EQ(s->File(s->Piece(1)), "a.dat");
        EXPECT_EQ(s->Orbits(), (std::pair<int64_t, int64_t>{4, 5}));
    }
}

TEST(FoldPicture, TheOrbitsOfAViewAreThoseItShowsAPartOf) {
    const struct {
        TimeRange view;
        int64_t from, to;
    } cases[] = {{{16, 18}, 16, 17}, {{15.9, 18.01}, 15, 18}, {{-1.5, -0.5}, -2, -1}, {{7.25, 7.5}, 7, 7}};
    for (const auto& c : cases) {
        const archive::OrbitRange orbits = OrbitsInView(c.view);
        EXPECT_EQ(std::pair(*orbits.from, *orbits.to), std::pair(c.from, c.to)) << c.view.left << " " << c.view.right;
    }
}

}  // namespace
}  // namespace kelvarox::timeline
