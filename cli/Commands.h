#pragma once
// The commands of kelvarox-cli, in one table: each command's name, its lines of the usage and
// its handler. A handler writes its result to `out`, reports blocks that fail on `err` after
// the file's name, and returns the exit status (0 all loaded, 1 one failed); arguments it
// cannot take raise UsageError.
#include <array>
#include <ostream>
#include <string>
#include <string_view>

#include "cli/CommandLine.h"

namespace kelvarox::cli {

using CommandHandler = int (*)(const Options& options, std::ostream& out, std::ostream& err);

struct Command {
    std::string_view name;
    std::string_view usage;
    CommandHandler run;
};

// The commands in the order of the usage.
extern const std::array<Command, 10> kCommands;

// The usage that --help prints: the synopsis, every command's lines and the options.
const std::string& Usage();

// Runs the command that the options name; an unknown command is a usage error.
int RunCommand(const Options& options, std::ostream& out, std::ostream& err);

// "kelvarox-cli: REASON", a blank line and the usage on `err`; exit status 2.
int ReportUsageError(std::ostream& err, const UsageError& error);

// Raises "no file given" when the options name no file.
void RequireFiles(const Options& options);

int RunInfo(const Options& options, std::ostream& out, std::ostream& err);
int RunTable(const Options& options, std::ostream& out, std::ostream& err);
// One CSV of every sample of every block named, or found in the named directories.
int RunCsv(const Options& options, std::ostream& out, std::ostream& err);
// Draws the graph of one block into the image file options.output, through the graph
// renderer (cli/GraphRender.h); its exit status, or 1 when it cannot be run.
int RunGraph(const Options& options, std::ostream& out, std::ostream& err);
// The block archive: archive add, list, stats, check and set-orbit (options.files[0] is the
// subcommand).
int RunArchive(const Options& options, std::ostream& out, std::ostream& err);
// One channel's samples from the archive, as CSV; with options.output, drawn into that picture
// file as the time line window draws them, through the graph renderer.
int RunSeries(const Options& options, std::ostream& out, std::ostream& err);

// The satellite file: satellite export (the built-in catalogue as a file) and satellite check.
int RunSatellite(const Options& options, std::ostream& out, std::ostream& err);

// The excursions of channels beyond their limits, as CSV.
int RunBreaches(const Options& options, std::ostream& out, std::ostream& err);

// A channel's samples per orbit (orbits), and folded on MA over many orbits (fold), as CSV.
int RunOrbits(const Options& options, std::ostream& out, std::ostream& err);
int RunFold(const Options& options, std::ostream& out, std::ostream& err);

// The four coefficient texts as --coefficients takes them: "A,B,C,D".
std::string JoinedCoefficients(const std::array<std::string, 4>& texts);

}  // namespace kelvarox::cli
