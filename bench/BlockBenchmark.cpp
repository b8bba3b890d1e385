// Load of one block file, its series and its data table text: the work of one Table action.
#include <benchmark/benchmark.h>

#include "TestFiles.h"
#include "core/BlockLoader.h"
#include "core/DataTable.h"
#include "core/GraphAndTableActions.h"

using namespace kelvarox;
using namespace kelvarox::testing;

namespace {

void BM_LoadSeriesTable(benchmark::State& st) {
    TempDir dir;
    WriteBytes(dir / "block.dat", BuildBlock(FullBlockRecipe()));
    BlockInMemory loaded;
    loaded.BlockFilePath = (dir / "block.dat").string();
    GraphAndTableState state;
    const std::string orbitHiByte = "1";
    for (auto _ : st) {
        const LoadOutcome outcome = LoadBlockFile(loaded, BlockLayout{}, orbitHiByte);
        const int32_t channel = loaded.Header.Channel;
        ChannelBoxTexts boxes = ChannelBoxTextsOf(channel, BuiltInDefinition(channel));
        boxes.orbitHiByte = orbitHiByte;
        if (!outcome.error.empty() || !PrepareSeries(loaded.Block, loaded.Header, state, boxes)) {
            st.SkipWithError("the block did not load");
            break;
        }
        std::string text = DataTableText(boxes.name, boxes.number, loaded.Block, loaded.Header, state.Series);
        benchmark::DoNotOptimize(text);
    }
    st.counters["samples"] = state.Series.Count;
}
BENCHMARK(BM_LoadSeriesTable);

}  // namespace

BENCHMARK_MAIN();
