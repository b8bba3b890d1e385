// The time line's frames: one repaint of a plot with 1,000,000 samples in view, of one plot with
// three channels of 1,000,000 samples each drawn over each other, one of 30 years drawn from
// per-orbit statistics, and the frames of zooming from all of a 100,000-block archive into one
// day, two channels on display (the plots composed, reduced per pixel column and painted, the
// axis too). The goal is under 16 ms a frame. The archive is built once (10 channels, 10,000
// passes of one orbit each over five and a half years); KELVAROX_BENCH_DATA names a folder that
// keeps it for the next run.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "PassRecipe.h"
#include "TestFiles.h"
#include "archive/Archive.h"
#include "render/TimeLinePainter.h"
#include "timeline/ArchiveTrace.h"
#include "timeline/TimeLinePicture.h"

using namespace kelvarox;
using namespace kelvarox::timeline;

namespace {

constexpr int kWidth = 1000;
constexpr int kPlotHeight = 300;

// Composes and paints the plots of `traces` in `view`, as a frame of the window does.
void Frame(const std::vector<const ChannelTrace*>& traces, const TimeRange& view, const DateLine& dates,
           QImage& image) {
    QPainter painter(&image);
    for (size_t i = 0; i < traces.size(); ++i) {
        const PlotPicture plot =
            ComposePlot({traces[i], std::nullopt, PlotColour(i)}, view, dates, kWidth, kPlotHeight);
        painter.save();
        painter.translate(0, static_cast<int>(i) * kPlotHeight);
        PaintPlot(painter, plot);
        painter.restore();
    }
    painter.translate(0, static_cast<int>(traces.size()) * kPlotHeight);
    PaintAxis(painter, ComposeAxis(view, dates, kWidth));
}

// 1,000,000 samples: 2,605 blocks of 384 samples at every MA, each after a gap (`joined` 0)
// or each joining the one before (`joined` 1); a sine of `frequency` a sample with a ripple.
ChannelTrace MillionSamples(bool joined, int32_t channel = 0x140, double frequency = 0.001) {
    ChannelTrace trace(channel, "Temp - SEU", "Deg.C");
    double start = 1000;
    size_t n = 0;
    for (int b = 0; n < 1'000'000; ++b) {
        trace.AddBlock("b" + std::to_string(b) + ".dat", 8766, 8766, 1);
        for (int i = 0; i < 384 && n < 1'000'000; ++i, ++n)
            trace.AddSample(start + i / 256.0, static_cast<float>(std::sin(n * frequency) * 40 + (n % 7)), 0);
        start += joined ? 384 / 256.0 : 384 / 256.0 + 2.0;
    }
    trace.Finish();
    return trace;
}

void BM_RepaintMillionSamples(benchmark::State& state) {
    const ChannelTrace trace = MillionSamples(state.range(0) != 0);
    DateLine dates;
    dates.Finish();
    const TimeRange view = Showing(*trace.Extent());
    QImage image(kWidth, kPlotHeight + layout::kAxisHeight, QImage::Format_RGB32);
    for (auto _ : state) Frame({&trace}, view, dates, image);
    state.counters["samples in view"] = static_cast<double>(trace.SummaryWithin(view.left, view.right).count);
}
BENCHMARK(BM_RepaintMillionSamples)->ArgName("joined")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A frame of 30 years of one channel from the statistics of its 150,000 orbits (as the archive
// keeps them, four samples each here): the mean over the band of minimum to maximum per pixel
// column composed and painted, with the axis, and no sample read. The goal is under 16 ms.
void BM_TrendOf30Years(benchmark::State& state) {
    std::vector<OrbitStatistics> orbits(150'000);
    for (size_t o = 0; o < orbits.size(); ++o) {
        orbits[o].orbit = 20'000 + static_cast<int64_t>(o);
        // A battery that loses a little each year, with an eclipse dip in every orbit.
        const double base = 8.2 - 1e-6 * static_cast<double>(o) + 0.05 * std::sin(static_cast<double>(o) * 0.01);
        for (const double dip : {0.0, -0.3, -0.1, 0.05}) orbits[o].Add(static_cast<float>(base + dip));
    }
    ChannelTrace trace(0x106, "I-Bat, Tot Bat Amps", "Amps");
    trace.Finish();
    DateLine dates;
    dates.Finish();
    const TimeRange view = Showing({20'000.0, 20'000.0 + static_cast<double>(orbits.size())});
    QImage image(kWidth, kPlotHeight + layout::kAxisHeight, QImage::Format_RGB32);
    size_t columns = 0;
    for (auto _ : state) {
        QPainter painter(&image);
        const PlotPicture plot =
            ComposePlot({&trace, std::nullopt, PlotColour(0), nullptr, orbits}, view, dates, kWidth, kPlotHeight);
        PaintPlot(painter, plot);
        painter.translate(0, kPlotHeight);
        PaintAxis(painter, ComposeAxis(view, dates, kWidth));
        columns = plot.trend.size();
    }
    state.counters["orbits"] = static_cast<double>(orbits.size());
    state.counters["trend columns"] = static_cast<double>(columns);
}
BENCHMARK(BM_TrendOf30Years)->Unit(benchmark::kMillisecond);

// One plot of three channels over each other, 1,000,000 samples each, all in view: three
// traces reduced and drawn, three value axes, the axis beneath.
void BM_RepaintThreeOverlaidMillionSamples(benchmark::State& state) {
    const ChannelTrace first = MillionSamples(state.range(0) != 0, 0x140);
    const ChannelTrace second = MillionSamples(state.range(0) != 0, 0x106, 0.0007);
    const ChannelTrace third = MillionSamples(state.range(0) != 0, 0x10B, 0.0013);
    DateLine dates;
    dates.Finish();
    const TimeRange view = Showing(*first.Extent());
    const int room = RightAxesRoom(3);
    QImage image(kWidth, kPlotHeight + layout::kAxisHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        const PlotPicture plot = ComposePlot({{&first, std::nullopt, PlotColour(0)},
                                              {&second, std::nullopt, PlotColour(1)},
                                              {&third, std::nullopt, PlotColour(2)}},
                                             view, dates, kWidth, kPlotHeight, room);
        QPainter painter(&image);
        PaintPlot(painter, plot);
        painter.translate(0, kPlotHeight);
        AxisPicture axis = ComposeAxis(view, dates, kWidth - room);
        axis.width = kWidth;
        axis.rightRoom = room;
        PaintAxis(painter, axis);
    }
    state.counters["samples in view"] = static_cast<double>(first.SummaryWithin(view.left, view.right).count +
                                                            second.SummaryWithin(view.left, view.right).count +
                                                            third.SummaryWithin(view.left, view.right).count);
}
BENCHMARK(BM_RepaintThreeOverlaidMillionSamples)->ArgName("joined")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The archive of the frames below, built on first use.
struct BigArchive {
    std::unique_ptr<testing::TempDir> temporary;
    std::string location;
    ChannelTrace temperature, current;
    DateLine dates;

    BigArchive() {
        std::filesystem::path folder;
        if (const char* kept = std::getenv("KELVAROX_BENCH_DATA"); kept && *kept) {
            folder = kept;
        } else {
            temporary = std::make_unique<testing::TempDir>();
            folder = temporary->path();
        }
        std::filesystem::create_directories(folder);
        location = (folder / "time-line-100k.sqlite").string();
        if (!std::filesystem::exists(location)) Build(folder);
        archive::Archive archive(location, archive::Archive::Access::Read);
        temperature = LoadChannelTrace(archive, 0x140);
        current = LoadChannelTrace(archive, 0x106);
        dates = LoadDateLine(archive);
    }

    // 10,000 passes five a day, from orbit 256 at 14.3 orbits a day, each with a block of every
    // channel: 64 samples over one orbit.
    void Build(const std::filesystem::path& folder) {
        const std::filesystem::path blocks = folder / "blocks";
        std::filesystem::create_directories(blocks);
        archive::Archive archive(location + ".part", archive::Archive::Access::Write);
        archive::Importer importer(archive, 1, false);
        for (int pass = 0; pass < 10'000; ++pass) {
            for (int c = 0; c < 10; ++c) {
                const blockbuilder::BlockRecipe recipe = bench::PassRecipe(c, pass, 5, 7000);
                const auto path = blocks / ("b" + std::to_string(pass) + "-" + bench::kPassChannels[c] + ".dat");
                blockbuilder::WriteBytes(path, blockbuilder::BuildBlock(recipe));
                auto intake = archive::ReadBlockForArchive(path.string(), {});
                std::filesystem::remove(path);
                if (intake.block) importer.Add(std::move(*intake.block));
            }
        }
        importer.Finish();
        std::filesystem::rename(location + ".part", location);
    }
};

BigArchive& Archive100k() {
    static BigArchive big;
    return big;
}

// The frames of zooming from everything into one day: the view after `state.range(0)` wheel
// notches (1.25 each) about the middle, 34 notches from all 28,600 orbits down to 15.
void BM_ZoomInto100kBlockArchive(benchmark::State& state) {
    BigArchive& big = Archive100k();
    const TimeRange all = Showing(*big.temperature.Extent());
    TimeRange view = all;
    for (int k = 0; k < state.range(0); ++k) view = ZoomedAround(view, (all.left + all.right) / 2, 1.25);
    QImage image(kWidth, 2 * kPlotHeight + layout::kAxisHeight, QImage::Format_RGB32);
    for (auto _ : state) Frame({&big.temperature, &big.current}, view, big.dates, image);
    state.counters["orbits in view"] = view.Span();
    state.counters["samples in view"] = static_cast<double>(big.temperature.SummaryWithin(view.left, view.right).count +
                                                            big.current.SummaryWithin(view.left, view.right).count);
}
BENCHMARK(BM_ZoomInto100kBlockArchive)
    ->ArgName("notches")
    ->Arg(0)
    ->Arg(8)
    ->Arg(17)
    ->Arg(26)
    ->Arg(34)
    ->Unit(benchmark::kMillisecond);

// Reading one channel's 10,000 blocks out of the archive, once, when a plot is shown or the
// archive changed (in the window's reader thread, not in a frame).
void BM_ReadChannelOf100kBlockArchive(benchmark::State& state) {
    BigArchive& big = Archive100k();
    archive::Archive archive(big.location, archive::Archive::Access::Read);
    for (auto _ : state) benchmark::DoNotOptimize(LoadChannelTrace(archive, 0x140).SampleCount());
}
BENCHMARK(BM_ReadChannelOf100kBlockArchive)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
