#include "timeline/Excursions.h"

#include <algorithm>
#include <cmath>

namespace kelvarox::timeline {

namespace {

int64_t PositionOf(SamplePlace p) { return p.orbit * 256 + p.ma; }

}  // namespace

bool StartsBefore(const Excursion& a, const Excursion& b) {
    const int64_t pa = PositionOf(a.first), pb = PositionOf(b.first);
    if (pa != pb) return pa < pb;
    if (a.level != b.level) return a.level < b.level;  // yellow before red
    if (a.side != b.side) return a.side < b.side;
    return a.file < b.file;
}

namespace {}  // namespace

LimitLevel LevelOn(const ChannelLimits& limits, LimitSide side, double value) {
    if (!std::isfinite(value)) return LimitLevel::Invalid;
    if (side == LimitSide::Low) {
        if (limits.redLow && value <= *limits.redLow) return LimitLevel::Red;
        if (limits.yellowLow && value <= *limits.yellowLow) return LimitLevel::Yellow;
    } else {
        if (limits.redHigh && value >= *limits.redHigh) return LimitLevel::Red;
        if (limits.yellowHigh && value >= *limits.yellowHigh) return LimitLevel::Yellow;
    }
    return LimitLevel::Within;
}

LimitLevel LevelOf(const ChannelLimits& limits, double value) {
    return std::max(LevelOn(limits, LimitSide::Low, value), LevelOn(limits, LimitSide::High, value));
}

ExcursionFinder::ExcursionFinder(Emit emit) : emit_(std::move(emit)) {}

ExcursionFinder::Run& ExcursionFinder::RunOf(LimitSide side, LimitLevel level) {
    return runs_[(side == LimitSide::High ? 2 : 0) + (level == LimitLevel::Red ? 1 : 0)];
}

void ExcursionFinder::StartBlock(const ChannelLimits* limits, std::string file, int32_t maStep, int64_t startAmDay) {
    limits_ = limits;
    file_ = std::move(file);
    startAmDay_ = startAmDay;
    maStep_ = maStep;
    blockStarted_ = true;
    if (!limits_) EndAll();
}

void ExcursionFinder::Add(SamplePlace at, float value) {
    if (blockStarted_) {
        // A block that does not join the one before ends every run.
        const int64_t gap = havePrevious_ ? PositionOf(at) - PositionOf(previous_) : -1;
        blockStart_ = PositionOf(at);
        // What ended before this block is handed on once a block, not once a sample.
        if (!(gap >= 0 && gap <= maStep_))
            EndAll();
        else
            Release();
        blockStarted_ = false;
    }
    previous_ = at;
    havePrevious_ = true;
    if (!limits_) return;
    for (LimitSide side : {LimitSide::Low, LimitSide::High}) {
        const LimitLevel level = LevelOn(*limits_, side, value);
        Extend(RunOf(side, LimitLevel::Yellow), level >= LimitLevel::Yellow, at, value);
        Extend(RunOf(side, LimitLevel::Red), level == LimitLevel::Red, at, value);
    }
}

void ExcursionFinder::Extend(Run& run, bool breach, SamplePlace at, float value) {
    if (!breach) {
        Close(run);
        return;
    }
    Excursion& e = run.excursion;
    const bool low = &run == &runs_[0] || &run == &runs_[1];
    if (!run.open) {
        run.open = true;
        run.persistence = limits_->persistence;
        e = Excursion{};
        e.level = (&run - runs_) % 2 == 1 ? LimitLevel::Red : LimitLevel::Yellow;
        e.side = low ? LimitSide::Low : LimitSide::High;
        e.first = at;
        e.peak = value;
        e.file = file_;
        e.startAmDay = startAmDay_;
    }
    e.last = at;
    e.samples += 1;
    if (e.samples >= run.persistence) worst_ = std::max(worst_, e.level);
    e.peak = low ? std::min(e.peak, value) : std::max(e.peak, value);
}

void ExcursionFinder::Close(Run& run) {
    if (!run.open) return;
    run.open = false;
    if (run.excursion.samples >= run.persistence) ended_.push(std::move(run.excursion));
}

void ExcursionFinder::EndAll() {
    for (Run& run : runs_) Close(run);
    Release();
}

// Hands on the ended excursions that nothing still to come can precede: no open run, and no
// excursion of a later block, which starts where its block starts or after.
void ExcursionFinder::Release() {
    if (ended_.empty()) return;
    const Excursion* earliestOpen = nullptr;
    for (const Run& run : runs_)
        if (run.open && (!earliestOpen || StartsBefore(run.excursion, *earliestOpen))) earliestOpen = &run.excursion;
    while (!ended_.empty() && (finished_ || PositionOf(ended_.top().first) < blockStart_) &&
           (!earliestOpen || StartsBefore(ended_.top(), *earliestOpen))) {
        emit_(ended_.top());
        ended_.pop();
    }
}

void ExcursionFinder::Finish() {
    finished_ = true;
    EndAll();
}

std::vector<Excursion> ExcursionsOf(const ChannelTrace& trace, const SatelliteDefinition& satellite) {
    std::vector<Excursion> found;
    ExcursionFinder finder([&](const Excursion& e) { found.push_back(e); });
    for (size_t b = 0; b < trace.BlockCount(); ++b) {
        const TraceBlock& block = trace.Block(b);
        const ChannelEntry* entry = satellite.EntryOf(trace.Channel(), block.startAmDay);
        finder.StartBlock(entry && entry->limits ? &*entry->limits : nullptr, block.file, block.maStep,
                          block.startAmDay);
        for (size_t i = block.first; i < block.first + block.count; ++i) {
            const OrbitAndMA at = OrbitAndMAOf(trace.Time(i));
            finder.Add({at.orbit, at.ma}, trace.Value(i));
        }
    }
    finder.Finish();
    return found;
}

LimitLevel WorstLevel(const std::vector<Excursion>& excursions) {
    LimitLevel worst = LimitLevel::Within;
    for (const Excursion& e : excursions) worst = std::max(worst, e.level);
    return worst;
}

}  // namespace kelvarox::timeline
