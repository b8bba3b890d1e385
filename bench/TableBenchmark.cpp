// One Table action of the running program for a block of 384 samples: the series, the
// heading, the 384 rows appended to the table window and the 39 pauses that let events run.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <filesystem>

#include "BlockBuilder.h"
#include "settings/SettingsStore.h"
#include "ui/Application.h"
#include "ui/Notifier.h"
#include "ui/Wod_1.h"
#include "ui/Wod_4.h"

using namespace kelvarox;
using namespace kelvarox::testing;

namespace {

class CountingNotifier : public Notifier {
public:
    void ShowError(const std::string&) override { ++boxes; }
    void ShowInformation(const std::string&) override { ++boxes; }
    std::optional<std::string> AskForText(const std::string&, const std::string&, const std::string&) override {
        ++boxes;
        return std::nullopt;
    }
    int boxes = 0;
};

void BM_TableAction384(benchmark::State& st) {
    TempDir home;
    const std::filesystem::path telemetry = home / "Trelm/telemetry";
    std::filesystem::create_directories(telemetry);
    std::filesystem::create_directories(home / "config");
    WriteText(home / "config/user.reg", "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Qarn Programs\\Trelm\\Startup]\r\n"
                                        "\"Default Directory\"=\"" + (home / "Trelm").string() + "\"\r\n");
    BlockSpec spec;
    spec.startOrbit = "3C";
    spec.startMA = "00";
    spec.endOrbit = "41";
    spec.endMA = "FC";
    spec.maStep = "04";
    spec.channel = "0134";  // a cubic equation
    for (int i = 0; i < 384; ++i) spec.samples.push_back(static_cast<uint8_t>(i * 7));
    WriteBytes(telemetry / "block.dat", BuildBlock(spec));

    CountingNotifier notifier;
    KelvaroxApplication app(SettingsStore((home / "config/user.reg").string()), notifier);
    app.Start();
    app.State().BlockFilePath = (telemetry / "block.dat").string();
    app.MainWindow().Button2Click();
    const MainBoxTexts boxes = app.MainWindow().BoxTexts();
    for (auto _ : st) {
        app.TableWindow().TableAction(boxes);
    }
    if (notifier.boxes != 0 || app.TableWindow().MemoText().size() < 384 * 32) st.SkipWithError("the table was not written");
}
BENCHMARK(BM_TableAction384)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
