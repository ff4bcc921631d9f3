#pragma once
// The shell verbs of the level file types and the program's own keys, written on every start.
#include <string>
#include <vector>

#include "registry/RegisterMod.h"

namespace tessarin::registry {

inline constexpr const char* kVarnholtKey = "HKEY_LOCAL_MACHINE\\software\\Varnholt";
inline constexpr const char* kProgramKey = "HKEY_LOCAL_MACHINE\\software\\Varnholt\\Tessarin";
inline constexpr const char* kProgramKeyRead = "HKEY_LOCAL_MACHINE\\Software\\Varnholt\\Tessarin";
inline constexpr const char* kRegisterVersion = "RegisterVersion";
// The program's file name and the folder separator of this platform.
inline constexpr const char* kProgramFileName = "tessarin2";
inline constexpr char kFolderSeparator = '/';

struct ShellVerb {
    std::string name;        // "Convert To TR3"
    std::string verbSwitch;  // "/convert3 %1"
};

struct ShellFileType {
    std::string extension;  // ".tr4"
    std::string className;  // claimed only when the extension names no class
    std::vector<ShellVerb> verbs;
};

// ".tr4", ".trc" and ".tr2" with their class names and verbs, in the order they are written.
const std::vector<ShellFileType>& shellFileTypes();

// A double quote, the program's folder, the separator and file name, a double quote, a blank
// and the switch. The folder keeps its own trailing separator, so a program in "/" gives "//".
std::string CommandText(const std::string& appPath, const std::string& verbSwitch);

// Start-up's first registry steps: reads RegisterVersion (it decides nothing) and creates the
// program's keys.
void RegisterProgramKeys(RegisterMod& reg);

// Adds the verbs to the class each extension names, or claims the extension for our class
// when it names none. appPath is the folder the program was started from.
void RegisterShellVerbs(RegisterMod& reg, const std::string& appPath);

}  // namespace tessarin::registry
