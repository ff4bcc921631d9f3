// tessarin2-cli on TR4 and TR5 levels: counts and tiles as read, damaged files refused in one line.
#include <gtest/gtest.h>

#include "support/CliRun.h"
#include "level/LevelReader.h"
#include "levelgen/LevelBuilder.h"
#include "levelgen/LevelFactory.h"
#include "support/MiniJson.h"
#include "support/TestPaths.h"
#include "util/ByteWriter.h"
#include "util/FileIO.h"

using namespace tessarin;
using test::parseJson;
using test::runCli;

TEST(CliTR45, InfoAndTilesDescribeTR4AndTR5Levels) {
    for (const char* name : {"tr4-test1.tr4", "tr5-test1.trc"}) {
        TESSARIN_REQUIRE_LEVEL(path, name);
        auto level = level::LoadLevel(path);
        ASSERT_TRUE(level) << level.error();
        auto run = runCli("info " + path.string());
        ASSERT_EQ(run.exitCode, 0) << run.err;
        auto doc = parseJson(run.out);
        EXPECT_EQ(doc["version"].asInt(), level->LevelVersion) << name;
        const auto& counts = doc["counts"];
        EXPECT_EQ(counts["rooms"].asInt(), 4) << name;
        EXPECT_EQ(counts["objectTextures"].asInt(), static_cast<std::int64_t>(level->ObjectTextures.size()));
        EXPECT_EQ(counts["textiles"].asInt(), level->NumTextiles);
        EXPECT_EQ(counts["miscTextiles"].asInt(), level->NumMiscTextiles);
        if (level->LevelVersion == 5) {
            // Sections the TR5 reader skips count nothing.
            for (const char* key : {"animations", "frames", "spriteTextures", "cameras", "boxes", "zones", "soundDetails"})
                EXPECT_EQ(counts[key].asInt(), 0) << key;
        } else {
            EXPECT_EQ(counts["zones"].asInt(), counts["boxes"].asInt() * 10);
        }
        const auto& room = doc["rooms"][0];
        EXPECT_EQ(room["vertices"].asInt(), static_cast<std::int64_t>(level->Rooms[0].Vertices.size()));
        EXPECT_EQ(room["rectangles"].asInt(), static_cast<std::int64_t>(level->Rooms[0].Rectangles.size()));

        run = runCli("tiles " + path.string());
        ASSERT_EQ(run.exitCode, 0) << run.err;
        doc = parseJson(run.out);
        ASSERT_EQ(doc["tiles"].items.size(), level->ObjectTextures.size());
        EXPECT_EQ(doc["tiles"][7][2].asInt(), level->TextureTiles[7].Tile);
    }
}

TEST(CliTR45, ABadRoomOrADamagedChunkExitsOneWithOneLine) {
    TESSARIN_REQUIRE_LEVEL(tr5, "tr5-test1.trc");
    TESSARIN_REQUIRE_LEVEL(tr4, "tr4-test1.tr4");
    const auto dir = test::scratchDir("cli-tr45");

    auto bytes = *util::readFile(tr5);
    std::size_t p = 10;
    for (int i = 0; i < 3; ++i) p += 8 + (bytes[p + 4] | (bytes[p + 5] << 8) | (bytes[p + 6] << 16) | (bytes[p + 7] << 24));
    const std::size_t firstRoom = p + 4 + 28 + 8 + 4 + 4;  // types, unused, sizes, unused, room count
    ASSERT_EQ(bytes[firstRoom], 'X');
    bytes[firstRoom] = 'Y';
    ASSERT_TRUE(util::writeFileSafely(dir / "bad.trc", bytes));
    auto run = runCli("info " + (dir / "bad.trc").string());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find("BAD Room! (room 0 of 4"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;

    bytes = *util::readFile(tr4);
    bytes[30] ^= 0xFF;  // inside chunk 1's stream
    ASSERT_TRUE(util::writeFileSafely(dir / "bad.tr4", bytes));
    run = runCli("tiles " + (dir / "bad.tr4").string());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find("chunk 1 (32-bit textures)"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
}

TEST(CliTR45, InfoListsEveryItemOfALevelWhoseTextOutgrowsManyOutputBlocks) {
    // 60,000 items make about 7 MB of text, written out block by block as it is made.
    level::TRLevel l = levelgen::emptyLevel(level::kVersionTR4);
    l.Rooms.resize(1);
    l.Rooms[0].NumXSectors = l.Rooms[0].NumZSectors = 1;
    l.Rooms[0].Sectors.resize(1);
    l.Items.resize(60'000);
    for (std::size_t i = 0; i < l.Items.size(); ++i) l.Items[i].X = static_cast<std::int32_t>(i);
    const auto path = test::scratchDir("cli-tr45") / "many-items.tr4";
    ASSERT_TRUE(util::writeFileSafely(path, levelgen::buildLevel(l, level::kVersionTR4)));
    const auto run = runCli("info " + path.string());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto doc = parseJson(run.out);
    ASSERT_EQ(doc["items"].items.size(), l.Items.size());
    EXPECT_EQ(doc["items"][59'999]["x"].asInt(), 59'999);
    EXPECT_EQ(doc["counts"]["items"].asInt(), 60'000);
}
