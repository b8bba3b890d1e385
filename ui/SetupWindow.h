#pragma once
// The setup window: the eight byte addresses of the block layout, shown when the window
// opens, checked while the user types, and applied and stored by Save.
#include <QWidget>
#include <array>
#include <memory>

#include "core/WodBlock.h"

class QLineEdit;

namespace Ui {
class SetupWindow;
}

namespace kelvarox {

class Notifier;
class ProgramState;
class SettingsStore;

class SetupWindow : public QWidget {
    Q_OBJECT
public:
    // A secondary window of `owner` that edits the program's layout, created hidden at its stored position.
    SetupWindow(ProgramState& state, const SettingsStore& store, Notifier& notifier, QWidget* owner);
    ~SetupWindow() override;

public slots:
    // The menu command Setup: shows the window, modeless. A window already open stays as it is.
    void showSetup();
    // Save: applies and stores the eight addresses, then hides the window. The first box that
    // does not convert or cannot be stored is reported, the boxes before it saved, and the
    // window stays open.
    void save();

protected:
    // Going from hidden to visible refills the boxes from the layout.
    void showEvent(QShowEvent* event) override;
    // Closing the window stores its position (a failure is reported and the window closes all
    // the same); the boxes are neither applied nor stored.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setUpFonts();
    void showLayout();
    void saveLayout();

    ProgramState& state_;
    const SettingsStore& store_;
    Notifier& notifier_;
    std::unique_ptr<Ui::SetupWindow> ui_;
    std::array<QLineEdit*, BlockLayout::kFieldCount> boxes_{};  // in the order of the layout's fields
};

}  // namespace kelvarox
