// tessarin2-cli export-map and export-textures on real levels, and their refusals.
#include <gtest/gtest.h>

#include "support/CliRun.h"
#include "editor/MapImage.h"
#include "level/LevelReader.h"
#include "support/MiniJson.h"
#include "support/PngRead.h"
#include "support/TestPaths.h"
#include "viewer/TexturePages.h"

using namespace tessarin;
using test::parseJson;
using test::runCli;

TEST(CliExport, MapPictureMatchesTheMapModelAndBadArgumentsWriteNothing) {
    TESSARIN_REQUIRE_LEVEL(path, "tr2-test1.tr2");
    auto level = level::LoadLevel(path);
    ASSERT_TRUE(level) << level.error();
    const auto out = test::scratchDir("cli-export-map") / "room1.png";
    const auto run = runCli("export-map " + path.string() + " 1 " + out.string() + " --scale 3");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto doc = parseJson(run.out);
    editor::SectorMap map;
    map.build(*level, 1);
    EXPECT_EQ(doc["width"].asInt(), map.canvasWidth() * 3);
    EXPECT_EQ(doc["height"].asInt(), map.canvasHeight() * 3);
    const auto img = test::readOwnPng(out);
    ASSERT_TRUE(img);
    ASSERT_EQ(img->width, map.canvasWidth() * 3);
    for (int x = 0; x < map.numX(); ++x)
        for (int z = 0; z < map.numZ(); ++z) {
            const std::uint8_t* p = &img->pixels[(static_cast<std::size_t>((10 * x + 1) * 3) * img->width + (10 * z + 1) * 3) * 4];
            EXPECT_EQ((editor::Rgb{p[0], p[1], p[2]}), map.cell(x, z).fill) << x << "," << z;
        }

    const auto none = test::scratchDir("cli-export-map") / "none.png";
    for (const std::string& args : {" 9999 " + none.string(), " 1 " + none.string() + " --scale 9",
                                   " x " + none.string(), " 1 " + none.string() + " --zoom 2"}) {
        const auto bad = runCli("export-map " + path.string() + args);
        EXPECT_EQ(bad.exitCode, 1) << args;
        EXPECT_FALSE(bad.err.empty());
    }
    EXPECT_FALSE(std::filesystem::exists(none));
}

TEST(CliExport, TexturesGiveOnePicturePerPageWithThePagesPixels) {
    TESSARIN_REQUIRE_LEVEL(path, "tr4-test1.tr4");
    auto level = level::LoadLevel(path);
    ASSERT_TRUE(level) << level.error();
    const auto dir = test::scratchDir("cli-export-textures") / "pages";
    const auto run = runCli("export-textures " + path.string() + " " + dir.string());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto doc = parseJson(run.out);
    const auto pages = viewer::BuildTexturePages(*level);
    const int count = pages.height / viewer::kPageSize;
    ASSERT_GT(count, 0);
    EXPECT_EQ(doc["pages"].asInt(), count);
    ASSERT_EQ(doc["files"].items.size(), static_cast<std::size_t>(count));
    const auto last = test::readOwnPng(dir / ("page-" + std::string(count - 1 < 10 ? "00" : "0") + std::to_string(count - 1) + ".png"));
    ASSERT_TRUE(last);
    ASSERT_EQ(last->width, viewer::kPageSize);
    const std::size_t pageBytes = std::size_t{viewer::kPageSize} * viewer::kPageSize * 4;
    EXPECT_TRUE(std::equal(last->pixels.begin(), last->pixels.end(), pages.pixels.begin() + static_cast<std::ptrdiff_t>(pageBytes * (count - 1))));
}
