// Kelvarox: the desktop program.
#include <QApplication>

#include "settings/SettingsStore.h"
#include "ui/Application.h"
#include "ui/ErrorReport.h"
#include "ui/MainWindow.h"
#include "ui/MessageBoxNotifier.h"

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvarox"));
    kelvarox::MessageBoxNotifier notifier;
    int status = 1;
    // An error escaping the start-up is shown by the error report, and the program ends.
    kelvarox::RunHandler(notifier, [&] {
        kelvarox::KelvaroxApplication app(kelvarox::SettingsStore::UserStore(), notifier);
        // Exit and the main window's close end the event loop at once; no other window's
        // close handler runs.
        QObject::connect(&app.Main(), &kelvarox::MainWindow::quitRequested, &qt, [] { QApplication::exit(0); });
        app.Start();
        app.StartArchiveFeed();
        status = QApplication::exec();
    });
    return status;
}
