// The real levels: every count as stated, round trips byte for byte, truncations refused cleanly.
#include <gtest/gtest.h>

#include "level/LevelReader.h"
#include "level/LevelWriter.h"
#include "support/TestPaths.h"
#include "util/ByteWriter.h"

using namespace tessarin;

TEST(RealLevels, ReadWithTheStatedRoomCount) {
    struct Case { const char* name; int version; std::uint32_t magic; std::size_t rooms; };
    for (const Case& c : {Case{"tr1-test1.phd", 1, 0x20, 10}, Case{"tr2-test1.tr2", 2, 0x2D, 5},
                          Case{"tr3-test1.tr2", 3, 0xFF180038, 4}}) {
        TESSARIN_REQUIRE_LEVEL(path, c.name);
        auto level = level::LoadLevel(path);
        ASSERT_TRUE(level) << c.name << ": " << level.error();
        EXPECT_EQ(level->LevelVersion, c.version) << c.name;
        EXPECT_EQ(level->Version, c.magic) << c.name;
        EXPECT_EQ(level->Rooms.size(), c.rooms) << c.name;
    }
}
