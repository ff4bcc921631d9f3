#pragma once
// EditorSession: the editor's state (level, room and sector selection, the chosen item, the
// trigger index, the name tables) and the handlers of the map, sector and items panels.
//
// The window layer calls a handler, then reads info(), map(), panels() and outline() and copies
// them into its widgets. Handlers never trust the state: every index is checked against the level
// before use, so a session whose fields were set from outside cannot read outside an array.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "editor/EditorTypes.h"
#include "editor/LevelBrowser.h"
#include "editor/ObjectNames.h"
#include "editor/SectorInfo.h"
#include "editor/SectorMap.h"
#include "floordata/FloorData.h"
#include "level/TRLevel.h"
#include "util/Result.h"

namespace tessarin::editor {

// What a handler asks the window to do beyond refreshing its panels.
struct Feedback {
    enum class Kind { None, Beep, Message };
    Kind kind = Kind::None;
    std::string text;   // message text
    std::string title;  // message box title
};

inline constexpr const char* kAppTitle = "Tessarin2";
inline constexpr const char* kNoTriggerMessage = "No trigger found for this object!";

// The most entries a sector's item list, and its trigger list, holds. The games stand a handful of
// items on a sector and give it a few dozen trigger actions; a crafted file can put millions of
// either there, and every row costs the window about 200 bytes. The count captions still give the
// whole number.
inline constexpr std::size_t kMaxSectorEntries = 10000;

// Panel state that depends on the level rather than on the selected sector.
struct LevelPanels {
    std::vector<std::string> roomList;    // RoomNumber entries: "Room" + number form
    int roomSelected = -1;                // RoomNumber's selected index
    std::string roomInfo = "Room 0";      // RoomInfo caption
    std::string altRoom = "No alternate"; // AltRoom caption
    bool allItemsEnabled = false;         // AllItems enabled (TR3 only)
    bool allItemsChecked = false;         // AllItems ticked
    std::vector<std::string> itemDescList;  // ItemDesc rows
    // Minecart / floor-data buttons by version.
    std::string fd20Caption = "Minecart Left";
    std::string fd21Caption = "Minecart Right";
    bool fd20Visible = false, fd21Visible = false, minecartStopVisible = false;
};

// Map mouse buttons and the Alt bit of the shift state, as the map handler receives them.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kAltMask = 4;

struct MapClickResult {
    bool handled = false;                       // a sector was hit
    std::optional<SectorPos> previewCentre;     // Alt + left click: centre the preview here
};

class EditorSession {
public:
    explicit EditorSession(ObjectNameTable names = {});

    // The state, under the names the program gives it.
    level::TRLevel Level;
    bool LevelLoaded = false;
    int CurRoom = 0;
    int SelectedX = 0, SelectedZ = 0;
    int CurItem = -1;          // item whose trigger sectors Next Trigger visits; -1 for none / AI
    int NextTriggerPos = 0;
    floordata::ItemTriggers ItemTriggers;

    const ObjectNameTable& names() const { return m_names; }
    void setNames(ObjectNameTable names) { m_names = std::move(names); }
    // ObjectNames(LevelVersion, id); "" outside the table.
    const std::string& objectName(std::int64_t objectID) const;

    const SectorInfo& info() const { return m_info; }
    const SectorMap& map() const { return m_map; }
    SectorMap& map() { return m_map; }  // for scrolling
    const LevelPanels& panels() const { return m_panels; }
    // The selection outline shown on the map, if any (cleared when a room is chosen).
    std::optional<SectorPos> outline() const { return m_outline; }
    // Whether a sector of the current room has been chosen since it became current. Until then the
    // selection is its corner (0, 0) while the panels may still describe another room's sector,
    // so the commands that edit the selected sector wait for a choice.
    bool sectorChosen() const { return m_outline.has_value(); }

    // Open: takes a freshly read level, builds ItemTriggers, fills the room list, the object list
    // and the version-dependent buttons, and shows room 0. A level whose trigger index cannot be
    // built (too big, or no memory for it) is refused with the reason and the session keeps the
    // level it had.
    util::Status OpenLevel(level::TRLevel level);

    // Room list: makes room `index` current, redraws the map, clears the outline, sets RoomInfo
    // and AltRoom. Does nothing for -1 or a room the level does not have.
    void RoomNumber_Click(int index);
    // CurRoom = r, selection (0, 0), map rebuilt. Does nothing for -1 or an unknown room.
    void SelectRoom(int r);

    // Mouse on the map (view pixels). Left: select and describe the sector. Other buttons: go to
    // the room behind the door, below or above. Ignored before a level is open.
    MapClickResult SectorMapClick(int x, int y, int button, int shift);
    // What a left click on sector (x, z) of CurRoom does, without pixels: select it, outline it
    // (scrolling it into view) and describe it. Does nothing for a sector outside the room.
    void clickSector(int x, int z);

    // Describes sector (x, z) of CurRoom in the panels.
    void ShowSectorInfo(int x, int z, bool KeepItemList, bool RefreshItems);

    // Trigger list selection (TriggerData).
    void selectTrigger(int index);
    // "Next Trigger": visits CurItem's trigger sectors in turn, or the no-trigger message.
    Feedback ItemNextTrigger_Click();
    // "Find Object": goes to the item the chosen OBJECT/TARGET action names, or a beep.
    Feedback GotoObject_Click();

    // Items panel.
    void SecCurItem_Click(int listIndex);
    void ItemDesc_Click(int listIndex);
    void AllItems_Click(bool checked);
    void ItemNorth_Click() { setFacing(Facing::North); }
    void ItemEast_Click() { setFacing(Facing::East); }
    void ItemSouth_Click() { setFacing(Facing::South); }
    void ItemWest_Click() { setFacing(Facing::West); }
    void ItemAdd_Click();

    // After undo or redo changed items or floor data under the same rooms: rebuilds the trigger
    // index where what it follows changed, and the map (keeping its scroll), and describes the
    // selected sector again.
    void editsRestored(bool floorDataRestored);

    // The level browser's double-click: goes to the entry's room and sector as Find Object does
    // and, for an item or AI object, chooses it in the entry list. False when it stands outside
    // its room.
    bool goToEntry(const BrowserEntry& entry);

    // The entry numbers behind the shown SecCurItem list.
    const std::vector<int>& shownEntries() const { return m_entries; }
    // ItemTriggers(item).Count, 0 for an item without element (added after the open).
    int itemTriggerCount(int item) const;

private:
    const level::TRRoom* curRoom() const;
    void setFacing(Facing f);
    void showEntry(int listIndex, bool fromSectorInfo);
    void fillItemDescList();
    void selectOutline(int x, int z);

    ObjectNameTable m_names;
    SectorInfo m_info;
    SectorMap m_map;
    LevelPanels m_panels;
    std::optional<SectorPos> m_outline;
    std::vector<int> m_entries;
    std::size_t m_itemsWhenListed = 0;  // entries from this number on are AI objects
};

}  // namespace tessarin::editor
