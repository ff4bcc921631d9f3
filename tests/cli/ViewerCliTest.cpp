// tessarin2-cli polys, statics and room-at: the JSON contract on a level whose polygons are known,
// and clean failures for bad arguments.
#include <gtest/gtest.h>

#include "support/CliRun.h"
#include "support/ViewerTestLevel.h"
#include "level/Mesh.h"
#include "levelgen/LevelBuilder.h"
#include "levelgen/LevelFactory.h"
#include "support/MiniJson.h"
#include "support/TestPaths.h"
#include "util/FileIO.h"

using namespace tessarin;
using test::parseJson;
using test::expectCleanFailure;
using test::runCli;

namespace {

// The polygon test level as a TR3 file: room 0 (4 x 4 at sector (2, 3)) with a square on sector
// (1, 2) and an additive triangle, one static definition (object 40) with a one-triangle mesh.
std::string polygonLevelFile() {
    auto source = viewertest::polygonLevel();
    auto l = levelgen::emptyLevel(3);
    l.ObjectTextures = source.ObjectTextures;
    l.ObjectTextures[0].Tile = 4;
    l.ObjectTextures[1].Tile = 7;
    l.NumTextiles = 8;
    l.Rooms.push_back(levelgen::boxRoom(2, 3, 4, 4, 0, -2048));
    l.Rooms[0].Vertices = source.Rooms[0].Vertices;
    l.Rooms[0].Rectangles = source.Rooms[0].Rectangles;
    l.Rooms[0].Triangles = source.Rooms[0].Triangles;
    level::TRMesh mesh;
    mesh.Vertices = {{0, 0, 0}, {512, 0, 0}, {0, -1024, 0}};
    mesh.TexturedTriangles = {{{0, 1, 2}, 0, 0}};
    l.MeshPointers = {static_cast<std::int32_t>(level::AppendMesh(l, mesh))};
    level::TRStaticMesh def;
    def.ObjectID = 40;
    l.StaticMeshes.push_back(def);
    const auto path = tessarin::test::scratchDir("cli-viewer") / "known.tr2";
    EXPECT_TRUE(util::writeFileSafely(path, levelgen::buildLevel(l)));
    return path.string();
}

}  // namespace

TEST(CliViewer, PolysPrintsTheRoomsPolygonsWithInsetCoordinatesAndTheMarking) {
    const std::string path = polygonLevelFile();
    auto run = runCli("polys " + path + " 0 --selected 1 2");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto doc = parseJson(run.out);
    const auto& polys = doc["polys"].items;
    ASSERT_EQ(polys.size(), 2u);
    const auto& quad = polys[0];
    EXPECT_EQ(quad.fields.size(), 6u);
    EXPECT_EQ(quad["vertexCount"].asInt(), 5);
    EXPECT_EQ(quad["texture"].asInt(), 4);
    EXPECT_EQ(quad["blend"].asInt(), 0);
    EXPECT_EQ(quad["room"].asInt(), 0);
    EXPECT_TRUE(quad["marked"].boolean);
    ASSERT_EQ(quad["vertices"].items.size(), 5u);
    const auto& v2 = quad["vertices"][2];
    ASSERT_EQ(v2.items.size(), 5u);
    EXPECT_EQ(v2[0].number, 2.0);
    EXPECT_EQ(v2[1].number, 0.0);
    EXPECT_EQ(v2[2].number, 3.0);
    EXPECT_NEAR(v2[3].number, 62 / 255.0, 1e-7);  // at least six significant digits
    EXPECT_NEAR(quad["vertices"][0][3].number, 1 / 255.0, 1e-9);
    const auto& tri = polys[1];
    EXPECT_EQ(tri["vertexCount"].asInt(), 3);
    EXPECT_EQ(tri["blend"].asInt(), 2);
    EXPECT_FALSE(tri["marked"].boolean);
    EXPECT_EQ(tri["vertices"][2][1].number, 1.0);

    run = runCli("polys " + path + " 0");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_FALSE(parseJson(run.out)["polys"][0]["marked"].boolean);
}

TEST(CliViewer, StaticsAndRoomAtDescribeTheKnownLevel) {
    const std::string path = polygonLevelFile();
    auto run = runCli("statics " + path);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    auto doc = parseJson(run.out);
    ASSERT_EQ(doc["statics"].items.size(), 1u);
    const auto& def = doc["statics"][0];
    EXPECT_EQ(def["objectId"].asInt(), 40);
    ASSERT_EQ(def["polys"].items.size(), 1u);
    EXPECT_EQ(def["polys"][0].fields.size(), 3u);
    EXPECT_EQ(def["polys"][0]["texture"].asInt(), 4);
    EXPECT_EQ(def["polys"][0]["vertices"][1][0].number, 0.5);
    EXPECT_EQ(def["polys"][0]["vertices"][2][1].number, 1.0);

    // Inside room 0 is x 3..5, z 4..6, y 0..2 (bounds included).
    for (const auto& [where, room] : std::vector<std::pair<std::string, int>>{
             {"3 0 4", 0}, {"5 2 6", 0}, {"4.5 1.25 5", 0}, {"2.999 1 5", -1}, {"4 -0.01 5", -1}, {"-1e3 0 0", -1}}) {
        run = runCli("room-at " + path + " " + where);
        ASSERT_EQ(run.exitCode, 0) << where << ": " << run.err;
        EXPECT_EQ(parseJson(run.out)["room"].asInt(), room) << where;
    }
}

TEST(CliViewer, BadArgumentsAndFilesFailWithOneLine) {
    const std::string path = polygonLevelFile();
    expectCleanFailure(runCli("polys " + path), "missing room");
    expectCleanFailure(runCli("polys " + path + " 1"), "room out of range");
    expectCleanFailure(runCli("polys " + path + " -1"), "negative room");
    expectCleanFailure(runCli("polys " + path + " 0x"), "malformed room");
    expectCleanFailure(runCli("polys " + path + " 0 --selected 1"), "selected without z");
    expectCleanFailure(runCli("polys " + path + " 0 --selected 1 b"), "malformed z");
    expectCleanFailure(runCli("polys /nonexistent/level.tr2 0"), "missing file");
    expectCleanFailure(runCli("statics"), "statics without a file");
    expectCleanFailure(runCli("statics " + path + ".missing"), "statics of a missing file");
    expectCleanFailure(runCli("room-at " + path + " 1 2"), "room-at without z");
    expectCleanFailure(runCli("room-at " + path + " 1 nan 2"), "not a number");
    expectCleanFailure(runCli("room-at " + path + " 1 2 3q"), "malformed z");
}
