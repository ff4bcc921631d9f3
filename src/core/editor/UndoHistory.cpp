#include "editor/UndoHistory.h"

#include "level/LevelSize.h"

#include <utility>

namespace tessarin::editor {

namespace {

template <typename T>
std::size_t bytesOf(const std::vector<T>& v) {
    return v.capacity() * sizeof(T);
}

void restoreEdits(level::TRLevel& level, LevelSnapshot& s) {
    if (s.floorData) {
        level.FloorData = std::move(s.FloorData);
        level.Rooms[static_cast<std::size_t>(s.room)].Sectors = std::move(s.Sectors);
    } else {
        level.Items = std::move(s.Items);
        level.AIObjects = std::move(s.AIObjects);
    }
}

// A room's sectors only fit a level whose room of that number has as many.
bool fits(const level::TRLevel& level, const LevelSnapshot& s) {
    if (!s.floorData) return true;
    return s.room >= 0 && static_cast<std::size_t>(s.room) < level.Rooms.size() &&
           level.Rooms[static_cast<std::size_t>(s.room)].Sectors.size() == s.Sectors.size();
}

}  // namespace

LevelSnapshot captureItems(const level::TRLevel& level) {
    LevelSnapshot s;
    s.Items = level.Items;
    s.AIObjects = level.AIObjects;
    return s;
}

LevelSnapshot captureFloorData(const level::TRLevel& level, int room) {
    LevelSnapshot s;
    s.floorData = true;
    s.FloorData = level.FloorData;
    s.room = room;
    if (room >= 0 && static_cast<std::size_t>(room) < level.Rooms.size())
        s.Sectors = level.Rooms[static_cast<std::size_t>(room)].Sectors;
    else
        s.room = -1;  // fits no level: its undo is refused
    return s;
}

LevelSnapshot captureWhole(const level::TRLevel& level, LevelFile file) {
    LevelSnapshot s;
    s.whole = true;
    s.Level = level;
    s.file = std::move(file);
    return s;
}


std::size_t approxBytes(const LevelSnapshot& s) {
    if (s.Level) return level::InMemorySize(*s.Level) + s.file.name.size();
    return sizeof(s) + bytesOf(s.Items) + bytesOf(s.AIObjects) + bytesOf(s.FloorData) + bytesOf(s.Sectors);
}

void UndoHistory::reset() {
    m_undo.clear();
    m_redo.clear();
    m_bytes = 0;
    m_currentId = m_nextId++;
    m_savedId = m_currentId;
}

void UndoHistory::push(LevelSnapshot before, std::string what) {
    for (const auto& s : m_redo) m_bytes -= s.bytes;
    m_redo.clear();
    Step step{std::move(before), std::move(what), m_currentId, 0};
    step.bytes = approxBytes(step.snapshot);
    m_bytes += step.bytes;
    m_undo.push_back(std::move(step));
    m_currentId = m_nextId++;
    trim();
}

void UndoHistory::trim() {
    // Erasing from the front of a vector of at most kMaxSteps + 1 steps moves a few hundred
    // pointers: cheaper than it looks, and simpler than a ring.
    while (m_undo.size() > 1 && (m_undo.size() + m_redo.size() > kMaxSteps || m_bytes > kMaxBytes)) {
        m_bytes -= m_undo.front().bytes;
        m_undo.erase(m_undo.begin());
    }
}

const std::string& UndoHistory::undoName() const {
    static const std::string none;
    return m_undo.empty() ? none : m_undo.back().what;
}

const std::string& UndoHistory::redoName() const {
    static const std::string none;
    return m_redo.empty() ? none : m_redo.back().what;
}

std::optional<UndoHistory::Restored> UndoHistory::undo(level::TRLevel& level, const LevelFile& file) {
    return move(m_undo, m_redo, level, file);
}

std::optional<UndoHistory::Restored> UndoHistory::redo(level::TRLevel& level, const LevelFile& file) {
    return move(m_redo, m_undo, level, file);
}

// Takes the newest step of `from`, puts the current state in its place on `to`, and restores it.
std::optional<UndoHistory::Restored> UndoHistory::move(std::vector<Step>& from, std::vector<Step>& to,
                                                       level::TRLevel& level, const LevelFile& file) {
    if (from.empty()) return std::nullopt;
    Step step = std::move(from.back());
    from.pop_back();
    m_bytes -= step.bytes;
    LevelSnapshot& kept = step.snapshot;
    if (!kept.whole && !fits(level, kept)) {
        // Cannot happen through the editor (no edit changes the rooms); refused rather than mixed.
        return std::nullopt;
    }
    // The state it replaces, kept as the step kept its own: whole, or the same parts.
    Step current{kept.whole ? captureWhole(level, file)
                 : kept.floorData ? captureFloorData(level, kept.room)
                                  : captureItems(level),
                 step.what, m_currentId, 0};
    current.bytes = approxBytes(current.snapshot);
    m_bytes += current.bytes;

    Restored restored{step.what, kept.whole, kept.floorData, kept.file};
    if (kept.whole) level = std::move(*kept.Level);
    else restoreEdits(level, kept);
    m_currentId = step.stateId;
    to.push_back(std::move(current));
    trim();
    return restored;
}

}  // namespace tessarin::editor
