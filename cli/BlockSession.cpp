#include "cli/BlockSession.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "cli/Commands.h"
#include "cli/SatelliteSession.h"
#include "cli/TerminalText.h"
#include "core/Conversions.h"
#include "core/Errors.h"
#include "core/HeaderDecoder.h"

namespace kelvarox::cli {

std::optional<std::string> OpenError(const std::string& path) {
    // Without blocking on a FIFO, which the load refuses by its length.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return std::strerror(errno);
    struct stat info {};
    const bool directory = ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
    ::close(fd);
    if (directory) return std::strerror(EISDIR);
    return std::nullopt;
}

LoadedBlock LoadBlock(const std::string& path, const Options& options, const SatelliteDefinition& satellite) {
    LoadedBlock b;
    const std::optional<int32_t> orbitHiByte = ParseDecimal(options.orbitHiByte);
    if (!orbitHiByte) {
        b.error = msg::NotAnInteger(options.orbitHiByte);
    } else if (ReadBlockBytes(path, b.block) != ReadOutcome::Read) {
        b.error = msg::kImproperLength;
    } else {
        const HeaderDecoding decoded = DecodeHeader(b.block, options.layout, OrbitBaseOf(*orbitHiByte));
        b.header = decoded.header;
        b.error = decoded.error;
        if (decoded.ChannelDecoded())
            b.boxes =
                ChannelBoxTextsOf(b.header.channel, satellite.DefinitionOf(b.header.channel, b.header.startAmDay));
    }
    if (!b.error.empty()) b.error = OpenError(path).value_or(b.error);
    b.boxes.orbitHiByte = options.orbitHiByte;
    if (b.ok() && options.coefficients) {
        const auto& k = *options.coefficients;
        b.boxes.a = k[0];
        b.boxes.b = k[1];
        b.boxes.c = k[2];
        b.boxes.d = k[3];
    }
    return b;
}

LoadedBlock LoadBlockWithSeries(const std::string& path, const Options& options, const SatelliteDefinition& satellite) {
    LoadedBlock b = LoadBlock(path, options, satellite);
    if (!b.ok()) return b;
    try {
        // A block that loaded carries the signature, so the series is always built.
        if (!PrepareSeries(b.block, b.header, b.graph, b.boxes)) b.error = msg::kImproperFormat;
    } catch (const KelvaroxError& e) {
        b.error = e.what();
    }
    return b;
}

int ForEachBlock(const Options& options, WithSeries series, std::ostream& err, const BlockWriter& write) {
    const std::optional<SatelliteDefinition> satellite = SatelliteOf(options, err);
    if (!satellite) return 1;
    int status = 0;
    for (const auto& path : options.files) {
        const LoadedBlock b = series == WithSeries::Yes ? LoadBlockWithSeries(path, options, *satellite)
                                                        : LoadBlock(path, options, *satellite);
        if (!b.ok()) {
            ReportFailure(err, path, b.error);
            status = 1;
            continue;
        }
        write(path, b);
    }
    return status;
}

}  // namespace kelvarox::cli
