// tessarin2-cli sector: the panels after a left click, as JSON, on levels whose contents are known.
#include <gtest/gtest.h>

#include "support/CliRun.h"
#include "levelgen/LevelBuilder.h"
#include "levelgen/LevelFactory.h"
#include "level/LevelReader.h"
#include "level/LevelWriter.h"
#include "support/MiniJson.h"
#include "support/TestPaths.h"
#include "util/ByteWriter.h"
#include "util/FileIO.h"

using namespace tessarin;
using test::parseJson;
using test::runCli;

namespace {

std::vector<std::string> texts(const test::JsonValue& v) {
    std::vector<std::string> out;
    for (const auto& i : v.items) out.push_back(i.text);
    return out;
}

std::uint16_t word(int code, int sub, bool last) { return static_cast<std::uint16_t>(code | sub << 8 | (last ? 0x8000 : 0)); }

// The real TR2 level with room 1 (5 x 5 at 2048, 10240) rebuilt around sector (2, 3): a switch
// trigger with timer 5 and flags 1 and 3 acting on items 1 and 900, a code-20 entry, two items and
// one static mesh on its centre, a door entry on (0, 2) and a wall at (3, 1).
std::filesystem::path knownLevel() {
    const auto path = test::realLevel("tr2-test1.tr2");
    if (path.empty()) return {};
    auto level = level::LoadLevel(path);
    if (!level) return {};
    auto& l = *level;
    auto& room = l.Rooms[1];
    const auto start = static_cast<std::uint16_t>(l.FloorData.size());
    l.FloorData.insert(l.FloorData.end(), {word(20, 0, false), word(4, 2, true), 0x0A05,
                                           static_cast<std::uint16_t>(0 << 10 | 1),
                                           static_cast<std::uint16_t>(0x8000 | 0 << 10 | (900 % 512))});
    room.sector(2, 3).FDIndex = start;
    room.sector(2, 3).Floor = -2;
    room.sector(2, 3).Ceiling = -12;
    room.sector(2, 3).RoomBelow = 255;
    room.sector(2, 3).RoomAbove = 255;
    const auto door = static_cast<std::uint16_t>(l.FloorData.size());
    l.FloorData.insert(l.FloorData.end(), {word(1, 0, true), 3});
    room.sector(0, 2).FDIndex = door;
    room.sector(3, 1).Floor = -127;
    room.sector(3, 1).FDIndex = 0;
    room.sector(3, 1).RoomBelow = 255;
    room.sector(3, 1).RoomAbove = 255;
    level::TRItem it;
    it.Room = 1;
    it.X = 2048 + 2 * 1024 + 512;
    it.Z = 10240 + 3 * 1024 + 512;
    it.ObjectID = 39;
    l.Items.push_back(it);  // item 7
    it.ObjectID = 0;
    l.Items.push_back(it);  // item 8
    level::TRRoomStatic st;
    st.X = it.X;
    st.Z = it.Z;
    st.ObjectID = 3;
    room.StaticMeshes.push_back(st);
    auto bytes = level::SerializeLevel(l);
    if (!bytes) return {};
    const auto out = test::scratchDir("cli-sector") / "known.tr2";
    if (!util::writeFileSafely(out, *bytes)) return {};
    return out;
}

}  // namespace

TEST(CliSector, DescribesAKnownSectorFieldByField) {
    const auto path = knownLevel();
    if (path.empty()) GTEST_SKIP() << "tr2-test1.tr2 not available";
    const auto run = runCli("sector " + path.string() + " 1 2 3");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto doc = parseJson(run.out);
    EXPECT_EQ(doc["title"].text, "Sector Info [Sector  2, 3]");
    EXPECT_EQ(doc["doorSide"].text, "None");
    EXPECT_EQ(doc["doorBelow"].text, "None");
    EXPECT_EQ(doc["fdLabel"].text, " 2 Triggers");
    EXPECT_EQ(texts(doc["triggerList"]),
              (std::vector<std::string>{"SWITCH for OBJECT 1 (TIGER)", "SWITCH for OBJECT 388 (no such item)"}));
    EXPECT_EQ(doc["timer"].text, "Timer 5");
    std::vector<bool> flags;
    for (const auto& f : doc["triggerFlags"].items) flags.push_back(f.boolean);
    EXPECT_EQ(flags, (std::vector<bool>{true, false, true, false, false}));
    EXPECT_FALSE(doc["floorWall"].boolean);
    EXPECT_EQ(doc["floorHeight"].text, "254");
    EXPECT_EQ(doc["ceilingHeight"].text, "244");
    EXPECT_TRUE(doc["minecart"]["left"].boolean);
    EXPECT_FALSE(doc["minecart"]["right"].boolean);
    EXPECT_TRUE(doc["minecart"]["stop"].boolean);
    EXPECT_EQ(doc["itemCount"].text, " 2 items");
    EXPECT_EQ(texts(doc["entries"]), (std::vector<std::string>{"Item 7", "Item 8"}));
    EXPECT_EQ(doc["staticCount"].text, " 1 Static Mesh");
    EXPECT_EQ(doc["staticName"].text, "PLANT3");
    // Code 20 wins over the trigger colour.
    EXPECT_EQ(doc["mapColour"][0].asInt(), 0);
    EXPECT_EQ(doc["mapColour"][1].asInt(), 0);
    EXPECT_EQ(doc["mapColour"][2].asInt(), 255);
    EXPECT_TRUE(doc["itemMark"].boolean);
    EXPECT_TRUE(doc["staticMark"].boolean);
}

TEST(CliSector, PlacesOutsideTheLevelAreErrors) {
    TESSARIN_REQUIRE_LEVEL(path, "tr2-test1.tr2");
    for (const char* args : {" 5 0 0", " -1 0 0", " 0 7 0", " 0 0 14", " 0 -1 0", " x 0 0", " 0 0", " 0 0 0 0"}) {
        const auto run = runCli("sector " + path.string() + args);
        EXPECT_EQ(run.exitCode, 1) << args;
        EXPECT_TRUE(run.out.empty()) << args;
        EXPECT_FALSE(run.err.empty()) << args;
    }
    EXPECT_EQ(runCli("sector /nonexistent/level.tr2 0 0 0").exitCode, 1);
}

namespace {

// A 5 x 5 room at world (2048, 3072) built as a level of `version`: a switch trigger on sector
// (2, 2) acting on items 1 and 0 with a camera between, item 1, a static mesh and (TR4/TR5) an AI
// object on that sector's centre, item 0 on (1, 1), whose box is blocked.
std::filesystem::path builtLevel(std::int16_t version) {
    auto l = levelgen::emptyLevel(version);
    l.Rooms = {levelgen::boxRoom(2, 3, 5, 5, 0, -2048)};
    auto& room = l.Rooms[0];
    room.sector(2, 2).FDIndex =
        levelgen::FloorDataList()
            .trigger(levelgen::kSwitch, 0x0A07, {{levelgen::kObject, 1}, {levelgen::kCamera, 0}, {levelgen::kObject, 0}})
            .appendTo(l);
    l.Boxes.resize(2);
    l.Zones.assign(20, 0);
    l.Boxes[1].OverlapIndex = static_cast<std::int16_t>(0x8000);
    room.sector(1, 1).BoxIndex = 1 << 4;
    level::TRItem it;
    it.Room = 0;
    it.X = 2048 + 1024 + 512;
    it.Z = 3072 + 1024 + 512;
    it.ObjectID = 10;
    l.Items.push_back(it);
    it.X += 1024;
    it.Z += 1024;
    it.ObjectID = 5;
    l.Items.push_back(it);
    level::TRAIObject ai;
    ai.ObjectID = 398;
    ai.X = it.X;
    ai.Z = it.Z;
    if (version >= 4) l.AIObjects.push_back(ai);
    level::TRRoomStatic st;
    st.X = it.X;
    st.Z = it.Z;
    st.ObjectID = 3;
    room.StaticMeshes.push_back(st);
    const auto out = test::scratchDir("cli-sector") / (std::string("built") + levelgen::levelExtension(version));
    if (!util::writeFileSafely(out, levelgen::buildLevel(l, version))) return {};
    return out;
}

}  // namespace

TEST(CliSector, NamesObjectsByVersionAndListsAIObjectsAfterItems) {
    struct Case {
        std::int16_t version;
        const char* name5;
        const char* name10;
    };
    // The oldest and a newer version: the names come from the installed file's own section.
    for (const Case c : {Case{1, "LARA_MISC_ANIM", "CROCODILE_LAND"}, Case{4, "GRENADE_GUN_ANIM", "LARA_SCREAM"}}) {
        SCOPED_TRACE(c.version);
        const auto path = builtLevel(c.version);
        ASSERT_FALSE(path.empty());
        auto run = runCli("sector " + path.string() + " 0 2 2");
        ASSERT_EQ(run.exitCode, 0) << run.err;
        auto doc = parseJson(run.out);
        EXPECT_EQ(doc["fdLabel"].text, " 3 Triggers");
        EXPECT_EQ(texts(doc["triggerList"]),
                  (std::vector<std::string>{"SWITCH for OBJECT 1 (" + std::string(c.name5) + ")", "SWITCH for CAMERA 0",
                                            "SWITCH for OBJECT 0 (" + std::string(c.name10) + ")"}));
        EXPECT_EQ(doc["timer"].text, "Timer 7");
        std::vector<bool> flags;
        for (const auto& f : doc["triggerFlags"].items) flags.push_back(f.boolean);
        EXPECT_EQ(flags, (std::vector<bool>{true, false, true, false, false}));
        const bool ai = c.version >= 4;
        EXPECT_EQ(doc["itemCount"].text, ai ? " 2 items" : " 1 item");
        const std::vector<std::string> entries = ai ? std::vector<std::string>{"Item 1", "AI 0"} : std::vector<std::string>{"Item 1"};
        EXPECT_EQ(texts(doc["entries"]), entries);
        EXPECT_EQ(doc["staticCount"].text, " 1 Static Mesh");
        EXPECT_EQ(doc["staticName"].text, "PLANT3");
        EXPECT_EQ(doc["mapColour"][0].asInt(), 192);
        EXPECT_EQ(doc["mapColour"][1].asInt(), 0);
        EXPECT_EQ(doc["mapColour"][2].asInt(), 192);
        EXPECT_TRUE(doc["itemMark"].boolean);
        EXPECT_TRUE(doc["staticMark"].boolean);
    }
}
