#include "ui/Application.h"

#include "archive/ArchiveLocation.h"
#include "services/ArchiveFeed.h"
#include "ui/ErrorReport.h"
#include "ui/FoldLink.h"
#include "ui/GraphWindow.h"
#include "ui/MainWindow.h"
#include "ui/SatelliteDialog.h"
#include "ui/SetupWindow.h"
#include "ui/TableWindow.h"
#include "ui/TimeLineWindow.h"

namespace kelvarox {

KelvaroxApplication::KelvaroxApplication(SettingsStore store, Notifier& notifier, StartPaths start)
    : store_(std::move(store)), notifier_(notifier), startBlockFile_(std::move(start.blockFile)),
      satelliteFile_(std::move(start.satelliteFile)) {
    // A settings file the program cannot use, or no home for one: the user hears it once, before
    // the directory dialog or the defaults could leave them wondering why.
    if (const std::string warning = store_.Warning(); !warning.empty()) notifier_.ShowWarning(warning);
    state_ = ProgramState(StartProgram(store_, notifier_, start.directory));
    state_.SetSatellite(LoadSatelliteInForce(satelliteFile_, store_, notifier_));
    main_ = std::make_unique<MainWindow>(state_, store_, notifier_);
    graph_ = std::make_unique<GraphWindow>(state_, store_, notifier_);
    setup_ = new SetupWindow(state_, store_, notifier_, main_.get());
    table_ = new TableWindow(state_, notifier_, main_.get());
    feed_ = std::make_unique<ArchiveFeed>();
    Connect();
}

KelvaroxApplication::~KelvaroxApplication() {
    // The windows go at once; the background work then stops, giving up any wait for the archive.
    // The time line as it was left, for the next start.
    if (timeLine_ && timeLine_->isVisible()) timeLine_->keepLayout();
    for (QWidget* window : std::initializer_list<QWidget*>{timeLine_.get(), graph_.get(), main_.get()})
        if (window) window->hide();
    timeLine_.reset();
    feed_.reset();
    graph_.reset();
    main_.reset();  // and with it the setup and table windows
}

void KelvaroxApplication::Connect() {
    MainWindow* main = main_.get();
    GraphWindow* graph = graph_.get();
    TableWindow* table = table_;
    Notifier* notifier = &notifier_;
    QObject::connect(main, &MainWindow::actionStarting, table, &TableWindow::endFill);
    // A table being filled stops with the program.
    QObject::connect(main, &MainWindow::quitRequested, table, &TableWindow::endFill);
    QObject::connect(main, &MainWindow::graphRequested, graph, [graph, notifier](const ChannelBoxTexts& boxes) {
        RunHandler(*notifier, [&] { graph->drawGraph(boxes); });
    });
    QObject::connect(main, &MainWindow::tableRequested, table, [table, notifier](const ChannelBoxTexts& boxes) {
        RunHandler(*notifier, [&] { table->showTable(boxes); });
    });
    QObject::connect(main, &MainWindow::setupRequested, setup_, &SetupWindow::showSetup);
    QObject::connect(main, &MainWindow::timeLineRequested, main, [this] { ShowTimeLine(); });
    QObject::connect(main, &MainWindow::satelliteRequested, main, [this] { ShowSatellite(); });
    QObject::connect(feed_.get(), &ArchiveFeed::problemChanged, main, &MainWindow::showImportProblem);
}

void KelvaroxApplication::Start() {
    main_->show();
    if (startBlockFile_) main_->loadAndGraphFile(*startBlockFile_);
}

void KelvaroxApplication::StartArchiveFeed() {
    feed_->start({archive::DefaultArchiveLocation(), state_.TelemetryDirectory(), state_.Layout(),
                  state_.StoredOrbitHiByte(), state_.SharedSatellite()});
}

void KelvaroxApplication::ShowTimeLine() {
    if (!timeLine_) {
        timeLine_ = std::make_unique<TimeLineWindow>(archive::DefaultArchiveLocation(), notifier_);
        TimeLineWindow* window = timeLine_.get();
        MainWindow* main = main_.get();
        // A double-click on a sample loads and graphs its block, whatever its file is named.
        QObject::connect(window, &TimeLineWindow::blockOpenRequested, main, &MainWindow::openBlockAt);
        OpenFoldsOf(*window, notifier_);
        QObject::connect(window, &TimeLineWindow::followChanged, feed_.get(), &ArchiveFeed::setFollowing);
        QObject::connect(feed_.get(), &ArchiveFeed::progressChanged, window, &TimeLineWindow::showImportProgress);
        QObject::connect(feed_.get(), &ArchiveFeed::statusChanged, window, &TimeLineWindow::showImportStatus);
        QObject::connect(feed_.get(), &ArchiveFeed::waitingChanged, window, &TimeLineWindow::showImportWaiting);
        QObject::connect(feed_.get(), &ArchiveFeed::archiveChanged, window, &TimeLineWindow::readArchiveNow);
        QObject::connect(feed_.get(), &ArchiveFeed::failuresChanged, window, &TimeLineWindow::showImportFailures);
        window->useSatellite(state_.SharedSatellite());
        window->setFollowing(feed_->following());
        window->showImportProgress(feed_->done(), feed_->total());
        window->showImportStatus(feed_->status());
        window->showImportWaiting(feed_->waiting());
        window->showImportFailures(feed_->failures());
        window->keepLayoutIn(store_);
    }
    timeLine_->show();
    timeLine_->raise();
    timeLine_->activateWindow();
}

void KelvaroxApplication::ShowSatellite() {
    if (!satellite_) {
        satellite_ = new SatelliteDialog(store_, notifier_, satelliteFile_, main_.get());
        QObject::connect(satellite_, &SatelliteDialog::satelliteChosen, main_.get(), [this] {
            // The next Load and the time line take the satellite now in force.
            state_.SetSatellite(LoadSatelliteInForce(satelliteFile_, store_, notifier_));
            if (timeLine_) timeLine_->useSatellite(state_.SharedSatellite());
        });
    }
    satellite_->open();
}

}  // namespace kelvarox
