#pragma once
// The picture of a channel's orbits folded on MA, in plain data: above, every orbit as a thin
// line over one MA axis, coloured from old to new, with the median and the 5th to 95th
// percentile band of each MA bin on top; below, a heat map of orbit against MA coloured by
// value, with its colour scale. The window paints it, the files it saves are painted from it,
// and the mouse is read against it.
//
// However many orbits it folds, the picture stays the size of the screen: the lines are laid
// into a raster of pixels, each naming the newest orbit drawn through it, and the heat map has
// at most a row per pixel and a column per MA.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/Archive.h"
#include "timeline/Fold.h"
#include "timeline/TimeLinePicture.h"

namespace kelvarox::timeline {

// The orbits a fold of the time line's view takes: each one the view shows a part of.
archive::OrbitRange OrbitsInView(const TimeRange& view);

// The samples of the folded orbits as they come: in pieces, each the samples of one orbit from
// one block, in their order.
struct FoldPiece {
    int64_t orbit = 0;
    uint32_t file = 0;  // of FoldSamples::File
    uint32_t count = 0;
    size_t first = 0;
};

class FoldSamples {
public:
    // The samples that follow come from the block in `file`.
    void AddBlock(std::string file);
    // A sample at MA 0 to 255 of `orbit`; one outside those MA or that is no finite number is
    // left out.
    void Add(int64_t orbit, int32_t ma, float value);
    // The samples of `more`, which came after these.
    void Append(const FoldSamples& more);

    size_t PieceCount() const { return pieces_.size(); }
    const FoldPiece& Piece(size_t p) const { return pieces_[p]; }
    int32_t MA(size_t i) const { return mas_[i]; }
    float Value(size_t i) const { return values_[i]; }
    const std::string& File(const FoldPiece& piece) const { return files_[piece.file]; }
    size_t SampleCount() const { return values_.size(); }
    // The first and the last orbit, the least and the greatest value; nothing without samples.
    std::optional<std::pair<int64_t, int64_t>> Orbits() const;
    std::optional<ValueRange> Values() const;

private:
    std::vector<std::string> files_;
    std::vector<FoldPiece> pieces_;
    std::vector<uint8_t> mas_;
    std::vector<float> values_;
    bool newBlock_ = false;
};

struct PixelRect {
    int32_t x = 0, y = 0, width = 0, height = 0;
    bool Contains(int32_t px, int32_t py) const { return px >= x && px < x + width && py >= y && py < y + height; }
};

// A bin of the statistics over the lines: the band from the 95th (`top`) to the 5th percentile
// (`bottom`) and the median, from x0 to x1.
struct BandPixels {
    int32_t x0 = 0, x1 = 0, top = 0, bottom = 0, median = 0;
    bool operator==(const BandPixels&) const = default;
};

struct AxisMark {
    int32_t at = 0;  // x or y in the picture
    std::string text;
};

// The parts of the picture in pixels.
namespace foldlayout {
inline constexpr int kHeaderHeight = 20;
inline constexpr int kLeft = 72;        // the value and orbit labels
inline constexpr int kRight = 84;       // the colour scale and its labels
inline constexpr int kMargin = 8;       // above each part
inline constexpr int kAxisHeight = 22;  // the MA labels under each part
inline constexpr int kScaleWidth = 14;  // of the colour bar
inline constexpr int kMAStep = 32;      // between MA marks
inline constexpr int kHoverReach = 3;   // pixels about the mouse that a line is found within
}  // namespace foldlayout

struct FoldPicture {
    int width = 0;
    int height = 0;
    std::string title;
    std::string subtitle;  // "1,234 orbits from 100 to 1,333"
    int64_t firstOrbit = 0;
    int64_t lastOrbit = 0;

    PixelRect lines;  // the orbits over MA
    ValueRange range;
    std::vector<AxisMark> levels;  // y of round values
    // Per pixel of `lines`, row by row: 1 + the piece drawn last through it, 0 for none; and
    // per piece its age from 0 (the first orbit) to 255 (the last).
    std::vector<uint32_t> lineCells;
    std::vector<uint8_t> pieceAges;
    std::vector<BandPixels> band;

    PixelRect heat;  // orbit down, MA across
    int heatRows = 0;
    int heatColumns = 0;
    double orbitsPerRow = 1;
    std::vector<float> heatCells;  // row by row; NaN where no orbit has a sample
    std::vector<AxisMark> orbitMarks;
    PixelRect scale;  // the colour bar, the range's high end at the top
    std::vector<AxisMark> scaleLevels;

    std::vector<AxisMark> maMarks;  // x, the same for both parts
};

// The colours of the picture: of an orbit's line by its age (0 the oldest, 1 the newest), and
// of a heat-map cell by its value's place in the range (0 the lowest, 1 the highest).
Colour AgeColour(double share);
Colour HeatColour(double share);

// The picture of `samples`, with the `bins` (of `binCount` over MA 0 to 256) on top.
FoldPicture ComposeFold(const FoldSamples& samples, const std::vector<FoldBin>& bins, int binCount, std::string title,
                        int width, int height);

// What the mouse at (x, y) points at: an orbit's line, or a heat-map cell.
struct FoldHit {
    int64_t orbit = 0;
    int32_t ma = 0;
    float value = 0;
    std::string file;
    bool operator==(const FoldHit&) const = default;
};
std::optional<FoldHit> FoldHitAt(const FoldPicture& picture, const FoldSamples& samples, int x, int y);
// "Orbit 1234  MA 128  Value 17.61  File a.dat"
std::string FoldHitText(const FoldHit& hit);

}  // namespace kelvarox::timeline
