// The running program following a telemetry directory of 100,000 block files (KELVAROX_BENCH_FILES
// names another number) with Follow on and
// the time line window open, a plot on display:
//  - BM_IdleWithFollowOn: nothing changes; `cpu_share` is the processor time of the whole
//    process (every thread) per second of wall time;
//  - BM_NewBlockToRepaint: the capture program writes one block; the time until the plot that
//    shows its channel has painted it;
//  - BM_ExitWithASilentServer: the archive is a PostgreSQL server that takes the connection and
//    never answers; the time from Menu > Exit until both windows are gone and the program's
//    work has stopped.
// The directory and its archive are made once (a few minutes) into KELVAROX_BENCH_DATA, or a
// temporary folder.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QAction>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "SilentServer.h"
#include "TestFiles.h"
#include "settings/SettingsStore.h"
#include "ui/Application.h"
#include "ui/MainWindow.h"
#include "ui/PlotCanvas.h"
#include "ui/SilentNotifier.h"
#include "ui/TimeLinePlot.h"
#include "ui/TimeLineWindow.h"

using namespace kelvarox;
using namespace kelvarox::testing;

namespace {

// The files of the directory: 100,000, or KELVAROX_BENCH_FILES.
int Files() {
    static const int files = [] {
        const char* named = std::getenv("KELVAROX_BENCH_FILES");
        return named && std::atoi(named) > 0 ? std::atoi(named) : 100'000;
    }();
    return files;
}

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void RunEvents(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool RunUntil(const std::function<bool()>& done, int seconds) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > seconds * 1000) return false;
        RunEvents(5);
    }
    return true;
}

std::string Hex2(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X", value & 0xFF);
    return text;
}

// Block n of the directory: one pass of one of ten channels, 64 samples, 50 passes a day.
std::vector<uint8_t> BlockOf(int n) {
    static const char* const channels[] = {"0140", "0141", "0106", "010B", "0171",
                                           "0100", "0134", "0130", "0142", "0180"};
    const int pass = n / 10;
    const double orbits = 256 + pass * 14.3 / 50;
    const int orbit = static_cast<int>(orbits);
    const int ma = static_cast<int>((orbits - orbit) * 64) * 4;
    const int end = orbit * 256 + ma + 63 * 4;
    std::vector<uint8_t> samples(64);
    for (int i = 0; i < 64; ++i) samples[static_cast<size_t>(i)] = static_cast<uint8_t>(100 + (i * 3 + n) % 50);
    samples[0] = static_cast<uint8_t>(n);
    samples[1] = static_cast<uint8_t>(n >> 8);
    samples[2] = static_cast<uint8_t>(n >> 16);
    BlockRecipe recipe =
        RecipeOf(channels[n % 10], Hex2(orbit), Hex2(ma), Hex2(end / 256), Hex2(end % 256), "04", samples);
    recipe.startAmDay = recipe.endAmDay = std::to_string(7000 + pass / 50);
    return BuildBlock(recipe);
}

// The data of the benchmarks, made once: the directory of Files() blocks.
struct Data {
    std::unique_ptr<TempDir> temporary;
    std::filesystem::path folder;
    std::filesystem::path telemetry;

    Data() {
        if (const char* kept = std::getenv("KELVAROX_BENCH_DATA"); kept && *kept) {
            folder = kept;
        } else {
            temporary = std::make_unique<TempDir>();
            folder = temporary->path();
        }
        telemetry = folder / ("follow-" + std::to_string(Files()));
        if (!std::filesystem::exists(telemetry / "done")) {
            std::filesystem::create_directories(telemetry);
            for (int n = 0; n < Files(); ++n) {
                char name[32];
                std::snprintf(name, sizeof name, "b%06d.dat", n);
                WriteBytes(telemetry / name, BlockOf(n));
            }
            WriteText(telemetry / "done", "");  // no block file: the directory is whole
        }
        for (const auto& entry : std::filesystem::directory_iterator(telemetry))
            if (entry.path().filename().string().rfind("new-", 0) == 0) std::filesystem::remove(entry.path());
    }
};

Data& TheData() {
    static Data data;
    return data;
}

// The program as started on the directory, with the time line window open on #140 and the
// directory's blocks all in the archive.
struct RunningProgram {
    TempDir home;
    SilentNotifier notifier;
    std::unique_ptr<KelvaroxApplication> app;
    TimeLinePlot* plot = nullptr;

    RunningProgram(const std::string& archive, const std::filesystem::path& directory, bool waitForImport = true) {
        ::setenv("KELVAROX_DATABASE", archive.c_str(), 1);
        StartPaths start;
        start.directory = directory.string();
        app = std::make_unique<KelvaroxApplication>(SettingsStore((home / "user.reg").string()), notifier, start);
        app->Start();
        app->StartArchiveFeed();
        app->Main().showTimeLine();
        if (!waitForImport) return;
        TimeLineWindow* window = app->TimeLine();
        auto* list = window->findChild<QTreeWidget*>("channelList");
        RunUntil([&] { return list->topLevelItemCount() == 10; }, 3600);
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            list->topLevelItem(i)->setSelected(list->topLevelItem(i)->text(0) == "#140");
        // The whole directory is in the archive and on display, and the first pass is over.
        auto* progress = window->findChild<QProgressBar*>("importProgress");
        auto* status = window->findChild<QLabel*>("statusLabel");
        RunUntil(
            [&] {
                plot = window->findChild<TimeLinePlot*>("plot140");
                return plot && plot->trace() && plot->trace()->BlockCount() >= static_cast<size_t>(Files() / 10) &&
                       !progress->isVisible() && status->toolTip().startsWith("Archive: added");
            },
            3600);
        RunEvents(2000);
    }
};

std::string Archive() { return (TheData().folder / ("follow-" + std::to_string(Files()) + ".sqlite")).string(); }

void BM_IdleWithFollowOn(benchmark::State& state) {
    RunningProgram program(Archive(), TheData().telemetry);
    if (!program.plot) {
        state.SkipWithError("the directory was not shown");
        return;
    }
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        const double before = ProcessCpuSeconds();
        RunEvents(static_cast<int>(state.range(0)) * 1000);
        cpu += ProcessCpuSeconds() - before;
        wall += static_cast<double>(clock.nsecsElapsed()) / 1e9;
    }
    state.counters["cpu_share"] = cpu / wall;
}
BENCHMARK(BM_IdleWithFollowOn)->ArgName("seconds")->Arg(20)->Iterations(3)->Unit(benchmark::kSecond)->UseRealTime();

// Calls `painting` at each paint of the widget it watches.
class PaintWatch : public QObject {
public:
    std::function<void()> painting;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && painting) painting();
        return false;
    }
};

void BM_NewBlockToRepaint(benchmark::State& state) {
    RunningProgram program(Archive(), TheData().telemetry);
    if (!program.plot) {
        state.SkipWithError("the directory was not shown");
        return;
    }
    PaintWatch watch;
    program.plot->canvas()->installEventFilter(&watch);
    int added = 0;
    std::vector<double> times;
    for (auto _ : state) {
        const size_t blocks = program.plot->trace()->BlockCount();
        const int n = static_cast<int>(blocks) * 10;  // the next pass's block of #140, after all others
        QElapsedTimer clock;
        std::optional<qint64> painted;  // when the canvas first painted it
        watch.painting = [&] {
            if (!painted && program.plot->trace()->BlockCount() > blocks) painted = clock.nsecsElapsed();
        };
        clock.start();
        WriteBytes(TheData().telemetry / ("new-" + std::to_string(added++) + ".dat"), BlockOf(n));
        if (!RunUntil([&] { return painted.has_value(); }, 60)) {
            state.SkipWithError("the new block was not painted");
            return;
        }
        state.SetIterationTime(static_cast<double>(*painted) / 1e9);
        times.push_back(static_cast<double>(*painted) / 1e6);
        RunEvents(500);
    }
    std::sort(times.begin(), times.end());
    state.counters["median_ms"] = times[times.size() / 2];
    state.counters["max_ms"] = times.back();
}
BENCHMARK(BM_NewBlockToRepaint)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ExitWithASilentServer(benchmark::State& state) {
    SilentServer server;
    TempDir telemetry;
    WriteBytes(telemetry / "b.dat", BlockOf(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto program = std::make_unique<RunningProgram>(server.Address(), telemetry.path(), false);
        RunEvents(1000);  // the time line and the import are connecting
        state.ResumeTiming();
        program->app->Main().findChild<QAction*>("exitAction")->trigger();
        program.reset();
    }
}
BENCHMARK(BM_ExitWithASilentServer)->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
