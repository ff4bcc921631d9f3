// The texture-tile table: page and the corner nearest the page origin for every texture.
#include <gtest/gtest.h>

#include <algorithm>

#include "level/TextureInfo.h"
#include "level/LevelReader.h"
#include "support/TestPaths.h"

using namespace tessarin;
using level::TRObjectTexture;

namespace {
TRObjectTexture tr4Texture(std::initializer_list<std::pair<int, int>> corners, int width, int height, std::uint16_t tile) {
    TRObjectTexture t;
    int k = 0;
    for (auto [x, y] : corners) {
        t.Vertices[k].XPixel = static_cast<std::uint8_t>(x);
        t.Vertices[k].YPixel = static_cast<std::uint8_t>(y);
        ++k;
    }
    t.Width = width;
    t.Height = height;
    t.Tile = static_cast<std::int16_t>(tile);
    return t;
}
}  // namespace

TEST(ConvertTR5TextInfo, TakesTheSmallestCornerAndTheStatedSize) {
    level::TRLevel l;
    l.ObjectTextures = {tr4Texture({{0, 0}, {63, 0}, {63, 63}, {0, 63}}, 64, 64, 2),
                        tr4Texture({{10, 20}, {30, 20}, {30, 40}, {0, 0}}, 20, 20, 0x8005),
                        // the fourth corner is not looked at
                        tr4Texture({{100, 100}, {120, 100}, {120, 120}, {1, 1}}, 20, 20, 1)};
    ASSERT_TRUE(level::ConvertTR5TextInfo(l));
    ASSERT_EQ(l.TextureTiles.size(), 3u);
    EXPECT_EQ(l.TextureTiles[0].RefU, 0);
    EXPECT_EQ(l.TextureTiles[0].RefV, 0);
    EXPECT_EQ(l.TextureTiles[0].SizeU, 64);
    EXPECT_EQ(l.TextureTiles[0].SizeV, 64);
    EXPECT_EQ(l.TextureTiles[0].Tile, 2);
    EXPECT_EQ(l.TextureTiles[1].Tile, 5);
    EXPECT_EQ(l.ObjectTextures[1].Tile, 5) << "bit 15 is cleared in the level too";
    EXPECT_EQ(l.TextureTiles[2].RefU, 100);
    EXPECT_EQ(l.TextureTiles[2].RefV, 100);
}

TEST(ConvertTR5TextInfo, ATextureReachingPastItsPageRefusesTheLevel) {
    level::TRLevel l;
    l.ObjectTextures = {tr4Texture({{0, 0}, {1, 0}, {1, 1}}, 2, 2, 0),
                        tr4Texture({{200, 0}, {255, 0}, {255, 10}}, 100, 10, 0)};
    auto st = level::ConvertTR5TextInfo(l);
    ASSERT_FALSE(st);
    EXPECT_EQ(st.error(), "ConvertTR5TextInfo -> ObjectTexture 1 invalid");
}

TEST(ConvertTextInfo, EveryLayoutGivesTheCornerNearestTheOrigin) {
    // A 32 x 16 rectangle at (64, 128), its corners starting at each of the four corners in turn.
    const std::pair<int, int> ring[4] = {{64, 128}, {95, 128}, {95, 143}, {64, 143}};
    for (int start = 0; start < 4; ++start) {
        for (bool reversed : {false, true}) {
            TRObjectTexture t;
            for (int k = 0; k < 4; ++k) {
                const int idx = reversed ? (start - k + 8) % 4 : (start + k) % 4;
                auto [x, y] = ring[idx];
                t.Vertices[k] = {static_cast<std::uint8_t>(x == 95 ? 255 : 1), static_cast<std::uint8_t>(x),
                                 static_cast<std::uint8_t>(y == 143 ? 255 : 1), static_cast<std::uint8_t>(y)};
            }
            t.Tile = 3;
            const auto tiles = level::ConvertTextInfo(std::span(&t, 1));
            EXPECT_EQ(tiles[0].RefU, 64) << start << reversed;
            EXPECT_EQ(tiles[0].RefV, 128) << start << reversed;
            EXPECT_EQ(tiles[0].SizeU, 31);
            EXPECT_EQ(tiles[0].SizeV, 15);
            EXPECT_EQ(tiles[0].Tile, 3);
            EXPECT_EQ(tiles[0].EdgeU, t.Vertices[0].XCoordinate == 255 ? 255 : 0);
        }
    }
}

TEST(ConvertTextInfo, RealLevelsGetTheSmallestCornerOfEveryTexture) {
    for (const char* name : {"tr1-test1.phd", "tr2-test1.tr2", "tr3-test1.tr2"}) {
        TESSARIN_REQUIRE_LEVEL(path, name);
        auto l = level::LoadLevel(path);
        ASSERT_TRUE(l) << l.error();
        ASSERT_EQ(l->TextureTiles.size(), l->ObjectTextures.size());
        for (std::size_t i = 0; i < l->ObjectTextures.size(); ++i) {
            const auto& t = l->ObjectTextures[i];
            const auto& tile = l->TextureTiles[i];
            // Triangles leave their fourth corner zero; rectangles use all four.
            const bool triangle = t.Vertices[3].XPixel == 0 && t.Vertices[3].YPixel == 0 &&
                                  t.Vertices[3].XCoordinate == 0 && t.Vertices[3].YCoordinate == 0;
            std::uint8_t minX = 255, minY = 255;
            for (int k = 0; k < (triangle ? 3 : 4); ++k) {
                minX = std::min(minX, t.Vertices[k].XPixel);
                minY = std::min(minY, t.Vertices[k].YPixel);
            }
            ASSERT_EQ(tile.RefU, minX) << name << " texture " << i;
            ASSERT_EQ(tile.RefV, minY) << name << " texture " << i;
            ASSERT_LE(tile.RefU + tile.SizeU, 255);
            ASSERT_LE(tile.RefV + tile.SizeV, 255);
            ASSERT_LT(tile.Tile, l->NumTextiles);
        }
    }
}
