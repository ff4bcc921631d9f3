// The real levels: counts and room headers consistent, round trips byte for byte, every cut refused.
#include <gtest/gtest.h>

#include <algorithm>

#include "level/LevelReader.h"
#include "level/LevelWriter.h"
#include "support/CutSweep.h"
#include "support/TestPaths.h"
#include "util/ByteWriter.h"
#include "util/FileIO.h"

using namespace tessarin;
using level::TRLevel;

namespace {

struct RealLevel {
    const char* name;
    int version;
    std::uint32_t magic;
    std::size_t rooms;
};

const RealLevel kOldLevels[] = {
    {"tr1-test1.phd", 1, 0x20, 10},
    {"tr2-test1.tr2", 2, 0x2D, 5},
    {"tr3-test1.tr2", 3, 0xFF180038, 4},
};

// Cross-checks that only hold when every section was read at the right offset.
void expectConsistent(const TRLevel& l, const std::string& name) {
    SCOPED_TRACE(name);
    EXPECT_EQ(l.Zones.size(), l.Boxes.size() * (l.LevelVersion == 1 ? 6 : 10));
    EXPECT_EQ(l.Textile8.size(), static_cast<std::size_t>(l.NumTextiles) * level::kTextilePixels);
    for (std::size_t i = 0; i < l.Rooms.size(); ++i) {
        const auto& room = l.Rooms[i];
        SCOPED_TRACE("room " + std::to_string(i));
        EXPECT_GT(room.NumXSectors, 0);
        EXPECT_GT(room.NumZSectors, 0);
        EXPECT_LT(room.YTop, room.YBottom);
        EXPECT_EQ(room.X % 1024, 0);
        EXPECT_EQ(room.Z % 1024, 0);
        for (const auto& q : room.Rectangles)
            for (auto v : q.Vertices) EXPECT_LT(static_cast<std::size_t>(v), room.Vertices.size());
        for (const auto& t : room.Triangles)
            for (auto v : t.Vertices) EXPECT_LT(static_cast<std::size_t>(v), room.Vertices.size());
        for (const auto& p : room.Portals) EXPECT_LT(static_cast<std::size_t>(p.AdjoiningRoom), l.Rooms.size());
        for (const auto& s : room.Sectors) EXPECT_LT(s.FDIndex, std::max<std::size_t>(l.FloorData.size(), 1));
    }
    for (auto p : l.MeshPointers) EXPECT_LT(static_cast<std::size_t>(p), l.MeshData.size());
    for (const auto& it : l.Items) EXPECT_LT(static_cast<std::size_t>(it.Room), l.Rooms.size());
    for (const auto& t : l.ObjectTextures) EXPECT_LT(t.Tile & 0x7FFF, l.NumTextiles);
    for (const auto& s : l.SpriteTextures) EXPECT_LT(s.Tile, l.NumTextiles);
    EXPECT_EQ(l.TextureTiles.size(), l.ObjectTextures.size());
}

}  // namespace

TEST(RealLevels, ReadWithVersionMagicAndRoomCountAsStated) {
    for (const auto& c : kOldLevels) {
        TESSARIN_REQUIRE_LEVEL(path, c.name);
        auto level = level::LoadLevel(path);
        ASSERT_TRUE(level) << c.name << ": " << level.error();
        EXPECT_EQ(level->LevelVersion, c.version) << c.name;
        EXPECT_EQ(level->Version, c.magic) << c.name;
        EXPECT_EQ(level->Rooms.size(), c.rooms) << c.name;
        expectConsistent(*level, c.name);
    }
}

TEST(RealLevels, TR1ItemsAndBoxesTakeTheirOwnForms) {
    TESSARIN_REQUIRE_LEVEL(path, "tr1-test1.phd");
    auto l = level::LoadLevel(path);
    ASSERT_TRUE(l) << l.error();
    // Lara stands on a sector centre; a misread 22-byte item would put her elsewhere.
    ASSERT_FALSE(l->Items.empty());
    EXPECT_EQ(l->Items[0].ObjectID, 0);
    EXPECT_EQ(l->Items[0].X % 1024, 512);
    EXPECT_EQ(l->Items[0].Z % 1024, 512);
    for (const auto& b : l->Boxes) {
        EXPECT_LE(b.Xmin, b.Xmax);
        EXPECT_LE(b.Zmin, b.Zmax);
    }
    EXPECT_FALSE(l->SampleData.empty()) << "TR1 embeds its samples before the sample indices";
    EXPECT_EQ(l->SoundMap[256], 0) << "TR1 has 256 sound-map entries";
}

// Bytes another tool left after the sample indices come back too: the game never reads them, but
// a save must not drop them unseen.
TEST(RealLevels, TR2AndTR3WriteBackByteForByte) {
    for (const char* name : {"tr2-test1.tr2", "tr3-test1.tr2"}) {
        TESSARIN_REQUIRE_LEVEL(path, name);
        auto read = util::readFile(path);
        ASSERT_TRUE(read);
        for (const std::string tail : {"", "appended by another tool"}) {
            SCOPED_TRACE(std::string(name) + " + '" + tail + "'");
            std::vector<std::uint8_t> original = *read;
            original.insert(original.end(), tail.begin(), tail.end());
            const auto in = test::scratchDir("roundtrip-in") / name;
            ASSERT_TRUE(util::writeFileSafely(in, original));
            auto level = level::LoadLevel(in);
            ASSERT_TRUE(level) << level.error();
            EXPECT_EQ(level->TrailingBytes.size(), tail.size());
            auto bytes = level::SerializeLevel(*level);
            ASSERT_TRUE(bytes) << bytes.error();
            ASSERT_EQ(bytes->size(), original.size());
            EXPECT_TRUE(*bytes == original);

            const auto out = test::scratchDir("roundtrip") / name;
            ASSERT_TRUE(level::SaveLevel(out, *level));
            EXPECT_EQ(*util::readFile(out), original);
        }
    }
}

// Cuts every real level at a spread of lengths and at every list start the reader met: each cut
// must be refused with a message, never read as a level.
TEST(RealLevels, EveryTruncationIsRefused) {
    for (const auto& c : kOldLevels) {
        TESSARIN_REQUIRE_LEVEL(path, c.name);
        auto bytes = util::readFile(path);
        ASSERT_TRUE(bytes);
        std::vector<std::size_t> starts;
        ASSERT_TRUE(level::LoadLevelFromBytes(*bytes, c.name, nullptr, &starts));
        test::expectEveryCutRefused(*bytes, test::cutPoints(bytes->size(), 1500, starts), test::levelReader(c.name),
                                    c.name);
    }
}
