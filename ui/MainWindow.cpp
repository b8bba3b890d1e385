#include "ui/MainWindow.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLocale>
#include <QMimeData>
#include <QScreen>
#include <QUrl>
#include <clocale>

#include "settings/StartupSettings.h"
#include "settings/TelemetryDirectory.h"
#include "settings/SettingsNames.h"
#include "settings/WindowPosition.h"
#include "ui/Application.h"
#include "ui/CharacterFilter.h"
#include "ui/DisplayScale.h"
#include "ui/ErrorReport.h"
#include "ui/TextCodec.h"
#include "ui/WindowFrame.h"
#include "ui/GraphWindow.h"
#include "ui/SetupWindow.h"
#include "ui/TableWindow.h"
#include "ui_MainWindow.h"

namespace kelvarox {

const char* const MainWindow::kHint = " WOD files may be drag/dropped on to main window. ";

MainWindow::MainWindow(KelvaroxApplication& app) : app_(app), ui_(std::make_unique<Ui::MainWindow>()) {
    ui_->setupUi(this);
    MakeFixedWindow(this, QSize(388, 226));
    SetUpFonts();
    auto* coefficientFilter = new CharacterFilter(kCoefficientCharacters, this);
    for (QLineEdit* box : {ui_->coefficientAEdit, ui_->coefficientBEdit, ui_->coefficientCEdit, ui_->coefficientDEdit}) box->installEventFilter(coefficientFilter);
    auto* hexFilter = new CharacterFilter(kHexCharacters, this);
    for (QLineEdit* box : {ui_->channelEdit, ui_->orbitHiByteEdit}) box->installEventFilter(hexFilter);
    // Dropped files go to the window wherever they land on it.
    for (QLineEdit* box : findChildren<QLineEdit*>()) box->setAcceptDrops(false);
    setToolTip(kHint);
    for (QWidget* child : ui_->centralwidget->findChildren<QWidget*>()) child->setToolTip(kHint);
    ConnectHandlers();
    StartUp();
}

MainWindow::~MainWindow() = default;

void MainWindow::SetUpFonts() {
    setFont(FormFont(font(), 11, true));
    const QFont large = FormFont(font(), 15, true);
    for (QLabel* label : {ui_->dataChannelLabel, ui_->cubeTermLabel, ui_->squareTermLabel, ui_->linearTermLabel}) label->setFont(large);
    for (QLabel* label : findChildren<QLabel*>()) label->adjustSize();
}

void MainWindow::ConnectHandlers() {
    auto guarded = [this](void (MainWindow::*handler)()) {
        return [this, handler] { RunHandler(app_.Notify(), [this, handler] { (this->*handler)(); }); };
    };
    connect(ui_->loadButton, &QPushButton::clicked, this, guarded(&MainWindow::load));
    connect(ui_->graphButton, &QPushButton::clicked, this, guarded(&MainWindow::showGraph));
    connect(ui_->tableButton, &QPushButton::clicked, this, guarded(&MainWindow::showTable));
    connect(ui_->blockList, &FileListBox::ItemClicked, this, guarded(&MainWindow::selectBlockFile));
    connect(ui_->blockList, &FileListBox::ItemDoubleClicked, this, guarded(&MainWindow::loadAndShowGraph));
    connect(ui_->blockList, &FileListBox::Changed, this, guarded(&MainWindow::clearChannelBoxes));
    connect(ui_->aboutAction, &QAction::triggered, this, guarded(&MainWindow::showAbout));
    connect(ui_->setupAction, &QAction::triggered, this, guarded(&MainWindow::showSetup));
    connect(ui_->exitAction, &QAction::triggered, this, guarded(&MainWindow::exitProgram));
}

void MainWindow::StartUp() {
    // Each step runs even when an earlier one failed, so that the layout and the Orbit HiByte
    // always hold their stored or default values.
    ProgramState& state = app_.State();
    Notifier& notifier = app_.Notify();
    RunHandler(notifier, [] {
        // "." is the decimal separator whatever the user's locale.
        QLocale::setDefault(QLocale::c());
        std::setlocale(LC_NUMERIC, "C");
    });
    setAcceptDrops(true);
    RunHandler(notifier, [&] { FindTelemetryDirectory(app_.Store(), state, *this); });
    RunHandler(notifier, [&] {
        const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
        state.DisplayScale = screen ? DisplayScaleFor(screen->logicalDotsPerInch()) : 1.0f;
    });
    RunHandler(notifier, [&] {
        LineEditBox orbitHiByte(ui_->orbitHiByteEdit);
        LoadStartupSettings(app_.Store(), state, orbitHiByte);
    });
    RunHandler(notifier, [&] {
        WidgetPosition position(this);
        RestoreWindowPosition(app_.Store(), position, kMainWindowPrefix);
    });
}

bool MainWindow::LoadSucceeded() const {
    return app_.State().Block.HasSignature() && !app_.State().LoadFailed;
}

void MainWindow::load() {
    app_.Table().EndFill();  // a table being filled stops before another block comes in
    app_.State().LoadFailed = false;
    LoadInfo(app_.State(), *this);
    if (LoadSucceeded()) {
        ui_->graphButton->setEnabled(true);
        ui_->tableButton->setEnabled(true);
    }
}

void MainWindow::showGraph() {
    app_.Table().EndFill();
    app_.Graph().drawGraph(BoxTexts());
}

void MainWindow::showTable() { app_.Table().showTable(BoxTexts()); }

void MainWindow::selectBlockFile() {
    const std::string& directory = app_.State().TelemetryDirectory;
    if (!directory.empty()) PointFileListAt(directory);
    app_.State().BlockFilePath = PathFromQt(ui_->blockList->SelectedPath());
}

void MainWindow::loadAndShowGraph() {
    load();
    // A file that fails to load never opens the graph of the block loaded before it.
    if (LoadSucceeded()) showGraph();
}

void MainWindow::clearChannelBoxes() {
    for (QLineEdit* box : {ui_->nameEdit, ui_->unitEdit, ui_->channelEdit, ui_->coefficientAEdit, ui_->coefficientBEdit, ui_->coefficientCEdit}) box->clear();
}

void MainWindow::showAbout() {
    app_.Notify().ShowInformation(
        // The project's version and the release letter that the box has always shown after it.
        "Kelvarox Ver " KELVAROX_VERSION "d  -  WOD telemetry decoder in C++ and Qt\n"
        "\n"
        "             Kelvarox developers  /  Qarn\n"
        "             Last updated: 2001/10/30");
}

void MainWindow::showSetup() { app_.Setup().showSetup(); }

void MainWindow::exitProgram() { app_.Quit(); }

void MainWindow::loadDroppedFiles(const QStringList& paths) {
    if (paths.isEmpty()) return;
    const QString& path = paths.front();
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot < 0 ? QString() : name.mid(dot).toLower();
    if (extension != QLatin1String(".dat") && extension != QLatin1String(".tlm")) return;
    app_.State().BlockFilePath = PathFromQt(path);
    ui_->blockList->ClearSelectionQuietly();
    load();
    if (LoadSucceeded()) showGraph();
}

ChannelBoxTexts MainWindow::BoxTexts() const {
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
    WidgetPosition position(this);
    if (position.IsInNormalState()) {
        const bool saved = RunHandler(app_.Notify(), [&] {
            SaveWindowPosition(app_.Store(), position, kMainWindowPrefix);
            LineEditBox orbitHiByte(ui_->orbitHiByteEdit);
            SaveOrbitHiByte(app_.Store(), orbitHiByte);
        });
        if (!saved) {  // the window stays open; Exit still ends the program
            event->ignore();
            return;
        }
    }
    event->accept();
    app_.Quit();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) paths.push_back(url.toLocalFile());
    }
    event->acceptProposedAction();
    RunHandler(app_.Notify(), [&] { loadDroppedFiles(paths); });
}

// LoaderView

std::string MainWindow::OrbitHiByteText() const { return FromQt(ui_->orbitHiByteEdit->text()); }

void MainWindow::SetBoxText(ChannelBox box, const std::string& text) {
    QLineEdit* edit = nullptr;
    switch (box) {
        case ChannelBox::Name: edit = ui_->nameEdit; break;
        case ChannelBox::Unit: edit = ui_->unitEdit; break;
        case ChannelBox::Number: edit = ui_->channelEdit; break;
        case ChannelBox::A: edit = ui_->coefficientAEdit; break;
        case ChannelBox::B: edit = ui_->coefficientBEdit; break;
        case ChannelBox::C: edit = ui_->coefficientCEdit; break;
        case ChannelBox::D: edit = ui_->coefficientDEdit; break;
    }
    edit->setText(ToQt(text));
}

void MainWindow::DisableGraphAndTable() {
    ui_->graphButton->setEnabled(false);
    ui_->tableButton->setEnabled(false);
}

void MainWindow::ShowInformation(const std::string& message) { app_.Notify().ShowInformation(message); }

// TelemetryDirectoryView

std::optional<std::string> MainWindow::AskForText(const std::string& caption, const std::string& prompt,
                                             const std::string& initialText) {
    return app_.Notify().AskForText(caption, prompt, initialText);
}

void MainWindow::PointFileListAt(const std::string& path) { ui_->blockList->SetDirectory(PathToQt(path)); }

}  // namespace kelvarox
