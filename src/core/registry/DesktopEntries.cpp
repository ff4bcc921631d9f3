#include "registry/DesktopEntries.h"

#include "registry/ShellVerbs.h"

namespace tessarin::registry {

namespace {

constexpr const char* kAppName = "Tessarin 2";

// "Convert To TR3" -> "ConvertToTR3": action names allow letters, digits and '-' only.
std::string actionId(const std::string& verbName) {
    std::string id;
    for (char c : verbName)
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) id += c;
    return id;
}

// The verb's switch with the desktop's file code in place of "%1".
std::string execLine(const std::filesystem::path& program, const std::string& verbSwitch) {
    std::string line = desktopExecArgument(program.string()) + ' ' + verbSwitch;
    if (const auto at = line.rfind("%1"); at != std::string::npos) line.replace(at, 2, "%f");
    return line;
}

std::string actionList(const std::vector<ShellVerb>& verbs) {
    std::string list;
    for (const ShellVerb& v : verbs) list += actionId(v.name) + ';';
    return list;
}

std::string actionGroups(const std::filesystem::path& program, const std::vector<ShellVerb>& verbs) {
    std::string text;
    for (const ShellVerb& v : verbs)
        text += "\n[Desktop Action " + actionId(v.name) + "]\nName=" + v.name + "\nExec=env " + kBatchReportVariable +
                "=window " + execLine(program, v.verbSwitch) + '\n';
    return text;
}

std::string mimeInfo() {
    std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
    for (const ShellFileType& t : shellFileTypes())
        text += "  <mime-type type=\"" + mimeTypeOf(t.extension) + "\">\n    <comment>" + t.className +
                "</comment>\n    <glob pattern=\"*" + t.extension + "\" case-sensitive=\"false\"/>\n  </mime-type>\n";
    return text + "</mime-info>\n";
}

std::string applicationEntry(const std::filesystem::path& program) {
    std::string mimeTypes;
    std::vector<ShellVerb> verbs;  // every verb once, in the order the types name them
    for (const ShellFileType& t : shellFileTypes()) {
        mimeTypes += mimeTypeOf(t.extension) + ';';
        for (const ShellVerb& v : t.verbs) {
            bool seen = false;
            for (const ShellVerb& w : verbs) seen = seen || w.name == v.name;
            if (!seen) verbs.push_back(v);
        }
    }
    return std::string("[Desktop Entry]\nType=Application\nName=") + kAppName +
           "\nGenericName=Level Editor\nComment=Edit, convert and view Tomb Raider level files\n"
           "Exec=" + execLine(program, "/open %1") +
           "\nTerminal=false\nCategories=Graphics;3DGraphics;\nMimeType=" + mimeTypes + "\nActions=" +
           actionList(verbs) + '\n' + actionGroups(program, verbs);
}

}  // namespace

std::string mimeTypeOf(const std::string& extension) {
    return "application/x-" + extension.substr(extension.starts_with('.') ? 1 : 0) + "-level";
}

std::string desktopExecArgument(const std::string& argument) {
    std::string quoted = "\"";
    for (char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        if (c == '%') quoted += '%';
        quoted += c;
    }
    quoted += '"';
    std::string value;
    for (char c : quoted) {
        switch (c) {
            case '\\': value += "\\\\"; break;
            case '\n': value += "\\n"; break;
            case '\r': value += "\\r"; break;
            case '\t': value += "\\t"; break;
            default: value += c;
        }
    }
    return value;
}

std::vector<DesktopFile> desktopFiles(const std::filesystem::path& program) {
    std::vector<DesktopFile> files;
    files.push_back({"mime/packages/tessarin2.xml", mimeInfo(), false});
    files.push_back({"applications/tessarin2.desktop", applicationEntry(program), false});
    // A service menu offers its actions for all of its MIME types, so types with different verbs
    // get different menus: .tr4 (convert and view) and .trc with .tr2 (view only).
    std::vector<std::pair<std::vector<std::string>, const ShellFileType*>> groups;
    for (const ShellFileType& t : shellFileTypes()) {
        bool joined = false;
        for (auto& [extensions, first] : groups) {
            bool same = first->verbs.size() == t.verbs.size();
            for (std::size_t i = 0; same && i < t.verbs.size(); ++i) same = first->verbs[i].name == t.verbs[i].name;
            if (same) {
                extensions.push_back(t.extension);
                joined = true;
                break;
            }
        }
        if (!joined) groups.push_back({{t.extension}, &t});
    }
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const auto& [extensions, type] = groups[g];
        std::string name = "tessarin2";
        std::string mimeTypes;
        for (const std::string& e : extensions) {
            if (g) name += '-' + e.substr(1);
            mimeTypes += mimeTypeOf(e) + ';';
        }
        // Type=Service and these keys are KDE's own; the desktop-entry standard knows them only
        // for applications.
        std::string text = std::string("[Desktop Entry]\nType=Service\nName=") + kAppName +
                           "\nX-KDE-ServiceTypes=KonqPopupMenu/Plugin\nMimeType=" + mimeTypes +
                           "\nActions=" + actionList(type->verbs) + '\n' + actionGroups(program, type->verbs);
        files.push_back({"kio/servicemenus/" + name + ".desktop", std::move(text), true});
    }
    return files;
}

}  // namespace tessarin::registry
