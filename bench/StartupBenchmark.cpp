// The program's start-up up to its main window on the screen, and beside it the same for one
// empty window: `startup_benchmark [--empty-widget | --label-widget] [--report]`. The window
// with one label shows what drawing any text costs (the font database). Each run ends as soon as its
// window is exposed; time whole runs with hyperfine (bench/startup.sh). --report prints the
// milliseconds from the start of main to the exposure, which leaves out the end of the process
// (a listing of a large directory still running is stopped and waited for there).
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <cstdio>
#include <cstring>
#include <memory>

#include "settings/SettingsStore.h"
#include "ui/Application.h"
#include "ui/MainWindow.h"
#include "ui/MessageBoxNotifier.h"

namespace {

// Quits the event loop once the window is on the screen.
class QuitWhenExposed : public QObject {
public:
    QuitWhenExposed(QWidget* widget, const QElapsedTimer* report) : widget_(widget), report_(report) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && !done_ && widget_->windowHandle() &&
            widget_->windowHandle()->isExposed()) {
            done_ = true;
            if (report_) std::printf("%lld\n", static_cast<long long>(report_->elapsed()));
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget* widget_;
    const QElapsedTimer* report_;
    bool done_ = false;
};

int Run(QWidget* window, const QElapsedTimer* report) {
    window->winId();  // makes the window handle to watch
    QuitWhenExposed watcher(window, report);
    window->windowHandle()->installEventFilter(&watcher);
    window->show();
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    bool emptyWidget = false, labelWidget = false, report = false;
    for (int i = 1; i < argc; ++i) {
        emptyWidget = emptyWidget || std::strcmp(argv[i], "--empty-widget") == 0;
        labelWidget = labelWidget || std::strcmp(argv[i], "--label-widget") == 0;
        report = report || std::strcmp(argv[i], "--report") == 0;
    }
    QApplication qt(argc, argv);
    const QElapsedTimer* reportClock = report ? &clock : nullptr;
    if (emptyWidget) {
        QWidget empty;
        empty.resize(388, 226);
        return Run(&empty, reportClock);
    }
    if (labelWidget) {
        QLabel label(QStringLiteral("Data Channel"));
        label.resize(388, 226);
        return Run(&label, reportClock);
    }
    kelvarox::MessageBoxNotifier notifier;
    kelvarox::KelvaroxApplication app(kelvarox::SettingsStore::UserStore(), notifier);
    return Run(&app.Main(), reportClock);
}
