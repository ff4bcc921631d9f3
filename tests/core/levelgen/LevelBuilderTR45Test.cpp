// The TR4/TR5 bytes the builder lays out, checked by hand against the file tables; read back with
// the program's reader once it reads these versions.
#include <cstring>
#include <gtest/gtest.h>
#include <zlib.h>

#include "level/LevelReader.h"
#include "levelgen/LevelBuilder.h"
#include "levelgen/LevelFactory.h"
#include "support/LevelCompare.h"

namespace tessarin::levelgen {
namespace {

using namespace tessarin::level;

// A tiny cursor over built bytes.
struct Cursor {
    const std::vector<std::uint8_t>& b;
    std::size_t p = 0;
    std::uint32_t u32() { std::uint32_t v = b[p] | (b[p + 1] << 8) | (b[p + 2] << 16) | (static_cast<std::uint32_t>(b[p + 3]) << 24); p += 4; return v; }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    std::int16_t i16() { std::int16_t v = static_cast<std::int16_t>(b[p] | (b[p + 1] << 8)); p += 2; return v; }
    float f32() { std::uint32_t u = u32(); float f; std::memcpy(&f, &u, 4); return f; }
    std::string text(std::size_t n) { std::string s(b.begin() + static_cast<std::ptrdiff_t>(p), b.begin() + static_cast<std::ptrdiff_t>(p + n)); p += n; return s; }
    // One zlib chunk: both sizes, then the bytes, inflated.
    std::vector<std::uint8_t> chunk() {
        const std::uint32_t raw = u32(), packed = u32();
        std::vector<std::uint8_t> out(raw);
        uLongf n = raw;
        EXPECT_EQ(uncompress(out.data(), &n, b.data() + p, packed), Z_OK);
        EXPECT_EQ(n, raw);
        p += packed;
        return out;
    }
};

// Reads back through the program when it reads the version; says why it skips otherwise.
void expectReadsBack(const TRLevel& L, const std::vector<std::uint8_t>& bytes, std::int16_t v) {
    auto read = LoadLevelFromBytes(bytes, std::string("built") + levelExtension(v));
    if (!read && read.error().find("not supported yet") != std::string::npos) {
        GTEST_SKIP() << "the reader does not read version " << v << " yet";
    }
    ASSERT_TRUE(read) << read.error();
    EXPECT_EQ(test::firstDifference(L, *read, v), "");
}

TEST(LevelBuilderTR4, WritesTheHeaderFourChunksAndTheSampleCount) {
    TRLevel L = everyListLevel(kVersionTR4);
    L.NumTextiles = 3;
    L.NumRoomTextiles = 2;
    L.NumObjTextiles = 1;
    L.NumMiscTextiles = 2;
    L.NumSamples = 4;
    const auto bytes = buildLevel(L, kVersionTR4);
    Cursor c{bytes};
    EXPECT_EQ(c.u32(), kMagicTR4);
    EXPECT_EQ(c.i16(), 2);
    EXPECT_EQ(c.i16(), 1);
    EXPECT_EQ(c.i16(), 0);
    const auto pages32 = c.chunk();
    EXPECT_EQ(pages32.size(), 786432u) << "three 32-bit pages";
    EXPECT_EQ(pages32[4], 1) << "texel 1 of page 0, low byte first";
    EXPECT_EQ(c.chunk().size(), 3u * 131072);
    EXPECT_EQ(c.chunk().size(), 524288u) << "two pages of the third block";
    const auto data = c.chunk();
    EXPECT_EQ(c.i32(), 4);
    EXPECT_EQ(c.p, bytes.size());

    Cursor d{data};
    EXPECT_EQ(d.i32(), 0);  // Reserved
    EXPECT_EQ(d.i16(), 2);  // rooms
    EXPECT_EQ(d.i32(), 0);  // room 0 X
}

TEST(LevelBuilderTR4, LevelDataHoldsMarkersWideRecordsAndSixClosingBytes) {
    const TRLevel L = everyListLevel(kVersionTR4);
    const auto bytes = buildLevel(L, kVersionTR4);
    Cursor c{bytes};
    c.p = 10;
    for (int i = 0; i < 3; ++i) c.chunk();
    const auto data = c.chunk();
    const std::string s(data.begin(), data.end());
    const auto spr = s.find("SPR");
    const auto tex = s.find(std::string("\0TEX", 4));
    ASSERT_NE(spr, std::string::npos);
    ASSERT_NE(tex, std::string::npos);
    // After "TEX": two 38-byte object textures, then the items (24 bytes each) and AI objects.
    Cursor t{data, tex + 4};
    EXPECT_EQ(t.i32(), 2);
    t.p += 38;
    EXPECT_EQ(t.i16(), 1);                                   // Attribute of texture 1
    EXPECT_EQ(static_cast<std::uint16_t>(t.i16()), 0x8000);  // Tile as written, bit 15 set
    EXPECT_EQ(t.i16(), 0x0D);                                // NewFlags
    t.p += 16 + 8;
    EXPECT_EQ(t.i32(), 63);  // Width
    EXPECT_EQ(t.i32(), 63);  // Height
    EXPECT_EQ(t.i32(), 2);   // items
    t.p += 2 * 24;
    EXPECT_EQ(t.i32(), 1);  // AI objects
    EXPECT_EQ(t.i16(), 398);
    t.p += 22;
    EXPECT_EQ(t.i16(), 8);  // NumDemoData: two words follow
    t.p += 8 + 740;
    EXPECT_EQ(t.i32(), 2);  // sound details
    t.p += 16;
    EXPECT_EQ(t.i32(), 2);  // sample indices
    t.p += 8;
    EXPECT_EQ(data.size() - t.p, 6u);
}

TEST(LevelBuilderTR4, RoomColourBytesAreReplacedByTheBytesThatEndTheRoom) {
    TRLevel L = emptyLevel(kVersionTR4);
    TRRoom r = boxRoom(0, 0, 2, 2, 0, -1024);
    r.WaterScheme = 4;
    r.ReverbInfo = 5;
    r.AlternateGroup = 6;
    r.RoomExtra = 0x99;
    L.Rooms = {r};
    const auto bytes = buildLevel(L, kVersionTR4);
    Cursor c{bytes};
    c.p = 10;
    for (int i = 0; i < 3; ++i) c.chunk();
    const auto data = c.chunk();
    // Reserved 4, NumRooms 2, position 16, data words 4, five zero counts 10, sector sizes 4, 4 sectors.
    const std::size_t colour = 4 + 2 + 16 + 4 + 10 + 4 + 4 * 8;
    EXPECT_EQ(data[colour], 0x11);
    EXPECT_EQ(data[colour + 3], 0x99);
    // No lights, no statics, AlternateRoom, Flags, then the three bytes.
    EXPECT_EQ(data[colour + 4 + 2 + 2 + 4], 4);
    EXPECT_EQ(data[colour + 4 + 2 + 2 + 4 + 2], 6);
    expectReadsBack(L, bytes, kVersionTR4);
}

TEST(LevelBuilderTR4, EveryListReadsBack) {
    const TRLevel L = everyListLevel(kVersionTR4);
    expectReadsBack(L, buildLevel(L, kVersionTR4), kVersionTR4);
}

// Finds room block `index` of a built TR5 file and returns the offset of its "XELA".
std::size_t tr5Room(const std::vector<std::uint8_t>& bytes, int index) {
    Cursor c{bytes};
    c.p = 10;
    for (int i = 0; i < 3; ++i) c.chunk();
    c.p += 2 + 2 + 28 + 8 + 4 + 4;
    for (int i = 0; i < index; ++i) {
        c.p += 4;
        c.p += c.u32();
    }
    return c.p;
}

TEST(LevelBuilderTR5, LayersHoldFloatVerticesAndLayerRelativeFaces) {
    TRLevel L = emptyLevel(kVersionTR5);
    TRRoom r = boxRoom(0, 0, 3, 3, 0, -1024);
    for (int i = 0; i < 16; ++i) r.Vertices.push_back({static_cast<std::int16_t>(i * 64), 0, 0, 0, 0, 0});
    r.Rectangles = {{{0, 1, 2, 3}, 5, 0}, {{10, 11, 12, 13}, 6, 0x20}};
    r.Triangles = {{{10, 11, 12}, 7, 0}};
    auto layer = [](std::int32_t vertices, std::uint16_t rects, std::uint16_t tris) {
        TRLayer l{};
        for (int s = 0; s < 4; ++s) l[static_cast<std::size_t>(s)] = static_cast<std::uint8_t>(vertices >> (8 * s));
        l[6] = static_cast<std::uint8_t>(rects);
        l[8] = static_cast<std::uint8_t>(tris);
        return l;
    };
    r.Layers = {layer(10, 1, 0), layer(4096 + 6, 1, 1)};  // 4106 counts as 6
    L.Rooms = {r};
    BuildOptions opt;
    opt.tr5VertexPositions[{0, 15}] = {1023.5f, -256.5f, 2.49f};
    const auto bytes = buildLevel(L, kVersionTR5, opt);

    const std::size_t at = tr5Room(bytes, 0);
    Cursor c{bytes, at};
    EXPECT_EQ(c.text(4), "XELA");
    const std::size_t dataSize = c.u32();
    const std::size_t start = c.p, base = start + 208;
    EXPECT_EQ(bytes.size() > start + dataSize, true);
    c.p = start + 136;
    EXPECT_EQ(c.i32(), 1);  // triangles
    EXPECT_EQ(c.i32(), 2);  // rectangles
    c.p = start + 168;
    EXPECT_EQ(c.i32(), 2);  // layers
    const std::size_t layerOffset = c.u32(), vertexOffset = c.u32(), polygonOffset = c.u32();
    Cursor l{bytes, base + layerOffset + 56};
    EXPECT_EQ(l.i32(), 4102);
    Cursor p{bytes, base + polygonOffset};
    EXPECT_EQ(p.i16(), 0);
    p.p += 6 + 4;
    EXPECT_EQ(p.i16(), 0) << "the second layer's rectangle counts from its own first vertex";
    EXPECT_EQ(p.i16(), 1);
    p.p += 4;
    EXPECT_EQ(p.i16(), 6);
    EXPECT_EQ(p.i16(), 0x20);
    EXPECT_EQ(p.i16(), 0);  // triangle 10 -> 0
    p.p += 4 + 2 + 2;
    EXPECT_EQ(p.p + 2, base + vertexOffset) << "an odd triangle total leaves two bytes before the vertices";
    Cursor v{bytes, base + vertexOffset + 28};
    EXPECT_EQ(v.f32(), 64.0f);
    v.p = base + vertexOffset + 15 * 28;
    EXPECT_EQ(v.f32(), 1023.5f);
    EXPECT_EQ(v.f32(), -256.5f);
    EXPECT_EQ(v.p + 4 + 16 , start + dataSize) << "the last vertex ends the block";
}

TEST(LevelBuilderTR5, HeaderFieldsAndSectionsAfterTheRooms) {
    const TRLevel L = everyListLevel(kVersionTR5);
    const auto bytes = buildLevel(L, kVersionTR5);
    Cursor c{bytes};
    c.p = 10;
    for (int i = 0; i < 3; ++i) c.chunk();
    EXPECT_EQ(c.i16(), 3);  // LaraType
    EXPECT_EQ(c.i16(), 1);  // WeatherType
    c.p += 28;
    const std::uint32_t size1 = c.u32(), size2 = c.u32();
    EXPECT_EQ(size1, size2);
    EXPECT_EQ(c.p + size1 + 4, bytes.size()) << "the level data runs to the sample count";
    c.p += 4;
    EXPECT_EQ(c.i32(), 2);
    EXPECT_EQ(c.text(4), "XELA");
    // The object textures are 40 bytes each, after one byte, "TEX" and one byte.
    const std::string s(bytes.begin(), bytes.end());
    const auto tex = s.rfind("TEX");
    Cursor t{bytes, tex + 4};
    EXPECT_EQ(t.i32(), 2);
    t.p += 2 * 40;
    EXPECT_EQ(t.i32(), 2);  // items
}

TEST(LevelBuilderTR5, EveryListReadsBack) {
    const TRLevel L = everyListLevel(kVersionTR5);
    expectReadsBack(L, buildLevel(L, kVersionTR5), kVersionTR5);
}

TEST(LevelBuilder, RefusesDescriptionsItCannotWrite) {
    TRLevel L = emptyLevel(kVersionTR5);
    TRRoom r = boxRoom(0, 0, 2, 2, 0, -1024);
    r.Vertices.resize(3);
    TRLayer l{};
    l[0] = 2;  // two vertices in the layers, three in the room
    r.Layers = {l};
    L.Rooms = {r};
    EXPECT_THROW(buildLevel(L, kVersionTR5), BuildError);
    L.Rooms[0].Sectors.pop_back();
    EXPECT_THROW(buildLevel(L, kVersionTR2), BuildError);
    EXPECT_THROW(buildLevel(L, 6), BuildError);
}

}  // namespace
}  // namespace tessarin::levelgen
