// The items panel: which entries stand on a sector, how the chosen entry is shown, and the edits.
#include <gtest/gtest.h>

#include "support/AllocationLimit.h"
#include "support/EditorTestLevel.h"
#include "editor/EditorSession.h"
#include "editor/Objects.h"

using namespace tessarin;
using editor::EditorSession;
using editor::Facing;
using test::aiAt;
using test::itemAt;
using test::makeLevel;
using test::makeRoom;

namespace {

// Room 0: 5 x 5 at (2048, 4096); room 1: 3 x 3.
level::TRLevel twoRooms(int version) {
    return makeLevel(version, {makeRoom(5, 5, 2048, 4096), makeRoom(3, 3, 0, 0)});
}

EditorSession openAt(level::TRLevel l, int room, int x, int z) {
    EditorSession s(test::testNames());
    s.OpenLevel(std::move(l));
    s.RoomNumber_Click(room);
    s.clickSector(x, z);
    return s;
}

}  // namespace

TEST(ItemsPanel, OnlyExactSectorCentresCount) {
    auto l = twoRooms(2);
    l.Items.push_back(itemAt(l, 0, 1, 2, 5));
    auto off = itemAt(l, 0, 1, 2, 5);
    off.X += 1;
    l.Items.push_back(off);
    l.Items.push_back(itemAt(l, 1, 1, 2, 5));  // the same cell of another room
    const auto c = editor::sectorCentre(l.Rooms[0], 1, 2);
    EXPECT_EQ(c.x, 2048 + 1024 + 512);
    EXPECT_EQ(c.z, 4096 + 2048 + 512);
    EXPECT_EQ(editor::GetSectorItems(l, 0, c.x, c.z), std::vector<int>{0});
    // Item 1, one unit off the centre, is listed on no sector of its room.
    auto s = openAt(std::move(l), 0, 0, 0);
    for (int x = 0; x < 5; ++x)
        for (int z = 0; z < 5; ++z) {
            s.clickSector(x, z);
            for (const auto& e : s.info().entries) EXPECT_NE(e, "Item 1");
            EXPECT_EQ(s.map().cell(x, z).itemMark, x == 1 && z == 2);
        }
}

TEST(ItemsPanel, AIObjectsFollowItemsOnlyFromTR4On) {
    for (int version : {3, 4, 5}) {
        auto l = twoRooms(version);
        for (int i = 0; i < 20; ++i) l.Items.push_back(itemAt(l, 0, i == 3 || i == 7 ? 2 : 1, 1, i));
        for (int j = 0; j < 4; ++j) l.AIObjects.push_back(aiAt(l, 0, j == 2 ? 2 : 3, 1, 400));
        const auto c = editor::sectorCentre(l.Rooms[0], 2, 1);
        const auto list = editor::GetSectorItems(l, 0, c.x, c.z);
        if (version >= 4) EXPECT_EQ(list, (std::vector<int>{3, 7, 22})) << version;
        else EXPECT_EQ(list, (std::vector<int>{3, 7})) << version;
    }
}

TEST(ItemsPanel, LookupsStayInsideTheArrays) {
    auto l = twoRooms(4);
    l.Items.push_back(itemAt(l, 0, 1, 1, 12));
    l.AIObjects.push_back(aiAt(l, 0, 1, 1, 401));
    EXPECT_EQ(editor::GetItemObjectID(l, 1), 401);
    EXPECT_FALSE(editor::GetItemObjectID(l, 2));
    EXPECT_FALSE(editor::GetItemObjectID(l, -1));
    EXPECT_FALSE(editor::FindMoveable(l, 13));
    l.StaticMeshes.resize(2);
    l.StaticMeshes[1].ObjectID = 7;
    EXPECT_EQ(editor::FindStaticMesh(l, 8), 0);  // none matches
    l.Rooms[0].StaticMeshes.resize(3);
    for (auto& st : l.Rooms[0].StaticMeshes) {
        st.X = 2048 + 512;
        st.Z = 4096 + 512;
    }
    l.Rooms[0].StaticMeshes[1].Z += 1024;
    EXPECT_EQ(editor::GetSectorStatics(l, 0, 2048 + 512, 4096 + 512), (std::vector<int>{0, 2}));
    EXPECT_TRUE(editor::GetSectorStatics(l, 9, 2048 + 512, 4096 + 512).empty());
}

TEST(ItemsPanel, FirstEntryShowsTypeNumberOCBFlagsAndFacing) {
    auto l = twoRooms(4);
    l.Moveables.resize(2);
    l.Moveables[0].ObjectID = 3;
    l.Moveables[1].ObjectID = 12;
    for (int i = 0; i < 5; ++i) l.Items.push_back(itemAt(l, 0, 0, 0, 0));
    auto it = itemAt(l, 0, 2, 3, 12, 0x0A00 | 0x0100 | 0x8000);
    it.OCB = 7;
    it.Angle = 100;
    l.Items.push_back(it);  // item 5
    auto s = openAt(std::move(l), 0, 2, 3);
    const auto& in = s.info();
    EXPECT_EQ(in.itemCount, " 1 item");
    EXPECT_EQ(in.entries, std::vector<std::string>{"Item 5"});
    EXPECT_EQ(in.entrySelected, 0);
    EXPECT_EQ(in.itemID, "Item 5 - ObjectID 12");
    EXPECT_EQ(in.itemOCB, "7");
    EXPECT_EQ(in.itemDescIndex, 1);
    EXPECT_EQ(in.activeFlags, (std::array<bool, 5>{true, false, true, false, false}));
    EXPECT_TRUE(in.itemInvisible);
    EXPECT_TRUE(in.itemClearBody);
    EXPECT_EQ(in.facing, Facing::East);  // 100 is none of the other three
    EXPECT_EQ(s.CurItem, 5);
    EXPECT_EQ(in.itemNumTriggers, "This object has  0 triggers");
    EXPECT_TRUE(in.itemControlsVisible);
    // A sector without items shows nothing of the item described before it.
    s.clickSector(1, 1);
    EXPECT_FALSE(in.itemControlsVisible);
    EXPECT_EQ(in.activeFlags, (std::array<bool, 5>{}));
    EXPECT_FALSE(in.itemInvisible || in.itemClearBody);
    EXPECT_EQ(in.itemNumTriggers, editor::SectorInfo{}.itemNumTriggers);
}

TEST(ItemsPanel, FacingsHighlightAndWriteTheirAngles) {
    EXPECT_EQ(editor::facingOf(-16384), Facing::North);
    EXPECT_EQ(editor::facingOf(16384), Facing::South);
    EXPECT_EQ(editor::facingOf(-32768), Facing::West);
    EXPECT_EQ(editor::facingOf(0), Facing::East);
    auto l = twoRooms(3);
    l.Items.push_back(itemAt(l, 0, 1, 1, 0));
    auto s = openAt(std::move(l), 0, 2, 2);  // no entries: no row chosen
    s.ItemNorth_Click();
    EXPECT_EQ(s.Level.Items[0].Angle, 0);
    s.clickSector(1, 1);
    s.ItemNorth_Click();
    EXPECT_EQ(s.Level.Items[0].Angle, -16384);
    EXPECT_EQ(s.info().facing, Facing::North);
    s.ItemWest_Click();
    EXPECT_EQ(s.Level.Items[0].Angle, -32768);
    s.ItemSouth_Click();
    EXPECT_EQ(s.Level.Items[0].Angle, 16384);
    s.ItemEast_Click();
    EXPECT_EQ(s.Level.Items[0].Angle, 0);
}

TEST(ItemsPanel, AIEntryShowsItsOwnFieldsAndIsNeverTurned) {
    auto l = twoRooms(4);
    l.Items.push_back(itemAt(l, 0, 0, 0, 1));
    l.Items.push_back(itemAt(l, 0, 0, 0, 1));
    l.AIObjects.push_back(aiAt(l, 0, 0, 0, 9));
    l.AIObjects.push_back(aiAt(l, 0, 3, 3, 402, -4, 0x000A));
    auto s = openAt(std::move(l), 0, 3, 3);
    const auto& in = s.info();
    EXPECT_EQ(in.entries, std::vector<std::string>{"AI 1"});
    EXPECT_EQ(in.itemID, "AI 1 - ObjectID 402");
    EXPECT_EQ(in.itemOCB, "-4");
    EXPECT_EQ(in.activeFlags, (std::array<bool, 5>{true, false, true, false, false}));
    EXPECT_FALSE(in.itemInvisible);
    EXPECT_EQ(in.facing, Facing::None);
    EXPECT_EQ(s.CurItem, -1);
    const auto before = s.Level;
    s.ItemNorth_Click();
    EXPECT_EQ(s.Level.Items[0].Angle, before.Items[0].Angle);
    EXPECT_EQ(s.Level.AIObjects[1].Extra, before.AIObjects[1].Extra);
    EXPECT_EQ(s.ItemNextTrigger_Click().kind, editor::Feedback::Kind::None);
}

TEST(ItemsPanel, ChoosingAnotherEntryShowsItAndResetsTheTriggerWalk) {
    auto l = twoRooms(4);
    l.Items.push_back(itemAt(l, 0, 1, 1, 4));
    l.Items.push_back(itemAt(l, 0, 1, 1, 6));
    l.AIObjects.push_back(aiAt(l, 0, 1, 1, 8, 3, 0x20));
    auto s = openAt(std::move(l), 0, 1, 1);
    EXPECT_EQ(s.info().entries, (std::vector<std::string>{"Item 0", "Item 1", "AI 0"}));
    EXPECT_EQ(s.info().itemCount, " 3 items");
    s.NextTriggerPos = 4;
    s.SecCurItem_Click(1);
    EXPECT_EQ(s.CurItem, 1);
    EXPECT_EQ(s.NextTriggerPos, 0);
    EXPECT_EQ(s.info().itemID, "Item 1 - ObjectID 6");
    EXPECT_EQ(s.info().itemNumTriggers, "This object has 0 triggers");  // plain digits when choosing
    s.SecCurItem_Click(2);
    EXPECT_EQ(s.CurItem, -1);
    EXPECT_EQ(s.info().itemID, "AI 0 - ObjectID 8");
    EXPECT_EQ(s.info().itemOCB, " 3");
    EXPECT_EQ(s.info().activeFlags, (std::array<bool, 5>{false, false, false, false, true}));
    s.SecCurItem_Click(3);  // no such row
    EXPECT_EQ(s.info().entrySelected, 2);

    // Edits restored (Undo) keep the entry shown, found again by what it is: here an item added
    // to the sector is taken away, so the AI object's entry number moves.
    s.Level.Items.push_back(itemAt(s.Level, 0, 1, 1, 9));
    s.clickSector(1, 1);
    s.SecCurItem_Click(3);
    EXPECT_EQ(s.info().itemID, "AI 0 - ObjectID 8");
    s.Level.Items.pop_back();
    s.editsRestored(false);
    EXPECT_EQ(s.info().entrySelected, 2);
    EXPECT_EQ(s.info().itemID, "AI 0 - ObjectID 8");
    s.SecCurItem_Click(1);
    s.editsRestored(false);
    EXPECT_EQ(s.info().itemID, "Item 1 - ObjectID 6");
}

TEST(ItemsPanel, RetypingUsesMoveablesOrTheWholeTable) {
    auto l = twoRooms(3);
    l.Moveables.resize(2);
    l.Moveables[0].ObjectID = 30;
    l.Moveables[1].ObjectID = 45;
    l.Items.push_back(itemAt(l, 0, 1, 1, 30));
    auto s = openAt(std::move(l), 0, 1, 1);
    ASSERT_EQ(s.panels().itemDescList, (std::vector<std::string>{"OBJ3_30", "OBJ3_45"}));
    EXPECT_TRUE(s.panels().allItemsEnabled);
    s.ItemDesc_Click(1);
    EXPECT_EQ(s.Level.Items[0].ObjectID, 45);
    EXPECT_EQ(s.info().itemID, "Item 0 - ObjectID 45");

    s.AllItems_Click(true);
    EXPECT_EQ(s.panels().itemDescList.size(), 374u);
    EXPECT_EQ(s.panels().itemDescList[373], "OBJ3_373");
    EXPECT_EQ(s.info().itemDescIndex, 45);
    s.ItemDesc_Click(300);
    EXPECT_EQ(s.Level.Items[0].ObjectID, 300);
    s.ItemDesc_Click(374);  // beyond the list: nothing
    EXPECT_EQ(s.Level.Items[0].ObjectID, 300);
}

TEST(ItemsPanel, AllItemsListHas374RowsWhateverTheLevelHolds) {
    for (int version : {1, 2, 3, 4, 5}) {
        EditorSession s(test::testNames());
        s.OpenLevel(makeLevel(version, {makeRoom(3, 3)}));
        EXPECT_TRUE(s.panels().itemDescList.empty());
        EXPECT_EQ(s.panels().allItemsEnabled, version == 3);
        s.AllItems_Click(true);
        EXPECT_EQ(s.panels().itemDescList.size(), 374u) << version;
    }
}

TEST(ItemsPanel, RetypingAnAIObjectWritesTheAIRecord) {
    auto l = twoRooms(4);
    l.Moveables.resize(1);
    l.Moveables[0].ObjectID = 410;
    l.Items.push_back(itemAt(l, 0, 0, 0, 1));
    l.AIObjects.push_back(aiAt(l, 0, 2, 2, 400));
    auto s = openAt(std::move(l), 0, 3, 3);  // no entries: nothing is retyped
    s.ItemDesc_Click(0);
    EXPECT_EQ(s.Level.Items[0].ObjectID, 1);
    s.clickSector(2, 2);
    s.ItemDesc_Click(0);
    EXPECT_EQ(s.Level.AIObjects[0].ObjectID, 410);
    EXPECT_EQ(s.Level.Items[0].ObjectID, 1);
}

TEST(ItemsPanel, NewItemStandsOnTheSectorCentreWithTheFloorHeight) {
    auto l = twoRooms(3);
    l.Rooms[0].sector(1, 2).Floor = static_cast<std::int8_t>(0xFE);
    l.Rooms[0].sector(3, 3).Floor = static_cast<std::int8_t>(0x80);
    l.Items.push_back(itemAt(l, 1, 0, 0, 0));
    auto s = openAt(std::move(l), 0, 1, 2);
    s.ItemAdd_Click();
    ASSERT_EQ(s.Level.Items.size(), 2u);
    const auto& it = s.Level.Items[1];
    EXPECT_EQ(it.ObjectID, 0);
    EXPECT_EQ(it.Room, 0);
    EXPECT_EQ(it.X, 2048 + 1024 + 512);
    EXPECT_EQ(it.Z, 4096 + 2048 + 512);
    EXPECT_EQ(it.Y, -512);
    EXPECT_EQ(it.Angle, 0);
    EXPECT_EQ(it.Intensity1, -32768);
    EXPECT_EQ(it.OCB, -32768);
    EXPECT_EQ(it.Flags, 0x3E00);
    // The panel and the map show it at once; the sector stays selected.
    EXPECT_EQ(s.SelectedX, 1);
    EXPECT_EQ(s.SelectedZ, 2);
    EXPECT_EQ(s.info().entries, std::vector<std::string>{"Item 1"});
    EXPECT_TRUE(s.map().cell(1, 2).itemMark);

    s.clickSector(3, 3);
    s.ItemAdd_Click();
    EXPECT_EQ(s.Level.Items.back().Y, 32768);

    // In a room just chosen the selection is its corner while the panels still describe the
    // sector before: nothing is added until a sector of this room is chosen.
    const auto count = s.Level.Items.size();
    s.RoomNumber_Click(1);
    s.ItemAdd_Click();
    EXPECT_EQ(s.Level.Items.size(), count);
    s.clickSector(1, 1);
    s.ItemAdd_Click();
    EXPECT_EQ(s.Level.Items.size(), count + 1);
    EXPECT_EQ(s.Level.Items.back().Room, 1);
}

TEST(ItemsPanel, ItemAddedAfterOpenHasNoTriggerElementAndIsSafe) {
    auto l = twoRooms(3);
    l.Items.push_back(itemAt(l, 0, 1, 1, 0));
    auto s = openAt(std::move(l), 0, 2, 2);
    ASSERT_EQ(s.ItemTriggers.size(), 1u);
    s.ItemAdd_Click();
    EXPECT_EQ(s.ItemTriggers.size(), 1u);  // not extended
    EXPECT_EQ(s.CurItem, 1);
    EXPECT_EQ(s.info().itemNumTriggers, "This object has  0 triggers");
    const auto fb = s.ItemNextTrigger_Click();
    EXPECT_EQ(fb.kind, editor::Feedback::Kind::Message);
    EXPECT_EQ(fb.text, "No trigger found for this object!");
    EXPECT_EQ(fb.title, "Tessarin2");
}


TEST(ItemsPanel, ALevelWhoseTriggersCannotBeIndexedIsRefusedAndTheOpenOneStays) {
    auto s = openAt(twoRooms(3), 1, 1, 1);
    // 17,000 sectors sharing one trigger that names all 512 items: past the index's ceiling.
    auto hostile = makeLevel(3, {makeRoom(170, 100)});
    hostile.Items.resize(512);
    hostile.FloorData.push_back(0x8004);  // the trigger, the last entry
    hostile.FloorData.push_back(0);
    for (int i = 0; i < 512; ++i) hostile.FloorData.push_back(static_cast<std::uint16_t>(i | (i == 511 ? 0x8000 : 0)));
    for (auto& sector : hostile.Rooms[0].Sectors) sector.FDIndex = 1;
    const util::Status opened = s.OpenLevel(std::move(hostile));
    ASSERT_FALSE(opened.ok());
    EXPECT_NE(opened.error().find("trigger index"), std::string::npos) << opened.error();
    EXPECT_EQ(s.Level.Rooms.size(), 2u);
    EXPECT_EQ(s.CurRoom, 1);
    EXPECT_TRUE(s.LevelLoaded);
}

TEST(ItemsPanel, ASectorOfMillionsOfItemsListsTheFirstTenThousandAndCountsThemAll) {
    auto l = twoRooms(4);
    l.Items.assign(1'000'000, itemAt(l, 0, 1, 1, 4));
    EditorSession s(test::testNames());
    s.OpenLevel(std::move(l));
    s.RoomNumber_Click(0);
    {
        // A list of every entry would take 36 MB here, and its rows in the window ten times that.
        test::AllocationLimit limit(16 * 1024 * 1024);
        s.clickSector(1, 1);
    }
    EXPECT_EQ(s.info().itemCount, " 1000000 items");
    ASSERT_EQ(s.info().entries.size(), editor::kMaxSectorEntries);
    EXPECT_EQ(s.shownEntries().size(), editor::kMaxSectorEntries);
    EXPECT_EQ(s.info().entries.back(), "Item 9999");
}
