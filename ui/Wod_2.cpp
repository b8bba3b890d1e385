#include "ui/Wod_2.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPainter>
#include <cmath>

#include "core/GraphAction.h"
#include "settings/WindowPosition.h"
#include "ui/Application.h"
#include "ui/ErrorReport.h"
#include "ui/GraphPainter.h"
#include "ui/LabelFit.h"
#include "ui/TextCodec.h"
#include "ui/WindowFrame.h"
#include "ui_Wod_2.h"

namespace kelvarox {

namespace {

constexpr QSize kClientSize(719, 402);

// Labels whose size follows their text.
bool IsAutoSized(const QLabel* label) {
    static const char* const names[] = {"Label14", "Label16", "Label5", "Label18", "Label4", "Label6"};
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

TWod2::TWod2(KelvaroxApplication& app) : TWod2(app.State(), app.Store(), app.Notify()) {}

TWod2::TWod2(ProgramState& state, const SettingsStore& store, Notifier& notifier)
    : state_(state), store_(store), notifier_(notifier), ui_(std::make_unique<Ui::TWod2>()) {
    ui_->setupUi(this);
    MakeFixedWindow(this, kClientSize);
    SetUpFonts();
    ScaleForm(state_.DisplayScale);
    for (QLabel* label : findChildren<QLabel*>()) FitText(label);
    connect(ui_->Image1, &GraphImage::MouseMoved, this, &TWod2::Image1MouseMove);
    FormCreate();
}

TWod2::~TWod2() = default;

void TWod2::SetUpFonts() {
    const QFont base = font();
    setFont(FormFont(base, 11, false));
    ui_->Label7->setFont(FormFont(base, 15, true));
    for (QLabel* label : {ui_->Label14, ui_->Label15, ui_->Label16, ui_->Label17, ui_->Label13, ui_->Label5})
        label->setFont(FormFont(base, 12, true));
    ui_->Label18->setFont(FormFont(base, 11, true));
    for (QLabel* label : {ui_->Label4, ui_->Label6}) label->setFont(FormFont(base, 13, true));
}

void TWod2::ScaleForm(float scale) {
    if (scale == 1.0f || !std::isfinite(scale) || scale <= 0.0f) return;
    const auto scaled = [scale](int v) { return ScaleCoordinate(v, scale); };
    MakeFixedWindow(this, QSize(scaled(kClientSize.width()), scaled(kClientSize.height())));
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

void TWod2::FormCreate() {
    RunHandler(notifier_, [this] {
        WidgetPosition position(this);
        RestoreWindowPosition(store_, position, "Form2");
    });
}

void TWod2::GraphAction(const MainBoxTexts& boxes) {
    const std::optional<GraphPicture> picture = BuildGraphPicture(state_, boxes);
    if (!picture) return;
    Draw(*picture);
    if (isMinimized()) showNormal();
}

void TWod2::Draw(const GraphPicture& picture) {
    bool showWindow = false;
    {
        QPainter painter(&ui_->Image1->Canvas());
        GraphStepPainter canvas(painter);
        for (const DrawStep& step : picture.steps) {
            if (drawObserver) drawObserver(step);
            if (canvas.Paint(step)) continue;
            if (step.kind == DrawStep::Kind::SetLabel) SetLabelText(step.label, step.text);
            else showWindow = true;
        }
    }
    ui_->Image1->update();
    readout_ = picture.readout;
    if (showWindow) {
        show();
        // In front of the other windows; a screen without windows has no order to change.
        if (QGuiApplication::platformName() != QLatin1String("offscreen")) raise();
    }
}

void TWod2::SetLabelText(GraphLabel label, const std::string& text) {
    QLabel* target = LabelOf(label);
    target->setText(ToQt(text));
    FitText(target);
}

QLabel* TWod2::LabelOf(GraphLabel label) const {
    switch (label) {
        case GraphLabel::Label1: return ui_->Label1;
        case GraphLabel::Label2: return ui_->Label2;
        case GraphLabel::Label3: return ui_->Label3;
        case GraphLabel::Label4: return ui_->Label4;
        case GraphLabel::Label5: return ui_->Label5;
        case GraphLabel::Label6: return ui_->Label6;
        case GraphLabel::Label7: return ui_->Label7;
        case GraphLabel::Label8: return ui_->Label8;
        case GraphLabel::Label9: return ui_->Label9;
        case GraphLabel::Label13: return ui_->Label13;
        case GraphLabel::Label18: return ui_->Label18;
    }
    return ui_->Label1;
}

void TWod2::Image1MouseMove(Qt::KeyboardModifiers, int x, int y) {
    const CursorReadout readout = ReadCursor(readout_, x, y);
    ui_->Label15->setText(ToQt(readout.orbitMA));
    ui_->Label17->setText(ToQt(readout.value));
    FitText(ui_->Label15);
    FitText(ui_->Label17);
}

void TWod2::closeEvent(QCloseEvent* event) {
    WidgetPosition position(this);
    const bool saved = RunHandler(notifier_, [&] { SaveWindowPosition(store_, position, "Form2"); });
    if (!saved) event->ignore();
}

}  // namespace kelvarox
