// Writes the sample telemetry directory: a dozen blocks that show what Kelvarox handles,
// good and bad. With --week, a week of a satellite's passes instead, for the time line.
// Usage: kelvarox-make-samples [--week] DIRECTORY (--help tells more)
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "blockbuilder/BlockBuilder.h"

using namespace kelvarox::blockbuilder;

namespace {

// A smooth integer wave: a parabola arch repeated, between low and high.
std::vector<uint8_t> Wave(int count, int low, int high, int period, int phase = 0) {
    std::vector<uint8_t> v;
    for (int i = 0; i < count; ++i) {
        const int t = (i + phase) % period;
        const int half = period / 2;
        const int x = t < half ? t : period - t;  // 0 .. half .. 0
        v.push_back(static_cast<uint8_t>(low + (high - low) * x * (2 * half - x) / (half * half)));
    }
    return v;
}

std::vector<uint8_t> Ramp(int count, int start, int step) {
    std::vector<uint8_t> v;
    for (int i = 0; i < count; ++i) v.push_back(static_cast<uint8_t>((start + i * step) & 0xFF));
    return v;
}

std::string Hex2(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X", value & 0xFF);
    return text;
}

// A week of passes, AmDay 8759 to 8765 (2001 December 25 to 31), just before the dozen's day:
// the battery current, the main battery's volts and the SEU's temperature, each a whole orbit
// at every 4th MA, three times a day and once a day two orbits in a row (two blocks that join).
// The satellite flies 14.3 orbits a day and begins orbit 316 at 7:12 on AmDay 8766, where the
// dozen's blocks lie, so a block of the dozen added to the week continues its time line.
void WriteWeek(const std::filesystem::path& dir) {
    constexpr double kOrbitsPerDay = 14.3;
    constexpr double kOrbit316At = 8766.3;
    struct Channel {
        const char* hex;
        double level, swing, trend;  // raw: level + swing over the orbit + trend a day
    };
    const Channel channels[] = {{"0106", 130, 30, 0.8}, {"010B", 166, 12, -1.2}, {"0140", 128, 24, 1.5}};
    unsigned noise = 12345;
    const auto next = [&] {
        noise = noise * 1103515245u + 12345u;
        return static_cast<double>((noise >> 16) % 1000) / 1000.0 - 0.5;
    };
    for (int day = 8759; day <= 8765; ++day) {
        for (const double hour : {2.0, 9.5, 15.0, 20.5}) {
            const double at = day + hour / 24.0;
            const double orbits = 316 + (at - kOrbit316At) * kOrbitsPerDay;
            const int orbit = static_cast<int>(std::floor(orbits));
            const int ma = static_cast<int>((orbits - orbit) * 64) * 4;
            const int blocks = hour == 15.0 ? 2 : 1;
            for (const Channel& c : channels) {
                for (int b = 0; b < blocks; ++b) {
                    std::vector<uint8_t> samples;
                    for (int i = 0; i < 64; ++i) {
                        const double phase = (ma + 4 * i) / 256.0;
                        const double value =
                            c.level + c.swing * std::sin(2 * M_PI * phase) + c.trend * (day - 8759) + 2 * next();
                        samples.push_back(static_cast<uint8_t>(std::lround(std::fmin(255, std::fmax(0, value)))));
                    }
                    const int start = orbit + b;
                    const int endPosition = start * 256 + ma + 63 * 4;
                    BlockRecipe recipe = RecipeOf(c.hex, Hex2(start), Hex2(ma), Hex2(endPosition / 256),
                                                  Hex2(endPosition % 256), "04", samples);
                    const double end = at + (b + 1) / kOrbitsPerDay;
                    recipe.startAmDay = std::to_string(static_cast<int>(std::floor(at + b / kOrbitsPerDay)));
                    recipe.endAmDay = std::to_string(static_cast<int>(std::floor(end)));
                    char name[32];
                    std::snprintf(name, sizeof name, "%s-%d-%02d%s.dat", c.hex, day, static_cast<int>(hour),
                                  b ? "b" : "");
                    WriteBytes(dir / name, BuildBlock(recipe));
                }
            }
        }
    }
}

// The dozen blocks.
void WriteDozen(const std::filesystem::path& dir) {
    auto put = [&](const char* name, const BlockRecipe& recipe) { WriteBytes(dir / name, BuildBlock(recipe)); };

    // Temp - SEU over one orbit, every 4th MA: 64 samples.
    put("temperature-one-orbit.dat", RecipeOf("0140", "3C", "00", "3C", "FC", "04", Wave(64, 110, 160, 64)));
    // A channel above the catalogue: raw counts, identity equation.
    put("raw-identity.tlm", RecipeOf("0180", "3C", "F8", "3D", "04", "04", {0x00, 0x7F, 0x80, 0xFF}));
    // Battery current over four orbits: 257 samples.
    BlockRecipe several = RecipeOf("0106", "10", "00", "14", "00", "04", Wave(257, 90, 200, 64, 16));
    several.endAmDay = "8767";
    put("battery-current-four-orbits.dat", several);
    // The orbit byte passes FF within the block: orbits 254 to 257.
    put("orbit-wrap.dat", RecipeOf("0141", "FE", "80", "01", "80", "08", Wave(97, 120, 150, 32)));
    // One sample only.
    put("one-sample.dat", RecipeOf("0140", "3C", "40", "3C", "40", "04", {130}));
    // Sun sensor Up - X: every coefficient 0, so every value is 0.
    put("sun-sensor-zero-coefficients.dat", RecipeOf("0130", "3C", "00", "3C", "FC", "04", Wave(64, 0, 250, 32)));
    // The most a block holds: 384 samples at every MA.
    put("solar-array-current-384.tlm", RecipeOf("0171", "20", "00", "21", "7F", "01", Wave(384, 10, 240, 128)));
    // Sun sensor Z - 45: a cubic equation.
    put("sun-sensor-cubic.dat", RecipeOf("0134", "3C", "00", "3D", "00", "04", Ramp(65, 40, 3)));
    // SEU spin: a quadratic equation; upper-case extension.
    put("SPIN.TLM", RecipeOf("0100", "3C", "10", "3C", "F0", "08", Wave(29, 60, 200, 28)));
    // Main battery volts, upper-case name.
    put("BATTERY.DAT", RecipeOf("010B", "3C", "00", "3E", "00", "08", Wave(65, 150, 180, 32)));

    // Files that are no block: a wrong signature and a short file.
    BlockRecipe noSignature = RecipeOf("0140", "3C", "00", "3C", "FC", "04", Wave(64, 110, 160, 64));
    noSignature.signature = false;
    put("bad-signature.dat", noSignature);
    WriteBytes(dir / "short-100-bytes.dat", std::vector<uint8_t>(100, 'W'));
}

constexpr const char* kUsage =
    "Usage: kelvarox-make-samples [--week] DIRECTORY\n"
    "\n"
    "Writes the sample telemetry directory into DIRECTORY (made when missing): a dozen blocks that\n"
    "show what Kelvarox handles, good and bad. With --week, a week of a satellite's passes\n"
    "instead, for the time line.\n"
    "\n"
    "Options:\n"
    "  --week       the week of passes\n"
    "  -h, --help   this text\n"
    "\n"
    "Exit status: 0 when the blocks were written, 1 when they could not be, 2 for a usage error.\n";

// The directory to write and whether it gets the week; nothing after a usage error.
struct Arguments {
    bool help = false;
    bool week = false;
    std::string directory;
    std::string error;
};

Arguments Parse(int argc, char** argv) {
    Arguments a;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!optionsEnded && arg == "--")
            optionsEnded = true;
        else if (!optionsEnded && (arg == "-h" || arg == "--help"))
            a.help = true;
        else if (!optionsEnded && arg == "--week")
            a.week = true;
        else if (!optionsEnded && arg.size() > 1 && arg[0] == '-')
            a.error = "unknown option " + arg;
        else if (a.directory.empty())
            a.directory = arg;
        else
            a.error = "one directory only, not also " + arg;
        if (!a.error.empty()) return a;
    }
    if (!a.help && a.directory.empty()) a.error = "no directory given";
    return a;
}

}  // namespace

int main(int argc, char** argv) {
    const Arguments arguments = Parse(argc, argv);
    if (arguments.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (!arguments.error.empty()) {
        std::fprintf(stderr, "kelvarox-make-samples: %s\n\n%s", arguments.error.c_str(), kUsage);
        return 2;
    }
    try {
        const std::filesystem::path dir = arguments.directory;
        std::filesystem::create_directories(dir);
        if (arguments.week)
            WriteWeek(dir);
        else
            WriteDozen(dir);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kelvarox-make-samples: %s\n", e.what());
        return 1;
    }
    return 0;
}
