// Edits through the panels, FileChanged, saving, reopening, and quitting with unsaved changes.
#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>
#include <QWheelEvent>

#include "AppTestSupport.h"
#include "AppTests.h"
#include "SectorMap.h"
#include "editor/Objects.h"
#include "floordata/FloorData.h"
#include "level/LevelReader.h"
#include "support/TestPaths.h"

namespace tessarin::test {

namespace {

// The first item standing on a sector centre of its room, with its sector.
struct Placed { int item = -1, room = 0, x = 0, z = 0; };

Placed firstPlacedItem(const level::TRLevel& level) {
    for (std::size_t i = 0; i < level.Items.size(); ++i) {
        const auto& it = level.Items[i];
        if (it.Room < 0 || static_cast<std::size_t>(it.Room) >= level.Rooms.size()) continue;
        const auto& room = level.Rooms[static_cast<std::size_t>(it.Room)];
        const int x = (it.X - room.X) / 1024, z = (it.Z - room.Z) / 1024;
        const auto entries = editor::GetSectorItems(level, it.Room, editor::sectorCentre(room, x, z).x,
                                                    editor::sectorCentre(room, x, z).z);
        if (std::find(entries.begin(), entries.end(), static_cast<int>(i)) != entries.end())
            return {static_cast<int>(i), it.Room, x, z};
    }
    return {};
}

// A copy of a real level in a fresh folder: these tests save, and must never write the original.
std::filesystem::path copyOf(const std::filesystem::path& level, const std::string& folder) {
    if (level.empty()) return {};
    const auto copy = scratchDir(folder) / level.filename();
    std::filesystem::copy_file(level, copy);
    std::filesystem::permissions(copy, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    return copy;
}

}  // namespace

void EditTest::retypedTurnedAndAddedItemsSurviveSaveAndReopen() {
    REQUIRE_PATH(path, copyOf(levelOrEmpty("tr3-test1.tr2"), "edits-source"));
    const auto saved = scratchDir("edits") / "edited.tr2";
    int newType = 0;
    std::size_t itemCount = 0;
    Placed p;
    {
        WindowFixture f;
        QVERIFY(f.open(path));
        const auto& level = f.window->session().Level;
        p = firstPlacedItem(level);
        if (p.item < 0) QSKIP("no item stands on a sector centre");
        f.choose("RoomNumber", p.room);
        f.clickSector(p.x, p.z);
        const int entry = f.entries("SecCurItem").indexOf(QString("Item %1").arg(p.item));
        QVERIFY(entry >= 0);
        f.choose("SecCurItem", entry);
        QVERIFY(!f.window->fileChanged());

        // Retype: the first moveable of another type.
        const auto oldType = level.Items[std::size_t(p.item)].ObjectID;
        int row = 0;
        while (row < int(level.Moveables.size()) && level.Moveables[std::size_t(row)].ObjectID == oldType) ++row;
        QVERIFY(row < int(level.Moveables.size()));
        newType = level.Moveables[std::size_t(row)].ObjectID;
        f.choose("ItemDesc", row);
        QCOMPARE(int(level.Items[std::size_t(p.item)].ObjectID), newType);
        QVERIFY(f.text("ItemID").endsWith(QString(" - ObjectID %1").arg(newType)));
        QVERIFY(f.window->fileChanged());

        // Steering the preview with the object list focused, or turning the wheel over it, leaves
        // the item's type alone.
        auto* desc = f.find<QComboBox>("ItemDesc");
        f.window->activateWindow();
        desc->setFocus();
        QApplication::processEvents();
        const double pitch = f.window->preview().PreviewPitch;
        for (auto key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Down, Qt::Key_PageDown}) QTest::keyClick(desc, key);
        QPoint at = desc->rect().center();
        QWheelEvent wheel(at, desc->mapToGlobal(at), {}, {0, -120}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(desc, &wheel);
        QCOMPARE(int(level.Items[std::size_t(p.item)].ObjectID), newType);
        QCOMPARE(desc->currentIndex(), row);
        QVERIFY(f.window->preview().PreviewPitch != pitch);

        // Turn north; the label lights at once.
        QTest::mouseClick(f.find<QWidget>("ItemNorth"), Qt::LeftButton);
        QCOMPARE(int(level.Items[std::size_t(p.item)].Angle), -16384);
        QVERIFY(f.lit("ItemNorth"));
        QVERIFY(!f.lit("ItemEast"));

        // Add an item on the same sector.
        itemCount = level.Items.size();
        f.clickSector(p.x, p.z);
        QTest::mouseClick(f.find<QPushButton>("ItemAdd"), Qt::LeftButton);
        QCOMPARE(level.Items.size(), itemCount + 1);
        QCOMPARE(int(level.Items.back().Flags), 0x3E00);

        // A Save As that fails leaves the level with its own file; one that works moves it there.
        f.log->saveNames.push_back(QString::fromStdString((saved.parent_path() / "no-folder" / "x.tr2").string()));
        QVERIFY(!f.window->Mnu_File_SaveAs_Click());
        QCOMPARE(f.window->fileName(), QString::fromStdString(path.string()));
        QVERIFY(f.window->fileChanged());
        f.log->saveNames.push_back(QString::fromStdString(saved.string()));
        QVERIFY(f.window->Mnu_File_SaveAs_Click());
        QCOMPARE(f.window->windowTitle(), QString("Tessarin 2.9 [edited.tr2]"));
        QCOMPARE(f.log->messages.last(), QString("Project saved"));
        QCOMPARE(f.log->saveFilters.last(), QString("Tomb Raider levels(*.tr2;*.tr4;*.trc)|*.tr2;*.tr4;*.trc"));
        QVERIFY(!f.window->fileChanged());
        QCOMPARE(f.window->fileName(), QString::fromStdString(saved.string()));
        QVERIFY(f.find<QMenu>("Mnu_File_Recent")->actions().value(0)->text().endsWith(
            QFileInfo(QString::fromStdString(saved.string())).absoluteFilePath()));
    }
    WindowFixture g;
    QVERIFY(g.open(saved));
    const auto& level = g.window->session().Level;
    QCOMPARE(level.Items.size(), itemCount + 1);
    QCOMPARE(int(level.Items[std::size_t(p.item)].ObjectID), newType);
    QCOMPARE(int(level.Items[std::size_t(p.item)].Angle), -16384);
    QCOMPARE(int(level.Items.back().Room), p.room);

    // Quitting with unsaved changes: Cancel stays, No leaves without saving.
    g.clickSector(p.x, p.z);
    g.choose("SecCurItem", g.entries("SecCurItem").indexOf(QString("Item %1").arg(p.item)));
    // Clicks that leave the item as it is (it faces north since the save) are no edits.
    QTest::mouseClick(g.find<QWidget>("ItemNorth"), Qt::LeftButton);
    g.choose("ItemDesc", g.find<QComboBox>("ItemDesc")->currentIndex());
    QVERIFY(!g.window->fileChanged());
    QTest::mouseClick(g.find<QWidget>("ItemSouth"), Qt::LeftButton);
    QVERIFY(g.window->fileChanged());
    g.log->answers = {QMessageBox::Cancel, QMessageBox::No};
    g.window->Mnu_File_Quit_Click();
    QCOMPARE(g.log->questions.last(), QString("Current file isn't saved. Save it now?"));
    QVERIFY(g.window->isRunning());
    QVERIFY(g.window->isVisible());
    g.window->close();  // the title-bar button asks the same question
    QCOMPARE(g.log->questions.size(), 2);
    QVERIFY(!g.window->isRunning());
    auto reread = level::LoadLevel(saved);
    QVERIFY(reread);
    QCOMPARE(int(reread->Items[std::size_t(p.item)].Angle), -16384);  // "No" did not save
}

void EditTest::minecartEntriesLightTheButtonsAndAreSaved() {
    REQUIRE_PATH(path, copyOf(levelOrEmpty("tr3-test1.tr2"), "minecart"));
    const auto saved = path;
    std::size_t words = 0;
    {
        WindowFixture f;
        QVERIFY(f.open(path));
        words = f.window->session().Level.FloorData.size();
        // Before a sector is chosen the buttons add nothing (the selection is the room's corner).
        QTest::mouseClick(f.find<QWidget>("FD20"), Qt::LeftButton);
        QCOMPARE(f.window->session().Level.FloorData.size(), words);
        QVERIFY(!f.window->fileChanged());
        f.clickSector(2, 2);
        QTest::mouseClick(f.find<QWidget>("FD20"), Qt::LeftButton);
        QVERIFY(f.lit("FD20"));
        QVERIFY(f.lit("Minecart_Stop"));
        QVERIFY(!f.lit("FD21"));
        auto textColour = [&](const char* name) {
            return f.find<QLabel>(name)->palette().color(QPalette::Active, QPalette::WindowText);
        };
        QCOMPARE(textColour("FD20"), QColor(0, 0, 255));
        QCOMPARE(textColour("FD21"), QColor(0, 0, 0));
        QVERIFY(f.window->fileChanged());
        // The map shows the new entry at once, and keeps the selection outline.
        const auto* map = f.find<app::SectorMap>("SectorMap");
        QCOMPARE(map->mapDrawSurf().pixelColor(21, 21), QColor(0, 0, 255));
        QCOMPARE(map->mapShowSurf().pixelColor(19, 25), QColor(0, 0, 255));
        QTest::mouseClick(f.find<QWidget>("FD21"), Qt::LeftButton);
        QVERIFY(f.lit("FD21"));
        QCOMPARE(map->mapDrawSurf().pixelColor(21, 21), QColor(255, 0, 0));
        // Undo goes back one entry at a time to the level as opened, which is unchanged again.
        auto* undo = f.find<QAction>("Mnu_Edit_Undo");
        auto* redo = f.find<QAction>("Mnu_Edit_Redo");
        QCOMPARE(undo->text(), QString("&Undo Minecart Entry"));
        undo->trigger();
        QCOMPARE(map->mapDrawSurf().pixelColor(21, 21), QColor(0, 0, 255));
        QVERIFY(f.lit("FD20") && !f.lit("FD21"));
        undo->trigger();
        QVERIFY(map->mapDrawSurf().pixelColor(21, 21) != QColor(0, 0, 255));
        QCOMPARE(f.window->session().Level.FloorData.size(), words);
        QVERIFY(!f.window->fileChanged());
        QVERIFY(!undo->isEnabled());
        redo->trigger();
        redo->trigger();
        QCOMPARE(map->mapDrawSurf().pixelColor(21, 21), QColor(255, 0, 0));
        QVERIFY(f.window->fileChanged());
        QVERIFY(f.window->Mnu_File_Save_Click());
        QCOMPARE(f.window->fileName(), QString::fromStdString(saved.string()));
        // Answering Yes to the quit question saves first.
        f.log->answers = {QMessageBox::Yes};
        QTest::mouseClick(f.find<QWidget>("Minecart_Stop"), Qt::LeftButton);
        QVERIFY(f.window->fileChanged());
        f.window->Mnu_File_Quit_Click();
        QVERIFY(!f.window->isRunning());
        QCOMPARE(f.log->messages.count("Project saved"), 2);
    }
    auto reread = level::LoadLevel(saved);
    QVERIFY(reread);
    QCOMPARE(reread->FloorData.size(), words + 7);  // 1 + 2 + 4 words appended by the three buttons
    const auto flags = floordata::GetSectorFlags(reread->FloorData, reread->Rooms[0].sector(2, 2).FDIndex);
    QCOMPARE(flags & (floordata::kFlagCode20 | floordata::kFlagCode21), floordata::kFlagCode20 | floordata::kFlagCode21);

    // A file marked read-only is not replaced.
    WindowFixture r;
    QVERIFY(r.open(saved));
    std::filesystem::permissions(saved, std::filesystem::perms::owner_read);
    QVERIFY(!r.window->Mnu_File_Save_Click());
    QVERIFY(r.log->messages.last().contains("read-only"));
    std::filesystem::permissions(saved, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    // TR2 levels have no minecart buttons.
    REQUIRE_PATH(tr2, levelOrEmpty("tr2-test1.tr2"));
    WindowFixture g;
    QVERIFY(g.open(tr2));
    QVERIFY(!g.find<QWidget>("FD20")->isVisible());
    QVERIFY(!g.find<QWidget>("Minecart_Stop")->isVisible());
}

void EditTest::importedTR4LevelIsShownAndSavedBesideIt() {
    REQUIRE_PATH(path, copyOf(levelOrEmpty("tr4-test1.tr4"), "import"));
    WindowFixture f;
    f.log->openNames.push_back(QString::fromStdString(path.string()));
    QVERIFY(f.window->Mnu_Edit_TR4_Click());
    QCOMPARE(f.window->session().Level.LevelVersion, std::int16_t{3});
    QCOMPARE(f.window->windowTitle(), QString("Tessarin 2.9 [tr4-test1.tr2]"));
    QCOMPARE(f.text("FD20"), QString("Minecart Left"));
    QVERIFY(f.entries("RoomNumber").size() > 0);
    QVERIFY(f.window->fileChanged());
    // Imported with no level before it: an edit undone leaves it unsaved still.
    f.clickSector(1, 1);
    QTest::mouseClick(f.find<QWidget>("Minecart_Stop"), Qt::LeftButton);
    QVERIFY(f.lit("Minecart_Stop"));
    f.find<QAction>("Mnu_Edit_Undo")->trigger();
    QVERIFY(f.window->fileChanged());
    // Import with a level open can be undone: the level, its file name and caption come back.
    {
        REQUIRE_PATH(tr3, copyOf(levelOrEmpty("tr3-test1.tr2"), "import-undo"));
        WindowFixture u;
        QVERIFY(u.open(tr3));
        const auto rooms = u.window->session().Level.Rooms.size();
        u.log->openNames.push_back(QString::fromStdString(path.string()));
        QVERIFY(u.window->Mnu_Edit_TR4_Click());
        u.find<QAction>("Mnu_Edit_Undo")->trigger();
        QCOMPARE(u.window->session().Level.Rooms.size(), rooms);
        QCOMPARE(u.window->fileName(), QString::fromStdString(tr3.string()));
        QCOMPARE(u.window->windowTitle(), QString("Tessarin 2.9 [tr3-test1.tr2]"));
        QVERIFY(!u.window->fileChanged());
        u.find<QAction>("Mnu_Edit_Redo")->trigger();
        QCOMPARE(u.window->windowTitle(), QString("Tessarin 2.9 [tr4-test1.tr2]"));
        QVERIFY(u.window->fileChanged());
    }
    // Two imports, then Undo: the first import is named after the level that was open but is not
    // that level, so Save asks before replacing its file. Undone once more, the level is its own
    // file's again.
    {
        REQUIRE_PATH(mine, copyOf(levelOrEmpty("tr3-test1.tr2"), "import-twice"));
        const auto named = mine.parent_path() / "tr3-test1.tr4";
        std::filesystem::copy_file(path, named);
        WindowFixture t;
        QVERIFY(t.open(mine));
        t.log->openNames.push_back(QString::fromStdString(named.string()));
        t.log->openNames.push_back(QString::fromStdString(path.string()));
        QVERIFY(t.window->Mnu_Edit_TR4_Click());
        t.log->answers = {QMessageBox::No};  // the first import is not saved
        QVERIFY(t.window->Mnu_Edit_TR4_Click());
        t.find<QAction>("Mnu_Edit_Undo")->trigger();
        QCOMPARE(t.window->fileName(), QString::fromStdString(mine.string()));
        const auto before = std::filesystem::last_write_time(mine);
        t.log->answers = {QMessageBox::Cancel};
        QVERIFY(!t.window->Mnu_File_Save_Click());
        QCOMPARE(t.log->questions.last(),
                 QString("tr3-test1.tr2 already exists. Replace it? (No saves the level under another name.)"));
        QCOMPARE(std::filesystem::last_write_time(mine), before);
        t.find<QAction>("Mnu_Edit_Undo")->trigger();
        const auto asked = t.log->questions.size();
        QVERIFY(t.window->Mnu_File_Save_Click());
        QCOMPARE(t.log->questions.size(), asked);
    }
    QVERIFY(f.window->Mnu_File_Save_Click());
    const auto written = path.parent_path() / "tr4-test1.tr2";
    auto reread = level::LoadLevel(written);
    QVERIFY(reread);
    QCOMPARE(reread->LevelVersion, std::int16_t{3});
    // Imported again, the level is named after that file, which now holds earlier work (here even
    // opened first): Save asks before replacing it, and No chooses another name.
    {
        WindowFixture v;
        QVERIFY(v.open(written));
        v.log->openNames.push_back(QString::fromStdString(path.string()));
        QVERIFY(v.window->Mnu_Edit_TR4_Click());
        const auto before = std::filesystem::last_write_time(written);
        v.log->answers = {QMessageBox::Cancel, QMessageBox::No};
        QVERIFY(!v.window->Mnu_File_Save_Click());
        QCOMPARE(v.log->questions.last(),
                 QString("tr4-test1.tr2 already exists. Replace it? (No saves the level under another name.)"));
        const auto other = path.parent_path() / "other.tr2";
        v.log->saveNames.push_back(QString::fromStdString(other.string()));
        QVERIFY(v.window->Mnu_File_Save_Click());
        QVERIFY(std::filesystem::exists(other));
        QCOMPARE(std::filesystem::last_write_time(written), before);
        QVERIFY(v.window->Mnu_File_Save_Click());  // its own file now: no question
        QCOMPARE(v.log->questions.size(), 2);
    }
    // A TR4 level's edits cannot be saved: Yes to the question shows the refusal and keeps the
    // level open with its edits; No then quits.
    {
        WindowFixture w;
        QVERIFY(w.open(path));
        w.clickSector(1, 1);
        QTest::mouseClick(w.find<QPushButton>("ItemAdd"), Qt::LeftButton);
        QVERIFY(w.window->fileChanged());
        const auto items = w.window->session().Level.Items.size();
        w.log->answers = {QMessageBox::Yes};
        w.window->Mnu_File_Quit_Click();
        QCOMPARE(w.log->messages.last(), QString("TR4 levels can't be saved at the moment!"));
        QVERIFY(w.window->isVisible());
        QCOMPARE(w.window->session().Level.Items.size(), items);
        w.log->answers = {QMessageBox::No};
        w.window->Mnu_File_Quit_Click();
        QVERIFY(!w.window->isVisible());
    }
    // A file that is no TR4 level leaves the open one as it was.
    f.log->openNames.push_back(QString::fromStdString(written.string()));
    QVERIFY(!f.window->Mnu_Edit_TR4_Click());
    QCOMPARE(f.window->windowTitle(), QString("Tessarin 2.9 [tr4-test1.tr2]"));
    QVERIFY(!f.log->messages.last().isEmpty());
}

}  // namespace tessarin::test
