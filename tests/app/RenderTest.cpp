// The 3D views drawn for real (Mesa's software rasteriser under a virtual X server).
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QKeyEvent>
#include <QScreen>
#include <QWindow>

#include "AppTestSupport.h"
#include "AppTests.h"
#include "DemoController.h"
#include "LevelBrowser.h"
#include "LevelView.h"
#include "gl/DisplayDevice.h"
#include "gl/RenderView.h"
#include "level/LevelReader.h"
#include "level/LevelWriter.h"
#include "support/TestPaths.h"

namespace tessarin::test {

namespace {

bool isBlue(QRgb c) { return qRed(c) < 16 && qGreen(c) < 16 && qBlue(c) > 240; }
bool isRed(QRgb c) { return qRed(c) > 120 && qGreen(c) < 40 && qBlue(c) < 40; }

int countPixels(const QImage& image, const QRect& area, bool (*test)(QRgb)) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) n += test(image.pixel(x, y));
    return n;
}

// Waits for `frames` more frames of the view and returns the last picture.
QImage nextPicture(app::RenderView* view, int frames = 2) {
    const int until = view->framesDrawn() + frames;
    const bool drawn = QTest::qWaitFor([&] {
        view->update();
        return view->framesDrawn() >= until;
    }, 10000);
    if (!drawn) return QImage();
    return view->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
}

void save(const QImage& image, const QString& name) {
    QDir().mkpath(TESSARIN_SCREENSHOT_DIR);
    image.save(QString(TESSARIN_SCREENSHOT_DIR) + "/" + name);
}

}  // namespace

void RenderTest::initTestCase() {
    if (!app::ProbeDevice().found) QSKIP("no OpenGL 3.3 context can be made here");
}

void RenderTest::viewerDrawsTheSampleWithItsOverlayAndWalks() {
    REQUIRE_PATH(path, sampleLevel("sample-tr3.tr2"));
    auto level = level::LoadLevel(path);
    QVERIFY(level);
    app::LevelView window;
    window.resize(1000, 600);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.showLevel(std::move(level.value()), "sample-tr3.tr2");
    QCOMPARE(window.windowTitle(), QString("Tessarin LevelViewer - [sample-tr3.tr2]"));
    app::RenderView* view = window.view();
    const QImage first = nextPicture(view, 3);
    QVERIFY(!first.isNull());
    save(first, "viewer-sample-tr3.png");
    QVERIFY(view->rendererReady());
    const QRect whole = first.rect();
    // Rooms drawn over the blue clear colour, and the rate in red at the top left.
    QVERIFY(countPixels(first, whole, isBlue) < whole.width() * whole.height() / 2);
    QVERIFY(countPixels(first, QRect(0, 0, 40, 16), isRed) > 10);
    QCOMPARE(window.curRoom(), 0);
    // A few steps forward: the camera moves, and so does the picture.
    const double x = window.camera().CamX, z = window.camera().CamZ;
    for (int i = 0; i < 3; ++i) QTest::keyClick(view, Qt::Key_Up);
    QVERIFY(qAbs(window.camera().CamX - x) + qAbs(window.camera().CamZ - z) > 0.5);
    QVERIFY(nextPicture(view) != first);
    // Under a Cyrillic layout the keys at A and Z give other letters; they still raise and lower.
    const double y = window.camera().CamY;
    for (const auto& [letter, x11Code] : {std::pair{0x0424, 38}, std::pair{0x0424, 38}, std::pair{0x042F, 52}}) {
        QKeyEvent press(QEvent::KeyPress, letter, Qt::NoModifier, quint32(x11Code), 0, 0, QString(QChar(letter)));
        QApplication::sendEvent(view, &press);
    }
    QVERIFY(qAbs(window.camera().CamY - (y + 0.2)) < 1e-9);
    // F12 keeps the view as a picture beside the level, never over an earlier one nor through a
    // link lying where one would go.
    const auto folder = scratchDir("view-picture");
    const QString copy = QString::fromStdString((folder / "sample-tr3.tr2").string());
    std::filesystem::create_symlink(folder / "elsewhere.png", folder / "sample-tr3-view-2.png");
    window.showLevel(std::move(level::LoadLevel(path).value()), copy);
    QTest::keyClick(view, Qt::Key_F12);
    QTest::keyClick(view, Qt::Key_F12);
    const QImage picture(QFileInfo(copy).absolutePath() + "/sample-tr3-view-3.png");
    QCOMPARE(picture.size(), view->grabFramebuffer().size());
    QVERIFY(!std::filesystem::exists(folder / "elsewhere.png"));
    save(nextPicture(view), "viewer-picture-saved.png");  // with the note of where it went
}

void RenderTest::previewShowsTheRoomMarksTheSectorAndOrbits() {
    WindowFixture f(app::Tessarin2_Frm::Preview3D::On);
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    REQUIRE_PATH(path, sampleLevel("sample-tr3.tr2"));
    QVERIFY(f.open(path));
    // Selected, then made the orbit centre.
    f.clickSector(2, 3);
    f.clickSector(2, 3, Qt::LeftButton, Qt::AltModifier);
    app::RenderView* view = f.window->previewView();
    QVERIFY(view);
    QTRY_VERIFY(f.window->preview().PreviewBuilt);
    const QImage before = nextPicture(view);
    save(before, "preview-tr3.png");
    const QRect whole = before.rect();
    QVERIFY(countPixels(before, whole, isBlue) < whole.width() * whole.height() * 3 / 4);
    QVERIFY(countPixels(before, whole, isRed) > 50);
    QTest::keyClick(f.window.get(), Qt::Key_Left);
    QTRY_VERIFY(nextPicture(view) != before);
    f.window->grab().save(QString(TESSARIN_SCREENSHOT_DIR) + "/main-window-preview.png");
    // The 3D view made the window's native window anew; the floating browser is owned by the new
    // one, so window managers keep it above the main window.
    auto* browser = f.find<app::LevelBrowser>("LevelBrowser");
    f.find<QAction>("Mnu_View_Browser")->trigger();
    QVERIFY(browser->isFloating() && browser->windowHandle());
    QCOMPARE(browser->windowHandle()->transientParent(), f.window->windowHandle());
    browser->hide();
    // Then a level without rooms: nothing of the previous level's rooms stays in the preview.
    auto empty = level::LoadLevel(path);
    QVERIFY(empty);
    empty->Rooms.clear();
    const auto emptyPath = scratchDir("preview-no-rooms") / "no-rooms.tr2";
    QVERIFY(level::SaveLevel(emptyPath, *empty));
    QVERIFY(f.open(emptyPath));
    QTRY_VERIFY(countPixels(nextPicture(view), whole, isBlue) == whole.width() * whole.height());
    // After a recording the preview stays off; a level opened then is not drawn at all, rather
    // than the rooms shown last in the new level's textures.
    QVERIFY(f.open(path));
    QTRY_VERIFY(countPixels(nextPicture(view), whole, isBlue) < whole.width() * whole.height());
    auto script = std::make_shared<demo::ScriptedDemoInput>();
    f.window->demo().setInputSource([script] { return std::make_unique<FakeInput>(script); });
    f.find<QAction>("Mnu_Demo_Rec")->trigger();
    f.find<QAction>("Mnu_Demo_Stop")->trigger();
    QVERIFY(!f.window->preview().PreviewOn);
    f.log->answers.push_back(QMessageBox::No);
    QVERIFY(f.open(path));
    QTRY_VERIFY(countPixels(nextPicture(view), whole, isBlue) == whole.width() * whole.height());
}

void RenderTest::viewerPicturesOfEveryVersion() {
    int saved = 0;
    for (const char* name : {"tr1-test1.phd", "tr2-test1.tr2", "tr3-test1.tr2", "tr4-test1.tr4", "tr5-test1.trc"}) {
        const auto path = levelOrEmpty(name);
        if (path.empty()) continue;
        auto level = level::LoadLevel(path);
        QVERIFY2(level, name);
        app::LevelView window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.showLevel(std::move(level.value()), name);
        const QImage picture = nextPicture(window.view(), 3);
        QVERIFY(!picture.isNull());
        save(picture, QString("viewer-%1.png").arg(QString(name).section('-', 0, 0)));
        // The screen itself, as the user sees the window.
        if (saved == 0) save(window.screen()->grabWindow(window.winId()).toImage(), "viewer-window.png");
        // Each starts at its player, inside a room with something in front of the camera.
        QVERIFY2(countPixels(picture, picture.rect(), isBlue) < picture.width() * picture.height() * 9 / 10, name);
        ++saved;
    }
    if (saved == 0) QSKIP("the real levels are not there");
}

}  // namespace tessarin::test
