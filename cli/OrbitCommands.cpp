// orbits and fold: a channel's samples reduced per orbit, and folded on MA over many orbits.
#include <cmath>
#include <map>

#include "archive/DatedSamples.h"
#include "cli/ArchiveSession.h"
#include "cli/Commands.h"
#include "cli/SatelliteSession.h"
#include "core/CsvText.h"
#include "timeline/Fold.h"

namespace kelvarox::cli {

namespace {

// Runs `each` over the channel's samples in the orbits the options name, translated as series
// translates them; a channel the archive does not hold is an error.
int ForEachSampleOf(const Options& options, int32_t channel, std::ostream& err,
                    const std::function<void(const archive::SeriesSample&, const archive::ArchivedBlock&)>& each) {
    const std::optional<SatelliteDefinition> satellite = SatelliteOf(options, err);
    if (!satellite) return 1;
    DatedTranslation translation = TranslationOf(*satellite, channel, options);
    return WithArchive(options, archive::Archive::Access::Read, err, [&](archive::Archive& archive) {
        bool any = false;
        archive::ForEachDatedSample(archive, channel, {options.fromOrbit, options.toOrbit}, translation,
                                    [&](const archive::SeriesSample& s, const archive::ArchivedBlock& b) {
                                        any = true;
                                        each(s, b);
                                    });
        return !any && !archive.HoldsChannel(channel) ? NoBlockOfChannel(err, channel) : 0;
    });
}

struct OrbitTally {
    int64_t samples = 0;
    float min = INFINITY;
    float max = -INFINITY;
    double sum = 0;
};

void AppendOrbitRow(std::string& text, int64_t orbit, const OrbitTally& t) {
    AppendNumber(text, orbit);
    text += ',';
    AppendNumber(text, t.samples);
    text += ',';
    AppendShortestFloat(text, t.min);
    text += ',';
    AppendShortestFloat(text, t.max);
    text += ',';
    AppendShortestDouble(text, t.sum / static_cast<double>(t.samples));
    text += "\r\n";
}

}  // namespace

int RunOrbits(const Options& options, std::ostream& out, std::ostream& err) {
    const int32_t channel = OneChannelArgument(options, "orbits");
    std::string text = "orbit,samples,min,max,mean\r\n";
    // Blocks come in the order of their first samples, so an orbit before a block's first one
    // gets no more samples: it is written then, and only the orbits of overlapping blocks wait.
    std::map<int64_t, OrbitTally> open;
    auto writeBefore = [&](int64_t orbit) {
        while (!open.empty() && open.begin()->first < orbit) {
            AppendOrbitRow(text, open.begin()->first, open.begin()->second);
            open.erase(open.begin());
        }
        if (text.size() >= (1 << 16)) {
            out << text;
            text.clear();
        }
    };
    int64_t blockId = -1;
    const int status =
        ForEachSampleOf(options, channel, err, [&](const archive::SeriesSample& s, const archive::ArchivedBlock& b) {
            if (b.id != blockId) {
                blockId = b.id;
                writeBefore(s.orbit);
            }
            if (!std::isfinite(s.value)) return;
            OrbitTally& t = open[s.orbit];
            ++t.samples;
            t.min = std::min(t.min, s.value);
            t.max = std::max(t.max, s.value);
            t.sum += s.value;
        });
    if (status != 0) return status;
    writeBefore(INT64_MAX);
    out << text;
    return 0;
}

int RunFold(const Options& options, std::ostream& out, std::ostream& err) {
    const int32_t channel = OneChannelArgument(options, "fold");
    const int bins = options.bins.value_or(timeline::FoldStatistics::kDefaultBins);
    if (bins < 1 || bins > 256) throw UsageError("--bins: " + std::to_string(bins) + " is not from 1 to 256");
    timeline::FoldStatistics fold(bins);
    const int status = ForEachSampleOf(
        options, channel, err,
        [&](const archive::SeriesSample& s, const archive::ArchivedBlock&) { fold.Add(s.ma, s.value); });
    if (status != 0) return status;
    out << timeline::FoldCsv(fold.Bins());
    return 0;
}

}  // namespace kelvarox::cli
