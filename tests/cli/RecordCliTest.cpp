// tessarin2-cli record: a key script through the demo recorder into a written level, and refusals.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/CliRun.h"
#include "level/LevelReader.h"
#include "levelgen/LevelBuilder.h"
#include "levelgen/LevelFactory.h"
#include "support/MiniJson.h"
#include "support/TestPaths.h"
#include "util/FileIO.h"

using namespace tessarin;
using test::parseJson;
using test::runCli;

namespace {

std::filesystem::path writeText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

std::filesystem::path writeLevel(const std::filesystem::path& path, std::int16_t version) {
    auto l = levelgen::emptyLevel(version);
    l.Rooms.push_back(levelgen::boxRoom(0, 0, 3, 3, 0, -1024));
    level::TRItem lara;
    lara.X = 1536;
    lara.Y = -512;
    lara.Z = 1536;
    lara.Angle = 16384;
    l.Items.push_back(lara);
    EXPECT_TRUE(util::writeFileSafely(path, levelgen::buildLevel(l)));
    return path;
}

}  // namespace

TEST(CliRecord, WritesTheScriptedDemoAndPrintsEveryWord) {
    const auto dir = test::scratchDir("cli-record");
    const auto in = writeLevel(dir / "in.tr2", level::kVersionTR3);
    // TAB on, Left + Right in one sample, "," (TR3's key), TAB off after one more sample, and a
    // step with the capture off.
    const auto script = writeText(dir / "keys.txt", "50\n151 15\n160 203\n190 205\n230 51\n300 15\n320 200\n");
    const auto out = dir / "out.tr2";
    auto run = runCli("record " + in.string() + " " + out.string() + " --keys " + script.string());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto doc = parseJson(run.out);
    EXPECT_EQ(doc["output"].text, out.string());
    EXPECT_EQ(doc["bytes"].asInt(), static_cast<std::int64_t>(std::filesystem::file_size(out)));
    EXPECT_EQ(doc["toggles"].asInt(), 2);
    std::vector<std::int64_t> words;
    for (const auto& w : doc["demo"].items) words.push_back(w.asInt());
    EXPECT_EQ(words, (std::vector<std::int64_t>{1536, -512, 1536, 0, 16384, 0, 0, 1, 0, 0, 12, 0x80000, 0, -1}));

    auto back = level::LoadLevel(out);
    ASSERT_TRUE(back) << back.error();
    EXPECT_EQ(back->NumDemoData, 14 * 4);

    // A script longer than a demo can hold: the level is written with the full demo, and the cut is said.
    std::string longScript = "50\n151 15\n";
    for (int k = 1; k <= 8300; ++k) longScript += std::to_string(160 + 40 * k) + " 72\n";
    const auto full = runCli("record " + in.string() + " " + out.string() + " --keys " +
                             writeText(dir / "long.txt", longScript).string());
    ASSERT_EQ(full.exitCode, 0) << full.err;
    EXPECT_EQ(parseJson(full.out)["demo"].items.size(), 8191u);
    EXPECT_NE(full.err.find("the demo filled up"), std::string::npos) << full.err;
    EXPECT_TRUE(run.err.empty()) << run.err;
    EXPECT_EQ(std::vector<std::int64_t>(back->DemoData.begin(), back->DemoData.end()), words);
}

TEST(CliRecord, BadScriptsAndLevelsThatCantHoldADemoWriteNothing) {
    const auto dir = test::scratchDir("cli-record-bad");
    const auto tr2 = writeLevel(dir / "in.tr2", level::kVersionTR2);
    const auto tr1 = writeLevel(dir / "in.phd", level::kVersionTR1);
    const auto good = writeText(dir / "good.txt", "100 15\n");
    const auto out = dir / "out.tr2";
    const struct {
        std::filesystem::path level, script;
    } cases[] = {
        {tr2, writeText(dir / "letters.txt", "100 15\n200 up\n")},
        {tr2, writeText(dir / "code.txt", "100 300\n")},
        {tr2, writeText(dir / "zero.txt", "0\n")},
        {tr2, dir / "missing.txt"},
        {tr1, good},
    };
    for (const auto& c : cases) {
        auto run = runCli("record " + c.level.string() + " " + out.string() + " --keys " + c.script.string());
        EXPECT_EQ(run.exitCode, 1) << c.script;
        EXPECT_TRUE(run.out.empty()) << run.out;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
        EXPECT_FALSE(std::filesystem::exists(out)) << c.script;
    }
    auto run = runCli("record " + tr1.string() + " " + out.string() + " --keys " + good.string());
    EXPECT_NE(run.err.find("Only TR2 and TR3 levels can hold a recorded demo"), std::string::npos) << run.err;
    EXPECT_EQ(runCli("record " + tr2.string() + " " + out.string()).exitCode, 1);
}
