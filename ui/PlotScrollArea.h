#pragma once
// The time line's plots, one above the other: they scroll when they need more height than the
// window has, so that adding plots never makes the window grow, and the area is never narrower
// than the plots need, so that no text of their headers and no part of a plot is cut off.
#include <QScrollArea>

namespace kelvarox {

class PlotScrollArea : public QScrollArea {
    Q_OBJECT
public:
    using QScrollArea::QScrollArea;
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    bool event(QEvent* event) override;
};

}  // namespace kelvarox
