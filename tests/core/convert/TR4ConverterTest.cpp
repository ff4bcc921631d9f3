// The TR4 conversion on small built TR4 files, decoded field by field.
#include <gtest/gtest.h>

#include "levelgen/LevelBuilder.h"
#include "levelgen/LevelFactory.h"
#include "levelgen/SampleLevels.h"
#include "convert/TR4ConvertSteps.h"
#include "convert/TR4Converter.h"
#include "level/LevelWriter.h"
#include "level/LevelReader.h"
#include "level/Mesh.h"
#include "support/BytePatch.h"
#include "support/LevelCompare.h"

namespace tessarin::convert {
namespace {

using level::kVersionTR2;
using level::kVersionTR3;
using level::kVersionTR4;
using level::TRLevel;

SWDData onePageSWD() {
    SWDData swd;
    swd.Pixels.assign(kSWDPageBytes, 0);
    // Row 0: a transparent pixel, a white one and a mixed one.
    const std::uint8_t row[] = {255, 0, 255, 255, 255, 255, 80, 160, 247};
    std::copy(std::begin(row), std::end(row), swd.Pixels.begin());
    // The page's last pixel ends the file's pixels.
    const std::uint8_t last[] = {8, 16, 24};
    std::copy(std::begin(last), std::end(last), swd.Pixels.end() - 3);
    level::TRSpriteTexture t;
    t.Tile = 0;
    t.Width = 7 * 256 + 255;
    swd.SpriteTextures = {t, t};
    swd.SpriteTextures[1].Tile = 1;
    swd.SpriteSequences = {{194, -2, 0}};
    return swd;
}

// A TR4 level of one 1 x 1 room, `pages` texture pages (the first pixel 0x2222), two sprites of its
// own (which the conversion drops), a sprite sequence and a box.
TRLevel tr4Level(int pages = 1) {
    TRLevel l = levelgen::emptyLevel(kVersionTR4);
    l.NumTextiles = l.NumRoomTextiles = static_cast<std::int16_t>(pages);
    l.NumMiscTextiles = 2;
    l.Textile16 = {0x2222};
    l.Rooms.resize(1);
    l.Rooms[0].NumXSectors = l.Rooms[0].NumZSectors = 1;
    l.Rooms[0].Sectors.resize(1);
    l.SpriteTextures.resize(2);
    l.SpriteSequences.resize(1);
    l.Boxes.resize(1);
    return l;
}

std::vector<std::uint8_t> tr4Bytes(const TRLevel& l, const levelgen::BuildOptions& options = {}) {
    return levelgen::buildLevel(l, kVersionTR4, options);
}

TRLevel convert(const TRLevel& l, std::int16_t target, const SWDData& swd = onePageSWD(),
                const levelgen::BuildOptions& options = {}) {
    auto result = ConvertTR4Bytes(tr4Bytes(l, options), "level.tr4", target, swd);
    EXPECT_TRUE(result.ok()) << (result.ok() ? "" : result.error());
    return result.ok() ? std::move(*result) : TRLevel{};
}

level::TRLight tr4Light(std::int32_t x, std::int32_t y, std::int32_t z, std::array<std::uint8_t, 3> colour,
                        std::uint8_t type, float in, float out) {
    level::TRLight l;
    l.X4 = x, l.Y4 = y, l.Z4 = z;
    l.Colour = colour;
    l.LightType = type;
    l.Intensity = 31;
    l.In = in, l.Out = out;
    return l;
}

// One TR4 mesh: centre, radius, vertices, no normals, then the given faces (rectangles: 4 indices,
// texture, effects; triangles: 3 indices, texture, effects), as bytes.
std::vector<std::uint8_t> tr4Mesh(int vertices, const std::vector<std::array<std::uint16_t, 6>>& rectangles,
                                  const std::vector<std::array<std::uint16_t, 5>>& triangles) {
    std::vector<std::uint16_t> w{10, 20, 30, 500, 0, static_cast<std::uint16_t>(vertices)};
    for (int i = 0; i < vertices; ++i) w.insert(w.end(), {static_cast<std::uint16_t>(i), 0xFC00, static_cast<std::uint16_t>(i * 2)});
    w.push_back(0);  // no normals
    w.push_back(static_cast<std::uint16_t>(rectangles.size()));
    for (const auto& r : rectangles) w.insert(w.end(), r.begin(), r.end());
    w.push_back(static_cast<std::uint16_t>(triangles.size()));
    for (const auto& t : triangles) w.insert(w.end(), t.begin(), t.end());
    std::vector<std::uint8_t> b;
    for (auto v : w) b.insert(b.end(), {static_cast<std::uint8_t>(v & 0xFF), static_cast<std::uint8_t>(v >> 8)});
    return b;
}

level::TRAnimation animation(std::int32_t frameOffset, std::uint8_t frameSize) {
    level::TRAnimation a;
    a.FrameOffset = frameOffset;
    a.FrameRate = 1;
    a.FrameSize = frameSize;
    return a;
}

void setMoveables(TRLevel& l, const std::vector<std::pair<std::int16_t, std::int16_t>>& meshesAndAnimation) {
    l.Moveables.clear();
    for (const auto& [meshes, anim] : meshesAndAnimation) {
        level::TRMoveable m;
        m.ObjectID = static_cast<std::int32_t>(l.Moveables.size());
        m.NumMeshes = meshes;
        m.Animation = anim;
        l.Moveables.push_back(m);
    }
}

void setItems(TRLevel& l, const std::vector<std::int16_t>& ids) {
    l.Items.clear();
    for (auto id : ids) {
        l.Items.emplace_back();
        l.Items.back().ObjectID = id;
    }
}

TEST(TR4Converter, RefusesTrcNamesAndOtherMagics) {
    const auto bytes = tr4Bytes(tr4Level());
    for (const char* name : {"level.trc", "LEVEL.TRC", "a.Trc"}) {
        auto r = ConvertTR4Bytes(bytes, name, kVersionTR3, {});
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(r.error(), "No TR4 Level!");
    }
    auto tr3 = bytes;
    tr3[0] = 0x38, tr3[1] = 0x00, tr3[2] = 0x18, tr3[3] = 0xFF;
    EXPECT_EQ(ConvertTR4Bytes(tr3, "level.tr4", kVersionTR3, {}).error(), "No TR4 Level!");
    EXPECT_EQ(ConvertTR4Bytes(std::span<const std::uint8_t>(bytes.data(), 3), "x.tr4", kVersionTR2, {}).error(),
              "No TR4 Level!");
}

TEST(TR4Converter, SpritePagesFollowTheLevelPages) {
    for (std::int16_t target : {kVersionTR2, kVersionTR3}) {
        const TRLevel l = convert(tr4Level(10), target);
        EXPECT_EQ(l.NumTextiles, 11);
        ASSERT_EQ(l.Textile16.size(), 11u * 65536);
        EXPECT_EQ(l.Textile8.size(), l.Textile16.size());
        EXPECT_EQ(l.Textile16[0], 0x2222);  // the level's own page
        const std::size_t swdRow = 10 * 65536;
        EXPECT_EQ(l.Textile16[swdRow], 0);
        EXPECT_EQ(l.Textile16[swdRow + 1], 0xFFFF);
        EXPECT_EQ(l.Textile16[swdRow + 2], 0x8000 | 10 << 10 | 20 << 5 | 30);
        EXPECT_EQ(l.Textile16[swdRow + 65534], 0x8000);
        EXPECT_EQ(l.Textile16[swdRow + 65535], 0x8000 | 1 << 10 | 2 << 5 | 3);
        ASSERT_EQ(l.SpriteTextures.size(), 2u);  // the sprite file's, not the level's own
        EXPECT_EQ(l.SpriteTextures[0].Tile, 10);
        EXPECT_EQ(l.SpriteTextures[1].Tile, 11);
        ASSERT_EQ(l.SpriteSequences.size(), 1u);
        EXPECT_EQ(l.SpriteSequences[0].SpriteID, 194);
        EXPECT_EQ(l.Version, target == kVersionTR2 ? 0x2Du : 0xFF080038u);
    }
}

TEST(TR4Converter, PartlyUsedSpritePageIsFilledUpAndCounted) {
    // 128 rows: half a page, which the plain quotient would round away with the sprites on it.
    SWDData swd = onePageSWD();
    swd.Pixels.resize(128 * kSWDRowBytes);
    swd.SpriteTextures.resize(1);
    const TRLevel l = convert(tr4Level(3), kVersionTR3, swd);
    EXPECT_EQ(l.NumTextiles, 4);
    ASSERT_EQ(l.Textile16.size(), 4u * 65536);
    EXPECT_EQ(l.Textile16[3 * 65536 + 1], 0xFFFF);
    EXPECT_EQ(l.Textile16[3 * 65536 + 128 * 256], 0);  // the rows behind the sprites are transparent
    EXPECT_EQ(l.SpriteTextures[0].Tile, 3);
    EXPECT_TRUE(level::SerializeLevel(l).ok());
}

TEST(TR4Converter, KeepsOnlyPointLightsWithTheTargetsIntensities) {
    TRLevel d = tr4Level();
    d.Rooms[0].Lights = {tr4Light(1, 2, 3, {1, 1, 1}, 0, 1, 2),
                         tr4Light(100, -200, 300, {10, 20, 30}, 1, 1024.4f, 2048.5f),
                         tr4Light(7, 8, 9, {1, 1, 1}, 2, 1, 2)};
    const TRLevel tr3 = convert(d, kVersionTR3);
    ASSERT_EQ(tr3.Rooms[0].Lights.size(), 1u);
    const auto& l3 = tr3.Rooms[0].Lights[0];
    EXPECT_EQ(l3.X, 100);
    EXPECT_EQ(l3.Y, -200);
    EXPECT_EQ(l3.Z, 300);
    EXPECT_EQ(l3.Intensity1, 5130);
    EXPECT_EQ(l3.Intensity2, 30);
    EXPECT_EQ(l3.Fade1, 2048);  // Out, half to even
    EXPECT_EQ(l3.Fade2, 1024);  // In
    const TRLevel tr2 = convert(d, kVersionTR2);
    ASSERT_EQ(tr2.Rooms[0].Lights.size(), 1u);
    EXPECT_EQ(tr2.Rooms[0].Lights[0].Intensity1, 640);
    EXPECT_EQ(tr2.Rooms[0].Lights[0].Intensity2, 640);

    d.Rooms[0].Lights = {tr4Light(0, 0, 0, {200, 200, 7}, 1, 0, 0)};
    EXPECT_EQ(convert(d, kVersionTR3).Rooms[0].Lights[0].Intensity1, 200 + 256 * 200 - 65536);
}

TEST(TR4Converter, RoomColourGivesAmbientIntensity) {
    EXPECT_EQ(detail::ambientFromColour(255, 255, 255), 0);
    EXPECT_EQ(detail::ambientFromColour(0, 0, 0), 8192);
    EXPECT_EQ(detail::ambientFromColour(32, 32, 32), 7164);  // 8192 - Int(3084.05) / 3
    TRLevel d = tr4Level();
    levelgen::BuildOptions colour;
    colour.tr4ColourBytes = {255, 255, 255};
    d.Rooms[0].RoomExtra = 9;
    d.Rooms[0].WaterScheme = 4, d.Rooms[0].ReverbInfo = 5, d.Rooms[0].AlternateGroup = 6;
    const TRLevel l = convert(d, kVersionTR3, onePageSWD(), colour);
    const auto& room = l.Rooms[0];
    EXPECT_EQ(room.AmbientIntensity1, 0);
    EXPECT_EQ(room.AmbientIntensity2, 0);
    // The colour's bytes are replaced by the room's own three; the fourth stays.
    EXPECT_EQ(room.WaterScheme, 4);
    EXPECT_EQ(room.ReverbInfo, 5);
    EXPECT_EQ(room.AlternateGroup, 6);
    EXPECT_EQ(room.RoomExtra, 9);
}

// A file's rooms are converted as the reader hands them over; a level converted after loading it
// whole comes out the same (rooms neither missed nor converted twice).
TEST(TR4Converter, RoomsConvertedWhileReadingAsAfterLoading) {
    const auto bytes = levelgen::buildLevel(levelgen::composeLargeLevel(
        {.version = kVersionTR4, .rooms = 6, .sectorsPerSide = 4, .items = 10, .facesPerRoom = 30, .seed = 5}));
    for (const std::int16_t target : {kVersionTR2, kVersionTR3}) {
        auto whole = level::LoadLevelFromBytes(bytes, "x.tr4");
        ASSERT_TRUE(whole) << whole.error();
        const auto after = ConvertTR4Level(std::move(*whole), target, onePageSWD());
        const auto during = ConvertTR4Bytes(bytes, "x.tr4", target, onePageSWD());
        ASSERT_TRUE(after && during);
        EXPECT_EQ(test::firstDifference(*after, *during, target), "") << "TR" << target;
    }
}

TEST(TR4Converter, TR2TargetRewritesVertexLightingAndBoxes) {
    EXPECT_EQ(detail::tr2VertexLighting(-300, 0x1234), 87);  // (-44 + 254 + 52) / 3
    EXPECT_EQ(detail::tr2VertexLighting(0x1F10, 0x7FFF), 101);  // 302 / 3 rounded
    EXPECT_EQ(detail::tr2VertexLighting(-32767, -255), -127);   // (-255 + 128 - 255) / 3 rounded
    EXPECT_EQ(detail::tr2VertexLighting(-32767, -130), -86);    // -257 / 3 rounded
    EXPECT_EQ(detail::tr2VertexLighting(-32767, 125), -1);      // -2 / 3 rounded
    EXPECT_EQ(detail::tr2VertexLighting(-32767, 126), 0);       // -1 / 3 rounded
    EXPECT_EQ(detail::tr2BoxIndex(0x7FF6), 0xFFFF);  // no box
    EXPECT_EQ(detail::tr2BoxIndex(0xC015), 0x401);   // box 1025, blocked
    TRLevel d = tr4Level();
    d.Rooms[0].Vertices = {{1, 2, 3, -300, 0x10, 0x1234}};
    d.Rooms[0].Sectors[0].BoxIndex = 0x0125;
    const TRLevel tr2 = convert(d, kVersionTR2);
    EXPECT_EQ(tr2.Rooms[0].Vertices[0].Lighting, 87);
    EXPECT_EQ(tr2.Rooms[0].Vertices[0].Lighting2, 87);
    EXPECT_EQ(tr2.Rooms[0].Vertices[0].Attributes, 0x10);
    EXPECT_EQ(tr2.Rooms[0].Sectors[0].BoxIndex, 0x12);
    const TRLevel tr3 = convert(d, kVersionTR3);
    EXPECT_EQ(tr3.Rooms[0].Vertices[0].Lighting, -300);
    EXPECT_EQ(tr3.Rooms[0].Vertices[0].Lighting2, 0x1234);
    EXPECT_EQ(tr3.Rooms[0].Sectors[0].BoxIndex, 0x0125);
}

TEST(TR4Converter, TR2TargetDropsNewerFloorDataAndShiftsItemIDs) {
    TRLevel d = tr4Level();
    d.Rooms[0].NumZSectors = 2;
    // Sector 0: a minecart entry (code 20); sector 1: a plain floor slope.
    d.FloorData = {0, 0x8000 | 20, 0x8002, 0x0101};
    d.Rooms[0].Sectors.resize(2);
    d.Rooms[0].Sectors[0].FDIndex = 1, d.Rooms[0].Sectors[1].FDIndex = 2;
    setItems(d, {160, 156, 157, 173, 174});
    const TRLevel tr2 = convert(d, kVersionTR2);
    EXPECT_EQ(tr2.Rooms[0].Sectors[0].FDIndex, 0);
    EXPECT_EQ(tr2.Rooms[0].Sectors[1].FDIndex, 2);
    std::vector<int> ids;
    for (const auto& it : tr2.Items) ids.push_back(it.ObjectID);
    EXPECT_EQ(ids, (std::vector<int>{138, 156, 135, 151, 174}));
    const TRLevel tr3 = convert(d, kVersionTR3);
    EXPECT_EQ(tr3.Rooms[0].Sectors[0].FDIndex, 1);
    EXPECT_EQ(tr3.Items[0].ObjectID, 160);
}

TEST(TR4Converter, TR2TargetJudgesSectorsAlongOneLongUnclosedListEachByWhatLiesAhead) {
    // A million one-word entries with a code 20 a little way in and the closing bit only at the
    // far end; 10,000 sectors name places before and after the code 20.
    constexpr std::size_t kWords = 1'000'000, kCode20 = 15'001;
    TRLevel d = tr4Level();
    d.FloorData.assign(kWords, 0x0005);
    d.FloorData[0] = 0;
    d.FloorData[kCode20] = 20;
    d.FloorData.back() = 0x8005;
    d.Rooms[0].NumXSectors = d.Rooms[0].NumZSectors = 100;
    d.Rooms[0].Sectors.resize(10'000);
    for (std::size_t i = 0; i < 10'000; ++i) d.Rooms[0].Sectors[i].FDIndex = static_cast<std::uint16_t>(1 + 3 * i);
    auto tr2 = ConvertTR4Level(d, kVersionTR2, onePageSWD());
    ASSERT_TRUE(tr2.ok()) << tr2.error();
    for (std::size_t i = 0; i < 10'000; ++i) {
        const std::uint16_t start = d.Rooms[0].Sectors[i].FDIndex;
        ASSERT_EQ(tr2->Rooms[0].Sectors[i].FDIndex, start <= kCode20 ? 0 : start) << i;
    }
}

TEST(TR4Converter, SharedMeshesAreConvertedOnceAndStayShared) {
    TRLevel d = tr4Level();
    d.MeshData = tr4Mesh(3, {{{0, 1, 2, 0, 5, 0}}}, {{{0, 1, 2, 6, 0}}});
    const auto p2 = static_cast<std::int32_t>(d.MeshData.size());
    const auto second = tr4Mesh(1, {}, {});
    d.MeshData.insert(d.MeshData.end(), second.begin(), second.end());
    d.MeshPointers = {0, p2, 0};
    const TRLevel l = convert(d, kVersionTR3);
    ASSERT_EQ(l.MeshPointers.size(), 3u);
    // Converted meshes start behind as many bytes as the TR4 mesh data held.
    EXPECT_EQ(l.MeshPointers[0], static_cast<std::int32_t>(d.MeshData.size()));
    EXPECT_EQ(l.MeshPointers[2], l.MeshPointers[0]);
    auto a = level::ParseMesh(l.MeshData, l.MeshPointers[0], kVersionTR3);
    ASSERT_TRUE(a.ok()) << a.error();
    EXPECT_EQ(l.MeshPointers[1], l.MeshPointers[0] + static_cast<std::int32_t>(level::MeshByteSize(*a, kVersionTR3)));
    auto b = level::ParseMesh(l.MeshData, l.MeshPointers[1], kVersionTR3);
    ASSERT_TRUE(b.ok()) << b.error();
    EXPECT_EQ(static_cast<std::size_t>(l.MeshPointers[1]) + level::MeshByteSize(*b, kVersionTR3), l.MeshData.size());
    ASSERT_EQ(a->TexturedRectangles.size(), 1u);
    EXPECT_EQ(a->TexturedRectangles[0].Texture, 5);
    EXPECT_EQ(a->TexturedTriangles[0].Texture, 6);
    EXPECT_TRUE(a->ColouredRectangles.empty());
    EXPECT_EQ(a->CentreX, 10);
    EXPECT_EQ(a->CollisionRadius, 500);
}

TEST(TR4Converter, MeshPointerOutsideTheMeshDataIsRefusedByIndex) {
    TRLevel d = tr4Level();
    d.MeshData = tr4Mesh(1, {}, {});
    d.MeshPointers = {0, static_cast<std::int32_t>(d.MeshData.size())};
    auto r = ConvertTR4Bytes(tr4Bytes(d), "x.tr4", kVersionTR3, onePageSWD());
    ASSERT_FALSE(r.ok());
    EXPECT_NE(r.error().find("mesh pointer 1 of 2"), std::string::npos) << r.error();
    d.MeshPointers = {-2};
    EXPECT_FALSE(ConvertTR4Bytes(tr4Bytes(d), "x.tr4", kVersionTR3, onePageSWD()).ok());
}

TEST(TR4Converter, ObjectTexturesTakeTheCornerForm) {
    level::TRObjectTexture tri;
    tri.Tile = static_cast<std::int16_t>(0x8005);
    tri.Vertices = {{{0, 0, 0, 0}, {0, 63, 0, 0}, {0, 63, 0, 63}, {9, 9, 9, 9}}};
    detail::toCornerForm(tri);
    EXPECT_EQ(tri.Tile, 5);
    EXPECT_EQ(tri.Vertices[3].XPixel, 0);
    EXPECT_EQ(tri.Vertices[3].XCoordinate, 0);
    EXPECT_EQ(tri.Vertices[0].XCoordinate, 1);
    EXPECT_EQ(tri.Vertices[1].XCoordinate, 255);
    EXPECT_EQ(tri.Vertices[1].XPixel, 63);  // odd: unchanged
    EXPECT_EQ(tri.Vertices[2].YCoordinate, 255);

    level::TRObjectTexture quad;
    quad.Tile = 2;
    quad.Vertices = {{{7, 64, 7, 128}, {7, 128, 7, 128}, {7, 128, 7, 192}, {7, 64, 7, 192}}};
    detail::toCornerForm(quad);
    EXPECT_EQ(quad.Tile, 2);
    EXPECT_EQ(quad.Vertices[0].XPixel, 64);   // the smallest pixels stay
    EXPECT_EQ(quad.Vertices[1].XPixel, 127);  // an even largest pixel steps back by one
    EXPECT_EQ(quad.Vertices[2].YPixel, 191);
    EXPECT_EQ(quad.Vertices[3].XCoordinate, 1);
    EXPECT_EQ(quad.Vertices[3].YCoordinate, 255);

    level::TRObjectTexture flat;  // no width at all: 255 wins, and pixel 0 does not wrap
    detail::toCornerForm(flat);
    EXPECT_EQ(flat.Vertices[0].XCoordinate, 255);
    EXPECT_EQ(flat.Vertices[0].XPixel, 0);
}

TEST(TR4Converter, ObjectTexturesAreReadAndTiled) {
    TRLevel d = tr4Level();
    level::TRObjectTexture t;
    t.Tile = static_cast<std::int16_t>(0x8003);
    t.Vertices = {{{0, 0, 0, 0}, {0, 63, 0, 0}, {0, 63, 0, 63}, {0, 0, 0, 0}}};
    t.Width = 64;
    t.Height = 64;
    d.ObjectTextures = {t};
    const TRLevel l = convert(d, kVersionTR3);
    ASSERT_EQ(l.ObjectTextures.size(), 1u);
    EXPECT_EQ(l.ObjectTextures[0].Tile, 3);
    ASSERT_EQ(l.TextureTiles.size(), 1u);
    EXPECT_EQ(l.TextureTiles[0].SizeU, 64);
    EXPECT_EQ(l.TextureTiles[0].Tile, 3);

    d.ObjectTextures[0].Vertices = {{{0, 200, 0, 0}, {0, 210, 0, 0}, {0, 210, 0, 63}, {0, 200, 0, 63}}};
    d.ObjectTextures[0].Width = 100;
    auto r = ConvertTR4Bytes(tr4Bytes(d), "x.tr4", kVersionTR3, onePageSWD());
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error(), "ConvertTR5TextInfo -> ObjectTexture 0 invalid");
}

TEST(TR4Converter, SingleAxisRotationsTakeTheOlderAngleUnit) {
    TRLevel d = tr4Level();
    // Two frames of 12 words: 9 of box and offset, a single-axis word, a two-word rotation.
    std::vector<std::int16_t> frame(9, 7);
    d.Frames.assign(frame.begin(), frame.end());
    d.Frames.insert(d.Frames.end(), {static_cast<std::int16_t>(0x4FFF), 0x0123, 0x0456});
    d.Frames.insert(d.Frames.end(), frame.begin(), frame.end());
    d.Frames.insert(d.Frames.end(), {static_cast<std::int16_t>(0x8002), static_cast<std::int16_t>(0xC006), 0x0001});
    d.Animations = {animation(0, 12), animation(24, 12)};  // the last runs to the end of the frames
    setMoveables(d, {{3, 0}, {3, -1}, {3, 1}});
    const TRLevel l = convert(d, kVersionTR3);
    EXPECT_EQ(static_cast<std::uint16_t>(l.Frames[9]), 0x4400);  // 4095 / 4 rounds to 1024
    EXPECT_EQ(l.Frames[10], 0x0123);                            // two-word rotations stay
    EXPECT_EQ(l.Frames[11], 0x0456);
    EXPECT_EQ(static_cast<std::uint16_t>(l.Frames[21]), 0x8000);  // 0.5 rounds to even 0
    EXPECT_EQ(static_cast<std::uint16_t>(l.Frames[22]), 0xC002);  // 1.5 rounds to even 2
    EXPECT_EQ(l.Frames[0], 7);

    // Two moveables naming the same animation convert its words once.
    d.Animations = {animation(0, 12)};
    d.Frames.resize(12);
    setMoveables(d, {{1, 0}, {1, 0}});
    EXPECT_EQ(static_cast<std::uint16_t>(convert(d, kVersionTR2).Frames[9]), 0x4400);
}

TEST(TR4Converter, BrokenFramesAreSkipped) {
    TRLevel d = tr4Level();
    d.Frames.assign(10, static_cast<std::int16_t>(0x4010));
    // No frame size, a negative offset, past the end; the second moveable names no animation there is.
    d.Animations = {animation(0, 0), animation(-8, 12), animation(40, 30)};
    setMoveables(d, {{5, 0}, {2, 40}});
    const TRLevel l = convert(d, kVersionTR3);
    EXPECT_EQ(static_cast<std::uint16_t>(l.Frames[9]), 0x4010);
}

TEST(TR4Converter, TR3TargetMarksTexturesUsedWithEffectsOne) {
    TRLevel d = tr4Level();
    d.MeshData = tr4Mesh(3, {{{0, 1, 2, 0, 1, 1}}, {{0, 1, 2, 0, 2, 2}}}, {{{0, 1, 2, 3, 1}}, {{0, 1, 2, 9, 1}}});
    d.MeshPointers = {0};
    level::TRObjectTexture t;
    t.Attribute = 1;
    d.ObjectTextures = {t, t, t, t};
    const TRLevel tr3 = convert(d, kVersionTR3);
    std::vector<int> attributes;
    for (const auto& o : tr3.ObjectTextures) attributes.push_back(o.Attribute);
    EXPECT_EQ(attributes, (std::vector<int>{1, 2, 1, 2}));
    for (const auto& o : convert(d, kVersionTR2).ObjectTextures) EXPECT_EQ(o.Attribute, 1);
}

TEST(TR4Converter, DemoDataIsTheStatedBytesAndLeavesAsTheWordsKept) {
    // A TR4 file holds NumDemoData bytes. The words the older versions' rounding calls for keep
    // them (5 bytes: one word, the fifth byte dropped; 6: two, the second padded; 2: none), what
    // follows is read from its place, and the TR2/TR3 file states the bytes of the words it holds.
    using Words = std::vector<std::int32_t>;
    for (const auto& [bytes, words] : {std::pair{5, Words{0x04030201}}, std::pair{6, Words{0x04030201, 0x0605}},
                                       std::pair{2, Words{}}}) {
        TRLevel d = tr4Level();
        d.NumDemoData = static_cast<std::int16_t>(bytes);
        d.DemoData = {0x04030201, 0x08070605};
        d.SampleIndices = {7, 9};
        const TRLevel l = convert(d, kVersionTR3);
        EXPECT_EQ(l.DemoData, words) << bytes;
        EXPECT_EQ(l.NumDemoData, static_cast<std::int16_t>(4 * words.size())) << bytes;
        EXPECT_EQ(l.SampleIndices, d.SampleIndices) << bytes;
    }
}

TEST(TR4Converter, EveryCutOfTheFileIsRefusedCleanly) {
    TRLevel d = tr4Level();
    d.MeshData = tr4Mesh(2, {}, {});
    d.MeshPointers = {0};
    const auto bytes = tr4Bytes(d);
    const SWDData swd = onePageSWD();
    // Every cut inside the header and the level-data chunk; the texture chunks in steps.
    for (std::size_t n = 4; n < bytes.size(); n += (n < 64 || n > bytes.size() - 2048) ? 1 : 97) {
        auto r = ConvertTR4Bytes(std::span<const std::uint8_t>(bytes.data(), n), "x.tr4", kVersionTR3, swd);
        EXPECT_FALSE(r.ok()) << "cut at " << n;
    }
}

TEST(TR4Converter, DamagedLevelDataIsReportedNotConverted) {
    auto bytes = tr4Bytes(tr4Level());
    bytes[bytes.size() - 10] ^= 0xFF;  // inside the level-data stream
    auto r = ConvertTR4Bytes(bytes, "x.tr4", kVersionTR3, onePageSWD());
    ASSERT_FALSE(r.ok());
    EXPECT_NE(r.error().find("level data"), std::string::npos) << r.error();
}

// The older formats take only the 16-bit pages, so the 32-bit and misc chunks stay packed: damage
// inside their streams cannot reach the result, but unsound sizes or a stream that is plainly not
// zlib still refuse the file before anything is converted.
TEST(TR4Converter, UnusedTextureChunksAreCheckedButNotUnpacked) {
    const auto good = tr4Bytes(tr4Level(2));
    const auto expected = level::SerializeLevel(convert(tr4Level(2), kVersionTR3));
    ASSERT_TRUE(expected.ok()) << expected.error();
    std::size_t starts[3] = {10};  // after the magic and the three page counts
    for (int i = 1; i < 3; ++i) starts[i] = starts[i - 1] + 8 + test::get32(good, starts[i - 1] + 4);
    auto streamEnd = [&](std::size_t chunk) { return chunk + 8 + test::get32(good, chunk + 4); };

    for (const std::size_t chunk : {starts[0], starts[2]}) {
        SCOPED_TRACE("chunk at " + std::to_string(chunk));
        auto badChecksum = good;  // the stream's Adler-32 trailer: only inflating finds it
        for (std::size_t i = streamEnd(chunk) - 4; i < streamEnd(chunk); ++i) badChecksum[i] ^= 0xA5;
        EXPECT_FALSE(level::LoadLevelFromBytes(badChecksum, "x.tr4"));
        auto converted = ConvertTR4Bytes(badChecksum, "x.tr4", kVersionTR3, onePageSWD());
        ASSERT_TRUE(converted.ok()) << converted.error();
        EXPECT_EQ(level::SerializeLevel(*converted).value(), *expected);

        auto badHeader = good;
        badHeader[chunk + 8] ^= 0xFF;
        auto r = ConvertTR4Bytes(badHeader, "x.tr4", kVersionTR3, onePageSWD());
        ASSERT_FALSE(r.ok());
        EXPECT_NE(r.error().find("damaged compressed data"), std::string::npos) << r.error();

        auto absurd = good;
        test::set32(absurd, chunk, 0xFFFFFFFF);
        r = ConvertTR4Bytes(absurd, "x.tr4", kVersionTR3, onePageSWD());
        ASSERT_FALSE(r.ok());
        EXPECT_NE(r.error().find("exceeds the limit"), std::string::npos) << r.error();
    }
    auto badPages16 = good;  // the pages the result holds are inflated and checked in full
    for (std::size_t i = streamEnd(starts[1]) - 4; i < streamEnd(starts[1]); ++i) badPages16[i] ^= 0xA5;
    auto r = ConvertTR4Bytes(badPages16, "x.tr4", kVersionTR3, onePageSWD());
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error().rfind("chunk 2 (16-bit textures): ", 0), 0u) << r.error();
}

}  // namespace
}  // namespace tessarin::convert
