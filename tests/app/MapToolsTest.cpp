// The map's zoom, the hover line, and the exported map and texture pictures.
#include <QAction>
#include <QApplication>
#include <QWheelEvent>
#include <QLineEdit>
#include <QTreeWidget>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>

#include <filesystem>
#include <fstream>

#include "AppTestSupport.h"
#include "AppTests.h"
#include "ClickLabel.h"
#include "LevelBrowser.h"
#include "SectorMap.h"
#include "editor/EditorSession.h"
#include "floordata/FloorData.h"
#include "levelgen/CraftedLevels.h"
#include "support/PngRead.h"
#include "support/TestPaths.h"

namespace tessarin::test {

void PanelsTest::zoomedMapSelectsHoversAndExportsWhatItShows() {
    REQUIRE_PATH(path, levelOrEmpty("tr2-test1.tr2"));
    WindowFixture f;
    QVERIFY(f.open(path));
    auto* map = f.find<app::SectorMap>("SectorMap");
    const auto& model = f.window->session().map();
    QCOMPARE(model.cellPixels(), 10);
    // Ctrl + wheel zooms by whole notches; a plain wheel leaves the map as it is.
    auto wheel = [&](int delta, Qt::KeyboardModifiers mods) {
        QWheelEvent e(QPointF(50, 50), map->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      mods, Qt::NoScrollPhase, false);
        QApplication::sendEvent(map, &e);
    };
    wheel(60, Qt::ControlModifier);
    QCOMPARE(model.cellPixels(), 10);
    wheel(60, Qt::ControlModifier);
    QCOMPARE(model.cellPixels(), 15);
    wheel(120, Qt::NoModifier);
    QCOMPARE(model.cellPixels(), 15);
    wheel(-120, Qt::ControlModifier);
    QCOMPARE(model.cellPixels(), 10);
    QVERIFY(map->toolTip().contains("trigger"));
    f.find<QAction>("Mnu_View_ZoomIn")->trigger();
    f.find<QAction>("Mnu_View_ZoomIn")->trigger();
    QCOMPARE(model.cellPixels(), 20);

    // A click inside the zoomed cell (1, 2) selects it and outlines it in the zoomed place.
    QTest::mouseClick(map, Qt::LeftButton, {}, QPoint(2 * 20 + 10, 1 * 20 + 10));
    QCOMPARE(f.window->session().SelectedX, 1);
    QCOMPARE(f.window->session().SelectedZ, 2);
    QCOMPARE(map->mapShowSurf().pixelColor(2 * 20 - 1, 1 * 20 + 5), QColor(0, 0, 255));

    // Hovering names the sector under the mouse.
    QTest::mouseMove(map, QPoint(1 * 20 + 10, 2 * 20 + 10));
    QVERIFY2(f.window->statusBar()->currentMessage().contains("sector x 2, z 1"),
             qPrintable(f.window->statusBar()->currentMessage()));
    // An edit of that sector shows in the line at once; leaving the map takes the line away.
    QTest::mouseClick(map, Qt::LeftButton, {}, QPoint(1 * 20 + 10, 2 * 20 + 10));
    QTest::mouseMove(map, QPoint(1 * 20 + 10, 2 * 20 + 10));
    const QString before = f.window->statusBar()->currentMessage();
    QTest::mouseClick(f.find<QPushButton>("ItemAdd"), Qt::LeftButton);
    const QString after = f.window->statusBar()->currentMessage();
    QVERIFY2(after != before && after.contains("sector x 2, z 1"), qPrintable(before + " / " + after));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(map, &leave);
    QVERIFY(f.window->statusBar()->currentMessage().isEmpty());

    // The exported map is the zoomed map: the same pixels as the window's map where both show.
    const auto out = scratchDir("map-export") / "map.png";
    f.log->saveNames.push_back(QString::fromStdString(out.string()));
    f.find<QAction>("Mnu_File_ExportMap")->trigger();
    const auto img = readOwnPng(out);
    QVERIFY(img);
    QCOMPARE(img->width, model.numZ() * 20);
    QCOMPARE(img->height, model.numX() * 20);
    const QImage& shown = map->mapDrawSurf();
    for (int y = 0; y < std::min(img->height, shown.height()); ++y)
        for (int x = 0; x < std::min(img->width, shown.width()); ++x) {
            const std::uint8_t* p = &img->pixels[(std::size_t(y) * img->width + x) * 4];
            QCOMPARE(QColor(p[0], p[1], p[2]), shown.pixelColor(x, y));
        }

    const auto pages = scratchDir("texture-export") / "pages.png";
    f.log->saveNames.push_back(QString::fromStdString(pages.string()));
    f.find<QAction>("Mnu_File_ExportTextures")->trigger();
    const auto tex = readOwnPng(pages);
    QVERIFY(tex);
    QCOMPARE(tex->width, 256);
    QCOMPARE(tex->height, 256 * int(f.window->session().Level.NumTextiles));
}

void PanelsTest::staleTriggersInactiveControlsRecentFilesAndTheUnsavedMark() {
    REQUIRE_PATH(path, levelOrEmpty("tr2-test1.tr2"));
    WindowFixture f;
    QVERIFY(f.open(path));
    auto* recent = f.find<QMenu>("Mnu_File_Recent");
    QVERIFY(recent->isEnabled());
    QVERIFY(recent->actions().value(0)->text().endsWith(QFileInfo(QString::fromStdString(path.string())).absoluteFilePath()));
    // A recent level whose open fails stays listed while its file is there ('&' in its name
    // doubled, so the menu shows it); once the file is gone, the entry goes.
    {
        const auto copy = scratchDir("recent") / "a & b.tr2";
        std::filesystem::copy_file(path, copy);
        QVERIFY(f.open(copy));
        QVERIFY(recent->actions().value(0)->text().endsWith("a && b.tr2"));
        std::filesystem::resize_file(copy, 3);
        recent->actions().value(0)->trigger();
        QVERIFY(recent->actions().value(0)->text().endsWith("a && b.tr2"));
        std::filesystem::remove(copy);
        recent->actions().value(0)->trigger();
        QVERIFY(!recent->actions().value(0)->text().endsWith("a && b.tr2"));
        QVERIFY(f.open(path));
    }
    // Another window of the program opened a level meanwhile: the File menu lists it, and an open
    // here keeps it.
    {
        const auto store = std::filesystem::path(qEnvironmentVariable("XDG_CONFIG_HOME").toStdString()) / "tessarin2" / "recent-files";
        std::ofstream(store) << QFileInfo(QString::fromStdString(path.string())).absoluteFilePath().toStdString()
                             << "\n/elsewhere/other.tr2\n";
        emit f.find<QMenu>("Mnu_File")->aboutToShow();
        QVERIFY(recent->actions().value(1)->text().endsWith("/elsewhere/other.tr2"));
        QVERIFY(f.open(path));
        QVERIFY(recent->actions().value(1)->text().endsWith("/elsewhere/other.tr2"));
    }
    for (const char* name : {"RoomAdd", "ItemRemove", "StaticAdd", "FloorWall"}) {
        QVERIFY2(!f.find<QWidget>(name)->isEnabled(), name);
        QVERIFY2(!f.find<QWidget>(name)->toolTip().isEmpty(), name);
    }

    // A sector with a trigger, then one without: the same entries stay, greyed.
    const auto& level = f.window->session().Level;
    int triggerRoom = -1, tx = 0, tz = 0;
    for (std::size_t r = 0; r < level.Rooms.size() && triggerRoom < 0; ++r) {
        const auto& room = level.Rooms[r];
        for (int x = 1; x + 1 < room.NumXSectors && x < 30 && triggerRoom < 0; ++x)
            for (int z = 1; z + 1 < room.NumZSectors && z < 30 && triggerRoom < 0; ++z)
                if (floordata::GetTriggerKey(level.FloorData, room.sector(x, z).FDIndex) != -1)
                    triggerRoom = int(r), tx = x, tz = z;
    }
    if (triggerRoom < 0) QSKIP("no trigger away from a room's edge");
    f.choose("RoomNumber", triggerRoom);
    f.clickSector(tx, tz);
    auto* list = f.find<QComboBox>("TriggerData");
    QVERIFY(list->isEnabled());
    const QStringList entries = f.entries("TriggerData");
    f.clickSector(0, 0);  // a corner never holds a trigger
    QCOMPARE(f.text("FD_lbl"), QString(" 0 Triggers"));
    QCOMPARE(f.entries("TriggerData"), entries);
    QVERIFY(!list->isEnabled());
    f.clickSector(tx, tz);
    QVERIFY(list->isEnabled());

    // The unsaved mark follows the edits and undo back to the opened state.
    auto* mark = f.find<QLabel>("UnsavedMark");
    QVERIFY(mark->text().isEmpty());
    QTest::mouseClick(f.find<QPushButton>("ItemAdd"), Qt::LeftButton);
    QCOMPARE(mark->text(), QString("Unsaved changes"));
    f.find<QAction>("Mnu_Edit_Undo")->trigger();
    QVERIFY(mark->text().isEmpty());
}

void PanelsTest::levelBrowserFiltersSortsAndGoesToTheEntry() {
    REQUIRE_PATH(path, levelOrEmpty("tr4-test1.tr4"));
    WindowFixture f;
    QVERIFY(f.open(path));
    auto* browser = f.find<app::LevelBrowser>("LevelBrowser");
    const auto& level = f.window->session().Level;
    const auto all = browser->shownLabels();
    std::size_t statics = 0;
    for (const auto& r : level.Rooms) statics += r.StaticMeshes.size();
    QCOMPARE(std::size_t(all.size()), level.Items.size() + level.AIObjects.size() + statics);
    QCOMPARE(all.value(0), QString("Item 0"));
    QCOMPARE(all.value(2), QString("Item 2"));  // numbers sort as numbers

    // Shown from the View menu, it leaves the map and preview free; moved and shown again, it
    // comes back where it was put.
    f.window->findChild<QAction*>("Mnu_View_Browser")->trigger();
    QVERIFY(browser->isVisible() && browser->isFloating());
    auto* map = f.find<app::SectorMap>("SectorMap");
    QVERIFY(!browser->frameGeometry().intersects(QRect(map->mapToGlobal(QPoint(0, 0)), map->size())));
    browser->hide();
    browser->move(browser->pos() + QPoint(-30, 40));
    const QPoint put = browser->pos();
    f.window->findChild<QAction*>("Mnu_View_Find")->trigger();
    QVERIFY(browser->isVisible());
    QCOMPARE(browser->pos(), put);
    auto* filter = f.find<QLineEdit>("BrowserFilter");
    f.find<QComboBox>("BrowserKind")->setCurrentIndex(1);  // items only
    filter->setText("ROOM 1");
    for (const QString& label : browser->shownLabels()) QVERIFY2(label.startsWith("Item "), qPrintable(label));
    const auto items = editor::filterEntries(browser->entries(), "room 1", editor::EntryKind::Item);
    QCOMPARE(std::size_t(browser->shownLabels().size()), items.size());
    // Docked, the browser takes its room from the panels, which scroll, rather than pushing the
    // window past the screen's edge: the window grows only as far as the screen has room.
    const QRect area = f.window->screen()->availableGeometry();
    QVERIFY(f.window->width() + browser->width() > area.width());
    const QSize undocked = f.window->size();
    browser->setFloating(false);
    QCoreApplication::processEvents();
    QVERIFY(area.contains(f.window->frameGeometry()));
    // Docked, the browser keeps its keys: Left moves in its filter and leaves the room preview be.
    f.window->activateWindow();
    filter->setFocus();
    QTRY_VERIFY(filter->hasFocus());
    const double yaw = f.window->preview().PreviewYaw;
    QTest::keyClick(filter, Qt::Key_Left);
    QCOMPARE(f.window->preview().PreviewYaw, yaw);
    // Floating again, it gives the window back the size it had.
    browser->setFloating(true);
    QCoreApplication::processEvents();
    QCOMPARE(f.window->size(), undocked);

    // Double-click: the item's room, sector and entry, as Find Object goes there.
    filter->clear();
    auto* list = f.find<QTreeWidget>("BrowserList");
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = list->topLevelItem(row);
        const int n = item->text(0).mid(5).toInt();
        const auto& it = level.Items[std::size_t(n)];
        const auto& room = level.Rooms[std::size_t(it.Room)];
        if (it.X < room.X || it.Z < room.Z || (it.X - room.X) % 1024 != 512 || (it.Z - room.Z) % 1024 != 512) continue;
        emit list->itemActivated(item, 0);
        QCOMPARE(f.window->session().CurRoom, int(it.Room));
        QCOMPARE(f.window->session().SelectedX, (it.X - room.X) / 1024);
        QCOMPARE(f.find<QComboBox>("SecCurItem")->currentText(), QString("Item %1").arg(n));
        // An edit makes the rows again; the entry chosen stays chosen.
        list->setCurrentItem(item);
        const QString chosen = item->text(0);
        item->setData(0, Qt::UserRole + 1, true);  // marks the row made before the edit
        emit f.find<app::ClickLabel>("ItemNorth")->clicked();
        emit f.find<app::ClickLabel>("ItemEast")->clicked();
        QVERIFY(f.window->findChild<QAction*>("Mnu_Edit_Undo")->isEnabled());
        QTRY_VERIFY(list->currentItem() && !list->currentItem()->data(0, Qt::UserRole + 1).isValid());
        QCOMPARE(list->currentItem()->text(0), chosen);
        auto* undo = f.window->findChild<QAction*>("Mnu_Edit_Undo");
        while (undo->isEnabled()) undo->trigger();  // nothing left unsaved to ask about
        // Floating, it closes with the main window, which would otherwise leave the program running.
        browser->setFloating(true);
        browser->show();
        QVERIFY(f.window->close());
        QVERIFY(!browser->isVisible());
        return;
    }
    QSKIP("no item stands on a sector centre");
}

void PanelsTest::browserAndSectorListOfTensOfThousandsOfItemsShowTheFirstTenThousand() {
    // 12,000 items on one sector: each would be a row of the browser and of the sector's list.
    const auto bytes = levelgen::buildCrafted("items", level::kVersionTR2, 0.012);
    const auto path = std::filesystem::temp_directory_path() / "tessarin-items-on-one-sector.tr2";
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    WindowFixture f;
    const bool opened = f.open(path);
    std::filesystem::remove(path);
    QVERIFY(opened);
    f.clickSector(1, 1);
    QCOMPARE(f.find<QComboBox>("SecCurItem")->count(), int(editor::kMaxSectorEntries));
    QCOMPARE(f.text("SecItemCnt"), QString(" 12000 items"));
    auto* browser = f.find<app::LevelBrowser>("LevelBrowser");
    f.window->findChild<QAction*>("Mnu_View_Find")->trigger();
    QCOMPARE(std::size_t(browser->shownLabels().size()), app::LevelBrowser::kMaxRows);
    QCOMPARE(f.text("BrowserMore"), QString("The first 10000 of 12000 entries; the filter finds the others."));
    f.find<QLineEdit>("BrowserFilter")->setText("Item 1199");
    QCOMPARE(browser->shownLabels().size(), 11);  // 1199 and 11990-11999
}

}  // namespace tessarin::test
