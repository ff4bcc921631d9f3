// tessarin2-cli convert: the written level, its JSON, --verify, and refusals.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/CliRun.h"
#include "support/MiniJson.h"
#include "support/TestPaths.h"

namespace {

using tessarin::test::parseJson;

tessarin::test::CliRun runConvert(const std::string& args) { return tessarin::test::runCli("convert " + args); }

// Without --verify the counts come from the converted level in memory; they are what `info` reads
// from the written file, and what --verify finds there too.
TEST(CliConvert, PrintsTheCountsTheWrittenLevelReadsBackWith) {
    TESSARIN_REQUIRE_LEVEL(path, "tr4-test1.tr4");
    const auto dir = tessarin::test::scratchDir("cli-convert");
    const auto swd = std::filesystem::path(TESSARIN_CLI_PATH).parent_path() / "TR3.swd";
    for (const char* to : {"tr2", "tr3"}) {
        SCOPED_TRACE(to);
        const auto out = dir / (std::string("out-") + to + ".tr2");
        const std::string args = path.string() + " --to " + to + " -o " + out.string() + " --swd " + swd.string();
        const auto run = runConvert(args);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const auto doc = parseJson(run.out);
        EXPECT_EQ(doc["output"].text, out.string());
        EXPECT_EQ(doc["version"].asInt(), to[2] - '0');
        EXPECT_EQ(doc["counts"]["rooms"].asInt(), 4);
        EXPECT_EQ(doc["counts"]["meshPointers"].asInt(), 397);

        const auto info = tessarin::test::runCli("info " + out.string());
        ASSERT_EQ(info.exitCode, 0) << info.err;
        const auto back = parseJson(info.out);
        EXPECT_EQ(back["version"].asInt(), doc["version"].asInt());
        ASSERT_EQ(back["counts"].fields.size(), doc["counts"].fields.size());
        for (const auto& [key, value] : back["counts"].fields) EXPECT_EQ(doc["counts"][key].asInt(), value.asInt()) << key;

        const auto verified = runConvert(args + " --verify");
        ASSERT_EQ(verified.exitCode, 0) << verified.err;
        EXPECT_EQ(verified.out, run.out);
    }
}

TEST(CliConvert, DefaultsToTheInstalledSpriteFileAndTheTr2Name) {
    TESSARIN_REQUIRE_LEVEL(path, "tr4-test1.tr4");
    const auto dir = tessarin::test::scratchDir("cli-convert-default");
    const auto copy = dir / "copy.tr4";
    std::filesystem::copy_file(path, copy);
    const auto run = runConvert(copy.string() + " --to tr3");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_TRUE(std::filesystem::exists(dir / "copy.tr2"));
}

TEST(CliConvert, RefusesBadTargetsAndMissingSpriteFiles) {
    TESSARIN_REQUIRE_LEVEL(path, "tr4-test1.tr4");
    const auto dir = tessarin::test::scratchDir("cli-convert-bad");
    const auto out = dir / "out.tr2";
    EXPECT_EQ(runConvert(path.string() + " --to tr4 -o " + out.string()).exitCode, 1);
    EXPECT_EQ(runConvert(path.string() + " -o " + out.string()).exitCode, 1);
    EXPECT_EQ(runConvert(path.string() + " --to tr3 -o " + out.string() + " --swd " + (dir / "no.swd").string()).exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_FALSE(std::filesystem::exists(dir / "no.swd"));

    // An output naming the TR4 level itself would lose it: refused, the level as it was.
    const auto own = dir / "own.tr4";
    std::filesystem::copy_file(path, own, std::filesystem::copy_options::overwrite_existing);
    const auto self = runConvert(own.string() + " --to tr3 -o " + own.string());
    tessarin::test::expectCleanFailure(self, "output over its own level");
    EXPECT_NE(self.err.find("would replace the level it is converted from"), std::string::npos) << self.err;
    EXPECT_EQ(std::filesystem::file_size(own), std::filesystem::file_size(path));
}

}  // namespace
