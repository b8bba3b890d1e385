#include "ui/BackForwardMouse.h"

#include <QMouseEvent>

namespace kelvarox {

BackForwardMouse::BackForwardMouse(QAction* back, QAction* forward, QObject* parent)
    : QObject(parent), back_(back), forward_(forward) {}

void BackForwardMouse::watch(QObject* widget) { widget->installEventFilter(this); }

bool BackForwardMouse::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::BackButton || mouse->button() == Qt::ForwardButton) {
            if (event->type() == QEvent::MouseButtonPress)
                (mouse->button() == Qt::BackButton ? back_ : forward_)->trigger();
            return true;
        }
        held_ = mouse->buttons() != Qt::NoButton;
        if (event->type() == QEvent::MouseButtonPress) ++drag_;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace kelvarox
