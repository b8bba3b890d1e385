#pragma once
// A main window stand-in that records what the loader does to it.
#include <map>
#include <string>
#include <vector>

#include "core/BlockLoader.h"

namespace kelvarox::testing {

class RecordingLoaderView : public LoaderView {
public:
    std::string orbitHiByte = "0";
    std::map<ChannelBox, std::string> boxes;
    std::vector<std::string> messages;
    int disableCount = 0;

    std::string OrbitHiByteText() const override { return orbitHiByte; }
    void SetBoxText(ChannelBox box, const std::string& text) override { boxes[box] = text; }
    void DisableGraphAndTable() override { ++disableCount; }
    void ShowInformation(const std::string& message) override { messages.push_back(message); }
};

}  // namespace kelvarox::testing
