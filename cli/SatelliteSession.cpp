#include "cli/SatelliteSession.h"

#include "archive/SeriesRows.h"
#include "cli/TerminalText.h"
#include "satellite/SatelliteFile.h"

namespace kelvarox::cli {

std::optional<SatelliteDefinition> SatelliteOf(const Options& options, std::ostream& err) {
    if (options.satellite.path.empty()) return SatelliteDefinition();
    SatelliteFileResult read = ReadSatelliteFile(options.satellite.path);
    // As a compiler writes them, so that an editor can go to each place.
    for (const SatelliteFileMessage& error : read.errors) err << TerminalName(error.ToString()) << '\n';
    return std::move(read.satellite);
}

void RequireElements(const SatelliteDefinition& satellite) {
    if (satellite.Elements().empty())
        throw UsageError("--utc needs orbital elements, and the satellite file in force has none");
}

DatedTranslation TranslationOf(const SatelliteDefinition& satellite, int32_t channel, const Options& options) {
    if (!options.coefficients) return DatedTranslation(satellite, channel);
    return DatedTranslation(satellite, channel,
                            archive::ChannelTranslation(BuiltInDefinition(channel), options.coefficients));
}

}  // namespace kelvarox::cli
