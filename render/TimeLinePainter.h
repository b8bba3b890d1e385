#pragma once
// Paints the time line's pictures with QPainter. QtGui only: the window's plots and axis, the
// pictures the window saves and the pictures of kelvarox-cli series -o all paint with it.
#include <QFont>
#include <QPainter>

#include "timeline/TimeLinePicture.h"

namespace kelvarox {

// The time line's font: the platform's sans-serif at 11 pixels.
QFont TimeLineFont();

// A plot's canvas with its top left at the painter's origin: background, value levels, the
// grid of the orbit axis's marks, the frame of the trace area and the step line within it.
void PaintPlot(QPainter& painter, const timeline::PlotPicture& plot);
// The lines above a plot in a whole picture, one for each channel: its title on the left, its
// statistics on the right.
void PaintPlotHeader(QPainter& painter, const timeline::PlotPicture& plot);
// The orbit axis under the plots: marks, orbit numbers and dates.
void PaintAxis(QPainter& painter, const timeline::AxisPicture& axis);
// The whole picture: each plot under its header, one above the other, and the axis beneath.
void PaintTimeLine(QPainter& painter, const timeline::TimeLinePicture& picture);

}  // namespace kelvarox
