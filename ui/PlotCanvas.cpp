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

void PlotCanvas::setCursorLine(std::optional<OrbitTime> time, std::vector<SampleMark> samples) {
    cursor_ = time;
    samples_ = std::move(samples);
    update();
}

void PlotCanvas::setSecondCursorLine(std::optional<OrbitTime> time) {
    secondCursor_ = time;
    update();
}

double PlotCanvas::traceX(double x) const { return x - layout::kValueAxisWidth; }

int PlotCanvas::traceWidth() const { return TraceWidth(width() - picture_.rightRoom); }

OrbitTime PlotCanvas::timeAt(double x) const { return TimeAtPixel(view_, traceX(x), traceWidth()); }

void PlotCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintPlot(painter, picture_);
    const QRect area(layout::kValueAxisWidth, layout::kTopMargin, traceWidth(), TraceHeight(height()));
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
    if (secondCursor_) {
        painter.setPen(QPen(QColor(200, 90, 0), 1, Qt::DashDotLine));
        const int x = xOf(*secondCursor_);
        painter.drawLine(x, area.top(), x, area.bottom());
    }
    for (const SampleMark& mark : samples_) {
        const bool overlay = mark.channel > 0 && mark.channel <= picture_.overlays.size();
        const ValueRange& range = overlay ? picture_.overlays[mark.channel - 1].range : picture_.range;
        const Colour& c = overlay ? picture_.overlays[mark.channel - 1].colour : picture_.colour;
        const int y = layout::kTopMargin + RowOf(mark.value, range, area.height());
        painter.setPen(QPen(QColor(c.r, c.g, c.b), 2));
        painter.drawRect(xOf(mark.time) - 3, y - 3, 6, 6);
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
            emit viewChosen(PannedByPixels(dragView_, at.x() - dragStart_.x(), traceWidth()));
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
    if (drag == Drag::Pan && !dragMoved_ && event->button() == Qt::LeftButton) {
        emit secondCursorChosen(timeAt(at.x()));
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
    const TimeRange view = BetweenPixels(view_, traceX(dragStart_.x()), traceX(at.x()), traceWidth());
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
