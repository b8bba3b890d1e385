#include "ui/GraphWindow.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QPainter>
#include <cmath>

#include "core/Errors.h"
#include "core/GraphAction.h"
#include "settings/SettingsNames.h"
#include "settings/WindowPosition.h"
#include "ui/ErrorReport.h"
#include "ui/GraphPainter.h"
#include "ui/LabelFit.h"
#include "ui/Notifier.h"
#include "ui/PictureFile.h"
#include "ui/TextCodec.h"
#include "ui/WindowFrame.h"
#include "ui_GraphWindow.h"

namespace kelvarox {

namespace {

// Labels whose size follows their text. The others keep the size of the form; the drawn ones
// among them start with placeholder texts ("Label1" ...) that nobody sees, as the window is
// hidden until the first drawing sets them.
bool IsAutoSized(const QLabel* label) {
    static const char* const names[] = {"orbitMACaptionLabel", "valueCaptionLabel", "startOrbitLabel",
                                        "endOrbitLabel",       "startDateLabel",    "endDateLabel"};
    for (const char* name : names) {
        if (label->objectName() == QLatin1String(name)) return true;
    }
    return false;
}

// A label laid out for one font and shown in another keeps its text whole: a text wider
// than the label widens it, away from the edge its alignment holds.
void FitText(QLabel* label) {
    if (IsAutoSized(label)) {
        label->adjustSize();
        return;
    }
    if (label->wordWrap()) return;  // its text wraps instead
    FitLabelText(*label);
}

}  // namespace

GraphWindow::GraphWindow(ProgramState& state, const SettingsStore& store, Notifier& notifier)
    : state_(state), store_(store), notifier_(notifier), ui_(std::make_unique<Ui::GraphWindow>()) {
    ui_->setupUi(this);
    MakeFixedWindow(this);
    SetUpFonts();
    ScaleToDisplay(state_.DisplayScale);
    for (QLabel* label : findChildren<QLabel*>()) FitText(label);
    connect(ui_->graphImage, &GraphImage::MouseMoved, this, &GraphWindow::showReadout);
    auto* saveAction = new QAction(QStringLiteral("Save Image..."), this);
    saveAction->setObjectName(QStringLiteral("saveImageAction"));
    connect(saveAction, &QAction::triggered, this, &GraphWindow::saveImage);
    auto* copyAction = new QAction(QStringLiteral("Copy"), this);
    copyAction->setObjectName(QStringLiteral("copyAction"));
    connect(copyAction, &QAction::triggered, this, &GraphWindow::copyImage);
    addActions({saveAction, copyAction});
    setContextMenuPolicy(Qt::ActionsContextMenu);
    RunHandler(notifier_, [this] { MoveTo(this, RestoreWindowPosition(store_, kGraphWindowPrefix)); });
}

GraphWindow::~GraphWindow() = default;

void GraphWindow::SetUpFonts() {
    const QFont base = font();
    setFont(FormFont(base, 11, false));
    ui_->channelNameLabel->setFont(FormFont(base, 15, true));
    for (QLabel* label : {ui_->orbitMACaptionLabel, ui_->orbitMALabel, ui_->valueCaptionLabel, ui_->valueLabel,
                          ui_->unitLabel, ui_->startOrbitLabel})
        label->setFont(FormFont(base, 12, true));
    ui_->endOrbitLabel->setFont(FormFont(base, 11, true));
    for (QLabel* label : {ui_->startDateLabel, ui_->endDateLabel}) label->setFont(FormFont(base, 13, true));
}

void GraphWindow::ScaleToDisplay(float scale) {
    if (scale == 1.0f || !std::isfinite(scale) || scale <= 0.0f) return;
    const auto scaled = [scale](int v) { return ScaleCoordinate(v, scale); };
    setFixedSize(scaled(width()), scaled(height()));
    for (QWidget* child : findChildren<QWidget*>()) {
        const QRect r = child->geometry();
        child->setGeometry(scaled(r.x()), scaled(r.y()), scaled(r.width()), scaled(r.height()));
        QFont font = child->font();
        if (font.pixelSize() > 0) {
            font.setPixelSize(std::max(1, scaled(font.pixelSize())));
            child->setFont(font);
        }
    }
}

void GraphWindow::drawGraph(const ChannelBoxTexts& boxes) {
    const std::optional<GraphPicture> picture = BuildGraphPicture(state_, boxes);
    if (!picture) return;
    Draw(*picture);
    if (isMinimized()) showNormal();
}

void GraphWindow::Draw(const GraphPicture& picture) {
    bool showWindow = false;
    {
        QPainter painter(&ui_->graphImage->Canvas());
        GraphStepPainter canvas(painter);
        for (const DrawStep& step : picture.steps) {
            if (canvas.Paint(step)) continue;
            if (step.kind == DrawStep::Kind::SetLabel) SetLabelText(step.label, step.text);
            else showWindow = true;
        }
    }
    ui_->graphImage->SetSteps(picture.steps);
    ui_->graphImage->update();
    readout_ = picture.readout;
    if (showWindow) {
        show();
        raise();  // in front of the other windows
    }
}

void GraphWindow::SetLabelText(GraphLabel label, const std::string& text) {
    QLabel* target = LabelOf(label);
    target->setText(ToQt(text));
    FitText(target);
}

QLabel* GraphWindow::LabelOf(GraphLabel label) const {
    switch (label) {
        case GraphLabel::ChannelName: return ui_->channelNameLabel;
        case GraphLabel::Unit: return ui_->unitLabel;
        case GraphLabel::Level0: return ui_->level0Label;
        case GraphLabel::Level1: return ui_->level1Label;
        case GraphLabel::Level2: return ui_->level2Label;
        case GraphLabel::Level3: return ui_->level3Label;
        case GraphLabel::Level4: return ui_->level4Label;
        case GraphLabel::StartOrbit: return ui_->startOrbitLabel;
        case GraphLabel::EndOrbit: return ui_->endOrbitLabel;
        case GraphLabel::StartDate: return ui_->startDateLabel;
        case GraphLabel::EndDate: return ui_->endDateLabel;
    }
    return ui_->channelNameLabel;
}

void GraphWindow::showReadout(Qt::KeyboardModifiers, int x, int y) {
    const CursorReadout readout = ReadCursor(readout_, x, y);
    ui_->orbitMALabel->setText(ToQt(readout.orbitMA));
    ui_->valueLabel->setText(ToQt(readout.value));
    FitText(ui_->orbitMALabel);
    FitText(ui_->valueLabel);
}

void GraphWindow::saveImage() {
    RunHandler(notifier_, [this] {
        const auto path = notifier_.AskForSaveFile("Save Image", "graph.png", "PNG image (*.png);;SVG picture (*.svg)");
        if (!path) return;
        const auto format = PictureFormatOf(PathToQt(*path));
        if (!format || *format == QLatin1String("PDF"))
            throw KelvaroxError(NoPictureSuffixMessage(*path, kImagePictureSuffixes));
        SaveWholeFile(*path, EncodePicture(size(), *format, windowTitle(), [this](QPainter& p) { render(&p); }));
    });
}

void GraphWindow::copyImage() {
    QImage image(size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    render(&image);
    QGuiApplication::clipboard()->setImage(image);
}

void GraphWindow::closeEvent(QCloseEvent* event) {
    const bool saved = RunHandler(notifier_, [this] {
        SaveWindowPosition(store_, kGraphWindowPrefix, PositionOf(this), StateOf(this));
    });
    if (!saved) event->ignore();
}

}  // namespace kelvarox
