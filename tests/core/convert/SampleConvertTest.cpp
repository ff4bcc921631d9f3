// The one read-back test of the conversion: the TR4 sample converted to both targets, written,
// read back by the TR2/TR3 reader, and compared with what the TR4 reader makes of the same file.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "convert/TR4Converter.h"
#include "editor/EditorSession.h"
#include "level/LevelReader.h"
#include "level/LevelWriter.h"
#include "levelgen/LevelBuilder.h"
#include "levelgen/SampleLevels.h"
#include "level/Mesh.h"

namespace tessarin::convert {
namespace {

std::vector<std::uint8_t> sampleTR4() {
    std::ifstream in(std::string(TESSARIN_SAMPLES_DIR) + "/sample-tr4.txt", std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return levelgen::buildLevel(levelgen::composeSampleLevel(s.str()));
}

// Two pages of sprites, the second one only partly used.
SWDData twoPageSWD() {
    SWDData swd;
    swd.Pixels.assign(2 * kSWDPageBytes, 90);
    level::TRSpriteTexture t;
    t.Width = 15 * 256 + 255;
    t.Height = 15 * 256 + 255;
    swd.SpriteTextures = {t, t, t};
    swd.SpriteTextures[2].Tile = 1;
    swd.SpriteSequences = {{125, -3, 0}};
    return swd;
}

class SampleConvert : public ::testing::TestWithParam<std::int16_t> {};

TEST_P(SampleConvert, ReadsBackWithTheTR4LevelsContentAndDoors) {
    const std::int16_t target = GetParam();
    const auto bytes = sampleTR4();
    auto tr4 = level::LoadLevelFromBytes(bytes, "sample-tr4.tr4");
    ASSERT_TRUE(tr4.ok()) << tr4.error();
    auto converted = ConvertTR4Bytes(bytes, "sample-tr4.tr4", target, twoPageSWD());
    ASSERT_TRUE(converted.ok()) << converted.error();
    auto written = level::SerializeLevel(*converted);
    ASSERT_TRUE(written.ok()) << written.error();
    auto back = level::LoadLevelFromBytes(*written, "sample-tr4.tr2");
    ASSERT_TRUE(back.ok()) << back.error();
    const level::TRLevel& a = *tr4;
    const level::TRLevel& b = *back;
    EXPECT_EQ(level::SerializeLevel(b).value(), *written);  // the written file is stable

    EXPECT_EQ(b.LevelVersion, target);
    EXPECT_EQ(b.NumTextiles, a.NumTextiles + 2);
    ASSERT_EQ(b.Rooms.size(), a.Rooms.size());
    for (std::size_t i = 0; i < a.Rooms.size(); ++i) {
        SCOPED_TRACE("room " + std::to_string(i));
        const auto &ra = a.Rooms[i], &rb = b.Rooms[i];
        EXPECT_EQ(rb.Vertices.size(), ra.Vertices.size());
        EXPECT_EQ(rb.Rectangles.size(), ra.Rectangles.size());
        EXPECT_EQ(rb.Triangles.size(), ra.Triangles.size());
        EXPECT_EQ(rb.Portals.size(), ra.Portals.size());
        EXPECT_EQ(rb.Sectors.size(), ra.Sectors.size());
        EXPECT_EQ(rb.StaticMeshes.size(), ra.StaticMeshes.size());
        EXPECT_EQ(rb.Flags, ra.Flags);
        EXPECT_EQ(rb.AlternateRoom, ra.AlternateRoom);
    }
    EXPECT_EQ(b.FloorData, a.FloorData);
    EXPECT_EQ(b.Animations.size(), a.Animations.size());
    EXPECT_EQ(b.StateChanges.size(), a.StateChanges.size());
    EXPECT_EQ(b.AnimDispatches.size(), a.AnimDispatches.size());
    EXPECT_EQ(b.AnimCommands, a.AnimCommands);
    EXPECT_EQ(b.MeshTrees, a.MeshTrees);
    EXPECT_EQ(b.Frames.size(), a.Frames.size());
    EXPECT_EQ(b.Moveables.size(), a.Moveables.size());
    EXPECT_EQ(b.StaticMeshes.size(), a.StaticMeshes.size());
    EXPECT_EQ(b.Cameras.size(), a.Cameras.size());
    EXPECT_EQ(b.SoundSources.size(), a.SoundSources.size());
    EXPECT_EQ(b.Boxes.size(), a.Boxes.size());
    EXPECT_EQ(b.Overlaps, a.Overlaps);
    EXPECT_EQ(b.Zones, a.Zones);
    EXPECT_EQ(b.AnimatedTextures, a.AnimatedTextures);
    EXPECT_EQ(b.ObjectTextures.size(), a.ObjectTextures.size());
    ASSERT_EQ(b.Items.size(), a.Items.size());
    for (std::size_t i = 0; i < a.Items.size(); ++i) EXPECT_EQ(b.Items[i].X, a.Items[i].X);
    EXPECT_EQ(b.NumDemoData, a.NumDemoData);
    EXPECT_EQ(b.DemoData, a.DemoData);
    EXPECT_EQ(b.SoundDetails.size(), a.SoundDetails.size());
    EXPECT_EQ(b.SampleIndices, a.SampleIndices);

    // Every sprite lies on one of the sprite file's pages behind the level's own.
    ASSERT_EQ(b.SpriteTextures.size(), 3u);
    for (const auto& t : b.SpriteTextures) {
        EXPECT_GE(t.Tile, a.NumTextiles);
        EXPECT_LT(t.Tile, b.NumTextiles);
    }

    // Pointers that shared a TR4 mesh share the converted one, and the others do not; each
    // converted mesh holds the TR4 mesh's geometry and faces.
    ASSERT_EQ(b.MeshPointers.size(), a.MeshPointers.size());
    ASSERT_FALSE(a.MeshPointers.empty());
    std::map<std::int32_t, std::int32_t> moved;
    std::set<std::int32_t> targets;
    for (std::size_t i = 0; i < a.MeshPointers.size(); ++i) {
        SCOPED_TRACE("mesh pointer " + std::to_string(i));
        auto [it, added] = moved.emplace(a.MeshPointers[i], b.MeshPointers[i]);
        EXPECT_EQ(it->second, b.MeshPointers[i]);
        if (!added) continue;
        EXPECT_TRUE(targets.insert(b.MeshPointers[i]).second);
        auto ma = level::ParseMesh(a.MeshData, a.MeshPointers[i], level::kVersionTR4);
        auto mb = level::ParseMesh(b.MeshData, b.MeshPointers[i], target);
        ASSERT_TRUE(ma.ok()) << ma.error();
        ASSERT_TRUE(mb.ok()) << mb.error();
        EXPECT_LE(static_cast<std::size_t>(b.MeshPointers[i]) + level::MeshByteSize(*mb, target), b.MeshData.size());
        EXPECT_EQ(mb->Vertices.size(), ma->Vertices.size());
        EXPECT_EQ(mb->NumNormals, ma->NumNormals);
        ASSERT_EQ(mb->TexturedRectangles.size(), ma->TexturedRectangles.size());
        ASSERT_EQ(mb->TexturedTriangles.size(), ma->TexturedTriangles.size());
        for (std::size_t f = 0; f < ma->TexturedRectangles.size(); ++f)
            EXPECT_EQ(mb->TexturedRectangles[f].Texture, ma->TexturedRectangles[f].Texture);
        EXPECT_TRUE(mb->ColouredRectangles.empty());
        EXPECT_TRUE(mb->ColouredTriangles.empty());
    }

    // The result opens in the editor and every sector shows the doors of the TR4 original.
    editor::EditorSession original, session;
    original.OpenLevel(a);
    session.OpenLevel(b);
    ASSERT_TRUE(session.LevelLoaded);
    for (int r = 0; r < static_cast<int>(b.Rooms.size()); ++r) {
        original.RoomNumber_Click(r);
        session.RoomNumber_Click(r);
        for (int x = 0; x < b.Rooms[r].NumXSectors; ++x)
            for (int z = 0; z < b.Rooms[r].NumZSectors; ++z) {
                original.clickSector(x, z);
                session.clickSector(x, z);
                SCOPED_TRACE("room " + std::to_string(r) + " sector " + std::to_string(x) + "," + std::to_string(z));
                EXPECT_EQ(session.info().title, original.info().title);
                EXPECT_EQ(session.info().doorSide, original.info().doorSide);
                EXPECT_EQ(session.info().doorBelow, original.info().doorBelow);
                EXPECT_EQ(session.info().doorAbove, original.info().doorAbove);
            }
    }
}

INSTANTIATE_TEST_SUITE_P(BothTargets, SampleConvert, ::testing::Values(level::kVersionTR2, level::kVersionTR3),
                         [](const auto& p) { return p.param == level::kVersionTR2 ? "TR2" : "TR3"; });

}  // namespace
}  // namespace tessarin::convert
