#include "ui/Application.h"

#include "ui/ErrorReport.h"
#include "ui/GraphWindow.h"
#include "ui/MainWindow.h"
#include "ui/SetupWindow.h"
#include "ui/TableWindow.h"

namespace kelvarox {

KelvaroxApplication::KelvaroxApplication(SettingsStore store, Notifier& notifier, StartPaths start)
    : store_(std::move(store)), notifier_(notifier), startBlockFile_(std::move(start.blockFile)) {
    main_ = std::make_unique<MainWindow>(state_, store_, notifier_, start.directory);
    graph_ = std::make_unique<GraphWindow>(state_, store_, notifier_);
    setup_ = new SetupWindow(state_.Layout, store_, notifier_, main_.get());
    table_ = new TableWindow(state_, main_.get());
    Connect();
}

KelvaroxApplication::~KelvaroxApplication() {
    graph_.reset();
    main_.reset();  // and with it the setup and table windows
}

void KelvaroxApplication::Connect() {
    MainWindow* main = main_.get();
    GraphWindow* graph = graph_.get();
    TableWindow* table = table_;
    Notifier* notifier = &notifier_;
    QObject::connect(main, &MainWindow::actionStarting, table, &TableWindow::EndFill);
    // A table being filled stops with the program.
    QObject::connect(main, &MainWindow::quitRequested, table, &TableWindow::EndFill);
    QObject::connect(main, &MainWindow::graphRequested, graph, [graph, notifier](const ChannelBoxTexts& boxes) {
        RunHandler(*notifier, [&] { graph->drawGraph(boxes); });
    });
    QObject::connect(main, &MainWindow::tableRequested, table, [table, notifier](const ChannelBoxTexts& boxes) {
        RunHandler(*notifier, [&] { table->showTable(boxes); });
    });
    QObject::connect(main, &MainWindow::setupRequested, setup_, &SetupWindow::showSetup);
}

void KelvaroxApplication::Start() {
    main_->show();
    if (startBlockFile_) main_->loadAndGraphFile(*startBlockFile_);
}

}  // namespace kelvarox
