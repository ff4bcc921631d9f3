// tessarin2-cli triggers: the sectors whose triggers name an item, and the refusals.
#include <gtest/gtest.h>

#include "support/CliRun.h"
#include "floordata/FloorData.h"
#include "level/LevelReader.h"
#include "support/MiniJson.h"
#include "support/TestPaths.h"

using namespace tessarin;
using test::parseJson;
using test::runCli;

TEST(CliTriggers, PrintsEveryItemsSectorsInIndexOrder) {
    TESSARIN_REQUIRE_LEVEL(path, "tr1-test1.phd");
    auto level = level::LoadLevel(path);
    ASSERT_TRUE(level) << level.error();
    const auto index = floordata::BuildItemTriggers(*level);
    std::size_t listed = 0;
    for (std::size_t item = 0; item < index.size(); ++item) {
        SCOPED_TRACE(item);
        const auto run = runCli("triggers " + path.string() + " " + std::to_string(item));
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const auto doc = parseJson(run.out);
        EXPECT_EQ(doc.fields.size(), 3u);
        EXPECT_EQ(doc["item"].asInt(), static_cast<std::int64_t>(item));
        EXPECT_EQ(doc["count"].asInt(), index[item].Count);
        const auto& sectors = doc["sectors"].items;
        ASSERT_EQ(sectors.size(), index[item].Sectors.size());
        for (std::size_t i = 0; i < sectors.size(); ++i) {
            ASSERT_EQ(sectors[i].items.size(), 3u);
            EXPECT_EQ(sectors[i][0].asInt(), index[item].Sectors[i].Room);
            EXPECT_EQ(sectors[i][1].asInt(), index[item].Sectors[i].X);
            EXPECT_EQ(sectors[i][2].asInt(), index[item].Sectors[i].Z);
        }
        listed += sectors.size();
    }
    EXPECT_GT(listed, 0u);
}

TEST(CliTriggers, RefusesItemsOutsideTheLevelAndBadArguments) {
    TESSARIN_REQUIRE_LEVEL(path, "tr2-test1.tr2");
    auto level = level::LoadLevel(path);
    ASSERT_TRUE(level) << level.error();
    const std::string file = path.string();
    for (const std::string& args : {file + " " + std::to_string(level->Items.size()), file + " -1", file + " 2x",
                                    file, std::string("/nonexistent/level.tr2 0")}) {
        const auto run = runCli("triggers " + args);
        EXPECT_EQ(run.exitCode, 1) << args;
        EXPECT_TRUE(run.out.empty()) << args << ": " << run.out;
        ASSERT_FALSE(run.err.empty()) << args;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << args << ": " << run.err;
    }
}
