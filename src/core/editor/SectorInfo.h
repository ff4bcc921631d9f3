#pragma once
// SectorInfo: every text, colour state and visibility the sector, door, trigger, items and
// static-mesh panels show, as the last description left them. Initial values are the window's
// captions before anything is described. Booleans named like labels are "painted blue".
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "editor/Objects.h"
#include "floordata/FloorData.h"
#include "util/NumberText.h"

namespace tessarin::editor {

class ObjectNameTable;

// Number form for the integers the panels show (a blank before a non-negative value).
inline std::string numberForm(std::int64_t value) { return util::numberForm(value); }

struct SectorInfo {
    // "Sectors" frame.
    std::string title = "Sectors";        // SecInf caption
    bool floorWall = false;               // FloorWall ticked
    bool heightsEnabled = true;           // FloorHeight / CeilingHeight enabled
    std::string floorHeight;              // plain digits, "" for a wall
    std::string ceilingHeight;
    bool minecartLeft = false;            // FD20 blue
    bool minecartRight = false;           // FD21 blue
    bool minecartStop = false;            // Minecart_Stop blue

    // "Doors" frame.
    std::string doorSide = "None";
    std::string doorBelow = "None";
    std::string doorAbove = "None";

    // "Triggers" frame. A sector without trigger leaves list, timer and flags as they were;
    // triggerShown says whether the last description wrote them.
    std::string fdLabel = "FD:0";
    bool triggerShown = false;
    std::vector<std::string> triggerList;  // TriggerData entries
    int triggerSelected = -1;              // TriggerData's selected index
    std::string timer = "Timer: 0";        // TriggerTimer
    std::array<bool, 5> triggerFlags{};    // TriggerFlags(0..4) blue

    // "Items" frame.
    std::string itemCount = "Of 1";        // SecItemCnt
    std::vector<std::string> entries;      // SecCurItem
    int entrySelected = -1;                // SecCurItem's selected index
    std::string itemID;                    // ItemID caption
    std::string itemOCB;                   // ItemOCB text
    std::string itemNumTriggers = "This object has 0 triggers";
    std::array<bool, 5> activeFlags{};     // ActiveFlags(0..4) blue
    bool itemInvisible = false;            // ItemInvisible blue
    bool itemClearBody = false;            // ItemCB blue
    Facing facing = Facing::None;          // the highlighted direction label
    int itemDescIndex = -1;                // ItemDesc's selected row, -1 for none
    bool itemControlsVisible = true;       // entry controls; hidden when the sector has no entries

    // "Static Meshes" frame.
    std::string staticCount = "0 Static Meshes";  // NumStatic
    std::string staticName;                       // StaticID text
    bool staticControlsVisible = true;            // StaticID; hidden when the sector has none
};

// Words of the trigger list.
std::string_view triggerTypeWord(int type);  // "" for types outside 0-12 (see triggerTypeText)
std::string triggerTypeText(int type);       // the word, or "TriggerType" + the type in number form
std::string_view actionText(int kind);       // " for OBJECT" ... " for UNKNOWN"

// One TriggerData entry: type word, action text, parameter in number form and, for an OBJECT
// action, " (" + the name of the item's object + ")". An OBJECT action naming no existing item
// shows " (no such item)".
std::string describeAction(const level::TRLevel& level, const ObjectNameTable& names,
                           const floordata::TriggerAction& action);

// "This object has " + count + " triggers"; the sector description writes the count in number
// form, choosing an entry writes plain digits.
std::string triggerCountText(int count, bool numberFormCount);

}  // namespace tessarin::editor
