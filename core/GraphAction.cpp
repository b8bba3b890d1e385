#include "core/GraphAction.h"

namespace kelvarox {

std::optional<GraphPicture> BuildGraphPicture(const WodBlock& block, const BlockHeader& header,
                                              GraphAndTableState& state, const ChannelBoxTexts& boxes,
                                              float displayScale) {
    if (!PrepareSeries(block, header, state, boxes)) return std::nullopt;
    state.Axis = ScaleValueAxis(state.Series.DataMax, state.Series.DataMin);
    return ComposeGraph({header, state.Series, state.Axis, boxes.name, boxes.unit, displayScale});
}

}  // namespace kelvarox
