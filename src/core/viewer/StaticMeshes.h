#pragma once
// StaticMeshes: the textured polygons of every static-object definition, and where each room's
// static objects stand.
#include <cstdint>
#include <memory>
#include <vector>

#include "level/Mesh.h"
#include "level/TRLevel.h"
#include "viewer/RoomPolys.h"
#include "viewer/ViewMath.h"

namespace tessarin::viewer {

// The polygons of one mesh (mesh-relative viewer units, Room unused).
struct StaticMeshShape {
    std::vector<RoomPoly> Polys;
    Box Bounds;  // of the polygons' vertices
};

// One static-object definition. Definitions that name the same mesh share one shape, so a file
// that names one big mesh thousands of times costs it once.
struct StaticMeshPolys {
    std::int32_t ObjectID = 0;
    bool Valid = false;  // false: the mesh pointer or its counts run outside MeshData; no polygons
    std::shared_ptr<const StaticMeshShape> Shape;  // never null

    const std::vector<RoomPoly>& polys() const { return Shape->Polys; }
    const Box& bounds() const { return Shape->Bounds; }
};

// The most textured faces the distinct static meshes may hold together (about 110 MB of polygons;
// the games' levels hold a few tens of thousands). Meshes past it count as invalid.
inline constexpr std::size_t kMaxStaticFaces = std::size_t{1} << 20;

// One entry per element of StaticMeshes, in order. Faces whose vertex or texture index lies outside
// the mesh's or the level's arrays are skipped. Each distinct mesh is parsed once; meshes of an
// honest file do not overlap, so once the distinct meshes add up to more bytes than MeshData holds,
// the further ones count as invalid rather than each being read over the same bytes again.
std::vector<StaticMeshPolys> BuildStaticMeshes(const level::TRLevel& level);

// The polygons of all definitions together, each shape counted once per definition naming it.
std::size_t CountStaticPolys(const std::vector<StaticMeshPolys>& statics);

// A stored rotation (16384 a quarter turn) as the viewer turns the mesh: rotation / 16384 * 1.57,
// the rotation read unsigned (0 to 6.28).
float StaticAngle(std::uint16_t rotation);

// One static object of a room, ready to draw.
struct StaticPlacement {
    int Room = 0;
    int Definition = -1;  // index into BuildStaticMeshes' result; -1: no definition has the object ID
    Vec3 Position;        // level-wide viewer units: (x / 1024, -y / 1024, z / 1024)
    float Angle = 0;      // StaticAngle of the stored rotation
};

// The static objects of room `room` (or of every room, in room order, when `room` is -1).
std::vector<StaticPlacement> StaticPlacements(const level::TRLevel& level, int room = -1);

// World matrix of a placement: turned about y by its angle, then moved to its own position. It
// does not depend on any room drawn before it.
Mat4 StaticMeshMatrix(const StaticPlacement& placement);

}  // namespace tessarin::viewer
