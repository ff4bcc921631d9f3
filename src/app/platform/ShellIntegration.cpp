#include "platform/ShellIntegration.h"

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string_view>

#include "registry/DesktopEntries.h"
#include "util/FileIO.h"

namespace tessarin::app::platform {

namespace fs = std::filesystem;

namespace {

constexpr auto kExecBits = fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;

// Runs a desktop cache tool on a folder when it is installed; its absence is no error.
void runTool(const char* tool, const fs::path& folder) {
    const QString found = QStandardPaths::findExecutable(QString::fromLatin1(tool));
    if (found.isEmpty()) return;
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(found, {QString::fromStdString(folder.string())});
    // A hung tool must not hold start-up for long.
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished(1000);
    }
}

// Which caches a change below dataHome makes stale.
void refreshCaches(const fs::path& dataHome, const std::vector<fs::path>& changed) {
    bool mime = false, applications = false;
    for (const fs::path& p : changed) {
        mime = mime || p.parent_path() == dataHome / "mime" / "packages";
        applications = applications || p.parent_path() == dataHome / "applications";
    }
    if (mime) runTool("update-mime-database", dataHome / "mime");
    if (applications) runTool("update-desktop-database", dataHome / "applications");
}

bool sameFile(const fs::path& path, const registry::DesktopFile& file) {
    std::error_code ec;
    const auto st = fs::status(path, ec);
    if (ec || !fs::is_regular_file(st)) return false;
    if (file.executable && (st.permissions() & kExecBits) != kExecBits) return false;
    const auto bytes = util::readFile(path);
    // Compared as bytes: as signed chars, a text holding any non-ASCII letter (a program in a folder
    // named "Müll") never matched, and every start wrote the files again.
    return bytes && std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()) == file.text;
}

}  // namespace

bool registrationSwitchedOff() {
    const char* value = std::getenv(kNoRegisterVariable);
    return value && *value && std::strcmp(value, "0") != 0;
}

fs::path xdgDataHome() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && *data && fs::path(data).is_absolute()) return data;
    const char* home = std::getenv("HOME");
    if (home && *home) return fs::path(home) / ".local" / "share";
    return {};
}

fs::path runningProgram() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : exe;
}

std::vector<fs::path> writeDesktopFiles(const fs::path& dataHome, const fs::path& program) {
    std::vector<fs::path> written;
    if (dataHome.empty() || program.empty()) return written;
    for (const registry::DesktopFile& file : registry::desktopFiles(program)) {
        const fs::path path = dataHome / file.relativePath;
        if (sameFile(path, file)) continue;
        std::error_code ec;
        fs::create_directories(path.parent_path(), ec);
        const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(file.text.data()), file.text.size());
        if (!util::writeFileSafely(path, bytes)) continue;  // a home we may not write into: not our business
        if (file.executable) fs::permissions(path, kExecBits, fs::perm_options::add, ec);
        written.push_back(path);
    }
    refreshCaches(dataHome, written);
    return written;
}

std::vector<fs::path> removeDesktopFiles(const fs::path& dataHome) {
    std::vector<fs::path> removed;
    if (dataHome.empty()) return removed;
    for (const registry::DesktopFile& file : registry::desktopFiles(fs::path("tessarin2"))) {
        const fs::path path = dataHome / file.relativePath;
        std::error_code ec;
        if (fs::is_regular_file(fs::symlink_status(path, ec)) && fs::remove(path, ec)) removed.push_back(path);
    }
    refreshCaches(dataHome, removed);
    return removed;
}

}  // namespace tessarin::app::platform
