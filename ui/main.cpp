// Kelvarox: the desktop program.
#include <QApplication>

#include "settings/SettingsStore.h"
#include "ui/Application.h"
#include "ui/ErrorReport.h"
#include "ui/MessageBoxNotifier.h"

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvarox"));
    kelvarox::MessageBoxNotifier notifier;
    int status = 1;
    // An error escaping the start-up is shown by the error report, and the program ends.
    kelvarox::RunHandler(notifier, [&] {
        kelvarox::KelvaroxApplication app(kelvarox::SettingsStore::UserStore(), notifier);
        app.Start();
        status = QApplication::exec();
    });
    return status;
}
