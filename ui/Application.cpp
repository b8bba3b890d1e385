#include "ui/Application.h"

#include <QCoreApplication>

#include "ui/MainWindow.h"
#include "ui/GraphWindow.h"
#include "ui/SetupWindow.h"
#include "ui/TableWindow.h"

namespace kelvarox {

KelvaroxApplication::KelvaroxApplication(SettingsStore store, Notifier& notifier)
    : quitHandler([] { QCoreApplication::exit(0); }), store_(std::move(store)), notifier_(notifier) {
    main_ = std::make_unique<MainWindow>(*this);
    graph_ = std::make_unique<GraphWindow>(*this);
    setup_ = new SetupWindow(*this, main_.get());
    table_ = new TableWindow(*this, main_.get());
}

KelvaroxApplication::~KelvaroxApplication() {
    graph_.reset();
    main_.reset();  // and with it the setup and table windows
}

void KelvaroxApplication::Start() { main_->show(); }

void KelvaroxApplication::Quit() {
    table_->EndFill();  // a table being filled stops with the program
    quitHandler();
}

}  // namespace kelvarox
