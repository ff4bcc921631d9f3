#pragma once
// Paints the core's sector map model with a QPainter: cells, item and static marks, the outline.
#include <QRect>

#include "editor/SectorMap.h"

class QPainter;

namespace tessarin::app {

// The model's rectangle (right and bottom exclusive) in view pixels, zoomed and scrolled.
QRect viewRect(const editor::SectorMap& map, const editor::PixelRect& r);

// Draws every sector cell of the map in view pixels; the caller has cleared the surface to black.
void paintSectorMap(QPainter& painter, const editor::SectorMap& map);

}  // namespace tessarin::app
