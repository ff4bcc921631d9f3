// Saves a picture of the window with a level open, for the README and for review.
#include <QDir>

#include "AppTestSupport.h"
#include "AppTests.h"

namespace tessarin::test {

void ScreenshotTest::windowWithALevelOpen() {
    auto path = sampleLevel("sample-tr3.tr2");
    if (path.empty()) path = levelOrEmpty("tr3-test1.tr2");
    if (path.empty()) QSKIP("neither the sample nor the real level is there");
    WindowFixture f;
    f.window->resize(1240, 900);
    QVERIFY(f.open(path));
    f.clickSector(2, 3);
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    QTest::qWait(200);
    QDir().mkpath(TESSARIN_SCREENSHOT_DIR);
    const QString file = QString(TESSARIN_SCREENSHOT_DIR) + "/main-window.png";
    const QImage shot = f.window->grab().toImage();
    QVERIFY(!shot.isNull());
    QVERIFY(shot.save(file));
    qInfo("screenshot: %s", qPrintable(file));
}

}  // namespace tessarin::test
