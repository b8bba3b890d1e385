#include "ui/GraphImage.h"

#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>

#include "ui/GraphPainter.h"

namespace kelvarox {

GraphImage::GraphImage(QWidget* parent) : QWidget(parent) { setMouseTracking(true); }

QImage& GraphImage::Canvas() {
    // The widget has a fixed size; the picture takes it on first use, also while hidden.
    if (canvas_.size() != size()) {
        QImage resized(size(), QImage::Format_ARGB32_Premultiplied);
        resized.fill(Qt::transparent);
        if (!canvas_.isNull()) QPainter(&resized).drawImage(0, 0, canvas_);
        canvas_ = std::move(resized);
    }
    return canvas_;
}

void GraphImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPaintEngine::Type device = painter.paintEngine()->type();
    if (device != QPaintEngine::SVG && device != QPaintEngine::Pdf) {
        painter.drawImage(0, 0, Canvas());
        return;
    }
    GraphStepPainter steps(painter);
    for (const DrawStep& step : steps_) steps.Paint(step);
}

void GraphImage::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    emit MouseMoved(event->modifiers(), at.x(), at.y());
}

}  // namespace kelvarox
