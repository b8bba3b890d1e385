// kelvarox-graph-render: the renderer of kelvarox-cli's pictures, with QtGui alone. The graph
// command's picture is the graph window's client area, drawn by the Graph action into the
// window's own scene (render/GraphScene.h); the series command's picture is a time line plot
// painted as the time line window paints it. The command lines and the exit status are stated
// in cli/GraphRender.h.
#include <QGuiApplication>
#include <QPainter>
#include <iostream>

#include "cli/BlockSession.h"
#include "cli/CommandLine.h"
#include "cli/GraphRender.h"
#include "cli/SatelliteSession.h"
#include "cli/TerminalText.h"
#include "core/ChannelCatalogue.h"
#include "core/Errors.h"
#include "core/GraphPicture.h"
#include "render/GraphScene.h"
#include "render/PictureFile.h"
#include "render/TextCodec.h"
#include "render/TimeLinePainter.h"
#include "timeline/ArchiveTrace.h"

using namespace kelvarox;
using namespace kelvarox::cli;

namespace {

// Qt's notices (a missing runtime directory and the like) are no output of the command; only
// its errors are, which may name files.
void QtErrorsOnly(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) Report(std::cerr, text.toStdString(), kGraphRenderProgram);
}

bool HasDisplay() { return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"); }

int ReportUsageError(const UsageError& error) {
    Report(std::cerr, error.what(), kGraphRenderProgram);
    std::cerr << "usage: " << kGraphRenderProgram
              << " --layout N,N,N,N,N,N,N,N --orbit-hibyte N [--coefficients A,B,C,D] -o OUTPUT -- BLOCK\n"
              << "       " << kGraphRenderProgram
              << " series [--database DB] [--from ORBIT] [--to ORBIT] [--coefficients A,B,C,D] -o OUTPUT -- CHANNEL\n";
    return 2;
}

// Writes the picture's bytes, encoded in `format`, to the output.
int WritePicture(const Options& options, PictureFormat format, const QByteArray& bytes) {
    if (bytes.isEmpty() || !WriteWholeFile(PathToQt(options.output), bytes)) {
        ReportFailure(std::cerr, options.output,
                      std::string("cannot write the ") + PictureFormatName(format) + " image");
        return 1;
    }
    return 0;
}

int RenderGraph(const Options& options, PictureFormat format) {
    const std::string& blockPath = options.files.front();
    const std::optional<SatelliteDefinition> satellite = SatelliteOf(options, std::cerr);
    if (!satellite) return 1;
    LoadedBlock block = LoadBlock(blockPath, options, *satellite);
    if (!block.ok()) {
        ReportFailure(std::cerr, blockPath, block.error);
        return 1;
    }
    // The window's client area at design size; no settings file is read or written.
    GraphScene scene(1.0f);
    try {
        if (const auto picture = BuildGraphPicture(block.block, block.header, block.graph, block.boxes, 1.0f))
            scene.Draw(picture->steps);
    } catch (const KelvaroxError& e) {
        ReportFailure(std::cerr, blockPath, e.what());
        return 1;
    }
    return WritePicture(options, format, EncodeGraphPicture(scene, format));
}

// The orbits the picture spans: the range asked for, its open ends at the first and the last
// sample, with the margin of Show All where an end is open.
std::optional<timeline::TimeRange> SeriesView(const Options& options, const timeline::ChannelTrace& trace) {
    const auto extent = trace.Extent();
    if (options.fromOrbit && options.toOrbit)
        return timeline::Limited({static_cast<double>(*options.fromOrbit), static_cast<double>(*options.toOrbit) + 1});
    if (!extent) return std::nullopt;
    timeline::TimeRange view = timeline::Showing(*extent);
    if (options.fromOrbit) view.left = static_cast<double>(*options.fromOrbit);
    if (options.toOrbit) view.right = static_cast<double>(*options.toOrbit) + 1;
    return timeline::Limited(view);
}

int RenderSeries(const Options& options, PictureFormat format) {
    const int32_t channel = ChannelArgument(options.files.front());
    const std::optional<SatelliteDefinition> satellite = SatelliteOf(options, std::cerr);
    if (!satellite) return 1;
    timeline::TimeLinePicture picture;
    try {
        archive::Archive archive(ArchiveLocationOf(options), archive::Archive::Access::Read);
        std::optional<Coefficients> k;
        if (options.coefficients) k = archive::ChannelTranslation(BuiltInDefinition(channel), options.coefficients);
        const timeline::ChannelTrace trace =
            timeline::LoadChannelTrace(archive, channel, {options.fromOrbit, options.toOrbit}, k, *satellite);
        const timeline::DateLine dates = timeline::LoadDateLine(archive);
        const auto view = SeriesView(options, trace);
        if (!view) {
            Report(std::cerr, "no sample of channel " + ChannelCatalogue::ChannelNumberText(channel) +
                                  " in the archive " + archive.Name());
            return 1;
        }
        using namespace timeline::layout;
        const timeline::PlotContent content{&trace, std::nullopt, timeline::PlotColour(0), &*satellite};
        picture.width = kPictureWidth;
        picture.plots.push_back(timeline::ComposePlot(content, *view, dates, kPictureWidth, kPicturePlotHeight));
        picture.axis = timeline::ComposeAxis(*view, dates, kPictureWidth);
    } catch (const KelvaroxError& e) {
        Report(std::cerr, e.what());
        return 1;
    }
    const auto paint = [&](QPainter& painter) { PaintTimeLine(painter, picture); };
    const QSize size(picture.width, picture.Height());
    return WritePicture(options, format, EncodePicture(size, format, QStringLiteral("Kelvarox time line"), paint));
}

}  // namespace

int main(int argc, char** argv) {
    // The renderer's options are those of kelvarox-cli's graph and series commands; without
    // a command it draws a graph.
    std::vector<char*> args(argv, argv + argc);
    const bool series = argc > 1 && std::string(argv[1]) == "series";
    char graph[] = "graph";
    if (!series) args.insert(args.begin() + 1, graph);
    try {
        const Options options = ParseCommandLine(static_cast<int>(args.size()), args.data(), Defaults{});
        if (options.files.size() != 1 || options.output.empty())
            throw UsageError(series ? "one channel and -o OUTPUT are needed" : "one block and -o OUTPUT are needed");
        const auto format = PictureFormatOf(options.output, kCommandLineFormats);
        if (!format) throw UsageError("the output's suffix is none of " + PictureSuffixes(kCommandLineFormats));

        // Fonts need the GUI library and a platform; without a display it draws off screen.
        if (!HasDisplay() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(QtErrorsOnly);
        QGuiApplication application(argc, argv);
        return series ? RenderSeries(options, *format) : RenderGraph(options, *format);
    } catch (const UsageError& e) {
        return ReportUsageError(e);
    }
}
