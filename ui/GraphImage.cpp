#include "ui/GraphImage.h"

#include <QMouseEvent>

namespace kelvarox {

GraphImage::GraphImage(QWidget* parent) : QWidget(parent) { setMouseTracking(true); }

void GraphImage::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    emit mouseMoved(event->modifiers(), at.x(), at.y());
}

}  // namespace kelvarox
