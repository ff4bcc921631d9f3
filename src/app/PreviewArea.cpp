#include "PreviewArea.h"

#include <QPainter>

namespace tessarin::app {

PreviewArea::PreviewArea(QWidget* parent) : QWidget(parent) {
    setObjectName("Preview");
    setMinimumSize(400, 400);
    setFocusPolicy(Qt::NoFocus);
}

void PreviewArea::showFrame(const viewer::PreviewControls& state, bool drawDoors, bool hasLevel) {
    const bool changed = state.PreviewDistance != m_state.PreviewDistance || state.PreviewYaw != m_state.PreviewYaw ||
                         state.PreviewPitch != m_state.PreviewPitch ||
                         state.PreviewCenterX != m_state.PreviewCenterX ||
                         state.PreviewCenterZ != m_state.PreviewCenterZ || drawDoors != m_drawDoors ||
                         hasLevel != m_hasLevel;
    m_state = state;
    m_drawDoors = drawDoors;
    m_hasLevel = hasLevel;
    if (changed) update();
}

void PreviewArea::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(24, 24, 32));
    painter.setPen(QColor(90, 90, 110));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setPen(QColor(200, 200, 210));
    const QString title = m_hasLevel ? QStringLiteral("Room preview") : QStringLiteral("No level open");
    painter.drawText(rect().adjusted(0, 150, 0, 0), Qt::AlignHCenter | Qt::AlignTop, title);
    painter.setPen(QColor(150, 150, 165));
    const QString info = QStringLiteral("centre sector %1, %2\ndistance %3   yaw %4   pitch %5\ndoors %6\n\n"
                                        "Page Up / Page Down: distance\narrow keys: turn")
                             .arg(m_state.PreviewCenterX)
                             .arg(m_state.PreviewCenterZ)
                             .arg(m_state.PreviewDistance, 0, 'f', 1)
                             .arg(m_state.PreviewYaw, 0, 'f', 2)
                             .arg(m_state.PreviewPitch, 0, 'f', 2)
                             .arg(m_drawDoors ? QStringLiteral("shown") : QStringLiteral("hidden"));
    painter.drawText(rect().adjusted(0, 180, 0, 0), Qt::AlignHCenter | Qt::AlignTop, info);
}

}  // namespace tessarin::app
