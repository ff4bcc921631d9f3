// Undo and redo of every edit kind, the saved point, and the memory bound.
#include <gtest/gtest.h>

#include "support/EditorTestLevel.h"
#include "editor/EditorSession.h"
#include "editor/RecentFiles.h"
#include "editor/UndoHistory.h"
#include "support/TestPaths.h"
#include "util/FileIO.h"
#include "floordata/FloorDataEdit.h"

using namespace tessarin;
using editor::EditorSession;
using editor::UndoHistory;

namespace {

EditorSession openTR3() {
    auto l = test::makeLevel(3, {test::makeRoom(4, 4), test::makeRoom(2, 2)});
    l.Moveables.resize(2);
    l.Moveables[0].ObjectID = 0;
    l.Moveables[1].ObjectID = 7;
    l.Items.push_back(test::itemAt(l, 0, 1, 1, 0));
    EditorSession s(test::testNames());
    s.OpenLevel(std::move(l));
    s.clickSector(1, 1);
    return s;
}

}  // namespace

TEST(UndoHistory, EveryEditKindGoesBackAndForthAndTheSavedPointFollows) {
    EditorSession s = openTR3();
    UndoHistory h;
    h.reset();
    const level::TRLevel original = s.Level;

    auto before = editor::captureItems(s.Level);
    s.ItemDesc_Click(1);  // retype to object 7
    h.push(std::move(before), "Retype");
    h.markSaved();  // saved after the retype

    before = editor::captureItems(s.Level);
    s.ItemEast_Click();
    h.push(std::move(before), "Facing");

    before = editor::captureItems(s.Level);
    s.ItemAdd_Click();
    h.push(std::move(before), "Add Item");

    before = editor::captureFloorData(s.Level, 0);
    ASSERT_TRUE(floordata::AddMinecartEntry(s.Level, 0, 2, 3, floordata::MinecartMode::Left));
    h.push(std::move(before), "Minecart");
    const level::TRLevel edited = s.Level;
    EXPECT_FALSE(h.atSavedPoint());

    // Import replaces the whole level and names another file.
    const auto imported = test::makeLevel(3, {test::makeRoom(9, 9)});
    h.push(editor::captureWhole(s.Level, {"/tmp/a.tr2", 1}), "Import TR4");
    s.OpenLevel(imported);

    auto r = h.undo(s.Level, {"/tmp/b.tr2", 2});
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->whole);
    EXPECT_EQ(r->file.name, "/tmp/a.tr2");
    EXPECT_EQ(r->file.levelId, 1u);
    EXPECT_EQ(s.Level.Rooms.size(), 2u);
    s.OpenLevel(level::TRLevel(s.Level));  // the window shows a restored whole level as opened
    s.clickSector(1, 1);

    EXPECT_EQ(h.undo(s.Level, {"/tmp/a.tr2", 1})->what, "Minecart");
    EXPECT_EQ(s.Level.FloorData, original.FloorData);
    EXPECT_EQ(s.Level.Rooms[0].sector(2, 3).FDIndex, original.Rooms[0].sector(2, 3).FDIndex);
    EXPECT_EQ(h.undo(s.Level, {})->what, "Add Item");
    s.editsRestored(false);
    EXPECT_EQ(s.Level.Items.size(), 1u);
    EXPECT_EQ(s.ItemTriggers.size(), 1u);  // indexed again for the item count restored
    EXPECT_EQ(s.info().entries.size(), 1u);  // the panel no longer lists the removed item
    EXPECT_EQ(h.undo(s.Level, {})->what, "Facing");
    EXPECT_EQ(s.Level.Items[0].Angle, original.Items[0].Angle);
    EXPECT_TRUE(h.atSavedPoint());  // back at the saved retype
    EXPECT_EQ(h.undo(s.Level, {})->what, "Retype");
    EXPECT_EQ(s.Level.Items[0].ObjectID, 0);
    EXPECT_FALSE(h.atSavedPoint());
    EXPECT_FALSE(h.undo(s.Level, {}));

    for (int i = 0; i < 4; ++i) ASSERT_TRUE(h.redo(s.Level, {}));
    EXPECT_EQ(s.Level.Items.size(), edited.Items.size());
    EXPECT_EQ(s.Level.Items[0].ObjectID, 7);
    EXPECT_EQ(s.Level.FloorData, edited.FloorData);
    r = h.redo(s.Level, {"/tmp/a.tr2", 1});
    ASSERT_TRUE(r);
    EXPECT_EQ(r->file.name, "/tmp/b.tr2");
    EXPECT_EQ(r->file.levelId, 2u);
    EXPECT_EQ(s.Level.Rooms[0].NumXSectors, 9);
    EXPECT_FALSE(h.canRedo());

    // A new edit after undo drops the redo steps; a change no step records loses the saved point.
    ASSERT_TRUE(h.undo(s.Level, {"/tmp/b.tr2", 2}));
    h.push(editor::captureItems(s.Level), "Facing");
    EXPECT_FALSE(h.canRedo());
    h.markSaved();
    h.changedOutside();
    EXPECT_FALSE(h.atSavedPoint());
}

TEST(UndoHistory, KeepsAtMostItsStepsAndRefusesASnapshotOfOtherRooms) {
    auto l = test::makeLevel(3, {test::makeRoom(3, 3)});
    UndoHistory h;
    h.reset();
    for (std::size_t i = 0; i < UndoHistory::kMaxSteps + 20; ++i) h.push(editor::captureItems(l), "Facing");
    EXPECT_EQ(h.undoCount(), UndoHistory::kMaxSteps);
    EXPECT_LE(h.bytes(), UndoHistory::kMaxBytes);

    // On a level of a thousand large rooms every edit step is kept: a turn keeps the items, a
    // minecart entry the floor data and its own room's sectors, not every room's.
    {
        std::vector<level::TRRoom> rooms(1000, test::makeRoom(31, 31));
        auto big = test::makeLevel(3, std::move(rooms));
        big.FloorData.resize(20000);
        UndoHistory b;
        b.reset();
        for (std::size_t i = 0; i < UndoHistory::kMaxSteps / 2; ++i) {
            b.push(editor::captureItems(big), "Facing");
            b.push(editor::captureFloorData(big, 7), "Minecart Entry");
        }
        EXPECT_EQ(b.undoCount(), UndoHistory::kMaxSteps);
    }

    // Large whole-level steps are trimmed by bytes, the newest always kept.
    l.Textile32.assign(UndoHistory::kMaxBytes / 4 / 3, 0);
    for (int i = 0; i < 5; ++i) h.push(editor::captureWhole(l, {"x", 0}), "Import TR4");
    EXPECT_LE(h.bytes(), UndoHistory::kMaxBytes);
    EXPECT_GE(h.undoCount(), 1u);

    UndoHistory g;
    g.reset();
    g.push(editor::captureFloorData(l, 0), "Minecart Entry");
    l.Rooms[0] = test::makeRoom(2, 2);
    EXPECT_FALSE(g.undo(l, {}));
    EXPECT_EQ(l.Rooms[0].Sectors.size(), 4u);
}

TEST(RecentFiles, NewestFirstWithoutRepeatsAtMostEightAndADamagedStoreGivesNoJunk) {
    editor::RecentFiles r;
    for (int i = 0; i < 10; ++i) r.add("/l/" + std::to_string(i) + ".tr2");
    r.add("/l/5.tr2");
    ASSERT_EQ(r.items().size(), editor::RecentFiles::kMaxFiles);
    EXPECT_EQ(r.items()[0], "/l/5.tr2");
    EXPECT_EQ(r.items()[1], "/l/9.tr2");
    const auto file = test::scratchDir("recent") / "recent-files";
    ASSERT_TRUE(r.save(file));
    editor::RecentFiles back;
    back.load(file);
    EXPECT_EQ(back.items(), r.items());

    std::string junk(std::string(5000, 'x') + "\n\n/a\r\n/a\n");
    for (int i = 0; i < 20; ++i) junk += "/b" + std::to_string(i) + "\n";
    ASSERT_TRUE(util::writeFileSafely(file, std::span(reinterpret_cast<const std::uint8_t*>(junk.data()), junk.size())));
    back.load(file);
    ASSERT_EQ(back.items().size(), editor::RecentFiles::kMaxFiles);
    EXPECT_EQ(back.items()[0], "/a");
    // A store that cannot be read keeps the list in memory.
    back.load(file.parent_path() / "missing");
    EXPECT_EQ(back.items().size(), editor::RecentFiles::kMaxFiles);
}
