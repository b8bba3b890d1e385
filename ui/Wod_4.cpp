#include "ui/Wod_4.h"

#include "ui/Application.h"
#include "ui/WindowFrame.h"

namespace kelvarox {

TWod4::TWod4(KelvaroxApplication& app, QWidget* owner) : QWidget(owner), app_(app) {
    setObjectName(QStringLiteral("TWod4"));
    setWindowTitle(QStringLiteral("Data Table  Kelvarox / Qarn "));
    MakeFixedWindow(this, QSize(312, 299));
    move(244, 224);
}

void TWod4::TableAction(const MainBoxTexts& boxes) {
    if (!PrepareSeries(app_.State(), boxes)) return;
    show();
    if (isMinimized()) showNormal();
}

}  // namespace kelvarox
