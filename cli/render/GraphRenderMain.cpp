// kelvarox-graph-render: the renderer of kelvarox-cli's pictures. The graph command's picture
// is the real graph window, kept off the screen, drawn by the Graph action; the series
// command's picture is a time line plot painted as the time line window paints it. The command
// lines and the exit status are stated in cli/GraphRender.h.
#include <QApplication>
#include <QPainter>
#include <cstdio>
#include <iostream>
#include <stdexcept>

#include "archive/ArchiveLocation.h"
#include "cli/BlockSession.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/GraphRender.h"
#include "cli/TerminalText.h"
#include "core/ChannelCatalogue.h"
#include "core/Errors.h"
#include "settings/SettingsStore.h"
#include "timeline/ArchiveTrace.h"
#include "ui/GraphWindow.h"
#include "ui/PictureFile.h"
#include "ui/SilentNotifier.h"
#include "ui/TextCodec.h"
#include "ui/TimeLinePainter.h"

using namespace kelvarox;
using namespace kelvarox::cli;

namespace {

// Qt's notices (a missing runtime directory and the like) are no output of the command; only
// its errors are.
void QtErrorsOnly(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
}

bool HasDisplay() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

int UsageError(const std::string& reason) {
    std::cerr << kGraphRenderProgram << ": " << TerminalName(reason) << '\n'
              << "usage: " << kGraphRenderProgram
              << " --layout N,N,N,N,N,N,N,N --orbit-hibyte N [--coefficients A,B,C,D] -o OUTPUT -- BLOCK\n"
              << "       " << kGraphRenderProgram
              << " series [--database DB] [--from ORBIT] [--to ORBIT] [--coefficients A,B,C,D] -o OUTPUT -- CHANNEL\n";
    return 2;
}

// Writes the picture that `paint` paints, `size` large, in `format` to the output.
int WritePicture(const Options& options, const std::string& format, QSize size, const QString& title,
                 const std::function<void(QPainter&)>& paint) {
    const QByteArray bytes = EncodePicture(size, QString::fromStdString(format), title, paint);
    if (bytes.isEmpty() || !WriteWholeFile(PathToQt(options.output), bytes)) {
        ReportFailure(std::cerr, options.output, "cannot write the " + format + " image");
        return 1;
    }
    return 0;
}

int RenderGraph(const Options& options, const std::string& format) {
    const std::string& blockPath = options.files.front();
    LoadedBlock block = LoadBlock(blockPath, options);
    if (!block.ok()) {
        ReportFailure(std::cerr, blockPath, block.error);
        return 1;
    }
    // The boxes the window would show are nobody's; no settings file is read or written.
    SilentNotifier notifier;
    const SettingsStore noStore(std::string(), SettingsStore::Access::ReadOnly);
    GraphWindow window(block.state, noStore, notifier);
    window.setAttribute(Qt::WA_DontShowOnScreen);
    try {
        window.drawGraph(block.boxes);
    } catch (const KelvaroxError& e) {
        ReportFailure(std::cerr, blockPath, e.what());
        return 1;
    }
    return WritePicture(options, format, window.size(), window.windowTitle(),
                        [&](QPainter& painter) { window.render(&painter); });
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

int RenderSeries(const Options& options, const std::string& format) {
    const auto channel = ParseChannelText(options.files.front());
    if (!channel) return UsageError("'" + options.files.front() + "' is not a channel (#140 or 0x140)");
    const std::string location = options.database.empty() ? archive::DefaultArchiveLocation() : options.database;
    timeline::TimeLinePicture picture;
    try {
        archive::Archive archive(location, archive::Archive::Access::Read);
        const Coefficients k = archive::ChannelTranslation(*channel, options.coefficients);
        const timeline::ChannelTrace trace =
            timeline::LoadChannelTrace(archive, *channel, {options.fromOrbit, options.toOrbit}, k);
        const timeline::DateLine dates = timeline::LoadDateLine(archive);
        const auto view = SeriesView(options, trace);
        if (!view) {
            std::cerr << "kelvarox-cli: no sample of channel " << ChannelCatalogue::ChannelNumberText(*channel)
                      << " in the archive " << TerminalName(archive.Name()) << '\n';
            return 1;
        }
        using namespace timeline::layout;
        const timeline::PlotContent content{&trace, std::nullopt, timeline::PlotColour(0)};
        picture.width = kPictureWidth;
        picture.plots.push_back(timeline::ComposePlot(content, *view, dates, kPictureWidth, kPicturePlotHeight));
        picture.axis = timeline::ComposeAxis(*view, dates, kPictureWidth);
    } catch (const KelvaroxError& e) {
        std::cerr << "kelvarox-cli: " << TerminalName(e.what()) << '\n';
        return 1;
    }
    return WritePicture(options, format, QSize(picture.width, picture.Height()), QStringLiteral("Kelvarox time line"),
                        [&](QPainter& painter) { PaintTimeLine(painter, picture); });
}

}  // namespace

int main(int argc, char** argv) {
    // The renderer's options are those of kelvarox-cli's graph and series commands; without
    // a command it draws a graph.
    std::vector<char*> args(argv, argv + argc);
    const bool series = argc > 1 && std::string(argv[1]) == "series";
    char graph[] = "graph";
    if (!series) args.insert(args.begin() + 1, graph);
    Options options;
    try {
        options = ParseCommandLine(static_cast<int>(args.size()), args.data(), Defaults{});
    } catch (const std::invalid_argument& e) {
        return UsageError(e.what());
    }
    if (options.files.size() != 1 || options.output.empty())
        return UsageError(series ? "one channel and -o OUTPUT are needed" : "one block and -o OUTPUT are needed");
    const std::optional<std::string> format = ImageFormatOf(options.output);
    if (!format) return UsageError(std::string("the output's suffix is none of ") + kImageSuffixes);

    if (!HasDisplay() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QtErrorsOnly);
    QApplication application(argc, argv);
    return series ? RenderSeries(options, *format) : RenderGraph(options, *format);
}
