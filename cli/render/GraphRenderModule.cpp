// The graph command's renderer: the real graph window, kept off the screen, drawn by the
// Graph action and written out as a PNG image of its client area.
#include <QApplication>
#include <QImage>
#include <cstdio>
#include <memory>

#include "cli/GraphRender.h"
#include "core/Errors.h"
#include "settings/SettingsStore.h"
#include "ui/SilentNotifier.h"
#include "ui/Notifier.h"
#include "ui/TextCodec.h"
#include "ui/GraphWindow.h"

namespace {

using kelvarox::cli::GraphRenderFailure;
using kelvarox::cli::LoadedBlock;

// The command line shows no boxes; what the window would report is left out.
// Qt's notices (a missing runtime directory and the like) are no output of the command; only
// its errors are.
void QtErrorsOnly(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
}

bool HasDisplay() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

}  // namespace

extern "C" __attribute__((visibility("default"))) bool kelvarox_render_graph(LoadedBlock& block,
                                                                              const std::string& blockPath,
                                                                              const std::string& outputPath,
                                                                              GraphRenderFailure& failure) {
    if (!HasDisplay() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QtErrorsOnly);
    static int argc = 1;
    static char name[] = "kelvarox-cli";
    static char* argv[] = {name, nullptr};
    std::unique_ptr<QApplication> application;
    if (!QCoreApplication::instance()) application = std::make_unique<QApplication>(argc, argv);

    kelvarox::SilentNotifier notifier;
    // The command line only reads the settings: the window's position is never stored.
    const kelvarox::SettingsStore store =
        kelvarox::SettingsStore::UserStore(kelvarox::SettingsStore::Access::ReadOnly);
    kelvarox::GraphWindow window(block.state, store, notifier);
    window.setAttribute(Qt::WA_DontShowOnScreen);
    try {
        window.drawGraph(block.boxes);
    } catch (const kelvarox::KelvaroxError& e) {
        failure = {blockPath, e.what()};
        return false;
    }
    QImage image(window.size(), QImage::Format_RGB32);
    window.render(&image);
    if (!image.save(kelvarox::PathToQt(outputPath), "PNG")) {
        failure = {outputPath, "cannot write the PNG image"};
        return false;
    }
    return true;
}
