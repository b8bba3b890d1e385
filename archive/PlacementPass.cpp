#include "archive/PlacementPass.h"

#include <algorithm>
#include <climits>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "archive/Database.h"
#include "archive/OrbitPlacement.h"
#include "archive/Schema.h"

namespace kelvarox::archive {

namespace {

// Passes read in one query, at first and at most: the placing mostly stops a few passes after
// the last changed one, and a day holds at most 256 passes, one for each orbit byte. Passes
// whose blocks are placed again in one statement.
constexpr int64_t kFirstPage = 64;
constexpr int64_t kLargestPage = 1024;
constexpr size_t kUpdateChunk = 4096;

// A stored pass's AmDay and orbit byte, and a summary of what its blocks hold.
constexpr const char* kPassSummary =
    "SELECT start_amday, start_orbit_byte, COUNT(*) AS blocks, COUNT(pinned_orbit) AS pinned_blocks, "
    "MIN(pinned_orbit) AS pinned_orbit, MIN(CASE WHEN pinned_orbit IS NULL THEN id * 2 + orbit_sure END) AS first_id_sure, "
    "MIN(CASE WHEN pinned_orbit IS NULL THEN start_orbit END) AS unpinned_lowest, "
    "MAX(CASE WHEN pinned_orbit IS NULL THEN start_orbit END) AS unpinned_highest, "
    "MIN(start_orbit) AS lowest, SUM(orbit_outlier) AS outliers, SUM(orbit_sure) AS sures, "
    "SUM(CASE WHEN pinned_orbit IS NOT NULL AND start_orbit <> pinned_orbit THEN 1 ELSE 0 END) AS misplaced_pins "
    "FROM kelvarox_blocks ";

struct StoredPass {
    int64_t blocks = 0;
    int64_t pinnedBlocks = 0;
    int64_t firstId = 0;  // the unpinned block stored first, which alone can be placed not sure
    bool firstSure = true;
    int64_t unpinnedLowest = 0, unpinnedHighest = 0, lowest = 0;
    int64_t outliers = 0, sures = 0, misplacedPins = 0;

    bool Outlier() const { return outliers > 0; }
    bool HasUnpinned() const { return blocks > pinnedBlocks; }
    // The orbit the pass has in the sequence as stored.
    int64_t Orbit() const { return HasUnpinned() ? unpinnedLowest : lowest; }
    // Whether its blocks hold this placement already.
    bool Holds(const PlacedOrbit& p) const {
        const int64_t unpinned = blocks - pinnedBlocks;
        const int64_t sureUnpinned = p.outlier ? 0 : unpinned - (p.sure ? 0 : 1);
        return misplacedPins == 0 && outliers == (p.outlier ? unpinned : 0) && sures == pinnedBlocks + sureUnpinned &&
               (!HasUnpinned() ||
                (unpinnedLowest == p.startOrbit && unpinnedHighest == p.startOrbit && firstSure == p.sure));
    }
};

// A pass of the sequence, as OrbitSequence takes it, with its stored and its fresh blocks.
struct SequencePass {
    OrbitPass pass;
    std::optional<StoredPass> stored;
    std::span<const IncomingBlock* const> fresh;
};

SequencePass ReadPass(const Row& r) {
    SequencePass sp;
    sp.pass.amDay = static_cast<int32_t>(r.Int("start_amday"));
    sp.pass.orbitByte = static_cast<int32_t>(r.Int("start_orbit_byte"));
    if (!r.IsNull("pinned_orbit")) sp.pass.pinnedOrbit = r.Int("pinned_orbit");
    StoredPass& s = sp.stored.emplace();
    s.blocks = r.Int("blocks");
    s.pinnedBlocks = r.Int("pinned_blocks");
    if (const int firstIdSure = r.ColumnOf("first_id_sure"); !r.IsNull(firstIdSure)) {
        s.firstId = r.Int(firstIdSure) / 2;
        s.firstSure = r.Int(firstIdSure) % 2 != 0;
        s.unpinnedLowest = r.Int("unpinned_lowest");
        s.unpinnedHighest = r.Int("unpinned_highest");
    }
    s.lowest = r.Int("lowest");
    s.outliers = r.Int("outliers");
    s.sures = r.Int("sures");
    s.misplacedPins = r.Int("misplaced_pins");
    return sp;
}

// Puts one day's passes, in ascending order of their orbit bytes, into the order of the sequence.
void OrderDay(std::vector<SequencePass>& day) {
    std::vector<OrbitPass> passes;
    for (const auto& sp : day) passes.push_back(sp.pass);
    std::rotate(day.begin(), day.begin() + static_cast<std::ptrdiff_t>(DayStart(passes)), day.end());
}

// The day to place from: enough passes before `firstDay` that every pass whose placement looks
// ahead into it is placed again. None: from the first stored pass on.
std::optional<int32_t> ResumeDay(Database& db, int32_t firstDay) {
    std::optional<int32_t> day;
    int64_t passes = 0;
    const Param p[] = {int64_t{firstDay}, static_cast<int64_t>(kLookahead)};
    db.Query(
        "SELECT start_amday, COUNT(DISTINCT start_orbit_byte) AS passes FROM kelvarox_blocks WHERE start_amday < $1 "
        "GROUP BY start_amday ORDER BY start_amday DESC LIMIT $2",
        p, [&](const Row& r) {
            if (passes >= static_cast<int64_t>(kLookahead)) return;
            day = static_cast<int32_t>(r.Int("start_amday"));
            passes += r.Int("passes");
        });
    return passes >= static_cast<int64_t>(kLookahead) ? day : std::nullopt;
}

// Where the stored sequence stands before `day`: its last pass that is no outlier.
std::optional<PlacementAnchor> StoredEndBefore(Database& db, int32_t day) {
    std::vector<SequencePass> passes;
    const Param p[] = {int64_t{day}};
    db.Query(std::string(kPassSummary) +
                 "WHERE start_amday = (SELECT MAX(start_amday) FROM kelvarox_blocks WHERE start_amday < $1 AND "
                 "orbit_outlier = 0) GROUP BY start_amday, start_orbit_byte ORDER BY start_orbit_byte",
             p, [&](const Row& r) { passes.push_back(ReadPass(r)); });
    OrderDay(passes);
    std::optional<PlacementAnchor> end;
    for (const auto& sp : passes)
        if (!sp.stored->Outlier()) end = PlacementAnchor{sp.pass.amDay, sp.stored->Orbit()};
    return end;
}

class Placing {
public:
    Placing(Database& db, const PlacementChange& change, int64_t orbitHiByte, UnsurePasses& unsure)
        : db_(db), change_(change), unsure_(unsure), fresh_(change.fresh.begin(), change.fresh.end()),
          generation_(CommitGeneration(db)) {
        std::stable_sort(fresh_.begin(), fresh_.end(), [](const IncomingBlock* a, const IncomingBlock* b) {
            return std::pair(a->facts.startAmDay, a->facts.startOrbitByte) <
                   std::pair(b->facts.startAmDay, b->facts.startOrbitByte);
        });
        const auto resume = ResumeDay(db, change.firstDay);
        if (resume) {
            cursor_ = *resume;
            storedEnd_ = StoredEndBefore(db, *resume);
        }
        sequence_.emplace(storedEnd_, orbitHiByte);
    }

    Placed Run() {
        while (!stopped_ && storedLeft_) {
            auto page = ReadPage();
            for (size_t begin = 0; begin < page.size() && !stopped_;) {
                size_t end = begin;
                while (end < page.size() && page[end].pass.amDay == page[begin].pass.amDay) ++end;
                FeedFreshDaysBefore(page[begin].pass.amDay);
                FeedDay(std::vector(page.begin() + static_cast<std::ptrdiff_t>(begin),
                                    page.begin() + static_cast<std::ptrdiff_t>(end)));
                begin = end;
            }
        }
        if (!stopped_) {
            FeedFreshDaysBefore(INT32_MAX);
            sequence_->Finish();
            Drain();
        }
        FlushUpdates();
        Placed placed;
        placed.refused = db_.InsertBlocks(rows_);
        // By their place among the fresh blocks rather than among the rows, which are in the
        // order of the time line.
        for (RefusedRow& r : placed.refused) {
            const auto at = std::find(change_.fresh.begin(), change_.fresh.end(), rows_[r.index].block);
            r.index = static_cast<size_t>(at - change_.fresh.begin());
        }
        for (const NewBlockRow& row : rows_) {
            const BlockFacts& f = row.block->facts;
            placed.stored.push_back({f.channel, row.startOrbit, row.startOrbit + f.lastSampleOrbitOffset});
        }
        return placed;
    }

private:
    // The next stored passes from the cursor on, whole days only; the pages grow as the placing
    // goes on.
    std::vector<SequencePass> ReadPage() {
        std::vector<SequencePass> page;
        const Param p[] = {int64_t{cursor_}, page_};
        db_.Query(std::string(kPassSummary) +
                      "WHERE start_amday >= $1 GROUP BY start_amday, start_orbit_byte "
                      "ORDER BY start_amday, start_orbit_byte LIMIT $2",
                  p, [&](const Row& r) { page.push_back(ReadPass(r)); });
        if (static_cast<int64_t>(page.size()) < page_) {
            storedLeft_ = false;
        } else {
            // The page may end within its last day: that day comes whole with the next page,
            // which is larger.
            cursor_ = page.back().pass.amDay;
            while (!page.empty() && page.back().pass.amDay == cursor_) page.pop_back();
        }
        page_ = std::min(page_ * 2, kLargestPage);
        return page;
    }

    // Gives the sequence the days that hold fresh blocks only, up to `day`.
    void FeedFreshDaysBefore(int32_t day) {
        while (!stopped_ && freshAt_ < fresh_.size() && fresh_[freshAt_]->facts.startAmDay < day) FeedDay({});
    }

    // Gives the sequence one day's stored passes (in ascending order of their orbit bytes)
    // together with the fresh blocks of that day, if any.
    void FeedDay(std::vector<SequencePass> stored) {
        const int32_t day = stored.empty() ? fresh_[freshAt_]->facts.startAmDay : stored.front().pass.amDay;
        std::vector<SequencePass> passes;
        size_t s = 0;
        while (s < stored.size() || (freshAt_ < fresh_.size() && fresh_[freshAt_]->facts.startAmDay == day)) {
            const bool freshNext =
                freshAt_ < fresh_.size() && fresh_[freshAt_]->facts.startAmDay == day &&
                (s == stored.size() || fresh_[freshAt_]->facts.startOrbitByte <= stored[s].pass.orbitByte);
            if (!freshNext) {
                passes.push_back(std::move(stored[s++]));
                continue;
            }
            const int32_t byte = fresh_[freshAt_]->facts.startOrbitByte;
            size_t end = freshAt_;
            while (end < fresh_.size() && fresh_[end]->facts.startAmDay == day &&
                   fresh_[end]->facts.startOrbitByte == byte)
                ++end;
            SequencePass sp;
            if (s < stored.size() && stored[s].pass.orbitByte == byte)
                sp = std::move(stored[s++]);
            else
                sp.pass = OrbitPass{day, byte, std::nullopt};
            sp.fresh = std::span(fresh_).subspan(freshAt_, end - freshAt_);
            passes.push_back(std::move(sp));
            freshAt_ = end;
        }
        OrderDay(passes);
        for (auto& sp : passes) {
            sequence_->Add(sp.pass);
            waiting_.push_back(std::move(sp));
        }
        Drain();
    }

    void Drain() {
        while (!stopped_) {
            const auto placed = sequence_->Take();
            if (!placed) return;
            Apply(waiting_.front(), *placed);
            waiting_.pop_front();
            stopped_ = SequenceAsStored();
        }
    }

    void Apply(const SequencePass& sp, const PlacedOrbit& placed) {
        const int32_t day = sp.pass.amDay, byte = sp.pass.orbitByte;
        const bool restSure = !placed.outlier;
        const bool storedChanged = sp.stored && !sp.stored->Holds(placed);
        if (storedChanged) {
            updates_.push_back(
                {day, byte, placed.startOrbit, sp.stored->firstId, placed.sure, restSure, placed.outlier});
            if (updates_.size() >= kUpdateChunk) FlushUpdates();
        }
        const bool storedFirst = sp.stored && sp.stored->HasUnpinned();
        const int64_t unpinned =
            (sp.stored ? sp.stored->blocks - sp.stored->pinnedBlocks : 0) + static_cast<int64_t>(sp.fresh.size());
        for (size_t i = 0; i < sp.fresh.size(); ++i) {
            const bool first = i == 0 && !storedFirst && !sp.pass.pinnedOrbit;
            rows_.push_back(
                {sp.fresh[i], placed.startOrbit, first ? placed.sure : restSure, placed.outlier, generation_});
        }
        if (storedChanged || !sp.fresh.empty()) {
            if (placed.sure)
                unsure_.erase({day, byte});
            else
                unsure_[{day, byte}] = {placed.gapDays, placed.outlier, unpinned};
        }
        if (sp.stored && !sp.stored->Outlier()) storedEnd_ = PlacementAnchor{day, sp.stored->Orbit()};
        takenDay_ = day;
    }

    // Whether every change has been placed and the sequence stands where it stood as stored:
    // every pass after this one then keeps its stored placement.
    bool SequenceAsStored() const {
        if (change_.toTheEnd) return false;
        const bool pastChange =
            waiting_.empty() ? takenDay_ >= change_.lastDay : waiting_.front().pass.amDay > change_.lastDay;
        const auto& end = sequence_->End();
        return pastChange && end == storedEnd_ && (end.has_value() || !change_.newOrbitHiByte);
    }

    void FlushUpdates() {
        db_.UpdatePasses(updates_);
        updates_.clear();
    }

    Database& db_;
    const PlacementChange& change_;
    UnsurePasses& unsure_;
    std::vector<const IncomingBlock*> fresh_;  // by AmDay and orbit byte
    const int64_t generation_;                 // the fresh blocks are stored with
    size_t freshAt_ = 0;                       // the first not given to the sequence yet
    int32_t cursor_ = INT32_MIN;               // the first day of the next page
    int64_t page_ = kFirstPage;                // how many passes the next page holds at most
    bool storedLeft_ = true;
    std::optional<PlacementAnchor> storedEnd_;  // where the stored sequence stands after the passes taken
    std::optional<OrbitSequence> sequence_;
    std::deque<SequencePass> waiting_;  // given to the sequence, not decided yet
    int32_t takenDay_ = INT32_MIN;
    bool stopped_ = false;
    std::vector<PassUpdate> updates_;
    std::vector<NewBlockRow> rows_;
};

}  // namespace

Placed PlaceAndStore(Database& db, const PlacementChange& change, int64_t orbitHiByte, UnsurePasses& unsure) {
    return Placing(db, change, orbitHiByte, unsure).Run();
}

}  // namespace kelvarox::archive
