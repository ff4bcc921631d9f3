#include "editor/MapImage.h"

#include <algorithm>

#include "util/Result.h"

namespace tessarin::editor {

namespace {

// Fills the rectangle clipped to the picture; with `border` only its one-pixel edge.
void fill(util::RgbaPixels& img, const PixelRect& r, Rgb c, bool border = false) {
    const int left = std::max(r.left, 0), top = std::max(r.top, 0);
    const int right = std::min(r.right, img.width), bottom = std::min(r.bottom, img.height);
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (!border || x == r.left || y == r.top || x == r.right - 1 || y == r.bottom - 1) img.set(x, y, c.r, c.g, c.b);
}

}  // namespace

std::string mapImageRefusal(const SectorMap& map, int cell) {
    cell = std::clamp(cell, SectorMap::kMinCell, SectorMap::kCellSize * kMaxMapScale);
    const std::int64_t width = std::int64_t{std::max(map.numZ(), 0)} * cell;
    const std::int64_t height = std::int64_t{std::max(map.numX(), 0)} * cell;
    if (width * height <= kMaxMapImagePixels) return {};
    return "the map of " + std::to_string(map.numZ()) + " x " + std::to_string(map.numX()) + " sectors would be " +
           std::to_string(width) + " x " + std::to_string(height) + " pixels, more than the " +
           std::to_string(kMaxMapImagePixels) + " a map picture may have";
}

util::RgbaPixels renderMapImage(const SectorMap& map, int cell) {
    if (std::string refusal = mapImageRefusal(map, cell); !refusal.empty()) throw util::Error(refusal);
    cell = std::clamp(cell, SectorMap::kMinCell, SectorMap::kCellSize * kMaxMapScale);
    if (map.numX() <= 0 || map.numZ() <= 0) return util::RgbaPixels(1, 1);
    // The window's geometry times the scale, in the order it paints: cell, outline, marks. The
    // outline stays one pixel wide at every size, as in the zoomed window.
    auto scaled = [cell](const PixelRect& r) { return SectorMap::zoomRect(r, cell); };
    util::RgbaPixels img(map.numZ() * cell, map.numX() * cell);
    for (int x = 0; x < map.numX(); ++x) {
        for (int z = 0; z < map.numZ(); ++z) {
            const MapCell& c = map.cell(x, z);
            const PixelRect box = scaled(SectorMap::cellRect(x, z));
            fill(img, box, c.fill);
            fill(img, box, kMapBlack, true);
            if (c.itemMark) fill(img, scaled(SectorMap::itemMarkRect(x, z, c.staticMark)), kMapItemMark);
            if (c.staticMark) fill(img, scaled(SectorMap::staticMarkRect(x, z, c.itemMark)), kMapStaticMark);
        }
    }
    return img;
}

}  // namespace tessarin::editor
