#include "core/HeaderDecoder.h"

#include "core/AmDayCalendar.h"
#include "core/ChannelCatalogue.h"
#include "core/Errors.h"

namespace kelvarox {

int32_t FirstMAOf(int32_t startMA, int32_t maStep) {
    // The smallest multiple of the step not below StartMA - 1 (StartMA itself for a step of 1).
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
    h.StartAmDay = DecodeDecimalField(block, layout.StartAmDayAddr, 4);
    h.StartDateText = DayCountToDateText(WrapAdd(h.StartAmDay, kAmDayOffset));
    h.EndAmDay = DecodeDecimalField(block, layout.EndAmDayAddr, 4);
    h.EndDateText = DayCountToDateText(WrapAdd(h.EndAmDay, kAmDayOffset));

    const int32_t startOrbitByte = DecodeHexField(block, layout.StartOrbitAddr, 2);
    h.StartOrbit = WrapAdd(startOrbitByte, orbitBase);
    h.StartMA = DecodeHexField(block, layout.StartMAAddr, 2);
    const int32_t endOrbitByte = DecodeHexField(block, layout.EndOrbitAddr, 2);
    h.EndOrbit = WrapAdd(endOrbitByte, orbitBase);
    // An end orbit byte below the start one crossed a multiple of 256 orbits within the block.
    if (endOrbitByte < startOrbitByte) h.EndOrbit = WrapAdd(h.EndOrbit, 256);
    h.EndMA = DecodeHexField(block, layout.EndMAAddr, 2);

    h.MAStep = DecodeDecimalField(block, layout.MAStepAddr, 2);
    h.Channel = DecodeHexField(block, layout.ChannelAddr, 4);
    h.CoefficientRow = ChannelCatalogue::RowOf(h.Channel);
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
    h.StartPosition = WrapAdd(WrapMul(h.StartOrbit, 256), h.StartMA);
    h.EndPosition = WrapAdd(WrapMul(h.EndOrbit, 256), h.EndMA);
    if (h.MAStep == 0) {
        d.fault = HeaderFault::ZeroStep;
        d.error = msg::kDivisionByZero;
        return d;
    }
    h.LastSampleIndex = WrapDiv(WrapSub(h.EndPosition, h.StartPosition), h.MAStep);
    h.FirstMA = FirstMAOf(h.StartMA, h.MAStep);
    return d;
}

}  // namespace kelvarox
