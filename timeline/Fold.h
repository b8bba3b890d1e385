#pragma once
// Orbits folded on MA: the samples of many orbits gathered by their place within the orbit,
// in bins of equal width over MA 0 to 256, with exact percentiles per bin.
//
// A channel's values come from one-byte samples through a few equations, so a bin holds few
// distinct values however many orbits it gathers: each bin keeps each value with its count,
// and memory stays small over any number of blocks.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace kelvarox::timeline {

struct FoldBin {
    double lowerMA = 0;  // the bin's lower edge
    int64_t samples = 0;
    float min = 0;
    float p05 = 0;
    float median = 0;
    float p95 = 0;
    float max = 0;
};

// The value of rank ceil(p / 100 * k) among k values in ascending order, counted as
// (value, count) pairs; p in (0, 100].
float NearestRank(const std::map<float, int64_t>& counts, int64_t k, double p);

class FoldStatistics {
public:
    static constexpr int kDefaultBins = 64;
    // `bins` from 1 to 256.
    explicit FoldStatistics(int bins = kDefaultBins);

    // A sample at MA 0 to 255; a value that is no number is left out.
    void Add(int32_t ma, float value);

    // The bins that hold samples, in MA order.
    std::vector<FoldBin> Bins() const;

private:
    int bins_;
    std::vector<std::map<float, int64_t>> counts_;
    std::vector<int64_t> totals_;
};

// The bins as CSV: "ma,samples,min,p05,median,p95,max", then a row per bin, lines ending in CR LF,
// the values as the series CSV writes them.
std::string FoldCsv(const std::vector<FoldBin>& bins);

}  // namespace kelvarox::timeline
