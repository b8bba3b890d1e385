#include "core/ChannelBoxTexts.h"

#include "core/Conversions.h"

namespace kelvarox {

bool PrepareSeries(const WodBlock& block, const BlockHeader& header, GraphAndTableState& state,
                   const ChannelBoxTexts& boxes) {
    UpdateCoefficients(state.currentCoefficients, boxes.a, boxes.b, boxes.c, boxes.d);
    if (!boxes.number.empty()) (void)ChannelFromBoxText(boxes.number);
    if (!boxes.orbitHiByte.empty()) (void)DecimalOrThrow(boxes.orbitHiByte);
    if (!block.HasSignature()) return false;
    state.series = BuildSeries(block, header, state.currentCoefficients);
    return true;
}

ChannelBoxTexts ChannelBoxTextsOf(int32_t channel, const ChannelDefinition& definition) {
    const auto coefficients = ChannelCatalogue::CoefficientTextsOf(definition.equation);
    ChannelBoxTexts boxes;
    boxes.name = definition.name;
    boxes.unit = definition.unit;
    boxes.number = ChannelCatalogue::ChannelNumberText(channel);
    boxes.a = coefficients.a;
    boxes.b = coefficients.b;
    boxes.c = coefficients.c;
    boxes.d = coefficients.d;
    return boxes;
}

}  // namespace kelvarox
