#include "archive/StoredStatistics.h"

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cmath>
#include <map>
#include <optional>
#include <string>

#include "archive/Schema.h"
#include "archive/SeriesRows.h"

namespace kelvarox::archive {

namespace {

constexpr size_t kBlockPage = 1024;    // blocks read at a time, with their bytes
constexpr size_t kRangePage = 4096;    // noted orbit ranges read at a time
constexpr size_t kRowPage = 4096;      // stored rows read at a time
constexpr size_t kRowsPerInsert = 64;  // rows one INSERT stores
constexpr size_t kStatisticsColumns = 10;

// FNV-1a, 64 bits.
constexpr uint64_t kFnvOffset = 14695981039346656037ull;
constexpr uint64_t kFnvPrime = 1099511628211ull;
uint64_t Mix(uint64_t hash, uint64_t value) {
    for (int i = 0; i < 8; ++i) {
        hash ^= (value >> (8 * i)) & 0xFF;
        hash *= kFnvPrime;
    }
    return hash;
}

uint64_t TranslationFingerprint(const Coefficients& k) {
    uint64_t hash = kFnvOffset;
    for (const float f : {k.a, k.b, k.c, k.d}) hash = Mix(hash, std::bit_cast<uint32_t>(f));
    return hash;
}

// The translation of a channel's blocks that start on `day`, as DatedTranslation gives it.
Coefficients TranslationAt(const SatelliteDefinition& satellite, int32_t channel, int64_t day) {
    const ChannelEntry* entry = satellite.EntryOf(channel, day);
    return BoxTranslation(entry && entry->equation ? *entry->equation : BuiltInDefinition(channel).equation);
}

// The days on which a channel's translation may change: those its entries start on.
std::vector<int64_t> EntryDays(const SatelliteDefinition& satellite, int32_t channel) {
    std::vector<int64_t> days;
    for (const ChannelEntry& e : satellite.Entries())
        if (e.channel == channel && e.fromAmDay) days.push_back(*e.fromAmDay);
    std::sort(days.begin(), days.end());
    days.erase(std::unique(days.begin(), days.end()), days.end());
    return days;
}

int64_t Bits(float value) { return std::bit_cast<uint32_t>(value); }
int64_t Bits(double value) { return std::bit_cast<int64_t>(value); }

constexpr const char* kStoredColumns =
    "orbit, samples, min_bits, max_bits, sum_bits, sum_squares_bits, first_amday, last_amday, fingerprint";

void ReadRow(const Row& r, StoredOrbit& o) {
    o.statistics.orbit = r.Int(0);
    o.statistics.samples = r.Int(1);
    o.statistics.min = std::bit_cast<float>(static_cast<uint32_t>(r.Int(2)));
    o.statistics.max = std::bit_cast<float>(static_cast<uint32_t>(r.Int(3)));
    o.statistics.sum = std::bit_cast<double>(r.Int(4));
    o.statistics.sumSquares = std::bit_cast<double>(r.Int(5));
    o.firstDay = r.Int(6);
    o.lastDay = r.Int(7);
    o.fingerprint = std::bit_cast<uint64_t>(r.Int(8));
}

std::string InsertSqlOf(size_t rows) {
    std::string sql = std::string("INSERT INTO kelvarox_orbit_statistics (channel, ") + kStoredColumns + ") VALUES ";
    for (size_t i = 0; i < rows; ++i) {
        sql += i ? ", (" : "(";
        for (size_t c = 0; c < kStatisticsColumns; ++c)
            sql += (c ? ", $" : "$") + std::to_string(i * kStatisticsColumns + c + 1);
        sql += ')';
    }
    return sql;
}

void InsertRows(Database& db, int32_t channel, std::span<const StoredOrbit> rows) {
    std::vector<Param> params;
    while (!rows.empty()) {
        const size_t n = rows.size() >= kRowsPerInsert ? kRowsPerInsert : 1;
        params.clear();
        for (const StoredOrbit& o : rows.first(n)) {
            const OrbitStatistics& s = o.statistics;
            params.insert(params.end(),
                          {int64_t{channel}, s.orbit, s.samples, Bits(s.min), Bits(s.max), Bits(s.sum),
                           Bits(s.sumSquares), o.firstDay, o.lastDay, std::bit_cast<int64_t>(o.fingerprint)});
        }
        static const std::string one = InsertSqlOf(1), many = InsertSqlOf(kRowsPerInsert);
        db.Execute(n == 1 ? one : many, params);
        rows = rows.subspan(n);
    }
}

void RecomputeWith(Database& db, int32_t channel, int64_t from, int64_t to, const SatelliteDefinition& satellite) {
    ComputeFromBlocks(db, channel, from, to, satellite, [&](std::span<const StoredOrbit> rows, int64_t lo, int64_t hi) {
        const Param p[] = {int64_t{channel}, lo, hi};
        db.Execute(
            "DELETE FROM kelvarox_orbit_statistics WHERE channel = $1 AND orbit >= $2 AND "
            "orbit <= $3",
            p);
        InsertRows(db, channel, rows);
    });
}

// The orbit ranges of the blocks changed in this transaction, for UpdateChangedStatistics.
void CreateChangedTable(Database& db) {
    db.Execute(
        "CREATE TEMPORARY TABLE IF NOT EXISTS kelvarox_changed_orbits (channel INTEGER, first_orbit BIGINT, "
        "last_orbit BIGINT)");
}

// The channels with rows or blocks, in number order.
std::vector<int32_t> ChannelsOf(Database& db, const char* table) {
    std::vector<int32_t> channels;
    db.Query(std::string("SELECT DISTINCT channel FROM ") + table + " ORDER BY channel", {},
             [&](const Row& r) { channels.push_back(static_cast<int32_t>(r.Int(0))); });
    return channels;
}

}  // namespace

TranslationFingerprints::TranslationFingerprints(const SatelliteDefinition& satellite, int32_t channel) {
    steps_.emplace_back(INT64_MIN, TranslationFingerprint(TranslationAt(satellite, channel, INT64_MIN)));
    for (const int64_t day : EntryDays(satellite, channel)) {
        const uint64_t f = TranslationFingerprint(TranslationAt(satellite, channel, day));
        if (f != steps_.back().second) steps_.emplace_back(day, f);
    }
}

uint64_t TranslationFingerprints::Of(int64_t firstDay, int64_t lastDay) const {
    auto step = std::upper_bound(steps_.begin(), steps_.end(), firstDay,
                                 [](int64_t day, const auto& s) { return day < s.first; });
    --step;  // the first step starts before every day
    if (step + 1 == steps_.end() || (step + 1)->first > lastDay) return step->second;
    uint64_t hash = kFnvOffset;
    for (; step != steps_.end() && step->first <= lastDay; ++step) hash = Mix(hash, step->second);
    return hash;
}

uint64_t SatelliteFingerprint(const SatelliteDefinition& satellite) {
    uint64_t hash = kFnvOffset;
    for (const ChannelEntry& e : satellite.Entries()) {
        hash = Mix(hash, static_cast<uint64_t>(e.channel));
        hash = Mix(hash, static_cast<uint64_t>(e.fromAmDay.value_or(INT64_MIN)));
        hash = Mix(hash, TranslationFingerprint(TranslationAt(satellite, e.channel, e.fromAmDay.value_or(INT64_MIN))));
    }
    return hash;
}

void ComputeFromBlocks(Database& db, int32_t channel, int64_t from, int64_t to, const SatelliteDefinition& satellite,
                       const std::function<void(std::span<const StoredOrbit>, int64_t lo, int64_t hi)>& done) {
    if (from > to) return;
    DatedTranslation translation(satellite, channel);
    const TranslationFingerprints fingerprints(satellite, channel);
    // No block spans more orbits than the longest one: those that reach `from` start after this.
    const int64_t longest = ReadMeta(db, meta::kLongestBlock).value_or(0);
    const int64_t earliest = from > INT64_MIN + longest ? from - longest : INT64_MIN;
    // The blocks in time order, a page at a time after the last one read (its start orbit, MA,
    // date and id). The samples of an orbit before the last block's start orbit are all read.
    int64_t key[4] = {earliest, INT64_MIN, INT64_MIN, INT64_MIN};
    std::map<int64_t, StoredOrbit> open;
    std::vector<StoredOrbit> finished;
    std::map<const Coefficients*, std::array<float, 256>> tables;  // DatedTranslation keeps its translations in place
    int64_t lo = from;
    const std::string sql =
        std::string(
            "SELECT start_orbit, start_ma, start_amday, id, ma_step, sample_count, bytes FROM "
            "kelvarox_blocks WHERE channel = $1 AND start_orbit >= $2 AND start_orbit <= $3 AND "
            "last_orbit >= $4 AND (start_orbit, start_ma, start_amday, id) > ($2, CAST($5 AS BIGINT), "
            "CAST($6 AS BIGINT), CAST($7 AS BIGINT)) "
            "ORDER BY start_orbit, start_ma, start_amday, id LIMIT ") +
        std::to_string(kBlockPage);
    for (;;) {
        size_t read = 0;
        const Param p[] = {int64_t{channel}, key[0], to, from, key[1], key[2], key[3]};
        db.Query(sql, p, [&](const Row& r) {
            ++read;
            for (int c = 0; c < 4; ++c) key[c] = r.Int(c);
            BlockFacts facts;
            facts.startMA = static_cast<int32_t>(key[1]);
            facts.maStep = static_cast<int32_t>(r.Int(4));
            facts.sampleCount = static_cast<int32_t>(r.Int(5));
            const int64_t day = key[2];
            // Each translation once as a table of the 256 raw values; the samples of an orbit
            // follow one another.
            const Coefficients& k = translation.At(day);
            auto [table, fresh] = tables.try_emplace(&k);
            if (fresh)
                for (int raw = 0; raw < 256; ++raw) table->second[raw] = TranslateSample(k, static_cast<uint8_t>(raw));
            const std::array<float, 256>& values = table->second;
            const auto bytes = r.Bytes(6);
            StoredOrbit* o = nullptr;
            OrbitStatistics run;  // o's statistics while the block's samples in its orbit are added
            BlockHeader relative;
            relative.startMA = facts.startMA;
            relative.maStep = facts.maStep;
            RowPosition rows(relative);
            for (int i = 0; i < facts.sampleCount; ++i) {
                const int64_t orbit = key[0] + rows.Next().orbit;
                if (orbit < from || orbit > to) continue;
                if (!o || run.orbit != orbit) {
                    if (o) o->statistics = run;
                    auto [at, added] = open.try_emplace(orbit);
                    o = &at->second;
                    if (added) {
                        o->statistics.orbit = orbit;
                        o->firstDay = o->lastDay = day;
                    }
                    o->firstDay = std::min(o->firstDay, day);
                    o->lastDay = std::max(o->lastDay, day);
                    run = o->statistics;
                }
                const size_t offset = static_cast<size_t>(kFirstSampleOffset + i);
                const float value = values[offset < bytes.size() ? bytes[offset] : 0];
                if (std::isfinite(value)) run.AddFinite(value);
            }
            if (o) o->statistics = run;
        });
        const bool end = read < kBlockPage;
        const int64_t hi = end ? to : std::min(to, key[0] - 1);
        if (hi >= lo) {
            finished.clear();
            while (!open.empty() && open.begin()->first <= hi) {
                StoredOrbit& o = open.begin()->second;
                o.fingerprint = fingerprints.Of(o.firstDay, o.lastDay);
                finished.push_back(o);
                open.erase(open.begin());
            }
            done(finished, lo, hi);
            if (hi == INT64_MAX) return;
            lo = hi + 1;
        }
        if (end) return;
    }
}

void ReadStoredOrbits(Database& db, int32_t channel, int64_t from, int64_t to, size_t limit,
                      std::vector<StoredOrbit>& rows) {
    rows.clear();
    const Param p[] = {int64_t{channel}, from, to};
    db.Query(std::string("SELECT ") + kStoredColumns +
                 " FROM kelvarox_orbit_statistics WHERE channel = $1 AND orbit >= $2 AND orbit <= $3 ORDER BY orbit "
                 "LIMIT " +
                 std::to_string(limit),
             p, [&](const Row& r) { ReadRow(r, rows.emplace_back()); });
}

void RecomputeStoredOrbits(Database& db, int32_t channel, int64_t from, int64_t to,
                           const SatelliteDefinition& satellite) {
    RecomputeWith(db, channel, from, to, satellite);
}

void NoteOrbitsOfPlacedBlocks(Database& db) {
    CreateChangedTable(db);
    db.Execute(std::string("INSERT INTO kelvarox_changed_orbits (channel, first_orbit, last_orbit) SELECT b.channel, "
                           "b.start_orbit, b.last_orbit FROM kelvarox_blocks AS b, kelvarox_placed AS p WHERE ") +
               PlacedBlocksCondition());
}

void UpdateChangedStatistics(Database& db, const SatelliteDefinition& satellite) {
    CreateChangedTable(db);
    db.Execute(
        "INSERT INTO kelvarox_changed_orbits (channel, first_orbit, last_orbit) SELECT channel, start_orbit, "
        "last_orbit FROM kelvarox_blocks WHERE generation IS NULL");
    // The ranges by channel and first orbit, a page at a time; those that overlap or touch are
    // recomputed as one.
    struct Range {
        int32_t channel;
        int64_t first, last;
    };
    std::optional<Range> open;
    std::vector<Range> closed;
    int64_t keyChannel = INT64_MIN, keyFirst = INT64_MIN;
    const std::string sql =
        "SELECT channel, first_orbit, MAX(last_orbit) AS last_orbit FROM kelvarox_changed_orbits WHERE channel > "
        "CAST($1 AS BIGINT) OR (channel = CAST($1 AS BIGINT) AND first_orbit > $2) GROUP BY channel, first_orbit ORDER BY channel, first_orbit LIMIT " +
        std::to_string(kRangePage);
    for (;;) {
        size_t read = 0;
        const Param p[] = {keyChannel, keyFirst};
        db.Query(sql, p, [&](const Row& r) {
            ++read;
            keyChannel = r.Int(0);
            keyFirst = r.Int(1);
            const Range next{static_cast<int32_t>(keyChannel), keyFirst, r.Int(2)};
            if (open && open->channel == next.channel && next.first <= open->last + 1) {
                open->last = std::max(open->last, next.last);
                return;
            }
            if (open) closed.push_back(*open);
            open = next;
        });
        for (const Range& range : closed) RecomputeWith(db, range.channel, range.first, range.last, satellite);
        closed.clear();
        if (read < kRangePage) break;
    }
    if (open) RecomputeWith(db, open->channel, open->first, open->last, satellite);
    db.Execute("DELETE FROM kelvarox_changed_orbits");
}

void RefreshStaleStatistics(Database& db, const SatelliteDefinition& satellite) {
    const int64_t fingerprint = std::bit_cast<int64_t>(SatelliteFingerprint(satellite));
    if (ReadMeta(db, meta::kStatisticsSatellite) == fingerprint) return;
    std::vector<StoredOrbit> rows;
    for (const int32_t channel : ChannelsOf(db, "kelvarox_orbit_statistics")) {
        const TranslationFingerprints fingerprints(satellite, channel);
        int64_t next = INT64_MIN;
        for (;;) {
            ReadStoredOrbits(db, channel, next, INT64_MAX, kRowPage, rows);
            // Runs of stale rows, each recomputed as one.
            for (size_t i = 0; i < rows.size(); ++i) {
                if (rows[i].fingerprint == fingerprints.Of(rows[i].firstDay, rows[i].lastDay)) continue;
                size_t j = i;
                while (j + 1 < rows.size() &&
                       rows[j + 1].fingerprint != fingerprints.Of(rows[j + 1].firstDay, rows[j + 1].lastDay))
                    ++j;
                RecomputeWith(db, channel, rows[i].statistics.orbit, rows[j].statistics.orbit, satellite);
                i = j;
            }
            if (rows.size() < kRowPage) break;
            next = rows.back().statistics.orbit + 1;
        }
    }
    WriteMeta(db, meta::kStatisticsSatellite, fingerprint);
}

void FillStatistics(Database& db, const SatelliteDefinition& satellite) {
    for (const int32_t channel : ChannelsOf(db, "kelvarox_blocks"))
        ComputeFromBlocks(db, channel, INT64_MIN, INT64_MAX, satellite,
                          [&](std::span<const StoredOrbit> rows, int64_t, int64_t) { InsertRows(db, channel, rows); });
    WriteMeta(db, meta::kStatisticsSatellite, std::bit_cast<int64_t>(SatelliteFingerprint(satellite)));
}

}  // namespace kelvarox::archive
