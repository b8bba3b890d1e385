#include "timeline/ChannelTrace.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace kelvarox::timeline {

ChannelTrace::ChannelTrace(int32_t channel, std::string name, std::string unit)
    : channel_(channel), name_(std::move(name)), unit_(std::move(unit)) {}

void ChannelTrace::AddBlock(std::string file, int32_t startAmDay, int32_t endAmDay, int32_t maStep) {
    TraceBlock block;
    block.file = std::move(file);
    block.startAmDay = startAmDay;
    block.endAmDay = endAmDay;
    block.maStep = maStep;
    block.first = times_.size();
    blocks_.push_back(std::move(block));
}

void ChannelTrace::AddSample(OrbitTime time, float value, uint8_t raw) {
    times_.push_back(time);
    values_.push_back(value);
    raws_.push_back(raw);
    ++blocks_.back().count;
}

void ChannelTrace::SortBlocks() {
    std::vector<size_t> order(blocks_.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return blocks_[a].start < blocks_[b].start; });
    std::vector<OrbitTime> times;
    std::vector<float> values;
    std::vector<uint8_t> raws;
    std::vector<TraceBlock> blocks;
    times.reserve(times_.size());
    values.reserve(values_.size());
    raws.reserve(raws_.size());
    for (size_t b : order) {
        TraceBlock block = std::move(blocks_[b]);
        const size_t from = block.first;
        block.first = times.size();
        times.insert(times.end(), times_.begin() + from, times_.begin() + from + block.count);
        values.insert(values.end(), values_.begin() + from, values_.begin() + from + block.count);
        raws.insert(raws.end(), raws_.begin() + from, raws_.begin() + from + block.count);
        blocks.push_back(std::move(block));
    }
    times_ = std::move(times);
    values_ = std::move(values);
    raws_ = std::move(raws);
    blocks_ = std::move(blocks);
}

void ChannelTrace::SortSamples(const TraceBlock& block) {
    const auto begin = times_.begin() + static_cast<std::ptrdiff_t>(block.first);
    const auto end = begin + static_cast<std::ptrdiff_t>(block.count);
    if (std::is_sorted(begin, end)) return;
    // A block whose MA runs backward: its samples in time order.
    std::vector<size_t> order(block.count);
    std::iota(order.begin(), order.end(), block.first);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return times_[a] < times_[b]; });
    std::vector<OrbitTime> times;
    std::vector<float> values;
    std::vector<uint8_t> raws;
    for (size_t i : order) {
        times.push_back(times_[i]);
        values.push_back(values_[i]);
        raws.push_back(raws_[i]);
    }
    std::copy(times.begin(), times.end(), begin);
    std::copy(values.begin(), values.end(), values_.begin() + static_cast<std::ptrdiff_t>(block.first));
    std::copy(raws.begin(), raws.end(), raws_.begin() + static_cast<std::ptrdiff_t>(block.first));
}

void ChannelTrace::Finish() {
    // A block without samples has no place on the time line.
    std::erase_if(blocks_, [](const TraceBlock& b) { return b.count == 0; });
    bool ordered = true;
    for (size_t b = 0; b < blocks_.size(); ++b) {
        TraceBlock& block = blocks_[b];
        SortSamples(block);
        block.start = times_[block.first];
        block.end = block.start;
        block.summary = Summary{};
        block.end = times_[block.first + block.count - 1];
        for (size_t i = block.first; i < block.first + block.count; ++i) block.summary.Add(values_[i]);
        if (b > 0 && block.start < blocks_[b - 1].start) ordered = false;
    }
    if (!ordered) SortBlocks();

    reach_.resize(blocks_.size());
    reachBlock_.resize(blocks_.size());
    for (size_t b = 0; b < blocks_.size(); ++b) {
        TraceBlock& block = blocks_[b];
        if (b == 0) {
            block.joinsPrevious = false;
            reach_[b] = block.end;
            reachBlock_[b] = b;
            continue;
        }
        const TraceBlock& before = blocks_[b - 1];
        const double gap = (block.start - before.end) * kMAPerOrbit;
        block.joinsPrevious = gap >= 0 && gap <= block.maStep;
        const bool further = block.end > reach_[b - 1];
        reach_[b] = further ? block.end : reach_[b - 1];
        reachBlock_[b] = further ? b : reachBlock_[b - 1];
    }
}

SampleAt ChannelTrace::Sample(size_t i) const {
    const auto after = std::upper_bound(blocks_.begin(), blocks_.end(), i,
                                        [](size_t index, const TraceBlock& b) { return index < b.first; });
    const size_t block = static_cast<size_t>(after - blocks_.begin()) - 1;
    return SampleAt{i, block, times_[i], values_[i], raws_[i]};
}

std::optional<TimeRange> ChannelTrace::Extent() const {
    if (blocks_.empty()) return std::nullopt;
    return TimeRange{blocks_.front().start, reach_.back()};
}

std::pair<size_t, size_t> ChannelTrace::BlocksWithin(OrbitTime from, OrbitTime to) const {
    const size_t first = static_cast<size_t>(std::lower_bound(reach_.begin(), reach_.end(), from) - reach_.begin());
    const size_t last = static_cast<size_t>(
        std::upper_bound(blocks_.begin(), blocks_.end(), to, [](OrbitTime t, const TraceBlock& b) { return t < b.start; }) -
        blocks_.begin());
    return {first, std::max(first, last)};
}

size_t ChannelTrace::LowerBound(const TraceBlock& block, OrbitTime time) const {
    const auto begin = times_.begin() + static_cast<std::ptrdiff_t>(block.first);
    return static_cast<size_t>(std::lower_bound(begin, begin + static_cast<std::ptrdiff_t>(block.count), time) -
                               times_.begin());
}

std::optional<SampleAt> ChannelTrace::Nearest(OrbitTime time) const {
    if (blocks_.empty() || std::isnan(time)) return std::nullopt;
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
    if (after < blocks_.size()) consider(blocks_[after].first);
    // The blocks that start before: the one that reaches farthest, and every block that reaches
    // closer to `time` than the best sample found.
    if (after > 0) {
        const TraceBlock& farthest = blocks_[reachBlock_[after - 1]];
        const size_t at = LowerBound(farthest, time);
        if (at < farthest.first + farthest.count) consider(at);
        if (at > farthest.first) consider(at - 1);
        const OrbitTime from = time - bestDistance;
        const size_t first = static_cast<size_t>(std::lower_bound(reach_.begin(), reach_.begin() + static_cast<std::ptrdiff_t>(after), from) - reach_.begin());
        for (size_t b = first; b < after; ++b) {
            const TraceBlock& block = blocks_[b];
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
        const TraceBlock& block = blocks_[b];
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
