#pragma once
// PolyBatches: polygons turned into triangle arrays a renderer uploads once and draws with one call
// per texture page and pass (several rooms' ranges of one page can go in one multi-draw).
#include <cstdint>
#include <vector>

#include "level/TRLevel.h"
#include "viewer/RoomPolys.h"

namespace tessarin::viewer {

// 28 bytes: position, texture coordinates, page (as a float, for an array texture's layer) and
// colour (red, green, blue, alpha bytes: white, or red on the selected sector).
struct TriangleVertex {
    float x = 0, y = 0, z = 0;
    float tu = 0, tv = 0;
    float page = 0;
    std::uint8_t r = 255, g = 255, b = 255, a = 255;
};
static_assert(sizeof(TriangleVertex) == 28, "vertex attribute offsets assume a packed 28-byte vertex");

enum class Pass : std::uint8_t {
    Opaque,    // drawn first, no blending
    Additive,  // RoomPolyBlend 2: drawn second, blend one/one
};

// A run of whole triangles (count is a multiple of 3) of one pass, page and room.
struct DrawRange {
    Pass pass = Pass::Opaque;
    std::int32_t texture = 0;
    std::int32_t room = -1;  // -1 for mesh triangles
    std::uint32_t first = 0;  // first vertex
    std::uint32_t count = 0;  // vertices
};

// Vertices ordered by pass, then page, then room, each range contiguous; ranges in that order.
struct TriangleBatches {
    std::vector<TriangleVertex> vertices;
    std::vector<DrawRange> ranges;
};

// A polygon's fan as triangles (v0, vi, vi+1); a rectangle's repeated fifth vertex would only add
// an empty triangle, so rectangles give two triangles and triangles one.
int TriangleCount(const RoomPoly& poly);
// The triangles drawn for it: a double-sided polygon's fan comes twice, the second time turned the
// other way, so that the device's culling keeps whichever side faces the camera.
int DrawnTriangleCount(const RoomPoly& poly);

// The whole list in level-wide positions (each room's origin added), so one buffer holds every
// room. Polygons of a room outside the level keep room-relative positions.
TriangleBatches BatchRoomPolys(const RoomPolyList& list, const level::TRLevel& level);

// A whole level's rooms as the triangles BuildRoom for every room then BatchRoomPolys would give
// (the same vertices, ranges and order), made a piece at a time: a view uploads the pieces as they
// come, so neither the polygon list nor a second copy of the vertices is ever held (together they
// cost the viewer of a 145 MB level a gigabyte). Only the order of the faces is kept, 8 bytes each.
// The level must outlive it and stay unchanged.
class RoomTriangles {
public:
    explicit RoomTriangles(const level::TRLevel& level);

    const std::vector<DrawRange>& ranges() const { return m_ranges; }
    std::size_t vertexCount() const { return m_vertexCount; }
    // Replaces `out` with the vertices of the next faces, whole faces until at least `vertices` (one
    // face at the least); false, `out` empty, once every face has been given.
    bool next(std::vector<TriangleVertex>& out, std::size_t vertices);

private:
    struct FaceRef {
        std::uint32_t room;
        std::uint32_t face;  // the room's rectangles first, then its triangles
    };
    const level::TRLevel* m_level;
    std::vector<Vec3> m_origins;
    std::vector<FaceRef> m_faces;
    std::vector<DrawRange> m_ranges;
    std::size_t m_vertexCount = 0;
    std::size_t m_next = 0;
};

// One mesh's polygons, mesh-relative, all opaque (static meshes draw without blending).
TriangleBatches BatchMeshPolys(const std::vector<RoomPoly>& polys);

}  // namespace tessarin::viewer
