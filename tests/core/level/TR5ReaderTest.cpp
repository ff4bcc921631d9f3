// The TR5 reader: layered rooms merged, the room block's offsets checked, the real level and its cuts.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <functional>
#include <limits>
#include <set>

#include "TR45TestFiles.h"
#include "level/LevelReader.h"
#include "support/TestPaths.h"
#include "util/ByteWriter.h"

using namespace tessarin;
using test::Bytes;

namespace {

util::Result<level::TRLevel> load(const Bytes& b) { return level::LoadLevelFromBytes(b, "test.TRC"); }

test::TR5Layer layer(std::size_t vertices) {
    test::TR5Layer l;
    for (std::size_t i = 0; i < vertices; ++i) l.vertices.push_back({float(i), -float(i), 2.0f * float(i)});
    return l;
}

Bytes fileWithRooms(std::vector<test::TR5Room> rooms) {
    test::TR5File f;
    for (const auto& r : rooms) f.rooms.push_back(test::tr5Room(r));
    f.items.push_back(test::item(0, 0, 1536, 0, 2560));
    return test::tr5File(f);
}

test::TR5Room plainRoom() {
    test::TR5Room r;
    r.layers.push_back(layer(4));
    r.layers[0].rectangles.push_back({0, 1, 2, 3});
    return r;
}

Bytes lightBytes(std::uint8_t type, std::uint8_t extra) {
    Bytes b;
    auto f = [&](float v) {
        const auto u = std::bit_cast<std::uint32_t>(v);
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
    };
    auto i32 = [&](std::int32_t v) {
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i)));
    };
    f(100.5f), f(-200.0f), f(300.0f);        // position
    f(1.0f), f(0.5f), f(0.25f);              // colour
    i32(0);                                  // unused
    f(10), f(20), f(30), f(40), f(50);       // In, Out, Length, CutOff, Range
    f(0.0f), f(-1.0f), f(0.0f);              // direction
    i32(100), i32(-200), i32(300);           // integer position
    i32(0), i32(-4096), i32(0);              // integer direction
    b.push_back(type), b.push_back(extra), b.push_back(0xCD), b.push_back(0xCD);
    return b;
}

}  // namespace

TEST(TR5Reader, MergesLayersIntoOneVertexAndFaceList) {
    test::TR5Room room;
    room.layers.push_back(layer(10));
    room.layers.push_back(layer(6));
    room.layers[0].rectangles.push_back({0, 1, 2, 3});
    room.layers[0].triangles.push_back({7, 8, 9});
    room.layers[1].rectangles.push_back({0, 1, 2, 3});
    room.layers[1].triangles.push_back({5, 4, 3});
    auto l = load(fileWithRooms({room}));
    ASSERT_TRUE(l) << l.error();
    const auto& r = l->Rooms[0];
    ASSERT_EQ(r.Vertices.size(), 16u);
    ASSERT_EQ(r.Rectangles.size(), 2u);
    EXPECT_EQ(r.Rectangles[0].Vertices, (std::array<std::int16_t, 4>{0, 1, 2, 3}));
    EXPECT_EQ(r.Rectangles[1].Vertices, (std::array<std::int16_t, 4>{10, 11, 12, 13}));
    EXPECT_EQ(r.Rectangles[1].Texture, 9);
    EXPECT_EQ(r.Rectangles[1].FaceFlags, 1);
    ASSERT_EQ(r.Triangles.size(), 2u);
    EXPECT_EQ(r.Triangles[1].Vertices, (std::array<std::int16_t, 3>{15, 14, 13}));
    EXPECT_EQ(r.Triangles[1].FaceFlags, 2);
    EXPECT_EQ(r.Vertices[15].X, 5) << "the second layer's vertices follow the first's";
    EXPECT_EQ(r.Vertices[15].Z, 10);
    EXPECT_EQ(r.Layers.size(), 2u);
}

TEST(TR5Reader, ALayerVertexCountIsTheFirstFieldModulo4096) {
    test::TR5Room room;
    room.layers.push_back(layer(10));
    room.layers[0].firstValue = 4106;
    auto l = load(fileWithRooms({room}));
    ASSERT_TRUE(l) << l.error();
    EXPECT_EQ(l->Rooms[0].Vertices.size(), 10u);
}

TEST(TR5Reader, VertexPositionsRoundToTheNearestWithHalvesToEven) {
    test::TR5Room room;
    room.layers.push_back({});
    room.layers[0].vertices = {{1023.5f, -256.5f, 2.49f}, {0.5f, 1.5f, -0.5f}};
    auto l = load(fileWithRooms({room}));
    ASSERT_TRUE(l) << l.error();
    const auto& v = l->Rooms[0].Vertices;
    EXPECT_EQ(v[0].X, 1024);
    EXPECT_EQ(v[0].Y, -256);
    EXPECT_EQ(v[0].Z, 2);
    EXPECT_EQ(v[1].X, 0);
    EXPECT_EQ(v[1].Y, 2);
    EXPECT_EQ(v[1].Z, 0);
    EXPECT_EQ(v[1].Lighting, 0);
}

TEST(TR5Reader, AnOddTriangleCountSkipsTwoBytesBeforeTheVertices) {
    for (std::size_t triangles : {3u, 4u}) {
        test::TR5Room room;
        room.layers.push_back(layer(3));
        for (std::size_t i = 0; i < triangles; ++i) room.layers[0].triangles.push_back({0, 1, 2});
        room.layers[0].vertices[2] = {7.0f, -8.0f, 9.0f};
        auto l = load(fileWithRooms({room}));
        ASSERT_TRUE(l) << l.error();
        EXPECT_EQ(l->Rooms[0].Triangles.size(), triangles);
        EXPECT_EQ(l->Rooms[0].Vertices[2].X, 7) << triangles << " triangles";
        EXPECT_EQ(l->Rooms[0].Vertices[2].Y, -8) << triangles << " triangles";
    }
    test::TR5Room empty;  // no layers: two bytes of padding all the same
    auto l = load(fileWithRooms({empty, plainRoom()}));
    ASSERT_TRUE(l) << l.error();
    EXPECT_TRUE(l->Rooms[0].Vertices.empty());
    EXPECT_EQ(l->Rooms[1].Vertices.size(), 4u);
}

TEST(TR5Reader, ReadsTheRoomHeaderAndLights) {
    test::TR5Room room = plainRoom();
    room.lights.push_back(lightBytes(3, 200));
    room.numFogBulbs = 2;
    room.xSectors = 3;
    room.zSectors = 4;
    auto l = load(fileWithRooms({room}));
    ASSERT_TRUE(l) << l.error();
    const auto& r = l->Rooms[0];
    EXPECT_EQ(std::string(r.Marker.begin(), r.Marker.end()), "XELA");
    EXPECT_EQ(r.X, 1024);
    EXPECT_EQ(r.Z, 2048);
    EXPECT_EQ(r.YBottom, 0);
    EXPECT_EQ(r.YTop, -1024);
    EXPECT_EQ(r.NumXSectors, 3);
    EXPECT_EQ(r.NumZSectors, 4);
    EXPECT_EQ(r.sector(2, 3).FDIndex, 10 + 11);
    EXPECT_EQ(r.sector(2, 3).Ceiling, -6);
    EXPECT_EQ(r.RoomExtra, 0x40);
    EXPECT_EQ(r.WaterScheme, 0x50);
    EXPECT_EQ(r.ReverbInfo, 0x60);
    EXPECT_EQ(r.AlternateGroup, 0x70);
    EXPECT_EQ(r.AlternateRoom, -1);
    EXPECT_EQ(r.Flags, 8);
    ASSERT_EQ(r.Lights.size(), 1u);
    const auto& lt = r.Lights[0];
    EXPECT_EQ(lt.LightType, 3);
    EXPECT_EQ(lt.LightExtra, 0);
    EXPECT_EQ(lt.X5, 100.5f);
    EXPECT_EQ(lt.Green, 0.5f);
    EXPECT_EQ(lt.Range, 50.0f);
    EXPECT_EQ(lt.DirY5, -1.0f);
    EXPECT_EQ(lt.Y, -200);
    EXPECT_EQ(lt.DirY, -4096.0f);
    EXPECT_EQ(l->LaraType, 3);
    EXPECT_EQ(l->WeatherType, 1);
}

TEST(TR5Reader, SkipsUnreadBytesToTheEndOfTheRoomBlock) {
    test::TR5Room first = plainRoom();
    first.extraBytes = 100;
    test::TR5Room second = plainRoom();
    second.x = 5120;
    auto l = load(fileWithRooms({first, second}));
    ASSERT_TRUE(l) << l.error();
    ASSERT_EQ(l->Rooms.size(), 2u);
    EXPECT_EQ(l->Rooms[1].X, 5120);
}

TEST(TR5Reader, ReadsFortyByteObjectTexturesAndTheSectionsAroundThem) {
    test::TR5File f;
    f.rooms.push_back(test::tr5Room(plainRoom()));
    f.objectTextures.push_back(test::objectTexture(static_cast<std::int16_t>(0x8001), {{{0, 0}, {63, 0}, {63, 63}, {9, 99}}}, 64, 64, true));
    f.objectTextures.push_back(test::objectTexture(2, {{{128, 32}, {191, 32}, {128, 95}, {0, 0}}}, 64, 64, true));
    f.items.push_back(test::item(0, 0, 1536, 0, 2560));
    f.items.push_back(test::item(85, 0, 2560, -512, 3584));
    f.numAIObjects = 2;
    auto l = load(test::tr5File(f));
    ASSERT_TRUE(l) << l.error();
    ASSERT_EQ(l->Moveables.size(), 1u);
    EXPECT_EQ(l->Moveables[0].ObjectID, 7);
    EXPECT_EQ(l->Moveables[0].Animation, 5);
    ASSERT_EQ(l->ObjectTextures.size(), 2u);
    const auto& t = l->ObjectTextures[1];
    EXPECT_EQ(t.Attribute, 2);
    EXPECT_EQ(t.Tile, 2);
    EXPECT_EQ(t.NewFlags, 0x0301);
    EXPECT_EQ(t.Vertices[2].YPixel, 95);
    EXPECT_EQ(t.SourceUV[0], 0xA0);
    EXPECT_EQ(t.Width, 64);
    EXPECT_EQ(t.Height, 64);
    EXPECT_EQ(l->ObjectTextures[0].Tile, 1) << "bit 15 is cleared in the level";
    ASSERT_EQ(l->TextureTiles.size(), 2u);
    EXPECT_EQ(l->TextureTiles[1].RefU, 128);
    EXPECT_EQ(l->TextureTiles[1].RefV, 32);
    EXPECT_EQ(l->TextureTiles[0].RefU, 0) << "the fourth corner is not looked at";
    ASSERT_EQ(l->Items.size(), 2u);
    EXPECT_EQ(l->Items[1].ObjectID, 85);
    EXPECT_EQ(l->Items[1].Z, 3584);
    ASSERT_EQ(l->AIObjects.size(), 2u);
    EXPECT_EQ(l->AIObjects[1].ObjectID, 401);
    // Sections the editor does not use are skipped and count nothing.
    EXPECT_TRUE(l->Animations.empty());
    EXPECT_TRUE(l->Boxes.empty());
    EXPECT_TRUE(l->Zones.empty());
    EXPECT_TRUE(l->SoundDetails.empty());
}

TEST(TR5Reader, ARoomWithoutItsMarkerIsABadRoom) {
    test::TR5Room bad = plainRoom();
    bad.marker = {'X', 'E', 'L', 'B'};
    auto l = load(fileWithRooms({plainRoom(), bad}));
    ASSERT_FALSE(l);
    EXPECT_EQ(l.error().rfind("BAD Room! (room 1 of 2: marker \"XELB\"", 0), 0u) << l.error();
    bad.marker = {'\0', 'E', 'L', 'A'};
    l = load(fileWithRooms({bad}));
    ASSERT_FALSE(l);
    EXPECT_EQ(l.error().rfind("BAD Room! (room 0 of 1: marker \"\\x00ELA\"", 0), 0u) << l.error();
}

TEST(TR5Reader, DamagedOffsetsAndCountsAreRefusedNamingRoomAndField) {
    struct Case {
        const char* field;
        std::function<void(test::TR5Room&)> damage;
    };
    const Case cases[] = {
        {"sector data offset", [](test::TR5Room& r) { r.sectorOffset = 0x7FFFFFF0; }},
        {"layer offset", [](test::TR5Room& r) { r.layerOffset = 0xFFFFFFFFll; }},
        {"layers", [](test::TR5Room& r) { r.numLayers = 0x10000000; }},
        {"fog bulbs", [](test::TR5Room& r) { r.numFogBulbs = -5; }},
        {"portals: negative count", [](test::TR5Room& r) { r.numPortals = -1; }},
        {"static meshes: negative count", [](test::TR5Room& r) { r.numStatics = -2; }},
        {"rectangles reach", [](test::TR5Room& r) { r.numRectangles = 0; }},
        {"triangles reach", [](test::TR5Room& r) { r.layers[0].triangles.push_back({0, 1, 2}); r.numTriangles = 0; }},
        {"vertices", [](test::TR5Room& r) { r.layers[0].firstValue = 4095; }},
        {"negative vertex count", [](test::TR5Room& r) { r.layers[0].firstValue = -5; }},
        {"does not fit in 16 bits", [](test::TR5Room& r) { r.layers[0].vertices[1][0] = 40000.0f; }},
        {"does not fit in 16 bits", [](test::TR5Room& r) { r.layers[0].vertices[1][2] = std::numeric_limits<float>::quiet_NaN(); }},
    };
    for (const auto& c : cases) {
        test::TR5Room room = plainRoom();
        c.damage(room);
        auto l = load(fileWithRooms({plainRoom(), room}));
        ASSERT_FALSE(l) << c.field;
        EXPECT_EQ(l.error().rfind("room 1 of 2, ", 0), 0u) << l.error();
        EXPECT_NE(l.error().find(c.field), std::string::npos) << l.error();
    }
}

TEST(TR5Reader, AFaceIndexBeyondSixteenBitsIsRefused) {
    test::TR5Room room;
    for (int i = 0; i < 9; ++i) room.layers.push_back(layer(4095));
    room.layers[8].rectangles.push_back({0, 1, 2, 10000});
    auto l = load(fileWithRooms({room}));
    ASSERT_FALSE(l);
    EXPECT_NE(l.error().find("layer 8: vertex index 10000"), std::string::npos) << l.error();
}

TEST(TR5Reader, RealLevelReadsWithEveryCount) {
    TESSARIN_REQUIRE_LEVEL(path, "tr5-test1.trc");
    auto l = level::LoadLevel(path);
    ASSERT_TRUE(l) << l.error();
    EXPECT_EQ(l->LevelVersion, 5);
    EXPECT_EQ(l->Version, level::kMagicTR4);
    EXPECT_EQ(l->NumRoomTextiles, 1);
    EXPECT_EQ(l->NumObjTextiles, 9);
    EXPECT_EQ(l->NumTextiles, 10);
    EXPECT_EQ(l->NumMiscTextiles, 3);
    EXPECT_EQ(l->LevelDataSize, 723683);
    ASSERT_EQ(l->Rooms.size(), 4u);
    const std::size_t vertices[] = {224, 52, 24, 24}, rectangles[] = {213, 45, 18, 21}, triangles[] = {2, 0, 2, 0};
    const std::size_t lights[] = {4, 0, 2, 0};
    for (std::size_t i = 0; i < 4; ++i) {
        const auto& r = l->Rooms[i];
        EXPECT_EQ(std::string(r.Marker.begin(), r.Marker.end()), "XELA");
        EXPECT_EQ(r.Vertices.size(), vertices[i]) << "room " << i;
        EXPECT_EQ(r.Rectangles.size(), rectangles[i]) << "room " << i;
        EXPECT_EQ(r.Triangles.size(), triangles[i]) << "room " << i;
        EXPECT_EQ(r.Lights.size(), lights[i]) << "room " << i;
        EXPECT_FALSE(r.Layers.empty());
    }
    EXPECT_EQ(l->Rooms[0].NumXSectors, 7);
    EXPECT_EQ(l->Rooms[0].NumZSectors, 14);
    EXPECT_EQ(l->FloorData.size(), 121u);
    EXPECT_EQ(l->numMeshData(), 115622);
    EXPECT_EQ(l->MeshPointers.size(), 690u);
    EXPECT_EQ(l->Moveables.size(), 124u);
    EXPECT_EQ(l->StaticMeshes.size(), 0u);
    EXPECT_EQ(l->ObjectTextures.size(), 2176u);
    EXPECT_EQ(l->Items.size(), 6u);
    EXPECT_EQ(l->AIObjects.size(), 0u);
    EXPECT_TRUE(l->Animations.empty());
    EXPECT_TRUE(l->Boxes.empty());
    EXPECT_EQ(l->Items[0].ObjectID, 0);
    EXPECT_EQ(l->Items[0].X % 1024, 512);
    test::expectSaneLevel(*l);
}

TEST(TR5Reader, RealLevelRoomsMatchTheSameRoomsInTheTR4Level) {
    TESSARIN_REQUIRE_LEVEL(tr4, "tr4-test1.tr4");
    TESSARIN_REQUIRE_LEVEL(tr5, "tr5-test1.trc");
    auto a = level::LoadLevel(tr4);
    auto b = level::LoadLevel(tr5);
    ASSERT_TRUE(a && b);
    ASSERT_EQ(a->Rooms.size(), b->Rooms.size());
    for (std::size_t i = 0; i < a->Rooms.size(); ++i) {
        const auto &x = a->Rooms[i], &y = b->Rooms[i];
        EXPECT_EQ(x.X, y.X);
        EXPECT_EQ(x.Z, y.Z);
        EXPECT_EQ(x.YTop, y.YTop);
        ASSERT_EQ(x.Sectors.size(), y.Sectors.size());
        for (std::size_t s = 0; s < x.Sectors.size(); ++s) {
            EXPECT_EQ(x.Sectors[s].FDIndex, y.Sectors[s].FDIndex);
            EXPECT_EQ(x.Sectors[s].Floor, y.Sectors[s].Floor);
        }
        EXPECT_EQ(x.Portals.size(), y.Portals.size());
    }
    EXPECT_EQ(a->FloorData.size(), b->FloorData.size());
}

// The real file with its texture chunks replaced by empty ones (so each read is quick), cut at a
// spread of lengths and at every list start: every cut short of the AI objects is refused.
TEST(TR5Reader, EveryCutOfTheRealFileIsRefused) {
    TESSARIN_REQUIRE_LEVEL(path, "tr5-test1.trc");
    const auto original = util::readFile(path);
    ASSERT_TRUE(original);
    const auto& o = *original;
    auto get32 = [&](std::size_t at) {
        return static_cast<std::size_t>(o[at] | (o[at + 1] << 8) | (o[at + 2] << 16) | (o[at + 3] << 24));
    };
    std::size_t p = 10;
    for (int i = 0; i < 3; ++i) p += 8 + get32(p + 4);
    Bytes file(o.begin(), o.begin() + 10);
    for (int i = 0; i < 3; ++i) {
        const Bytes empty = test::zlibChunk({});
        file.insert(file.end(), empty.begin(), empty.end());
    }
    const std::size_t chunksEnd = file.size();
    file.insert(file.end(), o.begin() + static_cast<std::ptrdiff_t>(p), o.end());

    std::vector<std::size_t> starts;
    auto whole = level::LoadLevelFromBytes(file, "cut.trc", nullptr, &starts);
    ASSERT_TRUE(whole) << whole.error();
    ASSERT_FALSE(starts.empty());
    const std::size_t end = starts.back() + 24 * whole->AIObjects.size();  // the AI objects are read last
    std::set<std::size_t> cuts;
    for (std::size_t i = 0; i < 3000; ++i) cuts.insert(end * i / 3000);
    for (auto s : starts)
        for (std::size_t d = 0; d <= 5 && d <= s; ++d) cuts.insert(s - d), cuts.insert(s + d);
    for (std::size_t c = 0; c < chunksEnd + 64; ++c) cuts.insert(c);
    for (std::size_t cut : cuts) {
        if (cut >= end) continue;
        auto r = level::LoadLevelFromBytes(std::span(file.data(), cut), "cut.trc");
        ASSERT_FALSE(r) << "cut at " << cut << " was read as a level";
        ASSERT_FALSE(r.error().empty());
    }
    EXPECT_TRUE(level::LoadLevelFromBytes(std::span(file.data(), end), "cut.trc"));
}

// Random damage to a small level's room blocks: every result is a level or a message, never a crash
// (run under the sanitizers this also shows nothing is read outside the file).
TEST(TR5Reader, RandomDamageGivesALevelOrAMessage) {
    test::TR5Room room;
    room.layers.push_back(layer(6));
    room.layers.push_back(layer(5));
    room.layers[0].rectangles.push_back({0, 1, 2, 3});
    room.layers[1].triangles.push_back({0, 1, 4});
    room.lights.push_back(lightBytes(1, 0));
    room.numFogBulbs = 1;
    const Bytes good = fileWithRooms({room, plainRoom()});
    const char marker[] = "XELA";
    const auto first = std::search(good.begin(), good.end(), marker, marker + 4);
    ASSERT_NE(first, good.end());
    const auto roomsStart = static_cast<std::size_t>(first - good.begin());
    std::uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
    for (int round = 0; round < 3000; ++round) {
        Bytes b = good;
        const int flips = 1 + static_cast<int>(next() % 4);
        for (int i = 0; i < flips; ++i) {
            const std::size_t at = roomsStart + next() % (b.size() - roomsStart);
            b[at] = static_cast<std::uint8_t>(next() >> 24);
        }
        auto l = load(b);
        if (!l) {
            ASSERT_FALSE(l.error().empty());
        }
    }
}
