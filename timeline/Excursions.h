#pragma once
// Excursions beyond a channel's limits: where a time line left its yellow and red limits, for
// how many samples, and how far.
//
// A sample is red at or beyond a red limit, yellow at or beyond a yellow one; a limit left out
// never triggers, and a value that is not finite is invalid: never a breach, and it ends a run.
// An excursion of a level on one side is a maximal run of consecutive samples all at that
// level or worse on that side, within one joined stretch of the time line (a block joins the
// one before when its first sample lies at most one of its MA steps after that block's last),
// at least `persistence` samples long (the persistence in force at the run's first sample). Red
// samples count towards yellow runs, so a red excursion lies inside a yellow one.
#include <climits>
#include <cstdint>
#include <functional>
#include <queue>
#include <string>
#include <vector>

#include "core/SatelliteDefinition.h"
#include "timeline/ChannelTrace.h"

namespace kelvarox::timeline {

enum class LimitLevel { Invalid, Within, Yellow, Red };
enum class LimitSide { Low, High };

// The level of a value on one side of the limits.
LimitLevel LevelOn(const ChannelLimits& limits, LimitSide side, double value);
// The worse of the two sides' levels.
LimitLevel LevelOf(const ChannelLimits& limits, double value);

struct SamplePlace {
    int64_t orbit = 0;
    int32_t ma = 0;
    bool operator==(const SamplePlace&) const = default;
};

struct Excursion {
    LimitLevel level = LimitLevel::Yellow;
    LimitSide side = LimitSide::High;
    SamplePlace first;
    SamplePlace last;
    int64_t samples = 0;
    float peak = 0;          // the most extreme value on its side
    std::string file;        // of the first sample
    int64_t startAmDay = 0;  // the start date of the first sample's block
    bool operator==(const Excursion&) const = default;
};

// The order of excursions: by first sample, yellow before red, low before high, then by file.
bool StartsBefore(const Excursion& a, const Excursion& b);

// Finds the excursions of one channel's samples, given block by block in the order of their
// first samples (blocks may overlap). Each
// excursion is handed on once it has ended, in the order of its first sample, yellow before
// red for the same first sample; memory stays bounded however long the time line.
class ExcursionFinder {
public:
    using Emit = std::function<void(const Excursion&)>;
    explicit ExcursionFinder(Emit emit);

    // A new block: its limits (none: no sample of it is a breach, and it ends every run), its
    // file, MA step and start date. The first sample decides whether it joins the block before.
    void StartBlock(const ChannelLimits* limits, std::string file, int32_t maStep, int64_t startAmDay = 0);
    void Add(SamplePlace at, float value);
    // Ends the runs still open.
    void Finish();
    // The worst level of the excursions found so far, those under way that are long enough
    // already included: Within when there is none.
    LimitLevel WorstSoFar() const { return worst_; }

private:
    struct Run {
        bool open = false;
        Excursion excursion;
        int32_t persistence = 1;
    };
    void Extend(Run& run, bool breach, SamplePlace at, float value);
    void Close(Run& run);
    void EndAll();
    void Release();
    Run& RunOf(LimitSide side, LimitLevel level);

    Emit emit_;
    Run runs_[4];  // low yellow, low red, high yellow, high red
    // Excursions that ended, waiting for the runs that began before them: the earliest on top.
    struct Later {
        bool operator()(const Excursion& a, const Excursion& b) const { return StartsBefore(b, a); }
    };
    std::priority_queue<Excursion, std::vector<Excursion>, Later> ended_;
    const ChannelLimits* limits_ = nullptr;
    std::string file_;
    int64_t startAmDay_ = 0;
    int32_t maStep_ = 0;
    bool blockStarted_ = false;
    bool havePrevious_ = false;
    bool finished_ = false;
    SamplePlace previous_;
    LimitLevel worst_ = LimitLevel::Within;
    int64_t blockStart_ = INT64_MIN;  // position (orbit * 256 + MA) of the block's first sample
};

// The excursions of a trace, each block under the limits in force at its start date, in the
// order of their first samples.
std::vector<Excursion> ExcursionsOf(const ChannelTrace& trace, const SatelliteDefinition& satellite);

// The worst level of a trace's excursions: Within when there is none.
LimitLevel WorstLevel(const std::vector<Excursion>& excursions);

}  // namespace kelvarox::timeline
