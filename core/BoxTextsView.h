#pragma once
// A loader view without a window: the boxes that a load fills, kept as texts, and the first
// message it would show. The command line and the benchmarks load blocks through it.
#include <string>

#include "core/BlockLoader.h"
#include "core/GraphAndTableActions.h"

namespace kelvarox {

class BoxTextsView : public LoaderView {
public:
    explicit BoxTextsView(std::string orbitHiByte = "0") { boxes.orbitHiByte = std::move(orbitHiByte); }

    ChannelBoxTexts boxes;
    std::string firstMessage;  // empty while the load has shown nothing

    std::string OrbitHiByteText() const override { return boxes.orbitHiByte; }
    void SetBoxText(ChannelBox box, const std::string& text) override {
        switch (box) {
            case ChannelBox::Name: boxes.name = text; break;
            case ChannelBox::Unit: boxes.unit = text; break;
            case ChannelBox::Number: boxes.number = text; break;
            case ChannelBox::A: boxes.a = text; break;
            case ChannelBox::B: boxes.b = text; break;
            case ChannelBox::C: boxes.c = text; break;
            case ChannelBox::D: boxes.d = text; break;
        }
    }
    void DisableGraphAndTable() override {}
    void ShowInformation(const std::string& message) override {
        if (firstMessage.empty()) firstMessage = message;
    }
};

}  // namespace kelvarox
