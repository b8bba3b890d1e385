#pragma once
// The archive's tables, their version and the way from each version to the next.
#include <array>
#include <cstdint>
#include <optional>

#include "archive/Database.h"

namespace kelvarox::archive {

// The schema version this program writes. An archive of a newer version is refused and left
// as it is; an older one is brought up to date by the first writer that opens it.
inline constexpr int64_t kSchemaVersion = 4;
// The oldest version that readers take as it is: what they read means the same in every
// version from this one on, so an archive that no writer has brought up to date (on a
// read-only disk, say) can still be read.
inline constexpr int64_t kOldestReadableSchemaVersion = 1;
// The version from which each block carries the generation of the commit that stored it or last
// placed it anew.
inline constexpr int64_t kBlockGenerationsSince = 3;
// The version from which the archive keeps per-orbit statistics (StoredStatistics.h).
inline constexpr int64_t kOrbitStatisticsSince = 4;

// The version stored in the archive; 0 when the database holds no archive yet.
int64_t StoredSchemaVersion(Database& db);

// Creates or updates the schema inside the caller's write transaction. Readers take every
// version from 1 on as it is; the blocks of a version 1 archive are to be placed again after.
void MigrateSchema(Database& db, int64_t from);

// The columns of a new block, in the order of BlockColumnValues.
inline constexpr const char* kBlockColumns =
    "sha256, file, bytes, channel, start_amday, end_amday, start_orbit_byte, orbit_span, start_ma, end_ma, "
    "ma_step, sample_count, last_orbit_offset, start_orbit, end_orbit, last_orbit, orbit_sure, orbit_outlier, "
    "generation";
inline constexpr size_t kBlockColumnCount = 19;

std::array<Param, kBlockColumnCount> BlockColumnValues(const NewBlockRow& row);
const char* InsertBlockSql();

// The new placements of passes: loaded into the temporary table kelvarox_placed (its name and
// columns, in the order of PassUpdateValues), then applied to their blocks in one statement.
inline constexpr const char* kPlacedTable =
    "kelvarox_placed (amday INTEGER, orbit_byte INTEGER, orbit BIGINT, first_id BIGINT, first_sure INTEGER, "
    "rest_sure INTEGER, outlier INTEGER)";
inline constexpr size_t kPlacedColumnCount = 7;
std::array<Param, kPlacedColumnCount> PassUpdateValues(const PassUpdate& pass);
const char* UpdateFromPlacedSql();
// Which blocks (b) the placements of kelvarox_placed (p) move: a condition on both.
const char* PlacedBlocksCondition();
// The orbit a block (b) takes from its placement (p).
const char* PlacedOrbitSql();

// The archive's own values beside the blocks (kelvarox_meta).
namespace meta {
inline constexpr const char* kSchemaVersion = "schema_version";
inline constexpr const char* kOrbitHiByte = "orbit_hibyte";           // of the earliest block
inline constexpr const char* kGeneration = "generation";              // counts the commits that changed blocks
inline constexpr const char* kLongestBlock = "longest_block_orbits";  // the most orbits one block spans
// The fingerprint of the satellite definition the orbit statistics were last brought up to date with.
inline constexpr const char* kStatisticsSatellite = "statistics_satellite";
}  // namespace meta

std::optional<int64_t> ReadMeta(Database& db, const char* key);
void WriteMeta(Database& db, const char* key, int64_t value);
// The generation of the commit under way in a write transaction: the one after the last counted.
inline int64_t CommitGeneration(Database& db) { return ReadMeta(db, meta::kGeneration).value_or(0) + 1; }

}  // namespace kelvarox::archive
