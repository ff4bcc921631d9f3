// Static-object polygons and placements: built like room faces, damaged meshes skipped, each
// object placed from its own position and turned by the viewer's angle formula.
#include <cmath>
#include <tuple>
#include <gtest/gtest.h>

#include "levelgen/CraftedLevels.h"
#include "support/AllocationLimit.h"
#include "support/ViewerTestLevel.h"
#include "level/LevelReader.h"
#include "level/Mesh.h"
#include "viewer/PolyBatches.h"
#include "viewer/StaticMeshes.h"

using namespace tessarin;
using namespace tessarin::viewer;

namespace {

// A mesh of a unit square standing at x = 0..1024, y = 0..-1024, and one triangle.
level::TRMesh squareMesh() {
    level::TRMesh m;
    m.Vertices = {{0, 0, 0}, {1024, 0, 0}, {1024, -1024, 0}, {0, -1024, 0}, {0, 0, 512}};
    m.TexturedRectangles = {{{0, 1, 2, 3}, 0, 0}, {{0, 1, 2, 9}, 0, 0}};  // the second names vertex 9
    m.TexturedTriangles = {{{0, 1, 4}, 0x8001, 0}, {{0, 1, 4}, 5, 0}};   // texture 5 does not exist
    return m;
}

level::TRLevel staticsLevel() {
    auto level = viewertest::polygonLevel();
    level.MeshPointers = {static_cast<std::int32_t>(level::AppendMesh(level, squareMesh())), 1 << 20, -2};
    level::TRStaticMesh s;
    s.ObjectID = 40;
    s.Mesh = 0;
    level.StaticMeshes.push_back(s);
    s.ObjectID = 41;
    s.Mesh = 1;  // its pointer lies beyond MeshData
    level.StaticMeshes.push_back(s);
    s.ObjectID = 42;
    s.Mesh = 7;  // no such mesh pointer
    level.StaticMeshes.push_back(s);
    s.ObjectID = 43;
    s.Mesh = 2;  // a negative pointer
    level.StaticMeshes.push_back(s);
    return level;
}

}  // namespace

TEST(StaticMeshes, DefinitionsGetRoomStylePolygonsAndDamagedMeshesNone) {
    const auto level = staticsLevel();
    const auto defs = BuildStaticMeshes(level);
    ASSERT_EQ(defs.size(), 4u);
    const StaticMeshPolys& square = defs[0];
    EXPECT_TRUE(square.Valid);
    EXPECT_EQ(square.ObjectID, 40);
    ASSERT_EQ(square.polys().size(), 2u);  // the faces naming vertex 9 and texture 5 are skipped
    const RoomPoly& quad = square.polys()[0];
    EXPECT_EQ(quad.VertexCount, 5);
    EXPECT_EQ(quad.Texture, 4);
    EXPECT_FLOAT_EQ(quad.Vertices[2].x, 1.0f);
    EXPECT_FLOAT_EQ(quad.Vertices[2].y, 1.0f);  // mesh y -1024 is one unit up
    EXPECT_FLOAT_EQ(quad.Vertices[0].tu, 1 / 255.0f);
    EXPECT_FLOAT_EQ(quad.Vertices[2].tu, 62 / 255.0f);
    EXPECT_EQ(quad.Vertices[4].x, quad.Vertices[0].x);
    EXPECT_EQ(square.polys()[1].VertexCount, 3);
    EXPECT_EQ(square.polys()[1].Texture, 7);  // bit 15 dropped
    EXPECT_FLOAT_EQ(square.bounds().max.z, 0.5f);
    for (std::size_t i = 1; i < defs.size(); ++i) {
        EXPECT_FALSE(defs[i].Valid) << i;
        EXPECT_TRUE(defs[i].polys().empty()) << i;
    }
    const TriangleBatches b = BatchMeshPolys(square.polys());
    EXPECT_EQ(b.vertices.size(), 9u);
    ASSERT_EQ(b.ranges.size(), 2u);
    EXPECT_EQ(b.ranges[1].texture, 7);
    EXPECT_EQ(b.ranges[1].pass, Pass::Opaque);
}

TEST(StaticMeshes, AStaticFacesWhereAnItemOfItsAngleWalks) {
    EXPECT_FLOAT_EQ(StaticAngle(0), 0.0f);
    EXPECT_FLOAT_EQ(StaticAngle(0x8000), 3.14f);
    // An item walks to (sin, cos) in x and z: east at a quarter turn, west at three, north-east at
    // an eighth; the mesh's front (+z) must turn the same way.
    for (const auto& [rotation, x, z] : {std::tuple{0x4000, 1.0, 0.0}, {0xC000, -1.0, 0.0}, {0x2000, 0.7071, 0.7071}}) {
        const Vec3 front = Mat4::rotationY(StaticAngle(static_cast<std::uint16_t>(rotation))).transformPoint({0, 0, 1});
        EXPECT_NEAR(front.x, x, 5e-3) << rotation;
        EXPECT_NEAR(front.z, z, 5e-3) << rotation;
    }
}

TEST(StaticMeshes, PlacementsStandAtTheirOwnPositionWhateverRoomTheyAreIn) {
    auto level = staticsLevel();
    level.Rooms[0].X = 80 * 1024;  // a room far from the origin must not move its statics
    level::TRRoomStatic s;
    s.X = 82 * 1024;
    s.Y = -512;
    s.Z = 4 * 1024;
    s.ObjectID = 41;
    s.Rotation = 0xC000;
    level.Rooms[0].StaticMeshes.push_back(s);
    s.ObjectID = 99;  // no definition
    level.Rooms[0].StaticMeshes.push_back(s);
    level.Rooms.push_back(level.Rooms[0]);
    level.StaticMeshes.push_back(level.StaticMeshes[1]);  // a second definition of ID 41 is not used

    const auto all = StaticPlacements(level);
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[2].Room, 1);
    EXPECT_EQ(StaticPlacements(level, 1).size(), 2u);
    EXPECT_TRUE(StaticPlacements(level, 2).empty());
    const StaticPlacement& p = all[0];
    EXPECT_EQ(p.Definition, 1);
    EXPECT_EQ(all[1].Definition, -1);
    EXPECT_FLOAT_EQ(p.Angle, 4.71f);

    const Mat4 m = StaticMeshMatrix(p);
    const Vec3 origin = m.transformPoint({0, 0, 0});
    EXPECT_FLOAT_EQ(origin.x, 82);
    EXPECT_FLOAT_EQ(origin.y, 0.5f);
    EXPECT_FLOAT_EQ(origin.z, 4);
    // Three quarter turns take the mesh's +x to +z, then place it.
    const Vec3 side = m.transformPoint({1, 0, 0});
    EXPECT_NEAR(side.x, 82 + std::cos(4.71), 1e-5);
    EXPECT_NEAR(side.z, 4 - std::sin(4.71), 1e-5);
}

// Crafted files: thousands of definitions naming one big mesh, and pointers into a run of 0x7FFF
// counts whose every offset reads as a mesh of about a megabyte. Both stay within 64 bytes per
// file byte and a fixed 48 MB.
TEST(StaticMeshes, DefinitionsNamingOneMeshShareItAndOverlappingMeshesAreReadOnce) {
    for (const char* name : {"statics-share", "mesh-overlap"}) {
        SCOPED_TRACE(name);
        const auto bytes = levelgen::buildCrafted(name, level::kVersionTR4);
        auto level = level::LoadLevelFromBytes(bytes, "crafted.tr4");
        ASSERT_TRUE(level.ok()) << level.error();
        test::AllocationLimit limit(64 * bytes.size() + 48 * 1024 * 1024);
        const auto defs = BuildStaticMeshes(*level);
        ASSERT_EQ(defs.size(), level->StaticMeshes.size());
        std::size_t valid = 0;
        for (const auto& d : defs) valid += d.Valid ? 1 : 0;
        if (std::string(name) == "statics-share") {
            EXPECT_EQ(valid, defs.size());
            EXPECT_EQ(defs.front().Shape, defs.back().Shape);
            EXPECT_EQ(defs.back().polys().size(), 16000u);
        } else {
            EXPECT_EQ(valid, 1u);  // the first mesh takes nearly the whole block; the rest overlap it
        }
    }
}
