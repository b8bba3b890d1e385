#include "ui/Wod_1.h"

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
#include "settings/WindowPosition.h"
#include "ui/Application.h"
#include "ui/CharacterFilter.h"
#include "ui/DisplayScale.h"
#include "ui/ErrorReport.h"
#include "ui/TextCodec.h"
#include "ui/WindowFrame.h"
#include "ui/Wod_2.h"
#include "ui/Wod_3.h"
#include "ui/Wod_4.h"
#include "ui_Wod_1.h"

namespace kelvarox {

const char* const TWod1::kHint = " WOD files may be drag/dropped on to main window. ";

TWod1::TWod1(KelvaroxApplication& app) : app_(app), ui_(std::make_unique<Ui::TWod1>()) {
    ui_->setupUi(this);
    MakeFixedWindow(this, QSize(388, 226));
    SetUpFonts();
    auto* coefficientFilter = new CharacterFilter(kCoefficientCharacters, this);
    for (QLineEdit* box : {ui_->Edit2, ui_->Edit3, ui_->Edit7, ui_->Edit8}) box->installEventFilter(coefficientFilter);
    auto* hexFilter = new CharacterFilter(kHexCharacters, this);
    for (QLineEdit* box : {ui_->Edit9, ui_->Edit5}) box->installEventFilter(hexFilter);
    // Dropped files go to the window wherever they land on it.
    for (QLineEdit* box : findChildren<QLineEdit*>()) box->setAcceptDrops(false);
    setToolTip(kHint);
    for (QWidget* child : ui_->centralwidget->findChildren<QWidget*>()) child->setToolTip(kHint);
    ConnectHandlers();
    FormCreate();
}

TWod1::~TWod1() = default;

void TWod1::SetUpFonts() {
    setFont(FormFont(font(), 11, true));
    const QFont large = FormFont(font(), 15, true);
    for (QLabel* label : {ui_->Label7, ui_->Label4, ui_->Label9, ui_->Label10}) label->setFont(large);
    for (QLabel* label : findChildren<QLabel*>()) label->adjustSize();
}

void TWod1::ConnectHandlers() {
    auto guarded = [this](void (TWod1::*handler)()) {
        return [this, handler] { RunHandler(app_.Notify(), [this, handler] { (this->*handler)(); }); };
    };
    connect(ui_->Button2, &QPushButton::clicked, this, guarded(&TWod1::Button2Click));
    connect(ui_->Button1, &QPushButton::clicked, this, guarded(&TWod1::Button1Click));
    connect(ui_->Button3, &QPushButton::clicked, this, guarded(&TWod1::Button3Click));
    connect(ui_->FileListBox1, &FileListBox::ItemClicked, this, guarded(&TWod1::FileListBox1Click));
    connect(ui_->FileListBox1, &FileListBox::ItemDoubleClicked, this, guarded(&TWod1::FileListBox1DblClick));
    connect(ui_->FileListBox1, &FileListBox::Changed, this, guarded(&TWod1::FileListBox1Change));
    connect(ui_->About1, &QAction::triggered, this, guarded(&TWod1::About1Click));
    connect(ui_->Setup1, &QAction::triggered, this, guarded(&TWod1::Setup1Click));
    connect(ui_->Exit1, &QAction::triggered, this, guarded(&TWod1::Exit1Click));
}

void TWod1::FormCreate() {
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
        LineEditBox orbitHiByte(ui_->Edit5);
        LoadStartupSettings(app_.Store(), state, orbitHiByte);
    });
    RunHandler(notifier, [&] {
        WidgetPosition position(this);
        RestoreWindowPosition(app_.Store(), position, "Form1");
    });
}

bool TWod1::LoadSucceeded() const {
    return app_.State().Block.HasSignature() && !app_.State().LoadFailed;
}

void TWod1::Button2Click() {
    app_.TableWindow().EndFill();  // a table being filled stops before another block comes in
    app_.State().LoadFailed = false;
    LoadInfo(app_.State(), *this);
    if (LoadSucceeded()) {
        ui_->Button1->setEnabled(true);
        ui_->Button3->setEnabled(true);
    }
}

void TWod1::Button1Click() {
    app_.TableWindow().EndFill();
    app_.GraphWindow().GraphAction(BoxTexts());
}

void TWod1::Button3Click() { app_.TableWindow().TableAction(BoxTexts()); }

void TWod1::FileListBox1Click() {
    const std::string& directory = app_.State().TelemetryDirectory;
    if (!directory.empty()) PointFileListAt(directory);
    app_.State().BlockFilePath = PathFromQt(ui_->FileListBox1->SelectedPath());
}

void TWod1::FileListBox1DblClick() {
    Button2Click();
    // A file that fails to load never opens the graph of the block loaded before it.
    if (LoadSucceeded()) Button1Click();
}

void TWod1::FileListBox1Change() {
    for (QLineEdit* box : {ui_->Edit1, ui_->Edit6, ui_->Edit9, ui_->Edit2, ui_->Edit3, ui_->Edit7}) box->clear();
}

void TWod1::About1Click() {
    app_.Notify().ShowInformation(
        // The project's version and the release letter that the box has always shown after it.
        "Kelvarox Ver " KELVAROX_VERSION "d  -  WOD telemetry decoder in C++ and Qt\n"
        "\n"
        "             Kelvarox developers  /  Qarn\n"
        "             Last updated: 2001/10/30");
}

void TWod1::Setup1Click() { app_.SetupWindow().ShowSetup(); }

void TWod1::Exit1Click() { app_.Quit(); }

void TWod1::WmDropFiles(const QStringList& paths) {
    if (paths.isEmpty()) return;
    const QString& path = paths.front();
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot < 0 ? QString() : name.mid(dot).toLower();
    if (extension != QLatin1String(".dat") && extension != QLatin1String(".tlm")) return;
    app_.State().BlockFilePath = PathFromQt(path);
    ui_->FileListBox1->ClearSelectionQuietly();
    Button2Click();
    if (LoadSucceeded()) Button1Click();
}

MainBoxTexts TWod1::BoxTexts() const {
    MainBoxTexts b;
    b.name = FromQt(ui_->Edit1->text());
    b.unit = FromQt(ui_->Edit6->text());
    b.number = FromQt(ui_->Edit9->text());
    b.a = FromQt(ui_->Edit2->text());
    b.b = FromQt(ui_->Edit3->text());
    b.c = FromQt(ui_->Edit7->text());
    b.d = FromQt(ui_->Edit8->text());
    b.orbitHiByte = FromQt(ui_->Edit5->text());
    return b;
}

void TWod1::closeEvent(QCloseEvent* event) {
    WidgetPosition position(this);
    if (position.IsInNormalState()) {
        const bool saved = RunHandler(app_.Notify(), [&] {
            SaveWindowPosition(app_.Store(), position, "Form1");
            LineEditBox orbitHiByte(ui_->Edit5);
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

void TWod1::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TWod1::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) paths.push_back(url.toLocalFile());
    }
    event->acceptProposedAction();
    RunHandler(app_.Notify(), [&] { WmDropFiles(paths); });
}

// LoaderView

std::string TWod1::OrbitHiByteText() const { return FromQt(ui_->Edit5->text()); }

void TWod1::SetBoxText(ChannelBox box, const std::string& text) {
    QLineEdit* edit = nullptr;
    switch (box) {
        case ChannelBox::Name: edit = ui_->Edit1; break;
        case ChannelBox::Unit: edit = ui_->Edit6; break;
        case ChannelBox::Number: edit = ui_->Edit9; break;
        case ChannelBox::A: edit = ui_->Edit2; break;
        case ChannelBox::B: edit = ui_->Edit3; break;
        case ChannelBox::C: edit = ui_->Edit7; break;
        case ChannelBox::D: edit = ui_->Edit8; break;
    }
    edit->setText(ToQt(text));
}

void TWod1::DisableGraphAndTable() {
    ui_->Button1->setEnabled(false);
    ui_->Button3->setEnabled(false);
}

void TWod1::ShowInformation(const std::string& message) { app_.Notify().ShowInformation(message); }

// TelemetryDirectoryView

std::optional<std::string> TWod1::AskForText(const std::string& caption, const std::string& prompt,
                                             const std::string& initialText) {
    return app_.Notify().AskForText(caption, prompt, initialText);
}

void TWod1::PointFileListAt(const std::string& path) { ui_->FileListBox1->SetDirectory(PathToQt(path)); }

}  // namespace kelvarox
