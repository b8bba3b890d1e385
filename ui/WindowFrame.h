#pragma once
// What the fixed-size windows of the program share: their frame, their font (render/FormText.h),
// and their stored position.
#include <QWidget>

#include "render/FormText.h"
#include "settings/WindowPosition.h"

namespace kelvarox {

// A window of fixed size with a title bar, system menu, minimize and close, but no maximize.
// Its size is the one its form gives it.
void MakeFixedWindow(QWidget* window);

// The window's outer top-left corner and its state, as the settings store keeps them.
WindowPosition PositionOf(const QWidget* window);
WindowState StateOf(const QWidget* window);
// Moves the window's outer corner to a stored position, or onto the nearest screen when its
// title bar would lie outside every screen.
void MoveTo(QWidget* window, const WindowPosition& position);

}  // namespace kelvarox
