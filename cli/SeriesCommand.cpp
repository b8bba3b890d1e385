// series: one channel's time line from the archive, as CSV or as a picture.
#include "archive/DatedSamples.h"
#include "archive/SeriesCsv.h"
#include "cli/ArchiveSession.h"
#include "cli/Commands.h"
#include "cli/GraphRender.h"
#include "cli/SatelliteSession.h"
#include "core/CsvText.h"
#include "core/OrbitalElements.h"

namespace kelvarox::cli {

namespace {

// The picture, drawn by the graph renderer from the same archive.
int RunSeriesPicture(const Options& options, std::ostream& err) {
    OutputFormatOf(options, "series -o");
    // The address may hold a password: it goes in the renderer's environment, which only the user
    // can read, never on its command line, which every user of the machine can.
    std::vector<std::string> args = {"series"};
    if (options.fromOrbit) args.insert(args.end(), {"--from", std::to_string(*options.fromOrbit)});
    if (options.toOrbit) args.insert(args.end(), {"--to", std::to_string(*options.toOrbit)});
    if (options.coefficients) args.insert(args.end(), {"--coefficients", JoinedCoefficients(*options.coefficients)});
    AppendSatelliteArgument(args, options);
    args.insert(args.end(), {"-o", options.output, "--", options.files[0]});
    return RunGraphRenderer(args, err, {{"KELVAROX_DATABASE", ArchiveLocationOf(options)}});
}

}  // namespace

int RunSeries(const Options& options, std::ostream& out, std::ostream& err) {
    const int32_t channel = OneChannelArgument(options, "series");
    if (!options.output.empty()) {
        if (options.utc) throw UsageError("--utc adds a column to the CSV of series, not to a picture");
        return RunSeriesPicture(options, err);
    }
    const std::optional<SatelliteDefinition> satellite = SatelliteOf(options, err);
    if (!satellite) return 1;
    if (options.utc) RequireElements(*satellite);
    DatedTranslation translation = TranslationOf(*satellite, channel, options);
    const archive::OrbitRange range{options.fromOrbit, options.toOrbit};
    constexpr size_t kFlushAt = 1 << 16;
    std::string text;
    text.reserve(kFlushAt + 4096);
    auto flush = [&] {
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        text.clear();
    };
    int64_t fieldOf = -1;
    std::string fileField;
    const int status = WithArchive(options, archive::Archive::Access::Read, err, [&](archive::Archive& archive) {
        text = archive::kSeriesCsvHeader;
        if (options.utc) text.insert(text.size() - 2, ",utc");
        bool any = false;
        archive::ForEachDatedSample(archive, channel, range, translation,
                                    [&](const archive::SeriesSample& s, const archive::ArchivedBlock& b) {
                                        any = true;
                                        if (b.id != fieldOf) {
                                            fileField = CsvField(b.file);
                                            fieldOf = b.id;
                                        }
                                        archive::AppendSeriesCsvRow(text, s, fileField);
                                        if (options.utc) {
                                            const auto time = satellite->SampleTime(b.facts.startAmDay, s.orbit, s.ma);
                                            text.insert(text.size() - 2, "," + UtcText(*time));
                                        }
                                        if (text.size() >= kFlushAt) flush();
                                    });
        // A channel the archive does not hold is an error, as for archive stats and the picture;
        // orbits without samples of a channel it holds are an empty series.
        if (!any && !archive.HoldsChannel(channel)) {
            text.clear();
            return NoBlockOfChannel(err, channel);
        }
        return 0;
    });
    flush();
    return status;
}

}  // namespace kelvarox::cli
