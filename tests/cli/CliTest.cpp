// tessarin2-cli info, tiles and resave: the JSON contract and the failures.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

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

using test::expectCleanFailure;

TEST(CliInfo, DescribesARealLevelWithEveryCountAndRoom) {
    TESSARIN_REQUIRE_LEVEL(path, "tr2-test1.tr2");
    auto run = runCli("info " + path.string());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    auto doc = parseJson(run.out);
    auto level = level::LoadLevel(path);
    ASSERT_TRUE(level);
    EXPECT_EQ(doc["version"].asInt(), 2);
    EXPECT_EQ(doc["magic"].asInt(), 0x2D);
    const auto& counts = doc["counts"];
    for (const char* key : {"rooms", "floorData", "meshData", "meshPointers", "animations", "stateChanges",
                            "animDispatches", "animCommands", "meshTrees", "frames", "moveables", "staticMeshes",
                            "spriteTextures", "spriteSequences", "cameras", "flybyCameras", "soundSources", "boxes",
                            "overlaps", "zones", "animatedTextures", "objectTextures", "items", "aiObjects",
                            "cinematicFrames", "demoData", "soundDetails", "sampleIndices", "textiles", "miscTextiles"})
        EXPECT_TRUE(counts.has(key)) << key;
    EXPECT_EQ(counts.fields.size(), 30u);
    EXPECT_EQ(counts["rooms"].asInt(), 5);
    EXPECT_EQ(counts["zones"].asInt(), counts["boxes"].asInt() * 10);
    EXPECT_EQ(counts["meshData"].asInt(), static_cast<std::int64_t>(level->MeshData.size() / 2));
    ASSERT_EQ(doc["rooms"].items.size(), 5u);
    const auto& room = doc["rooms"][0];
    EXPECT_EQ(room["x"].asInt(), level->Rooms[0].X);
    EXPECT_EQ(room["xSectors"].asInt(), level->Rooms[0].NumXSectors);
    EXPECT_EQ(room["vertices"].asInt(), static_cast<std::int64_t>(level->Rooms[0].Vertices.size()));
    EXPECT_EQ(room.fields.size(), 15u);
    ASSERT_EQ(doc["items"].items.size(), level->Items.size());
    const auto& item = doc["items"][0];
    EXPECT_EQ(item["angle"].asInt(), level->Items[0].Angle) << "angles are signed";
    EXPECT_EQ(item.fields.size(), 8u);
}

TEST(CliTiles, PrintsOneRowPerObjectTexture) {
    TESSARIN_REQUIRE_LEVEL(path, "tr3-test1.tr2");
    auto run = runCli("tiles " + path.string());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    auto doc = parseJson(run.out);
    auto level = level::LoadLevel(path);
    ASSERT_EQ(doc["tiles"].items.size(), level->ObjectTextures.size());
    const auto& row = doc["tiles"][5];
    ASSERT_EQ(row.items.size(), 3u);
    EXPECT_EQ(row[0].asInt(), level->TextureTiles[5].RefU);
    EXPECT_EQ(row[1].asInt(), level->TextureTiles[5].RefV);
    EXPECT_EQ(row[2].asInt(), level->TextureTiles[5].Tile);
}

TEST(CliResave, WritesAnIdenticalFileAndReportsItsSize) {
    TESSARIN_REQUIRE_LEVEL(path, "tr3-test1.tr2");
    const auto out = test::scratchDir("cli-resave") / "out.tr2";
    auto run = runCli("resave " + path.string() + " " + out.string());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    auto doc = parseJson(run.out);
    EXPECT_EQ(doc["output"].text, out.string());
    EXPECT_EQ(doc["bytes"].asInt(), static_cast<std::int64_t>(std::filesystem::file_size(path)));
    EXPECT_EQ(*util::readFile(out), *util::readFile(path));

    // File names go into the document as UTF-8: a Latin-1 byte as the character it stands for.
    const auto latin1 = test::scratchDir("cli-resave") / "caf\xE9-\xC3\xA9.tr2";
    run = runCli("resave " + path.string() + " " + latin1.string());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("caf\\u00e9-\xC3\xA9.tr2\""), std::string::npos) << run.out;
}

TEST(CliResave, RefusesLevelsThatAreNotTR2OrTR3) {
    TESSARIN_REQUIRE_LEVEL(path, "tr1-test1.phd");
    const auto out = test::scratchDir("cli-resave-tr1") / "out.tr2";
    const auto run = runCli("resave " + path.string() + " " + out.string());
    expectCleanFailure(run, "TR1 resave");
    EXPECT_NE(run.err.find(path.string() + ": "), std::string::npos) << run.err;  // names the level, not OUT
    EXPECT_FALSE(std::filesystem::exists(out));
    // A write that fails names the output.
    TESSARIN_REQUIRE_LEVEL(tr3, "tr3-test1.tr2");
    const auto nowhere = test::scratchDir("cli-resave-tr1") / "missing-folder" / "out.tr2";
    const auto failed = runCli("resave " + tr3.string() + " " + nowhere.string());
    expectCleanFailure(failed, "resave into a missing folder");
    EXPECT_NE(failed.err.find("Can't write " + nowhere.string()), std::string::npos) << failed.err;
}

TEST(CliFailures, DamagedOrMissingFilesGiveOneLineAndExitOne) {
    const auto dir = test::scratchDir("cli-damaged");
    const auto missing = runCli("info " + (dir / "missing.tr2").string());
    expectCleanFailure(missing, "missing file");
    EXPECT_EQ(missing.err, "tessarin2-cli: " + (dir / "missing.tr2").string() + ": No such file or directory\n");
    const auto unknown = runCli("nonsense");
    expectCleanFailure(unknown, "unknown command");
    EXPECT_EQ(unknown.err.rfind("tessarin2-cli: unknown command \"nonsense\"; usage: ", 0), 0u) << unknown.err;
    expectCleanFailure(runCli("info \"" + (dir / "two\nlines.tr2").string() + "\""), "a line break in the name");
    expectCleanFailure(runCli("info"), "missing argument");

    util::ByteWriter w;
    w.u32(0x2D);
    w.bytes(std::vector<std::uint8_t>(1792, 0).data(), 1792);
    w.i32(-5);  // negative texture page count
    ASSERT_TRUE(util::writeFileSafely(dir / "negative.tr2", w.data()));
    expectCleanFailure(runCli("info " + (dir / "negative.tr2").string()), "negative count");
    expectCleanFailure(runCli("tiles " + (dir / "negative.tr2").string()), "negative count");

    const std::vector<std::uint8_t> wrongMagic = {1, 2, 3, 4, 5, 6};
    ASSERT_TRUE(util::writeFileSafely(dir / "magic.tr2", wrongMagic));
    auto run = runCli("info " + (dir / "magic.tr2").string());
    expectCleanFailure(run, "wrong magic");
    EXPECT_NE(run.err.find("Unknown TR version!"), std::string::npos);
}

// --help lists each command with the arguments its own usage error names, and asking is no failure.
TEST(CliHelp, ListsEveryCommandAsItsUsageErrorGivesIt) {
    const auto help = runCli("--help");
    ASSERT_EQ(help.exitCode, 0) << help.err;
    EXPECT_TRUE(help.err.empty()) << help.err;
    std::istringstream lines(help.out);
    int listed = 0;
    for (std::string line; std::getline(lines, line);) {
        if (!line.starts_with("  ") || line.starts_with("   ")) continue;
        const std::string synopsis = line.substr(2);
        const auto run = runCli(synopsis.substr(0, synopsis.find(' ')));
        expectCleanFailure(run, synopsis);
        EXPECT_EQ(run.err, "tessarin2-cli: usage: tessarin2-cli " + synopsis + "\n");
        ++listed;
    }
    EXPECT_EQ(listed, 12) << help.out;
    expectCleanFailure(runCli(""), "no command");
}

// A document that could not be written is a failure, however short (longer ones go out as they are made).
TEST(CliFailures, AnOutputThatCannotBeWrittenExitsOne) {
    TESSARIN_REQUIRE_LEVEL(path, "tr3-test1.tr2");
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    for (const std::string command : {"tiles ", "room-at ", "info "}) {
        const auto run = runCli(command + path.string() + (command == "room-at " ? " 1 1 1" : "") + " >/dev/full");
        EXPECT_EQ(run.exitCode, 1) << command;
        EXPECT_EQ(run.err, "tessarin2-cli: cannot write the output\n") << command;
    }
}

TEST(CliInfo, RoomAndItemFlagsPrintUnsignedAnglesSigned) {
    auto l = levelgen::emptyLevel(3);
    l.Rooms.push_back(levelgen::boxRoom(0, 0, 3, 3, 0, -1024));
    l.Rooms[0].Flags = static_cast<std::int16_t>(0x8040);
    level::TRItem item;
    item.Angle = -16384;
    item.OCB = -1;
    item.Flags = 0xBE00;
    l.Items.push_back(item);
    const auto path = test::scratchDir("cli-flags") / "flags.tr2";
    ASSERT_TRUE(util::writeFileSafely(path, levelgen::buildLevel(l)));
    auto run = runCli("info " + path.string());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    auto doc = parseJson(run.out);
    EXPECT_EQ(doc["rooms"][0]["flags"].asInt(), 0x8040);
    EXPECT_EQ(doc["items"][0]["flags"].asInt(), 0xBE00);
    EXPECT_EQ(doc["items"][0]["angle"].asInt(), -16384);
    EXPECT_EQ(doc["items"][0]["ocb"].asInt(), -1);
}
