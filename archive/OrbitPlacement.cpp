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

// Whether `pass` can follow a pass at `from`: some orbit with its low byte (or its pinned
// orbit) lies within the fewest and the most orbits its date allows.
bool Agrees(const PlacementAnchor& from, const OrbitPass& pass) {
    const int32_t days = pass.amDay - from.amDay;
    const int64_t fewest = FewestOrbits(days), most = MostOrbits(days);
    if (pass.pinnedOrbit) {
        const int64_t ahead = *pass.pinnedOrbit - from.orbit;
        return ahead >= fewest && ahead <= most;
    }
    const int64_t first = ForwardBytes(from.orbit, pass.orbitByte);
    const int64_t lowest = first + 256 * ((std::max<int64_t>(0, fewest - first) + 255) / 256);
    return lowest <= most;
}

// The orbit of a pass with low byte `byte` after the pass at `from`, `days` dates later.
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
    const auto ahead = [&](size_t n) { return n < waiting_.size() ? &waiting_[n] : nullptr; };
    PlacedOrbit placed;
    if (pass.pinnedOrbit) {
        placed.startOrbit = *pass.pinnedOrbit;
        placed.gapDays = end_ ? pass.amDay - end_->amDay : 0;
        end_ = PlacementAnchor{pass.amDay, placed.startOrbit};
        return placed;
    }
    if (!end_) {
        // The first pass takes the Orbit HiByte, unless the dates set it apart from a run of
        // passes after it: a block dated long before all others (a date of 0, say) is no start.
        placed.startOrbit = firstOrbitHiByte_ * 256 + pass.orbitByte;
        const OrbitPass* next = ahead(1);
        const OrbitPass* after = ahead(2);
        placed.outlier =
            next && after && next->amDay - pass.amDay >= kUndecidedGapDays &&
            after->amDay - next->amDay < kUndecidedGapDays &&
            Agrees({next->amDay, next->pinnedOrbit.value_or(firstOrbitHiByte_ * 256 + next->orbitByte)}, *after);
    } else {
        placed = Follow(*end_, pass.amDay, pass.orbitByte);
        const PlacementAnchor here{pass.amDay, placed.startOrbit};
        if (!Agrees(*end_, pass)) {
            // Either this pass is wrong, or the sequence breaks here: it is an outlier when a
            // pass ahead still follows the sequence as it stands.
            for (size_t n = 1; n < waiting_.size() && !placed.outlier; ++n) placed.outlier = Agrees(*end_, waiting_[n]);
        } else {
            // It follows, but the next two passes follow the sequence only without it.
            const OrbitPass* next = ahead(1);
            const OrbitPass* after = ahead(2);
            placed.outlier = next && after && !Agrees(here, *next) && Agrees(*end_, *next) && !Agrees(here, *after) &&
                             Agrees(*end_, *after);
        }
    }
    if (placed.outlier) placed.sure = false;
    else end_ = PlacementAnchor{pass.amDay, placed.startOrbit};
    return placed;
}

}  // namespace kelvarox::archive
