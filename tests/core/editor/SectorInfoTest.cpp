// The sector description: doors, trigger texts, timer and flags, heights, counts, minecart labels,
// and the Next Trigger / Find Object walks.
#include <gtest/gtest.h>

#include "support/EditorTestLevel.h"
#include "editor/EditorSession.h"
#include "editor/SectorInfo.h"

using namespace tessarin;
using editor::EditorSession;
using editor::Feedback;
using test::fdAction;
using test::fdWord;
using test::itemAt;
using test::makeLevel;
using test::makeRoom;
using test::setFloorData;

namespace {

EditorSession open(level::TRLevel l) {
    EditorSession s(test::testNames());
    s.OpenLevel(std::move(l));
    return s;
}

}  // namespace

TEST(SectorInfo, SectorWithoutFloorDataKeepsThePreviousTrigger) {
    auto l = makeLevel(2, {makeRoom(4, 4)});
    setFloorData(l, 0, 1, 1, {fdWord(4, 2, true), 0x0205, fdAction(1, 3, false), 0x8000});
    auto s = open(std::move(l));
    s.clickSector(1, 1);
    EXPECT_EQ(s.info().triggerList, std::vector<std::string>{"SWITCH for CAMERA 3"});
    s.clickSector(2, 2);
    const auto& in = s.info();
    EXPECT_EQ(in.doorSide, "None");
    EXPECT_EQ(in.doorBelow, "None");
    EXPECT_EQ(in.doorAbove, "None");
    EXPECT_EQ(in.fdLabel, " 0 Triggers");
    EXPECT_FALSE(in.triggerShown);
    EXPECT_EQ(in.triggerList, std::vector<std::string>{"SWITCH for CAMERA 3"});
    EXPECT_EQ(in.timer, "Timer 5");
    EXPECT_EQ(in.triggerFlags, (std::array<bool, 5>{true, false, false, false, false}));
    EXPECT_EQ(in.floorHeight, "0");
    EXPECT_EQ(in.ceilingHeight, "236");
    EXPECT_EQ(in.title, "Sector Info [Sector  2, 2]");
}

TEST(SectorInfo, SwitchWithTwoObjectsAndACameraListsThreeEntries) {
    auto l = makeLevel(3, {makeRoom(4, 4)});
    for (int i = 0; i < 5; ++i) l.Items.push_back(itemAt(l, 0, 0, 0, 10 + i));
    setFloorData(l, 0, 1, 2,
                 {fdWord(4, 2, true), 0x3E05, fdAction(0, 3), fdAction(0, 4), fdAction(1, 0), 0x8000});
    auto s = open(std::move(l));
    s.clickSector(1, 2);
    const auto& in = s.info();
    EXPECT_EQ(in.fdLabel, " 3 Triggers");
    EXPECT_EQ(in.triggerList, (std::vector<std::string>{"SWITCH for OBJECT 3 (OBJ3_13)", "SWITCH for OBJECT 4 (OBJ3_14)",
                                                        "SWITCH for CAMERA 0"}));
    EXPECT_EQ(in.triggerSelected, 0);
    EXPECT_EQ(in.timer, "Timer 5");
    EXPECT_EQ(in.triggerFlags, (std::array<bool, 5>{true, true, true, true, true}));
    EXPECT_TRUE(in.triggerShown);
}

TEST(SectorInfo, OneActionReadsTriggerSingular) {
    auto l = makeLevel(2, {makeRoom(3, 3)});
    setFloorData(l, 0, 1, 1, {fdWord(4, 0, true), 0, fdAction(9, 600 % 512, true)});
    auto s = open(std::move(l));
    s.clickSector(1, 1);
    EXPECT_EQ(s.info().fdLabel, " 1 Trigger");
    EXPECT_EQ(s.info().triggerList, std::vector<std::string>{"TRIGGER for FLIPEFFECT 88"});
}

TEST(SectorInfo, AChainOfTriggersBeyondTheListsCapListsTheFirstTenThousandAndCountsThemAll) {
    // A damaged list of 30,000 one-action triggers without the closing bit until the last one.
    auto l = makeLevel(3, {makeRoom(3, 3)});
    l.Rooms[0].sector(1, 1).FDIndex = 1;
    for (int i = 0; i < 30000; ++i)
        l.FloorData.insert(l.FloorData.end(), {fdWord(4, 0, i == 29999), 0, fdAction(9, i % 512, true)});
    auto s = open(std::move(l));
    s.clickSector(1, 1);
    EXPECT_EQ(s.info().fdLabel, " 30000 Triggers");
    ASSERT_EQ(s.info().triggerList.size(), editor::kMaxSectorEntries);
    EXPECT_EQ(s.info().triggerList.back(), "TRIGGER for FLIPEFFECT 271");  // action 9999
}

TEST(SectorInfo, ObjectActionsNamingNothingStillDescribe) {
    auto l = makeLevel(4, {makeRoom(3, 3)});
    l.Items.push_back(itemAt(l, 0, 0, 0, 480));  // an ID past the names the test table holds
    l.Items.push_back(itemAt(l, 0, 0, 0, -3));
    l.Items.push_back(itemAt(l, 0, 0, 0, 30000));
    setFloorData(l, 0, 1, 1,
                 {fdWord(4, 13, true), 0, fdAction(0, 0), fdAction(0, 1), fdAction(0, 2), fdAction(0, 511),
                  fdAction(6, 400, true)});
    auto s = open(std::move(l));
    s.clickSector(1, 1);
    EXPECT_EQ(s.info().triggerList,
              (std::vector<std::string>{"TriggerType 13 for OBJECT 0 ()", "TriggerType 13 for OBJECT 1 ()",
                                        "TriggerType 13 for OBJECT 2 ()", "TriggerType 13 for OBJECT 511 (no such item)",
                                        "TriggerType 13 for TARGET 400"}));
    EXPECT_EQ(editor::triggerTypeText(6), "ANTITRIGGER");  // antipad reads like antitrigger
    EXPECT_EQ(editor::actionText(15), " for UNKNOWN");
    EditorSession unknownVersion(test::testNames());
    auto l2 = makeLevel(31, {makeRoom(3, 3)});
    l2.Items.push_back(itemAt(l2, 0, 0, 0, 1));
    setFloorData(l2, 0, 1, 1, {fdWord(4, 0, true), 0, fdAction(0, 0, true)});
    unknownVersion.OpenLevel(std::move(l2));
    unknownVersion.clickSector(1, 1);
    EXPECT_EQ(unknownVersion.info().triggerList, std::vector<std::string>{"TRIGGER for OBJECT 0 ()"});
}

TEST(SectorInfo, DoorsHeightsAndWall) {
    auto l = makeLevel(2, {makeRoom(4, 4)});
    setFloorData(l, 0, 0, 2, {fdWord(1, 0, true), 0x0107});
    auto& sec = l.Rooms[0].sector(0, 2);
    sec.RoomBelow = 3;
    sec.RoomAbove = 12;
    sec.Floor = -2;
    sec.Ceiling = -10;
    l.Rooms[0].sector(2, 1).Floor = -127;
    auto s = open(std::move(l));
    s.clickSector(0, 2);
    EXPECT_EQ(s.info().doorSide, "7");
    EXPECT_EQ(s.info().doorBelow, "3");
    EXPECT_EQ(s.info().doorAbove, "12");
    EXPECT_EQ(s.info().floorHeight, "254");
    EXPECT_EQ(s.info().ceilingHeight, "246");
    EXPECT_FALSE(s.info().floorWall);
    EXPECT_TRUE(s.info().heightsEnabled);
    s.clickSector(2, 1);
    EXPECT_TRUE(s.info().floorWall);
    EXPECT_FALSE(s.info().heightsEnabled);
    EXPECT_EQ(s.info().floorHeight, "");
    EXPECT_EQ(s.info().ceilingHeight, "");
}

TEST(SectorInfo, MinecartLabelsLightForTheirCodes) {
    auto l = makeLevel(3, {makeRoom(3, 3)});
    setFloorData(l, 0, 1, 1, {fdWord(20, 0, true)});
    setFloorData(l, 0, 1, 2, {fdWord(21, 0, true)});
    auto s = open(std::move(l));
    s.clickSector(1, 1);
    EXPECT_TRUE(s.info().minecartLeft);
    EXPECT_FALSE(s.info().minecartRight);
    EXPECT_TRUE(s.info().minecartStop);
    s.clickSector(1, 2);
    EXPECT_FALSE(s.info().minecartLeft);
    EXPECT_TRUE(s.info().minecartRight);
    EXPECT_TRUE(s.info().minecartStop);
    s.clickSector(0, 0);
    EXPECT_FALSE(s.info().minecartStop);
}

TEST(SectorInfo, MinecartButtonsFollowTheVersion) {
    auto s = open(makeLevel(3, {makeRoom(3, 3)}));
    EXPECT_EQ(s.panels().fd20Caption, "Minecart Left");
    EXPECT_TRUE(s.panels().minecartStopVisible);
    s.OpenLevel(makeLevel(4, {makeRoom(3, 3)}));
    EXPECT_EQ(s.panels().fd20Caption, "Trigger Triggerer");
    EXPECT_EQ(s.panels().fd21Caption, "Clockwise Beatle");
    EXPECT_TRUE(s.panels().fd20Visible);
    EXPECT_FALSE(s.panels().minecartStopVisible);
    s.OpenLevel(makeLevel(2, {makeRoom(3, 3)}));
    EXPECT_FALSE(s.panels().fd20Visible || s.panels().fd21Visible || s.panels().minecartStopVisible);
}

TEST(SectorInfo, CountsAndStaticName) {
    auto l = makeLevel(2, {makeRoom(3, 3)});
    level::TRRoomStatic st;
    st.X = 1024 + 512;
    st.Z = 512;
    st.ObjectID = 12;
    l.Rooms[0].StaticMeshes.push_back(st);
    st.ObjectID = 500;  // no name for it
    l.Rooms[0].StaticMeshes.push_back(st);
    l.Rooms[0].StaticMeshes.push_back(st);
    st.Z += 1024;
    l.Rooms[0].StaticMeshes.push_back(st);
    auto s = open(std::move(l));
    s.clickSector(1, 0);
    EXPECT_EQ(s.info().staticCount, " 3 Static Meshes");
    EXPECT_EQ(s.info().staticName, "STATIC12");
    EXPECT_EQ(s.info().itemCount, " 0 items");
    EXPECT_TRUE(s.info().entries.empty());
    EXPECT_FALSE(s.info().itemControlsVisible);
    s.clickSector(1, 1);
    EXPECT_EQ(s.info().staticCount, " 1 Static Mesh");
    EXPECT_EQ(s.info().staticName, "");
    EXPECT_TRUE(s.info().staticControlsVisible);
    s.clickSector(2, 2);
    EXPECT_EQ(s.info().staticCount, " 0 Static Meshes");
    EXPECT_FALSE(s.info().staticControlsVisible);
}

TEST(SectorInfo, NextTriggerCyclesThroughTheItemsTriggerSectors) {
    auto l = makeLevel(2, {makeRoom(4, 4), makeRoom(3, 3)});
    l.Items.push_back(itemAt(l, 0, 2, 2, 7));
    setFloorData(l, 0, 1, 1, {fdWord(4, 0, true), 0, fdAction(0, 0, true)});
    setFloorData(l, 1, 1, 1, {fdWord(4, 1, true), 0, fdAction(6, 0, true)});
    auto s = open(std::move(l));
    s.clickSector(2, 2);
    ASSERT_EQ(s.CurItem, 0);
    EXPECT_EQ(s.info().itemNumTriggers, "This object has  2 triggers");
    EXPECT_EQ(s.ItemNextTrigger_Click().kind, Feedback::Kind::None);
    EXPECT_EQ(s.CurRoom, 0);
    EXPECT_EQ(s.info().title, "Sector Info [Sector  1, 1]");
    EXPECT_EQ(s.outline(), (editor::SectorPos{1, 1}));
    EXPECT_EQ(s.info().entries, std::vector<std::string>{"Item 0"});  // the item stays in the panel
    s.ItemNextTrigger_Click();
    EXPECT_EQ(s.CurRoom, 1);
    EXPECT_EQ(s.info().triggerList, std::vector<std::string>{"PAD for TARGET 0"});
    s.ItemNextTrigger_Click();
    EXPECT_EQ(s.CurRoom, 0);
    EXPECT_EQ(s.CurItem, 0);
}

TEST(SectorInfo, NextTriggerWithoutTriggersShowsTheMessage) {
    auto l = makeLevel(2, {makeRoom(3, 3)});
    l.Items.push_back(itemAt(l, 0, 1, 1, 7));
    auto s = open(std::move(l));
    EXPECT_EQ(s.ItemNextTrigger_Click().kind, Feedback::Kind::None);  // CurItem -1
    s.clickSector(1, 1);
    const auto fb = s.ItemNextTrigger_Click();
    EXPECT_EQ(fb.kind, Feedback::Kind::Message);
    EXPECT_EQ(fb.text, "No trigger found for this object!");
    s.CurItem = 99;  // set from outside: still safe
    EXPECT_EQ(s.ItemNextTrigger_Click().kind, Feedback::Kind::Message);
}

TEST(SectorInfo, FindObjectGoesToTheItemsSector) {
    auto l = makeLevel(2, {makeRoom(4, 4), makeRoom(5, 5, 8192, 4096)});
    l.Items.push_back(itemAt(l, 0, 0, 0, 1));
    auto it = itemAt(l, 1, 3, 2, 9);
    it.X += 300;  // anywhere inside the sector counts
    l.Items.push_back(it);
    setFloorData(l, 0, 1, 1, {fdWord(4, 0, true), 0, fdAction(1, 0), 0, fdAction(0, 1), fdAction(0, 7, true)});
    auto s = open(std::move(l));
    EXPECT_EQ(s.GotoObject_Click().kind, Feedback::Kind::Beep);  // sector (0, 0): no trigger
    s.clickSector(1, 1);
    EXPECT_EQ(s.GotoObject_Click().kind, Feedback::Kind::Beep);  // entry 0 is a CAMERA action
    s.selectTrigger(2);
    EXPECT_EQ(s.GotoObject_Click().kind, Feedback::Kind::Beep);  // item 7 does not exist
    EXPECT_EQ(s.CurRoom, 0);
    s.selectTrigger(1);
    EXPECT_EQ(s.GotoObject_Click().kind, Feedback::Kind::None);
    EXPECT_EQ(s.CurRoom, 1);
    EXPECT_EQ(s.SelectedX, 3);
    EXPECT_EQ(s.SelectedZ, 2);
    EXPECT_EQ(s.info().title, "Sector Info [Sector  3, 2]");
    EXPECT_EQ(s.outline(), (editor::SectorPos{3, 2}));
    s.selectTrigger(-1);
    EXPECT_EQ(s.GotoObject_Click().kind, Feedback::Kind::Beep);
}

TEST(SectorInfo, AIFirstEntryLeavesNothingForNextTrigger) {
    auto l = makeLevel(4, {makeRoom(3, 3)});
    l.AIObjects.push_back(test::aiAt(l, 0, 1, 1, 400));
    auto s = open(std::move(l));
    s.clickSector(1, 1);
    EXPECT_EQ(s.CurItem, -1);
    EXPECT_EQ(s.info().entries, std::vector<std::string>{"AI 0"});
    EXPECT_EQ(s.info().itemNumTriggers, "This object has  0 triggers");
}

TEST(SectorInfo, SectorsOutsideTheRoomAreIgnored) {
    auto s = open(makeLevel(2, {makeRoom(3, 3)}));
    s.ShowSectorInfo(3, 0, false, true);
    s.ShowSectorInfo(-1, 0, false, true);
    s.CurRoom = 5;
    s.ShowSectorInfo(0, 0, false, true);
    EXPECT_EQ(s.info().title, "Sectors");
    EXPECT_EQ(s.GotoObject_Click().kind, Feedback::Kind::Beep);
    s.ItemAdd_Click();
    EXPECT_TRUE(s.Level.Items.empty());
    s.OpenLevel(makeLevel(3, {makeRoom(0, 0)}));  // a room without a sector grid
    s.ItemAdd_Click();
    EXPECT_TRUE(s.Level.Items.empty());
}
