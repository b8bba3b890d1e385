#include "cli/BlockSession.h"

#include "core/BlockLoader.h"
#include "core/Errors.h"

namespace kelvarox::cli {

namespace {

class BoxRecorder : public LoaderView {
public:
    BoxRecorder(MainBoxTexts& boxes, std::string& firstMessage) : boxes_(boxes), firstMessage_(firstMessage) {}
    std::string OrbitHiByteText() const override { return boxes_.orbitHiByte; }
    void SetBoxText(ChannelBox box, const std::string& text) override {
        switch (box) {
            case ChannelBox::Name: boxes_.name = text; break;
            case ChannelBox::Unit: boxes_.unit = text; break;
            case ChannelBox::Number: boxes_.number = text; break;
            case ChannelBox::A: boxes_.a = text; break;
            case ChannelBox::B: boxes_.b = text; break;
            case ChannelBox::C: boxes_.c = text; break;
            case ChannelBox::D: boxes_.d = text; break;
        }
    }
    void DisableGraphAndTable() override {}
    void ShowInformation(const std::string& message) override {
        if (firstMessage_.empty()) firstMessage_ = message;
    }

private:
    MainBoxTexts& boxes_;
    std::string& firstMessage_;
};

}  // namespace

LoadedBlock LoadBlock(const std::string& path, const Options& options) {
    LoadedBlock b;
    b.state.Layout = options.layout;
    b.state.BlockFilePath = path;
    b.boxes.orbitHiByte = options.orbitHiByte;
    BoxRecorder view(b.boxes, b.error);
    try {
        LoadInfo(b.state, view);
    } catch (const KelvaroxError& e) {
        b.error = e.what();
    }
    if (b.error.empty() && b.state.LoadFailed) b.error = "the block did not load";
    if (b.ok() && options.coefficients) {
        const auto& k = *options.coefficients;
        b.boxes.a = k[0];
        b.boxes.b = k[1];
        b.boxes.c = k[2];
        b.boxes.d = k[3];
    }
    return b;
}

std::string Latin1ToUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

}  // namespace kelvarox::cli
