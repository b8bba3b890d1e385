#include "timeline/FoldPicture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

#include "core/CsvText.h"
#include "timeline/ValueScale.h"

namespace kelvarox::timeline {

using namespace foldlayout;

archive::OrbitRange OrbitsInView(const TimeRange& view) {
    const double last = std::ceil(view.right) - 1;
    return {static_cast<int64_t>(std::floor(view.left)), static_cast<int64_t>(std::max(std::floor(view.left), last))};
}

void FoldSamples::AddBlock(std::string file) {
    files_.push_back(std::move(file));
    newBlock_ = true;
}

void FoldSamples::Add(int64_t orbit, int32_t ma, float value) {
    if (ma < 0 || ma > 255 || !std::isfinite(value)) return;
    if (files_.empty()) AddBlock(std::string());
    if (newBlock_ || pieces_.empty() || pieces_.back().orbit != orbit)
        pieces_.push_back({orbit, static_cast<uint32_t>(files_.size() - 1), 0, values_.size()});
    newBlock_ = false;
    ++pieces_.back().count;
    mas_.push_back(static_cast<uint8_t>(ma));
    values_.push_back(value);
}

void FoldSamples::Append(const FoldSamples& more) {
    const auto files = static_cast<uint32_t>(files_.size());
    const size_t samples = values_.size();
    files_.insert(files_.end(), more.files_.begin(), more.files_.end());
    for (FoldPiece piece : more.pieces_) {
        piece.file += files;
        piece.first += samples;
        pieces_.push_back(piece);
    }
    mas_.insert(mas_.end(), more.mas_.begin(), more.mas_.end());
    values_.insert(values_.end(), more.values_.begin(), more.values_.end());
    newBlock_ = true;  // a piece goes on only within one batch
}

std::optional<std::pair<int64_t, int64_t>> FoldSamples::Orbits() const {
    if (pieces_.empty()) return std::nullopt;
    const auto [low, high] = std::minmax_element(
        pieces_.begin(), pieces_.end(), [](const FoldPiece& a, const FoldPiece& b) { return a.orbit < b.orbit; });
    return std::pair(low->orbit, high->orbit);
}

std::optional<ValueRange> FoldSamples::Values() const {
    if (values_.empty()) return std::nullopt;
    const auto [low, high] = std::minmax_element(values_.begin(), values_.end());
    return ValueRange{*low, *high};
}

namespace {

Colour Blend(const Colour& a, const Colour& b, double share) {
    const auto mix = [&](uint8_t x, uint8_t y) { return static_cast<uint8_t>(std::lround(x + (y - x) * share)); };
    return {mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b)};
}

// The x within an area `width` wide of the left edge of MA `ma` (0 to 256).
int32_t XOfMA(double ma, int width) { return static_cast<int32_t>(std::floor(ma * width / kMAPerOrbit)); }

int32_t MAOfX(int32_t x, int width) {
    return std::clamp(static_cast<int32_t>(std::floor(x * kMAPerOrbit / std::max(width, 1))), 0, 255);
}

// The lines of the pieces, oldest orbit first so that newer lines lie on top.
void RasterLines(FoldPicture& picture, const FoldSamples& samples) {
    const PixelRect& area = picture.lines;
    picture.lineCells.assign(static_cast<size_t>(area.width) * static_cast<size_t>(area.height), 0);
    std::vector<size_t> order(samples.PieceCount());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return samples.Piece(a).orbit < samples.Piece(b).orbit; });
    const auto row = [&](float value) {
        return std::clamp(RowOf(value, picture.range, area.height), 0, area.height - 1);
    };
    for (const size_t p : order) {
        const FoldPiece& piece = samples.Piece(p);
        const auto mark = static_cast<uint32_t>(p + 1);
        const auto fill = [&](int32_t x, double y0, double y1) {
            if (y0 > y1) std::swap(y0, y1);
            const auto top = static_cast<int32_t>(std::lround(y0)), bottom = static_cast<int32_t>(std::lround(y1));
            for (int32_t y = top; y <= bottom; ++y)
                picture.lineCells[static_cast<size_t>(y) * static_cast<size_t>(area.width) + static_cast<size_t>(x)] =
                    mark;
        };
        int32_t xa = 0, ya = 0;
        for (size_t i = piece.first; i < piece.first + piece.count; ++i) {
            const int32_t xb = std::min(XOfMA(samples.MA(i), area.width), area.width - 1);
            const int32_t yb = row(samples.Value(i));
            if (i == piece.first || xb <= xa) {
                fill(xb, i == piece.first ? yb : ya, yb);
            } else {
                // A straight line: each column spans the rows the line crosses in it.
                const double slope = static_cast<double>(yb - ya) / (xb - xa);
                for (int32_t x = xa; x < xb; ++x) fill(x, ya + slope * (x - xa), ya + slope * (x + 1 - xa));
                fill(xb, yb, yb);
            }
            xa = xb;
            ya = yb;
        }
    }
}

// The heat map: each cell the mean of the values over it, a sample holding its value from the
// sample before it in its orbit and block up to its own MA, as the time line draws it; between
// two blocks of one orbit the cells stay empty.
void ComposeHeat(FoldPicture& picture, const FoldSamples& samples) {
    const PixelRect& area = picture.heat;
    const int64_t span = picture.lastOrbit - picture.firstOrbit + 1;
    picture.heatRows = static_cast<int>(std::min<int64_t>(span, area.height));
    picture.heatColumns = 1;
    while (picture.heatColumns * 2 <= std::min(256, area.width)) picture.heatColumns *= 2;
    picture.orbitsPerRow = static_cast<double>(span) / picture.heatRows;
    const size_t cells = static_cast<size_t>(picture.heatRows) * static_cast<size_t>(picture.heatColumns);
    std::vector<double> sums(cells, 0);
    std::vector<int64_t> counts(cells, 0);
    const auto column = [&](int32_t ma) { return ma * picture.heatColumns / 256; };
    for (size_t p = 0; p < samples.PieceCount(); ++p) {
        const FoldPiece& piece = samples.Piece(p);
        const auto row = std::min<int64_t>(
            picture.heatRows - 1,
            static_cast<int64_t>(static_cast<double>(piece.orbit - picture.firstOrbit) / picture.orbitsPerRow));
        int32_t after = -1;  // the column of the sample before
        for (size_t i = piece.first; i < piece.first + piece.count; ++i) {
            const int32_t c = column(samples.MA(i));
            for (int32_t k = after < 0 ? c : std::min(after + 1, c); k <= c; ++k) {
                const size_t cell = static_cast<size_t>(row) * static_cast<size_t>(picture.heatColumns) + k;
                sums[cell] += samples.Value(i);
                ++counts[cell];
            }
            after = c;
        }
    }
    picture.heatCells.resize(cells);
    for (size_t i = 0; i < cells; ++i)
        picture.heatCells[i] = counts[i] ? static_cast<float>(sums[i] / static_cast<double>(counts[i])) : NAN;
}

std::string OrbitsText(int64_t orbits, int64_t first, int64_t last) {
    if (orbits == 1) return "1 orbit: " + std::to_string(first);
    return std::to_string(orbits) + " orbits from " + std::to_string(first) + " to " + std::to_string(last);
}

}  // namespace

Colour AgeColour(double share) {
    return Blend({60, 110, 220}, {225, 70, 40}, std::clamp(std::isnan(share) ? 0.0 : share, 0.0, 1.0));
}

Colour HeatColour(double share) {
    static constexpr std::array<Colour, 5> kStops = {
        {{35, 35, 140}, {30, 140, 200}, {80, 185, 90}, {240, 210, 40}, {200, 30, 30}}};
    const double at = std::clamp(std::isnan(share) ? 0.0 : share, 0.0, 1.0) * (kStops.size() - 1);
    const auto below = std::min(static_cast<size_t>(at), kStops.size() - 2);
    return Blend(kStops[below], kStops[below + 1], at - static_cast<double>(below));
}

FoldPicture ComposeFold(const FoldSamples& samples, const std::vector<FoldBin>& bins, int binCount, std::string title,
                        int width, int height) {
    FoldPicture picture;
    picture.width = width;
    picture.height = height;
    picture.title = std::move(title);
    const int areaWidth = std::max(1, width - kLeft - kRight);
    const int parts = std::max(2, height - kHeaderHeight - 2 * (kMargin + kAxisHeight));
    picture.lines = {kLeft, kHeaderHeight + kMargin, areaWidth, parts / 2};
    picture.heat = {kLeft, picture.lines.y + picture.lines.height + kAxisHeight + kMargin, areaWidth,
                    parts - parts / 2};
    picture.scale = {picture.heat.x + areaWidth + 12, picture.heat.y, kScaleWidth, picture.heat.height};
    for (int ma = 0; ma <= 256; ma += kMAStep)
        picture.maMarks.push_back({kLeft + XOfMA(ma, areaWidth), std::to_string(ma)});

    const auto orbits = samples.Orbits();
    const auto values = samples.Values();
    if (!orbits || !values) return picture;
    picture.firstOrbit = orbits->first;
    picture.lastOrbit = orbits->second;
    std::vector<int64_t> distinct;
    for (size_t p = 0; p < samples.PieceCount(); ++p) distinct.push_back(samples.Piece(p).orbit);
    std::sort(distinct.begin(), distinct.end());
    const auto count = std::unique(distinct.begin(), distinct.end()) - distinct.begin();
    picture.subtitle = OrbitsText(count, picture.firstOrbit, picture.lastOrbit);

    const ValueScale scale = RoundedScale(values->low, values->high);
    picture.range = scale.range;
    const auto rowIn = [&](const PixelRect& area, double value) {
        return area.y + RowOf(value, picture.range, area.height);
    };
    for (const ValueLevel& level : scale.levels) {
        picture.levels.push_back({rowIn(picture.lines, level.value), level.text});
        picture.scaleLevels.push_back({rowIn(picture.scale, level.value), level.text});
    }

    RasterLines(picture, samples);
    const double span = static_cast<double>(picture.lastOrbit - picture.firstOrbit);
    picture.pieceAges.reserve(samples.PieceCount());
    for (size_t p = 0; p < samples.PieceCount(); ++p) {
        const double age = span > 0 ? static_cast<double>(samples.Piece(p).orbit - picture.firstOrbit) / span : 1.0;
        picture.pieceAges.push_back(static_cast<uint8_t>(std::lround(age * 255)));
    }
    const double binWidth = kMAPerOrbit / std::clamp(binCount, 1, 256);
    for (const FoldBin& bin : bins) {
        picture.band.push_back({kLeft + XOfMA(bin.lowerMA, areaWidth), kLeft + XOfMA(bin.lowerMA + binWidth, areaWidth),
                                rowIn(picture.lines, bin.p95), rowIn(picture.lines, bin.p05),
                                rowIn(picture.lines, bin.median)});
    }

    ComposeHeat(picture, samples);
    // Up to five orbits named down the heat map's left side, the first and the last among them.
    int64_t named = -1;
    for (int i = 0; i <= 4; ++i) {
        const int64_t orbit = picture.firstOrbit + static_cast<int64_t>(std::llround(span * i / 4));
        if (orbit == named) continue;
        named = orbit;
        const double row = std::floor(static_cast<double>(orbit - picture.firstOrbit) / picture.orbitsPerRow);
        picture.orbitMarks.push_back(
            {picture.heat.y + static_cast<int32_t>((std::min(row, picture.heatRows - 1.0) + 0.5) * picture.heat.height /
                                                   picture.heatRows),
             std::to_string(orbit)});
    }
    return picture;
}

namespace {

// The sample of `piece` whose MA is nearest to `ma`.
FoldHit SampleNear(const FoldSamples& samples, const FoldPiece& piece, int32_t ma) {
    size_t best = piece.first;
    for (size_t i = piece.first; i < piece.first + piece.count; ++i)
        if (std::abs(samples.MA(i) - ma) < std::abs(samples.MA(best) - ma)) best = i;
    return {piece.orbit, samples.MA(best), samples.Value(best), samples.File(piece)};
}

}  // namespace

std::optional<FoldHit> FoldHitAt(const FoldPicture& picture, const FoldSamples& samples, int x, int y) {
    if (picture.lineCells.empty() || samples.PieceCount() == 0) return std::nullopt;
    const PixelRect& lines = picture.lines;
    if (lines.Contains(x, y)) {
        // The line nearest to the mouse within reach, the newer of two as near.
        uint32_t found = 0;
        int nearest = INT32_MAX;
        for (int dy = -kHoverReach; dy <= kHoverReach; ++dy) {
            for (int dx = -kHoverReach; dx <= kHoverReach; ++dx) {
                if (!lines.Contains(x + dx, y + dy)) continue;
                const uint32_t cell = picture.lineCells[static_cast<size_t>(y + dy - lines.y) * lines.width +
                                                        static_cast<size_t>(x + dx - lines.x)];
                const int distance = dx * dx + dy * dy;
                if (cell == 0 || distance > nearest) continue;
                if (distance < nearest || samples.Piece(cell - 1).orbit > samples.Piece(found - 1).orbit) found = cell;
                nearest = distance;
            }
        }
        if (found == 0) return std::nullopt;
        return SampleNear(samples, samples.Piece(found - 1), MAOfX(x - lines.x, lines.width));
    }
    const PixelRect& heat = picture.heat;
    if (!heat.Contains(x, y)) return std::nullopt;
    // The orbits of the row under the mouse; of their samples, the one nearest to its MA.
    const int row = (y - heat.y) * picture.heatRows / heat.height;
    const auto first = picture.firstOrbit + static_cast<int64_t>(std::ceil(row * picture.orbitsPerRow));
    const auto last =
        std::max(first, picture.firstOrbit + static_cast<int64_t>(std::ceil((row + 1) * picture.orbitsPerRow)) - 1);
    const int32_t ma = MAOfX(x - heat.x, heat.width);
    std::optional<FoldHit> hit;
    for (size_t p = 0; p < samples.PieceCount(); ++p) {
        const FoldPiece& piece = samples.Piece(p);
        if (piece.orbit < first || piece.orbit > last) continue;
        const FoldHit near = SampleNear(samples, piece, ma);
        if (!hit || std::abs(near.ma - ma) < std::abs(hit->ma - ma)) hit = near;
    }
    return hit;
}

std::string FoldHitText(const FoldHit& hit) {
    std::string text = "Orbit " + std::to_string(hit.orbit) + "  MA " + std::to_string(hit.ma) + "  Value ";
    AppendShortestFloat(text, hit.value);
    return text + "  File " + hit.file;
}

}  // namespace kelvarox::timeline
