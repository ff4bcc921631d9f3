// The sector map: fill colours by rule, item and static marks, and what clicks select.
#include <gtest/gtest.h>

#include "support/EditorTestLevel.h"
#include "editor/EditorSession.h"
#include "editor/SectorMap.h"

using namespace tessarin;
using editor::EditorSession;
using editor::Rgb;
using editor::SectorMap;
using editor::SectorPos;
using test::fdWord;
using test::makeLevel;
using test::makeRoom;
using test::setFloorData;

namespace {

Rgb fill(const level::TRLevel& l, int room, int x, int z) {
    floordata::FloorDataQueries fd(l.FloorData);
    return editor::sectorFillColour(l, l.Rooms[static_cast<std::size_t>(room)], x, z, fd);
}

}  // namespace

TEST(SectorMap, ThreeByThreeRoomColoursEdgesAndCentre) {
    auto l = makeLevel(2, {makeRoom(3, 3), makeRoom(1, 1)});
    setFloorData(l, 0, 0, 1, {fdWord(1, 0, true), 1});  // a door on an edge middle
    for (auto [x, z] : {std::pair{0, 0}, {0, 2}, {2, 0}, {2, 2}}) EXPECT_EQ(fill(l, 0, x, z), editor::kMapGrey);
    EXPECT_EQ(fill(l, 0, 0, 1), editor::kMapBlack);
    EXPECT_EQ(fill(l, 0, 1, 0), editor::kMapGrey);
    EXPECT_EQ(fill(l, 0, 2, 1), editor::kMapGrey);
    EXPECT_EQ(fill(l, 0, 1, 1), editor::kMapFloor);
    // A door on a corner does not make it black.
    setFloorData(l, 0, 2, 2, {fdWord(1, 0, true), 1});
    EXPECT_EQ(fill(l, 0, 2, 2), editor::kMapGrey);
}

TEST(SectorMap, InnerSectorRulesInOrder) {
    auto l = makeLevel(3, {makeRoom(3, 3)});
    auto& s = l.Rooms[0].sector(1, 1);
    setFloorData(l, 0, 1, 1, {fdWord(20), fdWord(21, 0, true)});
    EXPECT_EQ(fill(l, 0, 1, 1), editor::kMapMinecartBoth);
    setFloorData(l, 0, 1, 1, {fdWord(20, 0, true)});
    EXPECT_EQ(fill(l, 0, 1, 1), editor::kMapMinecartLeft);
    setFloorData(l, 0, 1, 1, {fdWord(21, 0, true)});
    EXPECT_EQ(fill(l, 0, 1, 1), editor::kMapMinecartRight);
    setFloorData(l, 0, 1, 1, {fdWord(20), fdWord(21), fdWord(19, 0, true)});
    EXPECT_EQ(fill(l, 0, 1, 1), editor::kMapMonkey);
    setFloorData(l, 0, 1, 1, {fdWord(4, 0, true), 0, test::fdAction(0, 1, true)});
    EXPECT_EQ(fill(l, 0, 1, 1), editor::kMapTrigger);
    s.FDIndex = 0;
    s.RoomBelow = 4;
    EXPECT_EQ(fill(l, 0, 1, 1), editor::kMapBlack);
    s.RoomBelow = 255;
    s.RoomAbove = 0;
    EXPECT_EQ(fill(l, 0, 1, 1), editor::kMapBlack);
    s.RoomAbove = 255;
    s.Floor = -127;
    EXPECT_EQ(fill(l, 0, 1, 1), editor::kMapWall);
    s.Floor = 5;
    s.Ceiling = 5;
    EXPECT_EQ(fill(l, 0, 1, 1), editor::kMapWall);
    s.Ceiling = -5;
    EXPECT_EQ(fill(l, 0, 1, 1), editor::kMapFloor);
}

TEST(SectorMap, BlockedBoxWinsInTR3AndTR4Only) {
    for (int version : {2, 3, 4, 5}) {
        auto l = makeLevel(version, {makeRoom(3, 3)});
        l.Boxes.resize(3);
        l.Boxes[2].OverlapIndex = static_cast<std::int16_t>(0x8005);
        setFloorData(l, 0, 0, 0, {fdWord(19, 0, true)});
        l.Rooms[0].sector(0, 0).BoxIndex = 2 * 16 + 3;  // box 2, low bits are not the box
        const bool blocked = version == 3 || version == 4;
        EXPECT_EQ(fill(l, 0, 0, 0), blocked ? editor::kMapBlockedBox : editor::kMapMonkey) << version;
        l.Rooms[0].sector(0, 0).BoxIndex = 0x3FF0;  // no box
        EXPECT_EQ(fill(l, 0, 0, 0), editor::kMapMonkey) << version;
        l.Rooms[0].sector(0, 0).BoxIndex = 50 * 16;  // a box the level does not have
        EXPECT_EQ(fill(l, 0, 0, 0), editor::kMapMonkey) << version;
    }
}

TEST(SectorMap, MarksShowItemsAIAndStatics) {
    auto l = makeLevel(4, {makeRoom(4, 4, 1024, 1024)});
    l.Items.push_back(test::itemAt(l, 0, 1, 1, 0));
    l.AIObjects.push_back(test::aiAt(l, 0, 2, 2, 400));
    level::TRRoomStatic st;
    st.X = 1024 + 1024 * 2 + 512;
    st.Z = 1024 + 1024 * 2 + 512;
    l.Rooms[0].StaticMeshes.push_back(st);
    st.X = 1024 + 512;
    st.Z = 1024 + 1024 * 3 + 512;
    l.Rooms[0].StaticMeshes.push_back(st);
    auto off = test::itemAt(l, 0, 3, 1, 0);
    off.Z += 1;
    l.Items.push_back(off);
    SectorMap m;
    m.build(l, 0);
    EXPECT_TRUE(m.cell(1, 1).itemMark);
    EXPECT_FALSE(m.cell(1, 1).staticMark);
    EXPECT_TRUE(m.cell(2, 2).itemMark);
    EXPECT_TRUE(m.cell(2, 2).staticMark);
    EXPECT_TRUE(m.cell(0, 3).staticMark);
    EXPECT_FALSE(m.cell(3, 1).itemMark);
    // Halves when both stand on the sector.
    EXPECT_EQ(SectorMap::itemMarkRect(2, 2, true), (editor::PixelRect{23, 23, 27, 25}));
    EXPECT_EQ(SectorMap::staticMarkRect(2, 2, true), (editor::PixelRect{23, 25, 27, 27}));
    EXPECT_EQ(SectorMap::itemMarkRect(1, 1, false), (editor::PixelRect{13, 13, 17, 17}));
    EXPECT_EQ(SectorMap::cellRect(1, 2), (editor::PixelRect{19, 9, 30, 20}));

    l.LevelVersion = 3;  // AI objects are not listed before TR4
    m.build(l, 0);
    EXPECT_FALSE(m.cell(2, 2).itemMark);
}

TEST(SectorMap, PixelLookupMapsColumnsToZAndRowsToX) {
    auto l = makeLevel(2, {makeRoom(4, 3)});
    SectorMap m;
    m.build(l, 0);
    EXPECT_EQ(m.sectorAtPixel(25, 14), (SectorPos{1, 2}));
    EXPECT_EQ(m.PixelSectorZ(25, 14), 3);
    EXPECT_EQ(m.PixelSectorX(25, 14), 2);
    EXPECT_FALSE(m.sectorAtPixel(30, 5));   // beyond the third column
    EXPECT_FALSE(m.sectorAtPixel(5, 40));   // beyond the fourth row
    EXPECT_EQ(m.PixelSectorZ(30, 5), 0);
    EXPECT_FALSE(m.sectorAtPixel(-1, 0));
}

TEST(SectorMap, ClicksOutsideTheMapOrBeforeOpeningAreIgnored) {
    EditorSession s(test::testNames());
    EXPECT_FALSE(s.SectorMapClick(5, 5, editor::kLeftButton, 0).handled);
    s.OpenLevel(makeLevel(2, {makeRoom(40, 40)}));
    EXPECT_FALSE(s.SectorMapClick(300, 5, editor::kLeftButton, 0).handled);
    EXPECT_FALSE(s.SectorMapClick(5, 300, editor::kLeftButton, 0).handled);
    EXPECT_EQ(s.info().title, "Sectors");
    const auto r = s.SectorMapClick(25, 14, editor::kLeftButton, editor::kAltMask);
    EXPECT_TRUE(r.handled);
    EXPECT_EQ(r.previewCentre, (SectorPos{1, 2}));
    EXPECT_EQ(s.SelectedX, 1);
    EXPECT_EQ(s.SelectedZ, 2);
    EXPECT_EQ(s.outline(), (SectorPos{1, 2}));
    EXPECT_EQ(s.info().title, "Sector Info [Sector  1, 2]");
}

TEST(SectorMap, LargeRoomsScrollAndEverySectorCanBeSelected) {
    auto l = makeLevel(2, {makeRoom(45, 64)});
    l.Rooms[0].sector(44, 63).Floor = 9;
    EditorSession s(test::testNames());
    s.OpenLevel(std::move(l));
    auto& m = s.map();
    EXPECT_TRUE(m.scrollable());
    EXPECT_EQ(m.canvasWidth(), 640);
    EXPECT_EQ(m.canvasHeight(), 450);
    m.setScroll(10000, 10000);
    EXPECT_EQ(m.scrollX(), 340);
    EXPECT_EQ(m.scrollY(), 150);
    // The last pixel of the view is the last sector of the room.
    EXPECT_EQ(m.sectorAtPixel(299, 299), (SectorPos{44, 63}));
    s.SectorMapClick(299, 299, editor::kLeftButton, 0);
    EXPECT_EQ(s.info().title, "Sector Info [Sector  44, 63]");
    EXPECT_EQ(s.info().floorHeight, "9");
    m.setScroll(0, 0);
    EXPECT_EQ(m.sectorAtPixel(0, 0), (SectorPos{0, 0}));
    // Visiting a sector off-view scrolls it into view.
    s.clickSector(40, 50);
    EXPECT_GE(40 * 10, m.scrollY());
    EXPECT_LE(40 * 10 + 10, m.scrollY() + 300);
    EXPECT_LE(50 * 10 + 10, m.scrollX() + 300);
    // Choosing the room again returns to the top-left corner.
    s.RoomNumber_Click(0);
    EXPECT_EQ(m.scrollX(), 0);
    EXPECT_EQ(m.scrollY(), 0);
}

TEST(SectorMap, RightClickGoesThroughDoorThenBelowThenAbove) {
    auto l = makeLevel(2, {makeRoom(3, 3), makeRoom(4, 5), makeRoom(2, 2), makeRoom(3, 3)});
    setFloorData(l, 0, 0, 1, {fdWord(1, 0, true), 1});
    l.Rooms[0].sector(1, 1).RoomBelow = 2;
    l.Rooms[0].sector(1, 1).RoomAbove = 3;
    l.Rooms[0].sector(2, 1).RoomAbove = 3;
    l.Rooms[0].sector(1, 2).RoomBelow = 9;  // a room the level does not have
    EditorSession s(test::testNames());
    s.OpenLevel(std::move(l));
    s.SectorMapClick(15, 5, editor::kRightButton, 0);  // sector (0, 1): the door
    EXPECT_EQ(s.CurRoom, 1);
    EXPECT_EQ(s.panels().roomSelected, 1);
    EXPECT_EQ(s.panels().roomInfo, "Room 1 -  4* 5");
    EXPECT_EQ(s.map().numX(), 4);
    s.RoomNumber_Click(0);
    s.SectorMapClick(15, 15, editor::kRightButton, 0);
    EXPECT_EQ(s.CurRoom, 2);
    s.RoomNumber_Click(0);
    s.SectorMapClick(15, 25, editor::kRightButton, 0);
    EXPECT_EQ(s.CurRoom, 3);
    s.RoomNumber_Click(0);
    s.SectorMapClick(25, 15, editor::kRightButton, 0);
    EXPECT_EQ(s.CurRoom, 0);  // nothing there
}

TEST(SectorMap, ChoosingARoomResetsSelectionButKeepsTheDescription) {
    auto l = makeLevel(2, {makeRoom(3, 3), makeRoom(3, 3)});
    l.Rooms[1].AlternateRoom = 0;
    EditorSession s(test::testNames());
    s.OpenLevel(std::move(l));
    EXPECT_EQ(s.panels().roomList, (std::vector<std::string>{"Room 0", "Room 1"}));
    EXPECT_EQ(s.panels().altRoom, "Alternate: -1");  // the test is against 255; a blank before -1 too
    s.clickSector(1, 1);
    const auto before = s.info().title;
    s.RoomNumber_Click(1);
    EXPECT_EQ(s.SelectedX, 0);
    EXPECT_EQ(s.SelectedZ, 0);
    EXPECT_FALSE(s.outline());
    EXPECT_EQ(s.info().title, before);
    EXPECT_EQ(s.panels().altRoom, "Alternate: 0");
    s.RoomNumber_Click(-1);
    s.RoomNumber_Click(2);
    EXPECT_EQ(s.CurRoom, 1);
    s.Level.Rooms[1].AlternateRoom = 255;
    s.RoomNumber_Click(1);
    EXPECT_EQ(s.panels().altRoom, "No alternate");
}

TEST(SectorMap, OpeningAnotherLevelShowsNothingOfThePreviousOne) {
    auto l = makeLevel(2, {makeRoom(3, 3), makeRoom(4, 5)});
    l.Moveables.resize(1);
    l.Moveables[0].ObjectID = 7;
    l.Items.push_back(test::itemAt(l, 1, 2, 2, 7));
    EditorSession s(test::testNames());
    s.OpenLevel(std::move(l));
    s.RoomNumber_Click(1);
    s.clickSector(2, 2);
    ASSERT_EQ(s.info().itemDescIndex, 0);
    // Another level: its room 0, no sector described and no object row chosen yet.
    s.OpenLevel(makeLevel(2, {makeRoom(3, 3)}));
    EXPECT_EQ(s.CurRoom, 0);
    EXPECT_EQ(s.info().title, editor::SectorInfo{}.title);
    EXPECT_EQ(s.info().itemDescIndex, -1);
    // A level without rooms: no room, an empty map, no room captions.
    s.clickSector(2, 2);
    s.OpenLevel(makeLevel(2, {}));
    EXPECT_EQ(s.CurRoom, -1);
    EXPECT_EQ(s.SelectedX, 0);
    EXPECT_EQ(s.map().numX(), 0);
    EXPECT_TRUE(s.panels().roomList.empty());
    EXPECT_EQ(s.panels().roomInfo, "");
    EXPECT_EQ(s.panels().altRoom, "");
    EXPECT_FALSE(s.SectorMapClick(5, 5, editor::kLeftButton, 0).handled);
}

TEST(SectorMap, SectorsAlongOneLongUnclosedListAreColouredByWhatLiesAheadOfEach) {
    // A million one-word entries without the closing bit: a code 20 a little way in, then a
    // trigger, a door and the closing entry at the far end. Each of 10,000 sectors names its own
    // place before the code 20 or after it; walking each afresh would take some 15 billion steps.
    constexpr std::size_t kWords = 1'000'000, kCode20 = 15'001;
    auto l = makeLevel(3, {makeRoom(100, 100)});
    l.FloorData.assign(kWords, fdWord(5));
    l.FloorData[0] = 0;
    l.FloorData[kCode20] = fdWord(20);
    l.FloorData.insert(l.FloorData.end(), {fdWord(4), 0, test::fdAction(0, 1, true), fdWord(1), 7, fdWord(5, 0, true)});
    auto& sectors = l.Rooms[0].Sectors;
    for (std::size_t i = 0; i < sectors.size(); ++i) sectors[i].FDIndex = static_cast<std::uint16_t>(1 + 3 * i);
    SectorMap m;
    m.build(l, 0);
    for (int x = 0; x < 100; ++x)
        for (int z = 0; z < 100; ++z) {
            const bool edgeX = x == 0 || x == 99, edgeZ = z == 0 || z == 99;
            Rgb expected = edgeX && edgeZ ? editor::kMapGrey : edgeX || edgeZ ? editor::kMapBlack : editor::kMapTrigger;
            if (sectors[static_cast<std::size_t>(x) * 100 + z].FDIndex <= kCode20) expected = editor::kMapMinecartLeft;
            ASSERT_EQ(m.cell(x, z).fill, expected) << x << ", " << z;
        }
}

TEST(SectorMap, BrokenRoomsGiveAnEmptyMap) {
    auto l = makeLevel(2, {makeRoom(3, 3)});
    l.Rooms[0].Sectors.resize(4);  // fewer records than the grid needs
    SectorMap m;
    m.build(l, 0);
    EXPECT_EQ(m.numX(), 0);
    EXPECT_FALSE(m.sectorAtPixel(5, 5));
    m.build(l, 7);
    EXPECT_EQ(m.room(), -1);
}

TEST(SectorMap, AtEveryZoomEveryPixelOfACellSelectsThatCellAndItsOutlineFramesIt) {
    auto l = makeLevel(3, {makeRoom(6, 20)});
    EditorSession s(test::testNames());
    s.OpenLevel(std::move(l));
    auto& m = s.map();
    EXPECT_EQ(m.cellPixels(), 10);  // the 10-pixel map by default
    EXPECT_EQ(m.fitCellPixels(), 15);
    for (int cell : SectorMap::kZoomSteps) {
        SCOPED_TRACE(cell);
        m.setCellPixels(cell);
        ASSERT_EQ(m.cellPixels(), cell);
        EXPECT_EQ(m.maxScrollX(), std::max(0, 20 * cell - 300));
        for (int scroll : {0, 7, 10000}) {
            m.setScroll(scroll, scroll);
            for (int x = 0; x < 6; ++x)
                for (int z = 0; z < 20; ++z) {
                    const auto r = m.toView(SectorMap::cellRect(x, z));
                    // Every pixel a cell owns alone (inside its outline) and in view finds it.
                    for (int py = std::max(r.top + 1, 0); py < std::min(r.bottom - 1, 300); ++py)
                        for (int px = std::max(r.left + 1, 0); px < std::min(r.right - 1, 300); ++px) {
                            ASSERT_EQ(m.sectorAtPixel(px, py), (SectorPos{x, z})) << px << "," << py;
                        }
                }
        }
        // A click selects through the zoomed view, and a visited sector is scrolled into it.
        s.clickSector(5, 19);
        const auto box = m.toView(SectorMap::cellRect(5, 19));
        EXPECT_GE(box.left + 1, 0);
        EXPECT_LE(box.right - 1, 300);
        s.SectorMapClick(box.left + 2, box.top + 2, editor::kLeftButton, 0);
        EXPECT_EQ(s.SelectedX, 5);
        EXPECT_EQ(s.SelectedZ, 19);
    }
    // Steps walk the table and stop at its ends; sizes outside the range are clamped; a new room
    // keeps the zoom; a large room fits below 10 pixels, a small one above.
    m.setCellPixels(10);
    m.zoomBy(1);
    EXPECT_EQ(m.cellPixels(), 15);
    m.zoomBy(-2);
    EXPECT_EQ(m.cellPixels(), 9);
    m.zoomBy(100);
    EXPECT_EQ(m.cellPixels(), SectorMap::kMaxCell);
    m.setCellPixels(-3);
    EXPECT_EQ(m.cellPixels(), SectorMap::kMinCell);
    m.setCellPixels(20);
    s.RoomNumber_Click(0);
    EXPECT_EQ(m.cellPixels(), 20);
    m.build(makeLevel(3, {makeRoom(31, 31)}), 0);
    EXPECT_EQ(m.fitCellPixels(), 9);
    m.build(makeLevel(3, {makeRoom(7, 3)}), 0);
    EXPECT_EQ(m.fitCellPixels(), 40);
}
