// Kelvarox: the desktop program.
#include <QApplication>
#include <QCoreApplication>
#include <cstdio>

#include "settings/SettingsStore.h"
#include "ui/Application.h"
#include "ui/ErrorReport.h"
#include "ui/MainWindow.h"
#include "ui/MessageBoxNotifier.h"
#include "ui/StartCommandLine.h"

namespace {

QStringList ArgumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments.push_back(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

void Print(std::FILE* stream, const QString& text) { std::fputs(text.toLocal8Bit().constData(), stream); }

}  // namespace

int main(int argc, char** argv) {
    QApplication::setApplicationName(QStringLiteral("Kelvarox"));
    // --help and --version answer before the window system is reached, so they need no display.
    const kelvarox::StartCommandLine first = kelvarox::ParseStartCommandLine(ArgumentsOf(argc, argv));
    if (first.help || first.version) {
        const QCoreApplication core(argc, argv);  // the usage names the program as it was called
        Print(stdout, first.help ? kelvarox::ParseStartCommandLine(QCoreApplication::arguments()).helpText
                                 : kelvarox::VersionText() + u'\n');
        return 0;
    }
    QApplication qt(argc, argv);
    // Parsed again without the options that the window system took.
    const kelvarox::StartCommandLine line = kelvarox::ParseStartCommandLine(QApplication::arguments());
    if (!line.error.isEmpty()) {
        Print(stderr, QApplication::applicationName() + QStringLiteral(": ") + line.error + u'\n');
        return 2;
    }
    kelvarox::MessageBoxNotifier notifier;
    int status = 1;
    // An error escaping the start-up is shown by the error report, and the program ends.
    kelvarox::RunHandler(notifier, [&] {
        kelvarox::StartPaths start = kelvarox::ChooseStartPaths(line.paths);
        start.satelliteFile = line.satellite;
        kelvarox::KelvaroxApplication app(kelvarox::SettingsStore::UserStore(), notifier, std::move(start));
        // Exit and the main window's close end the event loop at once; no other window's
        // close handler runs.
        QObject::connect(&app.Main(), &kelvarox::MainWindow::quitRequested, &qt, [] { QApplication::exit(0); });
        app.Start();
        app.StartArchiveFeed();
        status = QApplication::exec();
    });
    return status;
}
