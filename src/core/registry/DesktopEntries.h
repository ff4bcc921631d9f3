#pragma once
// The desktop's view of the shell verbs: a MIME type per level extension, a desktop entry that
// opens levels and offers the verbs as actions, and file-manager service menus with the verbs of
// each type. Only the texts live here; the application writes them under $XDG_DATA_HOME.
#include <filesystem>
#include <string>
#include <vector>

namespace tessarin::registry {

struct DesktopFile {
    std::filesystem::path relativePath;  // below $XDG_DATA_HOME
    std::string text;
    bool executable = false;             // service menus must be, for the file manager to trust them
};

// Set by the desktop actions (to "window"): a verb started from a file manager has no terminal
// for its failure, so the program also shows it in a message box.
inline constexpr const char* kBatchReportVariable = "TESSARIN_BATCH_REPORT";

// The MIME type given to files with the extension (".tr4" -> "application/x-tr4-level").
std::string mimeTypeOf(const std::string& extension);

// One Exec argument: double-quoted, with the desktop-entry escapes for quotes, '`', '$', '\' and
// '%', then the escapes of a desktop-file value.
std::string desktopExecArgument(const std::string& argument);

// Every file, in the order they are written; program is the running executable's full path.
std::vector<DesktopFile> desktopFiles(const std::filesystem::path& program);

}  // namespace tessarin::registry
