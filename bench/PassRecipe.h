#pragma once
// The blocks of the benchmarks' archives: passes of a satellite that flies 14.3 orbits a day,
// each pass one orbit of 64 samples 4 MA apart in a block of each of ten channels.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "blockbuilder/BlockBuilder.h"

namespace kelvarox::bench {

inline constexpr const char* kPassChannels[10] = {"0140", "0141", "0106", "010B", "0171",
                                                  "0100", "0134", "0130", "0142", "0180"};

// The block of channel `c` (0 to 9) of pass `pass`, `perDay` passes a day from orbit 256 and
// AmDay `firstDay`.
inline blockbuilder::BlockRecipe PassRecipe(int c, int pass, int perDay, int firstDay) {
    const double orbits = 256 + pass * 14.3 / perDay;
    const int orbit = static_cast<int>(orbits);
    const int ma = static_cast<int>((orbits - orbit) * 64) * 4;
    const int end = orbit * 256 + ma + 63 * 4;
    char text[4][3];
    std::snprintf(text[0], 3, "%02X", orbit & 0xFF);
    std::snprintf(text[1], 3, "%02X", ma);
    std::snprintf(text[2], 3, "%02X", (end / 256) & 0xFF);
    std::snprintf(text[3], 3, "%02X", end % 256);
    std::vector<uint8_t> samples;
    for (int i = 0; i < 64; ++i)
        samples.push_back(static_cast<uint8_t>(120 + 40 * std::sin((ma + 4 * i) / 40.7) + (pass + c) % 9));
    blockbuilder::BlockRecipe recipe =
        blockbuilder::RecipeOf(kPassChannels[c], text[0], text[1], text[2], text[3], "04", samples);
    recipe.startAmDay = recipe.endAmDay = std::to_string(firstDay + pass / perDay);
    return recipe;
}

}  // namespace kelvarox::bench
