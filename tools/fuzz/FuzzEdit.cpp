// The editor's edits over a level file: a script of clicks, retypes, turns, added items, minecart
// entries, undos and redos, run as the window runs them. After every step a level that could be
// written must still be written, read back and written again to the same bytes; undoing every step
// must give back the level's first bytes, and redoing as many the last ones.
//
// Input: a 16-bit script length, the script, then the level file (TR1-TR3).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "editor/EditorSession.h"
#include "editor/ObjectNames.h"
#include "editor/UndoHistory.h"
#include "floordata/FloorData.h"
#include "floordata/FloorDataEdit.h"
#include "level/LevelReader.h"
#include "level/LevelWriter.h"

using namespace tessarin;

namespace {

const editor::ObjectNameTable& names() {
    static const editor::ObjectNameTable table = [] {
        editor::ObjectNameSections s;
        s.tr3 = {"Lara", "Lara pistol animation"};
        s.tr2 = {"Lara", "Lara pistol animation"};
        s.tr1 = {"Lara"};
        return editor::ParseObjectNames(editor::SerializeObjectNames(s)).names;
    }();
    return table;
}

std::vector<std::uint8_t> bytesOf(const level::TRLevel& level) {
    auto bytes = level::SerializeLevel(level);
    if (!bytes) __builtin_trap();  // a level that could be written no longer can
    return std::move(bytes.value());
}

// The level as it stands must write, read back, and write to the same bytes.
void checkRoundTrip(const level::TRLevel& level) {
    const auto bytes = bytesOf(level);
    auto again = level::LoadLevelFromBytes(bytes, "level.tr2");
    if (!again) __builtin_trap();
    if (bytesOf(again.value()) != bytes) __builtin_trap();
}

// After an undo or redo the session's trigger index must be the one the level now builds: it is
// kept across steps that leave what it follows alone.
void checkTriggerIndex(const editor::EditorSession& session) {
    floordata::ItemTriggers fresh;
    try {
        fresh = floordata::BuildItemTriggers(session.Level);
    } catch (const util::Error&) {
        return;  // a level refused indexing keeps its old index
    }
    const floordata::ItemTriggers& kept = session.ItemTriggers;
    if (kept.size() != fresh.size()) __builtin_trap();
    for (std::size_t i = 0; i < fresh.size(); ++i)
        if (!std::ranges::equal(kept[i].Sectors, fresh[i].Sectors)) __builtin_trap();
}

class Script {
public:
    explicit Script(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
    bool done() const { return m_at >= m_bytes.size(); }
    int next() { return done() ? 0 : m_bytes[m_at++]; }

private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_at = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::size_t scriptSize = std::min<std::size_t>(data[0] | std::size_t{data[1]} << 8, size - 2);
    Script script(std::span<const std::uint8_t>(data + 2, std::min<std::size_t>(scriptSize, 240)));
    auto loaded = level::LoadLevelFromBytes(std::span<const std::uint8_t>(data + 2 + scriptSize, size - 2 - scriptSize),
                                            "level.tr2");
    if (!loaded) return 0;
    editor::EditorSession session(names());
    if (!session.OpenLevel(std::move(loaded.value()))) return 0;
    const bool writable = level::WriteRefusal(session.Level).empty();
    std::vector<std::uint8_t> first;
    if (writable) first = bytesOf(session.Level);
    editor::UndoHistory history;
    const editor::LevelFile file{"level.tr2", 1};
    history.reset();

    const auto edited = [&](editor::LevelSnapshot before, const char* what) {
        history.push(std::move(before), what);
        if (writable) checkRoundTrip(session.Level);
    };
    const auto shownState = [&] {
        const int k = session.info().entrySelected;
        const auto& entries = session.shownEntries();
        if (k < 0 || static_cast<std::size_t>(k) >= entries.size() || entries[static_cast<std::size_t>(k)] < 0)
            return std::pair<int, int>{-1, 0};
        const auto n = static_cast<std::size_t>(entries[static_cast<std::size_t>(k)]);
        if (n < session.Level.Items.size()) return std::pair<int, int>{session.Level.Items[n].ObjectID, session.Level.Items[n].Angle};
        const std::size_t ai = n - session.Level.Items.size();
        return ai < session.Level.AIObjects.size() ? std::pair<int, int>{session.Level.AIObjects[ai].ObjectID, 0}
                                                   : std::pair<int, int>{-1, 0};
    };

    while (!script.done()) {
        const int op = script.next() % 12;
        const int a = script.next();
        const int b = script.next();
        const auto* room = static_cast<std::size_t>(session.CurRoom) < session.Level.Rooms.size()
                               ? &session.Level.Rooms[static_cast<std::size_t>(session.CurRoom)]
                               : nullptr;
        switch (op) {
        case 0: session.RoomNumber_Click(a % std::max<int>(1, static_cast<int>(session.Level.Rooms.size()))); break;
        case 1:
            if (room) session.clickSector(a % std::max<int>(1, room->NumXSectors), b % std::max<int>(1, room->NumZSectors));
            break;
        case 2: session.SecCurItem_Click(a % static_cast<int>(session.info().entries.size() + 1)); break;
        case 3: {  // Retype
            if (session.shownEntries().empty()) break;
            const auto before = shownState();
            auto snapshot = editor::captureItems(session.Level);
            session.ItemDesc_Click(a % static_cast<int>(session.panels().itemDescList.size() + 1));
            if (shownState() != before) edited(std::move(snapshot), "Retype");
            session.SecCurItem_Click(session.info().entrySelected);
            break;
        }
        case 4: {  // Facing
            if (session.info().entrySelected < 0) break;
            const auto before = shownState();
            auto snapshot = editor::captureItems(session.Level);
            switch (a % 4) {
            case 0: session.ItemNorth_Click(); break;
            case 1: session.ItemEast_Click(); break;
            case 2: session.ItemSouth_Click(); break;
            default: session.ItemWest_Click(); break;
            }
            if (shownState() != before) edited(std::move(snapshot), "Facing");
            session.SecCurItem_Click(session.info().entrySelected);
            break;
        }
        case 5: {  // Add Item
            if (!session.sectorChosen()) break;
            const std::size_t count = session.Level.Items.size();
            auto snapshot = editor::captureItems(session.Level);
            session.ItemAdd_Click();
            if (session.Level.Items.size() != count) edited(std::move(snapshot), "Add Item");
            break;
        }
        case 6: {  // a minecart entry
            if (!session.sectorChosen()) break;
            auto snapshot = editor::captureFloorData(session.Level, session.CurRoom);
            if (!floordata::AddMinecartEntry(session.Level, session.CurRoom, session.SelectedX, session.SelectedZ,
                                             static_cast<floordata::MinecartMode>(1 + a % 3)))
                break;
            edited(std::move(snapshot), "Minecart Entry");
            session.map().build(session.Level, session.CurRoom);
            session.ShowSectorInfo(session.SelectedX, session.SelectedZ, true, false);
            break;
        }
        case 7:
        case 8: {
            const auto restored = op == 7 ? history.undo(session.Level, file) : history.redo(session.Level, file);
            if (!restored) break;
            session.editsRestored(restored->floorData);
            checkTriggerIndex(session);
            if (writable) checkRoundTrip(session.Level);
            break;
        }
        case 9:
            session.AllItems_Click(a & 1);
            if (session.info().entrySelected >= 0) session.SecCurItem_Click(session.info().entrySelected);
            break;
        case 10:
            session.selectTrigger(a % static_cast<int>(session.info().triggerList.size() + 1));
            (void)session.GotoObject_Click();
            break;
        default: (void)session.ItemNextTrigger_Click(); break;
        }
    }

    if (!writable) return 0;
    const auto last = bytesOf(session.Level);
    std::size_t steps = 0;
    while (history.undo(session.Level, file)) ++steps;
    if (bytesOf(session.Level) != first) __builtin_trap();  // undo did not bring the level back
    for (; steps > 0; --steps)
        if (!history.redo(session.Level, file)) __builtin_trap();
    if (bytesOf(session.Level) != last) __builtin_trap();
    return 0;
}
