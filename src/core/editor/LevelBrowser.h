#pragma once
// LevelBrowser: every item, AI object and static mesh of the level as rows for the browser dock,
// and the text / type filter over them.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "editor/ObjectNames.h"
#include "level/TRLevel.h"

namespace tessarin::editor {

enum class EntryKind { Item, AIObject, Static };

// One row's data, kept small: a level may hold millions of items, so the label is made when it is
// shown and the name points into the name table (which lives as long as the program).
struct BrowserEntry {
    EntryKind kind = EntryKind::Item;
    int index = 0;  // item / AI object number; for a static its number within its room
    int room = 0;
    std::int32_t x = 0, y = 0, z = 0;
    const std::string* name = nullptr;  // object or static mesh name ("" when unknown)
};

// "Item 12", "AI 3", "Static 0".
std::string entryLabel(const BrowserEntry& entry);
// The entry's name, "" when it has none.
const std::string& entryName(const BrowserEntry& entry);

std::vector<BrowserEntry> listLevelObjects(const level::TRLevel& level, const ObjectNameTable& names);

// Rows whose label, name or "room N" contain `text` (any case), of `kind` when given.
std::vector<std::size_t> filterEntries(const std::vector<BrowserEntry>& entries, const std::string& text,
                                       std::optional<EntryKind> kind);

}  // namespace tessarin::editor
