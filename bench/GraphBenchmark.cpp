// One Graph action on a full block of 384 samples: the boxes parsed, the series built, the
// value axis scaled, the drawing composed and painted into the graph window's canvas with
// its labels set.
#include <benchmark/benchmark.h>

#include "TestFiles.h"
#include "settings/SettingsStore.h"
#include "ui/GraphWindow.h"
#include "ui/ProgramState.h"
#include "ui/SilentNotifier.h"

using namespace kelvarox;
using namespace kelvarox::testing;

namespace {

// A block of 384 samples over one and a half orbits, loaded.
struct LoadedFullBlock {
    TempDir dir;
    ProgramState state;
    ChannelBoxTexts boxes;  // as Load fills them
    LoadedFullBlock() {
        WriteBytes(dir / "block.dat", BuildBlock(FullBlockRecipe()));
        state.SelectBlockFile((dir / "block.dat").string());
        const std::string orbitHiByte = "0";
        (void)state.Load(orbitHiByte);
        const int32_t channel = state.Loaded().header.channel;
        boxes = ChannelBoxTextsOf(channel, BuiltInDefinition(channel));
        boxes.orbitHiByte = orbitHiByte;
    }
};

void BM_GraphAction(benchmark::State& st) {
    LoadedFullBlock block;
    const SettingsStore store((block.dir / "user.reg").string());
    SilentNotifier notifier;
    GraphWindow window(block.state, store, notifier);
    window.setAttribute(Qt::WA_DontShowOnScreen);
    for (auto _ : st) {
        window.drawGraph(block.boxes);
        benchmark::ClobberMemory();
    }
    st.counters["samples"] = block.state.GraphAndTable().series.count;
}
BENCHMARK(BM_GraphAction)->Unit(benchmark::kMicrosecond);

// The same without the window: the drawing steps only.
void BM_BuildGraphPicture(benchmark::State& st) {
    LoadedFullBlock block;
    for (auto _ : st) {
        auto picture = block.state.BuildGraph(block.boxes);
        benchmark::DoNotOptimize(picture);
    }
}
BENCHMARK(BM_BuildGraphPicture)->Unit(benchmark::kMicrosecond);

}  // namespace
