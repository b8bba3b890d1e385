// Writes the sample telemetry directory: a dozen blocks that show what Kelvarox handles,
// good and bad. Usage: kelvarox-make-samples DIRECTORY
#include <cstdio>
#include <filesystem>
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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
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
    return 0;
}
