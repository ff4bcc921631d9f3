#include "registry/ShellVerbs.h"

#include <algorithm>

namespace tessarin::registry {

namespace {

constexpr const char* kClassesRootPrefix = "HKEY_CLASSES_ROOT\\";

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

void writeVerbs(RegisterMod& reg, const std::string& className, const ShellFileType& type, const std::string& appPath) {
    for (const ShellVerb& verb : type.verbs) {
        const std::string verbKey = kClassesRootPrefix + className + "\\shell\\" + verb.name;
        reg.CreateKey(verbKey);
        reg.CreateKey(verbKey + "\\Command");
        reg.SetStringValue(verbKey + "\\Command", "", CommandText(appPath, verb.verbSwitch));
    }
}

}  // namespace

const std::vector<ShellFileType>& shellFileTypes() {
    static const ShellVerb convert3{"Convert To TR3", "/convert3 %1"};
    static const ShellVerb convert2{"Convert To TR2", "/convert2 %1"};
    static const ShellVerb view{"View Rooms with Tessarin", "/view %1"};
    static const std::vector<ShellFileType> types = {
        {".tr4", "TR4 Level", {convert3, convert2, view}},
        {".trc", "TR5 Level", {view}},
        {".tr2", "TR2 Level", {view}},
    };
    return types;
}

std::string CommandText(const std::string& appPath, const std::string& verbSwitch) {
    return '"' + appPath + kFolderSeparator + kProgramFileName + '"' + ' ' + verbSwitch;
}

void RegisterProgramKeys(RegisterMod& reg) {
    reg.GetBinaryValue(kProgramKeyRead, kRegisterVersion);
    reg.CreateKey(kVarnholtKey);
    reg.CreateKey(kProgramKey);
}

void RegisterShellVerbs(RegisterMod& reg, const std::string& appPath) {
    for (const ShellFileType& type : shellFileTypes()) {
        const std::string extensionKey = kClassesRootPrefix + type.extension;
        const std::string cls = reg.GetStringValue(extensionKey, "");
        if (lower(cls) != "err") {
            // Another program's class: our verbs join it and the extension stays as it is.
            writeVerbs(reg, cls, type, appPath);
        } else {
            reg.CreateKey(extensionKey);
            reg.SetStringValue(extensionKey, "", type.className);
            writeVerbs(reg, type.className, type, appPath);
        }
    }
}

}  // namespace tessarin::registry
