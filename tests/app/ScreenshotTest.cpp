// Saves pictures of the window with levels open, for the README and for review.
#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QPainter>

#include "AppTestSupport.h"
#include "AppTests.h"
#include "SectorMap.h"
#include "gl/DisplayDevice.h"

namespace tessarin::test {

void ScreenshotTest::windowWithALevelOpen() {
    struct Shot { std::filesystem::path path; const char* file; int room, x, z; };
    const Shot shots[] = {
        {sampleLevel("sample-tr3.tr2"), "main-window.png", 0, 2, 3},
        {levelOrEmpty("tr2-test1.tr2"), "main-window-tr2.png", 0, 3, 5},
        {levelOrEmpty("tr1-test1.phd"), "main-window-tr1.png", 7, 2, 2},
        {levelOrEmpty("tr4-test1.tr4"), "main-window-tr4.png", 0, 2, 2},
    };
    QDir().mkpath(TESSARIN_SCREENSHOT_DIR);
    const auto preview3D = app::ProbeDevice().found ? app::Tessarin2_Frm::Preview3D::On : app::Tessarin2_Frm::Preview3D::Off;
    int saved = 0;
    for (const Shot& s : shots) {
        if (s.path.empty()) continue;
        WindowFixture f(preview3D);
        QVERIFY(f.open(s.path));
        if (s.room < f.find<QComboBox>("RoomNumber")->count()) f.choose("RoomNumber", s.room);
        f.clickSector(s.x, s.z);
        // The selected sector is also the preview's orbit centre in these pictures.
        f.clickSector(s.x, s.z, Qt::LeftButton, Qt::AltModifier);
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        QTest::qWait(100);
        const QString file = QString(TESSARIN_SCREENSHOT_DIR) + "/" + s.file;
        QVERIFY(f.window->grab().toImage().save(file));
        qInfo("screenshot: %s", qPrintable(file));
        if (saved == 0) {
            // The bundled sample once more with the map fitted, the hover line and the level
            // browser beside the window (it floats, so it is drawn in by hand).
            f.find<QAction>("Mnu_View_ZoomFit")->trigger();
            QTest::mouseMove(f.find<QWidget>("SectorMap"), QPoint(75, 75));
            f.find<QAction>("Mnu_View_Find")->trigger();
            f.find<QLineEdit>("BrowserFilter")->setText("room 0");
            QTest::qWait(100);
            const QImage window = f.window->grab().toImage();
            const QImage browser = f.window->findChild<QWidget*>("LevelBrowser")->grab().toImage();
            QImage both(window.width() + browser.width(), std::max(window.height(), browser.height()), QImage::Format_RGB32);
            both.fill(Qt::white);
            QPainter painter(&both);
            painter.drawImage(0, 0, window);
            painter.drawImage(window.width(), 0, browser);
            painter.end();
            QVERIFY(both.save(QString(file).replace(".png", "-browser.png")));
        }
        // The map alone, three times as large, to check cells, marks and outline by eye.
        const QImage& map = f.find<app::SectorMap>("SectorMap")->mapShowSurf();
        QVERIFY(map.scaled(map.size() * 3).save(QString(file).replace(".png", "-map.png")));
        if (saved == 0) {
            // The first level once more, enlarged: the panels take the room, nothing overlaps.
            f.window->resize(1920, 1050);
            QTest::qWait(200);
            QVERIFY(f.window->grab().toImage().save(QString(file).replace(".png", "-1920.png")));
        }
        ++saved;
    }
    if (saved == 0) QSKIP("neither the samples nor the real levels are there");
}

}  // namespace tessarin::test
