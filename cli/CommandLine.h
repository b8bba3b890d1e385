#pragma once
// The command line of kelvarox-cli: a command, its files and the options shared by all commands.
#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/WodBlock.h"
#include "settings/SatelliteChoice.h"

namespace kelvarox::cli {

struct Options {
    std::string command;
    std::vector<std::string> files;
    std::string orbitHiByte = "0";                           // as typed into the Orbit HiByte box
    std::optional<std::array<std::string, 4>> coefficients;  // as typed into the four boxes after Load
    BlockLayout layout;
    std::string output;  // -o, for commands that write a file
    bool help = false;
    bool version = false;
    bool orbitHiByteGiven = false;              // --orbit-hibyte was on the command line
    std::string database;                       // --database: an SQLite file or a postgresql:// address
    std::optional<int32_t> channel;             // --channel
    std::optional<int64_t> fromOrbit, toOrbit;  // --from, --to
    SatelliteInForce satellite;                 // --satellite, else the defaults' file
    bool utc = false;                           // --utc: series adds the samples' UTC
    bool wholeArchive = false;                  // --archive: satellite check reads the archive too
    std::string level;                          // --level: breaches of yellow or red only
    bool summary = false;                       // --summary: breaches counted per channel and level
    std::optional<int> bins;                    // --bins: fold's bins over MA 0 to 256
};

// Defaults that the options start from (the stored settings, when there are any).
struct Defaults {
    BlockLayout layout;
    std::string orbitHiByte = "0";
    SatelliteInForce satellite;  // $KELVAROX_SATELLITE, else the program's choice, else built in
};

// A command line that cannot be run as it is, with the reason; the program reports it with its
// usage and exit status 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Parses argv; a malformed command line raises UsageError.
Options ParseCommandLine(int argc, char** argv, const Defaults& defaults);

// A channel as the Hex# box shows it (#140) or as 0x140.
std::optional<int32_t> ParseChannelText(const std::string& text);
// A channel argument; anything else raises UsageError ("'X' is not a channel (#140 or 0x140)").
int32_t ChannelArgument(const std::string& text);
// The one channel argument of `command`: "COMMAND takes one channel" when there is not one.
int32_t OneChannelArgument(const Options& options, const std::string& command);

// The archive the options name: --database, else the default archive (archive/ArchiveLocation.h).
std::string ArchiveLocationOf(const Options& options);

}  // namespace kelvarox::cli
