#include "archive/Archive.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <unordered_set>
#include <utility>

#include "archive/ArchiveMessages.h"
#include "archive/Database.h"
#include "archive/PlacementPass.h"
#include "archive/PostgresAddress.h"
#include "archive/Schema.h"
#include "archive/Sha256.h"
#include "archive/StoredStatistics.h"
#include "core/Errors.h"
#include "core/Text.h"

namespace kelvarox::archive {

namespace {

std::string TextOf(std::span<const uint8_t> bytes) { return std::string(bytes.begin(), bytes.end()); }

std::span<const uint8_t> BytesOf(std::string_view text) {
    return std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

// Counts a commit that changed blocks; the blocks it placed anew (their generation emptied) carry
// its generation, as those it stored do from the start.
void CountGeneration(Database& db) {
    const int64_t generation = CommitGeneration(db);
    WriteMeta(db, meta::kGeneration, generation);
    const Param p[] = {generation};
    db.Execute("UPDATE kelvarox_blocks SET generation = $1 WHERE generation IS NULL", p);
}

// The columns of an ArchivedBlock.
constexpr const char* kArchivedBlockColumns =
    "SELECT id, file, sha256, channel, start_amday, end_amday, start_orbit_byte, orbit_span, start_ma, end_ma, "
    "ma_step, sample_count, last_orbit_offset, start_orbit, end_orbit, last_orbit, orbit_sure, pinned_orbit";

// The positions of those columns in a result, looked up by name once for all its rows.
struct BlockColumns {
    explicit BlockColumns(const Row& r, bool withBytes)
        : id(r.ColumnOf("id")), file(r.ColumnOf("file")), sha256(r.ColumnOf("sha256")), channel(r.ColumnOf("channel")),
          startAmDay(r.ColumnOf("start_amday")), endAmDay(r.ColumnOf("end_amday")),
          startOrbitByte(r.ColumnOf("start_orbit_byte")), orbitSpan(r.ColumnOf("orbit_span")),
          startMA(r.ColumnOf("start_ma")), endMA(r.ColumnOf("end_ma")), maStep(r.ColumnOf("ma_step")),
          sampleCount(r.ColumnOf("sample_count")), lastOrbitOffset(r.ColumnOf("last_orbit_offset")),
          startOrbit(r.ColumnOf("start_orbit")), endOrbit(r.ColumnOf("end_orbit")), lastOrbit(r.ColumnOf("last_orbit")),
          orbitSure(r.ColumnOf("orbit_sure")), pinnedOrbit(r.ColumnOf("pinned_orbit")),
          bytes(withBytes ? r.ColumnOf("bytes") : -1) {}

    void Read(const Row& r, ArchivedBlock& b) const {
        b.id = r.Int(id);
        b.file = TextOf(r.Bytes(file));
        b.sha256 = r.Text(sha256);
        BlockFacts& f = b.facts;
        f.channel = static_cast<int32_t>(r.Int(channel));
        f.startAmDay = static_cast<int32_t>(r.Int(startAmDay));
        f.endAmDay = static_cast<int32_t>(r.Int(endAmDay));
        f.startOrbitByte = static_cast<int32_t>(r.Int(startOrbitByte));
        f.orbitSpan = static_cast<int32_t>(r.Int(orbitSpan));
        f.startMA = static_cast<int32_t>(r.Int(startMA));
        f.endMA = static_cast<int32_t>(r.Int(endMA));
        f.maStep = static_cast<int32_t>(r.Int(maStep));
        f.sampleCount = static_cast<int32_t>(r.Int(sampleCount));
        f.lastSampleOrbitOffset = static_cast<int32_t>(r.Int(lastOrbitOffset));
        b.startOrbit = r.Int(startOrbit);
        b.endOrbit = r.Int(endOrbit);
        b.lastOrbit = r.Int(lastOrbit);
        b.orbitSure = r.Int(orbitSure) != 0;
        b.pinnedOrbit = r.IsNull(pinnedOrbit) ? std::nullopt : std::optional(r.Int(pinnedOrbit));
    }
    std::span<const uint8_t> Bytes(const Row& r) const {
        return bytes < 0 ? std::span<const uint8_t>() : r.Bytes(bytes);
    }

    int id, file, sha256, channel, startAmDay, endAmDay, startOrbitByte, orbitSpan, startMA, endMA, maStep, sampleCount,
        lastOrbitOffset, startOrbit, endOrbit, lastOrbit, orbitSure, pinnedOrbit, bytes;
};

// Runs `sql`, a selection of kArchivedBlockColumns, and hands each block to `each`.
void ForEachBlockRow(Database& db, const std::string& sql, std::span<const Param> params, bool withBytes,
                     const std::function<void(const ArchivedBlock&, std::span<const uint8_t>)>& each) {
    std::optional<BlockColumns> columns;
    ArchivedBlock b;
    db.Query(sql, params, [&](const Row& r) {
        if (!columns) columns.emplace(r, withBytes);
        columns->Read(r, b);
        each(b, columns->Bytes(r));
    });
}

// The SHA-256 of a block file on disk, when `path` is one.
std::optional<std::string> ShaOfBlockFile(const std::string& path) {
    WodBlock block;
    if (ReadBlockBytes(path, block) != ReadOutcome::Read) return std::nullopt;
    return Sha256Hex(std::span(block.bytes).first<kBlockFileSize>());
}

}  // namespace

Archive::Archive(const std::string& location, Access access, WaitHooks hooks) {
    const bool write = access == Access::Write;
    db_ = IsPostgresLocation(location) ? ConnectPostgres(location, std::move(hooks))
                                       : ConnectSqlite(location, write, std::move(hooks));
    Database& db = *db_;
    const int64_t version = StoredSchemaVersion(db);
    if (version > kSchemaVersion) throw KelvaroxError(msg::NewerSchema(db.Name(), version, kSchemaVersion));
    if (!write) {
        if (version == 0) throw KelvaroxError(msg::NoArchive(db.Name()));
        if (version < kOldestReadableSchemaVersion) throw KelvaroxError(msg::OlderSchema(db.Name(), version));
        return;
    }
    if (version == 0 && db.HoldsForeignTables()) throw KelvaroxError(msg::ForeignDatabase(db.Name()));
    db.PrepareForWriting();
    if (version == kSchemaVersion) return;
    Transaction t(db, Transaction::Kind::Write);
    const int64_t now = StoredSchemaVersion(db);  // another writer may have been first
    if (now > kSchemaVersion) throw KelvaroxError(msg::NewerSchema(db.Name(), now, kSchemaVersion));
    if (now < kSchemaVersion) {
        MigrateSchema(db, now);
        if (now == 1) {
            // Blocks placed before outliers were known are placed again, outliers apart.
            UnsurePasses ignored;
            PlacementChange change;
            change.firstDay = INT32_MIN;
            change.lastDay = INT32_MAX;
            change.toTheEnd = true;
            PlaceAndStore(db, change, ReadMeta(db, meta::kOrbitHiByte).value_or(0), ignored);
            CountCommit();
        }
    }
    t.Commit();
}

Archive::~Archive() = default;

const std::string& Archive::Name() const { return db_->Name(); }

std::string Archive::NameOf(const std::string& location) {
    return IsPostgresLocation(location) ? ParsePostgresAddress(location).shown : location;
}

void Archive::ForEachBlock(std::optional<int32_t> channel, const OrbitRange& range, bool withBytes,
                           const std::function<void(const ArchivedBlock&, std::span<const uint8_t>)>& each) {
    Database& db = *db_;
    Transaction t(db, Transaction::Kind::Read);
    std::string sql = std::string(kArchivedBlockColumns) + (withBytes ? ", bytes" : "") + " FROM kelvarox_blocks";
    std::vector<Param> params;
    if (channel) {
        // A block reaches into the range when its first sample is not after the range's end and
        // its last one not before its start; no block spans more orbits than the longest one.
        const int64_t longest = ReadMeta(db, meta::kLongestBlock).value_or(0);
        sql += " WHERE channel = $1 AND start_orbit >= $2 AND start_orbit <= $3 AND last_orbit >= $4";
        const int64_t earliestStart =
            range.from && *range.from > INT64_MIN + longest ? *range.from - longest : INT64_MIN;
        params = {int64_t{*channel}, earliestStart, range.to.value_or(INT64_MAX), range.from.value_or(INT64_MIN)};
    }
    sql += " ORDER BY start_orbit, start_ma, start_amday, id";
    ForEachBlockRow(db, sql, params, withBytes, each);
    t.Commit();
}

int64_t Archive::ForEachChangedBlock(std::optional<int32_t> channel, int64_t since, bool withBytes,
                                     const std::function<void(const ArchivedBlock&, std::span<const uint8_t>)>& each) {
    Database& db = *db_;
    Transaction t(db, Transaction::Kind::Read);
    const int64_t generation = ReadMeta(db, meta::kGeneration).value_or(0);
    // An archive of an older version, which no writer has brought up to date, tells no block's
    // generation: every block counts as changed.
    if (StoredSchemaVersion(db) < kBlockGenerationsSince) since = -1;
    std::string sql = std::string(kArchivedBlockColumns) + (withBytes ? ", bytes" : "") + " FROM kelvarox_blocks";
    std::vector<Param> params;
    std::vector<std::string> conditions;
    if (since >= 0) {
        params.push_back(since);
        conditions.push_back("generation > $" + std::to_string(params.size()));
    }
    if (channel) {
        params.push_back(int64_t{*channel});
        // After a commit the changed blocks are few: "+" keeps SQLite to the generation's index
        // rather than the channel's, which would visit every block of the channel.
        conditions.push_back(std::string(since >= 0 ? "+" : "") + "channel = $" + std::to_string(params.size()));
    }
    for (size_t i = 0; i < conditions.size(); ++i) sql += (i == 0 ? " WHERE " : " AND ") + conditions[i];
    // A channel's blocks in time order: all of them along the channel's index; the few changed
    // ones sorted ("+" keeps SQLite from walking the whole time index instead).
    if (channel) sql += std::string(" ORDER BY ") + (since >= 0 ? "+" : "") + "start_orbit, start_ma, start_amday, id";
    ForEachBlockRow(db, sql, params, withBytes, each);
    t.Commit();
    return generation;
}

void Archive::ForEachSample(int32_t channel, const OrbitRange& range, const Coefficients& k,
                            const std::function<void(const SeriesSample&, const ArchivedBlock&)>& each) {
    ForEachBlock(channel, range, true, [&](const ArchivedBlock& b, std::span<const uint8_t> bytes) {
        ForEachBlockSample(b.facts, b.startOrbit, bytes, k, [&](const SeriesSample& s) {
            if (range.Contains(s.orbit)) each(s, b);
        });
    });
}

void Archive::CountCommit(std::span<const ChannelOrbits> stored) {
    UpdateChangedStatistics(*db_, satellite_, stored);
    CountGeneration(*db_);
}

void Archive::ForEachOrbitStatistics(int32_t channel, const OrbitRange& range, const SatelliteDefinition& satellite,
                                     const std::function<void(const OrbitStatistics&)>& each) {
    Database& db = *db_;
    Transaction t(db, Transaction::Kind::Read);
    const int64_t from = range.from.value_or(INT64_MIN), to = range.to.value_or(INT64_MAX);
    const auto computed = [&](std::span<const StoredOrbit> rows, int64_t, int64_t) {
        for (const StoredOrbit& o : rows)
            if (o.statistics.samples > 0) each(o.statistics);
    };
    if (StoredSchemaVersion(db) < kOrbitStatisticsSince) {
        ComputeFromBlocks(db, channel, from, to, satellite, computed);
        t.Commit();
        return;
    }
    ForEachStoredRun(
        db, channel, from, to, TranslationFingerprints(satellite, channel),
        [&](const StoredOrbit& o) {
            if (o.statistics.samples > 0) each(o.statistics);
        },
        // Stale rows are computed from their blocks, a run at once.
        [&](int64_t first, int64_t last) { ComputeFromBlocks(db, channel, first, last, satellite, computed); });
    t.Commit();
}

Archive::StatisticsCheck Archive::CheckStatistics(
    const SatelliteDefinition& satellite, const std::function<void(int32_t channel, int64_t orbit)>& differing) {
    Database& db = *db_;
    Transaction t(db, Transaction::Kind::Read);
    StatisticsCheck compared;
    if (StoredSchemaVersion(db) < kOrbitStatisticsSince) {
        t.Commit();
        return compared;
    }
    std::vector<int32_t> channels;
    db.Query("SELECT channel FROM kelvarox_blocks UNION SELECT channel FROM kelvarox_orbit_statistics ORDER BY channel",
             {}, [&](const Row& r) { channels.push_back(static_cast<int32_t>(r.Int(0))); });
    for (const int32_t channel : channels) {
        const TranslationFingerprints fingerprints(satellite, channel);
        // Each run of computed rows against the stored rows of the orbits it covers.
        ComputeFromBlocks(db, channel, INT64_MIN, INT64_MAX, satellite,
                          [&](std::span<const StoredOrbit> rows, int64_t lo, int64_t hi) {
                              size_t i = 0;
                              ForEachStoredPage(db, channel, lo, hi, [&](std::span<const StoredOrbit> stored) {
                                  for (const StoredOrbit& s : stored) {
                                      ++compared.rows;
                                      for (; i < rows.size() && rows[i].statistics.orbit < s.statistics.orbit; ++i)
                                          differing(channel, rows[i].statistics.orbit);  // missing
                                      const bool found =
                                          i < rows.size() && rows[i].statistics.orbit == s.statistics.orbit;
                                      if (!found) {
                                          differing(channel, s.statistics.orbit);  // without samples
                                          continue;
                                      }
                                      const StoredOrbit& c = rows[i++];
                                      const bool current = s.fingerprint == fingerprints.Of(s.firstDay, s.lastDay);
                                      // A stale row is remade by the next writer; readers never take it.
                                      compared.stale += current ? 0 : 1;
                                      if (current && !(c.statistics == s.statistics && c.firstDay == s.firstDay &&
                                                       c.lastDay == s.lastDay && c.fingerprint == s.fingerprint))
                                          differing(channel, s.statistics.orbit);
                                  }
                              });
                              for (; i < rows.size(); ++i) differing(channel, rows[i].statistics.orbit);  // missing
                          });
    }
    t.Commit();
    return compared;
}

std::vector<ChannelSummary> Archive::Channels() {
    std::vector<ChannelSummary> channels;
    Database& db = *db_;
    Transaction t(db, Transaction::Kind::Read);
    db.Query(
        "SELECT channel, COUNT(*) AS blocks, SUM(sample_count) AS samples, MIN(start_orbit) AS first_orbit, "
        "MAX(last_orbit) AS last_orbit, MIN(start_amday) AS first_amday, MAX(end_amday) AS last_amday "
        "FROM kelvarox_blocks GROUP BY channel ORDER BY channel",
        {}, [&](const Row& r) {
            ChannelSummary c;
            c.channel = static_cast<int32_t>(r.Int("channel"));
            c.name = ChannelCatalogue::NameOf(c.channel);
            c.unit = ChannelCatalogue::UnitOf(c.channel);
            c.blocks = r.Int("blocks");
            c.samples = r.Int("samples");
            c.firstOrbit = r.Int("first_orbit");
            c.lastOrbit = r.Int("last_orbit");
            c.firstAmDay = static_cast<int32_t>(r.Int("first_amday"));
            c.lastAmDay = static_cast<int32_t>(r.Int("last_amday"));
            channels.push_back(std::move(c));
        });
    t.Commit();
    return channels;
}

int64_t Archive::Generation() {
    Transaction t(*db_, Transaction::Kind::Read);
    const int64_t generation = ReadMeta(*db_, meta::kGeneration).value_or(0);
    t.Commit();
    return generation;
}

void Archive::SetOrbit(const std::string& shaOrFile, int64_t orbit) {
    Database& db = *db_;
    std::string shaPattern, file;
    if (const auto sha = ShaOfBlockFile(shaOrFile)) {
        shaPattern = *sha;
    } else if (!shaOrFile.empty() && std::all_of(shaOrFile.begin(), shaOrFile.end(), IsHexDigit)) {
        shaPattern = AsciiLowerText(shaOrFile) + "%";
    }
    std::error_code ignored;
    file = std::filesystem::absolute(shaOrFile, ignored).lexically_normal().string();

    Transaction t(db, Transaction::Kind::Write);
    RefreshStaleStatistics(db, satellite_);
    struct Found {
        int64_t id;
        int32_t day, byte;
    };
    std::vector<Found> found;
    const Param p[] = {std::string_view(shaPattern), BytesOf(file)};
    // An archive of an older version may hold some names as texts; as bytes they are the same.
    db.Query("SELECT id, start_amday, start_orbit_byte FROM kelvarox_blocks WHERE sha256 LIKE $1 OR CAST(file AS " +
                 std::string(db.BytesType()) + ") = $2 ORDER BY id LIMIT 2",
             p, [&](const Row& r) {
                 found.push_back({r.Int("id"), static_cast<int32_t>(r.Int("start_amday")),
                                  static_cast<int32_t>(r.Int("start_orbit_byte"))});
             });
    if (orbit < 0 || orbit > kMaxOrbit) throw KelvaroxError(msg::OrbitOutOfRange(orbit, kMaxOrbit));
    if (found.empty()) throw KelvaroxError(msg::NoSuchBlock(shaOrFile));
    if (found.size() > 1) throw KelvaroxError(msg::SeveralBlocks(shaOrFile));
    if ((orbit % 256 + 256) % 256 != found[0].byte) throw KelvaroxError(msg::OrbitByteMismatch(orbit, found[0].byte));
    const Param pin[] = {orbit, found[0].id};
    db.Execute("UPDATE kelvarox_blocks SET pinned_orbit = $1 WHERE id = $2", pin);
    PlacementChange change;
    change.firstDay = change.lastDay = found[0].day;
    UnsurePasses unsure;
    PlaceAndStore(db, change, ReadMeta(db, meta::kOrbitHiByte).value_or(0), unsure);
    CountCommit();
    t.Commit();
}

std::vector<UnsurePlacement> Archive::Unsure(const UnsurePasses& passes, bool withOutliers) {
    std::vector<UnsurePlacement> unsure;
    Transaction t(*db_, Transaction::Kind::Read);
    for (const auto& [key, pass] : passes) {
        if (pass.outlier && !withOutliers) continue;
        const Param p[] = {int64_t{key.first}, int64_t{key.second}};
        db_->Query(
            "SELECT sha256, file, start_orbit FROM kelvarox_blocks WHERE start_amday = $1 AND "
            "start_orbit_byte = $2 AND orbit_sure = 0 ORDER BY id",
            p, [&](const Row& r) {
                unsure.push_back({std::string(r.Text("sha256")), TextOf(r.Bytes("file")), r.Int("start_orbit"),
                                  pass.gapDays, pass.outlier});
            });
    }
    t.Commit();
    // In the order of the time line.
    std::stable_sort(unsure.begin(), unsure.end(), [](const auto& a, const auto& b) { return a.orbit < b.orbit; });
    return unsure;
}

std::vector<UnsurePlacement> Archive::StoredUnsure(size_t limit) {
    std::vector<UnsurePlacement> unsure;
    Transaction t(*db_, Transaction::Kind::Read);
    const Param p[] = {static_cast<int64_t>(limit)};
    db_->Query(
        "SELECT sha256, file, start_orbit, orbit_outlier FROM kelvarox_blocks WHERE orbit_sure = 0 AND "
        "pinned_orbit IS NULL ORDER BY start_orbit, start_ma LIMIT $1",
        p, [&](const Row& r) {
            unsure.push_back({std::string(r.Text("sha256")), TextOf(r.Bytes("file")), r.Int("start_orbit"), -1,
                              r.Int("orbit_outlier") != 0});
        });
    t.Commit();
    return unsure;
}

bool Archive::HoldsChannel(int32_t channel) {
    bool found = false;
    Transaction t(*db_, Transaction::Kind::Read);
    const Param p[] = {int64_t{channel}};
    db_->Query("SELECT 1 FROM kelvarox_blocks WHERE channel = $1 LIMIT 1", p, [&](const Row&) { found = true; });
    t.Commit();
    return found;
}

int64_t Archive::CheckBlocks(const std::function<void(const ArchivedBlock&)>& damaged) {
    int64_t checked = 0;
    ForEachBlock(std::nullopt, {}, true, [&](const ArchivedBlock& b, std::span<const uint8_t> bytes) {
        ++checked;
        if (bytes.size() != kBlockFileSize || Sha256Hex(bytes) != b.sha256) damaged(b);
    });
    return checked;
}

Archive::StoredBatch Archive::StoreBlocks(std::span<const IncomingBlock> blocks, int64_t orbitHiByte, OrbitBase base,
                                          UnsurePasses& unsure) {
    Database& db = *db_;
    Transaction t(db, Transaction::Kind::Write);
    RefreshStaleStatistics(db, satellite_);
    bool placeAll = false;
    StoredBatch result;
    result.orbitHiByte = orbitHiByte;
    if (base != OrbitBase::Settled) {
        const auto stored = ReadMeta(db, meta::kOrbitHiByte);
        if (!stored || (base == OrbitBase::Replace && *stored != orbitHiByte)) {
            WriteMeta(db, meta::kOrbitHiByte, orbitHiByte);
            placeAll = stored.has_value();
        } else {
            result.orbitHiByte = *stored;
        }
    }

    std::vector<std::string> shas;
    for (const auto& b : blocks) shas.push_back(b.sha256);
    const auto stored = db.AreStored(shas);
    std::unordered_set<std::string_view> seen;
    std::vector<const IncomingBlock*> fresh;
    PlacementChange change;
    change.firstDay = INT32_MAX;
    change.lastDay = INT32_MIN;
    int32_t longest = 0;
    for (size_t i = 0; i < blocks.size(); ++i) {
        if (stored[i] || !seen.insert(blocks[i].sha256).second) continue;
        fresh.push_back(&blocks[i]);
        change.firstDay = std::min(change.firstDay, blocks[i].facts.startAmDay);
        change.lastDay = std::max(change.lastDay, blocks[i].facts.startAmDay);
        longest = std::max(longest, blocks[i].facts.lastSampleOrbitOffset);
    }
    if (!fresh.empty() || placeAll) {
        change.fresh = fresh;
        if (placeAll) {
            change.firstDay = INT32_MIN;
            change.newOrbitHiByte = true;
        }
        UnsurePasses placed = unsure;
        const Placed placing = PlaceAndStore(db, change, result.orbitHiByte, placed);
        if (!placing.refused.empty()) {
            for (const auto& r : placing.refused) result.refused.emplace_back(fresh[r.index]->sha256, r.reason);
            return result;  // rolled back
        }
        unsure = std::move(placed);
        if (longest > ReadMeta(db, meta::kLongestBlock).value_or(0)) WriteMeta(db, meta::kLongestBlock, longest);
        CountCommit(placing.stored);
    }
    t.Commit();
    result.committed = true;
    result.added = static_cast<int64_t>(fresh.size());
    result.alreadyStored = static_cast<int64_t>(blocks.size() - fresh.size());
    return result;
}

Importer::Importer(Archive& archive, int64_t orbitHiByte, bool replace, size_t batchSize)
    : archive_(archive), orbitHiByte_(orbitHiByte), replace_(replace), batchSize_(std::max<size_t>(1, batchSize)) {}

void Importer::Add(IncomingBlock block) {
    batch_.push_back(std::move(block));
    if (batch_.size() >= batchSize_) Flush();
}

void Importer::Finish() {
    if (!batch_.empty() || !started_) Flush();
}

void Importer::Flush() {
    for (;;) {
        const Archive::OrbitBase base = started_   ? Archive::OrbitBase::Settled
                                        : replace_ ? Archive::OrbitBase::Replace
                                                   : Archive::OrbitBase::Stored;
        Archive::StoredBatch stored = archive_.StoreBlocks(batch_, orbitHiByte_, base, unsure_);
        if (stored.committed) {
            started_ = true;
            orbitHiByte_ = stored.orbitHiByte;
            counts_.added += stored.added;
            counts_.alreadyStored += stored.alreadyStored;
            batch_.clear();
            return;
        }
        // Placed without them, the others may sit elsewhere: the batch is stored again.
        const std::map<std::string, std::string> reasons(stored.refused.begin(), stored.refused.end());
        std::erase_if(batch_, [&](const IncomingBlock& b) {
            const auto found = reasons.find(b.sha256);
            if (found == reasons.end()) return false;
            refused_.push_back({b.file, found->second});
            ++counts_.refused;
            return true;
        });
    }
}

std::vector<RefusedBlock> Importer::TakeRefused() { return std::exchange(refused_, {}); }

std::vector<UnsurePlacement> Importer::Unsure() { return archive_.Unsure(unsure_, Outliers() <= kListedOutliers); }

int64_t Importer::Outliers() const {
    int64_t outliers = 0;
    for (const auto& [key, pass] : unsure_) outliers += pass.outlier ? pass.blocks : 0;
    return outliers;
}

}  // namespace kelvarox::archive
