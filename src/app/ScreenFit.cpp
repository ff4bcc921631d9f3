#include "ScreenFit.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace tessarin::app {

namespace {
// A title bar and borders, as common window managers draw them.
constexpr QSize kFrameAllowance(16, 48);
}  // namespace

QSize roomOnScreen(const QWidget* window) {
    const QScreen* screen = window->screen();
    if (!screen) return QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    return (screen->availableGeometry().size() - kFrameAllowance).expandedTo(QSize(1, 1));
}

QPoint keptOnScreen(const QWidget* window, const QRect& frame) {
    const QScreen* screen = window->screen();
    if (!screen) return frame.topLeft();
    const QRect area = screen->availableGeometry();
    const int x = std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width()));
    const int y = std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height()));
    return QPoint(x, y);
}

}  // namespace tessarin::app
