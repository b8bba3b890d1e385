// Load of one block file, its series and its data table text: the work of one Table action.
#include <benchmark/benchmark.h>

#include "TestFiles.h"
#include "core/BoxTextsView.h"
#include "core/DataTable.h"
#include "core/GraphAndTableActions.h"

using namespace kelvarox;
using namespace kelvarox::testing;

namespace {

void BM_LoadSeriesTable(benchmark::State& st) {
    TempDir dir;
    WriteBytes(dir / "block.dat", BuildBlock(FullBlockRecipe()));
    ProgramState state;
    state.BlockFilePath = (dir / "block.dat").string();
    BoxTextsView view("1");
    for (auto _ : st) {
        LoadInfo(state, view);
        if (!PrepareSeries(state, view.boxes)) {
            st.SkipWithError("the block did not load");
            break;
        }
        std::string text = DataTableText(view.boxes.name, view.boxes.number, state.Block, state.Header, state.Series);
        benchmark::DoNotOptimize(text);
    }
    st.counters["samples"] = state.Series.Count;
}
BENCHMARK(BM_LoadSeriesTable);

}  // namespace

BENCHMARK_MAIN();
