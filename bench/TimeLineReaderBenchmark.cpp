// The time line window's archive reader on an archive of 1,000,000 blocks (ten channels, 100,000
// passes of one orbit each, twelve a day over 23 years, 64 samples a block): the processor time and the peak resident
// size of opening it (the channel list, the days of the axis and the first channel's 6.4 million samples), and of
// following ten commits of a running import of 1,000 blocks each after that. The reader runs as in the window: in its
// own thread, delivering to the event loop.
//
// Each benchmark reports `cpu_s` (the process's processor time, the importer's own thread left
// out) and `peak_MB` (the process's peak resident size). The peak is the process's, so run each
// benchmark in a process of its own: bench/time-line-reader.sh does. The archive is built once
// (a few minutes) into KELVAROX_BENCH_DATA, or a temporary folder; every run works on a copy.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "PassRecipe.h"
#include "TestFiles.h"
#include "archive/Archive.h"
#include "services/ArchiveReader.h"

using namespace kelvarox;

namespace {

constexpr int kPasses = 100'000;
constexpr int kChannels = 10;

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// The blocks of pass `pass`, one per channel, as the import reads them: twelve passes a day from
// AmDay 1000, each block's bytes its own.
void AddPass(archive::Importer& importer, const std::filesystem::path& scratch, int pass) {
    for (int c = 0; c < kChannels; ++c) {
        blockbuilder::BlockRecipe recipe = bench::PassRecipe(c, pass, 12, 1000);
        recipe.samples[0] = static_cast<uint8_t>(pass);
        recipe.samples[1] = static_cast<uint8_t>(pass >> 8);
        recipe.samples[2] = static_cast<uint8_t>(pass >> 16);
        blockbuilder::WriteBytes(scratch, blockbuilder::BuildBlock(recipe));
        auto intake = archive::ReadBlockForArchive(scratch.string(), {});
        if (!intake.block) continue;
        intake.block->file = "/srv/telemetry/" + std::to_string(pass / 1000) + "/p" + std::to_string(pass) + "-" +
                             bench::kPassChannels[c] + ".dat";
        importer.Add(std::move(*intake.block));
    }
}

// The folder of the archive, made once.
std::filesystem::path DataFolder() {
    static std::unique_ptr<testing::TempDir> temporary;
    if (const char* kept = std::getenv("KELVAROX_BENCH_DATA"); kept && *kept) return kept;
    if (!temporary) temporary = std::make_unique<testing::TempDir>();
    return temporary->path();
}

// A working copy of the 1,000,000-block archive, built first when there is none.
std::string MillionBlockArchive() {
    const std::filesystem::path folder = DataFolder();
    std::filesystem::create_directories(folder);
    const std::string built = (folder / "time-line-1m.sqlite").string();
    if (!std::filesystem::exists(built)) {
        const std::string part = built + ".part";
        std::filesystem::remove(part);
        {
            archive::Archive archive(part, archive::Archive::Access::Write);
            archive::Importer importer(archive, 1, false);
            for (int pass = 0; pass < kPasses; ++pass) AddPass(importer, folder / "scratch.dat", pass);
            importer.Finish();
        }
        std::filesystem::rename(part, built);
    }
    // Brought up to date once, as the program's import does at its first start.
    { archive::Archive writer(built, archive::Archive::Access::Write); }
    const std::string copy = (folder / "time-line-1m-run.sqlite").string();
    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(copy + suffix);
    std::filesystem::copy_file(built, copy);
    return copy;
}

// Runs the event loop until `done` holds, at most `seconds`.
bool RunUntil(const std::function<bool()>& done, int seconds) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > seconds * 1000) return false;
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// A reader that shows the first listed channel, as the window does when it opens.
struct OpenReader {
    std::unique_ptr<ArchiveReader> reader;
    std::shared_ptr<const timeline::ChannelTrace> trace;
    std::shared_ptr<const timeline::DateLine> dates;
    int channelLists = 0;
    int traces = 0;

    explicit OpenReader(const std::string& location) : reader(std::make_unique<ArchiveReader>(location)) {
        QObject::connect(reader.get(), &ArchiveReader::channelsRead, reader.get(),
                         [this](const std::vector<archive::ChannelSummary>& channels) {
                             if (channelLists++ == 0 && !channels.empty()) reader->show({channels.front().channel});
                         });
        QObject::connect(reader.get(), &ArchiveReader::traceRead, reader.get(),
                         [this](std::shared_ptr<const timeline::ChannelTrace> t) {
                             trace = std::move(t);
                             ++traces;
                         });
        QObject::connect(reader.get(), &ArchiveReader::datesRead, reader.get(),
                         [this](std::shared_ptr<const timeline::DateLine> d) { dates = std::move(d); });
    }
};

void BM_OpenMillionBlockArchive(benchmark::State& state) {
    const std::string location = MillionBlockArchive();
    for (auto _ : state) {
        const double cpu = ProcessCpuSeconds();
        QElapsedTimer clock;
        clock.start();
        OpenReader open(location);
        if (!RunUntil([&] { return open.trace && open.dates; }, 600)) state.SkipWithError("nothing was read");
        state.counters["wall_s"] = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        state.counters["cpu_s"] = ProcessCpuSeconds() - cpu;
        state.counters["peak_MB"] = PeakMegabytes();
        state.counters["samples"] = open.trace ? static_cast<double>(open.trace->SampleCount()) : 0;
    }
}
BENCHMARK(BM_OpenMillionBlockArchive)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// Ten commits of 1,000 blocks (100 passes of the ten channels after the last one), each one
// shown before the next is made; the processor time is the reader's and the window's, the
// importer's thread left out.
void BM_FollowTenCommitsOfMillionBlockArchive(benchmark::State& state) {
    const std::string location = MillionBlockArchive();
    for (auto _ : state) {
        OpenReader open(location);
        if (!RunUntil([&] { return open.trace && open.dates; }, 600)) {
            state.SkipWithError("nothing was read");
            return;
        }
        const double openPeak = PeakMegabytes();
        const size_t before = open.trace->SampleCount();
        std::atomic<int> committed = 0;
        std::atomic<int> shown = 0;
        std::atomic<double> importerCpu = 0;
        const double cpu = ProcessCpuSeconds();
        std::thread importer([&] {
            const double start = ThreadCpuSeconds();
            archive::Archive archive(location, archive::Archive::Access::Write);
            archive::Importer import(archive, 1, false);
            const std::filesystem::path scratch = DataFolder() / "scratch-import.dat";
            for (int commit = 0; commit < 10; ++commit) {
                while (shown < commit) std::this_thread::sleep_for(std::chrono::milliseconds(2));
                for (int pass = 0; pass < 100; ++pass) AddPass(import, scratch, kPasses + commit * 100 + pass);
                committed = commit + 1;  // the importer has flushed its batch of 1,000
            }
            import.Finish();
            importerCpu = ThreadCpuSeconds() - start;
        });
        QElapsedTimer clock;
        clock.start();
        const bool followed = RunUntil(
            [&] {
                const size_t expected = before + static_cast<size_t>(committed) * 100 * 64;
                if (committed > shown && open.trace->SampleCount() == expected) ++shown;
                return shown == 10;
            },
            600);
        importer.join();
        if (!followed) state.SkipWithError("the commits were not all shown");
        state.counters["wall_s"] = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        state.counters["cpu_s"] = ProcessCpuSeconds() - cpu - importerCpu.load();
        state.counters["importer_cpu_s"] = importerCpu.load();
        state.counters["open_peak_MB"] = openPeak;
        state.counters["peak_MB"] = PeakMegabytes();
    }
}
BENCHMARK(BM_FollowTenCommitsOfMillionBlockArchive)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
