// A fresh window: controls, menus, command line, preview keys, about window, quitting.
#include <QAction>
#include <QCheckBox>
#include <QDockWidget>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <chrono>

#include "AppTestSupport.h"
#include "AppTests.h"
#include "HelpWindows.h"
#include "QtConvert.h"
#include "Startup.h"
#include "registry/DesktopEntries.h"
#include "support/TestPaths.h"
#include "util/ByteWriter.h"
#include "util/FileIO.h"

namespace tessarin::test {

void StartupTest::everyControlHasItsInitialCaptionAndFrame() {
    WindowFixture f;
    QCOMPARE(f.window->windowTitle(), QString("Tessarin 2.9"));
    // The default size fits a 1366 x 768 screen with a title bar and a taskbar, and no frame
    // covers another.
    QVERIFY(f.window->width() <= 1350 && f.window->height() <= 690);
    const QStringList frames = {"SectorMap", "SecInf", "Doors", "Triggers", "StaticMeshes", "Rooms", "Items", "Textures"};
    const auto frameOverlap = [&]() -> QString {
        for (int i = 0; i < frames.size(); ++i) {
            QWidget* a = f.find<QWidget>(frames[i]);
            const QRect ra(a->mapTo(f.window.get(), QPoint(0, 0)), a->size());
            if (!f.window->rect().contains(ra)) return frames[i] + " outside";
            for (int j = i + 1; j < frames.size(); ++j) {
                QWidget* b = f.find<QWidget>(frames[j]);
                if (ra.intersects(QRect(b->mapTo(f.window.get(), QPoint(0, 0)), b->size()))) return frames[i] + " / " + frames[j];
            }
        }
        return QString();
    };
    QCOMPARE(frameOverlap(), QString());
    auto* preview = f.find<QWidget>("Preview");
    QCOMPARE(preview->size(), QSize(400, 400));
    // Enlarged, the preview takes the room as a larger square and still nothing overlaps.
    const QSize defaultSize = f.window->size();
    f.window->resize(1920, 1050);
    QTRY_VERIFY(preview->width() > 600);
    QCOMPARE(preview->height(), preview->width());
    QCOMPARE(frameOverlap(), QString());
    f.window->resize(defaultSize);
    QTRY_COMPARE(preview->size(), QSize(400, 400));
    struct Control { const char* frame; const char* name; const char* caption; };
    const Control labels[] = {
        {"SecInf", "Label3", "Ceiling Height"}, {"SecInf", "Label1", "Floor Height"},
        {"SecInf", "FD20", "Minecart Left"}, {"SecInf", "FD21", "Minecart Right"},
        {"SecInf", "Minecart_Stop", "Minecart Stop"}, {"Triggers", "TriggerTimer", "Timer: 0"},
        {"Triggers", "FD_lbl", "FD:0"}, {"Doors", "Label6", "Side"}, {"Doors", "Label7", "Above"},
        {"Doors", "Label8", "Below"}, {"Doors", "DoorSide", "None"}, {"Doors", "DoorAbove", "None"},
        {"Doors", "DoorBelow", "None"}, {"StaticMeshes", "Label5", "Static Mesh ID:"},
        {"StaticMeshes", "NumStatic", "0 Static Meshes"}, {"Rooms", "DrawDoors", "DrawDoors"},
        {"Rooms", "RoomInfo", "Room 0"}, {"Rooms", "AltRoom", "No alternate"}, {"Items", "Label9", "OCB:"},
        {"Items", "ItemID", ""}, {"Items", "SecItemCnt", "Of 1"},
        {"Items", "ItemNumTriggers", "This object has 0 triggers"}, {"Items", "ItemCB", "Clear Body"},
        {"Items", "ItemInvisible", "Invisible"}, {"Items", "ItemNorth", "N"}, {"Items", "ItemEast", "E"},
        {"Items", "ItemSouth", "S"}, {"Items", "ItemWest", "W"},
    };
    for (const Control& c : labels) {
        auto* label = f.find<QLabel>(c.name);
        QVERIFY2(label, c.name);
        QCOMPARE(label->text(), QString(c.caption));
        auto* frame = f.find<QGroupBox>(c.frame);
        QVERIFY2(frame && frame->isAncestorOf(label), c.name);
    }
    for (int k = 0; k < 5; ++k) {
        QCOMPARE(f.text(QString("TriggerFlags%1").arg(k)), QString::number(k + 1));
        QCOMPARE(f.text(QString("ActiveFlags%1").arg(k)), QString::number(k + 1));
    }
    const Control buttons[] = {
        {"Triggers", "GotoObject", "Find Object"}, {"StaticMeshes", "StaticAdd", "Add"},
        {"StaticMeshes", "StaticRemove", "Remove"}, {"Rooms", "RoomAdd", "Add"}, {"Rooms", "RoomDelete", "Remove"},
        {"Rooms", "ViewMode", "2D Map"}, {"Items", "ItemAdd", "Add"}, {"Items", "ItemRemove", "Remove"},
        {"Items", "ItemNextTrigger", "Next Trigger"},
    };
    for (const Control& c : buttons) {
        auto* button = f.find<QPushButton>(c.name);
        QVERIFY2(button, c.name);
        QCOMPARE(button->text(), QString(c.caption));
        QVERIFY2(f.find<QGroupBox>(c.frame)->isAncestorOf(button), c.name);
    }
    QCOMPARE(f.find<QCheckBox>("FloorWall")->text(), QString("Wall"));
    QCOMPARE(f.find<QCheckBox>("AllItems")->text(), QString("All"));
    for (const char* name : {"CeilingHeight", "FloorHeight", "StaticID", "ItemOCB"}) QVERIFY2(f.find<QLineEdit>(name), name);
    for (const char* name : {"TriggerData", "CurMesh", "RoomNumber", "SecCurItem", "ItemDesc"})
        QVERIFY2(f.find<QComboBox>(name), name);
    QVERIFY(f.entries("RoomNumber").isEmpty());
    QVERIFY(f.find<QGroupBox>("Textures")->isAncestorOf(f.find<QWidget>("TextPB")));
    QVERIFY(f.find<QGroupBox>("Textures")->isAncestorOf(f.find<QWidget>("TextScroll")));
    QCOMPARE(f.find<QWidget>("SectorMap")->size(), QSize(710, 400));
    QCOMPARE(f.find<QGroupBox>("SecInf")->title(), QString("Sectors"));
    // The minecart buttons wait for a level, and look it; the buttons that go somewhere find
    // nothing yet and leave the panels as they are.
    auto* fd20 = f.find<QLabel>("FD20");
    QVERIFY(!fd20->isEnabled());
    QVERIFY(fd20->palette().color(QPalette::Disabled, QPalette::WindowText) != QColor(0, 0, 0));
    f.find<QPushButton>("GotoObject")->click();
    f.find<QPushButton>("ItemNextTrigger")->click();
    QVERIFY(fd20->isVisibleTo(f.window.get()));
    QVERIFY(f.find<QComboBox>("TriggerData")->isEnabled());
}

void StartupTest::windowsFitAScaledScreen() {
    // A 1366 x 768 screen under 125 % display scaling has less room than the panels take.
    QScreen* scaled = nullptr;
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->name() == "scaled") scaled = screen;
    if (!scaled) QSKIP("runs on the offscreen platform's second screen");
    WindowFixture f;
    const QSize whole = f.window->size();
    f.window->hide();
    f.window->setScreen(scaled);
    f.window->move(scaled->availableGeometry().topLeft());
    f.window->show();
    QCoreApplication::processEvents();
    const QRect area = scaled->availableGeometry();
    QVERIFY(whole.width() > area.width() || whole.height() > area.height());
    QVERIFY2(f.window->width() < area.width() && f.window->height() < area.height(),
             qPrintable(QString("%1 x %2").arg(f.window->width()).arg(f.window->height())));
    // What does not fit scrolls.
    auto* panels = f.find<QScrollArea>("Panels");
    QVERIFY(panels->horizontalScrollBar()->maximum() > 0 || panels->verticalScrollBar()->maximum() > 0);
    // The Level Browser, shown floating, stands on the screen whole.
    f.window->findChild<QAction*>("Mnu_View_Browser")->trigger();
    auto* browser = f.find<QDockWidget>("LevelBrowser");
    QVERIFY(browser && browser->isFloating());
    QVERIFY2(area.contains(browser->frameGeometry()), qPrintable(QString("%1,%2 %3 x %4")
        .arg(browser->x()).arg(browser->y()).arg(browser->width()).arg(browser->height())));
}

void StartupTest::flagLabelsReadUnderLargeFontsAndDarkPalettes() {
    const auto level = sampleLevel("sample-tr4.tr4");
    if (level.empty()) QSKIP("the TR4 sample is not there");
    const QPalette palette = QApplication::palette();
    const QFont font = QApplication::font();
    QPalette dark = palette;
    for (auto role : {QPalette::Window, QPalette::Button, QPalette::Base}) dark.setColor(role, QColor(42, 46, 50));
    for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) dark.setColor(role, QColor(230, 230, 230));
    QApplication::setPalette(dark);
    QFont large = font;
    large.setPointSizeF(font.pointSizeF() * 1.6);
    QApplication::setFont(large);
    {
        WindowFixture f;
        QVERIFY(f.open(level));  // the longest captions: "Trigger Triggerer", "Clockwise Beatle"
        f.clickSector(1, 1);
        QStringList names = {"FD20", "FD21", "ItemNorth", "ItemEast", "ItemSouth", "ItemWest", "DrawDoors",
                             "ItemCB", "ItemInvisible"};
        for (int k = 0; k < 5; ++k) names << QString("TriggerFlags%1").arg(k) << QString("ActiveFlags%1").arg(k);
        for (const QString& name : names) {
            auto* label = f.find<QLabel>(name);
            const QFontMetrics metrics = label->fontMetrics();
            QTRY_VERIFY2(label->width() >= metrics.horizontalAdvance(label->text()) && label->height() >= metrics.height(),
                     qPrintable(QString("%1: %2 x %3").arg(name).arg(label->width()).arg(label->height())));
            // Blue or black text on a light ground of the label's own.
            const QColor text = label->palette().color(QPalette::Active, QPalette::WindowText);
            const QColor ground = (label->autoFillBackground() ? label : label->parentWidget())->palette().color(QPalette::Window);
            QVERIFY2(std::abs(ground.lightness() - text.lightness()) >= 100, qPrintable(name));
        }
    }
    QApplication::setFont(font);
    QApplication::setPalette(palette);
}

void StartupTest::menusHaveTheirEntriesAndShortcuts() {
    WindowFixture f;
    QStringList titles;
    for (QAction* a : f.window->menuBar()->actions()) titles << a->text();
    QCOMPARE(titles, (QStringList{"&File", "&Edit", "&Help", "&Demo", "&View"}));
    struct Entry { const char* name; const char* text; QKeySequence key; bool enabled; };
    const Entry entries[] = {
        {"Mnu_File_Open", "&Open", QKeySequence::Open, true},
        {"Mnu_File_Save", "&Save", QKeySequence::Save, true},
        {"Mnu_File_SaveAs", "Save As...", QKeySequence("Ctrl+Shift+S"), true},
        {"Mnu_File_Quit", "&Quit", QKeySequence("Ctrl+Q"), true},
        {"Mnu_Edit_TR4", "&Import TR4", QKeySequence(), true},
        {"Mnu_Edit_LoadPRJ", "Import &PRJ", QKeySequence(), false},
        {"Mnu_Help_MineCart", "&MineCart Help", QKeySequence(), true},
        {"Mnu_Help_About", "&About", QKeySequence(), true},
        {"Mnu_Demo_Rec", "Start Recording", QKeySequence(), false},
        {"Mnu_Demo_Stop", "Stop Recording", QKeySequence(), false},
        {"Mnu_Edit_Undo", "&Undo", QKeySequence("Ctrl+Z"), false},
        {"Mnu_View_ZoomIn", "Zoom Map &In", QKeySequence("Ctrl++"), true},
    };
    for (const Entry& e : entries) {
        auto* action = f.window->findChild<QAction*>(e.name);
        QVERIFY2(action, e.name);
        QCOMPARE(action->text(), QString(e.text));
        QCOMPARE(action->shortcut(), e.key);
        QCOMPARE(action->isEnabled(), e.enabled);
    }
}

void StartupTest::commandLineIsJoinedAndSwitchesMatchByPrefix() {
    char a0[] = "tessarin2", a1[] = "/convert3", a2[] = "C:\\x\\my", a3[] = "lvl.tr4";
    char* argv[] = {a0, a1, a2, a3};
    QCOMPARE(app::commandLineOf(4, argv), QString("/convert3 C:\\x\\my lvl.tr4"));
    QCOMPARE(app::commandLineOf(1, argv), QString());

    std::vector<app::BatchAction> actions;
    for (const char* p : {"/adddemo", "/convert2", "/convert3", "/view"}) actions.push_back({p, {}});
    auto matched = [&](const QString& line) {
        const app::BatchAction* a = app::matchBatchAction(line, actions);
        return a ? a->prefix : QString();
    };
    QCOMPARE(matched("/convert2 a.tr4"), QString("/convert2"));
    QCOMPARE(matched("/viewer x"), QString("/view"));  // a longer word still counts
    QCOMPARE(matched("/View x"), QString());            // case matters
    QCOMPARE(matched("level.tr2"), QString());
    QCOMPARE(matched(""), QString());
    QCOMPARE(app::openSwitchPath("/open /tmp/a b.tr2"), QString("/tmp/a b.tr2"));
    QCOMPARE(app::openSwitchPath("/tmp/a.tr2"), QString());
}

void StartupTest::batchSwitchesRunWithoutTheWindow() {
    auto run = [](const QStringList& args, QString* err = nullptr) {
        QProcess process;
        // No display at all: no OpenGL either.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(env);
        process.start(TESSARIN_APP_PATH, args);
        if (!process.waitForFinished(120000)) return -1;
        if (err) *err = QString::fromLocal8Bit(process.readAllStandardError());
        return process.exitCode();
    };
    QString err;
    // --help alone prints the switches and exits 0; after a switch it is part of a path.
    QVERIFY(app::isHelpRequest("--help") && app::isHelpRequest("-h"));
    QVERIFY(!app::isHelpRequest("/open --help") && !app::isHelpRequest("--help x"));
    QCOMPARE(run({"--help"}, &err), 0);
    QVERIFY2(err.isEmpty(), qPrintable(err));
    // "/view" without a 3D device: the device message, exit code 1, no crash.
    QCOMPARE(run({"/view", "x.tr2"}, &err), 1);
    QVERIFY2(err.contains("ERROR! Can't find any Direct3D Device"), qPrintable(err));
    const auto dir = scratchDir("batch");

    // "/adddemo" rewrites the named level in place; a file it cannot read or write stays as it was.
    QCOMPARE(run({"/adddemo", QString::fromStdString((dir / "missing.tr2").string())}, &err), 1);
    QVERIFY(!err.isEmpty());
    QVERIFY(!std::filesystem::exists(dir / "missing.tr2"));
    for (const auto& source : {sampleLevel("sample-tr3.tr2"), levelOrEmpty("tr2-test1.tr2"),
                               sampleLevel("sample-tr4.tr4")}) {
        if (source.empty()) continue;
        const auto copy = dir / ("demo-" + source.filename().string());
        std::filesystem::copy_file(source, copy);
        std::filesystem::permissions(copy, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
        const auto before = util::readFile(copy);
        QVERIFY(before);
        // An old stamp shows whether the file was written again.
        const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(48);
        std::filesystem::last_write_time(copy, old);
        const bool writable = source.extension() == ".tr2";
        QCOMPARE(run({"/adddemo", QString::fromStdString(copy.string())}, &err), writable ? 0 : 1);
        QVERIFY2(writable ? err.isEmpty() : err.contains("TR4"), qPrintable(err));
        QCOMPARE(std::filesystem::last_write_time(copy) != old, writable);
        const auto after = util::readFile(copy);
        QVERIFY(after && *after == *before);
    }

    // A failure is shown in a window as well when a desktop action asked for it and a display that
    // is not off-screen is there: a box no one could see would hold the process.
    {
        const QByteArray saved[] = {qgetenv(registry::kBatchReportVariable), qgetenv("DISPLAY"), qgetenv("QT_QPA_PLATFORM")};
        qputenv("DISPLAY", ":99");
        qunsetenv("QT_QPA_PLATFORM");
        qunsetenv(registry::kBatchReportVariable);
        QVERIFY(!app::batchFailureWindowWanted());
        qputenv(registry::kBatchReportVariable, "window");
        QVERIFY(app::batchFailureWindowWanted());
        for (const char* platform : {"offscreen", "offscreen:configfile=/tmp/screens.json", "minimal;xcb"}) {
            qputenv("QT_QPA_PLATFORM", platform);
            QVERIFY2(!app::batchFailureWindowWanted(), platform);
        }
        const char* names[] = {registry::kBatchReportVariable, "DISPLAY", "QT_QPA_PLATFORM"};
        for (int i = 0; i < 3; ++i) saved[i].isNull() ? qunsetenv(names[i]) : qputenv(names[i], saved[i]);
        // A display that cannot be reached (a terminal's stale DISPLAY) shows no box: the toolkit
        // would end the process on it, and the failure would not be the exit code 1 it is.
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", ":77");
        env.remove("WAYLAND_DISPLAY");
        env.remove("QT_QPA_PLATFORM");
        env.insert(registry::kBatchReportVariable, "window");
        env.insert("TESSARIN_NO_REGISTER", "1");
        process.setProcessEnvironment(env);
        process.start(TESSARIN_APP_PATH, {"/convert3", QString::fromStdString((dir / "missing.tr4").string())});
        QVERIFY(process.waitForFinished(120000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 1);
    }

    // A file name that is no UTF-8 text (Latin-1, from an old archive) reaches the file system as
    // the system passed it: converted beside itself, then rewritten with its demo.
    const auto sampleTR4 = sampleLevel("sample-tr4.tr4");
    if (!sampleTR4.empty()) {
        const std::string latin1 = (dir / "M\xfcll").string();
        std::filesystem::copy_file(sampleTR4, latin1 + ".tr4");
        auto runHere = [](auto action, const char* batchSwitch, const std::string& path) {
            std::string program = "tessarin2", name = batchSwitch, file = path;
            char* argv[] = {program.data(), name.data(), file.data()};
            int argc = 3;
            return action(app::commandLineOf(argc, argv), argc, argv);
        };
        QCOMPARE(runHere(app::convertLevel, "/convert3", latin1 + ".tr4"), 0);
        QVERIFY(std::filesystem::exists(latin1 + ".tr2"));
        QCOMPARE(runHere(app::addDemo, "/adddemo", latin1 + ".tr2"), 0);
        // "/open" (and "/view") take it as it came too: the editor opens it and saves it in place.
        std::string program = "tessarin2", name = "/open", file = latin1 + ".tr2";
        char* argv[] = {program.data(), name.data(), file.data()};
        const QString path = app::openSwitchPath(app::commandLineOf(3, argv));
        QCOMPARE(app::toPath(path).string(), file);
        // Any bytes come back: a 4-byte character, an encoded surrogate, a character cut short.
        const std::string odd = "a\xF0\x9F\x98\x80\xED\xA0\x80\xC3";
        QCOMPARE(app::toPath(app::pathText(odd)).string(), odd);
        const auto before = util::readFile(file);
        WindowFixture f;
        QVERIFY(f.window->openLevel(path));
        QVERIFY(f.window->Mnu_File_Save_Click());
        QVERIFY(f.log->questions.isEmpty());
        QCOMPARE(util::readFile(file).value(), before.value());
        for (const auto& entry : std::filesystem::directory_iterator(dir))  // nothing under a mangled name
            QVERIFY(entry.path().filename().string().find("\xEF\xBF\xBD") == std::string::npos);
    }

    const auto tr4 = levelOrEmpty("tr4-test1.tr4");
    if (tr4.empty()) QSKIP("the real TR4 level is not there");
    std::filesystem::copy_file(tr4, dir / "lvl.tr4");
    QCOMPARE(run({"/convert3", QString::fromStdString((dir / "lvl.tr4").string())}, &err), 0);
    QVERIFY2(std::filesystem::exists(dir / "lvl.tr2"), qPrintable(err));
}

void StartupTest::previewKeysSteerWhicheverControlHasFocus() {
    WindowFixture f;
    f.window->activateWindow();
    auto* ocb = f.find<QLineEdit>("ItemOCB");
    ocb->setFocus();
    QApplication::processEvents();
    QTest::keyClick(ocb, Qt::Key_PageUp);
    QCOMPARE(f.window->preview().PreviewDistance, 2.9);
    for (int i = 0; i < 30; ++i) QTest::keyClick(ocb, Qt::Key_PageUp);
    QCOMPARE(f.window->preview().PreviewDistance, 1.0);
    f.find<QWidget>("RoomNumber")->setFocus();
    QTest::keyClick(f.find<QWidget>("RoomNumber"), Qt::Key_Left);
    QVERIFY(qAbs(f.window->preview().PreviewYaw - 0.1) < 1e-9);
    ocb->setFocus();
    QTest::keyClick(ocb, Qt::Key_Up);
    QVERIFY(qAbs(f.window->preview().PreviewPitch - 6.18) < 1e-9);
    QTest::keyClick(ocb, Qt::Key_A);
    QVERIFY(qAbs(f.window->preview().PreviewYaw - 0.1) < 1e-9);

    // The keys steer the view alone: a button keeps the focus and panels that scroll stay put.
    f.window->setMinimumSize(0, 0);  // as on a screen too small for the panels
    f.window->resize(300, 300);
    f.window->show();
    QApplication::processEvents();
    auto* panels = f.find<QScrollArea>("Panels");
    QVERIFY(panels->verticalScrollBar()->maximum() > 0);
    auto* next = f.find<QPushButton>("ItemNextTrigger");
    next->setEnabled(true);
    next->setFocus();
    QApplication::processEvents();
    const int scrolled = panels->verticalScrollBar()->value();
    for (auto key : {Qt::Key_Left, Qt::Key_Down, Qt::Key_PageDown, Qt::Key_Right}) QTest::keyClick(next, key);
    QCOMPARE(QApplication::focusWidget(), next);
    QCOMPARE(panels->verticalScrollBar()->value(), scrolled);
    QVERIFY(qAbs(f.window->preview().PreviewDistance - 1.1) < 1e-9);
    // A field being typed in keeps Left and Right for its cursor.
    ocb->setReadOnly(false);
    ocb->setText("123");
    ocb->setFocus();
    ocb->setCursorPosition(3);
    QTest::keyClick(ocb, Qt::Key_Left);
    QCOMPARE(ocb->cursorPosition(), 2);
    // The menu bar, given the keys by Alt, walks its menus with them instead.
    const double yaw = f.window->preview().PreviewYaw;
    f.window->menuBar()->setFocus();
    QTest::keyClick(f.window->menuBar(), Qt::Key_Right);
    QCOMPARE(f.window->preview().PreviewYaw, yaw);
}

void StartupTest::aboutWindowDisablesTheMainWindowUntilClosed() {
    WindowFixture f;
    f.window->Mnu_Help_About_Click();
    QWidget* found = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "About_Frm") found = w;
    QVERIFY(found && found->isVisible());
    QVERIFY(!f.window->isEnabled());
    QVERIFY(found->isEnabled());
    static_cast<QDialog*>(found)->accept();
    QVERIFY(f.window->isEnabled());

    f.window->Mnu_Help_MineCart_Click();
    auto* help = f.window->findChild<app::MineCartHelp_Frm*>("MineCartHelp_Frm");
    QVERIFY(help && help->isVisible());
    QVERIFY(help->MineReadme[0]->isVisible());
    QVERIFY(!help->MineReadme[3]->isVisible());  // no TR3 level open
    help->close();
}

void StartupTest::quitWithUnsavedChangesAsksFirst() {
    WindowFixture f;
    f.window->Mnu_File_Quit_Click();  // nothing changed: quits without a question
    QVERIFY(f.log->questions.isEmpty());
    QVERIFY(!f.window->isRunning());
}

}  // namespace tessarin::test
