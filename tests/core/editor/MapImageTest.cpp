// The exported map picture: its size at every scale and its pixels against the map model.
#include <gtest/gtest.h>

#include "support/AllocationLimit.h"
#include "support/EditorTestLevel.h"
#include "support/PngRead.h"
#include "support/TestPaths.h"
#include "editor/MapImage.h"
#include "editor/SectorHover.h"

using namespace tessarin;

TEST(MapImage, EveryCellShowsTheModelsColourAndMarksAtEveryScale) {
    auto l = test::makeLevel(3, {test::makeRoom(4, 6)});
    l.Rooms[0].sector(2, 3).Floor = -127;                 // wall
    l.Items.push_back(test::itemAt(l, 0, 1, 2, 0));       // item mark
    editor::SectorMap map;
    map.build(l, 0);
    ASSERT_TRUE(map.cell(1, 2).itemMark);
    for (int scale = editor::kMinMapScale; scale <= editor::kMaxMapScale; ++scale) {
        SCOPED_TRACE(scale);
        const int cell = 10 * scale;
        const auto img = editor::renderMapImage(map, cell);
        ASSERT_EQ(img.width, 60 * scale);
        ASSERT_EQ(img.height, 40 * scale);
        auto at = [&](int px, int py) {
            px = editor::SectorMap::zoomCoord(px, cell);
            py = editor::SectorMap::zoomCoord(py, cell);
            const std::uint8_t* p = &img.pixels[(static_cast<std::size_t>(py) * img.width + px) * 4];
            return editor::Rgb{p[0], p[1], p[2]};
        };
        for (int x = 0; x < 4; ++x)
            for (int z = 0; z < 6; ++z) {
                EXPECT_EQ(at(10 * z + 1, 10 * x + 1), map.cell(x, z).fill);
                if (z < 5) {
                    EXPECT_EQ(at(10 * z + 9, 10 * x + 5), editor::kMapBlack);  // the outline between cells
                }
            }
        EXPECT_EQ(at(10 * 2 + 4, 10 * 1 + 4), editor::kMapItemMark);
        EXPECT_EQ(at(10 * 3 + 1, 10 * 2 + 1), editor::kMapWall);
    }
    // Cells below 10 pixels draw too; sizes outside the range are clamped; an empty map still
    // gives a picture.
    const auto small = editor::renderMapImage(map, 6);
    EXPECT_EQ(small.width, 36);
    EXPECT_EQ(small.pixels[(std::size_t(6 * 2 + 2) * 36 + 6 * 3 + 2) * 4 + 1], editor::kMapWall.g);
    EXPECT_EQ(editor::renderMapImage(map, 0).width, 6 * editor::SectorMap::kMinCell);
    EXPECT_EQ(editor::renderMapImage(map, 1000).width, 60 * editor::kMaxMapScale);
    EXPECT_EQ(editor::renderMapImage(editor::SectorMap{}, 2).width, 1);
}

TEST(Png, WrittenPicturesReadBackAndImpossibleSizesAreRefused) {
    util::RgbaPixels img(3, 2);
    img.set(0, 0, 255, 0, 0);
    img.set(2, 1, 1, 2, 3, 4);
    const auto path = test::scratchDir("png") / "small.png";
    ASSERT_TRUE(util::writePng(path, img));
    const auto back = test::readOwnPng(path);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->pixels, img.pixels);
    EXPECT_FALSE(util::encodePng(util::RgbaPixels(0, 5)));
    util::RgbaPixels lying;
    lying.width = lying.height = 100;  // says 100 x 100 but holds nothing
    EXPECT_FALSE(util::encodePng(lying));
}

TEST(SectorHover, NamesPositionHeightsInClicksAndWhatStandsThere) {
    auto l = test::makeLevel(3, {test::makeRoom(4, 4, 2048, 4096), test::makeRoom(2, 2)});
    l.Rooms[0].sector(1, 2).Floor = 4;
    l.Rooms[0].sector(1, 2).RoomBelow = 1;
    l.Rooms[0].sector(3, 3).Floor = -127;
    l.Items.push_back(test::itemAt(l, 0, 1, 2, 0));
    l.Items.push_back(test::itemAt(l, 0, 1, 2, 0));
    EXPECT_EQ(editor::describeHover(l, 0, 1, 2),
              "Room 0  sector x 1, z 2  world (3584, 6656)  floor 4 clicks (1024)  ceiling -20 clicks (-5120)"
              "  2 items, 0 statics, room below 1");
    EXPECT_NE(editor::describeHover(l, 0, 3, 3).find("  wall  0 items"), std::string::npos);
    EXPECT_EQ(editor::describeHover(l, 0, 4, 0), "");
    // Codes 19-21, which colour the map, are named as the sector panel's buttons name them.
    l.FloorData = {0, 0x13, 0x14, 0x8015};
    l.Rooms[0].sector(2, 2).FDIndex = 1;
    const std::string tail = ", monkey swing, Minecart Left, Minecart Right";
    EXPECT_TRUE(editor::describeHover(l, 0, 2, 2).ends_with(tail)) << editor::describeHover(l, 0, 2, 2);
    l.LevelVersion = level::kVersionTR4;
    EXPECT_TRUE(editor::describeHover(l, 0, 2, 2).ends_with(", monkey swing, Trigger Triggerer, Clockwise Beatle"));
    EXPECT_EQ(editor::describeHover(l, 7, 0, 0), "");
}

TEST(SectorHover, TheLegendNamesOnlyWhatTheLevelsVersionCanShow) {
    const std::string tr2 = editor::mapLegend(level::kVersionTR2), tr3 = editor::mapLegend(level::kVersionTR3),
                      tr4 = editor::mapLegend(level::kVersionTR4), tr5 = editor::mapLegend(level::kVersionTR5);
    EXPECT_EQ(tr2.find("monkey"), std::string::npos);
    EXPECT_EQ(tr2.find("blocked box"), std::string::npos);
    EXPECT_EQ(tr2.find("blue / green / red"), std::string::npos);
    EXPECT_NE(tr3.find("Minecart Left / Minecart Right"), std::string::npos);
    EXPECT_NE(tr4.find("blocked box"), std::string::npos);
    EXPECT_NE(tr5.find("Trigger Triggerer / Clockwise Beatle"), std::string::npos);
    EXPECT_EQ(tr5.find("Minecart"), std::string::npos);
    EXPECT_EQ(tr5.find("blocked box"), std::string::npos);
}

TEST(MapImage, APictureOfBillionsOfPixelsIsRefusedBySizeBeforeAnythingIsDrawn) {
    auto l = test::makeLevel(4, {test::makeRoom(600, 500)});
    editor::SectorMap map;
    map.build(l, 0);
    test::AllocationLimit limit(1024 * 1024);
    EXPECT_EQ(editor::mapImageRefusal(map, 80),
              "the map of 500 x 600 sectors would be 40000 x 48000 pixels, more than the 16777216 a map picture "
              "may have");
    EXPECT_THROW(editor::renderMapImage(map, 80), util::Error);
    EXPECT_EQ(editor::mapImageRefusal(map, 4), "");  // 2000 x 2400 at the smallest zoom
}
