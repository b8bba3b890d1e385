#pragma once
// Absolute orbit numbers for archived blocks. A block names only the low byte of its orbits;
// the archive takes the passes (the blocks of one AmDay with one orbit byte, which share their
// orbit) day by day, and gives each the orbit, among those with its low byte, that continues
// the sequence of passes before it.
//
// A pass whose date and orbit byte disagree with the passes around it is an outlier: it is
// placed on its own, as not sure, and the sequence goes on from the pass before it, so one
// block with a wrong date or orbit moves no other block.
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <vector>

namespace kelvarox::archive {

// A satellite in low orbit makes 12 to 17 orbits a day. The upper bound decides whether a
// placement is sure; a pass that needs more orbits a day than the upper bound, or fewer than
// the lower one, to follow the pass before it disagrees with it. The middle of the range picks
// the likeliest orbit when the dates leave several.
inline constexpr int kMaxOrbitsPerDay = 17;
inline constexpr int kMinOrbitsPerDay = 10;
inline constexpr double kTypicalOrbitsPerDay = 14.5;
// From this many days between two passes on, every orbit byte fits between the bounds: the
// dates say nothing about the orbit any more.
inline constexpr int32_t kUndecidedGapDays = 33;
// How many passes ahead the placement looks to tell an outlier from a break in the sequence
// (a run of passes that all disagree with the ones before them).
inline constexpr size_t kLookahead = 8;

struct OrbitPass {
    int32_t amDay = 0;
    int32_t orbitByte = 0;               // 0 to 255, as the blocks name it
    std::optional<int64_t> pinnedOrbit;  // set by hand (archive set-orbit): taken as it is
};

// Where the sequence stands: the day and the orbit of its last pass.
struct PlacementAnchor {
    int32_t amDay = 0;
    int64_t orbit = 0;
    bool operator==(const PlacementAnchor&) const = default;
};

struct PlacedOrbit {
    int64_t startOrbit = 0;
    // False when the dates leave more than one orbit with this low byte possible (or none):
    // the orbit is then the likeliest one, and set-orbit can fix it.
    bool sure = true;
    // Placed on its own: its date and orbit byte disagree with the passes around it.
    bool outlier = false;
    int32_t gapDays = 0;  // days between this pass and the one before it in the sequence
};

// The passes of one day, one for each orbit byte in ascending order: the index of the pass the
// sequence takes first, the one after the widest gap between their bytes, so a day whose orbit
// bytes pass 255 keeps its order. The sequence then takes them from there on, round to the start.
size_t DayStart(std::span<const OrbitPass> passes);

// The placement of a sequence of passes, given one at a time: days in order, each day's passes
// from DayStart on. A pass is decided once the passes it looks ahead to are given, or
// the sequence is finished.
class OrbitSequence {
public:
    // Without an anchor the first pass takes firstOrbitHiByte x 256 + its low byte.
    OrbitSequence(const std::optional<PlacementAnchor>& anchor, int64_t firstOrbitHiByte);

    void Add(const OrbitPass& pass);
    // No more passes follow.
    void Finish();
    // The placement of the earliest pass not taken yet, when it is decided.
    std::optional<PlacedOrbit> Take();
    // Where the sequence stands after the passes taken so far.
    const std::optional<PlacementAnchor>& End() const { return end_; }

private:
    PlacedOrbit Decide();

    std::deque<OrbitPass> waiting_;
    std::optional<PlacementAnchor> end_;
    int64_t firstOrbitHiByte_;
    bool finished_ = false;
};

}  // namespace kelvarox::archive
