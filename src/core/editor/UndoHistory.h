#pragma once
// UndoHistory: the editor's undo and redo steps as level snapshots, bounded in memory, with the
// saved point, so that undoing back to the state last saved makes the level unchanged again.
//
// An edit keeps only what it changes: the items and AI objects (a retype, a turn, an added item),
// or the floor data and the sectors of the one room whose sector it changed (a minecart entry); a
// few hundred KB on the largest level, however many rooms it has. Replacing the whole level (Import
// TR4) keeps the whole level and the file that went with it. The history holds at most
// kMaxSteps steps and about kMaxBytes bytes over undo and redo together; the oldest undo steps go
// first, and the newest is always kept.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "level/TRLevel.h"

namespace tessarin::editor {

// The file a whole level goes with, and the caller's number for that level: with it the caller tells
// whether the file still holds the level, when a step brings the level back.
struct LevelFile {
    std::string name;
    std::uint64_t levelId = 0;
};

struct LevelSnapshot {
    bool whole = false;
    // Parts an edit changes (whole == false): the items and AI objects, or (floorData) the floor
    // data and the sectors of room `room`.
    bool floorData = false;
    std::vector<level::TRItem> Items;
    std::vector<level::TRAIObject> AIObjects;
    std::vector<std::uint16_t> FloorData;
    int room = -1;
    std::vector<level::TRSector> Sectors;
    // The whole level (whole == true) and the file it belongs to.
    std::optional<level::TRLevel> Level;
    LevelFile file;
};

// Snapshot of the items and AI objects; of the floor data and room `room`'s sectors (a room the
// level has); of the whole level and its file.
LevelSnapshot captureItems(const level::TRLevel& level);
LevelSnapshot captureFloorData(const level::TRLevel& level, int room);
LevelSnapshot captureWhole(const level::TRLevel& level, LevelFile file);
// Rough heap size of a snapshot or a level, for the memory bound.
std::size_t approxBytes(const level::TRLevel& level);
std::size_t approxBytes(const LevelSnapshot& snapshot);

class UndoHistory {
public:
    static constexpr std::size_t kMaxSteps = 100;
    static constexpr std::size_t kMaxBytes = std::size_t{128} << 20;

    // What undo or redo brought back.
    struct Restored {
        std::string what;        // the step's name, e.g. "Retype"
        bool whole = false;      // the level was replaced: show it as newly opened
        bool floorData = false;  // the floor data was restored: what the triggers name may differ
        LevelFile file;          // for a whole level: the file it belongs to
    };

    // A new level: no steps, and this state is the saved one.
    void reset();
    // Records an edit made after `before` was taken; forgets the redo steps.
    void push(LevelSnapshot before, std::string what);
    // The level was changed in a way no step records (a demo recording): the saved point can no
    // longer be reached by undo or redo.
    void changedOutside() { m_savedId = kNoState; }
    void markSaved() { m_savedId = m_currentId; }
    bool atSavedPoint() const { return m_currentId == m_savedId; }

    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    const std::string& undoName() const;
    const std::string& redoName() const;
    // Whether the next undo / redo replaces the whole level rather than restoring edits in it.
    bool undoReplacesLevel() const { return canUndo() && m_undo.back().snapshot.whole; }
    bool redoReplacesLevel() const { return canRedo() && m_redo.back().snapshot.whole; }
    // Undo / redo one step on `level`. `file` is the current level's, kept for a whole-level step
    // so that going back and forth restores it. Nothing happens (nullopt) without a step, or when
    // an edit step no longer fits the level's rooms.
    std::optional<Restored> undo(level::TRLevel& level, const LevelFile& file);
    std::optional<Restored> redo(level::TRLevel& level, const LevelFile& file);

    std::size_t undoCount() const { return m_undo.size(); }
    std::size_t redoCount() const { return m_redo.size(); }
    std::size_t bytes() const { return m_bytes; }

private:
    static constexpr std::uint64_t kNoState = ~std::uint64_t{0};
    struct Step {
        LevelSnapshot snapshot;
        std::string what;
        std::uint64_t stateId = 0;  // the state the snapshot holds
        std::size_t bytes = 0;
    };
    std::optional<Restored> move(std::vector<Step>& from, std::vector<Step>& to, level::TRLevel& level,
                                 const LevelFile& file);
    void trim();

    std::vector<Step> m_undo, m_redo;
    std::size_t m_bytes = 0;
    std::uint64_t m_nextId = 1;
    std::uint64_t m_currentId = 0;
    std::uint64_t m_savedId = 0;
};

}  // namespace tessarin::editor
