// Room polygons: what BuildRoom appends, the selected-sector marking, the distance test and the
// triangle batches a renderer draws from.
#include <gtest/gtest.h>

#include <cstring>

#include "levelgen/CraftedLevels.h"
#include "levelgen/LevelBuilder.h"
#include "levelgen/SampleLevels.h"
#include "support/ViewerTestLevel.h"
#include "level/LevelReader.h"
#include "support/TestPaths.h"
#include "viewer/PolyBatches.h"
#include "viewer/RoomPolys.h"

using namespace tessarin;
using namespace tessarin::viewer;

namespace {

constexpr float kStep = 1.0f / 255.0f;

}  // namespace

TEST(RoomPolys, BuildRoomAppendsRectanglesThenTrianglesWithTheInsetCoordinates) {
    auto level = viewertest::polygonLevel();
    level.Rooms[0].Rectangles[0].Texture = static_cast<std::int16_t>(0x8000);  // double-sided: low 12 bits only
    RoomPolyList list;
    BuildRoom(list, level, 0);
    ASSERT_EQ(list.NumRoomPolys(), 2);
    ASSERT_EQ(list.RoomPolyBlend.size(), 2u);

    const RoomPoly& quad = list.RoomPolys[0];
    EXPECT_EQ(quad.VertexCount, 5);
    EXPECT_EQ(quad.Texture, 4);
    EXPECT_EQ(quad.Room, 0);
    EXPECT_EQ(list.RoomPolyBlend[0], 0);
    EXPECT_FLOAT_EQ(quad.Vertices[1].x, 2.0f);  // room-relative: the room's origin is not added
    EXPECT_FLOAT_EQ(quad.Vertices[1].z, 2.0f);
    // Corner 0 is the reference corner: moved one step in; corner 2 (63, 63) one step back.
    EXPECT_FLOAT_EQ(quad.Vertices[0].tu, kStep);
    EXPECT_FLOAT_EQ(quad.Vertices[0].tv, kStep);
    EXPECT_FLOAT_EQ(quad.Vertices[2].tu, 62 * kStep);
    EXPECT_FLOAT_EQ(quad.Vertices[1].tv, kStep);
    EXPECT_EQ(quad.Vertices[4].tu, quad.Vertices[0].tu);
    EXPECT_EQ(quad.Vertices[4].x, quad.Vertices[0].x);

    const RoomPoly& tri = list.RoomPolys[1];
    EXPECT_EQ(tri.VertexCount, 3);
    EXPECT_EQ(tri.Texture, 7);
    EXPECT_EQ(list.RoomPolyBlend[1], kBlendAdditive);
    EXPECT_FLOAT_EQ(tri.Vertices[2].y, 1.0f);  // level y -1024 is one unit up
    EXPECT_FLOAT_EQ(tri.Vertices[0].tu, 65 * kStep);
    EXPECT_FLOAT_EQ(tri.Vertices[1].tu, 126 * kStep);

    // Building again appends; only clear() empties.
    BuildRoom(list, level, 0);
    EXPECT_EQ(list.NumRoomPolys(), 4);
    list.clear();
    EXPECT_EQ(list.NumRoomPolys(), 0);
    EXPECT_TRUE(list.RoomPolyBlend.empty());
}

TEST(RoomPolys, FacesNamingMissingVerticesOrTexturesAndBadRoomsAddNothing) {
    auto level = viewertest::polygonLevel();
    auto& room = level.Rooms[0];
    room.Rectangles.push_back({{0, 1, 2, 5}, 0, 0});    // vertex 5 does not exist
    room.Rectangles.push_back({{0, 1, -1, 3}, 0, 0});   // -1 is 65535 as stored
    room.Triangles.push_back({{0, 1, 2}, 2, 0});        // texture 2 does not exist
    room.Triangles.push_back({{0, 1, 2}, 0x1001, 0});   // low 12 bits: texture 1, kept
    RoomPolyList list;
    BuildRoom(list, level, 0);
    ASSERT_EQ(list.NumRoomPolys(), 3);
    EXPECT_EQ(list.RoomPolys[2].Texture, 7);
    BuildRoom(list, level, -1);
    BuildRoom(list, level, 1);
    level.TextureTiles.resize(1);  // a tile table shorter than the textures guards the same way
    room.Rectangles.clear();
    room.Triangles.resize(1);
    BuildRoom(list, level, 0);
    EXPECT_EQ(list.NumRoomPolys(), 3);
}

TEST(RoomPolys, OnlyRectanglesOnTheSelectedSectorAreMarked) {
    auto level = viewertest::polygonLevel();
    const SelectedSector onSquare{1, 2}, beside{2, 2};
    RoomPolyList list;
    BuildRoom(list, level, 0, &onSquare);
    EXPECT_TRUE(list.RoomPolys[0].Marked);
    EXPECT_FALSE(list.RoomPolys[1].Marked);  // its corners lie on the sector too, but triangles are never marked
    MarkSelectedSector(list, &beside);
    EXPECT_FALSE(list.RoomPolys[0].Marked);
    MarkSelectedSector(list, &onSquare);
    EXPECT_TRUE(list.RoomPolys[0].Marked);
    MarkSelectedSector(list, nullptr);
    EXPECT_FALSE(list.RoomPolys[0].Marked);
}

TEST(RoomPolys, NearCameraMeasuresInLevelUnitsUpToAHundredInclusive) {
    auto level = viewertest::polygonLevel();
    level.Rooms[0].X = 300 * 1024;  // far from the level's origin
    RoomPolyList list;
    BuildRoom(list, level, 0);
    const PolyVertex& v = list.RoomPolys[0].Vertices[0];  // (1, 0, 2) in the room
    const Vec3 origin = RoomOrigin(level.Rooms[0]);
    Camera camera;
    camera.CamX = 301;
    camera.CamZ = 5;
    EXPECT_TRUE(NearCamera(v, origin, camera));  // room-relative it would be 300 units away
    camera.CamX = 301 + 100.0;  // exactly 100 units along x
    EXPECT_TRUE(NearCamera(v, origin, camera));
    camera.CamX += 0.001;
    EXPECT_FALSE(NearCamera(v, origin, camera));
    camera = Camera{};
    EXPECT_FALSE(NearCamera(v, origin, camera));
}

TEST(RoomPolys, BatchesAreWorldPlacedTrianglesGroupedByPassPageAndRoom) {
    auto level = viewertest::polygonLevel();
    level.Rooms.push_back(level.Rooms[0]);
    level.Rooms[1].X = 10 * 1024;
    RoomPolyList list;
    const SelectedSector selected{1, 2};
    BuildRoom(list, level, 1, &selected);
    BuildRoom(list, level, 0);
    const TriangleBatches b = BatchRoomPolys(list, level);
    ASSERT_EQ(b.vertices.size(), 2u * (6 + 3));
    ASSERT_EQ(b.ranges.size(), 4u);
    // Opaque rectangles of page 4 (room 0, then room 1), then the additive triangles of page 7.
    EXPECT_EQ(b.ranges[0].pass, Pass::Opaque);
    EXPECT_EQ(b.ranges[0].room, 0);
    EXPECT_EQ(b.ranges[1].room, 1);
    EXPECT_EQ(b.ranges[1].first, 6u);
    EXPECT_EQ(b.ranges[1].count, 6u);
    EXPECT_EQ(b.ranges[2].pass, Pass::Additive);
    EXPECT_EQ(b.ranges[2].texture, 7);
    EXPECT_EQ(b.ranges[3].first + b.ranges[3].count, b.vertices.size());
    // Rectangle fan (0, 1, 2), (0, 2, 3) with the room's origin added; room 1's is marked red.
    EXPECT_FLOAT_EQ(b.vertices[0].x, 2 + 1.0f);
    EXPECT_FLOAT_EQ(b.vertices[0].z, 3 + 2.0f);
    EXPECT_FLOAT_EQ(b.vertices[5].x, 2 + 1.0f);
    EXPECT_FLOAT_EQ(b.vertices[5].z, 3 + 3.0f);
    EXPECT_FLOAT_EQ(b.vertices[6].x, 10 + 1.0f);
    EXPECT_EQ(b.vertices[0].g, 255);
    EXPECT_EQ(b.vertices[6].g, 0);
    EXPECT_EQ(b.vertices[6].r, 255);
    EXPECT_FLOAT_EQ(b.vertices[6].page, 4.0f);

    const auto bounds = RoomBounds(level);
    ASSERT_EQ(bounds.size(), 2u);
    EXPECT_FLOAT_EQ(bounds[1].min.x, 11.0f);
    EXPECT_FLOAT_EQ(bounds[1].max.x, 12.0f);
    EXPECT_FLOAT_EQ(bounds[1].max.y, 1.0f);
    EXPECT_FLOAT_EQ(bounds[1].min.z, 5.0f);
}

TEST(RoomPolys, TheLevelsTrianglesInPiecesAreTheBatchesOfEveryRoomsPolygons) {
    // Rooms whose faces interleave pages and passes, one page on both passes, a page numbered below
    // the others, double-sided faces, and faces left out (texture or vertex outside the arrays).
    auto mixed = viewertest::polygonLevel();
    mixed.ObjectTextures.push_back(viewertest::objectTexture(2, 0, 0, 63, 63));
    mixed.ObjectTextures.push_back(viewertest::objectTexture(0, 0, 0, 63, 63));
    mixed.TextureTiles.push_back({0, 0, 4, 0, 0, 0, 0});
    mixed.TextureTiles.push_back({0, 0, 2, 0, 0, 0, 0});
    mixed.ObjectTextures.push_back(viewertest::objectTexture(0, 0, 0, 63, 63));  // no tile: left out
    for (int r = 1; r < 5; ++r) {
        level::TRRoom room = mixed.Rooms[0];
        room.X = r * 4096;
        for (int f = 0; f < 3 + r; ++f) {
            room.Rectangles.push_back({{0, 1, 2, 3}, static_cast<std::int16_t>((r + f) % 5 | (f == 1 ? 0x8000 : 0)), 0});
            room.Triangles.push_back(
                {{1, 2, static_cast<std::int16_t>(f == 2 ? 9 : 4)}, static_cast<std::int16_t>(f % 4 | (f == 3 ? 0x8000 : 0)), 0});
        }
        mixed.Rooms.push_back(room);
    }
    mixed.Rooms.emplace_back();  // no faces at all

    levelgen::LargeLevelParams params;
    params.version = level::kVersionTR2;
    params.rooms = 30;
    // Read back from its bytes: the texture tiles are made by the reader.
    auto generated = level::LoadLevelFromBytes(levelgen::buildLevel(levelgen::composeLargeLevel(params)), "gen.tr2");
    ASSERT_TRUE(generated.ok()) << generated.error();
    std::vector<std::pair<std::string, level::TRLevel>> levels{
        {"one room", viewertest::polygonLevel()}, {"mixed", mixed}, {"generated", std::move(*generated)}};
    for (const char* name : {"tr1-test1.phd", "tr4-test1.tr4", "tr5-test1.trc"}) {
        const auto path = tessarin::test::realLevel(name);
        if (path.empty()) continue;
        auto loaded = level::LoadLevel(path);
        ASSERT_TRUE(loaded.ok()) << name << ": " << loaded.error();
        levels.emplace_back(name, std::move(*loaded));
    }
    for (const auto& [name, level] : levels) {
        RoomPolyList list;
        for (int r = 0; r < static_cast<int>(level.Rooms.size()); ++r) BuildRoom(list, level, r);
        const TriangleBatches whole = BatchRoomPolys(list, level);

        RoomTriangles pieces(level);
        ASSERT_EQ(pieces.vertexCount(), whole.vertices.size()) << name;
        ASSERT_EQ(pieces.ranges().size(), whole.ranges.size()) << name;
        for (std::size_t i = 0; i < whole.ranges.size(); ++i) {
            const DrawRange &a = pieces.ranges()[i], &b = whole.ranges[i];
            ASSERT_TRUE(a.pass == b.pass && a.texture == b.texture && a.room == b.room && a.first == b.first &&
                        a.count == b.count)
                << name << " range " << i;
        }
        std::vector<TriangleVertex> all, piece;
        std::vector<std::size_t> sizes;
        while (pieces.next(piece, 7)) {
            sizes.push_back(piece.size());
            all.insert(all.end(), piece.begin(), piece.end());
        }
        EXPECT_TRUE(piece.empty());
        // Whole faces, just past the size asked for (the last piece what is left).
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            ASSERT_EQ(sizes[i] % 3, 0u) << name;
            ASSERT_LT(sizes[i], 7u + 12) << name;
            if (i + 1 < sizes.size()) {
                ASSERT_GE(sizes[i], 7u) << name;
            }
        }
        EXPECT_FALSE(pieces.next(piece, 7));
        ASSERT_EQ(all.size(), whole.vertices.size()) << name;
        ASSERT_FALSE(all.empty()) << name;
        EXPECT_EQ(std::memcmp(all.data(), whole.vertices.data(), all.size() * sizeof(TriangleVertex)), 0) << name;
    }
}

TEST(RoomPolys, ADoubleSidedFaceIsDrawnTurnedBothWays) {
    auto level = viewertest::polygonLevel();
    level.Rooms[0].Triangles.clear();
    level.Rooms[0].Rectangles.resize(1);
    auto batches = [&] {
        RoomPolyList list;
        BuildRoom(list, level, 0);
        return BatchRoomPolys(list, level);
    };
    const TriangleBatches one = batches();
    level.Rooms[0].Rectangles[0].Texture = static_cast<std::int16_t>(level.Rooms[0].Rectangles[0].Texture | 0x8000);
    const TriangleBatches both = batches();
    const std::size_t n = one.vertices.size();
    ASSERT_EQ(both.vertices.size(), 2 * n);
    EXPECT_EQ(both.ranges.back().count, 2 * n);
    // The same triangles again, each with its last two corners swapped.
    for (std::size_t t = 0; t < n; t += 3) {
        EXPECT_EQ(both.vertices[n + t].x, one.vertices[t].x);
        EXPECT_EQ(both.vertices[n + t + 1].z, one.vertices[t + 2].z);
        EXPECT_EQ(both.vertices[n + t + 2].tu, one.vertices[t + 1].tu);
    }
}

TEST(RoomPolys, RoomsAroundTheEyeAndBeyondPortalsInViewAreKeptAndOthersLeftOut) {
    // Rooms 0, 1, 2 of 5 x 4 sectors in a row along x, each with a doorway 4 units past its origin
    // into the next; room 3 has no way in.
    level::TRLevel level;
    level.Rooms.resize(4);
    level::TRPortal door;
    door.Vertices = {{{4096, 0, 1024}, {4096, 0, 3072}, {4096, -2048, 3072}, {4096, -2048, 1024}}};
    for (int r = 0; r < 4; ++r) {
        auto& room = level.Rooms[static_cast<std::size_t>(r)];
        room.X = r * 3 * 1024;
        room.NumXSectors = 5, room.NumZSectors = 4;
        room.YTop = -2048;
        door.AdjoiningRoom = static_cast<std::int16_t>(r + 1 < 3 ? r + 1 : 0);
        if (r < 3) room.Portals.push_back(door);
    }
    level.Rooms[3].Z = 10 * 1024;
    Camera camera;
    camera.CamX = 2;
    camera.CamY = 1;
    camera.CamZ = 2;
    auto visible = [&] {
        const Vec3 eye{float(camera.CamX), float(camera.CamY), float(camera.CamZ)};
        return PortalVisibleRooms(level, eye, Frustum(ProjectionMatrix(1.0f) * SetView(camera)));
    };
    EXPECT_EQ(visible(), (std::vector<bool>{true, true, true, false}));
    camera.CamAngle = 3.14159f;  // the doorway is now behind the camera
    EXPECT_EQ(visible(), (std::vector<bool>{true, false, false, false}));
    // A doorway just behind the eye may still fill the view's edge; one further back may not.
    camera.CamX = 3.8;
    EXPECT_EQ(visible(), (std::vector<bool>{true, true, false, false}));
    camera.CamX = 3.5;
    EXPECT_EQ(visible(), (std::vector<bool>{true, false, false, false}));
    // Room 3 overlaps room 0 around the eye: it is kept though no doorway leads to it, whichever of
    // the two comes first.
    level.Rooms[3].X = level.Rooms[3].Z = 0;
    EXPECT_EQ(visible(), (std::vector<bool>{true, false, false, true}));
    std::swap(level.Rooms[0], level.Rooms[3]);
    EXPECT_EQ(visible(), (std::vector<bool>{true, false, false, true}));
    // Room 3 as room 0's flipped state, in its place: left out whether the eye is in them or in
    // no room at all (inside a wall: every other room).
    level.Rooms[0].AlternateRoom = 3;
    EXPECT_EQ(visible(), (std::vector<bool>{true, false, false, false}));
    camera.CamY = 5;
    EXPECT_EQ(visible(), (std::vector<bool>{true, true, true, false}));
    level.Rooms[0].AlternateRoom = -1;
    EXPECT_EQ(visible(), (std::vector<bool>(4, true)));
    // Rooms naming each other round a ring, as two do, or more in a damaged file: the lowest is
    // shown, unless a shown room names one of them.
    level.Rooms[1].AlternateRoom = 2;
    level.Rooms[2].AlternateRoom = 1;
    EXPECT_EQ(visible(), (std::vector<bool>{true, true, false, true}));
    level.Rooms[2].AlternateRoom = 3;
    level.Rooms[3].AlternateRoom = 1;
    EXPECT_EQ(visible(), (std::vector<bool>{true, true, false, false}));
    level.Rooms[0].AlternateRoom = 2;
    EXPECT_EQ(visible(), (std::vector<bool>{true, false, false, false}));
}

TEST(RoomPolys, EveryRoomOfTheRealLevelsBuildsWithinItsPages) {
    for (const char* name : {"tr1-test1.phd", "tr2-test1.tr2", "tr3-test1.tr2", "tr4-test1.tr4", "tr5-test1.trc"}) {
        const auto path = tessarin::test::realLevel(name);
        if (path.empty()) continue;
        auto level = level::LoadLevel(path);
        ASSERT_TRUE(level.ok()) << name << ": " << level.error();
        RoomPolyList list;
        std::size_t faces = 0;
        for (std::size_t r = 0; r < level->Rooms.size(); ++r) {
            BuildRoom(list, *level, static_cast<int>(r));
            faces += level->Rooms[r].Rectangles.size() + level->Rooms[r].Triangles.size();
        }
        EXPECT_GT(list.NumRoomPolys(), 0) << name;
        EXPECT_LE(static_cast<std::size_t>(list.NumRoomPolys()), faces) << name;
        for (const RoomPoly& p : list.RoomPolys) {
            ASSERT_LT(p.Texture, std::max(level->NumTextiles, 1)) << name;
            for (int k = 0; k < p.VertexCount; ++k) {
                ASSERT_GE(p.Vertices[static_cast<std::size_t>(k)].tu, -kStep) << name;
                ASSERT_LE(p.Vertices[static_cast<std::size_t>(k)].tu, 256 * kStep) << name;
            }
        }
    }
}

TEST(RoomPolys, TheViewerRefusesAFileDescribingFarMoreFacesThanItsSizeHolds) {
    // 900 rooms of 4000 faces in 100 KB of compressed file: about 1.2 GB of polygons to build.
    const auto bytes = levelgen::buildCrafted("rooms-faces", level::kVersionTR4);
    const auto level = level::LoadLevelFromBytes(bytes, "crafted.tr4");
    ASSERT_TRUE(level.ok()) << level.error();
    const std::string refusal = viewer::ViewerFacesRefusal(*level, bytes.size());
    EXPECT_NE(refusal.find("The level's rooms have 3600000 faces, more than the "), std::string::npos) << refusal;
    // The same rooms in an uncompressed file of their size are shown.
    EXPECT_EQ(viewer::ViewerFacesRefusal(*level, 40'000'000), "");
}
