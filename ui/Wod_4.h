#pragma once
// The data table window. For now: the hidden window with its caption, size and position.
#include <QWidget>

#include "core/Actions.h"

namespace kelvarox {

class KelvaroxApplication;

class TWod4 : public QWidget {
    Q_OBJECT
public:
    TWod4(KelvaroxApplication& app, QWidget* owner);

    // The Table action of the main window.
    void TableAction(const MainBoxTexts& boxes);

private:
    KelvaroxApplication& app_;
};

}  // namespace kelvarox
