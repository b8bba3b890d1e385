#pragma once
// Placing the archive's blocks again after blocks were added or an orbit was set. The passes
// (the blocks of one AmDay with one orbit byte) are read from the database a page at a time, as
// summaries, from a little before the first day that changed on; the placing stops as soon as
// the sequence stands where it stood before, and only the blocks whose placement changes are
// written. Memory stays flat and the work follows what changed, whatever the archive holds.
#include <cstdint>
#include <map>
#include <span>
#include <utility>
#include <vector>

#include "archive/BlockIntake.h"
#include "archive/Database.h"

namespace kelvarox::archive {

// What changed since the archive was last placed.
struct PlacementChange {
    int32_t firstDay = 0;                         // the first day whose passes changed
    int32_t lastDay = 0;                          // and the last one: placing goes on at least to its end
    std::span<const IncomingBlock* const> fresh;  // blocks to store, placed here first
    bool newOrbitHiByte = false;                  // the earliest block's Orbit HiByte changed
    bool toTheEnd = false;                        // place every pass to the last, whatever is stored
};

// A pass placed not sure: the days since the pass before it, whether it is an outlier, and
// how many blocks it has that are not pinned. Keyed by AmDay and orbit byte.
struct UnsurePass {
    int32_t gapDays = 0;
    bool outlier = false;
    int64_t blocks = 0;
};
using UnsurePasses = std::map<std::pair<int32_t, int32_t>, UnsurePass>;

// What became of the fresh blocks of a placement.
struct Placed {
    std::vector<RefusedRow> refused;    // fresh blocks the database refused, by their index in change.fresh
    std::vector<ChannelOrbits> stored;  // the orbits of each fresh block stored
};

// Places the stored blocks affected by `change` again and stores its fresh blocks, inside the
// caller's write transaction. Passes placed again (or for the first time) that are not sure
// are entered in `unsure`, those now sure taken out of it. The database may refuse fresh
// blocks on its own; the others are stored.
Placed PlaceAndStore(Database& db, const PlacementChange& change, int64_t orbitHiByte, UnsurePasses& unsure);

}  // namespace kelvarox::archive
