#include "ui/Wod_3.h"

#include <QCloseEvent>

#include "settings/WindowPosition.h"
#include "ui/Application.h"
#include "ui/ErrorReport.h"
#include "ui/WindowFrame.h"

namespace kelvarox {

TWod3::TWod3(KelvaroxApplication& app, QWidget* owner) : QWidget(owner), app_(app) {
    setObjectName(QStringLiteral("TWod3"));
    setWindowTitle(QStringLiteral("Setup         Kelvarox Decoder / Qarn"));
    MakeFixedWindow(this, QSize(398, 233));
    FormCreate();
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
}

void TWod3::closeEvent(QCloseEvent* event) {
    WidgetPosition position(this);
    const bool saved = RunHandler(app_.Notify(), [&] { SaveWindowPosition(app_.Store(), position, "Form3"); });
    if (!saved) event->ignore();
}

}  // namespace kelvarox
