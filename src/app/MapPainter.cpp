#include "MapPainter.h"

#include <QPainter>

#include "QtConvert.h"

namespace tessarin::app {

QRect viewRect(const editor::SectorMap& map, const editor::PixelRect& r) {
    const editor::PixelRect v = map.toView(r);
    return QRect(QPoint(v.left, v.top), QPoint(v.right - 1, v.bottom - 1));
}

namespace {

// A filled rectangle whose one-pixel border is drawn in `outline`.
void fillOutlined(QPainter& painter, const QRect& r, const QColor& fill, const QColor& outline) {
    painter.fillRect(r, fill);
    painter.setPen(outline);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(r.adjusted(0, 0, -1, -1));
}

}  // namespace

void paintSectorMap(QPainter& painter, const editor::SectorMap& map) {
    const QRect view(0, 0, editor::SectorMap::kViewSize, editor::SectorMap::kViewSize);
    const QColor black(0, 0, 0);
    const QColor itemMark = toQColor(editor::kMapItemMark);
    const QColor staticMark = toQColor(editor::kMapStaticMark);
    for (int x = 0; x < map.numX(); ++x) {
        for (int z = 0; z < map.numZ(); ++z) {
            const QRect cell = viewRect(map, editor::SectorMap::cellRect(x, z));
            if (!cell.intersects(view)) continue;
            const editor::MapCell& c = map.cell(x, z);
            fillOutlined(painter, cell, toQColor(c.fill), black);
            if (c.itemMark)
                fillOutlined(painter, viewRect(map, editor::SectorMap::itemMarkRect(x, z, c.staticMark)), itemMark,
                             itemMark);
            if (c.staticMark)
                fillOutlined(painter, viewRect(map, editor::SectorMap::staticMarkRect(x, z, c.itemMark)),
                             staticMark, staticMark);
        }
    }
}

}  // namespace tessarin::app
