#include "core/GraphPicture.h"

namespace kelvarox {

std::optional<GraphPicture> BuildGraphPicture(const WodBlock& block, const BlockHeader& header,
                                              GraphAndTableState& state, const ChannelBoxTexts& boxes,
                                              float displayScale) {
    if (!PrepareSeries(block, header, state, boxes)) return std::nullopt;
    state.axis = ScaleValueAxis(state.series.dataMax, state.series.dataMin);
    return ComposeGraph({header, state.series, state.axis, boxes.name, boxes.unit, displayScale});
}

}  // namespace kelvarox
