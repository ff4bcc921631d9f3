#include "editor/SectorMap.h"

#include <algorithm>

#include "editor/Objects.h"
#include "floordata/FloorData.h"
#include "floordata/FloorDataQueries.h"

namespace tessarin::editor {

using level::TRLevel;
using level::TRRoom;

Rgb sectorFillColour(const TRLevel& level, const TRRoom& room, int x, int z, floordata::FloorDataQueries& fd) {
    const level::TRSector* s = sectorAt(room, x, z);
    if (!s) return kMapBlack;

    // Rule 1: TR3/TR4 sectors whose box is blocked (overlap index with bit 15 set).
    if (level.LevelVersion == level::kVersionTR3 || level.LevelVersion == level::kVersionTR4) {
        const int masked = s->BoxIndex & 0x3FF0;
        const auto box = static_cast<std::size_t>(masked / 16);
        if (masked != 0x3FF0 && box < level.Boxes.size() && level.Boxes[box].OverlapIndex < 0) return kMapBlockedBox;
    }
    const std::int32_t f = fd.GetSectorFlags(s->FDIndex);
    if (f & floordata::kFlagMonkey) return kMapMonkey;
    const bool code20 = (f & floordata::kFlagCode20) != 0;
    const bool code21 = (f & floordata::kFlagCode21) != 0;
    if (code20 && code21) return kMapMinecartBoth;
    if (code20) return kMapMinecartLeft;
    if (code21) return kMapMinecartRight;

    const bool firstOrLastX = x == 0 || x == room.NumXSectors - 1;
    const bool firstOrLastZ = z == 0 || z == room.NumZSectors - 1;
    if (firstOrLastX && firstOrLastZ) return kMapGrey;
    if (firstOrLastX || firstOrLastZ) return fd.GetDoor(s->FDIndex) == -1 ? kMapGrey : kMapBlack;

    if (fd.GetTriggerKey(s->FDIndex) != -1) return kMapTrigger;
    if (s->RoomBelow != 255 || s->RoomAbove != 255) return kMapBlack;
    if (s->Floor == -127) return kMapWall;
    if (s->Floor == s->Ceiling) return kMapWall;
    return kMapFloor;
}

namespace {

// The sector whose centre is exactly (wx, wz), if the room has one there.
std::optional<SectorPos> sectorWithCentre(const TRRoom& room, std::int64_t wx, std::int64_t wz) {
    const std::int64_t dx = wx - room.X - 512;
    const std::int64_t dz = wz - room.Z - 512;
    if (dx < 0 || dz < 0 || dx % 1024 != 0 || dz % 1024 != 0) return std::nullopt;
    if (dx / 1024 >= room.NumXSectors || dz / 1024 >= room.NumZSectors) return std::nullopt;
    return SectorPos{static_cast<int>(dx / 1024), static_cast<int>(dz / 1024)};
}

}  // namespace

void SectorMap::clear() {
    m_room = -1;
    m_numX = m_numZ = 0;
    m_scrollX = m_scrollY = 0;
    m_cells.clear();
}

void SectorMap::build(const TRLevel& level, int roomIndex) {
    clear();
    if (roomIndex < 0 || static_cast<std::size_t>(roomIndex) >= level.Rooms.size()) return;
    const TRRoom& room = level.Rooms[static_cast<std::size_t>(roomIndex)];
    const int nx = std::max<int>(room.NumXSectors, 0), nz = std::max<int>(room.NumZSectors, 0);
    // A grid larger than its Sectors array is broken; show nothing rather than invent cells.
    if (static_cast<std::size_t>(nx) * static_cast<std::size_t>(nz) > room.Sectors.size()) return;
    m_room = roomIndex;
    m_numX = nx;
    m_numZ = nz;
    m_cells.assign(static_cast<std::size_t>(m_numX) * static_cast<std::size_t>(m_numZ), MapCell{});
    floordata::FloorDataQueries fd(level.FloorData);
    for (int x = 0; x < m_numX; ++x)
        for (int z = 0; z < m_numZ; ++z)
            m_cells[static_cast<std::size_t>(x) * m_numZ + z].fill = sectorFillColour(level, room, x, z, fd);

    // Marks: one pass over the entities instead of a sector query per cell; the same exact-centre
    // test as GetSectorItems / GetSectorStatics.
    auto mark = [&](std::int64_t wx, std::int64_t wz, bool MapCell::*flag) {
        if (auto p = sectorWithCentre(room, wx, wz)) m_cells[static_cast<std::size_t>(p->x) * m_numZ + p->z].*flag = true;
    };
    for (const auto& it : level.Items)
        if (it.Room == roomIndex) mark(it.X, it.Z, &MapCell::itemMark);
    if (level.LevelVersion >= level::kVersionTR4)
        for (const auto& ai : level.AIObjects)
            if (ai.Room == roomIndex) mark(ai.X, ai.Z, &MapCell::itemMark);
    for (const auto& st : room.StaticMeshes) mark(st.X, st.Z, &MapCell::staticMark);
}

int SectorMap::maxScrollX() const { return std::max(0, zoomedWidth() - kViewSize); }
int SectorMap::maxScrollY() const { return std::max(0, zoomedHeight() - kViewSize); }

void SectorMap::setScroll(int x, int y) {
    m_scrollX = std::clamp(x, 0, maxScrollX());
    m_scrollY = std::clamp(y, 0, maxScrollY());
}

void SectorMap::setCellPixels(int cell) {
    cell = std::clamp(cell, kMinCell, kMaxCell);
    if (cell == m_cell) return;
    // The map point at the view's centre stays at the centre.
    const int half = kViewSize / 2;
    const std::int64_t cx = m_scrollX + half, cy = m_scrollY + half;
    const int old = m_cell;
    m_cell = cell;
    setScroll(static_cast<int>(cx * cell / old) - half, static_cast<int>(cy * cell / old) - half);
}

void SectorMap::zoomBy(int steps) {
    int cell = m_cell;
    for (; steps > 0; --steps) {
        const auto* next = std::upper_bound(kZoomSteps.begin(), kZoomSteps.end(), cell);
        if (next != kZoomSteps.end()) cell = *next;
    }
    for (; steps < 0; ++steps) {
        const auto* below = std::lower_bound(kZoomSteps.begin(), kZoomSteps.end(), cell);
        if (below != kZoomSteps.begin()) cell = *(below - 1);
    }
    setCellPixels(cell);
}

int SectorMap::fitCellPixels() const {
    const int most = std::max(m_numX, m_numZ);
    if (most <= 0) return kCellSize;
    return std::clamp(kViewSize / most, kMinCell, kMaxCell);
}

void SectorMap::scrollToShow(int x, int z) {
    if (!contains(x, z)) return;
    int sx = m_scrollX, sy = m_scrollY;
    const int cell = m_cell;
    const int left = z * cell, top = x * cell;
    if (left < sx) sx = left;
    else if (left + cell > sx + kViewSize) sx = left + cell - kViewSize;
    if (top < sy) sy = top;
    else if (top + cell > sy + kViewSize) sy = top + cell - kViewSize;
    setScroll(sx, sy);
}

std::optional<SectorPos> SectorMap::sectorAtPixel(int px, int py) const {
    if (px < 0 || py < 0 || px >= kViewSize || py >= kViewSize) return std::nullopt;
    const int cx = px + m_scrollX, cy = py + m_scrollY;
    if (cx >= zoomedWidth() || cy >= zoomedHeight()) return std::nullopt;
    const int cell = m_cell;
    return SectorPos{cy / cell, cx / cell};
}

int SectorMap::PixelSectorZ(int px, int py) const {
    const auto p = sectorAtPixel(px, py);
    return p ? p->z + 1 : 0;
}

int SectorMap::PixelSectorX(int px, int py) const {
    const auto p = sectorAtPixel(px, py);
    return p ? p->x + 1 : 0;
}

PixelRect SectorMap::cellRect(int x, int z) {
    return {10 * z - 1, 10 * x - 1, 10 * z + 10, 10 * x + 10};
}

PixelRect SectorMap::itemMarkRect(int x, int z, bool withStatic) {
    return {10 * z + 3, 10 * x + 3, 10 * z + 7, 10 * x + (withStatic ? 5 : 7)};
}

PixelRect SectorMap::staticMarkRect(int x, int z, bool withItem) {
    return {10 * z + 3, 10 * x + (withItem ? 5 : 3), 10 * z + 7, 10 * x + 7};
}

PixelRect SectorMap::selectionRect(int x, int z) {
    return {10 * z - 1, 10 * x - 1, 10 * z + 9, 10 * x + 9};
}

}  // namespace tessarin::editor
