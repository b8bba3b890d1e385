#include "archive/StoredStatistics.h"

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cmath>
#include <deque>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <tuple>

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
    // Each statement of a power of two rows, prepared once.
    static const auto sqls = [] {
        std::array<std::string, std::bit_width(kRowsPerInsert)> each;
        for (size_t i = 0; i < each.size(); ++i) each[i] = InsertSqlOf(size_t{1} << i);
        return each;
    }();
    std::vector<Param> params;
    while (!rows.empty()) {
        const size_t n = std::bit_floor(std::min(rows.size(), kRowsPerInsert));
        params.clear();
        for (const StoredOrbit& o : rows.first(n)) {
            const OrbitStatistics& s = o.statistics;
            params.insert(params.end(),
                          {int64_t{channel}, s.orbit, s.samples, Bits(s.min), Bits(s.max), Bits(s.sum),
                           Bits(s.sumSquares), o.firstDay, o.lastDay, std::bit_cast<int64_t>(o.fingerprint)});
        }
        db.Execute(sqls[static_cast<size_t>(std::countr_zero(n))], params);
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

// The orbits of the blocks placed anew in this transaction, before and after, for
// UpdateChangedStatistics.
void CreateChangedTable(Database& db) {
    db.Execute(
        "CREATE TEMPORARY TABLE IF NOT EXISTS kelvarox_changed_orbits (channel INTEGER, first_orbit BIGINT, "
        "last_orbit BIGINT)");
    db.Execute(
        "CREATE INDEX IF NOT EXISTS kelvarox_changed_orbits_by_channel ON kelvarox_changed_orbits (channel, first_orbit)");
}

bool Before(const ChannelOrbits& a, const ChannelOrbits& b) {
    return std::pair(a.channel, a.first) < std::pair(b.channel, b.first);
}

// The channels with rows or blocks, in number order.
std::vector<int32_t> ChannelsOf(Database& db, const char* table) {
    std::vector<int32_t> channels;
    db.Query(std::string("SELECT DISTINCT channel FROM ") + table + " ORDER BY channel", {},
             [&](const Row& r) { channels.push_back(static_cast<int32_t>(r.Int(0))); });
    return channels;
}

// A block as the statistics read it.
struct ReadBlock {
    int64_t startOrbit = 0, startMA = 0, day = 0, id = 0, maStep = 0, sampleCount = 0;
    std::vector<uint8_t> bytes;
};

// The statistics of the orbits `from` to `to` of one channel, reckoned from its blocks given in
// time order. The orbits at or after the last start orbit are kept open, one entry per orbit; no
// block reaches further than its span, so they stay few.
class OrbitsOfBlocks {
public:
    OrbitsOfBlocks(const SatelliteDefinition& satellite, int32_t channel, int64_t from, int64_t to)
        : translation_(satellite, channel), fingerprints_(satellite, channel), from_(from), to_(to) {}

    // Blocks of one start orbit, in any order.
    void AddGroup(std::span<ReadBlock> group) {
        std::sort(group.begin(), group.end(), [](const ReadBlock& a, const ReadBlock& b) {
            return std::tie(a.startMA, a.day, a.id) < std::tie(b.startMA, b.day, b.id);
        });
        Close(group.front().startOrbit - 1);
        for (const ReadBlock& b : group) Add(b);
    }

    // The orbits up to `hi`, which no block to come reaches, in orbit order.
    std::span<const StoredOrbit> FinishUpTo(int64_t hi) {
        Close(hi);
        finished_.swap(handed_);
        finished_.clear();
        return handed_;
    }

private:
    struct Open {
        StoredOrbit row;
        bool reached = false;
    };

    void Add(const ReadBlock& b) {
        const Table& table = TableOf(translation_.At(b.day));
        BlockHeader relative;
        relative.startMA = static_cast<int32_t>(b.startMA);
        relative.maStep = static_cast<int32_t>(b.maStep);
        RowPosition rows(relative);
        const int count = static_cast<int>(b.sampleCount);
        // The values, samples past the stored bytes reading as raw 0.
        const int stored = std::clamp(static_cast<int>(b.bytes.size()) - kFirstSampleOffset, 0, std::max(count, 0));
        values_.resize(static_cast<size_t>(std::max(count, 0)));
        for (int i = 0; i < count; ++i)
            values_[static_cast<size_t>(i)] = table.values[i < stored ? b.bytes[kFirstSampleOffset + i] : 0];
        // The samples a run of one orbit at a time.
        int i = 0;
        int64_t orbit = count > 0 ? b.startOrbit + rows.Next().orbit : 0;
        while (i < count) {
            const int64_t here = orbit;
            int end = i + 1;
            while (end < count && (orbit = b.startOrbit + rows.Next().orbit) == here) ++end;
            if (here >= from_ && here <= to_) {
                StoredOrbit& o = At(here);
                o.firstDay = std::min(o.firstDay, b.day);
                o.lastDay = std::max(o.lastDay, b.day);
                auto run = std::span(values_).subspan(static_cast<size_t>(i), static_cast<size_t>(end - i));
                if (!table.allFinite) {
                    finite_.clear();
                    std::copy_if(run.begin(), run.end(), std::back_inserter(finite_),
                                 [](float v) { return std::isfinite(v); });
                    run = finite_;
                }
                o.statistics.AddFinite(run);
            }
            i = end;
        }
    }

    // A translation as a table of the 256 raw values, made once.
    struct Table {
        std::array<float, 256> values;
        bool allFinite = true;
    };
    const Table& TableOf(const Coefficients& k) {
        auto [entry, fresh] = tables_.try_emplace(&k);  // DatedTranslation keeps its translations in place
        Table& table = entry->second;
        if (fresh) {
            for (int raw = 0; raw < 256; ++raw) table.values[raw] = TranslateSample(k, static_cast<uint8_t>(raw));
            table.allFinite =
                std::all_of(table.values.begin(), table.values.end(), [](float v) { return std::isfinite(v); });
        }
        return table;
    }

    StoredOrbit& At(int64_t orbit) {
        if (open_.empty()) first_ = orbit;
        while (first_ + static_cast<int64_t>(open_.size()) <= orbit) open_.emplace_back();
        Open& o = open_[static_cast<size_t>(orbit - first_)];
        if (!o.reached) {
            o = Open{};
            o.reached = true;
            o.row.statistics.orbit = orbit;
            o.row.firstDay = INT64_MAX;
            o.row.lastDay = INT64_MIN;
        }
        return o.row;
    }

    // Moves the open orbits up to `hi` to the finished ones.
    void Close(int64_t hi) {
        while (!open_.empty() && first_ <= hi) {
            Open& o = open_.front();
            if (o.reached) {
                o.row.fingerprint = fingerprints_.Of(o.row.firstDay, o.row.lastDay);
                finished_.push_back(o.row);
            }
            open_.pop_front();
            ++first_;
        }
    }

    DatedTranslation translation_;
    const TranslationFingerprints fingerprints_;
    const int64_t from_, to_;
    std::map<const Coefficients*, Table> tables_;
    std::vector<float> values_, finite_;  // of the block being added
    std::deque<Open> open_;               // orbits from first_ on
    int64_t first_ = 0;
    std::vector<StoredOrbit> finished_, handed_;
};

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
    OrbitsOfBlocks orbits(satellite, channel, from, to);
    // No block spans more orbits than the longest one: those that reach `from` start after this.
    const int64_t longest = ReadMeta(db, meta::kLongestBlock).value_or(0);
    const int64_t earliest = from > INT64_MIN + longest ? from - longest : INT64_MIN;
    // The blocks by start orbit and id, as the channel's index holds them, a page at a time after
    // the last one read. The blocks of one start orbit are added once all of them are read, in
    // time order (start MA, date, id).
    int64_t lastOrbit = earliest, lastId = INT64_MIN;
    std::vector<ReadBlock> group;  // of start orbit lastOrbit, read so far
    size_t grouped = 0;            // how many of `group` hold blocks; the others keep their buffers
    int64_t lo = from;
    const std::string sql =
        "SELECT start_orbit, start_ma, start_amday, id, ma_step, sample_count, bytes FROM kelvarox_blocks WHERE "
        "channel = $1 AND start_orbit >= $2 AND start_orbit <= $3 AND last_orbit >= $4 AND (start_orbit, id) > ($2, "
        "CAST($5 AS BIGINT)) ORDER BY start_orbit, id LIMIT " +
        std::to_string(kBlockPage);
    auto addGroup = [&] {
        orbits.AddGroup(std::span(group).first(grouped));
        grouped = 0;
    };
    for (;;) {
        size_t read = 0;
        const Param p[] = {int64_t{channel}, lastOrbit, to, from, lastId};
        db.Query(sql, p, [&](const Row& r) {
            ++read;
            const int64_t startOrbit = r.Int(0);
            if (grouped > 0 && startOrbit != lastOrbit) addGroup();
            lastOrbit = startOrbit;
            lastId = r.Int(3);
            if (grouped == group.size()) group.emplace_back();
            ReadBlock& b = group[grouped++];
            b.startOrbit = startOrbit;
            b.startMA = r.Int(1);
            b.day = r.Int(2);
            b.id = lastId;
            b.maStep = r.Int(4);
            b.sampleCount = r.Int(5);
            const auto bytes = r.Bytes(6);
            b.bytes.assign(bytes.begin(), bytes.end());
        });
        const bool end = read < kBlockPage;
        if (end && grouped > 0) addGroup();
        // Every block that starts before the last start orbit read is added: the orbits before it are whole.
        const int64_t hi = end ? to : std::min(to, lastOrbit - 1);
        if (hi >= lo) {
            done(orbits.FinishUpTo(hi), lo, hi);
            if (hi == INT64_MAX) return;
            lo = hi + 1;
        }
        if (end) return;
    }
}

void ForEachStoredPage(Database& db, int32_t channel, int64_t from, int64_t to,
                       const std::function<void(std::span<const StoredOrbit>)>& page) {
    const std::string sql = std::string("SELECT ") + kStoredColumns +
                            " FROM kelvarox_orbit_statistics WHERE channel = $1 AND orbit >= $2 AND orbit <= $3 "
                            "ORDER BY orbit LIMIT " +
                            std::to_string(kRowPage);
    std::vector<StoredOrbit> rows;
    for (int64_t next = from;;) {
        rows.clear();
        const Param p[] = {int64_t{channel}, next, to};
        db.Query(sql, p, [&](const Row& r) { ReadRow(r, rows.emplace_back()); });
        page(rows);
        if (rows.size() < kRowPage || rows.back().statistics.orbit == INT64_MAX) return;
        next = rows.back().statistics.orbit + 1;
    }
}

void ForEachStoredRun(Database& db, int32_t channel, int64_t from, int64_t to,
                      const TranslationFingerprints& fingerprints,
                      const std::function<void(const StoredOrbit&)>& current,
                      const std::function<void(int64_t first, int64_t last)>& staleRun) {
    const auto stale = [&](const StoredOrbit& o) { return o.fingerprint != fingerprints.Of(o.firstDay, o.lastDay); };
    ForEachStoredPage(db, channel, from, to, [&](std::span<const StoredOrbit> rows) {
        for (size_t i = 0; i < rows.size(); ++i) {
            if (!stale(rows[i])) {
                current(rows[i]);
                continue;
            }
            size_t j = i;
            while (j + 1 < rows.size() && stale(rows[j + 1])) ++j;
            staleRun(rows[i].statistics.orbit, rows[j].statistics.orbit);
            i = j;
        }
    });
}

void NoteOrbitsOfPlacedBlocks(Database& db) {
    CreateChangedTable(db);
    const std::string placed = PlacedOrbitSql();
    db.Execute(
        "INSERT INTO kelvarox_changed_orbits (channel, first_orbit, last_orbit) SELECT b.channel, b.start_orbit, "
        "b.last_orbit FROM kelvarox_blocks AS b, kelvarox_placed AS p WHERE " +
        std::string(PlacedBlocksCondition()) + " UNION ALL SELECT b.channel, " + placed + ", " + placed +
        " + b.last_orbit_offset FROM kelvarox_blocks AS b, kelvarox_placed AS p WHERE " + PlacedBlocksCondition());
}

void UpdateChangedStatistics(Database& db, const SatelliteDefinition& satellite,
                             std::span<const ChannelOrbits> stored) {
    CreateChangedTable(db);
    // The orbits noted, a page at a time by channel and first orbit, and those of the blocks
    // stored among them: those that overlap or touch are recomputed as one.
    std::vector<ChannelOrbits> fresh(stored.begin(), stored.end());
    std::sort(fresh.begin(), fresh.end(), Before);
    auto nextFresh = fresh.begin();
    std::optional<ChannelOrbits> open;
    std::vector<ChannelOrbits> closed;
    auto take = [&](const ChannelOrbits& next) {
        if (open && open->channel == next.channel && next.first <= open->last + 1) {
            open->last = std::max(open->last, next.last);
            return;
        }
        if (open) closed.push_back(*open);
        open = next;
    };
    auto recomputeClosed = [&] {
        for (const ChannelOrbits& c : closed) RecomputeWith(db, c.channel, c.first, c.last, satellite);
        closed.clear();
    };
    ChannelOrbits key{INT32_MIN, INT64_MIN, INT64_MIN};
    const std::string sql =
        "SELECT channel, first_orbit, MAX(last_orbit) FROM kelvarox_changed_orbits WHERE (channel, first_orbit) > "
        "(CAST($1 AS INTEGER), CAST($2 AS BIGINT)) GROUP BY channel, first_orbit ORDER BY channel, first_orbit LIMIT " +
        std::to_string(kRangePage);
    for (;;) {
        size_t read = 0;
        const Param p[] = {int64_t{key.channel}, key.first};
        db.Query(sql, p, [&](const Row& r) {
            ++read;
            key = {static_cast<int32_t>(r.Int(0)), r.Int(1), r.Int(2)};
            for (; nextFresh != fresh.end() && Before(*nextFresh, key); ++nextFresh) take(*nextFresh);
            take(key);
        });
        recomputeClosed();
        if (read < kRangePage) break;
    }
    for (; nextFresh != fresh.end(); ++nextFresh) take(*nextFresh);
    recomputeClosed();
    if (open) RecomputeWith(db, open->channel, open->first, open->last, satellite);
    db.Execute("DELETE FROM kelvarox_changed_orbits");
}

void RefreshStaleStatistics(Database& db, const SatelliteDefinition& satellite) {
    const int64_t fingerprint = std::bit_cast<int64_t>(SatelliteFingerprint(satellite));
    if (ReadMeta(db, meta::kStatisticsSatellite) == fingerprint) return;
    for (const int32_t channel : ChannelsOf(db, "kelvarox_orbit_statistics")) {
        // Each run of stale rows recomputed as one.
        ForEachStoredRun(
            db, channel, INT64_MIN, INT64_MAX, TranslationFingerprints(satellite, channel), [](const StoredOrbit&) {},
            [&](int64_t first, int64_t last) { RecomputeWith(db, channel, first, last, satellite); });
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
