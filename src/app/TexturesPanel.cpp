#include "TexturesPanel.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QScrollBar>
#include <QWheelEvent>

namespace tessarin::app {

TexturesPanel::TexturesPanel(QWidget* parent) : QGroupBox(parent) {
    setObjectName("Textures");
    setTitle("Textures");
    m_viewport = new QWidget(this);
    m_viewport->setFixedWidth(256);
    m_viewport->setMinimumHeight(256);
    m_viewport->setAutoFillBackground(true);
    QPalette dark = m_viewport->palette();
    dark.setColor(QPalette::Window, Qt::black);
    m_viewport->setPalette(dark);
    auto* strip = new QLabel(m_viewport);
    strip->setObjectName("TextPB");
    strip->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    strip->setGeometry(0, 0, 256, 0);
    TextPB = strip;
    TextScroll = new QScrollBar(Qt::Vertical, this);
    TextScroll->setObjectName("TextScroll");
    TextScroll->setRange(0, 0);
    TextScroll->setSingleStep(16);
    connect(TextScroll, &QScrollBar::valueChanged, this, &TexturesPanel::TextScroll_Change);

    auto* box = new QHBoxLayout(this);
    box->setSpacing(2);
    box->addWidget(m_viewport);
    box->addWidget(TextScroll);
}

void TexturesPanel::setPages(const QImage& pages) {
    auto* strip = static_cast<QLabel*>(TextPB);
    strip->setPixmap(QPixmap::fromImage(pages));
    strip->resize(256, pages.height());
    TextScroll->setValue(0);
    updateRange();
    TextScroll_Change(0);
}

// The strip moves up by one pixel per scroll unit.
void TexturesPanel::TextScroll_Change(int value) { TextPB->move(0, -value); }

void TexturesPanel::updateRange() {
    const int hidden = TextPB->height() - m_viewport->height();
    TextScroll->setRange(0, hidden > 0 ? hidden : 0);
    TextScroll->setPageStep(m_viewport->height());
}

void TexturesPanel::wheelEvent(QWheelEvent* event) {
    QWheelEvent forwarded(event->position(), event->globalPosition(), event->pixelDelta(), event->angleDelta(),
                          event->buttons(), event->modifiers(), event->phase(), event->inverted());
    QCoreApplication::sendEvent(TextScroll, &forwarded);
    event->accept();
}

void TexturesPanel::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    updateRange();
}

}  // namespace tessarin::app
