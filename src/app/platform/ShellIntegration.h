#pragma once
// Shell integration on the Linux desktop: the desktop files that carry the shell verbs (MIME
// types, the desktop entry, file-manager service menus), written under $XDG_DATA_HOME only when
// their content changes, and removed again on request.
#include <filesystem>
#include <vector>

namespace tessarin::app::platform {

// Set to anything but "" or "0", it keeps start-up from writing the registry store and the
// desktop files.
inline constexpr const char* kNoRegisterVariable = "TESSARIN_NO_REGISTER";
bool registrationSwitchedOff();

// $XDG_DATA_HOME, or ~/.local/share when that is unset or relative; empty when neither is known.
std::filesystem::path xdgDataHome();

// The running executable's full path, or empty when the system does not say.
std::filesystem::path runningProgram();

// Writes every desktop file whose text (or executable mark) differs from the one there, then runs
// update-mime-database / update-desktop-database for what changed, when they are installed.
// Returns the files written.
std::vector<std::filesystem::path> writeDesktopFiles(const std::filesystem::path& dataHome,
                                                     const std::filesystem::path& program);

// Removes the desktop files this program writes (never the registry store) and refreshes the
// desktop's caches. Returns the files removed.
std::vector<std::filesystem::path> removeDesktopFiles(const std::filesystem::path& dataHome);

}  // namespace tessarin::app::platform
