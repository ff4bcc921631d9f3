// Golden bytes for the fields that are easy to get wrong, on levels built by the independent builder.
#include <gtest/gtest.h>

#include "level/LevelReader.h"
#include "level/LevelWriter.h"
#include "levelgen/LevelBuilder.h"
#include "levelgen/LevelFactory.h"
#include "support/LevelCompare.h"

namespace tessarin::level {
namespace {

using levelgen::BuildOptions;
using levelgen::SectionOffsets;

std::int32_t le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::int32_t>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24));
}
std::int16_t le16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::int16_t>(b[at] | (b[at + 1] << 8));
}

TRLevel load(const std::vector<std::uint8_t>& bytes, std::int16_t version) {
    auto r = LoadLevelFromBytes(bytes, std::string("built") + levelgen::levelExtension(version));
    if (!r) ADD_FAILURE() << "built level does not load: " << r.error();
    return r ? std::move(*r) : TRLevel{};
}

std::vector<std::uint8_t> build(const TRLevel& L, std::int16_t v, SectionOffsets& off, const BuildOptions& opt = {}) {
    return levelgen::buildLevelTR123(L, v, opt, &off);
}

TEST(GoldenBytes, TR1BoxesTurnWorldCoordinatesIntoSectorsRoundingDown) {
    TRLevel L = levelgen::everyListLevel(kVersionTR1);
    BuildOptions opt;
    opt.tr1BoxWorld[0] = {1024, 2047, 3072, 4096};
    opt.tr1BoxWorld[1] = {0, 1023, 3071, 7167};
    SectionOffsets off;
    const auto bytes = build(L, kVersionTR1, off, opt);
    // Count, then 20 bytes per box: four 32-bit coordinates, TrueFloor, OverlapIndex.
    ASSERT_EQ(le32(bytes, off.boxes), 2);
    EXPECT_EQ(le32(bytes, off.boxes + 4 + 8), 3072);
    EXPECT_EQ(le16(bytes, off.boxes + 4 + 16), -256);
    EXPECT_EQ(le32(bytes, off.boxes + 24 + 8), 3071);

    const TRLevel read = load(bytes, kVersionTR1);
    ASSERT_EQ(read.Boxes.size(), 2u);
    EXPECT_EQ(read.Boxes[0].Zmin, 1);
    EXPECT_EQ(read.Boxes[0].Zmax, 1);
    EXPECT_EQ(read.Boxes[0].Xmin, 3);
    EXPECT_EQ(read.Boxes[0].Xmax, 4);
    EXPECT_EQ(read.Boxes[1].Xmin, 2);
    EXPECT_EQ(read.Boxes[1].Xmax, 6);
    EXPECT_EQ(read.Boxes[1].OverlapIndex, static_cast<std::int16_t>(0x8001));
    EXPECT_EQ(read.Zones.size(), 12u) << "TR1 keeps six zone words per box";
}

TEST(GoldenBytes, DemoDataIsTwoWordsForEightBytesAndAbsentForNone) {
    for (std::int16_t v : {kVersionTR1, kVersionTR2, kVersionTR3}) {
        SCOPED_TRACE(v);
        TRLevel L = levelgen::everyListLevel(v);
        L.NumDemoData = 8;
        L.DemoData = {0x11223344, -5};
        SectionOffsets off;
        auto bytes = build(L, v, off);
        EXPECT_EQ(le16(bytes, off.demoData), 8);
        EXPECT_EQ(le32(bytes, off.demoData + 2), 0x11223344);
        EXPECT_EQ(le32(bytes, off.demoData + 6), -5);
        EXPECT_EQ(off.soundMap, off.demoData + 10);
        TRLevel read = load(bytes, v);
        EXPECT_EQ(read.NumDemoData, 8);
        EXPECT_EQ(read.DemoData, (std::vector<std::int32_t>{0x11223344, -5}));

        L.NumDemoData = 0;
        bytes = build(L, v, off);
        EXPECT_EQ(off.soundMap, off.demoData + 2) << "no demo words follow a count of 0";
        read = load(bytes, v);
        EXPECT_EQ(read.NumDemoData, 0);
        EXPECT_TRUE(read.DemoData.empty());
        EXPECT_EQ(read.SoundMap[0], 0);
    }
}

// Both counts are read before lists the reader would otherwise just leave empty: a negative one is
// damage, not an empty list.
TEST(GoldenBytes, NegativeCinematicFrameAndDemoCountsAreRefused) {
    for (std::int16_t v : {kVersionTR1, kVersionTR2, kVersionTR3}) {
        SCOPED_TRACE(v);
        TRLevel L = levelgen::everyListLevel(v);
        L.CinematicFrames.clear();
        L.NumDemoData = 0;
        L.DemoData.clear();
        SectionOffsets off;
        const auto good = build(L, v, off);
        ASSERT_EQ(le16(good, off.demoData - 2), 0);  // the cinematic frame count

        auto cinematic = good;
        cinematic[off.demoData - 2] = 0xFF, cinematic[off.demoData - 1] = 0xFF;
        auto r = LoadLevelFromBytes(cinematic, std::string("built") + levelgen::levelExtension(v));
        ASSERT_FALSE(r);
        EXPECT_NE(r.error().find("cinematic frames: negative count -1"), std::string::npos) << r.error();

        auto demo = good;
        demo[off.demoData] = 0xFC, demo[off.demoData + 1] = 0xFF;
        r = LoadLevelFromBytes(demo, std::string("built") + levelgen::levelExtension(v));
        ASSERT_FALSE(r);
        EXPECT_NE(r.error().find("demo data: negative count -4"), std::string::npos) << r.error();
    }
}

TEST(GoldenBytes, LightModeIsInTR2RoomsOnlyAndTheThreeRoomBytesInTR3Only) {
    TRLevel L = levelgen::everyListLevel(kVersionTR2);
    L.Rooms[0].LightMode = 0x0A0B;
    L.Rooms[0].WaterScheme = 9;  // the three bytes are not part of a TR2 file
    L.Rooms[0].ReverbInfo = 2;
    L.Rooms[1].AlternateGroup = 0xCD;
    L.Version = 0;               // each build writes its own version's magic
    SectionOffsets off2, off3;
    const auto tr2 = build(L, kVersionTR2, off2);
    const auto tr3 = build(L, kVersionTR3, off3);
    // Before the flags: TR2 has ambient 1 and 2, LightMode; TR3 has no LightMode word.
    const std::size_t tr2Room = off2.roomStart[1] - off2.roomStart[0];
    const std::size_t tr3Room = off3.roomStart[1] - off3.roomStart[0];
    EXPECT_EQ(tr3Room, tr2Room - 2 + 3);
    // The TR2 room ends with its flags; the TR3 room has three bytes after them.
    EXPECT_EQ(off2.roomFlagsEnd[0], off2.roomStart[1]);
    EXPECT_EQ(off3.roomFlagsEnd[0] + 3, off3.roomStart[1]);
    EXPECT_EQ(tr3[off3.roomFlagsEnd[0]], 9);

    const TRLevel read2 = load(tr2, kVersionTR2);
    ASSERT_EQ(read2.Rooms.size(), 2u);
    EXPECT_EQ(read2.Rooms[0].LightMode, 0x0A0B);
    EXPECT_EQ(read2.Rooms[0].WaterScheme, 0);
    EXPECT_EQ(read2.Rooms[1].Flags, 0x41);
    const TRLevel read3 = load(tr3, kVersionTR3);
    ASSERT_EQ(read3.Rooms.size(), 2u);
    EXPECT_EQ(read3.Rooms[0].LightMode, 0);
    EXPECT_EQ(read3.Rooms[0].WaterScheme, 9);
    EXPECT_EQ(read3.Rooms[0].ReverbInfo, 2);
    EXPECT_EQ(read3.Rooms[1].AlternateGroup, 0xCD);
}

TEST(GoldenBytes, TR1SoundMapHas256EntriesAndTheOthers370) {
    SectionOffsets off1, off2;
    const TRLevel L1 = levelgen::everyListLevel(kVersionTR1);
    const auto tr1 = build(L1, kVersionTR1, off1);
    EXPECT_EQ(off1.soundDetails - off1.soundMap, 512u);
    const auto tr2 = build(levelgen::everyListLevel(kVersionTR2), kVersionTR2, off2);
    EXPECT_EQ(off2.soundDetails - off2.soundMap, 740u);

    const TRLevel read1 = load(tr1, kVersionTR1);
    EXPECT_EQ(read1.SoundMap[255], 1);
    EXPECT_EQ(read1.SoundMap[256], 0) << "entries past 256 are not in a TR1 file";
    ASSERT_EQ(read1.SoundDetails.size(), 2u);
    EXPECT_EQ(read1.SoundDetails[1].Volume, 0x4000);
    EXPECT_EQ(read1.SampleIndices, (std::vector<std::int32_t>{0, 10}));
    const TRLevel read2 = load(tr2, kVersionTR2);
    EXPECT_EQ(read2.SoundMap[369], 1);
}

TEST(GoldenBytes, TR3ObjectTexturesFollowTheAnimatedTexturesAndTR2TexturesPrecedeTheSprites) {
    SectionOffsets off2, off3;
    const TRLevel L2 = levelgen::everyListLevel(kVersionTR2);
    const TRLevel L3 = levelgen::everyListLevel(kVersionTR3);
    const auto tr2 = build(L2, kVersionTR2, off2);
    const auto tr3 = build(L3, kVersionTR3, off3);
    EXPECT_LT(off2.objectTextures, off2.boxes);
    EXPECT_EQ(off3.objectTextures, off3.animatedTextures + 4 + 2 * L3.AnimatedTextures.size());
    EXPECT_EQ(le32(tr3, off3.objectTextures), 2);
    EXPECT_EQ(off3.items, off3.objectTextures + 4 + 2 * 20);
    for (const auto& [bytes, v] : {std::pair{&tr2, kVersionTR2}, std::pair{&tr3, kVersionTR3}}) {
        const TRLevel read = load(*bytes, v);
        ASSERT_EQ(read.ObjectTextures.size(), 2u) << v;
        EXPECT_EQ(read.ObjectTextures[1].Attribute, 1);
        EXPECT_EQ(read.ObjectTextures[1].Vertices[2].XPixel, 63);
        EXPECT_EQ(read.SpriteTextures.size(), 1u);
        EXPECT_EQ(read.AnimatedTextures.size(), 4u);
    }
}

TEST(GoldenBytes, TR2PagesAreAllEightBitPagesThenAllSixteenBitPagesThenReserved) {
    TRLevel L = levelgen::everyListLevel(kVersionTR2);
    L.NumTextiles = 3;
    L.Textile8.assign(3 * kTextilePixels, 0);
    L.Textile16.assign(3 * kTextilePixels, 0);
    L.Textile8[2 * kTextilePixels + 5] = 0xA5;    // page 2, texel 5
    L.Textile16[1 * kTextilePixels + 7] = 0xBEEF;  // page 1, texel 7
    L.Reserved = 0x01020304;
    SectionOffsets off;
    const auto bytes = build(L, kVersionTR2, off);
    const std::size_t pages8 = 4 + 768 + 1024 + 4;
    const std::size_t pages16 = pages8 + 3 * 65536;
    EXPECT_EQ(bytes[pages8 + 2 * 65536 + 5], 0xA5);
    EXPECT_EQ(le16(bytes, pages16 + 2 * (65536 + 7)), static_cast<std::int16_t>(0xBEEF));
    EXPECT_EQ(le32(bytes, pages16 + 3 * 131072), 0x01020304);
    EXPECT_EQ(off.rooms, pages16 + 3 * 131072 + 4);

    const TRLevel read = load(bytes, kVersionTR2);
    EXPECT_EQ(read.NumTextiles, 3);
    ASSERT_EQ(read.Textile8.size(), 3 * kTextilePixels);
    ASSERT_EQ(read.Textile16.size(), 3 * kTextilePixels);
    EXPECT_EQ(read.Textile8[2 * kTextilePixels + 5], 0xA5);
    EXPECT_EQ(read.Textile16[kTextilePixels + 7], 0xBEEF);
    EXPECT_EQ(read.Reserved, 0x01020304);
}

TEST(GoldenBytes, EveryListOfABuiltLevelReadsBackFieldByField) {
    for (std::int16_t v : {kVersionTR1, kVersionTR2, kVersionTR3}) {
        SCOPED_TRACE(v);
        const TRLevel L = levelgen::everyListLevel(v);
        const TRLevel read = load(levelgen::buildLevel(L, v), v);
        EXPECT_EQ(test::firstDifference(L, read, v), "");
        if (v == kVersionTR1) {
            EXPECT_EQ(read.SampleData, L.SampleData);
        }
    }
}

TEST(GoldenBytes, SavingABuiltTR2OrTR3LevelGivesTheBuilderBytes) {
    for (std::int16_t v : {kVersionTR2, kVersionTR3}) {
        SCOPED_TRACE(v);
        TRLevel L = levelgen::everyListLevel(v);
        if (v == kVersionTR3) L.Version = kMagicTR3b;
        const auto bytes = levelgen::buildLevel(L, v);
        const TRLevel read = load(bytes, v);
        EXPECT_EQ(read.Version, L.Version);
        auto saved = SerializeLevel(read);
        ASSERT_TRUE(saved) << saved.error();
        EXPECT_EQ(*saved, bytes);
    }
}

TEST(GoldenBytes, EmptyRoomListsAreWrittenAsZeroCountsAndReadBackEmpty) {
    TRLevel L = levelgen::emptyLevel(kVersionTR2);
    L.Rooms.push_back(levelgen::boxRoom(0, 0, 3, 3, 0, -1024));
    const auto bytes = levelgen::buildLevel(L);
    const TRLevel read = load(bytes, kVersionTR2);
    ASSERT_EQ(read.Rooms.size(), 1u);
    EXPECT_TRUE(read.Rooms[0].Vertices.empty());
    EXPECT_TRUE(read.Rooms[0].Portals.empty());
    EXPECT_EQ(read.Rooms[0].NumDataWords, 4) << "four zero counts";
    EXPECT_EQ(test::firstDifference(L, read, kVersionTR2), "");
    auto saved = SerializeLevel(read);
    ASSERT_TRUE(saved);
    EXPECT_EQ(*saved, bytes);
}

}  // namespace
}  // namespace tessarin::level
