#pragma once
// Paints the graph's drawing steps with QPainter. QtGui only: the graph window and the
// command line's renderer share it.
#include <QFont>
#include <QPainter>

#include "core/GraphDrawing.h"

namespace kelvarox {

// The canvas's background and its font for the mark labels: white, and the platform's
// sans-serif at 11 pixels.
QColor CanvasBackground();
QFont CanvasFont();

// Executes the canvas steps of one drawing in their order: clear, pen colour and width,
// move, line and text, without antialiasing, keeping the pen's position from step to step.
class GraphStepPainter {
public:
    explicit GraphStepPainter(QPainter& painter);
    // Paints a canvas step and returns true; a label or show step is not the canvas's and
    // returns false.
    bool Paint(const DrawStep& step);

private:
    QPainter& painter_;
    QPen pen_;
    QPen textPen_;
    int ascent_;
    QPoint position_;
};

}  // namespace kelvarox
