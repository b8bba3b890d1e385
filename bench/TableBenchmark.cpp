// One Table action of the running program for a block of 384 samples: the series, the
// heading, the 384 rows appended to the table window and the 39 pauses that let events run.
#include <benchmark/benchmark.h>

#include <filesystem>

#include <QCoreApplication>

#include "TestFiles.h"
#include "settings/SettingsStore.h"
#include "ui/Application.h"
#include "ui/MainWindow.h"
#include "ui/SilentNotifier.h"
#include "ui/TableWindow.h"

using namespace kelvarox;
using namespace kelvarox::testing;

namespace {

void BM_TableAction384(benchmark::State& st) {
    TempDir home;
    const std::filesystem::path telemetry = home / "Trelm/telemetry";
    std::filesystem::create_directories(telemetry);
    std::filesystem::create_directories(home / "config");
    WriteText(home / "config/user.reg",
              "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Qarn Programs\\Trelm\\Startup]\r\n"
              "\"Default Directory\"=\"" +
                  (home / "Trelm").string() + "\"\r\n");
    WriteBytes(telemetry / "block.dat", BuildBlock(FullBlockRecipe()));

    SilentNotifier notifier;
    KelvaroxApplication app(SettingsStore((home / "config/user.reg").string()), notifier);
    app.Start();
    app.State().SelectBlockFile((telemetry / "block.dat").string());
    app.Main().load();
    const ChannelBoxTexts boxes = app.Main().boxTexts();
    for (auto _ : st) {
        app.Table().showTable(boxes);
        while (app.Table().filling()) QCoreApplication::processEvents();
    }
    if (notifier.boxes != 0 || app.Table().tableText().size() < 384 * 32) st.SkipWithError("the table was not written");
}
BENCHMARK(BM_TableAction384)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace
