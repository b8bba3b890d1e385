#pragma once
// One channel's samples across the archive's blocks, in time order, held in memory for the
// time line: each sample's place on the orbit axis, its value and raw byte, and for each block
// its file, dates, MA step and a summary of its values, so that a wide view takes a block
// whole instead of sample by sample.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "timeline/Summary.h"
#include "timeline/TimeRange.h"

namespace kelvarox::timeline {

struct TraceBlock {
    std::string file;
    int64_t id = 0;          // the archive's, for a block read from one
    int64_t startOrbit = 0;  // absolute, as the archive placed it
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

// An array that copies share: it grows in chunks of kChunk elements that never move, so a copy
// costs a pointer per chunk. Copies share the chunk being filled too: an element may be written
// only while no copy holds it (at an index at or beyond the size of every copy).
template <class T, size_t kChunk>
class SharedChunks {
public:
    size_t Size() const { return size_; }
    const T& operator[](size_t i) const { return (*chunks_[i / kChunk])[i % kChunk]; }
    T& operator[](size_t i) { return (*chunks_[i / kChunk])[i % kChunk]; }
    void PushBack(T value) {
        if (size_ == chunks_.size() * kChunk) chunks_.push_back(std::make_shared<std::array<T, kChunk>>());
        (*this)[size_++] = std::move(value);
    }
    // Forgets the elements from `size` on.
    void Truncate(size_t size) {
        size_ = std::min(size, size_);
        chunks_.resize((size_ + kChunk - 1) / kChunk);
    }

private:
    std::vector<std::shared_ptr<std::array<T, kChunk>>> chunks_;
    size_t size_ = 0;
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
    // summaries and joins; the trace is read only after it. A finished trace takes more blocks
    // the same way: those that start at or after its last block are added after it, and a copy
    // made before keeps what it had without a copy of the samples; an earlier one puts every
    // block in its place again, in storage of the trace's own.
    void AddBlock(std::string file, int32_t startAmDay, int32_t endAmDay, int32_t maStep);
    // A block with what `head` tells of it beside the file, days and MA step.
    void AddBlock(TraceBlock head);
    void AddSample(OrbitTime time, float value, uint8_t raw);
    void Finish();

    size_t BlockCount() const { return blocks_.Size(); }
    const TraceBlock& Block(size_t b) const { return blocks_[b].block; }
    size_t SampleCount() const { return times_.Size(); }
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
            const TraceBlock& block = Block(b);
            for (size_t i = block.first; i < block.first + block.count; ++i) {
                if (times_[i] >= from && times_[i] <= to) each(SampleAt{i, b, times_[i], values_[i], raws_[i]});
            }
        }
    }

private:
    struct BlockEntry {
        TraceBlock block;
        // The latest end among this block and the blocks before it, and which block has it:
        // blocks may overlap, so the ends alone are not in order.
        OrbitTime reach = 0;
        size_t reachBlock = 0;
    };
    static constexpr size_t kSampleChunk = 16384;
    static constexpr size_t kBlockChunk = 1024;

    void SortSamples(const TraceBlock& block);
    // Every block in time order, in new storage.
    void PutInOrder();
    // The joins and reaches of the blocks from `from` on.
    void Link(size_t from);
    // The first sample of `block` not before `time` (the block's end when none).
    size_t LowerBound(const TraceBlock& block, OrbitTime time) const;
    OrbitTime Reach(size_t b) const { return blocks_[b].reach; }

    int32_t channel_ = 0;
    std::string name_;
    std::string unit_;
    SharedChunks<OrbitTime, kSampleChunk> times_;
    SharedChunks<float, kSampleChunk> values_;
    SharedChunks<uint8_t, kSampleChunk> raws_;
    SharedChunks<BlockEntry, kBlockChunk> blocks_;
    size_t finishedBlocks_ = 0;  // the blocks before are finished and may be shared
};

}  // namespace kelvarox::timeline
