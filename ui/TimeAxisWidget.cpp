#include "ui/TimeAxisWidget.h"

#include <QPainter>

#include "render/TimeLinePainter.h"

namespace kelvarox {

TimeAxisWidget::TimeAxisWidget(QWidget* parent) : QWidget(parent) {
    setFixedHeight(timeline::layout::kAxisHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void TimeAxisWidget::setPicture(timeline::AxisPicture axis) {
    axis_ = std::move(axis);
    update();
}

void TimeAxisWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintAxis(painter, axis_);
}

void TimeAxisWidget::resizeEvent(QResizeEvent*) { emit resized(); }

}  // namespace kelvarox
