#pragma once
// The texts of the forms: their font, and the place of a text wider than the place the form
// gives it. QtGui only: the windows' labels and the graph's painted labels share them.
#include <QFont>
#include <QRect>

namespace kelvarox {

// The forms' font: the platform's sans-serif at a pixel height (11 for 8 point), condensed
// where the system has a condensed face.
QFont FormFont(const QFont& from, int pixelSize, bool bold);

// A place laid out for one font and showing a text `neededWidth` wide in another: a text that
// does not fit widens it away from the edge its alignment holds (right-aligned texts keep the
// right edge, centred ones the centre, the others the left edge). A text that fits leaves the
// place as laid out.
QRect WidenToFit(const QRect& place, int neededWidth, Qt::Alignment alignment);

}  // namespace kelvarox
