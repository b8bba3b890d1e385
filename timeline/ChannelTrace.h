#pragma once
// One channel's samples across the archive's blocks, in time order, held in memory for the
// time line: each sample's place on the orbit axis, its value and raw byte, and for each block
// its file, dates, MA step and a summary of its values, so that a wide view takes a block
// whole instead of sample by sample.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "timeline/Summary.h"
#include "timeline/TimeRange.h"

namespace kelvarox::timeline {

struct TraceBlock {
    std::string file;
    int32_t startAmDay = 0;
    int32_t endAmDay = 0;
    int32_t maStep = 0;
    size_t first = 0;  // index of its first sample in the trace
    size_t count = 0;
    OrbitTime start = 0;  // of its first and last sample
    OrbitTime end = 0;
    // It continues the block before it: its first sample lies at most one MA step (its own)
    // after that block's last one. Blocks that do not join are drawn with a break between.
    bool joinsPrevious = false;
    Summary summary;
};

// Where one sample lies in the trace.
struct SampleAt {
    size_t index = 0;
    size_t block = 0;
    OrbitTime time = 0;
    float value = 0;
    uint8_t raw = 0;
};

class ChannelTrace {
public:
    ChannelTrace() = default;
    ChannelTrace(int32_t channel, std::string name, std::string unit);

    int32_t Channel() const { return channel_; }
    const std::string& Name() const { return name_; }
    const std::string& Unit() const { return unit_; }

    // Building: a block, then its samples in their order; the blocks in time order (a block
    // that starts before the one added last is put in its place by Finish). Finish makes the
    // summaries and joins; the trace is read only after it.
    void AddBlock(std::string file, int32_t startAmDay, int32_t endAmDay, int32_t maStep);
    void AddSample(OrbitTime time, float value, uint8_t raw);
    void Finish();

    const std::vector<TraceBlock>& Blocks() const { return blocks_; }
    size_t SampleCount() const { return times_.size(); }
    OrbitTime Time(size_t i) const { return times_[i]; }
    float Value(size_t i) const { return values_[i]; }
    uint8_t Raw(size_t i) const { return raws_[i]; }
    SampleAt Sample(size_t i) const;

    // The times of the first and the last sample; nothing without samples.
    std::optional<TimeRange> Extent() const;

    // The blocks [first, last) among which every block with a sample within [from, to] lies.
    std::pair<size_t, size_t> BlocksWithin(OrbitTime from, OrbitTime to) const;

    // The sample nearest to `time`; of two as near, the later one. Nothing without samples.
    std::optional<SampleAt> Nearest(OrbitTime time) const;

    // Count, extremes, mean and spread of the samples within [from, to].
    Summary SummaryWithin(OrbitTime from, OrbitTime to) const;

    // Calls each(SampleAt) for the samples within [from, to] in the trace's order.
    template <class Each>
    void ForEachSampleWithin(OrbitTime from, OrbitTime to, Each&& each) const {
        const auto [first, last] = BlocksWithin(from, to);
        for (size_t b = first; b < last; ++b) {
            const TraceBlock& block = blocks_[b];
            for (size_t i = block.first; i < block.first + block.count; ++i) {
                if (times_[i] >= from && times_[i] <= to) each(SampleAt{i, b, times_[i], values_[i], raws_[i]});
            }
        }
    }

private:
    void SortSamples(const TraceBlock& block);
    void SortBlocks();
    // The first sample of `block` not before `time` (the block's end when none).
    size_t LowerBound(const TraceBlock& block, OrbitTime time) const;

    int32_t channel_ = 0;
    std::string name_;
    std::string unit_;
    std::vector<OrbitTime> times_;
    std::vector<float> values_;
    std::vector<uint8_t> raws_;
    std::vector<TraceBlock> blocks_;
    // For each block, the latest end among it and the blocks before it, and which block has it:
    // blocks may overlap, so the ends alone are not in order.
    std::vector<OrbitTime> reach_;
    std::vector<size_t> reachBlock_;
};

}  // namespace kelvarox::timeline
