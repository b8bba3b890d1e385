#pragma once
// Absolute orbit numbers for archived blocks. A block names only the low byte of its orbits;
// the archive orders the blocks of all channels by their dates and gives each block the orbit,
// among those with its low byte, that continues the sequence.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kelvarox::archive {

// A satellite in low orbit makes 12 to 17 orbits a day. The upper bound decides whether a
// placement is sure; the middle of the range picks the likeliest orbit when it is not.
inline constexpr int kMaxOrbitsPerDay = 17;
inline constexpr double kTypicalOrbitsPerDay = 14.5;

struct PlacementInput {
    int32_t startAmDay = 0;
    int32_t startOrbitByte = 0;          // 0 to 255, as the block names it
    int32_t startMA = 0;
    std::optional<int64_t> pinnedOrbit;  // set by hand (archive set-orbit): taken as it is
    int64_t order = 0;                   // keeps blocks equal in all of the above in a fixed order
};

// Where the sequence stands before the first day placed: the latest earlier day that holds
// blocks, and the highest start orbit placed on it.
struct PlacementAnchor {
    int32_t amDay = 0;
    int64_t orbit = 0;
};

struct PlacedOrbit {
    int64_t startOrbit = 0;
    // False when the dates leave more than one orbit with this low byte possible (or none):
    // the orbit is then the likeliest one, and set-orbit can fix it.
    bool sure = true;
    int32_t gapDays = 0;  // days between this block and the one before it in the sequence
};

// Places `blocks`, given in any order; result[i] belongs to blocks[i]. Blocks are taken day by
// day; within a day in the order of their orbit bytes counted from where the sequence stands
// (on the first day, from the byte after the widest gap between them, so a day whose orbit
// bytes pass 255 keeps its order), then by start MA. Each block's orbit is the first one with
// its low byte at or after the block before it, or the likeliest one when the gap leaves
// several. Without an anchor the first block takes firstOrbitHiByte x 256 + its low byte.
std::vector<PlacedOrbit> PlaceOrbits(std::span<const PlacementInput> blocks,
                                     const std::optional<PlacementAnchor>& anchor, int64_t firstOrbitHiByte);

}  // namespace kelvarox::archive
