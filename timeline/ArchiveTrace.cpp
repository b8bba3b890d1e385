#include "timeline/ArchiveTrace.h"

#include <algorithm>
#include <unordered_set>

#include "archive/DatedSamples.h"
#include "core/ChannelCatalogue.h"

namespace kelvarox::timeline {

namespace {

OrbitTime StartOf(const archive::ArchivedBlock& b) { return TimeOf(b.startOrbit, b.facts.startMA); }
OrbitTime EndOf(const archive::ArchivedBlock& b) { return TimeOf(b.endOrbit, b.facts.endMA); }

TraceBlock HeadOf(const archive::ArchivedBlock& b) {
    TraceBlock head;
    head.file = b.file;
    head.id = b.id;
    head.startOrbit = b.startOrbit;
    head.startAmDay = b.facts.startAmDay;
    head.endAmDay = b.facts.endAmDay;
    head.maStep = b.facts.maStep;
    return head;
}

// The trace of a channel, named as the satellite names it today.
ChannelTrace EmptyTrace(int32_t channel, const SatelliteDefinition& satellite) {
    const ChannelDefinition now = satellite.DefinitionOf(channel, INT64_MAX);
    return ChannelTrace(channel, now.name, now.unit);
}

}  // namespace

ChannelTrace LoadChannelTrace(archive::Archive& archive, int32_t channel, const archive::OrbitRange& range,
                              const std::optional<Coefficients>& k, const SatelliteDefinition& satellite) {
    ChannelTrace trace = EmptyTrace(channel, satellite);
    DatedTranslation translation(satellite, channel, k);
    int64_t blockId = -1;
    archive::ForEachDatedSample(archive, channel, range, translation,
                                [&](const archive::SeriesSample& s, const archive::ArchivedBlock& b) {
                                    if (b.id != blockId) {
                                        trace.AddBlock(HeadOf(b));
                                        blockId = b.id;
                                    }
                                    trace.AddSample(TimeOf(s.orbit, s.ma), s.value, s.raw);
                                });
    trace.Finish();
    return trace;
}

DateLine LoadDateLine(archive::Archive& archive) {
    DateLine dates;
    archive.ForEachBlock(std::nullopt, {}, false, [&](const archive::ArchivedBlock& b, std::span<const uint8_t>) {
        dates.AddBlock(StartOf(b), EndOf(b), b.facts.startAmDay, b.facts.endAmDay);
    });
    dates.Finish();
    return dates;
}

// A block read for the trace, with its samples.
struct TraceFollower::ReadBlock {
    archive::ArchivedBlock block;
    std::vector<archive::SeriesSample> samples;
};

TraceFollower::TraceFollower(int32_t channel, std::shared_ptr<const SatelliteDefinition> satellite)
    : channel_(channel),
      // The built-in satellite lives as long as the program: shared without an owner.
      satellite_(satellite ? std::move(satellite)
                           : std::shared_ptr<const SatelliteDefinition>(std::shared_ptr<void>(), &BuiltInSatellite())),
      translation_(*satellite_, channel), trace_(EmptyTrace(channel, *satellite_)) {}

bool TraceFollower::Update(archive::Archive& archive) {
    const auto add = [](ChannelTrace& trace, const archive::ArchivedBlock& b, auto&& samples) {
        trace.AddBlock(HeadOf(b));
        samples([&](const archive::SeriesSample& s) { trace.AddSample(TimeOf(s.orbit, s.ma), s.value, s.raw); });
    };
    if (generation_ < 0) {
        // Everything, straight into a trace of its own, in time order.
        ChannelTrace read(channel_, trace_.Name(), trace_.Unit());
        int64_t lastId = 0;
        const int64_t generation = archive.ForEachChangedBlock(
            channel_, -1, true, [&](const archive::ArchivedBlock& b, std::span<const uint8_t> bytes) {
                add(read, b, [&](auto&& each) {
                    ForEachBlockSample(b.facts, b.startOrbit, bytes, translation_.At(b.facts.startAmDay), each);
                });
                lastId = std::max(lastId, b.id);
            });
        read.Finish();
        trace_ = std::move(read);
        generation_ = generation;
        lastId_ = lastId;
        return true;
    }
    std::vector<ReadBlock> changed;
    bool placedAnew = false;
    const int64_t generation = archive.ForEachChangedBlock(
        channel_, generation_, true, [&](const archive::ArchivedBlock& b, std::span<const uint8_t> bytes) {
            ReadBlock read{b, {}};
            ForEachBlockSample(b.facts, b.startOrbit, bytes, translation_.At(b.facts.startAmDay),
                               [&](const archive::SeriesSample& s) { read.samples.push_back(s); });
            placedAnew = placedAnew || b.id <= lastId_;
            changed.push_back(std::move(read));
        });
    generation_ = generation;
    if (changed.empty()) return false;
    if (placedAnew) {
        Rebuild(std::move(changed));
        return true;
    }
    // New blocks: after the last one they are added, and copies of the trace keep theirs.
    for (const ReadBlock& r : changed) {
        add(trace_, r.block, [&](auto&& each) {
            for (const auto& s : r.samples) each(s);
        });
        lastId_ = std::max(lastId_, r.block.id);
    }
    trace_.Finish();
    return true;
}

void TraceFollower::Rebuild(std::vector<ReadBlock> changed) {
    // The blocks kept and the blocks read, merged in time order; a kept block placed anew is
    // among those read.
    std::unordered_set<int64_t> ids;
    for (const ReadBlock& r : changed) ids.insert(r.block.id);
    ChannelTrace rebuilt(channel_, trace_.Name(), trace_.Unit());
    size_t next = 0;
    const auto addKept = [&](size_t b) {
        const TraceBlock& block = trace_.Block(b);
        if (ids.count(block.id)) return;
        rebuilt.AddBlock(block);
        for (size_t i = block.first; i < block.first + block.count; ++i)
            rebuilt.AddSample(trace_.Time(i), trace_.Value(i), trace_.Raw(i));
    };
    for (const ReadBlock& r : changed) {
        const OrbitTime start = StartOf(r.block);
        for (; next < trace_.BlockCount() && trace_.Block(next).start <= start; ++next) addKept(next);
        rebuilt.AddBlock(HeadOf(r.block));
        for (const auto& s : r.samples) rebuilt.AddSample(TimeOf(s.orbit, s.ma), s.value, s.raw);
        lastId_ = std::max(lastId_, r.block.id);
    }
    for (; next < trace_.BlockCount(); ++next) addKept(next);
    rebuilt.Finish();
    trace_ = std::move(rebuilt);
}

bool ArchiveOverview::Update(archive::Archive& archive) {
    if (generation_ >= 0) {
        std::vector<archive::ArchivedBlock> added;
        bool placedAnew = false;
        const int64_t generation = archive.ForEachChangedBlock(
            std::nullopt, generation_, false, [&](const archive::ArchivedBlock& b, std::span<const uint8_t>) {
                placedAnew = placedAnew || b.id <= lastId_;
                if (!placedAnew) added.push_back(b);
            });
        if (!placedAnew) {
            generation_ = generation;
            if (added.empty()) return false;
            for (const archive::ArchivedBlock& b : added) Add(b);
            Publish();
            return true;
        }
        // A block moved: its old place is in the summaries, so they are made again.
    }
    ArchiveOverview read(satellite_);
    read.generation_ = archive.ForEachChangedBlock(
        std::nullopt, -1, false, [&](const archive::ArchivedBlock& b, std::span<const uint8_t>) { read.Add(b); });
    *this = std::move(read);
    Publish();
    return true;
}

void ArchiveOverview::Add(const archive::ArchivedBlock& b) {
    lastId_ = std::max(lastId_, b.id);
    auto [at, added] = channels_.try_emplace(b.facts.channel);
    archive::ChannelSummary& c = at->second;
    if (added) {
        c.channel = b.facts.channel;
        const ChannelDefinition now =
            (satellite_ ? *satellite_ : BuiltInSatellite()).DefinitionOf(c.channel, INT64_MAX);
        c.name = now.name;
        c.unit = now.unit;
        c.firstOrbit = b.startOrbit;
        c.lastOrbit = b.lastOrbit;
        c.firstAmDay = b.facts.startAmDay;
        c.lastAmDay = b.facts.endAmDay;
    }
    ++c.blocks;
    c.samples += b.facts.sampleCount;
    c.firstOrbit = std::min(c.firstOrbit, b.startOrbit);
    c.lastOrbit = std::max(c.lastOrbit, b.lastOrbit);
    c.firstAmDay = std::min(c.firstAmDay, b.facts.startAmDay);
    c.lastAmDay = std::max(c.lastAmDay, b.facts.endAmDay);

    if (satellite_) {
        if (const auto day = satellite_->MisplacedStartDay(b.facts.startAmDay, b.startOrbit, b.facts.startMA)) {
            if (misplaced_++ == 0)
                firstMisplaced_ = b.file + ": " + SatelliteDefinition::MisplacedStartText(*day, b.facts.startAmDay);
        }
    }

    const OrbitTime start = StartOf(b), end = EndOf(b);
    auto [day, fresh] = days_.try_emplace({b.facts.startAmDay, b.facts.endAmDay}, start, end);
    if (!fresh) {
        day->second.first = std::min(day->second.first, start);
        day->second.second = std::max(day->second.second, end);
    }
}

std::string ArchiveOverview::MisplacedText() const {
    if (misplaced_ == 0) return {};
    return std::to_string(misplaced_) + (misplaced_ == 1 ? " block" : " blocks") +
           " dated otherwise by the satellite's elements; the first: " + firstMisplaced_;
}

void ArchiveOverview::Publish() {
    channelList_.clear();
    for (const auto& [number, summary] : channels_) channelList_.push_back(summary);
    auto dates = std::make_shared<DateLine>();
    for (const auto& [days, span] : days_) dates->AddBlock(span.first, span.second, days.first, days.second);
    dates->Finish();
    dates_ = std::move(dates);
}

}  // namespace kelvarox::timeline
