#include "ui/PlotCanvas.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "render/TimeLinePainter.h"

namespace kelvarox {

using namespace timeline;

namespace {

// A drag shorter than this is a click; a rectangle lower than this keeps the plot's height.
constexpr int kLeastDrag = 4;

}  // namespace

PlotCanvas::PlotCanvas(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setMinimumHeight(40);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void PlotCanvas::setPicture(PlotPicture picture, const TimeRange& view) {
    picture_ = std::move(picture);
    view_ = view;
    update();
    // The view moved, or the samples changed, under a mouse that stayed: the cursor is where
    // the mouse is now.
    if (hoverX_) emit cursorMoved(timeAt(*hoverX_));
}

void PlotCanvas::setCursorLine(std::optional<OrbitTime> time, std::optional<OrbitTime> sampleTime, float sampleValue) {
    cursor_ = time;
    sampleTime_ = sampleTime;
    sampleValue_ = sampleValue;
    update();
}

double PlotCanvas::traceX(double x) const { return x - layout::kValueAxisWidth; }

OrbitTime PlotCanvas::timeAt(double x) const { return TimeAtPixel(view_, traceX(x), TraceWidth(width())); }

void PlotCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintPlot(painter, picture_);
    const QRect area(layout::kValueAxisWidth, layout::kTopMargin, TraceWidth(width()), TraceHeight(height()));
    painter.setClipRect(area);
    const auto xOf = [&](OrbitTime t) {
        return layout::kValueAxisWidth + static_cast<int>(std::lround(std::clamp(PixelOf(view_, t, area.width()), -1.0,
                                                                                 static_cast<double>(area.width()))));
    };
    if (cursor_) {
        painter.setPen(QPen(QColor(120, 120, 120), 1, Qt::DashLine));
        const int x = xOf(*cursor_);
        painter.drawLine(x, area.top(), x, area.bottom());
    }
    if (sampleTime_) {
        const int y = layout::kTopMargin + RowOf(sampleValue_, picture_.range, area.height());
        painter.setPen(QPen(QColor(picture_.colour.r, picture_.colour.g, picture_.colour.b), 2));
        painter.drawRect(xOf(*sampleTime_) - 3, y - 3, 6, 6);
    }
    if (drag_ == Drag::Rectangle && dragMoved_) {
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.drawRect(QRect(dragStart_, dragNow_).normalized());
    }
}

void PlotCanvas::resizeEvent(QResizeEvent*) { emit resized(); }

void PlotCanvas::mousePressEvent(QMouseEvent* event) {
    const bool pan = event->button() == Qt::RightButton ||
                     (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier));
    if (!pan && event->button() != Qt::LeftButton) return;
    drag_ = pan ? Drag::Pan : Drag::Rectangle;
    dragStart_ = dragNow_ = event->position().toPoint();
    dragView_ = view_;
    dragMoved_ = false;
}

void PlotCanvas::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    hoverX_ = at.x();
    if (drag_ != Drag::None) {
        dragNow_ = at;
        dragMoved_ = dragMoved_ || (at - dragStart_).manhattanLength() >= kLeastDrag;
        if (drag_ == Drag::Pan && dragMoved_)
            emit viewChosen(PannedByPixels(dragView_, at.x() - dragStart_.x(), TraceWidth(width())));
        update();
    }
    emit cursorMoved(timeAt(at.x()));
}

void PlotCanvas::mouseReleaseEvent(QMouseEvent* event) {
    const Drag drag = drag_;
    drag_ = Drag::None;
    const QPoint at = event->position().toPoint();
    if (drag == Drag::Pan && !dragMoved_ && event->button() == Qt::RightButton) {
        emit menuRequested(event->globalPosition().toPoint());
        return;
    }
    if (drag != Drag::Rectangle || !dragMoved_) {
        update();
        return;
    }
    // Both ranges are read off the picture as it stands, before either changes it.
    const auto values = ValuesBetweenRows(picture_.range, dragStart_.y() - layout::kTopMargin,
                                          at.y() - layout::kTopMargin, TraceHeight(height()));
    const bool wide = std::abs(at.x() - dragStart_.x()) >= kLeastDrag;
    const TimeRange view = BetweenPixels(view_, traceX(dragStart_.x()), traceX(at.x()), TraceWidth(width()));
    if (values && std::abs(at.y() - dragStart_.y()) >= kLeastDrag) emit valuesChosen(*values);
    if (wide) emit viewChosen(view);
    update();
}

void PlotCanvas::leaveEvent(QEvent*) { hoverX_.reset(); }

void PlotCanvas::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit doubleClicked(timeAt(event->position().x()));
}

void PlotCanvas::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0) return;
    emit viewChosen(ZoomedAround(view_, timeAt(event->position().x()), WheelZoomFactor(delta)));
    event->accept();
}

}  // namespace kelvarox
