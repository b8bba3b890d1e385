// The main window's file list following a busy telemetry directory: 100,000 block files, and
// 20 new ones a second while a file stays selected. The figure that matters is `cpu_share`,
// the processor time of the whole process (every thread) per second of wall time; `listings`
// counts the listings a second that changed the list. Beside it, one listing of the 100,000 names.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "TestFiles.h"
#include "ui/FileListBox.h"

using namespace kelvarox;
using namespace kelvarox::testing;

namespace {

constexpr int kFiles = 100000;

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A directory of kFiles empty block files, made once.
const std::filesystem::path& BusyDirectory() {
    static TempDir dir;
    static const bool made = [] {
        for (int i = 0; i < kFiles; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "block-%06d.dat", i);
            std::ofstream(dir / name);
        }
        return true;
    }();
    (void)made;
    return dir.path();
}

// Runs the event loop for `ms` milliseconds, asleep while no event comes.
void RunEvents(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool WaitForNames(const FileListBox& list, int count) {
    for (int waited = 0; waited < 60000; waited += 50) {
        if (!list.isListing() && list.names().size() >= count) return true;
        RunEvents(50);
    }
    return false;
}

void BM_ListOnce(benchmark::State& st) {
    const QString directory = QString::fromStdString(BusyDirectory().string());
    for (auto _ : st) {
        FileListBox list;
        list.setDirectory(directory);
        if (!WaitForNames(list, kFiles)) st.SkipWithError("the directory was not listed");
    }
}
BENCHMARK(BM_ListOnce)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_FollowTwentyNewFilesASecond(benchmark::State& st) {
    const std::filesystem::path& directory = BusyDirectory();
    FileListBox list;
    list.setDirectory(QString::fromStdString(directory.string()));
    if (!WaitForNames(list, kFiles) || !list.selectName("block-050000.dat")) {
        st.SkipWithError("the directory was not listed");
        return;
    }
    int listings = 0;
    QObject::connect(list.model(), &QAbstractItemModel::modelReset, [&] { ++listings; });
    int added = 0;
    QTimer adder;
    QObject::connect(&adder, &QTimer::timeout,
                     [&] { std::ofstream(directory / ("new-" + std::to_string(added++) + ".dat")); });
    double cpu = 0, wall = 0;
    for (auto _ : st) {
        QElapsedTimer clock;
        clock.start();
        const double cpuBefore = ProcessCpuSeconds();
        adder.start(50);
        RunEvents(2000);
        adder.stop();
        cpu += ProcessCpuSeconds() - cpuBefore;
        wall += static_cast<double>(clock.nsecsElapsed()) / 1e9;
    }
    st.counters["cpu_share"] = cpu / wall;
    st.counters["listings"] = listings / wall;
    WaitForNames(list, kFiles + added);
    if (list.selectedPath().toStdString() != (directory / "block-050000.dat").string())
        st.SkipWithError("the selection was lost");
    for (int i = 0; i < added; ++i) std::filesystem::remove(directory / ("new-" + std::to_string(i) + ".dat"));
}
BENCHMARK(BM_FollowTwentyNewFilesASecond)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace
