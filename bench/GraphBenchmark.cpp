// One Graph action on a full block of 384 samples: the boxes parsed, the series built, the
// value axis scaled, the drawing composed and painted into the graph window's canvas with
// its labels set.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "BlockBuilder.h"
#include "core/BlockLoader.h"
#include "core/GraphAction.h"
#include "settings/SettingsStore.h"
#include "ui/Notifier.h"
#include "ui/Wod_2.h"

using namespace kelvarox;
using namespace kelvarox::testing;

namespace {

class QuietView : public LoaderView, public Notifier {
public:
    std::string OrbitHiByteText() const override { return "0"; }
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
    void ShowInformation(const std::string&) override {}
    void ShowError(const std::string&) override {}
    std::optional<std::string> AskForText(const std::string&, const std::string&, const std::string&) override {
        return std::nullopt;
    }
    MainBoxTexts boxes;
};

// A block of 384 samples over one and a half orbits, loaded.
struct LoadedFullBlock {
    TempDir dir;
    ProgramState state;
    QuietView view;
    LoadedFullBlock() {
        BlockSpec spec;
        spec.startOrbit = "20";
        spec.startMA = "00";
        spec.endOrbit = "21";
        spec.endMA = "7F";
        spec.maStep = "01";
        spec.channel = "0134";  // a cubic equation
        for (int i = 0; i < 384; ++i) spec.samples.push_back(static_cast<uint8_t>(i * 7));
        WriteBytes(dir / "block.dat", BuildBlock(spec));
        state.BlockFilePath = (dir / "block.dat").string();
        LoadInfo(state, view);
    }
};

void BM_GraphAction(benchmark::State& st) {
    LoadedFullBlock block;
    const SettingsStore store((block.dir / "user.reg").string());
    TWod2 window(block.state, store, block.view);
    window.setAttribute(Qt::WA_DontShowOnScreen);
    for (auto _ : st) {
        window.GraphAction(block.view.boxes);
        benchmark::ClobberMemory();
    }
    st.counters["samples"] = block.state.Series.Count;
}
BENCHMARK(BM_GraphAction)->Unit(benchmark::kMicrosecond);

// The same without the window: the drawing steps only.
void BM_BuildGraphPicture(benchmark::State& st) {
    LoadedFullBlock block;
    for (auto _ : st) {
        auto picture = BuildGraphPicture(block.state, block.view.boxes);
        benchmark::DoNotOptimize(picture);
    }
}
BENCHMARK(BM_BuildGraphPicture)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
