// The program's start-up up to its main window on the screen, and beside it the same for one
// empty window: `startup_benchmark` or `startup_benchmark --empty-widget`. Each run ends as
// soon as its window is exposed; time whole runs with hyperfine (bench/startup.sh).
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <cstring>
#include <memory>

#include "settings/SettingsStore.h"
#include "ui/Application.h"
#include "ui/MessageBoxNotifier.h"
#include "ui/Wod_1.h"

namespace {

// Quits the event loop once the window is on the screen.
class QuitWhenExposed : public QObject {
public:
    explicit QuitWhenExposed(QWidget* widget) : widget_(widget) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && widget_->windowHandle() && widget_->windowHandle()->isExposed())
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget* widget_;
};

int Run(QWidget* window) {
    window->winId();  // makes the window handle to watch
    QuitWhenExposed watcher(window);
    window->windowHandle()->installEventFilter(&watcher);
    window->show();
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--empty-widget") == 0) {
        QWidget empty;
        empty.resize(388, 226);
        return Run(&empty);
    }
    kelvarox::MessageBoxNotifier notifier;
    kelvarox::KelvaroxApplication app(kelvarox::SettingsStore::UserStore(), notifier);
    return Run(&app.MainWindow());
}
