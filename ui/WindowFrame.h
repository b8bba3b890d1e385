#pragma once
// What the fixed-size windows of the program share: their frame, their stored position, and
// the edit boxes seen as settings text boxes.
#include <QFont>
#include <QLineEdit>
#include <QWidget>

#include "settings/SettingsViews.h"

namespace kelvarox {

// The forms' font: the platform's sans-serif at a pixel height (11 for 8 point), condensed
// where the system has a condensed face.
QFont FormFont(const QFont& from, int pixelSize, bool bold);

// A window of fixed size with a title bar, system menu, minimize and close, but no maximize.
void MakeFixedWindow(QWidget* window, QSize clientSize);

// The window's outer top-left corner as its stored position.
class WidgetPosition : public PositionedWindow {
public:
    explicit WidgetPosition(QWidget* window) : window_(window) {}
    int32_t Top() const override { return window_->pos().y(); }
    int32_t Left() const override { return window_->pos().x(); }
    void SetTop(int32_t top) override { window_->move(window_->pos().x(), top); }
    void SetLeft(int32_t left) override { window_->move(left, window_->pos().y()); }
    bool IsInNormalState() const override {
        return !(window_->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
    }

private:
    QWidget* window_;
};

// An edit box as the settings procedures see it.
class LineEditBox : public TextBox {
public:
    explicit LineEditBox(QLineEdit* edit) : edit_(edit) {}
    std::string Text() const override;
    void SetText(const std::string& text) override;

private:
    QLineEdit* edit_;
};

}  // namespace kelvarox
