#include "core/GraphAndTableActions.h"

#include "core/Conversions.h"

namespace kelvarox {

bool PrepareSeries(ProgramState& state, const ChannelBoxTexts& boxes) {
    UpdateCoefficients(state.CurrentCoefficients, boxes.a, boxes.b, boxes.c, boxes.d);
    if (!boxes.number.empty()) state.Header.Channel = ChannelFromBoxText(boxes.number);
    if (!boxes.orbitHiByte.empty())
        state.OrbitBase = OrbitBaseOf(DecimalOrThrow(boxes.orbitHiByte));
    if (!state.Block.HasSignature()) return false;
    state.Series = BuildSeries(state.Block, state.Header, state.CurrentCoefficients);
    return true;
}

}  // namespace kelvarox
