#include "ui/MainWindow.h"

#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QToolButton>

#include "KelvaroxVersion.h"
#include "core/BlockFiles.h"
#include "core/ChannelDefinition.h"
#include "core/DroppedFiles.h"
#include "core/Errors.h"
#include "render/TextCodec.h"
#include "settings/SettingsNames.h"
#include "settings/StartupSettings.h"
#include "settings/WindowPosition.h"
#include "ui/CharacterFilter.h"
#include "ui/ErrorReport.h"
#include "ui/Notifier.h"
#include "ui/WindowFrame.h"
#include "ui_MainWindow.h"

namespace kelvarox {

const char* const MainWindow::kDropHint = " WOD files may be drag/dropped on to main window. ";

MainWindow::MainWindow(ProgramState& state, const SettingsStore& store, Notifier& notifier)
    : state_(state), store_(store), notifier_(notifier), ui_(std::make_unique<Ui::MainWindow>()),
      importProblemButton_(new QToolButton(this)) {
    ui_->setupUi(this);
    importProblemButton_->setObjectName(QStringLiteral("importProblemButton"));
    importProblemButton_->setText(QStringLiteral("Importing stopped"));
    importProblemButton_->setAutoRaise(true);
    importProblemButton_->setStyleSheet(QStringLiteral("color: rgb(170, 0, 0)"));
    importProblemButton_->hide();
    ui_->menuBar->setCornerWidget(importProblemButton_, Qt::TopRightCorner);
    MakeFixedWindow(this);
    setUpFonts();
    auto* coefficientFilter = new CharacterFilter(kCoefficientCharacters, this);
    for (QLineEdit* box : {ui_->coefficientAEdit, ui_->coefficientBEdit, ui_->coefficientCEdit, ui_->coefficientDEdit})
        coefficientFilter->watch(box);
    auto* hexFilter = new CharacterFilter(kHexCharacters, this);
    for (QLineEdit* box : {ui_->channelEdit, ui_->orbitHiByteEdit}) hexFilter->watch(box);
    // Dropped files go to the window wherever they land on it.
    for (QLineEdit* box : findChildren<QLineEdit*>()) box->setAcceptDrops(false);
    setToolTip(kDropHint);
    // The file list's tooltip names the directory it lists.
    for (QWidget* child : ui_->centralwidget->findChildren<QWidget*>())
        if (child != ui_->blockList && !ui_->blockList->isAncestorOf(child)) child->setToolTip(kDropHint);
    connectHandlers();
    setAcceptDrops(true);
    ui_->orbitHiByteEdit->setText(QString::number(state_.StoredOrbitHiByte()));
    RunHandler(notifier_, [this] {
        if (!state_.TelemetryDirectory().empty()) pointFileListAt(state_.TelemetryDirectory());
    });
    RunHandler(notifier_, [this] { MoveTo(this, RestoreWindowPosition(store_, kMainWindowPrefix)); });
}

MainWindow::~MainWindow() = default;

void MainWindow::setUpFonts() {
    setFont(FormFont(font(), 11, true));
    const QFont large = FormFont(font(), 15, true);
    for (QLabel* label : {ui_->dataChannelLabel, ui_->cubeTermLabel, ui_->squareTermLabel, ui_->linearTermLabel})
        label->setFont(large);
    for (QLabel* label : findChildren<QLabel*>()) label->adjustSize();
}

void MainWindow::connectHandlers() {
    connect(ui_->loadButton, &QPushButton::clicked, this, &MainWindow::load);
    connect(ui_->graphButton, &QPushButton::clicked, this, &MainWindow::showGraph);
    connect(ui_->tableButton, &QPushButton::clicked, this, &MainWindow::showTable);
    connect(ui_->blockList, &FileListBox::itemClicked, this, &MainWindow::selectBlockFile);
    connect(ui_->blockList, &FileListBox::itemDoubleClicked, this, &MainWindow::loadAndShowGraph);
    connect(ui_->blockList, &FileListBox::changed, this, &MainWindow::clearChannelBoxes);
    connect(ui_->aboutAction, &QAction::triggered, this, &MainWindow::showAbout);
    connect(ui_->setupAction, &QAction::triggered, this, &MainWindow::showSetup);
    connect(ui_->satelliteAction, &QAction::triggered, this, &MainWindow::satelliteRequested);
    connect(ui_->timeLineAction, &QAction::triggered, this, &MainWindow::showTimeLine);
    connect(ui_->exitAction, &QAction::triggered, this, &MainWindow::exitProgram);
    connect(importProblemButton_, &QToolButton::clicked, this, [this] {
        if (!importProblem_.isEmpty())
            notifier_.ShowError("Adding the telemetry directory's blocks to the archive has stopped:\n" +
                                FromQt(importProblem_));
    });
}

void MainWindow::loadBlock() {
    emit actionStarting();
    const LoadOutcome outcome = state_.Load(FromQt(ui_->orbitHiByteEdit->text()));
    for (const std::string& message : outcome.messages) {
        disableGraphAndTable();
        notifier_.ShowInformation(message);
    }
    if (outcome.channelDecoded) {
        const int32_t channel = state_.Loaded().header.channel;
        showChannelBoxes(
            ChannelBoxTextsOf(channel, state_.Satellite().DefinitionOf(channel, state_.Loaded().header.startAmDay)));
    }
    if (!outcome.error.empty()) throw KelvaroxError(outcome.error);
    if (state_.LoadSucceeded()) {
        ui_->graphButton->setEnabled(true);
        ui_->tableButton->setEnabled(true);
    }
}

void MainWindow::requestGraph() {
    emit actionStarting();
    emit graphRequested(boxTexts());
}

void MainWindow::load() {
    RunHandler(notifier_, [this] { loadBlock(); });
}

void MainWindow::showGraph() {
    RunHandler(notifier_, [this] { requestGraph(); });
}

void MainWindow::showTable() {
    RunHandler(notifier_, [this] {
        emit actionStarting();
        emit tableRequested(boxTexts());
    });
}

void MainWindow::selectBlockFile() {
    RunHandler(notifier_, [this] {
        if (!state_.TelemetryDirectory().empty()) pointFileListAt(state_.TelemetryDirectory());
        state_.SelectBlockFile(PathFromQt(ui_->blockList->selectedPath()));
    });
}

void MainWindow::loadAndShowGraph() {
    RunHandler(notifier_, [this] {
        loadBlock();
        // A file that fails to load never opens the graph of the block loaded before it.
        if (state_.LoadSucceeded()) requestGraph();
    });
}

void MainWindow::clearChannelBoxes() {
    for (QLineEdit* box : {ui_->nameEdit, ui_->unitEdit, ui_->channelEdit, ui_->coefficientAEdit, ui_->coefficientBEdit,
                           ui_->coefficientCEdit})
        box->clear();
    // Coefficient d keeps its text, as it always has: Graph and Table after a new selection
    // still add the constant the box shows.
}

void MainWindow::showAbout() {
    notifier_.ShowInformation(
        // The project's version and the release letter that the box has always shown after it.
        std::string("Kelvarox Ver ") + kVersion +
        "d  -  WOD telemetry decoder in C++ and Qt\n"
        "\n"
        "             Kelvarox developers  /  Qarn\n"
        "             Last updated: 2001/10/30");
}

void MainWindow::showSetup() { emit setupRequested(); }

void MainWindow::showTimeLine() { emit timeLineRequested(); }

void MainWindow::exitProgram() {
    // Exit saves nothing, as it always has: it is the way to leave without storing the
    // position and the Orbit HiByte.
    emit quitRequested();
}

void MainWindow::loadDroppedFiles(const QStringList& paths) {
    if (paths.isEmpty() || !IsBlockFilePath(PathFromQt(paths.front()))) return;
    loadAndGraphFile(paths.front());
}

void MainWindow::loadAndGraphFile(const QString& path) {
    RunHandler(notifier_, [&] {
        state_.SelectBlockFile(PathFromQt(path));
        ui_->blockList->clearSelectionQuietly();
        loadBlock();
        if (state_.LoadSucceeded()) requestGraph();
    });
}

void MainWindow::openBlockAt(const QString& path, qint64 orbitHiByte) {
    ui_->orbitHiByteEdit->setText(QString::number(orbitHiByte));
    RunHandler(notifier_, [&] {
        const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
        const bool listed = slash >= 0 && QDir::cleanPath(path.left(slash)) == ui_->blockList->directory() &&
                            ui_->blockList->selectName(path.mid(slash + 1));
        if (!listed) ui_->blockList->clearSelectionQuietly();
        state_.SelectBlockFile(PathFromQt(path));
        loadBlock();
        if (state_.LoadSucceeded()) requestGraph();
    });
}

void MainWindow::showImportProblem(const QString& problem) {
    importProblem_ = problem;
    importProblemButton_->setToolTip(problem);
    importProblemButton_->setVisible(!problem.isEmpty());
}

ChannelBoxTexts MainWindow::boxTexts() const {
    ChannelBoxTexts b;
    b.name = FromQt(ui_->nameEdit->text());
    b.unit = FromQt(ui_->unitEdit->text());
    b.number = FromQt(ui_->channelEdit->text());
    b.a = FromQt(ui_->coefficientAEdit->text());
    b.b = FromQt(ui_->coefficientBEdit->text());
    b.c = FromQt(ui_->coefficientCEdit->text());
    b.d = FromQt(ui_->coefficientDEdit->text());
    b.orbitHiByte = FromQt(ui_->orbitHiByteEdit->text());
    return b;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // A settings file that refuses the values is reported once, and the program ends all the
    // same: keeping the window open would not let the user store them.
    if (StateOf(this) == WindowState::Normal) {
        RunHandler(notifier_, [this] {
            SaveWindowPosition(store_, kMainWindowPrefix, PositionOf(this), WindowState::Normal);
            SaveOrbitHiByte(store_, FromQt(ui_->orbitHiByteEdit->text()));
        });
    }
    event->accept();
    emit quitRequested();
}

namespace {

// The local files of a drag, their names kept as bytes: the URI list as the file manager wrote
// it, not as URLs, which read a name that is no UTF-8 as another name.
QStringList DraggedPaths(const QMimeData& data) {
    QStringList paths;
    for (const std::string& path : LocalPathsOfUriList(data.data(QStringLiteral("text/uri-list")).toStdString()))
        paths.push_back(PathToQt(path));
    return paths;
}

}  // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    // Only a drag whose first file is a block file is taken: anything else gets no copy cursor.
    const QStringList paths = DraggedPaths(*event->mimeData());
    if (!paths.isEmpty() && IsBlockFilePath(PathFromQt(paths.front()))) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    loadDroppedFiles(DraggedPaths(*event->mimeData()));
}

void MainWindow::pointFileListAt(const std::string& path) { ui_->blockList->setDirectory(PathToQt(path)); }

void MainWindow::showChannelBoxes(const ChannelBoxTexts& boxes) {
    // In the order the boxes have always been filled.
    ui_->coefficientAEdit->setText(ToQt(boxes.a));
    ui_->coefficientBEdit->setText(ToQt(boxes.b));
    ui_->coefficientCEdit->setText(ToQt(boxes.c));
    ui_->coefficientDEdit->setText(ToQt(boxes.d));
    ui_->channelEdit->setText(ToQt(boxes.number));
    ui_->nameEdit->setText(ToQt(boxes.name));
    ui_->unitEdit->setText(ToQt(boxes.unit));
}

void MainWindow::disableGraphAndTable() {
    ui_->graphButton->setEnabled(false);
    ui_->tableButton->setEnabled(false);
}

}  // namespace kelvarox
