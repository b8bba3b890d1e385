// Load of one block file, its series and its data table text: the work of one Table action.
#include <benchmark/benchmark.h>

#include "TestFiles.h"
#include "core/BlockLoader.h"
#include "core/ChannelBoxTexts.h"
#include "core/DataTable.h"

using namespace kelvarox;
using namespace kelvarox::testing;

namespace {

void BM_LoadSeriesTable(benchmark::State& st) {
    TempDir dir;
    WriteBytes(dir / "block.dat", BuildBlock(FullBlockRecipe()));
    BlockInMemory loaded;
    loaded.blockFilePath = (dir / "block.dat").string();
    GraphAndTableState state;
    const std::string orbitHiByte = "1";
    for (auto _ : st) {
        const LoadOutcome outcome = LoadBlockFile(loaded, BlockLayout{}, orbitHiByte);
        const int32_t channel = loaded.header.channel;
        ChannelBoxTexts boxes = ChannelBoxTextsOf(channel, BuiltInDefinition(channel));
        boxes.orbitHiByte = orbitHiByte;
        if (!outcome.error.empty() || !PrepareSeries(loaded.block, loaded.header, state, boxes)) {
            st.SkipWithError("the block did not load");
            break;
        }
        std::string text = DataTableText(boxes.name, boxes.number, loaded.block, loaded.header, state.series);
        benchmark::DoNotOptimize(text);
    }
    st.counters["samples"] = state.series.count;
}
BENCHMARK(BM_LoadSeriesTable);

}  // namespace

BENCHMARK_MAIN();
