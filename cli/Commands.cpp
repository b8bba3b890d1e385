#include "cli/Commands.h"

#include "cli/TerminalText.h"

namespace kelvarox::cli {

namespace {

constexpr std::string_view kSynopsis =
    "Usage: kelvarox-cli COMMAND [OPTIONS] FILE...\n"
    "       kelvarox-cli archive add|list|stats|check|set-orbit [OPTIONS] ...\n"
    "       kelvarox-cli satellite export|check [OPTIONS] ...\n"
    "\n"
    "Commands:\n";

constexpr std::string_view kOptions =
    "A directory stands for its own *.dat and *.tlm files; the folders in it are not searched.\n"
    "\n"
    "Options:\n"
    "  --orbit-hibyte N      high part of the orbit numbers (default: the stored Orbit Offset, else 0)\n"
    "  --coefficients A,B,C,D\n"
    "                        translation coefficients, as typed into the four boxes after Load;\n"
    "                        an empty one means 0 (there is no earlier value to keep)\n"
    "  --layout N,N,N,N,N,N,N,N\n"
    "                        byte addresses of start AmDay, end AmDay, start orbit, end orbit,\n"
    "                        start MA, end MA, MA step and channel (default: the stored layout,\n"
    "                        else 464,495,471,502,473,504,36,60)\n"
    "  -o, --output FILE     the picture file that graph and series write; a file already there\n"
    "                        is replaced whole, or left as it was when it cannot be written\n"
    "  --database DB         the archive: an SQLite file or a postgresql:// address (default:\n"
    "                        $KELVAROX_DATABASE, else ~/.local/share/kelvarox/archive.sqlite)\n"
    "  --channel HEX         list only the blocks of this channel (#140 or 0x140)\n"
    "  --from ORBIT, --to ORBIT\n"
    "                        series: only the samples of these orbits (both included); the\n"
    "                        picture spans them\n"
    "  --satellite FILE      the satellite file whose names, units and equations translate the\n"
    "                        samples (default: $KELVAROX_SATELLITE, else the file chosen in the\n"
    "                        program, else the built-in channels)\n"
    "  --utc                 series: a column utc with each sample's time from the satellite\n"
    "                        file's orbital elements; breaches: first_utc and last_utc\n"
    "  --bins N              fold: bins of equal width over MA 0 to 256, 1 to 256 (default 64)\n"
    "  --level yellow|red    breaches: the excursions of one level only\n"
    "  --summary             breaches: per channel and level, the excursions, their samples and\n"
    "                        the orbits they span\n"
    "  --archive             satellite check: also the dates of the stored blocks\n"
    "  -h, --help            this text\n"
    "      --version         the program's name and version\n"
    "\n"
    "Exit status: 0 when every block loaded, 1 when one failed or the archive could not be\n"
    "used, 2 for a usage error.\n";

}  // namespace

const std::array<Command, 10> kCommands = {{
    {"info", "  info FILE...          header, channel and equation of each block\n", RunInfo},
    {"table", "  table FILE            the data table of a block (CR LF line ends)\n", RunTable},
    {"csv",
     "  csv FILE_OR_DIR...    every sample of every block, or of the blocks in each directory,\n"
     "                        as one CSV (RFC 4180, CR LF line ends) on standard output\n",
     RunCsv},
    {"graph",
     "  graph FILE -o OUT.png the graph window of a block after Load and Graph, as a picture;\n"
     "                        the suffix of OUT names its format: .png, .jpg, .jpeg, .bmp or .svg\n",
     RunGraph},
    {"archive",
     "  archive add FILE_OR_DIR...\n"
     "                        stores the blocks in the archive, each once, with absolute orbits\n"
     "  archive list          the stored blocks in time order (--channel HEX: of one channel)\n"
     "  archive stats [CHANNEL]\n"
     "                        per channel: blocks, samples, first and last orbit and date, and the\n"
     "                        minimum, maximum and mean value\n"
     "  archive check         reads every stored block and names those whose bytes no longer match\n"
     "                        their SHA-256\n"
     "  archive set-orbit FILE_OR_SHA ORBIT\n"
     "                        fixes the absolute orbit of one block; the blocks after it follow\n",
     RunArchive},
    {"series",
     "  series CHANNEL        the channel's samples from every stored block in time order, as CSV\n"
     "                        (orbit,ma,value,raw,file); CHANNEL as #140 or 0x140; with -o OUT.png\n"
     "                        (or .svg ...) drawn as the time line window draws them\n",
     RunSeries},
    {"orbits",
     "  orbits CHANNEL        per orbit of the channel: its samples and their minimum, maximum and\n"
     "                        mean, as CSV (orbit,samples,min,max,mean)\n",
     RunOrbits},
    {"fold",
     "  fold CHANNEL          the channel's orbits laid over one MA axis, in --bins N bins (64):\n"
     "                        per bin the samples, minimum, 5th percentile, median, 95th\n"
     "                        percentile and maximum, as CSV\n",
     RunFold},
    {"breaches",
     "  breaches [CHANNEL...] the excursions beyond the limits of the satellite file, as CSV, of the\n"
     "                        channels named or of every channel with limits; --level yellow|red:\n"
     "                        of one level; --summary: counted per channel and level\n",
     RunBreaches},
    {"satellite",
     "  satellite export      the built-in channels as a satellite file, to start one from\n"
     "  satellite check FILE  checks a satellite file: a summary, or its errors with their places;\n"
     "                        with --archive also names the stored blocks that its elements date\n"
     "                        to another day than their headers\n",
     RunSatellite},
}};

const std::string& Usage() {
    static const std::string usage = [] {
        std::string text(kSynopsis);
        for (const Command& command : kCommands) text += command.usage;
        return text += kOptions;
    }();
    return usage;
}

int RunCommand(const Options& options, std::ostream& out, std::ostream& err) {
    for (const Command& command : kCommands)
        if (command.name == options.command) return command.run(options, out, err);
    throw UsageError("unknown command " + options.command);
}

int ReportUsageError(std::ostream& err, const UsageError& error) {
    Report(err, error.what());
    err << '\n' << Usage();
    return 2;
}

void RequireFiles(const Options& options) {
    if (options.files.empty()) throw UsageError("no file given");
}

}  // namespace kelvarox::cli
