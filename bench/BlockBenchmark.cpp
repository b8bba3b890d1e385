// Load of one block file, its series and its data table text: the work of one Table action.
#include <benchmark/benchmark.h>

#include "BlockBuilder.h"
#include "core/Actions.h"
#include "core/BlockLoader.h"
#include "core/DataTable.h"

using namespace kelvarox;
using namespace kelvarox::testing;

namespace {

class QuietView : public LoaderView {
public:
    std::string OrbitHiByteText() const override { return "1"; }
    void SetBoxText(ChannelBox box, const std::string& text) override {
        if (box == ChannelBox::Name) boxes.name = text;
        else if (box == ChannelBox::Number) boxes.number = text;
        else if (box == ChannelBox::A) boxes.a = text;
        else if (box == ChannelBox::B) boxes.b = text;
        else if (box == ChannelBox::C) boxes.c = text;
        else if (box == ChannelBox::D) boxes.d = text;
    }
    void DisableGraphAndTable() override {}
    void ShowInformation(const std::string&) override {}
    MainBoxTexts boxes;
};

void BM_LoadSeriesTable(benchmark::State& st) {
    TempDir dir;
    BlockSpec spec;
    spec.startOrbit = "20";
    spec.startMA = "00";
    spec.endOrbit = "21";
    spec.endMA = "7F";
    spec.maStep = "01";
    spec.channel = "0134";  // a cubic equation
    for (int i = 0; i < 384; ++i) spec.samples.push_back(static_cast<uint8_t>(i * 7));
    WriteBytes(dir / "block.dat", BuildBlock(spec));
    ProgramState state;
    state.BlockFilePath = (dir / "block.dat").string();
    QuietView view;
    for (auto _ : st) {
        LoadInfo(state, view);
        PrepareSeries(state, view.boxes);
        std::string text = DataTableText(view.boxes.name, view.boxes.number, state.Block, state.Header, state.Series);
        benchmark::DoNotOptimize(text);
    }
    st.counters["samples"] = state.Series.Count;
}
BENCHMARK(BM_LoadSeriesTable);

}  // namespace

BENCHMARK_MAIN();
