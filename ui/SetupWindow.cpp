#include "ui/SetupWindow.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QShowEvent>

#include "core/Conversions.h"
#include "settings/BlockLayoutSettings.h"
#include "settings/SettingsNames.h"
#include "settings/WindowPosition.h"
#include "ui/Application.h"
#include "ui/CharacterFilter.h"
#include "ui/ErrorReport.h"
#include "ui/LabelFit.h"
#include "ui/TextCodec.h"
#include "ui/WindowFrame.h"
#include "ui_SetupWindow.h"

namespace kelvarox {

namespace {

// The largest address the boxes keep while the user types: the last byte of a block.
constexpr int32_t kLastBlockByte = 511;

}  // namespace

SetupWindow::SetupWindow(KelvaroxApplication& app, QWidget* owner)
    : QWidget(owner), app_(app), ui_(std::make_unique<Ui::SetupWindow>()) {
    ui_->setupUi(this);
    MakeFixedWindow(this, QSize(398, 233));
    SetUpFonts();
    boxes_ = {ui_->startAmDayEdit, ui_->endAmDayEdit, ui_->startOrbitEdit, ui_->endOrbitEdit, ui_->startMAEdit, ui_->endMAEdit, ui_->maStepEdit, ui_->channelEdit};
    auto* digits = new CharacterFilter(kDigitCharacters, this);
    for (QLineEdit* box : boxes_) {
        box->installEventFilter(digits);
        box->installEventFilter(this);  // the bound check on every key release
        box->setAcceptDrops(false);
    }
    connect(ui_->saveButton, &QPushButton::clicked, this, [this] { RunHandler(app_.Notify(), [this] { save(); }); });
    RestorePosition();
}

SetupWindow::~SetupWindow() = default;

void SetupWindow::SetUpFonts() {
    setFont(FormFont(font(), 11, false));  // the controls marked bold in the form keep their bold
    ui_->headingLabel->setFont(FormFont(font(), 13, true));
    for (QLabel* label : findChildren<QLabel*>()) FitLabelText(*label);
}

void SetupWindow::RestorePosition() {
    RunHandler(app_.Notify(), [this] {
        WidgetPosition position(this);
        RestoreWindowPosition(app_.Store(), position, kSetupWindowPrefix);
    });
}

void SetupWindow::showSetup() {
    show();
    raise();
    activateWindow();
}

void SetupWindow::ShowLayout() { ShowBlockLayout(app_.State().Layout, *this); }

void SetupWindow::save() { SaveBlockLayout(app_.Store(), app_.State().Layout, *this); }

void SetupWindow::EmptyIfBeyondBlock(QLineEdit& box) {
    if (SettingIntegerOr(FromQt(box.text()), 1) > kLastBlockByte) box.clear();
}

void SetupWindow::showEvent(QShowEvent* event) {
    // The window system's own show events (a restore from minimized) do not refill the boxes.
    if (!event->spontaneous()) ShowLayout();
    QWidget::showEvent(event);
}

void SetupWindow::closeEvent(QCloseEvent* event) {
    WidgetPosition position(this);
    const bool saved = RunHandler(app_.Notify(), [&] { SaveWindowPosition(app_.Store(), position, kSetupWindowPrefix); });
    if (!saved) event->ignore();  // the window stays open
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

// SetupWindowView

std::string SetupWindow::BoxText(int field) const { return FromQt(boxes_.at(static_cast<size_t>(field))->text()); }

void SetupWindow::SetBoxText(int field, const std::string& text) { boxes_.at(static_cast<size_t>(field))->setText(ToQt(text)); }

void SetupWindow::HideSetupWindow() { hide(); }

}  // namespace kelvarox
