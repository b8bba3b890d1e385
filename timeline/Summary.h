#pragma once
// Count, extremes, mean and spread of a set of values, gathered one value at a time or merged
// from the summaries of parts, with no loss of precision when the values lie far from zero.
#include <cstdint>

namespace kelvarox::timeline {

struct Summary {
    int64_t count = 0;
    float min = 0;
    float max = 0;
    double mean = 0;
    double m2 = 0;  // the sum of the squared distances from the mean

    void Add(float value);
    void Merge(const Summary& other);
    // The population standard deviation: the values are all those of the range, not a
    // sample of them. 0 without values.
    double StandardDeviation() const;
};

}  // namespace kelvarox::timeline
