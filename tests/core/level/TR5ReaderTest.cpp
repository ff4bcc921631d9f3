// The TR5 reader: layered rooms merged, the room block's offsets checked, the real level and its cuts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <set>

#include "support/SaneLevel.h"
#include "level/LevelReader.h"
#include "level/RoomsReader.h"
#include "levelgen/LevelBuilder.h"
#include "levelgen/LevelFactory.h"
#include "support/BytePatch.h"
#include "support/CutSweep.h"
#include "support/TestPaths.h"
#include "util/ByteWriter.h"
#include "util/FileIO.h"

using namespace tessarin;
using Bytes = std::vector<std::uint8_t>;
using test::get32;
using test::set16;
using test::set32;

namespace {

util::Result<level::TRLevel> loadTr5(const Bytes& b) { return level::LoadLevelFromBytes(b, "test.TRC"); }


// A raw layer record holding the given counts.
level::TRLayer layer(std::int32_t vertices, std::uint16_t rectangles, std::uint16_t triangles) {
    level::TRLayer l{};
    for (int i = 0; i < 4; ++i) l[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(vertices) >> (8 * i));
    l[6] = static_cast<std::uint8_t>(rectangles), l[7] = static_cast<std::uint8_t>(rectangles >> 8);
    l[8] = static_cast<std::uint8_t>(triangles), l[9] = static_cast<std::uint8_t>(triangles >> 8);
    return l;
}

// A 2 x 1 room whose header fields all differ from their defaults. Faces are added with their layer.
level::TRRoom room() {
    level::TRRoom r;
    r.X = 1024, r.Z = 2048, r.YBottom = 0, r.YTop = -1024;
    r.NumXSectors = 2, r.NumZSectors = 1;
    r.RoomExtra = 0x40, r.WaterScheme = 0x50, r.ReverbInfo = 0x60, r.AlternateGroup = 0x70;
    r.Flags = 8;
    r.Sectors.resize(2);
    for (std::size_t i = 0; i < r.Sectors.size(); ++i) {
        r.Sectors[i].FDIndex = static_cast<std::uint16_t>(10 + i);
        r.Sectors[i].BoxIndex = 3, r.Sectors[i].Floor = 2, r.Sectors[i].Ceiling = -6;
    }
    return r;
}

// Appends a layer of `vertices` vertices at (i, -i, 2i) with the given faces, indices relative to the layer.
void addLayer(level::TRRoom& r, std::size_t vertices, const std::vector<std::array<std::int16_t, 4>>& rectangles = {},
              const std::vector<std::array<std::int16_t, 3>>& triangles = {}) {
    const auto base = static_cast<std::int16_t>(r.Vertices.size());
    for (std::size_t i = 0; i < vertices; ++i) {
        const auto v = static_cast<std::int16_t>(i);
        r.Vertices.push_back({v, static_cast<std::int16_t>(-v), static_cast<std::int16_t>(2 * v), 0, 0, 0});
    }
    for (auto q : rectangles) {
        for (auto& i : q) i = static_cast<std::int16_t>(i + base);
        r.Rectangles.push_back({q, 9, 1});
    }
    for (auto t : triangles) {
        for (auto& i : t) i = static_cast<std::int16_t>(i + base);
        r.Triangles.push_back({t, 4, 2});
    }
    r.Layers.push_back(layer(static_cast<std::int32_t>(vertices), static_cast<std::uint16_t>(rectangles.size()),
                             static_cast<std::uint16_t>(triangles.size())));
}

level::TRRoom plainRoom() {
    level::TRRoom r = room();
    addLayer(r, 4, {{0, 1, 2, 3}});
    return r;
}

level::TRLevel levelWith(std::vector<level::TRRoom> rooms) {
    level::TRLevel l = levelgen::emptyLevel(level::kVersionTR5);
    l.LaraType = 3, l.WeatherType = 1;
    l.Rooms = std::move(rooms);
    l.Moveables.resize(1);
    l.Moveables[0].ObjectID = 7, l.Moveables[0].NumMeshes = 1, l.Moveables[0].Animation = 5;
    l.Boxes.resize(2);  // read past, not kept
    l.Items.resize(1);
    l.Items[0].X = 1536, l.Items[0].Z = 2560;
    return l;
}

Bytes tr5(const level::TRLevel& l, const levelgen::BuildOptions& options = {}) {
    return levelgen::buildLevel(l, level::kVersionTR5, options);
}
Bytes fileWithRooms(std::vector<level::TRRoom> rooms, const levelgen::BuildOptions& options = {}) {
    return tr5(levelWith(std::move(rooms)), options);
}

// Where room `index`'s block starts (its "XELA" marker); the header follows 8 bytes later, and the
// header's offsets count from 216 bytes after the marker.
std::size_t roomAt(const Bytes& b, std::size_t index) {
    const char marker[] = "XELA";
    auto at = static_cast<std::size_t>(std::search(b.begin(), b.end(), marker, marker + 4) - b.begin());
    for (std::size_t i = 0; i < index; ++i) at += 8 + get32(b, at + 4);
    return at;
}

level::TRLight tr5Light(std::uint8_t type, std::uint8_t extra) {
    level::TRLight l;
    l.X5 = 100.5f, l.Y5 = -200.0f, l.Z5 = 300.0f;
    l.Red = 1.0f, l.Green = 0.5f, l.Blue = 0.25f;
    l.In = 10, l.Out = 20, l.Length = 30, l.CutOff = 40, l.Range = 50;
    l.DirY5 = -1.0f;
    l.X = 100, l.Y = -200, l.Z = 300;
    l.DirY = -4096;
    l.LightType = type, l.LightExtra = extra;
    return l;
}

}  // namespace

TEST(TR5Reader, MergesLayersIntoOneVertexAndFaceList) {
    level::TRRoom r0 = room();
    addLayer(r0, 10, {{0, 1, 2, 3}}, {{7, 8, 9}});
    addLayer(r0, 6, {{0, 1, 2, 3}}, {{5, 4, 3}});
    r0.Layers[0] = layer(4096 + 10, 1, 1);  // the vertex count is the first field modulo 4096
    auto l = loadTr5(fileWithRooms({r0}));
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

TEST(TR5Reader, VertexPositionsRoundToTheNearestWithHalvesToEven) {
    level::TRRoom r = room();
    addLayer(r, 3);
    levelgen::BuildOptions o;
    o.tr5VertexPositions[{0, 0}] = {1023.5f, -256.5f, 2.49f};
    o.tr5VertexPositions[{0, 1}] = {0.5f, 1.5f, -0.5f};
    o.tr5VertexPositions[{0, 2}] = {-32768.5f, 32766.5f, -1.5f};  // the limits, reached by halves
    auto l = loadTr5(fileWithRooms({r}, o));
    ASSERT_TRUE(l) << l.error();
    const auto& v = l->Rooms[0].Vertices;
    EXPECT_EQ(v[0].X, 1024);
    EXPECT_EQ(v[0].Y, -256);
    EXPECT_EQ(v[0].Z, 2);
    EXPECT_EQ(v[1].X, 0);
    EXPECT_EQ(v[1].Y, 2);
    EXPECT_EQ(v[1].Z, 0);
    EXPECT_EQ(v[1].Lighting, 0);
    EXPECT_EQ(v[2].X, -32768);
    EXPECT_EQ(v[2].Y, 32766);
    EXPECT_EQ(v[2].Z, -2);

    // Many more, rounded as nearbyint rounds them (halves to even in the default mode).
    level::TRRoom many = room();
    addLayer(many, 300);
    levelgen::BuildOptions m;
    std::mt19937 random(11);
    std::uniform_real_distribution<float> anywhere(-32768.4f, 32767.4f);
    for (std::size_t k = 0; k < 300; ++k) {
        const float f = k % 3 ? anywhere(random) : static_cast<float>(static_cast<int>(random() % 65535) - 32768) + 0.5f;
        m.tr5VertexPositions[{0, k}] = {f, -f, f / 3};
    }
    auto ml = loadTr5(fileWithRooms({many}, m));
    ASSERT_TRUE(ml) << ml.error();
    for (std::size_t k = 0; k < 300; ++k) {
        const auto& pos = m.tr5VertexPositions[{0, k}];
        const auto& got = ml->Rooms[0].Vertices[k];
        EXPECT_EQ(got.X, std::nearbyint(pos[0])) << pos[0];
        EXPECT_EQ(got.Y, std::nearbyint(pos[1])) << pos[1];
        EXPECT_EQ(got.Z, std::nearbyint(pos[2])) << pos[2];
        EXPECT_EQ(got.Lighting, 0);
    }
}

TEST(TR5Reader, ADamagedTextureChunkIsReportedBeforeDamagedLevelData) {
    // With a page to inflate, the level data is read meanwhile: the chunk's error must still win.
    level::TRRoom r = room();
    addLayer(r, 4, {{0, 1, 2, 3}});
    level::TRLevel d = levelWith({r});
    d.NumTextiles = d.NumRoomTextiles = 1;
    d.Textile32.assign(level::kTextilePixels, 0x07070707u);
    Bytes b = tr5(d);
    const std::size_t chunk1End = 10 + 8 + get32(b, 14);
    b[chunk1End - 1] ^= 0xFF;  // chunk 1's checksum
    b[roomAt(b, 0)] = 'Y';     // and the room's marker
    for (bool parallel : {false, true}) {
        level::detail::setParallelReading(parallel);
        auto l = loadTr5(b);
        ASSERT_FALSE(l);
        EXPECT_EQ(l.error().rfind("chunk 1 (32-bit textures): ", 0), 0u) << l.error();
    }
    level::detail::setParallelReading(true);
}

TEST(TR5Reader, AnOddTriangleCountSkipsTwoBytesBeforeTheVertices) {
    for (std::size_t triangles : {3u, 4u}) {
        level::TRRoom r = room();
        addLayer(r, 3, {}, std::vector<std::array<std::int16_t, 3>>(triangles, {0, 1, 2}));
        r.Vertices[2] = {7, -8, 9, 0, 0, 0};
        auto l = loadTr5(fileWithRooms({r}));
        ASSERT_TRUE(l) << l.error();
        EXPECT_EQ(l->Rooms[0].Triangles.size(), triangles);
        EXPECT_EQ(l->Rooms[0].Vertices[2].X, 7) << triangles << " triangles";
        EXPECT_EQ(l->Rooms[0].Vertices[2].Y, -8) << triangles << " triangles";
    }
    // No layers: two bytes of padding all the same.
    auto l = loadTr5(fileWithRooms({room(), plainRoom()}));
    ASSERT_TRUE(l) << l.error();
    EXPECT_TRUE(l->Rooms[0].Vertices.empty());
    EXPECT_EQ(l->Rooms[1].Vertices.size(), 4u);
}

// Other tools leave the face padding out and mark a room without geometry by 0xCDCDCDCD face counts.
TEST(TR5Reader, ReadsRoomsAsOtherToolsWriteThem) {
    levelgen::BuildOptions unpadded;
    unpadded.tr5FacePadding = false;
    for (std::size_t triangles : {3u, 4u}) {
        level::TRRoom r = room();
        addLayer(r, 3, {}, std::vector<std::array<std::int16_t, 3>>(triangles, {0, 1, 2}));
        r.Vertices[2] = {7, -8, 9, 0, 0, 0};
        auto l = loadTr5(fileWithRooms({r, plainRoom()}, unpadded));
        ASSERT_TRUE(l) << l.error();
        EXPECT_EQ(l->Rooms[0].Vertices[2].X, 7) << triangles << " triangles";
        EXPECT_EQ(l->Rooms[0].Vertices[2].Z, 9) << triangles << " triangles";
        EXPECT_EQ(l->Rooms[1].Rectangles.size(), 1u);
    }
    for (const auto& options : {levelgen::BuildOptions{}, unpadded}) {
        Bytes b = fileWithRooms({room(), plainRoom()}, options);
        const std::size_t h = roomAt(b, 0) + 8;
        set32(b, h + 136, 0xCDCDCDCDll);
        set32(b, h + 140, 0xCDCDCDCDll);
        auto l = loadTr5(b);
        ASSERT_TRUE(l) << l.error();
        EXPECT_TRUE(l->Rooms[0].Rectangles.empty());
        EXPECT_TRUE(l->Rooms[0].Triangles.empty());
        EXPECT_EQ(l->Rooms[0].Sectors.size(), 2u);
        EXPECT_EQ(l->Rooms[1].Vertices.size(), 4u);
    }
}

TEST(TR5Reader, ReadsTheRoomHeaderAndLights) {
    level::TRRoom r0 = plainRoom();
    r0.Lights = {tr5Light(3, 200)};
    r0.NumXSectors = 3, r0.NumZSectors = 4;
    r0.Sectors.resize(12, r0.Sectors[0]);
    for (std::size_t i = 0; i < 12; ++i) r0.Sectors[i].FDIndex = static_cast<std::uint16_t>(10 + i);  // file order
    levelgen::BuildOptions o;
    o.tr5RoomExtras[0].fogBulbs = 2;
    auto l = loadTr5(fileWithRooms({r0}, o));
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
    level::TRRoom second = plainRoom();
    second.X = 5120;
    levelgen::BuildOptions o;
    o.tr5RoomExtras[0].trailingBytes = 100;
    auto l = loadTr5(fileWithRooms({plainRoom(), second}, o));
    ASSERT_TRUE(l) << l.error();
    ASSERT_EQ(l->Rooms.size(), 2u);
    EXPECT_EQ(l->Rooms[1].X, 5120);
}

TEST(TR5Reader, ReadsFortyByteObjectTexturesAndTheSectionsAroundThem) {
    level::TRLevel d = levelWith({plainRoom()});
    level::TRObjectTexture t;
    t.Attribute = 2;
    t.NewFlags = 0x0301;
    t.SourceUV[0] = 0xA0;
    t.Width = t.Height = 64;
    d.ObjectTextures = {t, t};
    d.ObjectTextures[0].Tile = static_cast<std::int16_t>(0x8001);
    d.ObjectTextures[0].Vertices = {{{0, 0, 0, 0}, {0, 63, 0, 0}, {0, 63, 0, 63}, {0, 9, 0, 99}}};
    d.ObjectTextures[1].Tile = 2;
    d.ObjectTextures[1].Vertices = {{{0, 128, 0, 32}, {0, 191, 0, 32}, {0, 128, 0, 95}, {0, 0, 0, 0}}};
    d.Items.resize(2);
    d.Items[1].ObjectID = 85, d.Items[1].X = 2560, d.Items[1].Y = -512, d.Items[1].Z = 3584;
    d.AIObjects.resize(2);
    d.AIObjects[0].ObjectID = 400, d.AIObjects[1].ObjectID = 401;
    auto l = loadTr5(tr5(d));
    ASSERT_TRUE(l) << l.error();
    ASSERT_EQ(l->Moveables.size(), 1u);
    EXPECT_EQ(l->Moveables[0].ObjectID, 7);
    EXPECT_EQ(l->Moveables[0].Animation, 5);
    ASSERT_EQ(l->ObjectTextures.size(), 2u);
    const auto& o = l->ObjectTextures[1];
    EXPECT_EQ(o.Attribute, 2);
    EXPECT_EQ(o.Tile, 2);
    EXPECT_EQ(o.NewFlags, 0x0301);
    EXPECT_EQ(o.Vertices[2].YPixel, 95);
    EXPECT_EQ(o.SourceUV[0], 0xA0);
    EXPECT_EQ(o.Width, 64);
    EXPECT_EQ(o.Height, 64);
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
    Bytes b = fileWithRooms({plainRoom(), plainRoom()});
    b[roomAt(b, 1) + 3] = 'B';
    auto l = loadTr5(b);
    ASSERT_FALSE(l);
    EXPECT_EQ(l.error().rfind("BAD Room! (room 1 of 2: marker \"XELB\"", 0), 0u) << l.error();
    b = fileWithRooms({plainRoom()});
    b[roomAt(b, 0)] = 0;
    l = loadTr5(b);
    ASSERT_FALSE(l);
    EXPECT_EQ(l.error().rfind("BAD Room! (room 0 of 1: marker \"\\x00ELA\"", 0), 0u) << l.error();
}

TEST(TR5Reader, DamagedOffsetsAndCountsAreRefusedNamingRoomAndField) {
    // Damage to room 1 of 2; `h` is its header, `body` where the header's offsets count from.
    struct Case {
        const char* field;
        std::function<void(Bytes&, std::size_t h, std::size_t body)> damage;
        std::function<void(level::TRRoom&, levelgen::BuildOptions&)> build = {};
    };
    const Case cases[] = {
        {"sector data offset", [](Bytes& b, std::size_t h, std::size_t) { set32(b, h + 8, 0x7FFFFFF0); }},
        {"layer offset", [](Bytes& b, std::size_t h, std::size_t) { set32(b, h + 172, 0xFFFFFFFFll); }},
        {"layers", [](Bytes& b, std::size_t h, std::size_t) { set32(b, h + 168, 0x10000000); }},
        {"fog bulbs", [](Bytes& b, std::size_t h, std::size_t) { set32(b, h + 156, -5); }},
        {"portals: negative count",
         [](Bytes& b, std::size_t h, std::size_t body) { set16(b, body + get32(b, h + 8) + 2 * 8, -1); }},
        {"static meshes: negative count", [](Bytes& b, std::size_t h, std::size_t) { set16(b, h + 50, -2); }},
        {"rectangles reach", [](Bytes& b, std::size_t h, std::size_t) { set32(b, h + 140, 0); }},
        {"more than the room's block", [](Bytes& b, std::size_t h, std::size_t) { set16(b, h + 140, 0x7FFF); }},
        {"triangles reach", [](Bytes& b, std::size_t h, std::size_t) { set32(b, h + 136, 0); },
         [](level::TRRoom& r, levelgen::BuildOptions&) {
             r = room();
             addLayer(r, 4, {{0, 1, 2, 3}}, {{0, 1, 2}});
         }},
        {"vertices", [](Bytes& b, std::size_t h, std::size_t body) { set32(b, body + get32(b, h + 172), 4095); }},
        {"negative vertex count",
         [](Bytes& b, std::size_t h, std::size_t body) { set32(b, body + get32(b, h + 172), -5); }},
        {"does not fit in 16 bits", [](Bytes&, std::size_t, std::size_t) {},
         [](level::TRRoom&, levelgen::BuildOptions& o) { o.tr5VertexPositions[{1, 1}] = {32767.5f, 0, 0}; }},
        {"does not fit in 16 bits", [](Bytes&, std::size_t, std::size_t) {},
         [](level::TRRoom&, levelgen::BuildOptions& o) {
             o.tr5VertexPositions[{1, 1}] = {0, 0, std::numeric_limits<float>::quiet_NaN()};
         }},
    };
    for (const auto& c : cases) {
        level::TRRoom r = plainRoom();
        levelgen::BuildOptions o;
        if (c.build) c.build(r, o);
        Bytes b = fileWithRooms({plainRoom(), r}, o);
        const std::size_t h = roomAt(b, 1) + 8;
        c.damage(b, h, h + 208);
        auto l = loadTr5(b);
        ASSERT_FALSE(l) << c.field;
        EXPECT_EQ(l.error().rfind("room 1 of 2, ", 0), 0u) << l.error();
        EXPECT_NE(l.error().find(c.field), std::string::npos) << l.error();
    }
}

TEST(TR5Reader, ARoomsListsMustLieInItsOwnBlock) {
    // Damage to room 1 of 3 sending its lists past its block, into room 2's. Read from there, rooms
    // all sent to one large region (and back through the layer offset) would each hold a copy of it.
    struct Case {
        const char* text;
        std::function<void(Bytes&, std::size_t h, std::size_t next)> damage;
    };
    const Case cases[] = {
        {"sector data offset 0x", [](Bytes& b, std::size_t h, std::size_t next) {
             set32(b, h + 8, static_cast<std::int64_t>(next + get32(b, next + 8) - h));
         }},
        {"static meshes: count 24 needs 480 bytes", [](Bytes& b, std::size_t h, std::size_t) { set16(b, h + 50, 24); }},
        {"vertices: count 24 needs 672 bytes",
         [](Bytes& b, std::size_t h, std::size_t) { set32(b, h + 208 + get32(b, h + 172), 24); }},
    };
    for (const auto& c : cases) {
        Bytes b = fileWithRooms({plainRoom(), plainRoom(), plainRoom()});
        c.damage(b, roomAt(b, 1) + 8, roomAt(b, 2) + 8);
        auto l = loadTr5(b);
        ASSERT_FALSE(l) << c.text;
        EXPECT_EQ(l.error().rfind("room 1 of 3, ", 0), 0u) << l.error();
        EXPECT_NE(l.error().find(c.text), std::string::npos) << l.error();
        EXPECT_NE(l.error().find("the room's block"), std::string::npos) << l.error();
    }
}

TEST(TR5Reader, AFaceIndexBeyondSixteenBitsIsRefused) {
    level::TRRoom r = room();
    for (int i = 0; i < 9; ++i) addLayer(r, 4095);
    r.Layers[8] = layer(4095, 1, 0);
    r.Rectangles.push_back({{32760, 32761, 32762, 32763}, 9, 1});
    Bytes b = fileWithRooms({r});
    // Layer 8's only rectangle names its vertex 10000, past any 16-bit room index.
    const std::size_t h = roomAt(b, 0) + 8;
    set16(b, h + 208 + get32(b, h + 180) + 6, 10000);
    auto l = loadTr5(b);
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
    std::size_t p = 10;
    for (int i = 0; i < 3; ++i) p += 8 + get32(o, p + 4);
    const Bytes noPages = tr5(levelgen::emptyLevel(level::kVersionTR5));
    std::size_t q = 10;
    for (int i = 0; i < 3; ++i) q += 8 + get32(noPages, q + 4);
    Bytes file(noPages.begin(), noPages.begin() + static_cast<std::ptrdiff_t>(q));
    std::copy(o.begin(), o.begin() + 10, file.begin());
    const std::size_t chunksEnd = file.size();
    file.insert(file.end(), o.begin() + static_cast<std::ptrdiff_t>(p), o.end());

    std::vector<std::size_t> starts;
    auto whole = level::LoadLevelFromBytes(file, "cut.trc", nullptr, &starts);
    ASSERT_TRUE(whole) << whole.error();
    ASSERT_FALSE(starts.empty());
    const std::size_t end = starts.back() + 24 * whole->AIObjects.size();  // the AI objects are read last
    auto cuts = test::cutPoints(end, 3000, starts);
    for (std::size_t c = 0; c < chunksEnd + 64 && c < end; ++c) cuts.insert(c);
    test::expectEveryCutRefused(file, cuts, test::levelReader("cut.trc"), "tr5-test1.trc");
    EXPECT_TRUE(level::LoadLevelFromBytes(std::span(file.data(), end), "cut.trc"));
}
