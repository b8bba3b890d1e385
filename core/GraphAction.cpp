#include "core/GraphAction.h"

namespace kelvarox {

std::optional<GraphPicture> BuildGraphPicture(ProgramState& state, const ChannelBoxTexts& boxes) {
    if (!PrepareSeries(state, boxes)) return std::nullopt;
    state.Axis = ScaleValueAxis(state.Series.DataMax, state.Series.DataMin);
    return ComposeGraph({state.Header, state.Series, state.Axis, boxes.name, boxes.unit, state.DisplayScale});
}

}  // namespace kelvarox
