#pragma once
// Program states with a block in memory as Load leaves it, for the graph's tests.
#include <cstdint>
#include <vector>

#include "BlockState.h"
#include "TestFiles.h"
#include "core/ChannelBoxTexts.h"

namespace kelvarox::testing {

// A WOD block with these raw samples, its header decoded: orbits 60 to `endOrbit`, MA
// from 0 in steps of `maStep`, lastSampleIndex one below the number of samples.
inline BlockState StateWithSamples(const std::vector<uint8_t>& samples, int32_t maStep = 64, int32_t endOrbit = 60) {
    BlockState s;
    s.block.bytes[3] = 'W';
    s.block.bytes[4] = 'h';
    s.block.bytes[5] = 'o';
    for (size_t i = 0; i < samples.size() && kFirstSampleOffset + i < kBlockFileSize; ++i)
        s.block.bytes[kFirstSampleOffset + i] = samples[i];
    BlockHeader& h = s.header;
    h.startOrbit = 60;
    h.endOrbit = endOrbit;
    h.startMA = 0;
    h.maStep = maStep;
    h.firstMA = 0;
    h.lastSampleIndex = static_cast<int32_t>(samples.size()) - 1;
    h.startDateText = "2002/01/01";
    h.endDateText = "2002/01/02";
    return s;
}

// A raw-count block (value = raw byte) of four samples, 4, 16, 10 and 7, one orbit at MA 0,
// 64, 128 and 192.
inline BlockRecipe FourSampleBlockRecipe() { return RecipeOf("0180", "3C", "00", "3C", "C0", "64", {4, 16, 10, 7}); }

// The boxes after Load of a channel whose equation is the identity (value = raw byte).
inline ChannelBoxTexts IdentityBoxes() {
    ChannelBoxTexts b;
    b.name = "Temp - SEU";
    b.unit = "Deg C";
    b.number = "#140";
    b.a = "0.0";
    b.b = "0.0";
    b.c = "1.0";
    b.d = "0.0";
    b.orbitHiByte = "0";
    return b;
}

}  // namespace kelvarox::testing
