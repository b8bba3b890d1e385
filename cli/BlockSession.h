#pragma once
// One block loaded the way the main window's Load button loads it, with the boxes it fills.
#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "cli/CommandLine.h"
#include "core/ChannelBoxTexts.h"
#include "core/SatelliteDefinition.h"
#include "core/WodBlock.h"

namespace kelvarox::cli {

struct LoadedBlock {
    WodBlock block;
    BlockHeader header;
    GraphAndTableState graph;  // the series, when built
    ChannelBoxTexts boxes;     // as Load left them, with the --coefficients texts typed over
    std::string error;         // the first message of a load that failed; empty on success
    bool ok() const { return error.empty(); }
};

// Loads the block, its channel boxes filled from the satellite's entry in force at its start
// date; a file that cannot be opened (missing, unreadable, a loop of links, a directory) fails
// with the system's reason rather than the window's length message.
LoadedBlock LoadBlock(const std::string& path, const Options& options, const SatelliteDefinition& satellite);
// The load, then the series as Graph and Table build it from the boxes.
LoadedBlock LoadBlockWithSeries(const std::string& path, const Options& options, const SatelliteDefinition& satellite);

// The system's reason why `path` cannot be opened as a block file, or nothing when it can.
std::optional<std::string> OpenError(const std::string& path);

// What a command does with each block that loaded.
using BlockWriter = std::function<void(const std::string& path, const LoadedBlock& block)>;
enum class WithSeries { No, Yes };

// Loads the options' files in their order under the satellite in force, with the series when
// asked, hands each block that loaded to `write` and reports each that failed on `err` after
// its name. The exit status of a command: 0 when every block loaded, 1 when one failed or the
// satellite file has errors.
int ForEachBlock(const Options& options, WithSeries series, std::ostream& err, const BlockWriter& write);

}  // namespace kelvarox::cli
