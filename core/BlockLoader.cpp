#include "core/BlockLoader.h"

#include "core/AmDayCalendar.h"
#include "core/Conversions.h"
#include "core/Errors.h"

namespace kelvarox {

void ReadBlockFile(ProgramState& state, LoaderView& view) {
    if (ReadBlockBytes(state.BlockFilePath, state.Block) == ReadOutcome::Read) return;
    state.LoadFailed = true;
    view.DisableGraphAndTable();
    view.ShowInformation(msg::kImproperLength);
}

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

void LoadInfo(ProgramState& state, LoaderView& view) {
    state.OrbitBase = OrbitBaseOf(DecimalOrThrow(view.OrbitHiByteText()));

    // A failed read leaves the block before it in the buffer, which is decoded and shown
    // again, as it always has been: the boxes then show the block that Graph and Table use.
    ReadBlockFile(state, view);

    if (!state.Block.HasSignature()) {
        state.LoadFailed = true;
        view.DisableGraphAndTable();
        view.ShowInformation(msg::kImproperFormat);
        return;
    }

    const WodBlock& block = state.Block;
    const BlockLayout& layout = state.Layout;
    BlockHeader& h = state.Header;

    h.StartAmDay = DecodeDecimalField(block, layout.StartAmDayAddr, 4);
    h.StartDateText = DayCountToDateText(WrapAdd(h.StartAmDay, kAmDayOffset));
    h.EndAmDay = DecodeDecimalField(block, layout.EndAmDayAddr, 4);
    h.EndDateText = DayCountToDateText(WrapAdd(h.EndAmDay, kAmDayOffset));

    const int32_t startOrbitByte = DecodeHexField(block, layout.StartOrbitAddr, 2);
    h.StartOrbit = WrapAdd(startOrbitByte, state.OrbitBase);
    h.StartMA = DecodeHexField(block, layout.StartMAAddr, 2);
    const int32_t endOrbitByte = DecodeHexField(block, layout.EndOrbitAddr, 2);
    h.EndOrbit = WrapAdd(endOrbitByte, state.OrbitBase);
    // An end orbit byte below the start one crossed a multiple of 256 orbits within the block.
    if (endOrbitByte < startOrbitByte) h.EndOrbit = WrapAdd(h.EndOrbit, 256);
    h.EndMA = DecodeHexField(block, layout.EndMAAddr, 2);

    h.MAStep = DecodeDecimalField(block, layout.MAStepAddr, 2);
    h.Channel = DecodeHexField(block, layout.ChannelAddr, 4);

    h.CoefficientRow = ChannelCatalogue::RowOf(h.Channel);
    const auto coefficients = ChannelCatalogue::CoefficientTextsOf(h.CoefficientRow);
    view.SetBoxText(ChannelBox::A, coefficients.a);
    view.SetBoxText(ChannelBox::B, coefficients.b);
    view.SetBoxText(ChannelBox::C, coefficients.c);
    view.SetBoxText(ChannelBox::D, coefficients.d);
    view.SetBoxText(ChannelBox::Number, ChannelCatalogue::ChannelNumberText(h.Channel));
    view.SetBoxText(ChannelBox::Name, ChannelCatalogue::NameOf(h.Channel));
    view.SetBoxText(ChannelBox::Unit, ChannelCatalogue::UnitOf(h.Channel));

    h.StartPosition = WrapAdd(WrapMul(h.StartOrbit, 256), h.StartMA);
    h.EndPosition = WrapAdd(WrapMul(h.EndOrbit, 256), h.EndMA);
    h.LastSampleIndex = WrapDiv(WrapSub(h.EndPosition, h.StartPosition), h.MAStep);
    h.FirstMA = FirstMAOf(h.StartMA, h.MAStep);
}

}  // namespace kelvarox
