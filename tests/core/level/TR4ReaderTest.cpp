// The TR4 reader: chunk sizing, the level-data block, damaged chunks, the real level and its cuts.
#include <gtest/gtest.h>

#include <atomic>

#include <set>
#include <zlib.h>

#include "support/SaneLevel.h"
#include "level/CompressedChunks.h"
#include "level/RoomsReader.h"
#include "level/LevelReader.h"
#include "levelgen/LevelBuilder.h"
#include "levelgen/LevelFactory.h"
#include "levelgen/SampleLevels.h"
#include "support/BytePatch.h"
#include "support/AllocationLimit.h"
#include "support/CutSweep.h"
#include "support/TestPaths.h"
#include "util/ByteWriter.h"
#include "util/FileIO.h"
#include "util/Inflate.h"

using namespace tessarin;
using Bytes = std::vector<std::uint8_t>;
using test::get32;
using test::set16;
using test::set32;

namespace {

util::Result<level::TRLevel> load(const Bytes& b) { return level::LoadLevelFromBytes(b, "test.tr4"); }

// A TR4 level of one 2 x 1 room whose fields all differ from their defaults.
level::TRLevel oneRoomLevel() {
    level::TRLevel l = levelgen::emptyLevel(level::kVersionTR4);
    level::TRRoom r;
    r.X = 1024, r.Z = 2048, r.YTop = -1024;
    r.NumXSectors = 2, r.NumZSectors = 1;
    r.Sectors.resize(2);
    for (std::size_t i = 0; i < r.Sectors.size(); ++i) {
        r.Sectors[i].FDIndex = static_cast<std::uint16_t>(100 + i);
        r.Sectors[i].BoxIndex = 5, r.Sectors[i].Floor = -4, r.Sectors[i].Ceiling = -8;
    }
    r.RoomExtra = 0x44, r.Flags = 64;
    r.WaterScheme = 1, r.ReverbInfo = 2, r.AlternateGroup = 3;
    l.Rooms = {r};
    return l;
}

Bytes tr4(const level::TRLevel& l) { return levelgen::buildLevel(l, level::kVersionTR4); }

// Where each chunk of a TR4 file starts, and where its sample count ends.
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

// A chunk as the files store it; zlib level 0 stores without compressing (fast for large blocks).
Bytes zlibChunk(const Bytes& data, int zlevel = 6) {
    uLongf len = compressBound(static_cast<uLong>(data.size()));
    Bytes b(8 + len);
    compress2(b.data() + 8, &len, data.data(), static_cast<uLong>(data.size()), zlevel);
    b.resize(8 + len);
    set32(b, 0, static_cast<std::uint32_t>(data.size()));
    set32(b, 4, static_cast<std::uint32_t>(len));
    return b;
}

// `file` with its level-data chunk replaced by one holding `data`; the sample count stays.
Bytes withLevelData(const Bytes& file, const Bytes& data, int zlevel = 6) {
    const std::size_t at = chunkLayout(file).starts[3];
    Bytes b(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(at));
    const Bytes chunk = zlibChunk(data, zlevel);
    b.insert(b.end(), chunk.begin(), chunk.end());
    b.insert(b.end(), 4, 0);
    return b;
}

Bytes levelDataOf(const Bytes& file) {
    const std::size_t at = chunkLayout(file).starts[3];
    return util::inflateChunk(std::span(file.data() + at + 8, get32(file, at + 4)), get32(file, at), "test");
}

}  // namespace

TEST(TR4Reader, SizesTheTexturePagesFromTheChunkSizes) {
    level::TRLevel d = oneRoomLevel();
    d.NumTextiles = 3;
    d.NumRoomTextiles = 1, d.NumObjTextiles = 2;
    d.Textile32.assign(3 * level::kTextilePixels, 0);
    d.Textile32[0] = 0x80030201u;
    d.Textile32.back() = 0xFFu;
    d.Textile16 = {0x1234};
    d.NumMiscTextiles = 2;
    Bytes b = tr4(d);
    // The 16-bit chunk's own size does not matter: shrink it to a single page.
    const auto layout = chunkLayout(b);
    const std::size_t c2 = layout.starts[1];
    Bytes one(2 * level::kTextilePixels, 0);
    one[0] = 0x34, one[1] = 0x12;
    const Bytes chunk2 = zlibChunk(one);
    b.erase(b.begin() + static_cast<std::ptrdiff_t>(c2), b.begin() + static_cast<std::ptrdiff_t>(layout.starts[2]));
    b.insert(b.begin() + static_cast<std::ptrdiff_t>(c2), chunk2.begin(), chunk2.end());
    auto l = load(b);
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
    level::TRLevel d = oneRoomLevel();
    auto& room = d.Rooms[0];
    room.NumXSectors = 3, room.NumZSectors = 2;
    room.Sectors.resize(6, room.Sectors[0]);
    for (std::size_t i = 0; i < 6; ++i) room.Sectors[i].FDIndex = static_cast<std::uint16_t>(100 + i);  // file order
    level::TRLight light;
    light.X4 = 1024, light.Y4 = -1024, light.Z4 = 2048;
    light.Colour = {10, 20, 30};
    light.LightType = 2, light.LightExtra = 9, light.Intensity = 31;
    light.In = 512, light.Out = 1024, light.Length = 0.5f, light.CutOff = 0.25f;
    light.DirY = -1;
    room.Lights = {light};
    auto l = load(tr4(d));
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
    level::TRLevel d = oneRoomLevel();
    d.Rooms[0].Sprites = {{0, 7}, {1, 7}};
    d.Rooms[0].Portals.resize(1);
    d.Rooms[0].Portals[0].AdjoiningRoom = 1;
    auto l = load(tr4(d));
    ASSERT_TRUE(l) << l.error();
    ASSERT_EQ(l->Rooms[0].Sprites.size(), 2u);
    EXPECT_EQ(l->Rooms[0].Sprites[1].Vertex, 1);
    EXPECT_EQ(l->Rooms[0].Sprites[1].Texture, 7);
    ASSERT_EQ(l->Rooms[0].Portals.size(), 1u);
    EXPECT_EQ(l->Rooms[0].Portals[0].AdjoiningRoom, 1);
    EXPECT_EQ(l->Rooms[0].Flags, 64);
}

TEST(TR4Reader, ReadsTwentyZoneBytesPerBoxAndEverySectionAfter) {
    level::TRLevel d = oneRoomLevel();
    d.Boxes.resize(100);
    d.Boxes[99].TrueFloor = -256;
    for (int i = 0; i < 1000; ++i) d.Zones.push_back(static_cast<std::int16_t>(i));
    d.AnimatedTextures = {0x1234, 0x5678};
    level::TRObjectTexture t;
    t.Attribute = 2;
    t.Tile = static_cast<std::int16_t>(0x8005);
    t.NewFlags = 0x0301;
    t.Vertices = {{{0, 0, 0, 0}, {0, 63, 0, 0}, {0, 63, 0, 63}, {0, 0, 0, 63}}};
    t.SourceUV[7] = 0xA7;
    t.Width = t.Height = 64;
    d.ObjectTextures = {t};
    d.Items.resize(1);
    d.Items[0].Z = 2560, d.Items[0].OCB = 7;
    for (std::size_t i = 0; i < d.SoundMap.size(); ++i) d.SoundMap[i] = static_cast<std::int16_t>(i - 1);
    d.SampleIndices = {0};
    auto l = load(tr4(d));
    ASSERT_TRUE(l) << l.error();
    EXPECT_EQ(l->Boxes.size(), 100u);
    EXPECT_EQ(l->Boxes[99].TrueFloor, -256);
    ASSERT_EQ(l->Zones.size(), 1000u);
    EXPECT_EQ(l->Zones[999], 999);
    EXPECT_EQ(l->AnimatedTextures, (std::vector<std::int16_t>{0x1234, 0x5678}));
    ASSERT_EQ(l->ObjectTextures.size(), 1u);
    const auto& o = l->ObjectTextures[0];
    EXPECT_EQ(o.Attribute, 2);
    EXPECT_EQ(o.Tile, 5) << "bit 15 is cleared in the level";
    EXPECT_EQ(o.NewFlags, 0x0301);
    EXPECT_EQ(o.Vertices[2].XPixel, 63);
    EXPECT_EQ(o.SourceUV[7], 0xA7);
    EXPECT_EQ(o.Width, 64);
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
    level::TRLevel d = oneRoomLevel();
    level::TRObjectTexture t;
    t.Vertices = {{{0, 0, 0, 0}, {0, 10, 0, 0}, {0, 10, 0, 10}, {0, 0, 0, 10}}};
    t.Width = t.Height = 16;
    d.ObjectTextures = {t, t};
    d.ObjectTextures[1].Vertices = {{{0, 200, 0, 0}, {0, 255, 0, 0}, {0, 255, 0, 10}, {0, 200, 0, 10}}};
    d.ObjectTextures[1].Width = 100;
    auto l = load(tr4(d));
    ASSERT_FALSE(l);
    EXPECT_EQ(l.error(), "ConvertTR5TextInfo -> ObjectTexture 1 invalid");
}

TEST(TR4Reader, IgnoresWhateverFollowsTheSampleCount) {
    level::TRLevel d = oneRoomLevel();
    d.NumSamples = 3;
    d.SampleData.assign(5000, 0xAB);  // samples and an extended engine's own data
    auto l = load(tr4(d));
    ASSERT_TRUE(l) << l.error();
    EXPECT_EQ(l->NumSamples, 3);

    d.SampleData.clear();
    Bytes b = tr4(d);
    EXPECT_TRUE(load(b)) << "a file may end with its sample count";

    b.resize(b.size() - 4);
    auto cut = load(b);
    ASSERT_FALSE(cut);
    EXPECT_NE(cut.error().find("sample count"), std::string::npos) << cut.error();
}

TEST(TR4Reader, NegativeSampleAndDemoCountsAreRefused) {
    level::TRLevel d = oneRoomLevel();
    d.NumSamples = -1;
    auto l = load(tr4(d));
    ASSERT_FALSE(l);
    EXPECT_NE(l.error().find("samples: negative count -1"), std::string::npos) << l.error();

    d.NumSamples = 0;
    d.NumDemoData = -4;
    l = load(tr4(d));
    ASSERT_FALSE(l);
    EXPECT_NE(l.error().find("level data, demo data: negative count -4"), std::string::npos) << l.error();
}

TEST(TR4Reader, AnExtendedEnginesLongerSoundMapIsReadWhereTheDemoStands) {
    level::TRLevel d = oneRoomLevel();
    d.SoundDetails.resize(3);
    d.SampleIndices = {7, 8};
    levelgen::BuildOptions o;
    o.tr4ExtendedSoundMap.assign(2048, -1);
    o.tr4ExtendedSoundMap[0] = 2, o.tr4ExtendedSoundMap[369] = 1, o.tr4ExtendedSoundMap[2047] = 0;
    for (std::size_t padding : {6, 0}) {
        o.tr4BlockPadding = padding;
        auto l = load(levelgen::buildLevel(d, level::kVersionTR4, o));
        ASSERT_TRUE(l) << l.error();
        EXPECT_EQ(l->NumDemoData, 0);
        EXPECT_TRUE(l->DemoData.empty());
        EXPECT_EQ(l->SoundMap[0], 2);
        EXPECT_EQ(l->SoundMap[1], -1);
        EXPECT_EQ(l->SoundMap[369], 1);
        EXPECT_EQ(l->SoundDetails.size(), 3u);
        EXPECT_EQ(l->SampleIndices, (std::vector<std::int32_t>{7, 8}));
    }
    // A map shorter than the model's leaves the rest without sounds.
    o.tr4ExtendedSoundMap.assign(10, 4);
    auto l = load(levelgen::buildLevel(d, level::kVersionTR4, o));
    ASSERT_TRUE(l) << l.error();
    EXPECT_EQ(l->SoundMap[9], 4);
    EXPECT_EQ(l->SoundMap[10], -1);

    // The games' own layout with a demo reads as before.
    d.NumDemoData = 2048;
    d.DemoData.assign(512, 0x01020304);
    auto plain = load(tr4(d));
    ASSERT_TRUE(plain) << plain.error();
    EXPECT_EQ(plain->NumDemoData, 2048);
    EXPECT_EQ(plain->DemoData[511], 0x01020304);
    // A longer map in a block padded more than the games pad it is found while the games' layout
    // runs past the block; a block where neither layout fits is refused.
    o.tr4ExtendedSoundMap.assign(2048, -1);
    o.tr4ExtendedSoundMap[369] = 1;
    o.tr4BlockPadding = 20;
    Bytes padded = levelgen::buildLevel(d, level::kVersionTR4, o);
    auto l2 = load(padded);
    ASSERT_TRUE(l2) << l2.error();
    EXPECT_EQ(l2->SoundMap[369], 1);
    EXPECT_EQ(l2->SampleIndices, (std::vector<std::int32_t>{7, 8}));
    Bytes data = levelDataOf(padded);
    set32(data, data.size() - 20 - 8 - 4 - 3 * 8 - 4, 0x7FFFFFFF);  // the sound detail count
    EXPECT_FALSE(load(withLevelData(padded, data)));
}

TEST(TR4Reader, AnEmptyChunkMayHoldNoBytesAtAll) {
    const Bytes built = tr4(oneRoomLevel());
    // Header, then the three texture chunks as (0, 0) with no stream, then the level data.
    Bytes b(built.begin(), built.begin() + 10);
    b.insert(b.end(), 24, 0);
    b.insert(b.end(), built.begin() + static_cast<std::ptrdiff_t>(chunkLayout(built).starts[3]), built.end());
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

TEST(TR4Reader, ChunksClaimingFarMoreThanTheFileHoldsAreRefusedBeforeTheyAreUnpacked) {
    // Three texture chunks of 24 MiB of zeros each: honest streams, about 70 KB in all, that would
    // unpack (with the 16-bit pages sized from the first) to 84 MiB.
    const std::size_t stated = 24u << 20;
    Bytes zeros(stated, 0);
    uLongf packedSize = compressBound(static_cast<uLong>(stated));
    Bytes packed(packedSize);
    ASSERT_EQ(compress2(packed.data(), &packedSize, zeros.data(), static_cast<uLong>(stated), 9), Z_OK);
    zeros = {};
    Bytes file(10, 0);
    set32(file, 0, 0x00345254);
    for (int i = 0; i < 3; ++i) {
        const std::size_t at = file.size();
        file.resize(at + 8);
        set32(file, at, static_cast<std::uint32_t>(stated));
        set32(file, at + 4, static_cast<std::uint32_t>(packedSize));
        file.insert(file.end(), packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(packedSize));
    }
    file.resize(file.size() + 64, 0);
    for (const char* name : {"amplified.tr4", "amplified.trc"}) {
        test::AllocationLimit limit(8u << 20);
        const auto l = level::LoadLevelFromBytes(file, name);
        ASSERT_FALSE(l) << name;
        EXPECT_EQ(l.error().find("chunks: 88080384 bytes to unpack from a file of " + std::to_string(file.size()) +
                                 " bytes, past the ceiling of "),
                  0u)
            << l.error();
    }
}

TEST(TR4Reader, ALevelBlockWithoutItsPaddingIsComplete) {
    const Bytes built = tr4(oneRoomLevel());
    Bytes data = levelDataOf(built);
    data.resize(data.size() - 6);
    EXPECT_TRUE(load(withLevelData(built, data)));
}

TEST(TR4Reader, DamagedChunksAreRefusedNamingTheChunk) {
    const Bytes good = tr4(oneRoomLevel());
    ASSERT_TRUE(load(good));
    const std::size_t chunk4 = chunkLayout(good).starts[3];
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
    level::TRLevel d = oneRoomLevel();
    d.NumTextiles = d.NumRoomTextiles = 1;
    d.Textile32.assign(level::kTextilePixels, 0x07070707u);
    for (bool parallel : {false, true}) {
        level::detail::setParallelReading(parallel);
        Bytes b = tr4(d);
        set32(b, 10, 262145);  // chunk 1 states one byte too many
        b[chunkLayout(b).starts[3] + 20] ^= 0xFF;  // and chunk 4 is damaged too
        auto l = load(b);
        ASSERT_FALSE(l);
        EXPECT_EQ(l.error().rfind("chunk 1 (32-bit textures): ", 0), 0u) << l.error();
    }
    level::detail::setParallelReading(true);
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

// Cuts the real file at a spread of lengths and around every chunk boundary: every cut before the
// sample count is refused with a message; the samples themselves are not needed. The level-data
// block likewise, cut short and packed again (stored, so the sweep stays fast).
TEST(TR4Reader, EveryCutOfTheRealFileAndItsLevelDataIsRefused) {
    TESSARIN_REQUIRE_LEVEL(path, "tr4-test1.tr4");
    const auto bytes = util::readFile(path);
    ASSERT_TRUE(bytes);
    const ChunkLayout layout = chunkLayout(*bytes);
    test::expectEveryCutRefused(*bytes, test::cutPoints(layout.end, 3000, layout.starts, 11, 4),
                                test::levelReader("cut.tr4"), "tr4-test1.tr4");
    EXPECT_TRUE(level::LoadLevelFromBytes(std::span(bytes->data(), layout.end), "cut.tr4"));

    const Bytes data = levelDataOf(*bytes);
    const Bytes noPages = tr4(levelgen::emptyLevel(level::kVersionTR4));
    const auto packed = [&](std::span<const std::uint8_t> cut) {
        auto r = load(withLevelData(noPages, Bytes(cut.begin(), cut.end()), 0));
        if (r) return std::string();
        return r.error().find("level data") == std::string::npos ? "(empty message)" : r.error();
    };
    // The block's last six bytes are padding the reader does not need.
    test::expectEveryCutRefused(data, test::cutPoints(data.size() - 6, 1500, {}, 0, 58), packed, "level data");
}

TEST(TR4Reader, InflatingSideBySideGivesTheSameLevel) {
    TESSARIN_REQUIRE_LEVEL(path, "tr4-test1.tr4");
    level::detail::setParallelReading(false);
    auto serial = level::LoadLevel(path);
    level::detail::setParallelReading(true);
    auto parallel = level::LoadLevel(path);
    ASSERT_TRUE(serial && parallel);
    EXPECT_TRUE(serial->Textile32 == parallel->Textile32);
    EXPECT_TRUE(serial->Textile16 == parallel->Textile16);
    EXPECT_TRUE(serial->MiscTextile == parallel->MiscTextile);
    EXPECT_TRUE(serial->MeshData == parallel->MeshData);
    EXPECT_TRUE(serial->Frames == parallel->Frames);
}

TEST(TR4Reader, LevelDataDamagedPastWhatTheParseHasReadIsTheChunksError) {
    // The parse follows the level data as it inflates: damage deep in a stream of many steps must
    // still be reported as the chunk's, not as the parse running out of bytes.
    const Bytes good = levelgen::buildLevel(
        levelgen::composeLargeLevel({.version = 4, .rooms = 150, .sectorsPerSide = 12, .items = 100, .facesPerRoom = 300}));
    const std::size_t chunk4 = chunkLayout(good).starts[3];
    ASSERT_GT(get32(good, chunk4), 1u << 20);
    Bytes damaged = good;
    for (std::size_t i = 0; i < 64; ++i) damaged[chunk4 + 8 + get32(good, chunk4 + 4) * 2 / 3 + i] ^= 0x5A;
    for (bool parallel : {false, true}) {
        level::detail::setParallelReading(parallel);
        // The caller's work beside the inflating runs once a load, on one thread or two.
        std::atomic<int> runs{0};
        level::LoadOptions options;
        options.alongside = [&runs] { ++runs; };
        ASSERT_TRUE(level::LoadLevelFromBytes(good, "test.tr4", nullptr, nullptr, options));
        EXPECT_EQ(runs, 1);
        auto l = load(damaged);
        ASSERT_FALSE(l);
        EXPECT_EQ(l.error().rfind("chunk 4 (level data): ", 0), 0u) << l.error();
    }
    level::detail::setParallelReading(true);
}
