#include "Startup.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string_view>

#include "LevelView.h"
#include "MainWindow.h"
#include "UserDialogs.h"
#include "gl/DisplayDevice.h"
#include "QtConvert.h"
#include "convert/BatchConvert.h"
#include "convert/SWD.h"
#include "level/LevelReader.h"
#include "level/LevelWriter.h"
#include "platform/DisplayProbe.h"
#include "platform/ShellIntegration.h"
#include "registry/DesktopEntries.h"
#include "registry/FileRegistry.h"
#include "registry/ShellVerbs.h"
#include "util/FileIO.h"

namespace tessarin::app {

namespace {

// The arguments joined with blanks, as the bytes the system passed.
std::string commandLineBytes(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line += ' ';
        line += argv[i];
    }
    return line;
}

}  // namespace

// A path in it that is no UTF-8 text keeps its bytes (pathText), so "/open" and "/view" open it too.
QString commandLineOf(int argc, char** argv) { return pathText(commandLineBytes(argc, argv)); }

std::string switchPathBytes(int argc, char** argv, std::size_t switchLength) {
    const std::string line = commandLineBytes(argc, argv);
    return line.size() > switchLength ? line.substr(switchLength) : std::string();
}

const BatchAction* matchBatchAction(const QString& commandLine, const std::vector<BatchAction>& actions) {
    for (const BatchAction& action : actions)
        if (commandLine.startsWith(action.prefix, Qt::CaseSensitive)) return &action;
    return nullptr;
}

bool batchFailureWindowWanted() {
    const char* wanted = std::getenv(registry::kBatchReportVariable);
    if (wanted == nullptr || std::string_view(wanted) != "window") return false;
    // A box that no one can see would hold the process for ever.
    // The platform named first, without its options ("offscreen:configfile=...").
    const char* platformVar = std::getenv("QT_QPA_PLATFORM");
    const std::string_view platforms = platformVar != nullptr ? platformVar : "";
    const std::string_view platform = platforms.substr(0, platforms.find_first_of(":;"));
    if (platform == "offscreen" || platform == "minimal") return false;
    auto set = [](const char* name) {
        const char* v = std::getenv(name);
        return v != nullptr && *v != '\0';
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY");
}

namespace {

// A batch failure goes to stderr; from a desktop action it is shown in a message box as well.
int batchFailed(const std::string& text, int& argc, char** argv) {
    std::fprintf(stderr, "tessarin2: %s\n", text.c_str());
    if (batchFailureWindowWanted() && platform::displayReachable()) {
        QApplication app(argc, argv);
        QApplication::setApplicationName("Tessarin2");
        QtDialogs dialogs;
        dialogs.message(nullptr, QString::fromStdString(text), kAppTitle);
    }
    return 1;
}

}  // namespace

int addDemo(const QString&, int& argc, char** argv) {
    // The switch and one blank.
    const std::string path = switchPathBytes(argc, argv, 9);
    if (path.empty()) return batchFailed("No level file was named after /adddemo", argc, argv);
    std::string failure;
    try {
        auto level = level::LoadLevel(path);
        // Nothing was read, so nothing is written: the file keeps what it had.
        if (!level) failure = level.error();
        else if (const util::Status saved = level::SaveLevel(path, *level); !saved) failure = saved.error();
    } catch (const std::bad_alloc&) {
        failure = path + ": not enough memory to add the demo data";
    }
    return failure.empty() ? 0 : batchFailed(failure, argc, argv);
}

int convertLevel(const QString& commandLine, int& argc, char** argv) {
    // The switch's last character names the target; the path follows the switch and one blank.
    const std::int16_t target = commandLine.startsWith("/convert2") ? level::kVersionTR2 : level::kVersionTR3;
    const auto written = convert::RunBatchConvert(switchPathBytes(argc, argv, 10), target,
                                                  convert::swdFileBeside(util::programFolder()));
    return written ? 0 : batchFailed(written.error(), argc, argv);
}

void registerAtStartup() {
    if (platform::registrationSwitchedOff()) return;
    registry::FileRegistry store(registry::defaultStorePath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")));
    if (!store.notice().empty()) std::fprintf(stderr, "tessarin2: %s\n", store.notice().c_str());
    // No window exists yet; the paths built here are well-formed, so this never shows in practice.
    registry::RegisterMod reg(store, [](const std::string& text, const std::string& title) {
        std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    });
    registry::RegisterProgramKeys(reg);
    // Commands that name a program we cannot locate would be wrong; leave the verbs as they were.
    const std::filesystem::path program = platform::runningProgram();
    if (program.empty()) return;
    registry::RegisterShellVerbs(reg, program.parent_path().string());
    platform::writeDesktopFiles(platform::xdgDataHome(), program);
}

int unregisterDesktop(const QString&, int&, char**) {
    const auto removed = platform::removeDesktopFiles(platform::xdgDataHome());
    for (const auto& path : removed) std::printf("removed %s\n", path.c_str());
    if (removed.empty()) std::printf("no desktop files of tessarin2 were there\n");
    return 0;
}

bool isHelpRequest(const QString& commandLine) { return commandLine == "--help" || commandLine == "-h"; }

int printCommandLineHelp() {
    static const char text[] =
        "usage: tessarin2 [/open PATH | /view [PATH] | /convert3 PATH | /convert2 PATH | /adddemo PATH | /unregister]\n"
        "  (nothing)        the editor\n"
        "  /open PATH       the editor with a level open\n"
        "  /view PATH       the whole level in the 3D viewer window (without PATH it asks for the file)\n"
        "  /convert3 PATH   converts a TR4 level to TR3 and writes it beside it with the ending tr2, without a window\n"
        "  /convert2 PATH   the same, to TR2\n"
        "  /adddemo PATH    reads a TR2/TR3 level and writes it back with the demo data it holds\n"
        "  /unregister      removes the desktop files every start writes\n"
        "The arguments are joined with blanks into one command line: a PATH with blanks needs no quotes.\n"
        "A batch switch's failure is one line on stderr and exit code 1.\n";
    return std::fputs(text, stdout) >= 0 && std::fflush(stdout) == 0 ? 0 : 1;
}

QString openSwitchPath(const QString& commandLine) {
    const QString prefix = QStringLiteral("/open ");
    return commandLine.startsWith(prefix) ? commandLine.mid(prefix.size()) : QString();
}

int viewLevel(const QString& commandLine, int& argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tessarin2");
    QtDialogs dialogs;
    return runLevelView(commandLine, dialogs, ProbeDevice());
}

int runEditor(const QString& commandLine, int& argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tessarin2");
    // Without a 3D device the program ends, as it would without the preview's device.
    QtDialogs deviceDialogs;
    if (!ReportDevice(ProbeDevice(), deviceDialogs, nullptr)) return 1;
    Tessarin2_Frm window(nullptr, Tessarin2_Frm::Preview3D::On);
    window.show();
    // A plain path is not opened: levels are opened from the File menu, or with "/open PATH".
    if (const QString path = openSwitchPath(commandLine); !path.isEmpty()) window.openLevel(path);
    return QApplication::exec();
}

}  // namespace tessarin::app
