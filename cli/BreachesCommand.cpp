// breaches: the excursions of channels beyond the limits of the satellite file in force.
#include <algorithm>

#include "archive/DatedSamples.h"
#include "cli/ArchiveSession.h"
#include "cli/Commands.h"
#include "cli/SatelliteSession.h"
#include "core/ChannelCatalogue.h"
#include "core/CsvText.h"
#include "core/OrbitalElements.h"
#include "timeline/Excursions.h"

namespace kelvarox::cli {

namespace {

using timeline::Excursion;
using timeline::LimitLevel;
using timeline::LimitSide;

const char* LevelText(LimitLevel level) { return level == LimitLevel::Red ? "red" : "yellow"; }

// The channels that the command names, else every channel with limits; a named channel
// without limits is a usage error.
std::vector<int32_t> ChannelsOf(const Options& options, const SatelliteDefinition& satellite) {
    const std::vector<int32_t> limited = satellite.ChannelsWithLimits();
    if (options.files.empty()) {
        if (limited.empty()) throw UsageError("the satellite file in force sets no limits");
        return limited;
    }
    std::vector<int32_t> channels;
    for (const std::string& text : options.files) {
        const int32_t channel = ChannelArgument(text);
        if (std::find(limited.begin(), limited.end(), channel) == limited.end())
            throw UsageError("channel " + ChannelCatalogue::ChannelNumberText(channel) +
                             " has no limits in the satellite file in force");
        channels.push_back(channel);
    }
    return channels;
}

// Per channel and level: the excursions, their samples and the orbits they span.
struct Tally {
    int64_t excursions = 0;
    int64_t samples = 0;
    int64_t span = 0;  // in 256ths of an orbit
};

}  // namespace

int RunBreaches(const Options& options, std::ostream& out, std::ostream& err) {
    std::optional<LimitLevel> only;
    if (options.level == "yellow")
        only = LimitLevel::Yellow;
    else if (options.level == "red")
        only = LimitLevel::Red;
    else if (!options.level.empty())
        throw UsageError("--level: '" + options.level + "' is neither yellow nor red");
    const std::optional<SatelliteDefinition> satellite = SatelliteOf(options, err);
    if (!satellite) return 1;
    const std::vector<int32_t> channels = ChannelsOf(options, *satellite);
    if (options.utc) RequireElements(*satellite);
    const archive::OrbitRange range{options.fromOrbit, options.toOrbit};
    std::string text = options.summary ? "channel,level,excursions,samples,orbits\r\n"
                                       : "channel,level,side,first_orbit,first_ma,last_orbit,last_ma,samples,peak,file";
    if (!options.summary) text += options.utc ? ",first_utc,last_utc\r\n" : "\r\n";
    auto flush = [&] {
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        text.clear();
    };
    return WithArchive(options, archive::Archive::Access::Read, err, [&](archive::Archive& archive) {
        for (const int32_t channel : channels) {
            const std::string channelText = ChannelCatalogue::ChannelNumberText(channel);
            Tally tally[2];  // yellow, red
            timeline::ExcursionFinder finder([&](const Excursion& e) {
                if (only && e.level != *only) return;
                if (options.summary) {
                    Tally& t = tally[e.level == LimitLevel::Red ? 1 : 0];
                    ++t.excursions;
                    t.samples += e.samples;
                    t.span += (e.last.orbit - e.first.orbit) * 256 + (e.last.ma - e.first.ma);
                    return;
                }
                text += channelText;
                text += ',';
                text += LevelText(e.level);
                text += e.side == LimitSide::Low ? ",low," : ",high,";
                AppendNumber(text, e.first.orbit);
                text += ',';
                AppendNumber(text, e.first.ma);
                text += ',';
                AppendNumber(text, e.last.orbit);
                text += ',';
                AppendNumber(text, e.last.ma);
                text += ',';
                AppendNumber(text, e.samples);
                text += ',';
                AppendShortestFloat(text, e.peak);
                text += ',';
                text += CsvField(e.file);
                if (options.utc) {
                    text += ',' + UtcText(*satellite->SampleTime(e.startAmDay, e.first.orbit, e.first.ma));
                    text += ',' + UtcText(*satellite->SampleTime(e.startAmDay, e.last.orbit, e.last.ma));
                }
                text += "\r\n";
                if (text.size() >= (1 << 16)) flush();
            });
            DatedTranslation translation = TranslationOf(*satellite, channel, options);
            int64_t blockId = -1;
            archive::ForEachDatedSample(archive, channel, range, translation,
                                        [&](const archive::SeriesSample& s, const archive::ArchivedBlock& b) {
                                            if (b.id != blockId) {
                                                blockId = b.id;
                                                finder.StartBlock(translation.LimitsAt(b.facts.startAmDay), b.file,
                                                                  b.facts.maStep, b.facts.startAmDay);
                                            }
                                            finder.Add({s.orbit, s.ma}, s.value);
                                        });
            finder.Finish();
            if (options.summary) {
                for (const LimitLevel level : {LimitLevel::Yellow, LimitLevel::Red}) {
                    if (only && level != *only) continue;
                    const Tally& t = tally[level == LimitLevel::Red ? 1 : 0];
                    text += channelText + ',' + LevelText(level) + ',';
                    AppendNumber(text, t.excursions);
                    text += ',';
                    AppendNumber(text, t.samples);
                    text += ',';
                    AppendShortestDouble(text, static_cast<double>(t.span) / 256.0);
                    text += "\r\n";
                }
            }
            flush();
        }
        return 0;
    });
}

}  // namespace kelvarox::cli
