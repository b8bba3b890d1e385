#include "timeline/LimitWatch.h"

#include "archive/SeriesRows.h"

namespace kelvarox::timeline {

struct LimitWatch::Channel {
    Channel(const SatelliteDefinition& satellite, int32_t number)
        : finder([](const Excursion&) {}), translation(satellite, number) {}
    ExcursionFinder finder;
    DatedTranslation translation;
    int64_t generation = -1;        // of the last read
    int64_t lastId = 0;             // the highest block id read
    int64_t lastStart = INT64_MIN;  // the position (orbit * 256 + MA) of the last block read
    bool any = false;
};

LimitWatch::LimitWatch(std::shared_ptr<const SatelliteDefinition> satellite) : satellite_(std::move(satellite)) {}

LimitWatch::~LimitWatch() = default;

bool LimitWatch::ReadChanged(archive::Archive& archive, int32_t number, Channel& c) {
    bool inOrder = true;
    const int64_t generation = archive.ForEachChangedBlock(
        number, c.generation, true, [&](const archive::ArchivedBlock& b, std::span<const uint8_t> bytes) {
            const int64_t start = b.startOrbit * 256 + b.facts.startMA;
            if (!inOrder || b.id <= c.lastId || start < c.lastStart) {
                inOrder = false;
                return;
            }
            c.finder.StartBlock(c.translation.LimitsAt(b.facts.startAmDay), b.file, b.facts.maStep, b.facts.startAmDay);
            archive::ForEachBlockSample(b.facts, b.startOrbit, bytes, c.translation.At(b.facts.startAmDay),
                                        [&](const archive::SeriesSample& s) {
                                            c.finder.Add({s.orbit, s.ma}, s.value);
                                        });
            c.lastId = b.id;
            c.lastStart = start;
            c.any = true;
        });
    c.generation = generation;
    return inOrder;
}

bool LimitWatch::Update(archive::Archive& archive) {
    const auto before = Levels();
    for (const int32_t number : satellite_->ChannelsWithLimits()) {
        auto& c = channels_[number];
        if (!c) c = std::make_unique<Channel>(*satellite_, number);
        if (ReadChanged(archive, number, *c)) continue;
        c = std::make_unique<Channel>(*satellite_, number);
        ReadChanged(archive, number, *c);
    }
    return Levels() != before;
}

std::map<int32_t, LimitLevel> LimitWatch::Levels() const {
    std::map<int32_t, LimitLevel> levels;
    for (const auto& [number, c] : channels_)
        if (c->any) levels[number] = c->finder.WorstSoFar();
    return levels;
}

}  // namespace kelvarox::timeline
