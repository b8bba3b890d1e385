#include "archive/OrbitPlacement.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <tuple>

namespace kelvarox::archive {

namespace {

int64_t ForwardBytes(int64_t from, int64_t to) { return ((to - from) % 256 + 256) % 256; }

// The orbit byte after the widest circular gap between the bytes of one day: where that
// day's sequence starts when nothing before it is placed.
int32_t StartAfterWidestGap(std::vector<int32_t> bytes) {
    std::sort(bytes.begin(), bytes.end());
    bytes.erase(std::unique(bytes.begin(), bytes.end()), bytes.end());
    size_t widest = 0;
    int64_t widestGap = -1;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const int64_t next = bytes[(i + 1) % bytes.size()];
        const int64_t gap = bytes.size() == 1 ? 256 : ForwardBytes(bytes[i], next);
        if (gap > widestGap) {
            widestGap = gap;
            widest = i;
        }
    }
    return bytes[(widest + 1) % bytes.size()];
}

// The orbit of a block `days` after the block at `previous`, with low byte `byte`.
PlacedOrbit Follow(int64_t previous, int32_t days, int32_t byte) {
    const int64_t first = ForwardBytes(previous, byte);  // the nearest candidate ahead
    // Dates are whole days: the time between the two blocks is less than days + 1 days.
    const int64_t most = int64_t{kMaxOrbitsPerDay} * (static_cast<int64_t>(days) + 1);
    PlacedOrbit placed;
    placed.gapDays = days;
    placed.sure = first <= most && first + 256 > most;
    int64_t ahead = first;
    if (first + 256 <= most) {
        const double expected = kTypicalOrbitsPerDay * days;
        ahead += 256 * std::max<int64_t>(0, std::llround((expected - static_cast<double>(first)) / 256.0));
    }
    placed.startOrbit = previous + ahead;
    return placed;
}

}  // namespace

std::vector<PlacedOrbit> PlaceOrbits(std::span<const PlacementInput> blocks,
                                     const std::optional<PlacementAnchor>& anchor, int64_t firstOrbitHiByte) {
    std::vector<PlacedOrbit> placed(blocks.size());
    std::vector<size_t> order(blocks.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return blocks[a].startAmDay < blocks[b].startAmDay; });

    std::optional<PlacementAnchor> standing = anchor;
    for (size_t dayBegin = 0; dayBegin < order.size();) {
        const int32_t day = blocks[order[dayBegin]].startAmDay;
        size_t dayEnd = dayBegin;
        while (dayEnd < order.size() && blocks[order[dayEnd]].startAmDay == day) ++dayEnd;
        const auto dayBlocks = std::span(order).subspan(dayBegin, dayEnd - dayBegin);

        int32_t startByte = 0;
        if (standing) {
            startByte = static_cast<int32_t>(ForwardBytes(0, standing->orbit));
        } else {
            std::vector<int32_t> bytes;
            for (size_t i : dayBlocks) bytes.push_back(blocks[i].startOrbitByte);
            startByte = StartAfterWidestGap(std::move(bytes));
        }
        std::sort(dayBlocks.begin(), dayBlocks.end(), [&](size_t a, size_t b) {
            const auto key = [&](size_t i) {
                return std::tuple<int64_t, int32_t, int64_t>(ForwardBytes(startByte, blocks[i].startOrbitByte),
                                                             blocks[i].startMA, blocks[i].order);
            };
            return key(a) < key(b);
        });

        std::optional<int64_t> previous = standing ? std::optional(standing->orbit) : std::nullopt;
        int32_t previousDay = standing ? standing->amDay : day;
        int64_t highest = 0;
        for (size_t n = 0; n < dayBlocks.size(); ++n) {
            const size_t i = dayBlocks[n];
            const PlacementInput& block = blocks[i];
            PlacedOrbit& p = placed[i];
            if (block.pinnedOrbit) {
                p.startOrbit = *block.pinnedOrbit;
                p.gapDays = day - previousDay;
            } else if (!previous) {
                p.startOrbit = firstOrbitHiByte * 256 + block.startOrbitByte;
            } else {
                p = Follow(*previous, day - previousDay, block.startOrbitByte);
            }
            previous = p.startOrbit;
            previousDay = day;
            highest = n == 0 ? p.startOrbit : std::max(highest, p.startOrbit);
        }
        standing = PlacementAnchor{day, highest};
        dayBegin = dayEnd;
    }
    return placed;
}

}  // namespace kelvarox::archive
