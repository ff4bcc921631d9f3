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
    // Blue and black need a light ground: under a dark desktop palette the label brings its own.
    if (palette.color(QPalette::Window).lightness() < 128) {
        palette.setColor(QPalette::Window, QColor(240, 240, 240));
        label->setAutoFillBackground(true);
    }
    label->setPalette(palette);
}

bool labelIsLit(const QLabel* label) { return label->property(kLitProperty).toBool(); }

ClickLabel::ClickLabel(const QString& objectName, const QString& caption, QWidget* parent)
    : QLabel(caption, parent) {
    setObjectName(objectName);
    setCursor(Qt::PointingHandCursor);
    setAlignment(Qt::AlignCenter);
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

void ClickLabel::setLeastSize(QSize least) {
    m_least = least;
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    updateGeometry();
}

QSize ClickLabel::sizeHint() const {
    // A little air above and below the text, as a button has.
    return QLabel::sizeHint().grownBy(QMargins(0, 2, 0, 2)).expandedTo(m_least);
}

QSize ClickLabel::minimumSizeHint() const { return QLabel::minimumSizeHint().expandedTo(m_least); }

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
