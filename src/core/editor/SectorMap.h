#pragma once
// SectorMap: the room map model - each sector's fill colour and item/static marks, and the
// pixel-to-sector lookup the mouse uses.
//
// Geometry: sector (x, z) is a 10 x 10 cell whose left edge is at canvas pixel 10 z and top edge
// at 10 x (z runs right, x runs down). The canvas is 10 NumZSectors wide and 10 NumXSectors tall.
// The view shows a 300 x 300 window onto it, zoomed, at a scroll offset; rooms up to 30 x 30 sectors always
// have offset (0, 0), larger rooms scroll so every sector can be shown and selected. View pixels
// are what the mouse reports; the lookup adds the offset.
#include <array>
#include <optional>
#include <vector>

#include "editor/EditorTypes.h"
#include "floordata/FloorDataQueries.h"
#include "level/TRLevel.h"

namespace tessarin::editor {

// Inclusive-exclusive rectangle corners as the map draws them: (left, top) to (right, bottom).
struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    constexpr bool operator==(const PixelRect&) const = default;
};

struct MapCell {
    Rgb fill;
    bool itemMark = false;    // cyan mark: items or AI objects stand here
    bool staticMark = false;  // blue mark: static meshes stand here
};

// Fill colours of the map rules.
inline constexpr Rgb kMapBlockedBox{96, 96, 96};
inline constexpr Rgb kMapMonkey{255, 95, 95};
inline constexpr Rgb kMapMinecartBoth{255, 0, 0};
inline constexpr Rgb kMapMinecartLeft{0, 0, 255};
inline constexpr Rgb kMapMinecartRight{0, 255, 0};
inline constexpr Rgb kMapGrey{128, 128, 128};
inline constexpr Rgb kMapBlack{0, 0, 0};
inline constexpr Rgb kMapTrigger{192, 0, 192};
inline constexpr Rgb kMapWall{0, 159, 0};
inline constexpr Rgb kMapFloor = fractionColour(0.8, 0.8, 0.0);
inline constexpr Rgb kMapItemMark = fractionColour(0.0, 1.0, 1.0);
inline constexpr Rgb kMapStaticMark = fractionColour(0.0, 0.0, 1.0);
inline constexpr Rgb kMapOutline = fractionColour(0.0, 0.0, 1.0);

// The fill colour of sector (x, z) of the room by the first of the thirteen rules that holds; `fd`
// answers over the level's floor data, one for all the sectors of a map.
Rgb sectorFillColour(const level::TRLevel& level, const level::TRRoom& room, int x, int z,
                     floordata::FloorDataQueries& fd);

class SectorMap {
public:
    static constexpr int kCellSize = 10;
    static constexpr int kViewSize = 300;

    // BuildSectorLookup + DrawSectorMap for room `roomIndex` of the level; an index outside the
    // level gives an empty map. The scroll offset returns to (0, 0).
    void build(const level::TRLevel& level, int roomIndex);
    void clear();

    int room() const { return m_room; }
    int numX() const { return m_numX; }
    int numZ() const { return m_numZ; }
    bool contains(int x, int z) const { return x >= 0 && z >= 0 && x < m_numX && z < m_numZ; }
    // The cell of (x, z); must be contained.
    const MapCell& cell(int x, int z) const { return m_cells[static_cast<std::size_t>(x) * m_numZ + z]; }

    int canvasWidth() const { return m_numZ * kCellSize; }
    int canvasHeight() const { return m_numX * kCellSize; }
    bool scrollable() const { return zoomedWidth() > kViewSize || zoomedHeight() > kViewSize; }

    // Zoom as the size of a sector's cell in view pixels (10, the Part's map, by default). The scroll
    // offset is in view pixels. A new room keeps the zoom.
    static constexpr int kMinCell = 4;
    static constexpr int kMaxCell = 40;
    static constexpr std::array<int, 11> kZoomSteps{4, 5, 6, 7, 8, 9, 10, 15, 20, 30, 40};
    int cellPixels() const { return m_cell; }
    // Clamped to kMinCell..kMaxCell; the view keeps its centre where it can.
    void setCellPixels(int cell);
    // To the next larger (steps > 0) or smaller step of kZoomSteps, `steps` times.
    void zoomBy(int steps);
    // The largest cell at which the whole room fits the view (kMinCell when none does).
    int fitCellPixels() const;
    int zoomedWidth() const { return m_numZ * m_cell; }
    int zoomedHeight() const { return m_numX * m_cell; }
    // A canvas coordinate at a cell size: cell n starts at n * cell, the marks keep their tenths,
    // and the one-pixel outline just before a cell (10 n - 1) stays one pixel before it, so a cell
    // shows its colour exactly on the pixels a click maps to it.
    static int zoomCoord(int c, int cell) {
        const int n = (c + 1 >= 0 ? (c + 1) / 10 : -((-(c + 1) + 9) / 10));
        const int k = c - 10 * n;
        return k == -1 ? n * cell - 1 : n * cell + k * cell / 10;
    }
    static PixelRect zoomRect(const PixelRect& r, int cell) {
        return {zoomCoord(r.left, cell), zoomCoord(r.top, cell), zoomCoord(r.right, cell), zoomCoord(r.bottom, cell)};
    }
    // A canvas rectangle in view pixels: zoomed, then moved by the scroll offset.
    PixelRect toView(const PixelRect& r) const {
        const PixelRect z = zoomRect(r, m_cell);
        return {z.left - m_scrollX, z.top - m_scrollY, z.right - m_scrollX, z.bottom - m_scrollY};
    }

    // Scroll offset in canvas pixels, clamped so the view never passes the canvas.
    int scrollX() const { return m_scrollX; }
    int scrollY() const { return m_scrollY; }
    int maxScrollX() const;
    int maxScrollY() const;
    void setScroll(int x, int y);
    // Scrolls the least needed so that the sector's whole cell is inside the view.
    void scrollToShow(int x, int z);

    // PixelSectorZ / PixelSectorX: z + 1 and x + 1 of the sector under view pixel (px, py), 0
    // where no sector of the room lies or outside the 300 x 300 view.
    int PixelSectorZ(int px, int py) const;
    int PixelSectorX(int px, int py) const;
    std::optional<SectorPos> sectorAtPixel(int px, int py) const;

    // Drawing geometry in canvas pixels (subtract the scroll offset for the view).
    static PixelRect cellRect(int x, int z);              // (10z-1, 10x-1) to (10z+10, 10x+10)
    static PixelRect itemMarkRect(int x, int z, bool withStatic);
    static PixelRect staticMarkRect(int x, int z, bool withItem);
    static PixelRect selectionRect(int x, int z);         // (10z-1, 10x-1) to (10z+9, 10x+9)

private:
    int m_room = -1;
    int m_numX = 0, m_numZ = 0;
    int m_scrollX = 0, m_scrollY = 0;
    int m_cell = kCellSize;
    std::vector<MapCell> m_cells;  // x * numZ + z
};

}  // namespace tessarin::editor
