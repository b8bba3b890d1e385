#include "cli/CommandLine.h"

#include "archive/ArchiveLocation.h"
#include "core/Conversions.h"
#include "core/Errors.h"

namespace kelvarox::cli {

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
        throw UsageError("--layout needs eight addresses separated by commas");
    BlockLayout layout;
    for (int i = 0; i < BlockLayout::kFieldCount; ++i) {
        const auto value = ParseDecimal(parts[static_cast<size_t>(i)]);
        if (!value || *value < 0 || *value > kLastBlockByte)
            throw UsageError("--layout: '" + parts[static_cast<size_t>(i)] + "' is not an address from 0 to " +
                             std::to_string(kLastBlockByte));
        layout.Field(i) = *value;
    }
    return layout;
}

std::array<std::string, 4> ParseCoefficients(const std::string& text) {
    const auto parts = SplitCommas(text);
    if (parts.size() != 4) throw UsageError("--coefficients needs four texts separated by commas");
    std::array<std::string, 4> texts;
    for (size_t i = 0; i < 4; ++i) {
        // An empty box keeps the coefficient of the previous Graph; the command line has none.
        texts[i] = parts[i].empty() ? "0" : parts[i];
        try {
            FloatOrThrow(texts[i]);
        } catch (const KelvaroxError& e) {
            throw UsageError(std::string("--coefficients: ") + e.what());
        }
    }
    return texts;
}

int64_t ParseOrbit(const std::string& option, const std::string& text) {
    const std::optional<int64_t> value = ParseOrbitNumber(text);
    if (!value) throw UsageError(option + ": '" + text + "' is not an orbit number");
    return *value;
}

}  // namespace

std::optional<int32_t> ParseChannelText(const std::string& text) {
    std::string digits;
    if (text.starts_with("#"))
        digits = text.substr(1);
    else if (text.starts_with("0x") || text.starts_with("0X"))
        digits = text.substr(2);
    else
        return std::nullopt;
    if (digits.empty() || digits.size() > 4) return std::nullopt;
    return ParseHex("0x" + digits);
}

int32_t ChannelArgument(const std::string& text) {
    const auto channel = ParseChannelText(text);
    if (!channel) throw UsageError("'" + text + "' is not a channel (#140 or 0x140)");
    return *channel;
}

int32_t OneChannelArgument(const Options& options, const std::string& command) {
    if (options.files.size() != 1) throw UsageError(command + " takes one channel");
    return ChannelArgument(options.files[0]);
}

std::string ArchiveLocationOf(const Options& options) {
    return options.database.empty() ? archive::DefaultArchiveLocation() : options.database;
}

Options ParseCommandLine(int argc, char** argv, const Defaults& defaults) {
    Options o;
    o.layout = defaults.layout;
    o.orbitHiByte = defaults.orbitHiByte;
    o.satellite = defaults.satellite;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        // A negative number (set-orbit's orbit) is an argument, not an option.
        const bool negativeNumber = arg.size() > 1 && arg[0] == '-' && arg[1] >= '0' && arg[1] <= '9';
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-" || negativeNumber) {
            if (o.command.empty())
                o.command = arg;
            else
                o.files.push_back(arg);
            continue;
        }
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) throw UsageError(arg + " needs a value");
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
            if (!hiByte) throw UsageError("--orbit-hibyte: '" + o.orbitHiByte + "' is not a valid integer value");
            if (*hiByte < 0) throw UsageError("--orbit-hibyte: '" + o.orbitHiByte + "' is below 0");
        } else if (arg == "--coefficients") {
            o.coefficients = ParseCoefficients(value());
        } else if (arg == "--layout") {
            o.layout = ParseLayout(value());
        } else if (arg == "--database") {
            o.database = value();
        } else if (arg == "--channel") {
            const std::string text = value();
            o.channel = ParseChannelText(text);
            if (!o.channel) throw UsageError("--channel: '" + text + "' is not a channel (#140 or 0x140)");
        } else if (arg == "--from") {
            o.fromOrbit = ParseOrbit(arg, value());
        } else if (arg == "--to") {
            o.toOrbit = ParseOrbit(arg, value());
        } else if (arg == "--satellite") {
            o.satellite = {SatelliteInForce::Source::Option, value()};
            if (o.satellite.path.empty()) throw UsageError("--satellite needs a file");
        } else if (arg == "--utc") {
            o.utc = true;
        } else if (arg == "--level") {
            o.level = value();
        } else if (arg == "--bins") {
            const std::string text = value();
            const auto bins = ParseDecimal(text);
            if (!bins) throw UsageError("--bins: '" + text + "' is not a whole number");
            o.bins = *bins;
        } else if (arg == "--summary") {
            o.summary = true;
        } else if (arg == "--archive") {
            o.wholeArchive = true;
        } else if (arg == "-o" || arg == "--output") {
            o.output = value();
        } else {
            throw UsageError("unknown option " + arg);
        }
    }
    if (o.help || o.version) return o;
    if (o.command.empty()) throw UsageError("no command given");
    return o;
}

}  // namespace kelvarox::cli
