#include "core/HeaderDecoder.h"

#include "core/AmDayCalendar.h"
#include "core/ChannelCatalogue.h"
#include "core/Errors.h"

namespace kelvarox {

int32_t FirstMAOf(int32_t startMA, int32_t maStep) {
    // The smallest multiple of the step not below startMA - 1 (startMA itself for a step of 1).
    int32_t m = WrapSub(startMA, 1);
    const int32_t r = WrapMod(m, maStep);
    if (r != 0) {
        // m + (|step| - r) for a positive remainder, m - r for a negative one: the next m up
        // whose remainder is 0.
        const int64_t magnitude = maStep < 0 ? -static_cast<int64_t>(maStep) : maStep;
        m = static_cast<int32_t>(static_cast<int64_t>(m) + (r > 0 ? magnitude - r : -static_cast<int64_t>(r)));
    }
    if (maStep == 1) m = WrapAdd(m, 1);
    return m;
}

namespace {

// Decodes the fields into `h` in their order; raises the conversion error of the first field
// that is no number, the fields before it already in `h`.
void DecodeFields(const WodBlock& block, const BlockLayout& layout, int32_t orbitBase, BlockHeader& h) {
    h.startAmDay = DecodeDecimalField(block, layout.startAmDayAddr, 4);
    h.startDateText = DayCountToDateText(WrapAdd(h.startAmDay, kAmDayOffset));
    h.endAmDay = DecodeDecimalField(block, layout.endAmDayAddr, 4);
    h.endDateText = DayCountToDateText(WrapAdd(h.endAmDay, kAmDayOffset));

    const int32_t startOrbitByte = DecodeHexField(block, layout.startOrbitAddr, 2);
    h.startOrbit = WrapAdd(startOrbitByte, orbitBase);
    h.startMA = DecodeHexField(block, layout.startMAAddr, 2);
    const int32_t endOrbitByte = DecodeHexField(block, layout.endOrbitAddr, 2);
    h.endOrbit = WrapAdd(endOrbitByte, orbitBase);
    // An end orbit byte below the start one crossed a multiple of 256 orbits within the block.
    if (endOrbitByte < startOrbitByte) h.endOrbit = WrapAdd(h.endOrbit, 256);
    h.endMA = DecodeHexField(block, layout.endMAAddr, 2);

    h.maStep = DecodeDecimalField(block, layout.maStepAddr, 2);
    h.channel = DecodeHexField(block, layout.channelAddr, 4);
    h.coefficientRow = ChannelCatalogue::RowOf(h.channel);
}

}  // namespace

HeaderDecoding DecodeHeader(const WodBlock& block, const BlockLayout& layout, int32_t orbitBase,
                            const BlockHeader& before) {
    HeaderDecoding d;
    d.header = before;
    if (!block.HasSignature()) {
        d.fault = HeaderFault::NoSignature;
        d.error = msg::kImproperFormat;
        return d;
    }
    BlockHeader& h = d.header;
    try {
        DecodeFields(block, layout, orbitBase, h);
    } catch (const KelvaroxError& e) {
        d.fault = HeaderFault::NotANumber;
        d.error = e.what();
        return d;
    }
    h.startPosition = WrapAdd(WrapMul(h.startOrbit, 256), h.startMA);
    h.endPosition = WrapAdd(WrapMul(h.endOrbit, 256), h.endMA);
    if (h.maStep == 0) {
        d.fault = HeaderFault::ZeroStep;
        d.error = msg::kDivisionByZero;
        return d;
    }
    h.lastSampleIndex = WrapDiv(WrapSub(h.endPosition, h.startPosition), h.maStep);
    h.firstMA = FirstMAOf(h.startMA, h.maStep);
    return d;
}

}  // namespace kelvarox
