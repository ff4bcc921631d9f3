// tessarin2-cli convert: the written level, its JSON, and refusals.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include "support/TestPaths.h"

namespace {

struct CliRun {
    int exitCode = -1;
    std::string out;
};

CliRun runConvert(const std::string& args) {
    CliRun run;
    const std::string cmd = std::string(TESSARIN_CLI_PATH) + " convert " + args + " 2>/dev/null";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return run;
    std::array<char, 4096> buf{};
    std::size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) run.out.append(buf.data(), n);
    const int status = pclose(p);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(CliConvert, WritesTheLevelAndPrintsItsCounts) {
    TESSARIN_REQUIRE_LEVEL(path, "tr4-test1.tr4");
    const auto dir = tessarin::test::scratchDir("cli-convert");
    const auto swd = std::filesystem::path(TESSARIN_CLI_PATH).parent_path() / "TR3.swd";
    for (const char* to : {"tr2", "tr3"}) {
        const auto out = dir / (std::string("out-") + to + ".tr2");
        const auto run = runConvert(path.string() + " --to " + to + " -o " + out.string() + " --swd " + swd.string());
        ASSERT_EQ(run.exitCode, 0) << run.out;
        EXPECT_NE(run.out.find("\"output\":\"" + out.string() + "\""), std::string::npos) << run.out;
        EXPECT_NE(run.out.find(std::string("\"version\":") + to[2]), std::string::npos) << run.out;
        EXPECT_NE(run.out.find("\"rooms\":4,"), std::string::npos) << run.out;
        EXPECT_NE(run.out.find("\"meshPointers\":397,"), std::string::npos) << run.out;
        EXPECT_TRUE(std::filesystem::exists(out));
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
}

}  // namespace
