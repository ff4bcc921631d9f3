// Texture page colours by version, and the strip's size and bounds.
#include <gtest/gtest.h>

#include "level/LevelReader.h"
#include "support/TestPaths.h"
#include "viewer/TexturePages.h"

using namespace tessarin;

namespace {

std::array<std::uint8_t, 4> pixel(const viewer::RgbaImage& image, int x, int y) {
    const std::size_t i = (static_cast<std::size_t>(y) * image.width + x) * 4;
    return {image.pixels[i], image.pixels[i + 1], image.pixels[i + 2], image.pixels[i + 3]};
}

}  // namespace

TEST(TexturePages, TR1PaletteEntriesAreScaledByFourAndIndexZeroIsTransparent) {
    level::TRLevel level;
    level.LevelVersion = level::kVersionTR1;
    level.NumTextiles = 1;
    level.Palette[5 * 3] = 63;
    level.Palette[5 * 3 + 1] = 32;
    level.Palette[5 * 3 + 2] = 0;
    level.Textile8.assign(level::kTextilePixels, 0);
    level.Textile8[256 * 3 + 7] = 5;
    const auto image = viewer::BuildTexturePages(level);
    ASSERT_EQ(image.width, 256);
    ASSERT_EQ(image.height, 256);
    EXPECT_EQ(pixel(image, 7, 3), (std::array<std::uint8_t, 4>{252, 128, 0, 255}));
    EXPECT_EQ(pixel(image, 0, 0), (std::array<std::uint8_t, 4>{0, 0, 0, 0}));
}

TEST(TexturePages, TR2WordsKeepFiveBitsPerChannelAndBlackBecomesAlmostBlack) {
    EXPECT_EQ(viewer::colourTR2(0x7FFF), 0xFFF8F8F8u);
    EXPECT_EQ(viewer::colourTR2(0x8000), 0xFF010101u);
    EXPECT_EQ(viewer::colourTR2(0x0000), 0xFF010101u);
    EXPECT_EQ(viewer::colourTR2(0x7C00), 0xFFF80000u);
    EXPECT_EQ(viewer::colourTR2(0x03E0), 0xFF00F800u);
    EXPECT_EQ(viewer::colourTR2(0x001F), 0xFF0000F8u);
}

TEST(TexturePages, TR4TexelsIgnoreAlphaAndKeepBlackTransparent) {
    EXPECT_EQ(viewer::colourTR4(0x00112233u), 0xFF112233u);
    EXPECT_EQ(viewer::colourTR4(0x7F112233u), 0xFF112233u);
    EXPECT_EQ(viewer::colourTR4(0xFF000000u), 0u);
}

TEST(TexturePages, PagesMissingFromTheArraysComeOutBlack) {
    level::TRLevel level;
    level.LevelVersion = level::kVersionTR3;
    level.NumTextiles = 2;
    level.Textile16.assign(10, 0x7FFF);  // far fewer texels than two pages
    const auto image = viewer::BuildTexturePages(level);
    ASSERT_EQ(image.height, 512);
    EXPECT_EQ(pixel(image, 9, 0)[0], 248);
    EXPECT_EQ(pixel(image, 10, 0), (std::array<std::uint8_t, 4>{0, 0, 0, 0}));
    EXPECT_EQ(pixel(image, 255, 511), (std::array<std::uint8_t, 4>{0, 0, 0, 0}));
}

TEST(TexturePages, NegativePageCountGivesAnEmptyStrip) {
    level::TRLevel level;
    level.LevelVersion = level::kVersionTR2;
    level.NumTextiles = -4;
    const auto image = viewer::BuildTexturePages(level);
    EXPECT_EQ(image.height, 0);
    EXPECT_TRUE(image.pixels.empty());
}

TEST(TexturePages, RealLevelsGiveOnePagePerTextile) {
    for (const char* name : {"tr1-test1.phd", "tr2-test1.tr2", "tr3-test1.tr2"}) {
        TESSARIN_REQUIRE_LEVEL(path, name);
        auto level = level::LoadLevel(path);
        ASSERT_TRUE(level) << level.error();
        const auto image = viewer::BuildTexturePages(*level);
        EXPECT_EQ(image.height, level->NumTextiles * 256) << name;
        EXPECT_EQ(image.pixels.size(), static_cast<std::size_t>(image.height) * 256 * 4) << name;
    }
}

TEST(TexturePages, ProgressCaptionCountsColumnsToAHundredPercent) {
    EXPECT_EQ(viewer::BuildingTilesCaption(0), "Building tiles - 0%");
    EXPECT_EQ(viewer::BuildingTilesCaption(129), "Building tiles - 50%");
    EXPECT_EQ(viewer::BuildingTilesCaption(255), "Building tiles - 100%");
    EXPECT_TRUE(viewer::IsProgressColumn(255));
    EXPECT_FALSE(viewer::IsProgressColumn(128));
}
