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
    level.Items = std::move(s.Items);
    level.AIObjects = std::move(s.AIObjects);
    level.FloorData = std::move(s.FloorData);
    for (std::size_t r = 0; r < level.Rooms.size(); ++r) level.Rooms[r].Sectors = std::move(s.Sectors[r]);
}

// An edit snapshot only fits a level with the same rooms of the same sizes.
bool fits(const level::TRLevel& level, const LevelSnapshot& s) {
    if (s.Sectors.size() != level.Rooms.size()) return false;
    for (std::size_t r = 0; r < level.Rooms.size(); ++r)
        if (s.Sectors[r].size() != level.Rooms[r].Sectors.size()) return false;
    return true;
}

}  // namespace

LevelSnapshot captureEdits(const level::TRLevel& level) {
    LevelSnapshot s;
    s.Items = level.Items;
    s.AIObjects = level.AIObjects;
    s.FloorData = level.FloorData;
    s.Sectors.reserve(level.Rooms.size());
    for (const auto& room : level.Rooms) s.Sectors.push_back(room.Sectors);
    return s;
}

LevelSnapshot captureWhole(const level::TRLevel& level, std::string fileName) {
    LevelSnapshot s;
    s.whole = true;
    s.Level = level;
    s.fileName = std::move(fileName);
    return s;
}


std::size_t approxBytes(const LevelSnapshot& s) {
    if (s.Level) return level::InMemorySize(*s.Level) + s.fileName.size();
    std::size_t n = sizeof(s) + bytesOf(s.Items) + bytesOf(s.AIObjects) + bytesOf(s.FloorData) + bytesOf(s.Sectors);
    for (const auto& v : s.Sectors) n += bytesOf(v);
    return n;
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

std::optional<UndoHistory::Restored> UndoHistory::undo(level::TRLevel& level, const std::string& fileName) {
    return move(m_undo, m_redo, level, fileName);
}

std::optional<UndoHistory::Restored> UndoHistory::redo(level::TRLevel& level, const std::string& fileName) {
    return move(m_redo, m_undo, level, fileName);
}

// Takes the newest step of `from`, puts the current state in its place on `to`, and restores it.
std::optional<UndoHistory::Restored> UndoHistory::move(std::vector<Step>& from, std::vector<Step>& to,
                                                       level::TRLevel& level, const std::string& fileName) {
    if (from.empty()) return std::nullopt;
    Step step = std::move(from.back());
    from.pop_back();
    m_bytes -= step.bytes;
    if (!step.snapshot.whole && !fits(level, step.snapshot)) {
        // Cannot happen through the editor (no edit changes the rooms); refused rather than mixed.
        return std::nullopt;
    }
    Step current{step.snapshot.whole ? captureWhole(level, fileName) : captureEdits(level), step.what, m_currentId, 0};
    current.bytes = approxBytes(current.snapshot);
    m_bytes += current.bytes;

    Restored restored{step.what, step.snapshot.whole, step.snapshot.fileName};
    if (step.snapshot.whole) level = std::move(*step.snapshot.Level);
    else restoreEdits(level, step.snapshot);
    m_currentId = step.stateId;
    to.push_back(std::move(current));
    trim();
    return restored;
}

}  // namespace tessarin::editor
