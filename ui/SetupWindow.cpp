#include "ui/SetupWindow.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QShowEvent>

#include "core/Conversions.h"
#include "core/Errors.h"
#include "render/TextCodec.h"
#include "settings/BlockLayoutSettings.h"
#include "settings/SettingsNames.h"
#include "settings/WindowPosition.h"
#include "ui/CharacterFilter.h"
#include "ui/ErrorReport.h"
#include "ui/LabelFit.h"
#include "ui/ProgramState.h"
#include "ui/WindowFrame.h"
#include "ui_SetupWindow.h"

namespace kelvarox {

namespace {

// The bound check of an address box, run on every key release and whenever text is pasted
// into it: an address past the last byte of a block empties the box. A text that is no integer
// counts as 1 and stays, as it always has: Save then stops at that box and names its text.
void EmptyIfBeyondBlock(QLineEdit& box) {
    if (SettingIntegerOr(FromQt(box.text()), 1) > kLastBlockByte) box.clear();
}

}  // namespace

SetupWindow::SetupWindow(ProgramState& state, const SettingsStore& store, Notifier& notifier, QWidget* owner)
    : QWidget(owner), state_(state), store_(store), notifier_(notifier), ui_(std::make_unique<Ui::SetupWindow>()) {
    ui_->setupUi(this);
    MakeFixedWindow(this);
    setUpFonts();
    boxes_ = {ui_->startAmDayEdit, ui_->endAmDayEdit, ui_->startOrbitEdit, ui_->endOrbitEdit,
              ui_->startMAEdit,    ui_->endMAEdit,    ui_->maStepEdit,     ui_->channelEdit};
    auto* digits = new CharacterFilter(kDigitCharacters, this);
    for (QLineEdit* box : boxes_) {
        digits->watch(box);
        box->installEventFilter(this);  // the bound check on every key release
        box->setAcceptDrops(false);
    }
    connect(digits, &CharacterFilter::pasted, this, [](QLineEdit* box) { EmptyIfBeyondBlock(*box); });
    connect(ui_->saveButton, &QPushButton::clicked, this, &SetupWindow::save);
    RunHandler(notifier_, [this] { MoveTo(this, RestoreWindowPosition(store_, kSetupWindowPrefix)); });
}

SetupWindow::~SetupWindow() = default;

void SetupWindow::setUpFonts() {
    setFont(FormFont(font(), 11, false));  // the controls marked bold in the form keep their bold
    ui_->headingLabel->setFont(FormFont(font(), 13, true));
    for (QLabel* label : findChildren<QLabel*>()) FitLabelText(*label);
}

void SetupWindow::showSetup() {
    show();
    raise();
    activateWindow();
}

void SetupWindow::showLayout() {
    const auto texts = BlockLayoutBoxTexts(state_.Layout());
    for (size_t i = 0; i < boxes_.size(); ++i)
        if (texts[i]) boxes_[i]->setText(ToQt(*texts[i]));
}

void SetupWindow::save() {
    RunHandler(notifier_, [this] { saveLayout(); });
}

void SetupWindow::saveLayout() {
    BlockLayoutTexts texts;
    for (size_t i = 0; i < boxes_.size(); ++i) texts[i] = FromQt(boxes_[i]->text());
    const BlockLayoutSave saved = SaveBlockLayout(store_, texts, state_.Layout());
    state_.SetLayout(saved.layout);
    if (!saved.error.empty()) throw KelvaroxError(saved.error);
    hide();  // not a close: the position is not stored
}

void SetupWindow::showEvent(QShowEvent* event) {
    // The window system's own show events (a restore from minimized) do not refill the boxes.
    if (!event->spontaneous()) showLayout();
    QWidget::showEvent(event);
}

void SetupWindow::closeEvent(QCloseEvent* event) {
    // A position that cannot be stored is reported, and the window closes all the same.
    RunHandler(notifier_, [this] { SaveWindowPosition(store_, kSetupWindowPrefix, PositionOf(this), StateOf(this)); });
    QWidget::closeEvent(event);
}

bool SetupWindow::eventFilter(QObject* watched, QEvent* event) {
    // One check per key released; a held key is checked when it is finally let go.
    if (event->type() == QEvent::KeyRelease && !static_cast<QKeyEvent*>(event)->isAutoRepeat()) {
        for (QLineEdit* box : boxes_) {
            if (box == watched) EmptyIfBeyondBlock(*box);
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace kelvarox
