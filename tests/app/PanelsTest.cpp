// Clicking the map: the panels against tessarin2-cli's description in each state they can show, doors, preview centre,
// the jumps between items and triggers.
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <set>

#include "AppTestSupport.h"
#include "AppTests.h"
#include "SectorMap.h"
#include "floordata/FloorData.h"
#include "support/MiniJson.h"
#include "util/NumberText.h"

namespace tessarin::test {

namespace {

QStringList texts(const JsonValue& list) {
    QStringList out;
    for (const JsonValue& v : list.items) out << QString::fromStdString(v.text);
    return out;
}

QString str(const JsonValue& v) { return QString::fromStdString(v.text); }

// The sector frame's title for sector (x, z), numbers in the program's number form.
QString sectorTitle(int x, int z) {
    return QString::fromStdString("Sector Info [Sector " + util::numberForm(std::int64_t{x}) + "," + util::numberForm(std::int64_t{z}) + "]");
}

}  // namespace

void PanelsTest::panelsMatchTheCommandLineDescription_data() {
    QTest::addColumn<QString>("file");
    for (const char* file : {"tr1-test1.phd", "tr2-test1.tr2", "tr3-test1.tr2", "sample-tr2.tr2", "sample-tr3.tr2"})
        QTest::newRow(file) << file;
}

void PanelsTest::panelsMatchTheCommandLineDescription() {
    QFETCH(QString, file);
    REQUIRE_PATH(path, file.startsWith("sample") ? sampleLevel(file.toStdString()) : levelOrEmpty(file.toStdString()));
    WindowFixture f;
    QVERIFY(f.open(path));
    const auto& level = f.window->session().Level;
    const int rooms = std::min<int>(static_cast<int>(level.Rooms.size()), 5);
    int compared = 0;
    std::set<QString> states;
    // Controls hidden for a sector without items or statics keep their place: nothing else moves.
    auto layout = [&f] {
        QList<QRect> places, before;
        do {  // a layout settles over a few posted events
            before = places;
            places.clear();
            QApplication::processEvents();
            for (const char* name : {"Preview", "Items", "StaticMeshes", "ItemNextTrigger", "ItemAdd", "NumStatic",
                                     "SecInf", "Textures"}) {
                const auto* w = f.find<QWidget>(name);
                places.append(QRect(w->mapTo(f.window.get(), QPoint(0, 0)), w->size()));
            }
        } while (places != before);
        return places;
    };
    QList<QRect> placed;
    for (int room = 0; room < rooms; ++room) {
        f.choose("RoomNumber", room);
        const auto& r = level.Rooms[static_cast<std::size_t>(room)];
        for (int x = 0; x < r.NumXSectors; ++x) {
            for (int z = 0; z < r.NumZSectors; ++z) {
                f.clickSector(x, z);
                // The command line is asked once per panel state: trigger, wall, doors, items, statics, minecart.
                const QString state = QStringList{f.text("FD_lbl"), f.text("DoorSide"), f.text("DoorBelow"),
                                                  f.text("DoorAbove"), f.text("SecItemCnt"), f.text("NumStatic")}
                                          .join('|') +
                                      QString("|%1%2%3%4").arg(f.find<QCheckBox>("FloorWall")->isChecked())
                                          .arg(f.lit("FD20")).arg(f.lit("FD21")).arg(f.lit("Minecart_Stop"));
                if (!states.insert(state).second) continue;
                if (placed.isEmpty()) placed = layout();
                QVERIFY2(layout() == placed, qPrintable(QString("room %1 sector %2,%3").arg(room).arg(x).arg(z)));
                const std::string out = runCliOut({"sector", QString::fromStdString(path.string()),
                                                   QString::number(room), QString::number(x), QString::number(z)});
                QVERIFY2(!out.empty(), "tessarin2-cli sector failed");
                const JsonValue d = parseJson(out);
                const QByteArray where = QString("%1 room %2 sector %3,%4").arg(file).arg(room).arg(x).arg(z).toUtf8();
                QVERIFY2(f.find<QGroupBox>("SecInf")->title() == str(d["title"]), where);
                QVERIFY2(f.text("DoorSide") == str(d["doorSide"]), where);
                QVERIFY2(f.text("DoorBelow") == str(d["doorBelow"]), where);
                QVERIFY2(f.text("DoorAbove") == str(d["doorAbove"]), where);
                QVERIFY2(f.text("FD_lbl") == str(d["fdLabel"]), where);
                if (!d["triggerList"].isNull()) {
                    QVERIFY2(f.entries("TriggerData") == texts(d["triggerList"]), where);
                    QVERIFY2(f.text("TriggerTimer") == str(d["timer"]), where);
                    for (int k = 0; k < 5; ++k)
                        QVERIFY2(f.lit(QString("TriggerFlags%1").arg(k)) == d["triggerFlags"][std::size_t(k)].boolean, where);
                }
                QVERIFY2(f.find<QCheckBox>("FloorWall")->isChecked() == d["floorWall"].boolean, where);
                QVERIFY2(f.find<QLineEdit>("FloorHeight")->text() == str(d["floorHeight"]), where);
                QVERIFY2(f.find<QLineEdit>("CeilingHeight")->text() == str(d["ceilingHeight"]), where);
                QVERIFY2(f.lit("FD20") == d["minecart"]["left"].boolean, where);
                QVERIFY2(f.lit("FD21") == d["minecart"]["right"].boolean, where);
                QVERIFY2(f.lit("Minecart_Stop") == d["minecart"]["stop"].boolean, where);
                QVERIFY2(f.text("SecItemCnt") == str(d["itemCount"]), where);
                QVERIFY2(f.entries("SecCurItem") == texts(d["entries"]), where);
                QVERIFY2(f.text("NumStatic") == str(d["staticCount"]), where);
                // A sector without static meshes hides the name box rather than clearing it.
                if (d["staticName"].text.empty()) QVERIFY2(!f.find<QLineEdit>("StaticID")->isVisible(), where);
                else QVERIFY2(f.find<QLineEdit>("StaticID")->text() == str(d["staticName"]), where);
                // The painted cell has the model's fill colour inside its outline.
                const QImage& drawn = f.find<app::SectorMap>("SectorMap")->mapDrawSurf();
                const QColor colour(int(d["mapColour"][0].number), int(d["mapColour"][1].number),
                                    int(d["mapColour"][2].number));
                QVERIFY2(drawn.pixelColor(10 * z + 1, 10 * x + 1) == colour, where);
                ++compared;
            }
        }
    }
    QVERIFY(compared >= 3);
}

void PanelsTest::rightClickFollowsADoorToTheNextRoom() {
    REQUIRE_PATH(path, levelOrEmpty("tr2-test1.tr2"));
    WindowFixture f;
    QVERIFY(f.open(path));
    const auto& level = f.window->session().Level;
    const auto& room = level.Rooms[0];
    for (int x = 0; x < room.NumXSectors; ++x) {
        for (int z = 0; z < room.NumZSectors; ++z) {
            const int door = floordata::GetDoor(level.FloorData, room.sector(x, z).FDIndex);
            if (door < 0 || door >= static_cast<int>(level.Rooms.size())) continue;
            const QString before = f.text("SecItemCnt");
            f.clickSector(x, z, Qt::RightButton);
            QCOMPARE(f.find<QComboBox>("RoomNumber")->currentIndex(), door);
            QCOMPARE(f.window->session().CurRoom, door);
            QVERIFY(f.text("RoomInfo").startsWith(QString("Room %1 - ").arg(door)));
            QCOMPARE(f.text("SecItemCnt"), before);  // the panels keep their texts
            return;
        }
    }
    QSKIP("room 0 has no door entry");
}

void PanelsTest::ctrlOrAltClickAlsoCentresThePreview() {
    REQUIRE_PATH(path, levelOrEmpty("tr2-test1.tr2"));
    WindowFixture f;
    QVERIFY(f.open(path));
    f.clickSector(2, 3, Qt::LeftButton, Qt::ControlModifier);
    QCOMPARE(f.window->preview().PreviewCenterX, 2);
    QCOMPARE(f.window->preview().PreviewCenterZ, 3);
    f.clickSector(1, 4, Qt::LeftButton, Qt::AltModifier);
    QCOMPARE(f.window->preview().PreviewCenterX, 1);
    QCOMPARE(f.window->preview().PreviewCenterZ, 4);
    // Choosing a room asks the preview to rebuild; the next frame does.
    f.choose("RoomNumber", 1);
    QVERIFY(!f.window->preview().PreviewBuilt);
    QTRY_VERIFY(f.window->preview().PreviewBuilt);
    // A click beside the map or on the preview does nothing.
    const QString title = f.find<QGroupBox>("SecInf")->title();
    QTest::mouseClick(f.find<QWidget>("SectorMap"), Qt::LeftButton, {}, QPoint(305, 10));
    QTest::mouseClick(f.find<QWidget>("SectorMap"), Qt::LeftButton, {}, QPoint(290, 290));
    QCOMPARE(f.find<QGroupBox>("SecInf")->title(), title);
}

void PanelsTest::nextTriggerAndFindObjectWalkBetweenItemAndTrigger() {
    REQUIRE_PATH(path, levelOrEmpty("tr2-test1.tr2"));
    WindowFixture f;
    QVERIFY(f.open(path));
    const auto& s = f.window->session();
    // Find an item with trigger sectors, select its sector, then walk to its triggers.
    for (std::size_t item = 0; item < s.Level.Items.size(); ++item) {
        if (s.itemTriggerCount(static_cast<int>(item)) == 0) continue;
        const auto it = s.Level.Items[item];
        const auto& room = s.Level.Rooms[static_cast<std::size_t>(it.Room)];
        const int x = (it.X - room.X) / 1024, z = (it.Z - room.Z) / 1024;
        f.choose("RoomNumber", it.Room);
        f.clickSector(x, z);
        const int entry = f.entries("SecCurItem").indexOf(QString("Item %1").arg(item));
        if (entry < 0) continue;
        f.choose("SecCurItem", entry);
        QCOMPARE(s.CurItem, static_cast<int>(item));
        QTest::mouseClick(f.find<QPushButton>("ItemNextTrigger"), Qt::LeftButton);
        const auto& first = s.ItemTriggers[item].Sectors[0];
        QCOMPARE(s.CurRoom, first.Room);
        QCOMPARE(f.find<QGroupBox>("SecInf")->title(), sectorTitle(first.X, first.Z));
        QVERIFY(f.entries("TriggerData").size() > 0);
        // Find Object on the chosen action returns to an item's sector, or beeps for a non-object action.
        const int beeps = f.log->beeps;
        QTest::mouseClick(f.find<QPushButton>("GotoObject"), Qt::LeftButton);
        QVERIFY(f.log->beeps == beeps || f.log->beeps == beeps + 1);
        if (f.log->beeps == beeps) QVERIFY(f.find<QGroupBox>("SecInf")->title().startsWith("Sector Info"));
        return;
    }
    QSKIP("no item with triggers found on its own sector");
}

void PanelsTest::clicksBeforeALevelIsOpenAreIgnored() {
    WindowFixture f;
    f.clickSector(1, 1);
    f.clickSector(1, 1, Qt::RightButton);
    QTest::mouseClick(f.find<QWidget>("FD20"), Qt::LeftButton);
    QTest::mouseClick(f.find<QPushButton>("ItemAdd"), Qt::LeftButton);
    QTest::mouseClick(f.find<QPushButton>("ItemNextTrigger"), Qt::LeftButton);
    QTest::mouseClick(f.find<QPushButton>("GotoObject"), Qt::LeftButton);
    QCOMPARE(f.find<QGroupBox>("SecInf")->title(), QString("Sectors"));
    QVERIFY(!f.window->fileChanged());
    QVERIFY(f.log->messages.isEmpty());
}

namespace {

level::TRLevel levelWithOneRoom(int numX, int numZ) {
    level::TRLevel lvl;
    lvl.LevelVersion = level::kVersionTR2;
    lvl.Version = level::kMagicTR2;
    level::TRRoom room;
    room.NumXSectors = static_cast<std::int16_t>(numX);
    room.NumZSectors = static_cast<std::int16_t>(numZ);
    room.Sectors.resize(static_cast<std::size_t>(numX * numZ));
    lvl.Rooms.push_back(room);
    lvl.FloorData = {0};
    return lvl;
}

}  // namespace

void PanelsTest::wideRoomsScrollSoEverySectorCanBeSelected() {
    WindowFixture f;
    f.window->showLevel(levelWithOneRoom(40, 35), "/nowhere/wide.tr2");
    QCOMPARE(f.window->windowTitle(), QString("Tessarin 2.9 [wide.tr2]"));
    auto* scrollX = f.find<QScrollBar>("MapScrollX");
    auto* scrollY = f.find<QScrollBar>("MapScrollY");
    QVERIFY(scrollX->isVisible() && scrollY->isVisible());
    QCOMPARE(scrollY->maximum(), f.window->session().map().maxScrollY());
    QVERIFY(scrollY->maximum() >= 40 * 10 - 300);
    scrollY->setValue(scrollY->maximum());
    scrollX->setValue(scrollX->maximum());
    const int bottom = 299, right = 299;
    QTest::mouseClick(f.find<QWidget>("SectorMap"), Qt::LeftButton, {}, QPoint(right - 5, bottom - 5));
    QCOMPARE(f.find<QGroupBox>("SecInf")->title(), sectorTitle(39, 34));
    scrollY->setValue(0);
    scrollX->setValue(0);
    f.clickSector(0, 0);
    QCOMPARE(f.find<QGroupBox>("SecInf")->title(), sectorTitle(0, 0));
    // A small room hides the bars again.
    f.window->showLevel(levelWithOneRoom(3, 3), "/nowhere/small.tr2");
    QVERIFY(!scrollX->isVisible() && !scrollY->isVisible());
}

void PanelsTest::levelWithoutRoomsShowsAnEmptyMap() {
    WindowFixture f;
    level::TRLevel empty;
    empty.LevelVersion = level::kVersionTR2;
    f.window->showLevel(std::move(empty), "/nowhere/empty.tr2");
    QVERIFY(f.entries("RoomNumber").isEmpty());
    f.clickSector(0, 0);
    f.clickSector(0, 0, Qt::RightButton);
    QTest::mouseClick(f.find<QPushButton>("ItemAdd"), Qt::LeftButton);
    QTest::mouseClick(f.find<QPushButton>("GotoObject"), Qt::LeftButton);
    QVERIFY(!f.window->fileChanged());
    QCOMPARE(f.find<QGroupBox>("SecInf")->title(), QString("Sectors"));
}

}  // namespace tessarin::test
