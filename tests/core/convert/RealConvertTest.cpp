// The real TR4 level converted to both targets, written, and read back by the TR2/TR3 reader.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <set>

#include <zlib.h>

#include "convert/TR4Converter.h"
#include "level/LevelReader.h"
#include "level/LevelWriter.h"
#include "support/TestPaths.h"
#include "util/ByteWriter.h"
#include "util/FileIO.h"
#include "level/Mesh.h"

namespace tessarin::convert {
namespace {

std::filesystem::path builtSWD() {
    std::error_code ec;
    return std::filesystem::read_symlink("/proc/self/exe", ec).parent_path() / "TR3.swd";
}

class RealConvert : public ::testing::TestWithParam<std::int16_t> {};

TEST_P(RealConvert, TR4LevelConvertsAndReadsBackWhole) {
    TESSARIN_REQUIRE_LEVEL(path, "tr4-test1.tr4");
    const auto swdPath = builtSWD();
    if (!std::filesystem::exists(swdPath)) GTEST_SKIP() << "no built sprite file at " << swdPath;
    const auto swd = ReadSWD(swdPath);
    ASSERT_TRUE(swd.ok()) << swd.error();
    const std::int16_t target = GetParam();

    auto converted = ConvertTR4(path, target, swdPath);
    ASSERT_TRUE(converted.ok()) << converted.error();
    auto bytes = level::SerializeLevel(*converted);
    ASSERT_TRUE(bytes.ok()) << bytes.error();
    auto back = level::LoadLevelFromBytes(*bytes, "converted.tr2");
    ASSERT_TRUE(back.ok()) << back.error();
    const level::TRLevel& l = *back;

    // Counts as a separate decode of the TR4 file gives them.
    EXPECT_EQ(l.LevelVersion, target);
    EXPECT_EQ(l.Rooms.size(), 4u);
    EXPECT_EQ(l.FloorData.size(), 121u);
    EXPECT_EQ(l.MeshPointers.size(), 397u);
    EXPECT_EQ(l.Animations.size(), 552u);
    EXPECT_EQ(l.StateChanges.size(), 392u);
    EXPECT_EQ(l.AnimDispatches.size(), 468u);
    EXPECT_EQ(l.AnimCommands.size(), 1857u);
    EXPECT_EQ(l.MeshTrees.size(), 1348u);
    EXPECT_EQ(l.Frames.size(), 148095u);
    EXPECT_EQ(l.Moveables.size(), 60u);
    EXPECT_EQ(l.StaticMeshes.size(), 0u);
    EXPECT_EQ(l.Cameras.size(), 1u);
    EXPECT_EQ(l.SoundSources.size(), 1u);
    EXPECT_EQ(l.Boxes.size(), 13u);
    EXPECT_EQ(l.Overlaps.size(), 58u);
    EXPECT_EQ(l.Zones.size(), 130u);
    EXPECT_EQ(l.AnimatedTextures.size(), 8u);
    EXPECT_EQ(l.ObjectTextures.size(), 1447u);
    EXPECT_EQ(l.Items.size(), 4u);
    EXPECT_EQ(l.SoundDetails.size(), 51u);
    EXPECT_EQ(l.SampleIndices.size(), 59u);
    const auto swdPages = static_cast<std::int32_t>((swd->Pixels.size() + kSWDPageBytes - 1) / kSWDPageBytes);
    EXPECT_EQ(l.NumTextiles, 7 + swdPages);
    EXPECT_EQ(l.SpriteTextures.size(), swd->SpriteTextures.size());
    EXPECT_EQ(l.SpriteSequences.size(), swd->SpriteSequences.size());

    // Only point lights survive: the first room has one, the others none.
    EXPECT_EQ(l.Rooms[0].Lights.size(), 1u);
    EXPECT_EQ(l.Rooms[1].Lights.size(), 0u);
    EXPECT_EQ(l.Rooms[0].AmbientIntensity1, 7164);  // room colour (32, 32, 32)

    // 185 distinct meshes, each parsed in the TR3 layout inside the new mesh data.
    std::set<std::int32_t> distinct(l.MeshPointers.begin(), l.MeshPointers.end());
    EXPECT_EQ(distinct.size(), 185u);
    for (std::int32_t p : distinct) {
        ASSERT_GE(p, 2 * 60786);  // behind the words the TR4 mesh data held
        auto m = level::ParseMesh(l.MeshData, p, level::kVersionTR3);
        ASSERT_TRUE(m.ok()) << m.error();
        EXPECT_LE(static_cast<std::size_t>(p) + level::MeshByteSize(*m, level::kVersionTR3), l.MeshData.size());
    }
    for (const auto& t : l.SpriteTextures) {
        EXPECT_GE(t.Tile, 7);
        EXPECT_LT(t.Tile, l.NumTextiles);
    }
    for (const auto& t : l.ObjectTextures) EXPECT_GE(t.Tile, 0);
    EXPECT_EQ(level::SerializeLevel(l).value(), *bytes);  // the written file is stable
}

INSTANTIATE_TEST_SUITE_P(BothTargets, RealConvert, ::testing::Values(level::kVersionTR2, level::kVersionTR3),
                         [](const auto& p) { return p.param == level::kVersionTR2 ? "TR2" : "TR3"; });

// The real file with its level data damaged at random places and packed again.
TEST(RealConvert, RandomDamageInTheLevelDataGivesALevelOrAMessage) {
    TESSARIN_REQUIRE_LEVEL(path, "tr4-test1.tr4");
    const auto file = util::readFile(path);
    ASSERT_TRUE(file.ok());
    // Walk past the header and the three texture chunks to the level-data chunk.
    std::size_t pos = 10;
    auto u32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>((*file)[at] | (*file)[at + 1] << 8 | (*file)[at + 2] << 16 | (*file)[at + 3] << 24);
    };
    for (int i = 0; i < 3; ++i) pos += 8 + u32(pos + 4);
    uLongf size = u32(pos);
    std::vector<std::uint8_t> data(size);
    ASSERT_EQ(::uncompress(data.data(), &size, file->data() + pos + 8, u32(pos + 4)), Z_OK);

    SWDData swd;
    swd.Pixels.assign(kSWDPageBytes, 0);
    swd.SpriteTextures.resize(3);
    std::mt19937 random(8);
    for (int round = 0; round < 40; ++round) {
        auto damaged = data;
        for (int k = 0; k < 4; ++k) damaged[random() % damaged.size()] = static_cast<std::uint8_t>(random());
        uLongf packed = compressBound(static_cast<uLong>(damaged.size()));
        std::vector<std::uint8_t> out(file->begin(), file->begin() + static_cast<std::ptrdiff_t>(pos));
        std::vector<std::uint8_t> z(packed);
        ASSERT_EQ(compress2(z.data(), &packed, damaged.data(), static_cast<uLong>(damaged.size()), 1), Z_OK);
        for (std::uint32_t v : {static_cast<std::uint32_t>(damaged.size()), static_cast<std::uint32_t>(packed)})
            for (int b = 0; b < 4; ++b) out.push_back(static_cast<std::uint8_t>(v >> (8 * b)));
        out.insert(out.end(), z.begin(), z.begin() + static_cast<std::ptrdiff_t>(packed));
        out.insert(out.end(), 4, 0);
        for (std::int16_t target : {level::kVersionTR2, level::kVersionTR3}) {
            auto r = ConvertTR4Bytes(out, "x.tr4", target, swd);
            if (r.ok()) EXPECT_EQ(r->Textile16.size(), static_cast<std::size_t>(r->NumTextiles) * level::kTextilePixels);
            else EXPECT_FALSE(r.error().empty());
        }
    }
}

}  // namespace
}  // namespace tessarin::convert
