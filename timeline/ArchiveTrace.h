#pragma once
// The time line's data read from the archive: a channel's trace and the days of the orbit axis,
// read once, or kept up to date with the archive by reading only what its commits changed.
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "archive/Archive.h"
#include "core/DatedTranslation.h"
#include "timeline/ChannelTrace.h"
#include "timeline/DateLine.h"

namespace kelvarox::timeline {

// Every sample of `channel` within `range`, translated with `k`, by default each block with the
// satellite's equation in force at its start date (as Load fills the boxes).
ChannelTrace LoadChannelTrace(archive::Archive& archive, int32_t channel, const archive::OrbitRange& range = {},
                              const std::optional<Coefficients>& k = std::nullopt,
                              const SatelliteDefinition& satellite = BuiltInSatellite());

// The days that the blocks of every channel give the orbit axis.
DateLine LoadDateLine(archive::Archive& archive);

// A channel's trace that follows the archive. The first Update reads every block of the
// channel; each later one reads only the blocks that commits since stored or placed anew:
// blocks after the last one are added to the trace, and a block placed anew (an earlier block
// came, or an orbit was set by hand) takes its new place among the others.
class TraceFollower {
public:
    // Translates each block with the satellite's equation in force at its start date; the
    // satellite stays as long as the follower.
    explicit TraceFollower(int32_t channel, std::shared_ptr<const SatelliteDefinition> satellite = nullptr);

    // Reads what changed since the last Update; true when the trace changed.
    bool Update(archive::Archive& archive);
    // The trace as the last Update left it, sharing its samples with the follower: copies of
    // earlier updates stay as they were.
    std::shared_ptr<const ChannelTrace> Trace() const { return std::make_shared<const ChannelTrace>(trace_); }

private:
    struct ReadBlock;
    void Rebuild(std::vector<ReadBlock> changed);

    int32_t channel_;
    std::shared_ptr<const SatelliteDefinition> satellite_;
    DatedTranslation translation_;
    ChannelTrace trace_;
    int64_t generation_ = -1;  // that of the last read; none yet
    int64_t lastId_ = 0;       // the highest block id read: a higher one is a new block
};

// The archived channels and the days of the orbit axis, following the archive as TraceFollower
// does: the first Update reads the facts of every block, later ones those of the blocks that
// commits stored since; a block placed anew has every block read again. It keeps per channel
// and per day a summary, not the blocks.
class ArchiveOverview {
public:
    // The channels named as the satellite names them today, and the blocks that its elements
    // date otherwise than their headers counted.
    explicit ArchiveOverview(std::shared_ptr<const SatelliteDefinition> satellite = nullptr)
        : satellite_(std::move(satellite)) {}

    // Reads what changed since the last Update; true when anything did.
    bool Update(archive::Archive& archive);
    // "3 blocks dated otherwise by the satellite's elements; the first: FILE: the elements
    // place ..."; empty when the elements agree with every block or there are none.
    std::string MisplacedText() const;
    const std::vector<archive::ChannelSummary>& Channels() const { return channelList_; }
    std::shared_ptr<const DateLine> Dates() const { return dates_; }

private:
    void Add(const archive::ArchivedBlock& b);
    void Publish();

    std::shared_ptr<const SatelliteDefinition> satellite_;
    int64_t generation_ = -1;
    int64_t lastId_ = 0;
    int64_t misplaced_ = 0;
    std::string firstMisplaced_;  // the warning for the first of them
    std::map<int32_t, archive::ChannelSummary> channels_;
    // The blocks of each pair of start and end day: their earliest start and latest end.
    std::map<std::pair<int32_t, int32_t>, std::pair<OrbitTime, OrbitTime>> days_;
    std::vector<archive::ChannelSummary> channelList_;
    std::shared_ptr<const DateLine> dates_ = std::make_shared<const DateLine>();
};

}  // namespace kelvarox::timeline
