#pragma once
// The graph window. For now: the hidden window with its caption, size and stored position.
#include <QWidget>

#include "core/Actions.h"

namespace kelvarox {

class KelvaroxApplication;

class TWod2 : public QWidget {
    Q_OBJECT
public:
    explicit TWod2(KelvaroxApplication& app);

    // The Graph action of the main window.
    void GraphAction(const MainBoxTexts& boxes);

protected:
    void closeEvent(QCloseEvent* event) override;  // FormClose

private:
    void FormCreate();

    KelvaroxApplication& app_;
};

}  // namespace kelvarox
