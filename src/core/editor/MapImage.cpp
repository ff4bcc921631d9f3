#include "editor/MapImage.h"

#include <algorithm>

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

util::RgbaPixels renderMapImage(const SectorMap& map, int scale) {
    scale = std::clamp(scale, kMinMapScale, kMaxMapScale);
    if (map.numX() <= 0 || map.numZ() <= 0) return util::RgbaPixels(1, 1);
    // Drawn once at the model's own size in the order the window paints: cell, outline, marks.
    util::RgbaPixels base(map.canvasWidth(), map.canvasHeight());
    for (int x = 0; x < map.numX(); ++x) {
        for (int z = 0; z < map.numZ(); ++z) {
            const MapCell& c = map.cell(x, z);
            const PixelRect cell = SectorMap::cellRect(x, z);
            fill(base, cell, c.fill);
            fill(base, cell, kMapBlack, true);
            if (c.itemMark) fill(base, SectorMap::itemMarkRect(x, z, c.staticMark), kMapItemMark);
            if (c.staticMark) fill(base, SectorMap::staticMarkRect(x, z, c.itemMark), kMapStaticMark);
        }
    }
    if (scale == 1) return base;
    util::RgbaPixels out(base.width * scale, base.height * scale);
    for (int y = 0; y < out.height; ++y) {
        const std::uint8_t* src = &base.pixels[static_cast<std::size_t>(y / scale) * base.width * 4];
        std::uint8_t* dst = &out.pixels[static_cast<std::size_t>(y) * out.width * 4];
        for (int x = 0; x < out.width; ++x) std::copy_n(src + (x / scale) * 4, 4, dst + x * 4);
    }
    return out;
}

}  // namespace tessarin::editor
