#pragma once
// Builds WOD block files from the texts of their header fields and their raw samples: the
// sample directory, the fuzz seeds, the benchmarks and the tests all make their blocks here.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/WodBlock.h"

namespace kelvarox::blockbuilder {

// What a block is made of: its header fields as the texts that stand in the block
// (blank-padded on the right to the field's width) and its raw samples from byte 64 on.
struct BlockRecipe {
    std::string startAmDay = "8766";
    std::string endAmDay = "8766";
    std::string startOrbit = "3C";
    std::string startMA = "10";
    std::string endOrbit = "3D";
    std::string endMA = "20";
    std::string maStep = "04";
    std::string channel = "017F";
    std::vector<uint8_t> samples;
    bool signature = true;
};

// A recipe from its channel, the orbit and MA texts of its start and end, its MA step and its
// samples, with the AmDays of the default recipe.
BlockRecipe RecipeOf(std::string channel, std::string startOrbit, std::string startMA, std::string endOrbit,
                     std::string endMA, std::string maStep, std::vector<uint8_t> samples);

// The fullest block: 384 samples, one at every MA over one and a half orbits, of a channel
// with a cubic equation.
BlockRecipe FullBlockRecipe();

// The 512 bytes of the block, its fields at the layout's addresses.
std::vector<uint8_t> BuildBlock(const BlockRecipe& recipe, const BlockLayout& layout = BlockLayout{});

// Writes the bytes as the whole file at `path`; raises std::runtime_error when it cannot.
void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);

}  // namespace kelvarox::blockbuilder
