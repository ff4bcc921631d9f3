#pragma once
// SectorMap: the room map (left 300 x 300 pixels) and the room preview area beside it, 400 x 400
// at the window's default size and a larger square where an enlarged window gives it room.
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
    // The widget that draws the preview in the preview area's place (the 3D view), kept there.
    void setPreviewView(QWidget* view);

signals:
    // A press on the map part; pixel coordinates inside the map.
    void mapMouseDown(QPoint pixel, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    // Ctrl + wheel over the map: whole zoom steps, positive to zoom in.
    void zoomWheel(int steps);
    // The mouse moved over the map part (pixel inside it), or left it (pixel (-1, -1)).
    void mapHover(QPoint pixel);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The map pixel under a widget point, or (-1, -1) off the map.
    QPoint mapPixel(QPoint p) const;

    QImage m_drawSurf;
    int m_wheelRest = 0;
    QImage m_showSurf;
    PreviewArea* m_preview;
    QWidget* m_previewView = nullptr;
};

}  // namespace tessarin::app
