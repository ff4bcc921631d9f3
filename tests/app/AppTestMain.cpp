// The GUI test binary: one QApplication, every test class in turn. "--screenshot" runs only the
// screenshot class, which needs a real (or virtual) X server; "--open PATH" only opens a level.
#include <QApplication>
#include <QTest>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "AppTests.h"
#include "support/TestPaths.h"

namespace {

// The window can save wherever a level came from, so the tests read copies of the real levels:
// a faulty build must never be able to change the shared originals.
std::filesystem::path copyLevels() {
    namespace fs = std::filesystem;
    const fs::path source = tessarin::test::levelsDir();
    std::error_code ec;
    if (!fs::is_directory(source, ec)) return {};
    const fs::path copy = fs::temp_directory_path() / ("tessarin-app-levels-" + std::to_string(::getpid()));
    fs::remove_all(copy, ec);
    fs::create_directories(copy);
    for (const auto& entry : fs::directory_iterator(source)) {
        if (!entry.is_regular_file()) continue;
        fs::copy_file(entry.path(), copy / entry.path().filename(), ec);
        fs::permissions(copy / entry.path().filename(), fs::perms::owner_read | fs::perms::owner_write, ec);
    }
    qputenv("TESSARIN_LEVELS", QByteArray::fromStdString(copy.string()));
    return copy;
}

// The program registers its shell verbs into the user's config and data folders on every start;
// the programs the tests start write into a throw-away pair instead of the real home.
std::filesystem::path divertDesktopFolders() {
    namespace fs = std::filesystem;
    const fs::path home = fs::temp_directory_path() / ("tessarin-app-home-" + std::to_string(::getpid()));
    std::error_code ec;
    fs::remove_all(home, ec);
    fs::create_directories(home / "config");
    fs::create_directories(home / "data");
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((home / "config").string()));
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString((home / "data").string()));
    return home;
}

// Offscreen, the windows open on the 1366 x 768 screen they are made for; beside it stands the
// same screen under 125 % display scaling, which the panels do not fit.
void useOffscreenScreens(const std::filesystem::path& home) {
    const std::filesystem::path config = home / "screens.json";
    std::ofstream(config) << R"({"screens": [)"
                          << R"({"name": "main", "x": 0, "y": 0, "width": 1366, "height": 768},)"
                          << R"({"name": "scaled", "x": 1366, "y": 0, "width": 1093, "height": 614}]})";
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + QByteArray::fromStdString(config.string()));
}

}  // namespace

int main(int argc, char** argv) {
    // "--open PATH" opens one level in the editor and ends, "--view PATH" in the viewer window
    // (tools/crafted-check.sh).
    const bool view = argc == 3 && std::strcmp(argv[1], "--view") == 0;
    if (view || (argc == 3 && std::strcmp(argv[1], "--open") == 0)) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        const std::filesystem::path home = divertDesktopFolders();
        int code = 0;
        {
            QApplication app(argc, argv);
            code = view ? tessarin::test::viewForCheck(argv[2]) : tessarin::test::openForCheck(argv[2]);
        }
        std::error_code ec;
        std::filesystem::remove_all(home, ec);
        return code;
    }
    // "--screenshot" and "--render" need a display; the rest runs offscreen.
    const bool screenshot = argc > 1 && std::strcmp(argv[1], "--screenshot") == 0;
    const bool render = argc > 1 && std::strcmp(argv[1], "--render") == 0;
    if (screenshot || render) {
        for (int i = 1; i + 1 < argc; ++i) argv[i] = argv[i + 1];
        --argc;
    } else if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const std::filesystem::path levels = copyLevels();
    const std::filesystem::path home = divertDesktopFolders();
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen") useOffscreenScreens(home);
    QApplication app(argc, argv);
    int failures = 0;
    auto run = [&](QObject&& test) { failures += QTest::qExec(&test, argc, argv); };
    if (screenshot) {
        run(tessarin::test::ScreenshotTest());
    } else if (render) {
        run(tessarin::test::RenderTest());
    } else {
        run(tessarin::test::StartupTest());
        run(tessarin::test::ShellTest());
        run(tessarin::test::OpenTest());
        run(tessarin::test::PanelsTest());
        run(tessarin::test::EditTest());
        run(tessarin::test::DemoTest());
    }
    std::error_code ec;
    if (!levels.empty()) std::filesystem::remove_all(levels, ec);
    std::filesystem::remove_all(home, ec);
    return failures;
}
