// The TR4 reader: chunk sizing, the level-data block, damaged chunks, the real level and its cuts.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "TR45TestFiles.h"
#include "level/CompressedChunks.h"
#include "level/LevelReader.h"
#include "support/TestPaths.h"
#include "util/ByteWriter.h"
#include "util/Inflate.h"

using namespace tessarin;
using test::Bytes;

namespace {

util::Result<level::TRLevel> load(const Bytes& b) { return level::LoadLevelFromBytes(b, "test.tr4"); }

Bytes oneRoomLevel(const test::TR4Room& room = {}) {
    test::TR4LevelData d;
    d.rooms.push_back(test::tr4Room(room));
    return test::tr4LevelData(d);
}

std::uint32_t get32(const Bytes& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (b[at + 3] << 24));
}
void set32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

test::TR4File fileWith(Bytes levelData) {
    test::TR4File f;
    f.levelData = std::move(levelData);
    return f;
}

}  // namespace

TEST(TR4Reader, SizesTheTexturePagesFromTheChunkSizes) {
    test::TR4File f = fileWith(oneRoomLevel());
    f.tex32.assign(786432, 0);
    f.tex32[0] = 0x01, f.tex32[1] = 0x02, f.tex32[2] = 0x03, f.tex32[3] = 0x80;
    f.tex32[786428] = 0xFF;
    f.tex16.assign(2 * 131072, 0);  // its own size does not matter
    f.tex16[0] = 0x34, f.tex16[1] = 0x12;
    f.misc.assign(524288, 0);
    auto l = load(test::tr4File(f));
    ASSERT_TRUE(l) << l.error();
    EXPECT_EQ(l->NumTextiles, 3);
    EXPECT_EQ(l->Textile32.size(), 768u * 256u);
    EXPECT_EQ(l->Textile32[0], 0x80030201u);
    EXPECT_EQ(l->Textile32[196607], 0x000000FFu);
    EXPECT_EQ(l->Textile16.size(), 768u * 256u) << "sized by the 32-bit page count";
    EXPECT_EQ(l->Textile16[0], 0x1234);
    EXPECT_EQ(l->NumMiscTextiles, 2);
    EXPECT_EQ(l->MiscTextile.size(), 512u * 256u);
    EXPECT_TRUE(l->Textile8.empty());
}

TEST(TR4Reader, PageCountsRoundToTheNearestPage) {
    EXPECT_EQ(level::detail::roundedQuotient(262144 + 131071, 262144), 1u);
    EXPECT_EQ(level::detail::roundedQuotient(262144 + 131072, 262144), 2u);  // 1.5: to the even neighbour
    EXPECT_EQ(level::detail::roundedQuotient(2 * 262144 + 131072, 262144), 2u);
    EXPECT_EQ(level::detail::roundedQuotient(100, 262144), 0u);
}

TEST(TR4Reader, ReadsTheRoomFieldsInTheirOrder) {
    test::TR4Room room;
    room.numPortals = 0;
    room.xSectors = 3;
    room.zSectors = 2;
    Bytes light = {0x00, 0x04, 0, 0,  0x00, 0xFC, 0xFF, 0xFF,  0x00, 0x08, 0, 0,  10, 20, 30,  2, 9, 31};
    for (float v : {512.0f, 1024.0f, 0.5f, 0.25f, 0.0f, -1.0f, 0.0f}) {
        std::uint32_t u;
        std::memcpy(&u, &v, 4);
        for (int i = 0; i < 4; ++i) light.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
    }
    room.lights.push_back(light);
    auto l = load(test::tr4File(fileWith(oneRoomLevel(room))));
    ASSERT_TRUE(l) << l.error();
    ASSERT_EQ(l->Rooms.size(), 1u);
    const auto& r = l->Rooms[0];
    EXPECT_EQ(r.X, 1024);
    EXPECT_EQ(r.YTop, -1024);
    EXPECT_TRUE(r.Portals.empty());
    EXPECT_EQ(r.NumXSectors, 3);
    EXPECT_EQ(r.NumZSectors, 2);
    ASSERT_EQ(r.Sectors.size(), 6u);
    EXPECT_EQ(r.sector(2, 1).FDIndex, 105);
    EXPECT_EQ(r.sector(2, 1).Floor, -4);
    EXPECT_EQ(r.sector(2, 1).Ceiling, -8);
    // The colour's fourth byte stays; the other three are replaced by the room's last three bytes.
    EXPECT_EQ(r.RoomExtra, 0x44);
    EXPECT_EQ(r.WaterScheme, 1);
    EXPECT_EQ(r.ReverbInfo, 2);
    EXPECT_EQ(r.AlternateGroup, 3);
    EXPECT_EQ(r.AlternateRoom, -1);
    EXPECT_EQ(r.Flags, 64);
    ASSERT_EQ(r.Lights.size(), 1u);
    const auto& lt = r.Lights[0];
    EXPECT_EQ(lt.X4, 1024);
    EXPECT_EQ(lt.Y4, -1024);
    EXPECT_EQ(lt.Z4, 2048);
    EXPECT_EQ(lt.Colour, (std::array<std::uint8_t, 3>{10, 20, 30}));
    EXPECT_EQ(lt.LightType, 2);
    EXPECT_EQ(lt.LightExtra, 9);
    EXPECT_EQ(lt.Intensity, 31);
    EXPECT_EQ(lt.In, 512.0f);
    EXPECT_EQ(lt.CutOff, 0.25f);
    EXPECT_EQ(lt.DirY, -1.0f);
}

TEST(TR4Reader, ReadsRoomSpritesInsteadOfMisreadingThem) {
    test::TR4Room room;
    room.numSprites = 2;
    room.numPortals = 1;
    auto l = load(test::tr4File(fileWith(oneRoomLevel(room))));
    ASSERT_TRUE(l) << l.error();
    ASSERT_EQ(l->Rooms[0].Sprites.size(), 2u);
    EXPECT_EQ(l->Rooms[0].Sprites[1].Vertex, 1);
    EXPECT_EQ(l->Rooms[0].Sprites[1].Texture, 7);
    ASSERT_EQ(l->Rooms[0].Portals.size(), 1u);
    EXPECT_EQ(l->Rooms[0].Portals[0].AdjoiningRoom, 1);
    EXPECT_EQ(l->Rooms[0].Flags, 64);
}

TEST(TR4Reader, ReadsTwentyZoneBytesPerBoxAndEverySectionAfter) {
    test::TR4LevelData d;
    d.rooms.push_back(test::tr4Room({}));
    d.numBoxes = 100;
    d.objectTextures.push_back(test::objectTexture(static_cast<std::int16_t>(0x8005), {{{0, 0}, {63, 0}, {63, 63}, {0, 63}}}, 64, 64, false));
    d.items.push_back(test::item(0, 0, 1536, -256, 2560));
    auto l = load(test::tr4File(fileWith(test::tr4LevelData(d))));
    ASSERT_TRUE(l) << l.error();
    EXPECT_EQ(l->Boxes.size(), 100u);
    EXPECT_EQ(l->Boxes[99].TrueFloor, -256);
    ASSERT_EQ(l->Zones.size(), 1000u);
    EXPECT_EQ(l->Zones[999], 999);
    EXPECT_EQ(l->AnimatedTextures, (std::vector<std::int16_t>{0x1234, 0x5678}));
    ASSERT_EQ(l->ObjectTextures.size(), 1u);
    const auto& t = l->ObjectTextures[0];
    EXPECT_EQ(t.Attribute, 2);
    EXPECT_EQ(t.Tile, 5) << "bit 15 is cleared in the level";
    EXPECT_EQ(t.NewFlags, 0x0301);
    EXPECT_EQ(t.Vertices[2].XPixel, 63);
    EXPECT_EQ(t.SourceUV[7], 0xA7);
    EXPECT_EQ(t.Width, 64);
    ASSERT_EQ(l->TextureTiles.size(), 1u);
    EXPECT_EQ(l->TextureTiles[0].SizeU, 64);
    EXPECT_EQ(l->TextureTiles[0].Tile, 5);
    ASSERT_EQ(l->Items.size(), 1u);
    EXPECT_EQ(l->Items[0].Z, 2560);
    EXPECT_EQ(l->Items[0].OCB, 7);
    EXPECT_EQ(l->SoundMap[369], 368);
    EXPECT_EQ(l->SampleIndices, (std::vector<std::int32_t>{0}));
}

TEST(TR4Reader, AnObjectTextureReachingPastItsPageRefusesTheLevel) {
    test::TR4LevelData d;
    d.rooms.push_back(test::tr4Room({}));
    d.objectTextures.push_back(test::objectTexture(0, {{{0, 0}, {10, 0}, {10, 10}, {0, 10}}}, 16, 16, false));
    d.objectTextures.push_back(test::objectTexture(0, {{{200, 0}, {255, 0}, {255, 10}, {200, 10}}}, 100, 16, false));
    auto l = load(test::tr4File(fileWith(test::tr4LevelData(d))));
    ASSERT_FALSE(l);
    EXPECT_EQ(l.error(), "ConvertTR5TextInfo -> ObjectTexture 1 invalid");
}

TEST(TR4Reader, IgnoresWhateverFollowsTheSampleCount) {
    test::TR4File f = fileWith(oneRoomLevel());
    f.numSamples = 3;
    f.tail = Bytes(5000, 0xAB);  // samples and an extended engine's own data
    auto l = load(test::tr4File(f));
    ASSERT_TRUE(l) << l.error();
    EXPECT_EQ(l->NumSamples, 3);

    f.tail.clear();
    EXPECT_TRUE(load(test::tr4File(f))) << "a file may end with its sample count";

    f.withSampleCount = false;
    auto cut = load(test::tr4File(f));
    ASSERT_FALSE(cut);
    EXPECT_NE(cut.error().find("sample count"), std::string::npos) << cut.error();
}

TEST(TR4Reader, NegativeSampleAndDemoCountsAreRefused) {
    test::TR4File f = fileWith(oneRoomLevel());
    f.numSamples = -1;
    auto l = load(test::tr4File(f));
    ASSERT_FALSE(l);
    EXPECT_NE(l.error().find("samples: negative count -1"), std::string::npos) << l.error();

    Bytes data = oneRoomLevel();
    // The demo count stands before the sound map, the sound details, one sample index and the pad.
    const std::size_t demo = data.size() - 6 - 8 - 4 - 740 - 2;
    ASSERT_EQ(data[demo], 0);
    data[demo] = 0xFC, data[demo + 1] = 0xFF;
    l = load(test::tr4File(fileWith(data)));
    ASSERT_FALSE(l);
    EXPECT_NE(l.error().find("level data, demo data: negative count -4"), std::string::npos) << l.error();
}

TEST(TR4Reader, AnEmptyChunkMayHoldNoBytesAtAll) {
    const test::TR4File f = fileWith(oneRoomLevel());
    // Header, then the three texture chunks as (0, 0) with no stream, then the level data.
    util::ByteWriter w;
    w.u32(0x00345254);
    w.u16(1), w.u16(2), w.u16(0);
    for (int i = 0; i < 3; ++i) w.u32(0), w.u32(0);
    Bytes b = w.data();
    const Bytes levelChunk = test::zlibChunk(f.levelData);
    b.insert(b.end(), levelChunk.begin(), levelChunk.end());
    b.insert(b.end(), {0, 0, 0, 0});  // NumSamples
    auto l = load(b);
    ASSERT_TRUE(l) << l.error();
    EXPECT_EQ(l->NumTextiles, 0);
    EXPECT_EQ(l->NumMiscTextiles, 0);
    EXPECT_EQ(l->Rooms.size(), 1u);

    set32(b, 10, 4);  // chunk 1 states 4 bytes but holds none
    l = load(b);
    ASSERT_FALSE(l);
    EXPECT_EQ(l.error().rfind("chunk 1 (32-bit textures): ", 0), 0u) << l.error();
}

TEST(TR4Reader, ALevelBlockWithoutItsPaddingIsComplete) {
    test::TR4LevelData d;
    d.rooms.push_back(test::tr4Room({}));
    d.trailingPad = false;
    EXPECT_TRUE(load(test::tr4File(fileWith(test::tr4LevelData(d)))));
}

TEST(TR4Reader, DamagedChunksAreRefusedNamingTheChunk) {
    const test::TR4File f = fileWith(oneRoomLevel());
    const Bytes good = test::tr4File(f);
    ASSERT_TRUE(load(good));
    // The level-data chunk starts after the header and three texture chunks of empty data.
    const std::size_t chunk4 = test::tr4Chunks(f).size() - test::zlibChunk(f.levelData).size();
    auto expectRefused = [&](Bytes bytes, const std::string& part) {
        auto l = load(bytes);
        ASSERT_FALSE(l) << part;
        EXPECT_EQ(l.error().rfind("chunk 4 (level data): ", 0), 0u) << l.error();
        EXPECT_NE(l.error().find(part), std::string::npos) << l.error();
    };

    Bytes garbled = good;
    for (std::size_t i = chunk4 + 10; i < chunk4 + 40; ++i) garbled[i] ^= 0x5A;
    expectRefused(garbled, "damaged");

    Bytes longer = good;  // states one byte more than the stream holds
    set32(longer, chunk4, get32(good, chunk4) + 1);
    expectRefused(longer, "inflates to");

    Bytes shorter = good;  // states one byte less
    set32(shorter, chunk4, get32(good, chunk4) - 1);
    expectRefused(shorter, "more than the stated");

    Bytes absurd = good;  // 4 GiB from a few hundred bytes: refused before anything is allocated
    set32(absurd, chunk4, 0xFFFFFFFF);
    expectRefused(absurd, "exceeds the limit");

    Bytes overstated = good;  // within the cap, but more than the compressed bytes can hold
    set32(overstated, chunk4, 0x400000);
    expectRefused(overstated, "compressed bytes can hold");

    Bytes cutStream = good;  // a compressed size that ends the stream early
    set32(cutStream, chunk4 + 4, get32(good, chunk4 + 4) - 8);
    auto l = load(cutStream);
    ASSERT_FALSE(l);
    EXPECT_EQ(l.error().rfind("chunk 4 (level data): ", 0), 0u) << l.error();
}

TEST(TR4Reader, ATextureChunkFailureIsReportedBeforeLaterChunks) {
    for (bool parallel : {false, true}) {
        level::detail::setParallelInflate(parallel);
        test::TR4File f = fileWith(oneRoomLevel());
        f.tex32.assign(262144, 7);
        Bytes b = test::tr4File(f);
        set32(b, 10, 262145);  // chunk 1 states one byte too many
        const Bytes chunk4 = test::zlibChunk(f.levelData);
        const std::size_t at = b.size() - 4 - chunk4.size() + 8;
        b[at + 12] ^= 0xFF;  // and chunk 4 is damaged too
        auto l = load(b);
        ASSERT_FALSE(l);
        EXPECT_EQ(l.error().rfind("chunk 1 (32-bit textures): ", 0), 0u) << l.error();
    }
    level::detail::setParallelInflate(true);
}

TEST(TR4Reader, RealLevelReadsWithEveryCount) {
    TESSARIN_REQUIRE_LEVEL(path, "tr4-test1.tr4");
    auto l = level::LoadLevel(path);
    ASSERT_TRUE(l) << l.error();
    EXPECT_EQ(l->LevelVersion, 4);
    EXPECT_EQ(l->NumRoomTextiles, 1);
    EXPECT_EQ(l->NumObjTextiles, 6);
    EXPECT_EQ(l->NumTextiles, 7);
    EXPECT_EQ(l->NumMiscTextiles, 2);
    EXPECT_EQ(l->Textile32.size(), 7u * level::kTextilePixels);
    EXPECT_EQ(l->Textile16.size(), 7u * level::kTextilePixels);
    EXPECT_EQ(l->MiscTextile.size(), 2u * level::kTextilePixels);
    ASSERT_EQ(l->Rooms.size(), 4u);
    EXPECT_EQ(l->FloorData.size(), 121u);
    EXPECT_EQ(l->numMeshData(), 60786);
    EXPECT_EQ(l->MeshPointers.size(), 397u);
    EXPECT_EQ(l->Animations.size(), 552u);
    EXPECT_EQ(l->StateChanges.size(), 392u);
    EXPECT_EQ(l->AnimDispatches.size(), 468u);
    EXPECT_EQ(l->AnimCommands.size(), 1857u);
    EXPECT_EQ(l->MeshTrees.size(), 1348u);
    EXPECT_EQ(l->Frames.size(), 148095u);
    EXPECT_EQ(l->Moveables.size(), 60u);
    EXPECT_EQ(l->StaticMeshes.size(), 0u);
    EXPECT_EQ(l->SpriteTextures.size(), 33u);
    EXPECT_EQ(l->SpriteSequences.size(), 1u);
    EXPECT_EQ(l->Cameras.size(), 1u);
    EXPECT_EQ(l->FlybyCameras.size(), 3u);
    EXPECT_EQ(l->SoundSources.size(), 1u);
    EXPECT_EQ(l->Boxes.size(), 13u);
    EXPECT_EQ(l->Overlaps.size(), 58u);
    EXPECT_EQ(l->Zones.size(), 130u);
    EXPECT_EQ(l->AnimatedTextures.size(), 8u);
    EXPECT_EQ(l->ObjectTextures.size(), 1447u);
    EXPECT_EQ(l->Items.size(), 4u);
    EXPECT_EQ(l->AIObjects.size(), 0u);
    EXPECT_EQ(l->NumDemoData, 0);
    EXPECT_EQ(l->SoundDetails.size(), 51u);
    EXPECT_EQ(l->SampleIndices.size(), 59u);
    EXPECT_EQ(l->NumSamples, 59) << "one sample per sample index";
    EXPECT_EQ(l->Items[0].ObjectID, 0);
    EXPECT_EQ(l->Items[0].X % 1024, 512);
    test::expectSaneLevel(*l);
}

namespace {

// Where each chunk of a real TR4 file starts, and where its sample count ends.
struct ChunkLayout {
    std::vector<std::size_t> starts;
    std::size_t end = 0;
};
ChunkLayout chunkLayout(const Bytes& b) {
    ChunkLayout c;
    std::size_t p = 10;
    for (int i = 0; i < 4; ++i) {
        c.starts.push_back(p);
        p += 8 + get32(b, p + 4);
    }
    c.end = p + 4;
    return c;
}

}  // namespace

// Cuts the real file at a spread of lengths and around every chunk boundary: every cut before the
// sample count is refused with a message; the samples themselves are not needed.
TEST(TR4Reader, EveryCutOfTheRealFileIsRefused) {
    TESSARIN_REQUIRE_LEVEL(path, "tr4-test1.tr4");
    const auto bytes = util::readFile(path);
    ASSERT_TRUE(bytes);
    const ChunkLayout layout = chunkLayout(*bytes);
    std::set<std::size_t> cuts;
    for (std::size_t i = 0; i < 3000; ++i) cuts.insert(layout.end * i / 3000);
    for (std::size_t s : layout.starts)
        for (std::size_t d = 0; d < 12 && d <= s; ++d) cuts.insert(s + d), cuts.insert(s - d);
    for (std::size_t d = 1; d <= 4; ++d) cuts.insert(layout.end - d);
    for (std::size_t cut : cuts) {
        auto r = level::LoadLevelFromBytes(std::span(bytes->data(), cut), "cut.tr4");
        ASSERT_FALSE(r) << "cut at " << cut << " was read as a level";
        ASSERT_FALSE(r.error().empty());
    }
    EXPECT_TRUE(level::LoadLevelFromBytes(std::span(bytes->data(), layout.end), "cut.tr4"));
}

// The same for the level-data block: the real block cut short and packed again (stored, so the
// sweep stays fast) must be refused at every length short of its padding.
TEST(TR4Reader, EveryCutOfTheRealLevelDataIsRefused) {
    TESSARIN_REQUIRE_LEVEL(path, "tr4-test1.tr4");
    const auto bytes = util::readFile(path);
    ASSERT_TRUE(bytes);
    const std::size_t at = chunkLayout(*bytes).starts[3];
    const auto data = util::inflateChunk(std::span(bytes->data() + at + 8, get32(*bytes, at + 4)), get32(*bytes, at), "test");
    const std::size_t n = data.size();
    std::set<std::size_t> cuts;
    for (std::size_t i = 0; i < 1500; ++i) cuts.insert(n * i / 1500);
    for (std::size_t d = 7; d <= 64; ++d) cuts.insert(n - d);
    for (std::size_t cut : cuts) {
        Bytes file;
        for (std::uint8_t c : {0x54, 0x52, 0x34, 0x00, 0, 0, 0, 0, 0, 0}) file.push_back(c);
        for (int i = 0; i < 3; ++i) {
            const Bytes empty = test::zlibChunk({});
            file.insert(file.end(), empty.begin(), empty.end());
        }
        const Bytes chunk = test::zlibChunk(Bytes(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(cut)), -1, 0);
        file.insert(file.end(), chunk.begin(), chunk.end());
        file.insert(file.end(), 4, 0);
        auto r = load(file);
        ASSERT_FALSE(r) << "level data cut at " << cut << " was read as a level";
        ASSERT_NE(r.error().find("level data"), std::string::npos) << r.error();
    }
}

TEST(TR4Reader, InflatingSideBySideGivesTheSameLevel) {
    TESSARIN_REQUIRE_LEVEL(path, "tr4-test1.tr4");
    level::detail::setParallelInflate(false);
    auto serial = level::LoadLevel(path);
    level::detail::setParallelInflate(true);
    auto parallel = level::LoadLevel(path);
    ASSERT_TRUE(serial && parallel);
    EXPECT_TRUE(serial->Textile32 == parallel->Textile32);
    EXPECT_TRUE(serial->Textile16 == parallel->Textile16);
    EXPECT_TRUE(serial->MiscTextile == parallel->MiscTextile);
    EXPECT_TRUE(serial->MeshData == parallel->MeshData);
    EXPECT_TRUE(serial->Frames == parallel->Frames);
}
