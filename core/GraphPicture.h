#pragma once
// The Graph action without its window: the main window's boxes as the user left them turn
// into the series, the value axis and the picture that the graph window paints.
#include <optional>

#include "core/ChannelBoxTexts.h"
#include "core/GraphDrawing.h"

namespace kelvarox {

// Parses the boxes and builds the series (PrepareSeries), scales the value axis and
// composes the drawing at `displayScale`. No picture when the block is no WOD block. A box
// that does not convert raises its error before anything is drawn.
[[nodiscard]] std::optional<GraphPicture> BuildGraphPicture(const WodBlock& block, const BlockHeader& header,
                                                            GraphAndTableState& state, const ChannelBoxTexts& boxes,
                                                            float displayScale);

}  // namespace kelvarox
