#include "ui/Wod_3.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QShowEvent>

#include "core/Conversions.h"
#include "settings/BlockLayoutSettings.h"
#include "settings/WindowPosition.h"
#include "ui/Application.h"
#include "ui/CharacterFilter.h"
#include "ui/ErrorReport.h"
#include "ui/LabelFit.h"
#include "ui/TextCodec.h"
#include "ui/WindowFrame.h"
#include "ui_Wod_3.h"

namespace kelvarox {

namespace {

// The largest address the boxes keep while the user types: the last byte of a block.
constexpr int32_t kLastBlockByte = 511;

}  // namespace

TWod3::TWod3(KelvaroxApplication& app, QWidget* owner)
    : QWidget(owner), app_(app), ui_(std::make_unique<Ui::TWod3>()) {
    ui_->setupUi(this);
    MakeFixedWindow(this, QSize(398, 233));
    SetUpFonts();
    boxes_ = {ui_->Edit1, ui_->Edit2, ui_->Edit3, ui_->Edit4, ui_->Edit5, ui_->Edit6, ui_->Edit7, ui_->Edit8};
    auto* digits = new CharacterFilter(kDigitCharacters, this);
    for (QLineEdit* box : boxes_) {
        box->installEventFilter(digits);  // Edit1KeyPress, shared by the eight boxes
        box->installEventFilter(this);    // Edit1KeyUp ... Edit8KeyUp
        box->setAcceptDrops(false);
    }
    connect(ui_->Button1, &QPushButton::clicked, this, [this] { RunHandler(app_.Notify(), [this] { Button1Click(); }); });
    FormCreate();
}

TWod3::~TWod3() = default;

void TWod3::SetUpFonts() {
    setFont(FormFont(font(), 11, false));  // the controls marked bold in the form keep their bold
    ui_->Label1->setFont(FormFont(font(), 13, true));
    for (QLabel* label : findChildren<QLabel*>()) FitLabelText(*label);
}

void TWod3::FormCreate() {
    RunHandler(app_.Notify(), [this] {
        WidgetPosition position(this);
        RestoreWindowPosition(app_.Store(), position, "Form3");
    });
}

void TWod3::ShowSetup() {
    show();
    raise();
    activateWindow();
}

void TWod3::FormShow() { ShowBlockLayout(app_.State().Layout, *this); }

void TWod3::Button1Click() { SaveBlockLayout(app_.Store(), app_.State().Layout, *this); }

void TWod3::EditKeyUp(QLineEdit& box) {
    if (SettingIntegerOr(FromQt(box.text()), 1) > kLastBlockByte) box.clear();
}

void TWod3::showEvent(QShowEvent* event) {
    // The window system's own show events (a restore from minimized) do not refill the boxes.
    if (!event->spontaneous()) FormShow();
    QWidget::showEvent(event);
}

void TWod3::closeEvent(QCloseEvent* event) {
    WidgetPosition position(this);
    const bool saved = RunHandler(app_.Notify(), [&] { SaveWindowPosition(app_.Store(), position, "Form3"); });
    if (!saved) event->ignore();  // the window stays open
}

bool TWod3::eventFilter(QObject* watched, QEvent* event) {
    // One check per key released; a held key is checked when it is finally let go.
    if (event->type() == QEvent::KeyRelease && !static_cast<QKeyEvent*>(event)->isAutoRepeat()) {
        for (QLineEdit* box : boxes_) {
            if (box == watched) EditKeyUp(*box);
        }
    }
    return QWidget::eventFilter(watched, event);
}

// SetupWindowView

std::string TWod3::BoxText(int field) const { return FromQt(boxes_.at(static_cast<size_t>(field))->text()); }

void TWod3::SetBoxText(int field, const std::string& text) { boxes_.at(static_cast<size_t>(field))->setText(ToQt(text)); }

void TWod3::HideSetupWindow() { hide(); }

}  // namespace kelvarox
