#include "ui/Wod_2.h"

#include <QCloseEvent>

#include "settings/WindowPosition.h"
#include "ui/Application.h"
#include "ui/ErrorReport.h"
#include "ui/WindowFrame.h"

namespace kelvarox {

TWod2::TWod2(KelvaroxApplication& app) : app_(app) {
    setObjectName(QStringLiteral("TWod2"));
    setWindowTitle(QStringLiteral(" Kelvarox - Tarvane  /  Qarn"));
    MakeFixedWindow(this, QSize(719, 402));
    FormCreate();
}

void TWod2::FormCreate() {
    RunHandler(app_.Notify(), [this] {
        WidgetPosition position(this);
        RestoreWindowPosition(app_.Store(), position, "Form2");
    });
}

void TWod2::GraphAction(const MainBoxTexts& boxes) {
    if (!PrepareSeries(app_.State(), boxes)) return;
    show();
    if (isMinimized()) showNormal();
}

void TWod2::closeEvent(QCloseEvent* event) {
    WidgetPosition position(this);
    const bool saved = RunHandler(app_.Notify(), [&] { SaveWindowPosition(app_.Store(), position, "Form2"); });
    if (!saved) event->ignore();
}

}  // namespace kelvarox
