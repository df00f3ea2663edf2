#pragma once

#include <QScreen>
#include <QWidget>

#include "program/layout.h"
#include "simulation/effects.h"

namespace mokopera {

// Gives `widget` the window's name, caption and fixed client size, and builds every control of
// the layout on it, in the layout's order: buttons, labels (boxed or plain, wrapped where the
// layout says), lines and the two kinds of canvas, each named as the layout names it, at its
// pixel place, in its font and colours, in its focus order. No button is a default button. At a
// `scale` below 1 the whole window is that much smaller: every place, size and font, its layout
// kept; edges that the layout shares stay shared.
void BuildWindow(QWidget& widget, const layout::Window& window, double scale = 1.0);

// The scale `window` is shown at on `screen`: 1 where it fits the screen's available area with a
// window manager's frame around it (a title bar and borders), else as much smaller as it must be.
[[nodiscard]] double FittingScale(const layout::Window& window, const QScreen* screen);

// The colour a layout paint stands for on `palette`; Default is the label or button text colour
// (`text`) or the button face (a background).
[[nodiscard]] QColor PaintColour(layout::Paint paint, const QPalette& palette, bool text);

// A console colour as Qt's: the marks' on the target canvas, and the verdict's on Label9.
[[nodiscard]] QColor ConsoleColourOf(ConsoleColour colour);

}  // namespace mokopera
