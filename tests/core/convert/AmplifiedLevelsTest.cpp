// Small TR4 files whose sizes and offsets would make the conversion's work or memory grow far past
// the file: each is converted within a memory limit tied to its size, or refused with the reason.
#include <gtest/gtest.h>

#include "convert/TR4Converter.h"
#include "levelgen/LevelBuilder.h"
#include "levelgen/LevelFactory.h"
#include "support/AllocationLimit.h"

namespace tessarin::convert {
namespace {

using level::kVersionTR3;
using level::kVersionTR4;
using level::TRLevel;

TRLevel oneSectorTr4Level() {
    TRLevel l = levelgen::emptyLevel(kVersionTR4);
    l.Rooms.resize(1);
    l.Rooms[0].NumXSectors = l.Rooms[0].NumZSectors = 1;
    l.Rooms[0].Sectors.resize(1);
    return l;
}

// A mesh of one vertex and nothing else, as TR4 words.
std::vector<std::uint8_t> smallMesh() {
    const std::uint16_t words[] = {0, 0, 0, 100, 0, 1, 1, 2, 3, 0, 0, 0};
    std::vector<std::uint8_t> b;
    for (auto w : words) b.insert(b.end(), {static_cast<std::uint8_t>(w), static_cast<std::uint8_t>(w >> 8)});
    return b;
}

// Converts within 64 bytes per file byte and a fixed 48 MB (the program's own bound is 64 bytes per
// byte and 256 MB; the files here are small enough for a tighter one to tell).
util::Result<TRLevel> convertBounded(const TRLevel& l, std::size_t* fileSize = nullptr) {
    const auto bytes = levelgen::buildLevel(l, kVersionTR4);
    if (fileSize) *fileSize = bytes.size();
    test::AllocationLimit limit(64 * bytes.size() + 48 * 1024 * 1024);
    return ConvertTR4Bytes(bytes, "amplified.tr4", kVersionTR3, {});
}

TEST(AmplifiedLevels, AMillionPointersToOneMeshShareOneParsedMesh) {
    TRLevel l = oneSectorTr4Level();
    l.MeshData = smallMesh();
    l.MeshPointers.assign(1 << 20, 0);
    auto r = convertBounded(l);
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_EQ(r->MeshPointers.size(), 1u << 20);
    EXPECT_EQ(r->MeshPointers.back(), static_cast<std::int32_t>(l.MeshData.size()));
}

TEST(AmplifiedLevels, OverlappingMeshesAreRefusedBeforeTheyAreAppended) {
    // 600,000 words of 0x7FFF: every even offset parses as a mesh of about 1.1 MB.
    TRLevel l = oneSectorTr4Level();
    l.MeshData.assign(1'200'000, 0);
    for (std::size_t i = 0; i < l.MeshData.size(); i += 2) l.MeshData[i] = 0xFF, l.MeshData[i + 1] = 0x7F;
    for (std::int32_t p = 0; p < 4000; p += 2) l.MeshPointers.push_back(p);
    auto r = convertBounded(l);
    ASSERT_FALSE(r.ok());
    EXPECT_NE(r.error().find("2000 mesh pointers name 2 distinct meshes"), std::string::npos) << r.error();
    EXPECT_NE(r.error().find("1200000 bytes of mesh data"), std::string::npos) << r.error();
}

TEST(AmplifiedLevels, FramesOfAHugeMoveableAreWalkedOnceEach) {
    // One animation of 100,000 one-word frames for a moveable of 32767 meshes: every frame's walk
    // would run over the rest of the frames. Each single-axis word is converted exactly once.
    TRLevel l = oneSectorTr4Level();
    l.Frames.assign(100'000, static_cast<std::int16_t>(0x4FFF));
    level::TRAnimation a;
    a.FrameSize = 1;
    l.Animations = {a};
    level::TRMoveable m;
    m.NumMeshes = 32767;
    l.Moveables = {m};
    auto r = convertBounded(l);
    ASSERT_TRUE(r.ok()) << r.error();
    for (std::size_t i = 9; i < r->Frames.size(); ++i)
        ASSERT_EQ(static_cast<std::uint16_t>(r->Frames[i]), 0x4400) << "word " << i;

    // Animations that claim the same frames many times over are refused by name.
    l.Animations.assign(4, a);
    l.Animations[1].FrameOffset = l.Animations[3].FrameOffset = 1998;
    l.Frames.resize(1000);
    auto refused = convertBounded(l);
    ASSERT_FALSE(refused.ok());
    EXPECT_NE(refused.error().find("1000 frame words"), std::string::npos) << refused.error();
}

}  // namespace
}  // namespace tessarin::convert
