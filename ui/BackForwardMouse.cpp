#include "ui/BackForwardMouse.h"

#include <QMouseEvent>

namespace kelvarox {

BackForwardMouse::BackForwardMouse(QAction* back, QAction* forward, QObject* parent)
    : QObject(parent), back_(back), forward_(forward) {}

void BackForwardMouse::watch(QObject* widget) { widget->installEventFilter(this); }

bool BackForwardMouse::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    // A second press soon after the first comes as a double-click.
    const bool press = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
    if (press || type == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::BackButton || mouse->button() == Qt::ForwardButton) {
            if (press) (mouse->button() == Qt::BackButton ? back_ : forward_)->trigger();
            return true;
        }
        held_ = mouse->buttons() != Qt::NoButton;
        if (type == QEvent::MouseButtonPress) ++drag_;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace kelvarox
