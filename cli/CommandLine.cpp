#include "cli/CommandLine.h"

#include <charconv>
#include <stdexcept>

#include "core/Conversions.h"
#include "core/Errors.h"

namespace kelvarox::cli {

const char* const kUsage =
    "Usage: kelvarox-cli COMMAND [OPTIONS] FILE...\n"
    "       kelvarox-cli archive add|list|stats|check|set-orbit [OPTIONS] ...\n"
    "\n"
    "Commands:\n"
    "  info FILE...          header, channel and equation of each block\n"
    "  table FILE            the data table of a block (CR LF line ends)\n"
    "  csv FILE_OR_DIR...    every sample of every block, or of the blocks in each directory,\n"
    "                        as one CSV (RFC 4180, CR LF line ends) on standard output\n"
    "  graph FILE -o OUT.png the graph window of a block after Load and Graph, as a picture;\n"
    "                        the suffix of OUT names its format: .png, .jpg, .jpeg, .bmp or .svg\n"
    "  archive add FILE_OR_DIR...\n"
    "                        stores the blocks in the archive, each once, with absolute orbits\n"
    "  archive list          the stored blocks in time order (--channel HEX: of one channel)\n"
    "  archive stats [CHANNEL]\n"
    "                        per channel: blocks, samples, first and last orbit and date, and the\n"
    "                        minimum, maximum and mean value\n"
    "  archive check         reads every stored block and names those whose bytes no longer match\n"
    "                        their SHA-256\n"
    "  archive set-orbit FILE_OR_SHA ORBIT\n"
    "                        fixes the absolute orbit of one block; the blocks after it follow\n"
    "  series CHANNEL        the channel's samples from every stored block in time order, as CSV\n"
    "                        (orbit,ma,value,raw,file); CHANNEL as #140 or 0x140; with -o OUT.png\n"
    "                        (or .svg ...) drawn as the time line window draws them\n"
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
    "  -h, --help            this text\n"
    "      --version         the program's name and version\n"
    "\n"
    "Exit status: 0 when every block loaded, 1 when one failed or the archive could not be\n"
    "used, 2 for a usage error.\n";

namespace {

std::vector<std::string> SplitCommas(const std::string& text) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return parts;
}

BlockLayout ParseLayout(const std::string& text) {
    const auto parts = SplitCommas(text);
    if (parts.size() != BlockLayout::kFieldCount)
        throw std::invalid_argument("--layout needs eight addresses separated by commas");
    BlockLayout layout;
    for (int i = 0; i < BlockLayout::kFieldCount; ++i) {
        const auto value = ParseDecimal(parts[static_cast<size_t>(i)]);
        if (!value || *value < 0 || *value > kLastBlockByte)
            throw std::invalid_argument("--layout: '" + parts[static_cast<size_t>(i)] +
                                        "' is not an address from 0 to " + std::to_string(kLastBlockByte));
        layout.Field(i) = *value;
    }
    return layout;
}

std::array<std::string, 4> ParseCoefficients(const std::string& text) {
    const auto parts = SplitCommas(text);
    if (parts.size() != 4) throw std::invalid_argument("--coefficients needs four texts separated by commas");
    std::array<std::string, 4> texts;
    for (size_t i = 0; i < 4; ++i) {
        // An empty box keeps the coefficient of the previous Graph; the command line has none.
        texts[i] = parts[i].empty() ? "0" : parts[i];
        try {
            FloatOrThrow(texts[i]);
        } catch (const KelvaroxError& e) {
            throw std::invalid_argument(std::string("--coefficients: ") + e.what());
        }
    }
    return texts;
}

int64_t ParseOrbit(const std::string& option, const std::string& text) {
    int64_t value = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size())
        throw std::invalid_argument(option + ": '" + text + "' is not an orbit number");
    return value;
}

}  // namespace

std::optional<int32_t> ParseChannelText(const std::string& text) {
    std::string digits;
    if (text.starts_with("#")) digits = text.substr(1);
    else if (text.starts_with("0x") || text.starts_with("0X")) digits = text.substr(2);
    else return std::nullopt;
    if (digits.empty() || digits.size() > 4) return std::nullopt;
    return ParseHex("0x" + digits);
}

Options ParseCommandLine(int argc, char** argv, const Defaults& defaults) {
    Options o;
    o.layout = defaults.layout;
    o.orbitHiByte = defaults.orbitHiByte;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        // A negative number (set-orbit's orbit) is an argument, not an option.
        const bool negativeNumber = arg.size() > 1 && arg[0] == '-' && arg[1] >= '0' && arg[1] <= '9';
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-" || negativeNumber) {
            if (o.command.empty()) o.command = arg;
            else o.files.push_back(arg);
            continue;
        }
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) throw std::invalid_argument(arg + " needs a value");
            return argv[++i];
        };
        if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "-h" || arg == "--help") {
            o.help = true;
        } else if (arg == "--version") {
            o.version = true;
        } else if (arg == "--orbit-hibyte") {
            o.orbitHiByte = value();
            o.orbitHiByteGiven = true;
            const auto hiByte = ParseDecimal(o.orbitHiByte);
            if (!hiByte)
                throw std::invalid_argument("--orbit-hibyte: '" + o.orbitHiByte + "' is not a valid integer value");
            if (*hiByte < 0) throw std::invalid_argument("--orbit-hibyte: '" + o.orbitHiByte + "' is below 0");
        } else if (arg == "--coefficients") {
            o.coefficients = ParseCoefficients(value());
        } else if (arg == "--layout") {
            o.layout = ParseLayout(value());
        } else if (arg == "--database") {
            o.database = value();
        } else if (arg == "--channel") {
            const std::string text = value();
            o.channel = ParseChannelText(text);
            if (!o.channel) throw std::invalid_argument("--channel: '" + text + "' is not a channel (#140 or 0x140)");
        } else if (arg == "--from") {
            o.fromOrbit = ParseOrbit(arg, value());
        } else if (arg == "--to") {
            o.toOrbit = ParseOrbit(arg, value());
        } else if (arg == "-o" || arg == "--output") {
            o.output = value();
        } else {
            throw std::invalid_argument("unknown option " + arg);
        }
    }
    if (o.help || o.version) return o;
    if (o.command.empty()) throw std::invalid_argument("no command given");
    return o;
}

}  // namespace kelvarox::cli
