#include "archive/Schema.h"

#include <charconv>
#include <string>

#include "archive/StoredStatistics.h"

namespace kelvarox::archive {

namespace {

// Version 1: the blocks with their bytes, header values and placed orbits.
std::string VersionOne(const Database& db) {
    return std::string("CREATE TABLE kelvarox_meta (key TEXT PRIMARY KEY, value TEXT NOT NULL);") +
           "CREATE TABLE kelvarox_blocks ("
           "id " +
           std::string(db.IdColumnType()) +
           ", "
           "sha256 TEXT NOT NULL UNIQUE, "
           "file TEXT NOT NULL, "
           "bytes " +
           std::string(db.BytesType()) +
           " NOT NULL, "
           "channel INTEGER NOT NULL, "
           "start_amday INTEGER NOT NULL, "
           "end_amday INTEGER NOT NULL, "
           "start_orbit_byte INTEGER NOT NULL, "
           "orbit_span INTEGER NOT NULL, "
           "start_ma INTEGER NOT NULL, "
           "end_ma INTEGER NOT NULL, "
           "ma_step INTEGER NOT NULL, "
           "sample_count INTEGER NOT NULL, "
           "last_orbit_offset INTEGER NOT NULL, "
           "start_orbit BIGINT NOT NULL, "
           "end_orbit BIGINT NOT NULL, "
           "last_orbit BIGINT NOT NULL, "
           "orbit_sure INTEGER NOT NULL, "
           "pinned_orbit BIGINT);"
           "CREATE INDEX kelvarox_blocks_by_date ON kelvarox_blocks (start_amday);"
           "CREATE INDEX kelvarox_blocks_by_time ON kelvarox_blocks (start_orbit, start_ma);"
           "CREATE INDEX kelvarox_blocks_by_channel ON kelvarox_blocks (channel, start_orbit);";
}

// Version 2: outliers, placed on their own; the passes (AmDay and orbit byte) as the placement
// reads them; and file names as the bytes the file system gave, whatever their encoding (a name
// that is no UTF-8 is no PostgreSQL text).
constexpr const char* kVersionTwo =
    "ALTER TABLE kelvarox_blocks ADD COLUMN orbit_outlier INTEGER NOT NULL DEFAULT 0;"
    "DROP INDEX kelvarox_blocks_by_date;"
    "CREATE INDEX kelvarox_blocks_by_pass ON kelvarox_blocks (start_amday, start_orbit_byte);";

// Version 3: each block carries the generation of the commit that stored it or last placed it
// anew, so that a reader asks for what changed since it last read. The blocks stored before
// count as of the generation the archive has.
constexpr const char* kVersionThree =
    "ALTER TABLE kelvarox_blocks ADD COLUMN generation BIGINT;"
    "CREATE INDEX kelvarox_blocks_by_generation ON kelvarox_blocks (generation);";

// Version 4: per-orbit statistics of each channel (StoredStatistics.h). The values are kept as
// the bits of the float minimum and maximum and of the double sums, so they read back exactly on
// both engines; the fingerprint is kept as the bits of an unsigned 64-bit number.
std::string VersionFour(const Database& db) {
    return "CREATE TABLE kelvarox_orbit_statistics (channel INTEGER NOT NULL, orbit BIGINT NOT NULL, "
           "samples BIGINT NOT NULL, min_bits BIGINT NOT NULL, max_bits BIGINT NOT NULL, sum_bits BIGINT NOT NULL, "
           "sum_squares_bits BIGINT NOT NULL, first_amday BIGINT NOT NULL, last_amday BIGINT NOT NULL, "
           "fingerprint BIGINT NOT NULL, PRIMARY KEY (channel, orbit))" +
           std::string(db.KeyOrderedTable());
}

// Statements of a script, one at a time (no statement of the schema holds a ';' of its own).
void RunScript(Database& db, const std::string& script) {
    size_t start = 0;
    while (start < script.size()) {
        size_t end = script.find(';', start);
        if (end == std::string::npos) end = script.size();
        if (end > start) db.Execute(std::string_view(script).substr(start, end - start));
        start = end + 1;
    }
}

}  // namespace

std::optional<int64_t> ReadMeta(Database& db, const char* key) {
    std::optional<int64_t> value;
    const Param p[] = {std::string_view(key)};
    db.Query("SELECT value FROM kelvarox_meta WHERE key = $1", p, [&](const Row& r) {
        const auto text = r.Text("value");
        int64_t v = 0;
        if (std::from_chars(text.data(), text.data() + text.size(), v).ec == std::errc()) value = v;
    });
    return value;
}

void WriteMeta(Database& db, const char* key, int64_t value) {
    const std::string text = std::to_string(value);
    const Param p[] = {std::string_view(key), std::string_view(text)};
    db.Execute(
        "INSERT INTO kelvarox_meta (key, value) VALUES ($1, $2) "
        "ON CONFLICT (key) DO UPDATE SET value = excluded.value",
        p);
}

int64_t StoredSchemaVersion(Database& db) {
    if (!db.HasTable("kelvarox_meta")) return 0;
    return ReadMeta(db, meta::kSchemaVersion).value_or(0);
}

void MigrateSchema(Database& db, int64_t from) {
    if (from < 1) {
        RunScript(db, VersionOne(db));
        WriteMeta(db, meta::kGeneration, 0);
        WriteMeta(db, meta::kLongestBlock, 0);
    }
    if (from < 2) {
        RunScript(db, kVersionTwo);
        db.ChangeColumnToBytes("kelvarox_blocks", "file");
    }
    if (from < 3) {
        RunScript(db, kVersionThree);
        const Param generation[] = {ReadMeta(db, meta::kGeneration).value_or(0)};
        db.Execute("UPDATE kelvarox_blocks SET generation = $1", generation);
    }
    if (from < 4) {
        RunScript(db, VersionFour(db));
        FillStatistics(db, BuiltInSatellite());
    }
    // Later versions add their steps here, each from the one before.
    WriteMeta(db, meta::kSchemaVersion, kSchemaVersion);
}

std::array<Param, kBlockColumnCount> BlockColumnValues(const NewBlockRow& row) {
    const IncomingBlock& b = *row.block;
    const BlockFacts& f = b.facts;
    return {std::string_view(b.sha256),
            std::span(reinterpret_cast<const uint8_t*>(b.file.data()), b.file.size()),
            std::span<const uint8_t>(b.bytes),
            int64_t{f.channel},
            int64_t{f.startAmDay},
            int64_t{f.endAmDay},
            int64_t{f.startOrbitByte},
            int64_t{f.orbitSpan},
            int64_t{f.startMA},
            int64_t{f.endMA},
            int64_t{f.maStep},
            int64_t{f.sampleCount},
            int64_t{f.lastSampleOrbitOffset},
            row.startOrbit,
            row.startOrbit + f.orbitSpan,
            row.startOrbit + f.lastSampleOrbitOffset,
            int64_t{row.orbitSure},
            int64_t{row.orbitOutlier},
            row.generation};
}

const char* InsertBlockSql() {
    static const std::string sql = std::string("INSERT INTO kelvarox_blocks (") + kBlockColumns +
                                   ") VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13, $14, $15, "
                                   "$16, $17, $18, $19)";
    return sql.c_str();
}

std::array<Param, kPlacedColumnCount> PassUpdateValues(const PassUpdate& pass) {
    return {int64_t{pass.amDay},     int64_t{pass.orbitByte}, pass.orbit,           pass.firstId,
            int64_t{pass.firstSure}, int64_t{pass.restSure},  int64_t{pass.outlier}};
}

namespace {
// Where a placement of kelvarox_placed (p) puts a block (b): pinned blocks keep their orbit and
// are sure.
const std::string kPlacedOrbit = "COALESCE(b.pinned_orbit, p.orbit)";
const std::string kPlacedSure =
    "CASE WHEN b.pinned_orbit IS NOT NULL THEN 1 WHEN b.id = p.first_id THEN p.first_sure ELSE p.rest_sure END";
const std::string kPlacedOutlier = "CASE WHEN b.pinned_orbit IS NULL THEN p.outlier ELSE 0 END";
}  // namespace

const char* UpdateFromPlacedSql() {
    // Rows that hold their placement already are left as they are. A row placed anew carries the
    // generation of the commit (CountCommit).
    static const std::string sql = "UPDATE kelvarox_blocks AS b SET start_orbit = " + kPlacedOrbit +
                                   ", end_orbit = " + kPlacedOrbit + " + b.orbit_span, last_orbit = " + kPlacedOrbit +
                                   " + b.last_orbit_offset, orbit_sure = " + kPlacedSure +
                                   ", orbit_outlier = " + kPlacedOutlier +
                                   ", generation = NULL FROM kelvarox_placed AS p WHERE " + PlacedBlocksCondition();
    return sql.c_str();
}

const char* PlacedOrbitSql() { return kPlacedOrbit.c_str(); }

const char* PlacedBlocksCondition() {
    static const std::string condition =
        "b.start_amday = p.amday AND b.start_orbit_byte = p.orbit_byte AND (b.start_orbit <> " + kPlacedOrbit +
        " OR b.orbit_sure <> " + kPlacedSure + " OR b.orbit_outlier <> " + kPlacedOutlier + ")";
    return condition.c_str();
}

}  // namespace kelvarox::archive
