#include "archive/OrbitPlacement.h"

#include <algorithm>
#include <cmath>

namespace kelvarox::archive {

namespace {

int64_t ForwardBytes(int64_t from, int64_t to) { return ((to - from) % 256 + 256) % 256; }

// The fewest and the most orbits between the first samples of two passes `days` dates apart:
// whole dates leave between days - 1 and days + 1 days between them.
int64_t FewestOrbits(int32_t days) { return int64_t{kMinOrbitsPerDay} * std::max<int64_t>(0, int64_t{days} - 1); }
int64_t MostOrbits(int32_t days) { return int64_t{kMaxOrbitsPerDay} * (int64_t{days} + 1); }

// Whether `pass` follows a pass at `from`: the dates between them still decide the orbit, and
// some orbit with its low byte (or its pinned orbit) lies within the fewest and the most orbits
// its date allows.
bool Agrees(const PlacementAnchor& from, const OrbitPass& pass) {
    const int32_t days = pass.amDay - from.amDay;
    if (days >= kUndecidedGapDays) return false;
    const int64_t fewest = FewestOrbits(days), most = MostOrbits(days);
    if (pass.pinnedOrbit) {
        const int64_t ahead = *pass.pinnedOrbit - from.orbit;
        return ahead >= fewest && ahead <= most;
    }
    const int64_t first = ForwardBytes(from.orbit, pass.orbitByte);
    const int64_t lowest = first + 256 * ((std::max<int64_t>(0, fewest - first) + 255) / 256);
    return lowest <= most;
}

// The orbit of a pass on `day` with low byte `byte` that follows the pass at `from`.
PlacedOrbit Follow(const PlacementAnchor& from, int32_t day, int32_t byte) {
    const int32_t days = day - from.amDay;
    const int64_t first = ForwardBytes(from.orbit, byte);  // the nearest candidate ahead
    const int64_t most = MostOrbits(days);
    PlacedOrbit placed;
    placed.gapDays = days;
    placed.sure = first <= most && first + 256 > most;
    int64_t ahead = first;
    if (first + 256 <= most) {
        const double expected = kTypicalOrbitsPerDay * days;
        ahead += 256 * std::max<int64_t>(0, std::llround((expected - static_cast<double>(first)) / 256.0));
    }
    placed.startOrbit = from.orbit + ahead;
    return placed;
}

}  // namespace

size_t DayStart(std::span<const OrbitPass> passes) {
    size_t widest = 0;
    int64_t widestGap = -1;
    for (size_t i = 0; i < passes.size(); ++i) {
        const int64_t next = passes[(i + 1) % passes.size()].orbitByte;
        const int64_t gap = passes.size() == 1 ? 256 : ForwardBytes(passes[i].orbitByte, next);
        if (gap > widestGap) {
            widestGap = gap;
            widest = i;
        }
    }
    return passes.empty() ? 0 : (widest + 1) % passes.size();
}

OrbitSequence::OrbitSequence(const std::optional<PlacementAnchor>& anchor, int64_t firstOrbitHiByte)
    : end_(anchor), firstOrbitHiByte_(firstOrbitHiByte) {}

void OrbitSequence::Add(const OrbitPass& pass) { waiting_.push_back(pass); }

void OrbitSequence::Finish() { finished_ = true; }

std::optional<PlacedOrbit> OrbitSequence::Take() {
    if (waiting_.empty() || (!finished_ && waiting_.size() <= kLookahead)) return std::nullopt;
    PlacedOrbit placed = Decide();
    waiting_.pop_front();
    return placed;
}

PlacedOrbit OrbitSequence::Decide() {
    const OrbitPass& pass = waiting_.front();
    // How many of the passes ahead, from the n-th on, follow a pass at `from`.
    const size_t window = std::min(waiting_.size(), kLookahead + 1);
    const auto following = [&](const PlacementAnchor& from, size_t n) {
        int count = 0;
        for (; n < window; ++n) count += Agrees(from, waiting_[n]) ? 1 : 0;
        return count;
    };
    PlacedOrbit placed;
    if (pass.pinnedOrbit) {
        placed.startOrbit = *pass.pinnedOrbit;
        placed.gapDays = end_ ? pass.amDay - end_->amDay : 0;
    } else if (!end_) {
        // The first pass takes the Orbit HiByte, unless clearly more of the passes ahead follow
        // the next one than this one: a block dated long before all others is no start.
        placed.startOrbit = firstOrbitHiByte_ * 256 + pass.orbitByte;
        if (window > 1) {
            const OrbitPass& next = waiting_[1];
            const PlacementAnchor nextAt{next.amDay,
                                         next.pinnedOrbit.value_or(firstOrbitHiByte_ * 256 + next.orbitByte)};
            placed.outlier = following(nextAt, 2) >= following({pass.amDay, placed.startOrbit}, 1) + 2;
        }
    } else {
        placed = Follow(*end_, pass.amDay, pass.orbitByte);
        // An outlier when the passes ahead follow the sequence without it rather than with it: by
        // two when it follows the sequence itself, else by any number, ties included. When none
        // follows the sequence, the sequence breaks here (a long gap, or another satellite).
        const int without = following(*end_, 1), with = following({pass.amDay, placed.startOrbit}, 1);
        placed.outlier = Agrees(*end_, pass) ? without >= with + 2 : without > 0 && without >= with;
    }
    if (placed.outlier)
        placed.sure = false;
    else
        end_ = PlacementAnchor{pass.amDay, placed.startOrbit};
    return placed;
}

}  // namespace kelvarox::archive
