// "--open PATH": the editor opens one level as File, Open does (with the 3D preview on a display;
// the offscreen platform has no OpenGL), selects sector (1, 1) of the room shown, shows the level
// browser, runs the preview's frames for a moment and ends. Prints "opened" or the message the user would see, so that
// tools/crafted-check.sh can measure the editor on crafted files. "--view PATH" does the same with
// the viewer window of "/view PATH".
#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <cstdio>

#include "AppTestSupport.h"
#include "AppTests.h"
#include "LevelView.h"
#include "QtConvert.h"

namespace tessarin::test {

int openForCheck(const char* path) {
    const bool display = QGuiApplication::platformName() != "offscreen";
    WindowFixture f(display ? app::Tessarin2_Frm::Preview3D::On : app::Tessarin2_Frm::Preview3D::Off);
    const bool opened = f.open(path);
    if (opened) {
        f.clickSector(1, 1);
        f.window->findChild<QAction*>("Mnu_View_Find")->trigger();
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 300) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    const QString shown = f.log->messages.join(" | ");
    std::printf("%s\n", opened ? "opened" : "not opened");
    if (!shown.isEmpty()) std::fprintf(stderr, "%s\n", qPrintable(shown));
    return opened ? 0 : 1;
}

int viewForCheck(const char* path) {
    auto loaded = app::LoadForViewing(QString::fromLocal8Bit(path));
    if (!loaded) {
        std::fprintf(stderr, "%s\n", loaded.error().c_str());
        return 1;
    }
    app::LevelView window;
    window.show();
    window.showLevel(std::move(loaded.value()), QString::fromLocal8Bit(path));
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 500) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    std::printf("viewed %d rooms\n", static_cast<int>(window.roomsBuilt()));
    return 0;
}

}  // namespace tessarin::test
