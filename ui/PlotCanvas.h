#pragma once
// A time line plot's drawing surface: it paints the plot's picture with the cursor's line and
// the nearest sample marked, and turns the mouse into the time line's gestures. The wheel zooms
// around the cursor; a rectangle dragged with the left button zooms into it (its height too,
// when it is taller than a few rows); dragging with the right button, or with Shift held, pans;
// a Shift-click sets the second cursor; a double-click asks for the nearest sample's block; a
// right click asks for the plot's menu.
#include <QWidget>
#include <optional>
#include <vector>

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

    // A channel's sample marked at the cursor: `channel` counts the plot's channels from 0.
    struct SampleMark {
        size_t channel = 0;
        timeline::OrbitTime time = 0;
        float value = 0;
    };
    // The cursor's line at `time`, and the samples marked on it; nothing hides them.
    void setCursorLine(std::optional<timeline::OrbitTime> time, std::vector<SampleMark> samples);
    // The second cursor's line, of a dash of its own; nothing hides it.
    void setSecondCursorLine(std::optional<timeline::OrbitTime> time);

    // The time at a pixel column of the canvas.
    timeline::OrbitTime timeAt(double x) const;
    // The width of the trace area: the canvas's less the value axes and margins.
    int traceWidth() const;

signals:
    void resized();
    void cursorMoved(double time);
    void viewChosen(const kelvarox::timeline::TimeRange& view);
    void valuesChosen(const kelvarox::timeline::ValueRange& values);
    void doubleClicked(double time);
    void secondCursorChosen(double time);
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
    std::vector<SampleMark> samples_;
    std::optional<timeline::OrbitTime> secondCursor_;
    Drag drag_ = Drag::None;
    QPoint dragStart_;
    QPoint dragNow_;
    timeline::TimeRange dragView_;
    bool dragMoved_ = false;
    std::optional<int> hoverX_;  // the mouse's column while it is over the canvas
};

}  // namespace kelvarox
