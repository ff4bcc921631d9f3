// Demo recording from the Demo menu with a scripted clock and keyboard, its refusals, and the X11
// keyboard's scan codes.
#include <QAction>
#include <QStatusBar>
#include <linux/input-event-codes.h>
#include <map>

#include "AppTestSupport.h"
#include "AppTests.h"
#include "DemoController.h"
#include "demo/DemoScript.h"
#include "level/LevelWriter.h"
#include "platform/BackgroundKeyboard.h"
#include "platform/ScanCodes.h"

namespace tessarin::test {

namespace {

QAction* action(const WindowFixture& f, const char* name) { return f.find<QAction>(name); }

}  // namespace

void DemoTest::everyTableKeyHasItsScanCodeOnX11() {
    const std::map<int, int> expected = {
        {KEY_UP, 200},        {KEY_DOWN, 208},     {KEY_LEFT, 203},   {KEY_RIGHT, 205},
        {KEY_LEFTALT, 56},    {KEY_RIGHTALT, 184}, {KEY_SPACE, 57},   {KEY_LEFTCTRL, 29},
        {KEY_RIGHTCTRL, 157}, {KEY_COMMA, 51},     {KEY_SLASH, 53},   {KEY_TAB, 15},
    };
    for (const auto& [evdev, scan] : expected) QCOMPARE(app::platform::directInputScanCode(evdev), scan);
    for (const auto& key : demo::kDemoKeyBits) {
        bool found = false;
        for (const auto& [evdev, scan] : expected) found = found || scan == key.ScanCode;
        QVERIFY2(found, qPrintable(QString("scan code %1 of the table is not checked").arg(key.ScanCode)));
    }
    // XQueryKeymap's bit map: X key code = evdev code + 8, one bit per key code.
    char keymap[32] = {};
    const int x11RightAlt = KEY_RIGHTALT + 8, x11Comma = KEY_COMMA + 8;
    keymap[x11RightAlt / 8] = static_cast<char>(1 << (x11RightAlt % 8));
    keymap[x11Comma / 8] |= static_cast<char>(1 << (x11Comma % 8));
    const auto keys = app::platform::keyStateFromX11Keymap(keymap);
    int pressed = 0;
    for (auto k : keys) pressed += k != 0 ? 1 : 0;
    QCOMPARE(pressed, 2);
    QVERIFY(keys[demo::kScanRightAlt] != 0 && keys[demo::kScanComma] != 0);
}

void DemoTest::recordingFromTheMenuFillsTheDemoAndMarksTheLevelUnsaved() {
    REQUIRE_PATH(path, sampleLevel("sample-tr3.tr2"));
    WindowFixture f;
    QVERIFY(!action(f, "Mnu_Demo_Rec")->isEnabled());
    QVERIFY(f.open(path));
    QVERIFY(action(f, "Mnu_Demo_Rec")->isEnabled());
    QVERIFY(!action(f, "Mnu_Demo_Stop")->isEnabled());
    auto script = std::make_shared<demo::ScriptedDemoInput>();
    app::DemoController& demo = f.window->demo();
    demo.setInputSource([script] { return std::make_unique<FakeInput>(script); });

    f.log->messages.clear();
    action(f, "Mnu_Demo_Rec")->trigger();
    QCOMPARE(f.log->messages, QStringList{app::kDemoStartMessage});
    QVERIFY(demo.Recording());
    QVERIFY(!f.window->preview().PreviewOn);
    QVERIFY(!action(f, "Mnu_Demo_Rec")->isEnabled());
    QVERIFY(action(f, "Mnu_Demo_Stop")->isEnabled());
    QVERIFY(!action(f, "Mnu_File_Save")->isEnabled());

    auto at = [&](std::uint32_t tick, std::vector<std::uint8_t> keys) {
        script->set(tick, keys);
        demo.step();
    };
    at(1000, {});
    at(1101, {demo::kScanTab});
    QCOMPARE(script->beeps(), 1);
    QVERIFY(f.text("DemoState").contains("capture on"));
    at(1140, {demo::kScanUp});
    at(1180, {demo::kScanDown, demo::kScanLeftCtrl});
    // The count is shown a few times a second, not with every word (each redraws the window).
    QVERIFY(f.text("DemoState").contains("10 words"));
    // A file chooser's keys (arrows through a folder) are no part of the game: the recorder pauses.
    int chooserSteps = 0;
    f.log->whileChoosing = [&] { chooserSteps += demo.stepping() ? 1 : 0; };
    action(f, "Mnu_File_ExportMap")->trigger();
    f.window->Mnu_File_Open_Click();
    f.log->whileChoosing = nullptr;
    QCOMPARE(chooserSteps, 0);
    QVERIFY(demo.stepping());
    QVERIFY(!f.window->fileChanged());

    action(f, "Mnu_Demo_Stop")->trigger();
    QVERIFY(!demo.Recording());
    QVERIFY(f.window->fileChanged());
    const auto& level = f.window->session().Level;
    QCOMPARE(level.NumDemoData, std::int16_t(13 * 4));
    QCOMPARE(level.DemoData.back(), -1);
    QCOMPARE(level.DemoData[10], 1);
    QCOMPARE(level.DemoData[11], 2 | 64);
    QVERIFY(action(f, "Mnu_File_Save")->isEnabled());
    QVERIFY(action(f, "Mnu_Demo_Rec")->isEnabled());
    QVERIFY(!f.window->preview().PreviewOn);
    QVERIFY(f.text("DemoState").contains("Demo of 13 words recorded; save the level to keep it"));
    // Saved, the level keeps its demo: the note goes.
    f.log->saveNames.push_back(QString::fromStdString((scratchDir("demo-saved") / "level.tr2").string()));
    QVERIFY(f.window->Mnu_File_SaveAs_Click());
    QVERIFY(!f.find<QWidget>("DemoState")->isVisible());

    // A second recording starts with the capture off although the first ended with it on.
    // Quitting while recording asks first: Cancel keeps it running, No closes the demo.
    action(f, "Mnu_Demo_Rec")->trigger();
    QVERIFY(!demo.recorder()->DemoCapture);
    QCOMPARE(level.DemoData.size(), std::size_t(10));
    f.log->answers.push_back(QMessageBox::Cancel);
    f.window->Mnu_File_Quit_Click();
    QVERIFY(demo.Recording());
    QCOMPARE(level.DemoData.size(), std::size_t(10));
    f.log->answers.push_back(QMessageBox::No);
    f.window->Mnu_File_Quit_Click();
    QCOMPARE(f.log->questions.size(), 2);
    QVERIFY(!demo.Recording());
    QCOMPARE(level.DemoData.size(), std::size_t(11));
}

void DemoTest::startRecordingRefusesOtherVersionsAndAMissingKeyboard() {
    REQUIRE_PATH(tr4, sampleLevel("sample-tr4.tr4"));
    REQUIRE_PATH(tr2, sampleLevel("sample-tr2.tr2"));
    WindowFixture f;
    app::DemoController& demo = f.window->demo();
    QVERIFY(f.open(tr4));
    f.log->messages.clear();
    action(f, "Mnu_Demo_Rec")->trigger();
    QCOMPARE(f.log->messages, QStringList{demo::kDemoVersionMessage});
    QVERIFY(!demo.Recording());
    QVERIFY(f.window->preview().PreviewOn);

    QVERIFY(f.open(tr2));
    const auto before = f.window->session().Level.DemoData;
    demo.setInputSource([] { return std::unique_ptr<demo::DemoInput>(); });
    f.log->messages.clear();
    action(f, "Mnu_Demo_Rec")->trigger();
    QCOMPARE(f.log->messages, QStringList{app::platform::kNoBackgroundKeyboardMessage});
    QVERIFY(!demo.Recording());
    QVERIFY(f.window->preview().PreviewOn);
    QVERIFY(f.window->session().Level.DemoData == before);
    QVERIFY(!action(f, "Mnu_Demo_Stop")->isEnabled());
}

void DemoTest::undoingAnImportWhileRecordingClosesTheDemoInItsLevel() {
    REQUIRE_PATH(tr3, sampleLevel("sample-tr3.tr2"));
    REQUIRE_PATH(tr4, sampleLevel("sample-tr4.tr4"));
    WindowFixture f;
    QVERIFY(f.open(tr3));
    const auto opened = f.window->session().Level.DemoData;
    f.log->openNames.push_back(QString::fromStdString(tr4.string()));
    QVERIFY(f.window->Mnu_Edit_TR4_Click());
    auto script = std::make_shared<demo::ScriptedDemoInput>();
    app::DemoController& demo = f.window->demo();
    demo.setInputSource([script] { return std::make_unique<FakeInput>(script); });
    action(f, "Mnu_Demo_Rec")->trigger();
    script->set(1000, {demo::kScanTab});
    demo.step();
    script->set(1040, {demo::kScanUp});
    demo.step();

    // Undo brings back the level opened first with its demo as it was; the recording ended in the
    // imported level, which Redo brings back whole and savable.
    action(f, "Mnu_Edit_Undo")->trigger();
    QVERIFY(!demo.Recording());
    QVERIFY(f.window->session().Level.DemoData == opened);
    action(f, "Mnu_Edit_Redo")->trigger();
    const auto& imported = f.window->session().Level;
    QCOMPARE(imported.DemoData.back(), -1);
    QCOMPARE(static_cast<std::size_t>(imported.NumDemoData), imported.DemoData.size() * 4);
    QCOMPARE(level::WriteRefusal(imported), std::string());
}

}  // namespace tessarin::test
