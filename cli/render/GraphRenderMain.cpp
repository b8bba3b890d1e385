// kelvarox-graph-render: the graph command's renderer. The real graph window, kept off the
// screen, is drawn by the Graph action and written out as an image of its client area. Its
// command line and exit status are stated in cli/GraphRender.h.
#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QSaveFile>
#include <cstdio>
#include <iostream>
#include <stdexcept>

#include "cli/BlockSession.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/GraphRender.h"
#include "core/Errors.h"
#include "settings/SettingsStore.h"
#include "ui/GraphWindow.h"
#include "ui/SilentNotifier.h"
#include "ui/TextCodec.h"

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
    std::cerr << kGraphRenderProgram << ": " << reason << '\n'
              << "usage: " << kGraphRenderProgram
              << " --layout N,N,N,N,N,N,N,N --orbit-hibyte N [--coefficients A,B,C,D] -o OUTPUT -- BLOCK\n";
    return 2;
}

// Encodes the image in memory, writes it to a temporary file in the target's folder and
// renames that over the target, so that a file already there is replaced whole or left as it was.
bool SaveReplacing(const QImage& image, const std::string& path, const std::string& format) {
    QByteArray encoded;
    QBuffer buffer(&encoded);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, format.c_str())) return false;
    QSaveFile file(PathToQt(path));
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(encoded) != encoded.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace

int main(int argc, char** argv) {
    // The renderer's options are those of kelvarox-cli's graph command.
    std::vector<char*> args(argv, argv + argc);
    char graph[] = "graph";
    args.insert(args.begin() + 1, graph);
    Options options;
    try {
        options = ParseCommandLine(static_cast<int>(args.size()), args.data(), Defaults{});
    } catch (const std::invalid_argument& e) {
        return UsageError(e.what());
    }
    if (options.files.size() != 1 || options.output.empty()) return UsageError("one block and -o OUTPUT are needed");
    const std::optional<std::string> format = ImageFormatOf(options.output);
    if (!format) return UsageError(std::string("the output's suffix is none of ") + kImageSuffixes);

    const std::string& blockPath = options.files.front();
    LoadedBlock block = LoadBlock(blockPath, options);
    if (!block.ok()) {
        ReportFailure(std::cerr, blockPath, block.error);
        return 1;
    }

    if (!HasDisplay() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QtErrorsOnly);
    QApplication application(argc, argv);
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
    QImage image(window.size(), QImage::Format_RGB32);
    window.render(&image);
    if (!SaveReplacing(image, options.output, *format)) {
        ReportFailure(std::cerr, options.output, "cannot write the " + *format + " image");
        return 1;
    }
    return 0;
}
