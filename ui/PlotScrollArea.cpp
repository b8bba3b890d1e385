#include "ui/PlotScrollArea.h"

#include <QEvent>
#include <QScrollBar>

namespace kelvarox {

QSize PlotScrollArea::minimumSizeHint() const {
    QSize size = QScrollArea::minimumSizeHint();
    if (widget())
        size.setWidth(widget()->minimumSizeHint().width() + verticalScrollBar()->sizeHint().width() + 2 * frameWidth());
    return size;
}

QSize PlotScrollArea::sizeHint() const { return QScrollArea::sizeHint().expandedTo(minimumSizeHint()); }

bool PlotScrollArea::event(QEvent* event) {
    // The plots need another width: so does the area.
    if (event->type() == QEvent::LayoutRequest) updateGeometry();
    return QScrollArea::event(event);
}

}  // namespace kelvarox
