#include "ui/WindowFrame.h"

#include <QLayout>

namespace kelvarox {

void MakeFixedWindow(QWidget* window) {
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    if (window->layout()) window->layout()->setSizeConstraint(QLayout::SetFixedSize);
    else window->setFixedSize(window->size());
}

QFont FormFont(const QFont& from, int pixelSize, bool bold) {
    QFont font = from;
    font.setFamily(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    // The forms were laid out for a narrow face; a condensed one keeps texts inside their boxes
    // where the system has it.
    font.setStretch(QFont::Condensed);
    return font;
}

WindowPosition PositionOf(const QWidget* window) { return {window->pos().y(), window->pos().x()}; }

WindowState StateOf(const QWidget* window) {
    const bool normal = !(window->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
    return normal ? WindowState::Normal : WindowState::MinimizedOrMaximized;
}

void MoveTo(QWidget* window, const WindowPosition& position) {
    if (window->layout()) window->layout()->activate();
    window->move(position.Left, position.Top);
}

}  // namespace kelvarox
