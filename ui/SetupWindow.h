#pragma once
// The setup window: the eight byte addresses of the block layout, shown when the window
// opens, checked while the user types, and applied and stored by Save.
#include <QWidget>
#include <array>
#include <memory>

#include "settings/SettingsViews.h"

class QLineEdit;

namespace Ui {
class SetupWindow;
}

namespace kelvarox {

class KelvaroxApplication;

class SetupWindow : public QWidget, private SetupWindowView {
    Q_OBJECT
public:
    // A secondary window of `owner`, created hidden at its stored position.
    SetupWindow(KelvaroxApplication& app, QWidget* owner);
    ~SetupWindow() override;

    Ui::SetupWindow& Form() { return *ui_; }

    // The menu command Setup: shows the window, modeless. A window already open stays as it is.
    void showSetup();
    // Save: applies and stores the eight addresses, then hides the window; the first box that
    // does not convert or cannot be stored raises its error, the boxes before it saved.
    void save();

    // The bound check, run on every key release in an address box: an
    // address above 511 empties the box. A text that is no integer counts as 1 and stays.
    static void EmptyIfBeyondBlock(QLineEdit& box);

protected:
    // Going from hidden to visible refills the boxes from the layout.
    void showEvent(QShowEvent* event) override;
    // Closing the window stores its position; the boxes are neither applied nor stored.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RestorePosition();
    void ShowLayout();
    void SetUpFonts();

    // SetupWindowView
    std::string BoxText(int field) const override;
    void SetBoxText(int field, const std::string& text) override;
    void HideSetupWindow() override;

    KelvaroxApplication& app_;
    std::unique_ptr<Ui::SetupWindow> ui_;
    std::array<QLineEdit*, 8> boxes_{};  // in the order of the block layout's fields
};

}  // namespace kelvarox
