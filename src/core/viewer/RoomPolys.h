#pragma once
// RoomPolys: the textured polygons of rooms, one growing list for a view (the viewer's whole level,
// or the preview's room and the rooms beyond its portals).
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "level/TRLevel.h"
#include "viewer/Camera.h"
#include "viewer/ViewMath.h"

namespace tessarin::viewer {

// One polygon vertex: position in viewer units relative to the room's origin (room polygons) or
// the mesh's (static-mesh polygons), texture coordinates on the page, inset already applied.
struct PolyVertex {
    float x = 0, y = 0, z = 0;
    float tu = 0, tv = 0;
};

// Attribute of an object texture that draws additively (source one, destination one).
inline constexpr std::int32_t kBlendAdditive = 2;

struct RoomPoly {
    std::int32_t VertexCount = 0;           // 5 for a rectangle (vertex 0 repeated), 3 for a triangle
    std::array<PolyVertex, 5> Vertices{};   // only the first VertexCount are used
    std::int32_t Texture = 0;               // texture page (the tile record's Tile)
    std::int32_t Room = 0;                  // wider than the file's 16 bits: any room count fits
    bool Marked = false;                    // drawn red: lies on the selected sector
    bool DoubleSided = false;               // seen from both sides (bit 15 of the face's texture)
};

// The polygon list. RoomPolyBlend runs parallel to RoomPolys (the object texture's Attribute).
struct RoomPolyList {
    std::vector<RoomPoly> RoomPolys;
    std::vector<std::int32_t> RoomPolyBlend;

    std::int32_t NumRoomPolys() const { return static_cast<std::int32_t>(RoomPolys.size()); }
    // Emptying is explicit: building only ever appends.
    void clear() {
        RoomPolys.clear();
        RoomPolyBlend.clear();
    }
};

// The selected sector of the map (room-relative sector indices); rectangles on it are marked.
struct SelectedSector {
    int SelectedX = 0;
    int SelectedZ = 0;
};

// Appends room `room`'s rectangles then triangles, in file order. Faces whose vertex or texture
// index lies outside the level's arrays are skipped; a room index outside the rooms adds nothing.
// With `selected`, rectangles lying on that sector come out Marked.
void BuildRoom(RoomPolyList& list, const level::TRLevel& level, int room, const SelectedSector* selected = nullptr);

// Room `room`'s face as the polygon BuildRoom appends for it (not marked) and its object texture's
// Attribute; false when the face is left out of every view: its texture or a vertex lies outside the
// level's arrays (or the room outside the rooms).
bool BuildRoomFace(const level::TRLevel& level, int room, const level::TRRoomQuad& face, RoomPoly& poly,
                   std::int32_t& blend);
bool BuildRoomFace(const level::TRLevel& level, int room, const level::TRRoomTriangle& face, RoomPoly& poly,
                   std::int32_t& blend);
// Bit 15 of a room face's texture word: the face is seen from both sides.
inline bool IsDoubleSided(std::int16_t texture) { return (static_cast<std::uint16_t>(texture) & 0x8000u) != 0; }
// The object texture (index into ObjectTextures) the face draws with, or -1 when it is left out.
int RoomFaceTexture(const level::TRLevel& level, const level::TRRoom& room, const level::TRRoomQuad& face);
int RoomFaceTexture(const level::TRLevel& level, const level::TRRoom& room, const level::TRRoomTriangle& face);

// True when every vertex of a rectangle is a corner of sector (selectedX, selectedZ), in
// room-relative units. Triangles are never marked.
bool MarkSelectedSector(const RoomPoly& poly, int selectedX, int selectedZ);
// Re-marks every rectangle of the list for a new selection (no selection: pass nullptr).
void MarkSelectedSector(RoomPolyList& list, const SelectedSector* selected);

// The room's origin in viewer units: (X / 1024, 0, Z / 1024).
Vec3 RoomOrigin(const level::TRRoom& room);

// True when the polygon's first vertex, placed in the level by its room's origin, lies at most 100
// units from the camera.
bool NearCamera(const PolyVertex& vertex, const Vec3& roomOrigin, const Camera& camera);

// Bounds in level-wide viewer units of each room's vertices (an empty box for a room without any).
std::vector<Box> RoomBounds(const level::TRLevel& level);

// The room faces the whole-level viewer builds for a file of `fileBytes`: 262144 and one per 8
// bytes. Each costs the viewer about 180 bytes; the games' levels hold one per 50 bytes or more,
// while a compressed crafted file can describe millions in a few kilobytes.
std::size_t MaxViewerRoomFaces(std::uintmax_t fileBytes);

// "" when every room's rectangles and triangles together keep within MaxViewerRoomFaces, else the
// refusal naming both counts.
std::string ViewerFacesRefusal(const level::TRLevel& level, std::uintmax_t fileBytes);

// Rooms that may be seen from the eye: every room that holds it (RoomHoldsPoint: rooms overlap, so
// the first one need not be the one whose walls surround the eye), and every room reached from
// those through portals whose corners' box meets the frustum or lies next to the eye. A superset
// of what is visible, never less. When no room holds the eye (it stands in a wall or outside)
// every room is kept. Rooms named as another room's alternate (its flipped state) never are, but
// for the lowest of a ring of rooms naming each other that no shown room names.
std::vector<bool> PortalVisibleRooms(const level::TRLevel& level, const Vec3& eye, const Frustum& frustum);

}  // namespace tessarin::viewer
