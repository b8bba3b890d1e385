#include "ui/FoldCanvas.h"

#include <QMouseEvent>
#include <QPainter>

#include "render/FoldPainter.h"

namespace kelvarox {

FoldCanvas::FoldCanvas(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setMinimumSize(400, 300);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void FoldCanvas::setPicture(timeline::FoldPicture picture, std::shared_ptr<const timeline::FoldSamples> samples) {
    picture_ = std::move(picture);
    samples_ = std::move(samples);
    update();
}

std::optional<timeline::FoldHit> FoldCanvas::hitAt(const QPoint& at) const {
    if (!samples_) return std::nullopt;
    return timeline::FoldHitAt(picture_, *samples_, at.x(), at.y());
}

void FoldCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintFold(painter, picture_);
}

void FoldCanvas::resizeEvent(QResizeEvent*) { emit resized(); }

void FoldCanvas::mouseMoveEvent(QMouseEvent* event) { emit hovered(hitAt(event->position().toPoint())); }

void FoldCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (const auto hit = hitAt(event->position().toPoint())) emit orbitClicked(hit->orbit);
}

void FoldCanvas::leaveEvent(QEvent*) { emit hovered(std::nullopt); }

}  // namespace kelvarox
