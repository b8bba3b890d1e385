#pragma once
// The block in memory with what Graph and Table keep, the layout and the display scale in one
// place, and the main window's Load, Graph and Table over it as a test drives them: the boxes
// Load fills, the messages it shows and how often it disables Graph and Table are recorded.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/BlockLoader.h"
#include "core/ChannelBoxTexts.h"
#include "core/Errors.h"
#include "core/GraphPicture.h"

namespace kelvarox::testing {

struct BlockState : BlockInMemory, GraphAndTableState {
    BlockLayout layout;
    float displayScale = 1.0f;
};

// The main window's boxes that Load fills.
enum class ChannelBox { Name, Unit, Number, A, B, C, D };

class RecordingLoaderView {
public:
    std::string orbitHiByte = "0";
    std::map<ChannelBox, std::string> boxes;
    std::vector<std::string> messages;
    int disableCount = 0;

    // What the main window does with the outcome of a Load.
    void Show(const LoadOutcome& outcome, int32_t channel) {
        for (const std::string& message : outcome.messages) {
            ++disableCount;
            messages.push_back(message);
        }
        if (outcome.channelDecoded) {
            const ChannelBoxTexts b = ChannelBoxTextsOf(channel, BuiltInDefinition(channel));
            boxes[ChannelBox::A] = b.a;
            boxes[ChannelBox::B] = b.b;
            boxes[ChannelBox::C] = b.c;
            boxes[ChannelBox::D] = b.d;
            boxes[ChannelBox::Number] = b.number;
            boxes[ChannelBox::Name] = b.name;
            boxes[ChannelBox::Unit] = b.unit;
        }
        if (!outcome.error.empty()) throw KelvaroxError(outcome.error);
    }
};

// The Load button: raises the error that ends the load, as the window reports it.
inline void PressLoad(BlockState& state, RecordingLoaderView& view) {
    const LoadOutcome outcome = LoadBlockFile(state, state.layout, view.orbitHiByte);
    view.Show(outcome, state.header.channel);
}

inline std::optional<GraphPicture> BuildGraphPicture(BlockState& state, const ChannelBoxTexts& boxes) {
    return kelvarox::BuildGraphPicture(state.block, state.header, state, boxes, state.displayScale);
}

inline bool PrepareSeries(BlockState& state, const ChannelBoxTexts& boxes) {
    return kelvarox::PrepareSeries(state.block, state.header, state, boxes);
}

}  // namespace kelvarox::testing
