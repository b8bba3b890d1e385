#pragma once
// The block archive: every block ever captured, once, with its bytes, its header values and
// its absolute orbits, in an SQLite file or a PostgreSQL database.
//
// An Archive is one connection and belongs to one thread at a time. A program that adds blocks
// in the background while a window reads opens one Archive for each: readers then see the
// last committed state and are never held up by the writer, and every commit of the writer
// raises Generation(), which a reader can poll to learn that there is something new.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "archive/BlockIntake.h"
#include "archive/Database.h"
#include "archive/PlacementPass.h"
#include "archive/SeriesRows.h"
#include "core/OrbitStatistics.h"
#include "core/SatelliteDefinition.h"

namespace kelvarox::archive {

class Database;
struct RefusedRow;

// The largest orbit a block can be set to: far beyond any satellite's, and far from
// overflowing the sums of orbits the archive makes.
inline constexpr int64_t kMaxOrbit = int64_t{1} << 40;

// A stored block as the archive lists it.
struct ArchivedBlock {
    int64_t id = 0;
    std::string file;
    std::string sha256;
    BlockFacts facts;
    int64_t startOrbit = 0;  // absolute
    int64_t endOrbit = 0;
    int64_t lastOrbit = 0;  // of the last sample, as the data table counts
    bool orbitSure = true;
    std::optional<int64_t> pinnedOrbit;
};

// Orbits from `from` to `to`, both included; an open end when not given.
struct OrbitRange {
    std::optional<int64_t> from;
    std::optional<int64_t> to;
    bool Contains(int64_t orbit) const { return (!from || orbit >= *from) && (!to || orbit <= *to); }
};

struct ChannelSummary {
    int32_t channel = 0;
    std::string name;  // the catalogue's, as Load shows it
    std::string unit;
    int64_t blocks = 0;
    int64_t samples = 0;
    int64_t firstOrbit = 0;
    int64_t lastOrbit = 0;
    int32_t firstAmDay = 0;
    int32_t lastAmDay = 0;
};

// A block whose orbit the dates could not decide, or that is an outlier: its date and orbit
// byte disagree with the blocks around it.
struct UnsurePlacement {
    std::string sha256;
    std::string file;
    int64_t orbit = 0;
    int32_t gapDays = 0;
    bool outlier = false;
};

class Archive {
public:
    enum class Access { Read, Write };

    // Opens the archive at `location`: a postgresql:// address or an SQLite file. Read: the
    // archive must exist. Write: a missing SQLite file (and its folder) or an empty database
    // gets the schema. Raises KelvaroxError with one clear message when the archive cannot be
    // opened, is of a newer schema version (it is then left as it is), or cannot be reached.
    // `hooks` tell of waits for other writers and give up waits in progress (Database.h).
    Archive(const std::string& location, Access access, WaitHooks hooks = {});
    ~Archive();
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    // The path or address as messages name it.
    const std::string& Name() const;
    // The same before it is opened: a postgresql:// address without its password.
    static std::string NameOf(const std::string& location);

    // The stored blocks in time order (absolute orbit, then MA), all or those of one channel
    // whose samples reach into `range`. `bytes` is empty unless withBytes is set.
    void ForEachBlock(std::optional<int32_t> channel, const OrbitRange& range, bool withBytes,
                      const std::function<void(const ArchivedBlock&, std::span<const uint8_t> bytes)>& each);

    // The blocks, of one channel or all, that the commits after generation `since` stored or
    // placed anew (every block when `since` is negative): those of one channel in time order,
    // those of all in no particular order. Returns the generation they were read at: what a
    // later call gives as `since` to learn what changed since. An archive of a schema before
    // generations gives every block.
    int64_t ForEachChangedBlock(std::optional<int32_t> channel, int64_t since, bool withBytes,
                                const std::function<void(const ArchivedBlock&, std::span<const uint8_t> bytes)>& each);

    // The samples of one channel from every stored block in time order, those within `range`.
    void ForEachSample(int32_t channel, const OrbitRange& range, const Coefficients& k,
                       const std::function<void(const SeriesSample&, const ArchivedBlock&)>& each);

    // The statistics of the samples of `channel` in each orbit of `range` that holds finite
    // values of it, in orbit order: the number of finite values and their minimum, maximum, sum
    // and sum of squares, each block's samples translated as ForEachDatedSample translates them
    // with `satellite` (the equation in force at the block's start date) and the orbit being
    // the sample's. They are read from the statistics the archive keeps, a page at a time
    // (memory stays flat whatever the range; bench/orbit-statistics.sh measures it); orbits
    // whose stored statistics were made with other equations than `satellite` gives are
    // computed from their blocks instead, as is every orbit of an archive of a schema before
    // kept statistics. Reads one state of the archive throughout; `each` must not use this
    // Archive.
    void ForEachOrbitStatistics(int32_t channel, const OrbitRange& range, const SatelliteDefinition& satellite,
                                const std::function<void(const OrbitStatistics&)>& each);

    // Computes the statistics of every channel and orbit from the stored blocks again, one page
    // at a time, and compares them with the stored ones that `satellite` does not make stale.
    // Each (channel, orbit) whose stored row differs, is missing or has no samples behind it is
    // handed to `differing`.
    struct StatisticsCheck {
        int64_t rows = 0;   // stored rows read
        int64_t stale = 0;  // of them made with other equations: readers compute them, the next writer stores them anew
    };
    StatisticsCheck CheckStatistics(const SatelliteDefinition& satellite,
                                    const std::function<void(int32_t channel, int64_t orbit)>& differing);

    // The satellite definition whose equations the statistics this Archive writes are made
    // with; the built-in catalogue until set. The next write brings the stored statistics that
    // are stale for it up to date in its transaction.
    void UseSatellite(const SatelliteDefinition& satellite) { satellite_ = satellite; }

    // The archived channels in number order.
    std::vector<ChannelSummary> Channels();

    // Counts the commits that changed the stored blocks or their orbits.
    int64_t Generation();

    // The block whose bytes have the SHA-256 `sha` (or a prefix of it naming one block only),
    // or whose stored file is `file`, takes the absolute orbit `orbit`; the blocks after it
    // follow from there. The orbit must end in the block's own orbit byte and lie within 0 to
    // kMaxOrbit.
    void SetOrbit(const std::string& shaOrFile, int64_t orbit);

    // Whether any block of `channel` is stored.
    bool HoldsChannel(int32_t channel);

    // Reads every stored block and compares its bytes with their SHA-256, one block at a time;
    // each block whose bytes do not match is handed to `damaged`. Returns the number read.
    int64_t CheckBlocks(const std::function<void(const ArchivedBlock&)>& damaged);

    // Which Orbit HiByte a batch of new blocks is placed with.
    enum class OrbitBase {
        Settled,  // the one given: the archive's, as an earlier batch of the import learned
        Stored,   // the archive's; the one given when the archive has none yet
        Replace,  // the one given becomes the archive's, and every block is placed again
    };
    struct StoredBatch {
        bool committed = false;  // false: the database refused blocks, and nothing was stored
        int64_t added = 0;
        int64_t alreadyStored = 0;
        int64_t orbitHiByte = 0;  // the one the batch was placed with
        // When not committed: the SHA-256 of each block the database refused, with its reason.
        std::vector<std::pair<std::string, std::string>> refused;
    };
    // Stores the blocks of `blocks` that are not stored yet, each once, in one transaction with
    // the orbit placement they cause; the passes placed not sure are noted in `unsure`. When
    // the database refuses blocks on its own (a constraint or trigger of the site), nothing is
    // committed, `unsure` is left as it was, and the refused blocks are named.
    StoredBatch StoreBlocks(std::span<const IncomingBlock> blocks, int64_t orbitHiByte, OrbitBase base,
                            UnsurePasses& unsure);

    // The blocks of these passes that are not placed for sure, in time order; those of outlier
    // passes only when `withOutliers` is set.
    std::vector<UnsurePlacement> Unsure(const UnsurePasses& passes, bool withOutliers);
    // The first `limit` stored blocks whose orbit is not sure and not set by hand, in time order;
    // their gapDays are not known and given as -1.
    std::vector<UnsurePlacement> StoredUnsure(size_t limit);

private:
    // Counts a commit that changed blocks and brings the statistics of the orbits it changed up to
    // date: those of the blocks placed anew and of the `stored` ones.
    void CountCommit(std::span<const ChannelOrbits> stored = {});

    std::unique_ptr<Database> db_;
    SatelliteDefinition satellite_;
};

struct ImportCounts {
    int64_t added = 0;
    int64_t alreadyStored = 0;
    int64_t refused = 0;  // by the database (a constraint or trigger of the site), the others stored
};

// A block that the database refused, with its reason.
struct RefusedBlock {
    std::string file;
    std::string reason;
};

// Adds blocks to an archive in batches, each batch in one transaction with the orbit placement
// it causes: an import cut short at any moment leaves every block whole or absent and every
// stored block placed, and the same import run again adds what is missing.
class Importer {
public:
    static constexpr size_t kDefaultBatch = 1000;

    // `orbitHiByte`: the Orbit HiByte of the earliest block. An archive keeps the one it was
    // first given; `replace` makes this import's value the archive's and places every block again.
    Importer(Archive& archive, int64_t orbitHiByte, bool replace, size_t batchSize = kDefaultBatch);

    void Add(IncomingBlock block);
    // Stores what is left. Call it before the counts and the unsure placements are final.
    void Finish();

    // What the batches committed so far hold.
    const ImportCounts& Counts() const { return counts_; }
    // The blocks refused since the last call, in the order they came.
    std::vector<RefusedBlock> TakeRefused();
    // The blocks this import placed (or placed again) whose orbit is not sure, in time order.
    // Outliers are among them while there are no more than kListedOutliers of them.
    std::vector<UnsurePlacement> Unsure();
    // How many blocks this import placed (or placed again) are outliers. Many of them are the
    // blocks of another satellite: they are counted, not listed.
    int64_t Outliers() const;
    static constexpr int64_t kListedOutliers = 10;

private:
    void Flush();

    Archive& archive_;
    int64_t orbitHiByte_;
    bool replace_;
    size_t batchSize_;
    bool started_ = false;
    std::vector<IncomingBlock> batch_;
    ImportCounts counts_;
    UnsurePasses unsure_;
    std::vector<RefusedBlock> refused_;
};

}  // namespace kelvarox::archive
