#pragma once
// Paints the graph's drawing steps with QPainter. QtGui only: the graph window and the
// command line's renderer share it.
#include <QFont>
#include <QPainter>
#include <functional>
#include <vector>

#include "core/GraphDrawing.h"

namespace kelvarox {

// The canvas's background and its font for the mark labels: white, and the platform's
// sans-serif at 11 pixels.
QColor CanvasBackground();
QFont CanvasFont();

// Executes the steps in order on `painter`: clear, pen colour and width, move, line and text,
// without antialiasing, keeping the pen's position from step to step. The steps that are not
// the canvas's (labels, show) go to `other` at their place in the order.
void PaintGraphSteps(QPainter& painter, const std::vector<DrawStep>& steps,
                     const std::function<void(const DrawStep&)>& other = {});

}  // namespace kelvarox
