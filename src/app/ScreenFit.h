#pragma once
// Sizes and places top-level windows within the screen they open on: a laptop's screen, or any
// screen under display scaling, can be smaller than a window's panels.
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace tessarin::app {

// The room a window has on its screen's available area, less an allowance for the window
// manager's frame (unknown until the window is shown). Unbounded without a screen.
QSize roomOnScreen(const QWidget* window);
// The top-left corner that keeps `frame` inside the available area of `window`'s screen, as far
// as it fits (its top-left corner stays reachable when it does not).
QPoint keptOnScreen(const QWidget* window, const QRect& frame);

}  // namespace tessarin::app
