#pragma once
// The setup window. For now: the hidden window with its caption, size and stored position.
#include <QWidget>

namespace kelvarox {

class KelvaroxApplication;

class TWod3 : public QWidget {
    Q_OBJECT
public:
    TWod3(KelvaroxApplication& app, QWidget* owner);

    // The menu command Setup: shows the window, modeless.
    void ShowSetup();

protected:
    void closeEvent(QCloseEvent* event) override;  // FormClose

private:
    void FormCreate();

    KelvaroxApplication& app_;
};

}  // namespace kelvarox
