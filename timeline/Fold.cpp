#include "timeline/Fold.h"

#include <algorithm>
#include <cmath>

#include "core/CsvText.h"

namespace kelvarox::timeline {

float NearestRank(const std::map<float, int64_t>& counts, int64_t k, double p) {
    // The rank as whole numbers where possible: p is given in hundredths, so that 5 * 20 / 100
    // is exactly 1 and not a float a hair above it.
    const auto hundredths = static_cast<int64_t>(std::llround(p * 100));
    const int64_t rank = std::max<int64_t>(1, (hundredths * k + 9999) / 10000);
    int64_t seen = 0;
    for (const auto& [value, count] : counts) {
        seen += count;
        if (seen >= rank) return value;
    }
    return counts.empty() ? 0.0f : counts.rbegin()->first;
}

FoldStatistics::FoldStatistics(int bins)
    : bins_(bins < 1     ? 1
            : bins > 256 ? 256
                         : bins),
      counts_(static_cast<size_t>(bins_)), totals_(static_cast<size_t>(bins_)) {}

void FoldStatistics::Add(int32_t ma, float value) {
    if (std::isnan(value) || ma < 0 || ma > 255) return;
    const auto bin = static_cast<size_t>(static_cast<int64_t>(ma) * bins_ / 256);
    counts_[bin][value] += 1;
    totals_[bin] += 1;
}

std::vector<FoldBin> FoldStatistics::Bins() const {
    std::vector<FoldBin> rows;
    for (size_t b = 0; b < counts_.size(); ++b) {
        const auto& counts = counts_[b];
        if (counts.empty()) continue;
        const int64_t k = totals_[b];
        rows.push_back({256.0 * static_cast<double>(b) / bins_, k, counts.begin()->first, NearestRank(counts, k, 5),
                        NearestRank(counts, k, 50), NearestRank(counts, k, 95), counts.rbegin()->first});
    }
    return rows;
}

std::string FoldCsv(const std::vector<FoldBin>& bins) {
    std::string text = "ma,samples,min,p05,median,p95,max\r\n";
    for (const FoldBin& bin : bins) {
        AppendShortestDouble(text, bin.lowerMA);
        text += ',';
        AppendNumber(text, bin.samples);
        for (const float value : {bin.min, bin.p05, bin.median, bin.p95, bin.max}) {
            text += ',';
            AppendShortestFloat(text, value);
        }
        text += "\r\n";
    }
    return text;
}

}  // namespace kelvarox::timeline
