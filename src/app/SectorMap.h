#pragma once
// SectorMap: the room map (left 300 x 300 pixels) and the room preview area beside it.
#include <QImage>
#include <QWidget>
#include <functional>

namespace tessarin::app {

class PreviewArea;

class SectorMap : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMapSize = 300;
    static constexpr int kPreviewLeft = 310;
    static constexpr int kPreviewSize = 400;

    explicit SectorMap(QWidget* parent = nullptr);

    // Redraws MapDrawSurf with the painter function and shows it without an outline.
    void drawMap(const std::function<void(QPainter&)>& paintRoom, QSize size = QSize(kMapSize, kMapSize));
    // Copies MapDrawSurf onto MapShowSurf, removing any outline.
    void showPlainMap();
    // Copies MapDrawSurf onto MapShowSurf and draws four lines around the square from a to b.
    void showSelection(QPoint a, QPoint b, const QColor& colour);
    void clear();

    const QImage& mapDrawSurf() const { return m_drawSurf; }
    const QImage& mapShowSurf() const { return m_showSurf; }
    PreviewArea* preview() const { return m_preview; }

signals:
    // A press on the map part; pixel coordinates inside the map.
    void mapMouseDown(QPoint pixel, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QImage m_drawSurf;
    QImage m_showSurf;
    PreviewArea* m_preview;
};

}  // namespace tessarin::app
