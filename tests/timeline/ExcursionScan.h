#pragma once
// The excursions of a time line found by the rule's words, sample by sample, to check the
// streaming finder against: blocks of samples four MA apart.
#include <algorithm>
#include <string>
#include <vector>

#include "timeline/Excursions.h"

namespace kelvarox::timeline {

struct Block {
    const ChannelLimits* limits;
    int64_t position;  // of the first sample, in MA from orbit 0; samples follow at MA step 4
    std::vector<float> values;
};

inline SamplePlace PlaceOf(const Block& b, size_t i) {
    const int64_t p = b.position + static_cast<int64_t>(i) * 4;
    return {p / 256, static_cast<int32_t>(p % 256)};
}

// The excursions of a whole time line at once, by the rule's words: each sample's level per
// side, then the maximal runs of each level within joined stretches.
inline std::vector<Excursion> BruteForce(const std::vector<Block>& blocks) {
    struct S {
        SamplePlace at;
        float v;
        const ChannelLimits* limits;
        std::string file;
        bool breakBefore;
    };
    std::vector<S> samples;
    int n = 0;
    for (const Block& b : blocks) {
        for (size_t i = 0; i < b.values.size(); ++i) {
            const SamplePlace at = PlaceOf(b, i);
            bool brk = false;
            if (i == 0) {
                const int64_t gap =
                    samples.empty() ? -1
                                    : (at.orbit * 256 + at.ma) - (samples.back().at.orbit * 256 + samples.back().at.ma);
                brk = !(gap >= 0 && gap <= 4);
            }
            samples.push_back({at, b.values[i], b.limits, "b" + std::to_string(n), brk});
        }
        ++n;
    }
    std::vector<Excursion> all;
    for (LimitSide side : {LimitSide::Low, LimitSide::High})
        for (LimitLevel level : {LimitLevel::Yellow, LimitLevel::Red}) {
            for (size_t i = 0; i < samples.size();) {
                const auto in = [&](size_t k) {
                    return samples[k].limits && LevelOn(*samples[k].limits, side, samples[k].v) >= level;
                };
                if (!in(i)) {
                    ++i;
                    continue;
                }
                size_t j = i + 1;
                while (j < samples.size() && !samples[j].breakBefore && in(j)) ++j;
                Excursion e{level,        side,           samples[i].at, samples[j - 1].at, static_cast<int64_t>(j - i),
                            samples[i].v, samples[i].file};
                for (size_t k = i; k < j; ++k)
                    e.peak = side == LimitSide::Low ? std::min(e.peak, samples[k].v) : std::max(e.peak, samples[k].v);
                if (e.samples >= samples[i].limits->persistence) all.push_back(e);
                i = j;
            }
        }
    std::sort(all.begin(), all.end(), StartsBefore);
    return all;
}

}  // namespace kelvarox::timeline
