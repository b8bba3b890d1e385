#pragma once
// The setup window: the eight byte addresses of the block layout, shown when the window
// opens, checked while the user types, and applied and stored by Save.
#include <QWidget>
#include <array>
#include <memory>

#include "settings/SettingsViews.h"

class QLineEdit;

namespace Ui {
class TWod3;
}

namespace kelvarox {

class KelvaroxApplication;

class TWod3 : public QWidget, private SetupWindowView {
    Q_OBJECT
public:
    // A secondary window of `owner`, created hidden at its stored position.
    TWod3(KelvaroxApplication& app, QWidget* owner);
    ~TWod3() override;

    Ui::TWod3& Form() { return *ui_; }

    // The menu command Setup: shows the window, modeless. A window already open stays as it is.
    void ShowSetup();
    // Save: applies and stores the eight addresses, then hides the window; the first box that
    // does not convert or cannot be stored raises its error, the boxes before it saved.
    void Button1Click();

    // The bound check of Edit1KeyUp ... Edit8KeyUp, run on every key release in a box: an
    // address above 511 empties the box. A text that is no integer counts as 1 and stays.
    static void EditKeyUp(QLineEdit& box);

protected:
    void showEvent(QShowEvent* event) override;    // FormShow, from hidden to visible only
    void closeEvent(QCloseEvent* event) override;  // FormClose
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void SetUpFonts();

    // SetupWindowView
    std::string BoxText(int field) const override;
    void SetBoxText(int field, const std::string& text) override;
    void HideSetupWindow() override;

    KelvaroxApplication& app_;
    std::unique_ptr<Ui::TWod3> ui_;
    std::array<QLineEdit*, 8> boxes_{};  // in the order of the block layout's fields
};

}  // namespace kelvarox
