#include "timeline/ChannelTrace.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace kelvarox::timeline {

namespace {

// The first index of [from, to) for which `below` is false; `below` holds for a leading run.
template <class Below>
size_t FirstNotBelow(size_t from, size_t to, Below&& below) {
    while (from < to) {
        const size_t middle = from + (to - from) / 2;
        if (below(middle))
            from = middle + 1;
        else
            to = middle;
    }
    return from;
}

}  // namespace

ChannelTrace::ChannelTrace(int32_t channel, std::string name, std::string unit)
    : channel_(channel), name_(std::move(name)), unit_(std::move(unit)) {}

void ChannelTrace::AddBlock(std::string file, int32_t startAmDay, int32_t endAmDay, int32_t maStep) {
    TraceBlock head;
    head.file = std::move(file);
    head.startAmDay = startAmDay;
    head.endAmDay = endAmDay;
    head.maStep = maStep;
    AddBlock(std::move(head));
}

void ChannelTrace::AddBlock(TraceBlock head) {
    BlockEntry entry;
    entry.block = std::move(head);
    entry.block.first = times_.Size();
    entry.block.count = 0;
    blocks_.PushBack(std::move(entry));
}

void ChannelTrace::AddSample(OrbitTime time, float value, uint8_t raw) {
    times_.PushBack(time);
    values_.PushBack(value);
    raws_.PushBack(raw);
    ++blocks_[blocks_.Size() - 1].block.count;
}

void ChannelTrace::SortSamples(const TraceBlock& block) {
    const auto time = [&](size_t i) { return times_[block.first + i]; };
    bool sorted = true;
    for (size_t i = 1; i < block.count && sorted; ++i) sorted = time(i - 1) <= time(i);
    if (sorted) return;
    // A block whose MA runs backward: its samples in time order.
    std::vector<size_t> order(block.count);
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return time(a) < time(b); });
    std::vector<OrbitTime> times;
    std::vector<float> values;
    std::vector<uint8_t> raws;
    for (size_t i : order) {
        times.push_back(times_[block.first + i]);
        values.push_back(values_[block.first + i]);
        raws.push_back(raws_[block.first + i]);
    }
    for (size_t i = 0; i < block.count; ++i) {
        times_[block.first + i] = times[i];
        values_[block.first + i] = values[i];
        raws_[block.first + i] = raws[i];
    }
}

void ChannelTrace::PutInOrder() {
    std::vector<size_t> order(blocks_.Size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return blocks_[a].block.start < blocks_[b].block.start; });
    SharedChunks<OrbitTime, kSampleChunk> times;
    SharedChunks<float, kSampleChunk> values;
    SharedChunks<uint8_t, kSampleChunk> raws;
    SharedChunks<BlockEntry, kBlockChunk> blocks;
    for (size_t b : order) {
        BlockEntry entry = blocks_[b];
        const size_t from = entry.block.first;
        entry.block.first = times.Size();
        for (size_t i = from; i < from + entry.block.count; ++i) {
            times.PushBack(times_[i]);
            values.PushBack(values_[i]);
            raws.PushBack(raws_[i]);
        }
        blocks.PushBack(std::move(entry));
    }
    times_ = std::move(times);
    values_ = std::move(values);
    raws_ = std::move(raws);
    blocks_ = std::move(blocks);
}

void ChannelTrace::Finish() {
    // A block without samples has no place on the time line.
    size_t kept = finishedBlocks_;
    for (size_t b = finishedBlocks_; b < blocks_.Size(); ++b) {
        if (blocks_[b].block.count == 0) continue;
        if (kept != b) blocks_[kept] = std::move(blocks_[b]);
        ++kept;
    }
    blocks_.Truncate(kept);
    bool ordered = true;
    for (size_t b = finishedBlocks_; b < blocks_.Size(); ++b) {
        TraceBlock& block = blocks_[b].block;
        SortSamples(block);
        block.start = times_[block.first];
        block.end = times_[block.first + block.count - 1];
        block.summary = Summary{};
        for (size_t i = block.first; i < block.first + block.count; ++i) block.summary.Add(values_[i]);
        if (b > 0 && block.start < blocks_[b - 1].block.start) ordered = false;
    }
    size_t from = finishedBlocks_;
    if (!ordered) {
        PutInOrder();
        from = 0;
    }
    Link(from);
    finishedBlocks_ = blocks_.Size();
}

void ChannelTrace::Link(size_t from) {
    for (size_t b = from; b < blocks_.Size(); ++b) {
        BlockEntry& entry = blocks_[b];
        TraceBlock& block = entry.block;
        if (b == 0) {
            block.joinsPrevious = false;
            entry.reach = block.end;
            entry.reachBlock = b;
            continue;
        }
        const BlockEntry& before = blocks_[b - 1];
        const double gap = (block.start - before.block.end) * kMAPerOrbit;
        block.joinsPrevious = gap >= 0 && gap <= block.maStep;
        const bool further = block.end > before.reach;
        entry.reach = further ? block.end : before.reach;
        entry.reachBlock = further ? b : before.reachBlock;
    }
}

SampleAt ChannelTrace::Sample(size_t i) const {
    const size_t block = FirstNotBelow(0, BlockCount(), [&](size_t b) { return Block(b).first <= i; }) - 1;
    return SampleAt{i, block, times_[i], values_[i], raws_[i]};
}

std::optional<TimeRange> ChannelTrace::Extent() const {
    if (BlockCount() == 0) return std::nullopt;
    return TimeRange{Block(0).start, Reach(BlockCount() - 1)};
}

std::pair<size_t, size_t> ChannelTrace::BlocksWithin(OrbitTime from, OrbitTime to) const {
    const size_t first = FirstNotBelow(0, BlockCount(), [&](size_t b) { return Reach(b) < from; });
    const size_t last = FirstNotBelow(0, BlockCount(), [&](size_t b) { return !(to < Block(b).start); });
    return {first, std::max(first, last)};
}

size_t ChannelTrace::LowerBound(const TraceBlock& block, OrbitTime time) const {
    return FirstNotBelow(block.first, block.first + block.count, [&](size_t i) { return times_[i] < time; });
}

std::optional<SampleAt> ChannelTrace::Nearest(OrbitTime time) const {
    if (BlockCount() == 0 || std::isnan(time)) return std::nullopt;
    std::optional<size_t> best;
    double bestDistance = 0;
    auto consider = [&](size_t i) {
        const double distance = std::abs(times_[i] - time);
        // Of two as near, the later one: the later in time, or in the trace's order.
        if (!best || distance < bestDistance ||
            (distance == bestDistance && (times_[i] > times_[*best] || (times_[i] == times_[*best] && i > *best)))) {
            best = i;
            bestDistance = distance;
        }
    };
    // The blocks that start after `time`: the first of them has the earliest sample after it.
    const size_t after = BlocksWithin(time, time).second;
    if (after < BlockCount()) consider(Block(after).first);
    // The blocks that start before: the one that reaches farthest, and every block that reaches
    // closer to `time` than the best sample found.
    if (after > 0) {
        const TraceBlock& farthest = Block(blocks_[after - 1].reachBlock);
        const size_t at = LowerBound(farthest, time);
        if (at < farthest.first + farthest.count) consider(at);
        if (at > farthest.first) consider(at - 1);
        const OrbitTime from = time - bestDistance;
        const size_t first = FirstNotBelow(0, after, [&](size_t b) { return Reach(b) < from; });
        for (size_t b = first; b < after; ++b) {
            const TraceBlock& block = Block(b);
            if (block.end < time - bestDistance) continue;
            const size_t i = LowerBound(block, time);
            if (i < block.first + block.count) consider(i);
            if (i > block.first) consider(i - 1);
        }
    }
    return Sample(*best);
}

Summary ChannelTrace::SummaryWithin(OrbitTime from, OrbitTime to) const {
    Summary summary;
    const auto [first, last] = BlocksWithin(from, to);
    for (size_t b = first; b < last; ++b) {
        const TraceBlock& block = Block(b);
        if (block.start >= from && block.end <= to) {
            summary.Merge(block.summary);
            continue;
        }
        for (size_t i = LowerBound(block, from); i < block.first + block.count && times_[i] <= to; ++i) {
            summary.Add(values_[i]);
        }
    }
    return summary;
}

}  // namespace kelvarox::timeline
