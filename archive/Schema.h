#pragma once
// The archive's tables, their version and the way from each version to the next.
#include <array>
#include <cstdint>
#include <optional>

#include "archive/Database.h"

namespace kelvarox::archive {

// The schema version this program writes. An archive of a newer version is refused and left
// as it is; an older one is brought up to date by the first writer that opens it.
inline constexpr int64_t kSchemaVersion = 2;
// The oldest version that readers take as it is: what they read means the same in every
// version from this one on, so an archive that no writer has brought up to date (on a
// read-only disk, say) can still be read.
inline constexpr int64_t kOldestReadableSchemaVersion = 1;

// The version stored in the archive; 0 when the database holds no archive yet.
int64_t StoredSchemaVersion(Database& db);

// Creates or updates the schema inside the caller's write transaction.
void MigrateSchema(Database& db, int64_t from);

// The columns of a new block, in the order of BlockColumnValues.
inline constexpr const char* kBlockColumns =
    "sha256, file, bytes, channel, start_amday, end_amday, start_orbit_byte, orbit_span, start_ma, end_ma, "
    "ma_step, sample_count, last_orbit_offset, start_orbit, end_orbit, last_orbit, orbit_sure";
inline constexpr size_t kBlockColumnCount = 17;

std::array<Param, kBlockColumnCount> BlockColumnValues(const NewBlockRow& row);
const char* InsertBlockSql();

// The archive's own values beside the blocks (kelvarox_meta).
namespace meta {
inline constexpr const char* kSchemaVersion = "schema_version";
inline constexpr const char* kOrbitHiByte = "orbit_hibyte";        // of the earliest block
inline constexpr const char* kGeneration = "generation";          // counts the commits that changed blocks
inline constexpr const char* kLongestBlock = "longest_block_orbits";  // the most orbits one block spans
}  // namespace meta

std::optional<int64_t> ReadMeta(Database& db, const char* key);
void WriteMeta(Database& db, const char* key, int64_t value);

}  // namespace kelvarox::archive
