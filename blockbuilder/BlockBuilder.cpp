#include "blockbuilder/BlockBuilder.h"

#include <fstream>
#include <stdexcept>

namespace kelvarox::blockbuilder {

namespace {

void PutField(std::vector<uint8_t>& bytes, int32_t address, int width, const std::string& text) {
    for (int k = 0; k < width; ++k) {
        const int64_t pos = static_cast<int64_t>(address) + k;
        if (pos < 0 || pos >= static_cast<int64_t>(bytes.size())) continue;
        bytes[static_cast<size_t>(pos)] = k < static_cast<int>(text.size()) ? static_cast<uint8_t>(text[k]) : ' ';
    }
}

}  // namespace

BlockRecipe RecipeOf(std::string channel, std::string startOrbit, std::string startMA, std::string endOrbit,
                     std::string endMA, std::string maStep, std::vector<uint8_t> samples) {
    BlockRecipe recipe;
    recipe.channel = std::move(channel);
    recipe.startOrbit = std::move(startOrbit);
    recipe.startMA = std::move(startMA);
    recipe.endOrbit = std::move(endOrbit);
    recipe.endMA = std::move(endMA);
    recipe.maStep = std::move(maStep);
    recipe.samples = std::move(samples);
    return recipe;
}

BlockRecipe FullBlockRecipe() {
    std::vector<uint8_t> samples;
    for (int i = 0; i < kSeriesCapacity; ++i) samples.push_back(static_cast<uint8_t>(i * 7));
    return RecipeOf("0134", "20", "00", "21", "7F", "01", std::move(samples));
}

std::vector<uint8_t> BuildBlock(const BlockRecipe& recipe, const BlockLayout& layout) {
    std::vector<uint8_t> bytes(kBlockFileSize, 0);
    for (size_t i = 0; i < recipe.samples.size() && kFirstSampleOffset + i < bytes.size(); ++i) {
        bytes[kFirstSampleOffset + i] = recipe.samples[i];
    }
    if (recipe.signature) {
        bytes[3] = 'W';
        bytes[4] = 'h';
        bytes[5] = 'o';
    }
    PutField(bytes, layout.startAmDayAddr, 4, recipe.startAmDay);
    PutField(bytes, layout.endAmDayAddr, 4, recipe.endAmDay);
    PutField(bytes, layout.startOrbitAddr, 2, recipe.startOrbit);
    PutField(bytes, layout.startMAAddr, 2, recipe.startMA);
    PutField(bytes, layout.endOrbitAddr, 2, recipe.endOrbit);
    PutField(bytes, layout.endMAAddr, 2, recipe.endMA);
    PutField(bytes, layout.maStepAddr, 2, recipe.maStep);
    PutField(bytes, layout.channelAddr, 4, recipe.channel);
    return bytes;
}

void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace kelvarox::blockbuilder
