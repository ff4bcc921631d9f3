#include "ClickLabel.h"

#include <QMouseEvent>

namespace tessarin::app {

namespace {
const char* kLitProperty = "tessarinLit";
}

void setLabelLit(QLabel* label, bool lit) {
    label->setProperty(kLitProperty, lit);
    QPalette palette = label->palette();
    // The disabled colour group keeps its grey, so a label that cannot be pressed looks it.
    const QColor colour = lit ? QColor(0, 0, 255) : QColor(0, 0, 0);
    palette.setColor(QPalette::Active, QPalette::WindowText, colour);
    palette.setColor(QPalette::Inactive, QPalette::WindowText, colour);
    label->setPalette(palette);
}

bool labelIsLit(const QLabel* label) { return label->property(kLitProperty).toBool(); }

ClickLabel::ClickLabel(const QString& objectName, const QString& caption, QWidget* parent)
    : QLabel(caption, parent) {
    setObjectName(objectName);
    setCursor(Qt::PointingHandCursor);
    setAlignment(Qt::AlignCenter);
    setMinimumHeight(20);
    restyle();
}

void ClickLabel::setLit(bool lit) {
    m_lit = lit;
    restyle();
}

void ClickLabel::setBorder(bool on) {
    m_border = on;
    m_toggle = true;
    restyle();
}

void ClickLabel::restyle() {
    setLabelLit(this, m_lit);
    if (m_toggle) setFrameStyle(m_border ? QFrame::Box | QFrame::Plain : QFrame::NoFrame);
}

void ClickLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && isEnabled()) {
        emit clicked();
        event->accept();
        return;
    }
    QLabel::mousePressEvent(event);
}

}  // namespace tessarin::app
