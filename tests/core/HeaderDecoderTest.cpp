#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "TestFiles.h"
#include "core/HeaderDecoder.h"

using namespace kelvarox;
using namespace kelvarox::testing;

TEST(HeaderDecoder, EachFailureSaysWhereItStoppedAndKeepsTheValuesFromThere) {
    BlockHeader before;
    before.startAmDay = before.startMA = before.maStep = before.channel = before.lastSampleIndex = -7;
    struct Case {
        std::function<void(BlockRecipe&)> spoil;
        HeaderFault fault;
        std::string error;
        std::array<int32_t, 5> values;  // startAmDay, startMA, maStep, channel, lastSampleIndex
    };
    const Case cases[] = {
        {[](BlockRecipe&) {}, HeaderFault::None, "", {8766, 16, 4, 0x17F, 68}},
        {[](BlockRecipe& r) { r.signature = false; },
         HeaderFault::NoSignature,
         "Improper format for WOD data block!",
         {-7, -7, -7, -7, -7}},
        {[](BlockRecipe& r) { r.startAmDay = "12AB"; },
         HeaderFault::NotANumber,
         "'12AB' is not a valid integer value",
         {-7, -7, -7, -7, -7}},
        {[](BlockRecipe& r) { r.endOrbit = "  "; },
         HeaderFault::NotANumber,
         "'0x' is not a valid integer value",
         {8766, 16, -7, -7, -7}},
        {[](BlockRecipe& r) { r.maStep = "00"; }, HeaderFault::ZeroStep, "Division by zero", {8766, 16, 0, 0x17F, -7}},
    };
    for (const Case& c : cases) {
        BlockRecipe recipe;
        c.spoil(recipe);
        const std::vector<uint8_t> bytes = BuildBlock(recipe);
        WodBlock block;
        std::copy(bytes.begin(), bytes.end(), block.bytes.begin());
        const HeaderDecoding d = DecodeHeader(block, BlockLayout{}, 256, before);
        EXPECT_EQ(d.fault, c.fault) << c.error;
        EXPECT_EQ(d.error, c.error);
        EXPECT_EQ(d.ChannelDecoded(), c.fault == HeaderFault::None || c.fault == HeaderFault::ZeroStep) << c.error;
        const BlockHeader& h = d.header;
        EXPECT_EQ((std::array<int32_t, 5>{h.startAmDay, h.startMA, h.maStep, h.channel, h.lastSampleIndex}), c.values)
            << c.error;
    }
}
