// orbits and fold: a channel's samples reduced per orbit, and folded on MA over many orbits.
#include <cmath>
#include <map>

#include "archive/DatedSamples.h"
#include "cli/ArchiveSession.h"
#include "cli/Commands.h"
#include "cli/SatelliteSession.h"
#include "core/CsvText.h"
#include "core/OrbitStatistics.h"
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

void AppendOrbitRow(std::string& text, const OrbitStatistics& o) {
    AppendNumber(text, o.orbit);
    text += ',';
    AppendNumber(text, o.samples);
    text += ',';
    AppendShortestFloat(text, o.min);
    text += ',';
    AppendShortestFloat(text, o.max);
    text += ',';
    AppendShortestDouble(text, o.Mean());
    text += "\r\n";
}

// The statistics of the channel's orbits reduced from its samples, for coefficients typed on the
// command line, which the archive's statistics know nothing of. Blocks come in the order of their
// first samples, so an orbit before a block's first one gets no more samples: it is written then,
// and only the orbits of overlapping blocks wait.
int ReduceSamplesPerOrbit(const Options& options, int32_t channel, std::ostream& err,
                          const std::function<void(const OrbitStatistics&)>& each) {
    std::map<int64_t, OrbitStatistics> open;
    auto finishBefore = [&](int64_t orbit) {
        while (!open.empty() && open.begin()->first < orbit) {
            if (open.begin()->second.samples > 0) each(open.begin()->second);
            open.erase(open.begin());
        }
    };
    int64_t blockId = -1;
    const int status =
        ForEachSampleOf(options, channel, err, [&](const archive::SeriesSample& s, const archive::ArchivedBlock& b) {
            if (b.id != blockId) {
                blockId = b.id;
                finishBefore(s.orbit);
            }
            if (!std::isfinite(s.value)) return;
            OrbitStatistics& o = open[s.orbit];
            o.orbit = s.orbit;
            o.Add(s.value);
        });
    if (status == 0) finishBefore(INT64_MAX);
    return status;
}

}  // namespace

int RunOrbits(const Options& options, std::ostream& out, std::ostream& err) {
    const int32_t channel = OneChannelArgument(options, "orbits");
    std::string text = "orbit,samples,min,max,mean\r\n";
    const auto write = [&](const OrbitStatistics& o) {
        AppendOrbitRow(text, o);
        if (text.size() >= (1 << 16)) {
            out << text;
            text.clear();
        }
    };
    int status = 0;
    if (options.coefficients) {
        status = ReduceSamplesPerOrbit(options, channel, err, write);
    } else {
        const std::optional<SatelliteDefinition> satellite = SatelliteOf(options, err);
        if (!satellite) return 1;
        status = WithArchive(options, archive::Archive::Access::Read, err, [&](archive::Archive& archive) {
            bool any = false;
            archive.ForEachOrbitStatistics(channel, {options.fromOrbit, options.toOrbit}, *satellite,
                                           [&](const OrbitStatistics& o) {
                                               any = true;
                                               write(o);
                                           });
            return !any && !archive.HoldsChannel(channel) ? NoBlockOfChannel(err, channel) : 0;
        });
    }
    if (status != 0) return status;
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
