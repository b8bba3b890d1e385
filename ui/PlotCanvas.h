#pragma once
// A time line plot's drawing surface: it paints the plot's picture with the cursor's line and
// the nearest sample marked, and turns the mouse into the time line's gestures. The wheel zooms
// around the cursor; a rectangle dragged with the left button zooms into it (its height too,
// when it is taller than a few rows); dragging with the right button, or with Shift held, pans;
// a double-click asks for the nearest sample's block; a right click asks for the plot's menu.
#include <QWidget>
#include <optional>

#include "timeline/TimeLinePicture.h"

namespace kelvarox {

class PlotCanvas : public QWidget {
    Q_OBJECT
public:
    explicit PlotCanvas(QWidget* parent = nullptr);

    // The picture to paint, composed for `view` at the canvas's size. Under the mouse, the
    // cursor follows: cursorMoved tells its time in the new view.
    void setPicture(timeline::PlotPicture picture, const timeline::TimeRange& view);
    const timeline::PlotPicture& picture() const { return picture_; }

    // The cursor's line at `time`, and the sample marked on it; nothing hides them.
    void setCursorLine(std::optional<timeline::OrbitTime> time, std::optional<timeline::OrbitTime> sampleTime,
                       float sampleValue);

    // The time at a pixel column of the canvas.
    timeline::OrbitTime timeAt(double x) const;

signals:
    void resized();
    void cursorMoved(double time);
    void viewChosen(const kelvarox::timeline::TimeRange& view);
    void valuesChosen(const kelvarox::timeline::ValueRange& values);
    void doubleClicked(double time);
    void menuRequested(const QPoint& globalPosition);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    enum class Drag { None, Rectangle, Pan };
    double traceX(double x) const;

    timeline::PlotPicture picture_;
    timeline::TimeRange view_;
    std::optional<timeline::OrbitTime> cursor_;
    std::optional<timeline::OrbitTime> sampleTime_;
    float sampleValue_ = 0;
    Drag drag_ = Drag::None;
    QPoint dragStart_;
    QPoint dragNow_;
    timeline::TimeRange dragView_;
    bool dragMoved_ = false;
    std::optional<int> hoverX_;  // the mouse's column while it is over the canvas
};

}  // namespace kelvarox
