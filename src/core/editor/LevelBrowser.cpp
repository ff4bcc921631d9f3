#include "editor/LevelBrowser.h"

#include <algorithm>
#include <cctype>

namespace tessarin::editor {

namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

}  // namespace

std::string entryLabel(const BrowserEntry& entry) {
    const char* kind = entry.kind == EntryKind::Item ? "Item " : entry.kind == EntryKind::AIObject ? "AI " : "Static ";
    return kind + std::to_string(entry.index);
}

const std::string& entryName(const BrowserEntry& entry) {
    static const std::string none;
    return entry.name ? *entry.name : none;
}

std::vector<BrowserEntry> listLevelObjects(const level::TRLevel& level, const ObjectNameTable& names) {
    std::vector<BrowserEntry> out;
    out.reserve(level.Items.size() + level.AIObjects.size());
    for (std::size_t i = 0; i < level.Items.size(); ++i) {
        const auto& it = level.Items[i];
        out.push_back({EntryKind::Item, static_cast<int>(i), it.Room, it.X, it.Y, it.Z,
                       &names.objectName(level.LevelVersion, it.ObjectID)});
    }
    // AI objects exist (and are listed by the sector panel) from TR4 on.
    if (level.LevelVersion >= level::kVersionTR4)
        for (std::size_t i = 0; i < level.AIObjects.size(); ++i) {
            const auto& ai = level.AIObjects[i];
            out.push_back({EntryKind::AIObject, static_cast<int>(i), ai.Room, ai.X, ai.Y, ai.Z,
                           &names.objectName(level.LevelVersion, ai.ObjectID)});
        }
    for (std::size_t r = 0; r < level.Rooms.size(); ++r) {
        const auto& statics = level.Rooms[r].StaticMeshes;
        for (std::size_t i = 0; i < statics.size(); ++i)
            out.push_back({EntryKind::Static, static_cast<int>(i), static_cast<int>(r), statics[i].X, statics[i].Y,
                           statics[i].Z, &names.staticName(statics[i].ObjectID)});
    }
    return out;
}

std::vector<std::size_t> filterEntries(const std::vector<BrowserEntry>& entries, const std::string& text,
                                       std::optional<EntryKind> kind) {
    const std::string needle = lower(text);
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto& e = entries[i];
        if (kind && e.kind != *kind) continue;
        if (!needle.empty() && lower(entryLabel(e)).find(needle) == std::string::npos &&
            lower(entryName(e)).find(needle) == std::string::npos &&
            ("room " + std::to_string(e.room)).find(needle) == std::string::npos)
            continue;
        out.push_back(i);
    }
    return out;
}

}  // namespace tessarin::editor
