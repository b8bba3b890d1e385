#pragma once
// Paints the picture of folded orbits with QPainter (QtGui only): the fold window shows it and
// the pictures it saves are painted with it.
#include <QPainter>

#include "timeline/FoldPicture.h"

namespace kelvarox {

// The whole picture with its top left at the painter's origin.
void PaintFold(QPainter& painter, const timeline::FoldPicture& picture);

}  // namespace kelvarox
