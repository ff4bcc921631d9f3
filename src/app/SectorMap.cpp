#include "SectorMap.h"

#include <algorithm>

#include <QMouseEvent>
#include <QResizeEvent>
#include <QPainter>
#include <QWheelEvent>

#include "PreviewArea.h"

namespace tessarin::app {

namespace {

QImage blankSurface(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

}  // namespace

SectorMap::SectorMap(QWidget* parent)
    : QWidget(parent),
      m_drawSurf(blankSurface(QSize(kMapSize, kMapSize))),
      m_showSurf(m_drawSurf),
      m_preview(new PreviewArea(this)) {
    setObjectName("SectorMap");
    setMinimumSize(kPreviewLeft + kPreviewSize, kPreviewSize);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_preview->setGeometry(kPreviewLeft, 0, kPreviewSize, kPreviewSize);
    setAutoFillBackground(false);
    setMouseTracking(true);  // hover shows the sector under the mouse
}

void SectorMap::setPreviewView(QWidget* view) {
    m_previewView = view;
    if (view) view->setGeometry(m_preview->geometry());
}

void SectorMap::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The preview stays square (the picture of the default size, only larger) and never shrinks
    // below it.
    const int side = std::max(kPreviewSize, std::min(width() - kPreviewLeft, height()));
    m_preview->setGeometry(kPreviewLeft, 0, side, side);
    // Height the square cannot use goes to the panels below.
    setMaximumHeight(std::max(kPreviewSize, width() - kPreviewLeft));
    if (m_previewView) m_previewView->setGeometry(m_preview->geometry());
}

void SectorMap::drawMap(const std::function<void(QPainter&)>& paintRoom, QSize size) {
    if (m_drawSurf.size() != size) m_drawSurf = blankSurface(size);
    m_drawSurf.fill(Qt::black);
    {
        QPainter painter(&m_drawSurf);
        paintRoom(painter);
    }
    showPlainMap();
}

void SectorMap::showPlainMap() {
    m_showSurf = m_drawSurf.copy();
    update();
}

void SectorMap::showSelection(QPoint a, QPoint b, const QColor& colour) {
    m_showSurf = m_drawSurf.copy();
    QPainter painter(&m_showSurf);
    painter.setPen(colour);
    painter.drawLine(a.x(), a.y(), b.x(), a.y());
    painter.drawLine(b.x(), a.y(), b.x(), b.y());
    painter.drawLine(b.x(), b.y(), a.x(), b.y());
    painter.drawLine(a.x(), b.y(), a.x(), a.y());
    update();
}

void SectorMap::clear() {
    m_drawSurf = blankSurface(QSize(kMapSize, kMapSize));
    showPlainMap();
}

void SectorMap::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(QRect(0, 0, kPreviewLeft, height()), palette().window());
    // A map larger than the area (a wide room) is scaled down so every sector stays visible.
    const QSize area(kMapSize, kMapSize);
    if (m_showSurf.width() <= area.width() && m_showSurf.height() <= area.height()) {
        painter.drawImage(0, 0, m_showSurf);
    } else {
        painter.drawImage(QRect(QPoint(0, 0), m_showSurf.size().scaled(area, Qt::KeepAspectRatio)), m_showSurf);
    }
}

QPoint SectorMap::mapPixel(QPoint p) const {
    if (p.x() < 0 || p.y() < 0 || p.x() >= kMapSize || p.y() >= kMapSize) return {-1, -1};
    QPoint pixel = p;
    if (m_showSurf.width() > kMapSize || m_showSurf.height() > kMapSize) {
        const QSize shown = m_showSurf.size().scaled(QSize(kMapSize, kMapSize), Qt::KeepAspectRatio);
        pixel = QPoint(p.x() * m_showSurf.width() / shown.width(), p.y() * m_showSurf.height() / shown.height());
        if (pixel.x() >= m_showSurf.width() || pixel.y() >= m_showSurf.height()) return {-1, -1};
    }
    return pixel;
}

void SectorMap::mousePressEvent(QMouseEvent* event) {
    const QPoint pixel = mapPixel(event->position().toPoint());
    if (pixel.x() < 0) return;
    emit mapMouseDown(pixel, event->button(), event->modifiers());
}

void SectorMap::mouseMoveEvent(QMouseEvent* event) { emit mapHover(mapPixel(event->position().toPoint())); }

void SectorMap::leaveEvent(QEvent*) { emit mapHover({-1, -1}); }

void SectorMap::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier) || mapPixel(event->position().toPoint()).x() < 0) {
        event->ignore();
        return;
    }
    // Fine-grained wheels send small deltas; a step is a whole notch (120).
    m_wheelRest += event->angleDelta().y();
    const int steps = m_wheelRest / 120;
    m_wheelRest -= steps * 120;
    if (steps != 0) emit zoomWheel(steps);
    event->accept();
}

}  // namespace tessarin::app
