#pragma once
// The commands of kelvarox-cli. Each writes its result to `out`, reports blocks that fail on
// `err` after the file's name, and returns the exit status (0 all loaded, 1 one failed).
#include <ostream>

#include "cli/CommandLine.h"

namespace kelvarox::cli {

int RunInfo(const Options& options, std::ostream& out, std::ostream& err);
int RunTable(const Options& options, std::ostream& out, std::ostream& err);
// One CSV of every sample of every block named, or found in the named directories.
int RunCsv(const Options& options, std::ostream& out, std::ostream& err);
// Draws the graph of one block into the image file options.output, through the graph
// renderer (cli/GraphRender.h); its exit status, or 1 when it cannot be run.
int RunGraph(const Options& options, std::ostream& err);

// The block archive: archive add, list, stats and set-orbit (options.files[0] is the subcommand).
int RunArchive(const Options& options, std::ostream& out, std::ostream& err);
// One channel's samples from the archive, as CSV; with options.output, drawn into that picture
// file as the time line window draws them, through the graph renderer.
int RunSeries(const Options& options, std::ostream& out, std::ostream& err);

// The four coefficient texts as --coefficients takes them: "A,B,C,D".
std::string JoinedCoefficients(const std::array<std::string, 4>& texts);

// "path: message" on `err` for a block that failed.
void ReportFailure(std::ostream& err, const std::string& path, const std::string& message);

}  // namespace kelvarox::cli
