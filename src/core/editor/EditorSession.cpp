#include "editor/EditorSession.h"

#include <algorithm>
#include <new>

#include "editor/Objects.h"
#include "util/NumberText.h"

namespace tessarin::editor {

using util::plainNumber;

namespace {

constexpr int kAllItemsRows = 374;

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

std::array<bool, 5> maskFlags(std::uint16_t word, const std::uint16_t (&bits)[5]) {
    std::array<bool, 5> out{};
    for (std::size_t k = 0; k < 5; ++k) out[k] = (word & bits[k]) != 0;
    return out;
}

}  // namespace

EditorSession::EditorSession(ObjectNameTable names) : m_names(std::move(names)) {}

const std::string& EditorSession::objectName(std::int64_t objectID) const {
    return m_names.objectName(Level.LevelVersion, objectID);
}

const level::TRRoom* EditorSession::curRoom() const {
    if (CurRoom < 0 || static_cast<std::size_t>(CurRoom) >= Level.Rooms.size()) return nullptr;
    return &Level.Rooms[static_cast<std::size_t>(CurRoom)];
}

int EditorSession::itemTriggerCount(int item) const {
    if (item < 0 || static_cast<std::size_t>(item) >= ItemTriggers.size()) return 0;
    return ItemTriggers[static_cast<std::size_t>(item)].Count;
}

// The open command's work after the file was read: everything the panels derive from a level.
util::Status EditorSession::OpenLevel(level::TRLevel level) {
    floordata::ItemTriggers index;
    try {
        index = floordata::BuildItemTriggers(level);
    } catch (const util::Error& e) {
        return util::Status::failure(e.what());
    } catch (const std::bad_alloc&) {
        return util::Status::failure("not enough memory to index the level's triggers");
    }
    Level = std::move(level);
    ItemTriggers = std::move(index);
    LevelLoaded = true;
    // Item numbers of the previous level mean nothing in this one.
    CurItem = -1;
    NextTriggerPos = 0;
    m_entries.clear();
    // The panels describe no sector of this level until one is chosen.
    m_info = SectorInfo{};

    m_panels.roomList.clear();
    for (std::size_t i = 0; i < Level.Rooms.size(); ++i) m_panels.roomList.push_back("Room" + numberForm(static_cast<std::int64_t>(i)));
    m_panels.roomSelected = -1;
    // A level without rooms has no room to select: nothing of the previous level's may stay shown.
    CurRoom = -1;
    SelectedX = SelectedZ = 0;
    m_map.clear();
    m_panels.roomInfo.clear();
    m_panels.altRoom.clear();
    SelectRoom(0);
    m_outline.reset();

    // Only TR3 levels offer the whole table of object types.
    m_panels.allItemsEnabled = Level.LevelVersion == level::kVersionTR3;
    m_panels.allItemsChecked = false;
    fillItemDescList();

    // Codes 20 and 21 are minecart turns in TR3 and other machinery in TR4/TR5; TR1/TR2 have neither.
    const int v = Level.LevelVersion;
    if (v == level::kVersionTR3) {
        m_panels.fd20Caption = "Minecart Left";
        m_panels.fd21Caption = "Minecart Right";
        m_panels.fd20Visible = m_panels.fd21Visible = m_panels.minecartStopVisible = true;
    } else if (v >= level::kVersionTR4) {
        m_panels.fd20Caption = "Trigger Triggerer";
        m_panels.fd21Caption = "Clockwise Beatle";
        m_panels.fd20Visible = m_panels.fd21Visible = true;
        m_panels.minecartStopVisible = false;
    } else {
        m_panels.fd20Visible = m_panels.fd21Visible = m_panels.minecartStopVisible = false;
    }
    RoomNumber_Click(0);
    return util::success();
}

void EditorSession::RoomNumber_Click(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= Level.Rooms.size()) return;
    m_panels.roomSelected = index;
    SelectRoom(index);
    m_outline.reset();
    const auto& room = Level.Rooms[static_cast<std::size_t>(index)];
    m_panels.roomInfo = "Room" + numberForm(index) + " - " + numberForm(room.NumXSectors) + "*" + numberForm(room.NumZSectors);
    // The test is against 255 on purpose, so a file storing -1 shows "Alternate: -1": the caption
    // keeps its blank before the number whatever its sign.
    m_panels.altRoom = room.AlternateRoom != 255 ? "Alternate: " + plainNumber(room.AlternateRoom) : "No alternate";
}

void EditorSession::SelectRoom(int r) {
    if (r < 0 || static_cast<std::size_t>(r) >= Level.Rooms.size()) return;
    CurRoom = r;
    SelectedX = 0;
    SelectedZ = 0;
    m_map.build(Level, r);
}

// Outlines a sector chosen without the mouse and makes sure a scrolled map shows it.
void EditorSession::selectOutline(int x, int z) {
    m_outline = SectorPos{x, z};
    m_map.scrollToShow(x, z);
}

MapClickResult EditorSession::SectorMapClick(int x, int y, int button, int shift) {
    MapClickResult result;
    if (!LevelLoaded) return result;
    const auto hit = m_map.sectorAtPixel(x, y);
    if (!hit) return result;
    result.handled = true;
    if (button == kLeftButton) {
        clickSector(hit->x, hit->z);
        if (shift & kAltMask) result.previewCentre = *hit;
        return result;
    }
    // Any other button follows the sector out of the room: sideways first, then down, then up.
    const level::TRRoom* room = curRoom();
    const level::TRSector* s = room ? sectorAt(*room, hit->x, hit->z) : nullptr;
    if (!s) return result;
    const int door = floordata::GetDoor(Level.FloorData, s->FDIndex);
    if (door != -1) RoomNumber_Click(door);
    else if (s->RoomBelow != 255) RoomNumber_Click(s->RoomBelow);
    else if (s->RoomAbove != 255) RoomNumber_Click(s->RoomAbove);
    return result;
}

void EditorSession::clickSector(int x, int z) {
    const level::TRRoom* room = curRoom();
    if (!room || !sectorAt(*room, x, z)) return;
    SelectedZ = z;
    SelectedX = x;
    selectOutline(x, z);
    ShowSectorInfo(SelectedX, SelectedZ, false, true);
}

void EditorSession::ShowSectorInfo(int x, int z, bool KeepItemList, bool RefreshItems) {
    const level::TRRoom* room = curRoom();
    const level::TRSector* s = room ? sectorAt(*room, x, z) : nullptr;
    if (!s) return;
    const std::span<const std::uint16_t> fd(Level.FloorData);
    SectorInfo& in = m_info;

    const int door = floordata::GetDoor(fd, s->FDIndex);
    in.doorSide = door != -1 ? plainNumber(door) : "None";
    in.doorBelow = s->RoomBelow != 255 ? plainNumber(s->RoomBelow) : "None";
    in.doorAbove = s->RoomAbove != 255 ? plainNumber(s->RoomAbove) : "None";

    // Without a trigger the list, timer and flags keep what the previous sector showed.
    if (floordata::GetTriggerKey(fd, s->FDIndex) == -1) {
        in.fdLabel = " 0 Triggers";
        in.triggerShown = false;
    } else {
        // As with the items: the caption counts every action, the list holds the first ones.
        const auto actions = floordata::GetTriggerActions(fd, s->FDIndex, kMaxSectorEntries);
        const auto n = static_cast<std::int64_t>(floordata::CountTriggerActions(fd, s->FDIndex));
        in.triggerShown = true;
        in.triggerList.clear();
        in.fdLabel = numberForm(n) + (n == 1 ? " Trigger" : " Triggers");
        for (const auto& a : actions) in.triggerList.push_back(describeAction(Level, m_names, a));
        in.triggerSelected = actions.empty() ? -1 : 0;
        if (!actions.empty()) {
            const std::uint16_t setup = actions.front().Setup;
            for (int k = 0; k < 5; ++k) in.triggerFlags[static_cast<std::size_t>(k)] = (setup >> (9 + k)) & 1;
            in.timer = "Timer" + numberForm(setup & 0x1FF);
        }
    }

    // The caption's own blank is followed by the number form's blank.
    in.title = "Sector Info [Sector " + numberForm(x) + "," + numberForm(z) + "]";

    // Heights are raw floor and ceiling bytes shown unsigned; -127 marks a wall.
    if (s->Floor == -127) {
        in.floorWall = true;
        in.heightsEnabled = false;
        in.floorHeight.clear();
        in.ceilingHeight.clear();
    } else {
        in.floorWall = false;
        in.heightsEnabled = true;
        in.floorHeight = plainNumber(static_cast<std::uint8_t>(s->Floor));
        in.ceilingHeight = plainNumber(static_cast<std::uint8_t>(s->Ceiling));
    }

    if (RefreshItems) {
        const SectorCentre c = sectorCentre(*room, x, z);
        auto items = GetSectorItems(Level, CurRoom, c.x, c.z);
        const auto statics = GetSectorStatics(Level, CurRoom, c.x, c.z);
        const auto count = static_cast<std::int64_t>(items.size());
        in.itemCount = numberForm(count) + (count == 1 ? " item" : " items");
        items.resize(std::min(items.size(), kMaxSectorEntries));
        if (!KeepItemList) {
            // Remember the entry numbers behind the rows: the edits act on what the list shows.
            m_entries = items;
            m_itemsWhenListed = Level.Items.size();
            in.entries.clear();
            const int numItems = static_cast<int>(Level.Items.size());
            for (int n : items)
                in.entries.push_back(n >= numItems ? "AI" + numberForm(n - numItems) : "Item" + numberForm(n));
            NextTriggerPos = 0;
            if (items.empty()) {
                in.entrySelected = -1;
                CurItem = -1;
                // Nothing of the item described before stays: the panel reads as before any item.
                const SectorInfo blank;
                in.itemNumTriggers = blank.itemNumTriggers;
                in.activeFlags = blank.activeFlags;
                in.itemInvisible = blank.itemInvisible;
                in.itemClearBody = blank.itemClearBody;
            } else {
                in.entrySelected = 0;
                const int n = items.front();
                if (n >= numItems) {
                    // AI objects are never named by a trigger: nothing for Next Trigger to visit.
                    CurItem = -1;
                    in.itemNumTriggers = triggerCountText(0, true);
                    const auto& ai = Level.AIObjects[static_cast<std::size_t>(n - numItems)];
                    in.itemInvisible = false;
                    in.itemClearBody = false;
                    in.activeFlags = maskFlags(aiObjectFlags(ai), kAIMaskBits);
                } else {
                    CurItem = n;
                    in.itemNumTriggers = triggerCountText(itemTriggerCount(n), true);
                    const auto flags = Level.Items[static_cast<std::size_t>(n)].Flags;
                    in.itemInvisible = (flags & kItemInvisibleBit) != 0;
                    in.itemClearBody = (flags & kItemClearBodyBit) != 0;
                    in.activeFlags = maskFlags(flags, kItemMaskBits);
                }
                showEntry(0, true);
            }
        }
        in.itemControlsVisible = !in.entries.empty();

        const auto ns = static_cast<std::int64_t>(statics.size());
        in.staticCount = numberForm(ns) + (ns == 1 ? " Static Mesh" : " Static Meshes");
        if (!statics.empty())
            in.staticName = m_names.staticName(room->StaticMeshes[static_cast<std::size_t>(statics.front())].ObjectID);
        in.staticControlsVisible = !statics.empty();
    }

    const std::int32_t f = floordata::GetSectorFlags(fd, s->FDIndex);
    in.minecartLeft = (f & floordata::kFlagCode20) != 0;
    in.minecartRight = (f & floordata::kFlagCode21) != 0;
    in.minecartStop = (f & (floordata::kFlagCode20 | floordata::kFlagCode21)) != 0;
}

// Shows entry `listIndex` of the list. From the sector description only the type, number, OCB and
// facing are written (the description paints the flags and the trigger count itself); choosing a
// row also makes it the item Next Trigger walks.
void EditorSession::showEntry(int listIndex, bool fromSectorInfo) {
    if (listIndex < 0 || static_cast<std::size_t>(listIndex) >= m_entries.size()) return;
    const int n = m_entries[static_cast<std::size_t>(listIndex)];
    const auto objectID = GetItemObjectID(Level, n);
    if (!objectID) return;  // the level lost the entry since the list was filled
    SectorInfo& in = m_info;
    const int numItems = static_cast<int>(Level.Items.size());
    const bool ai = n >= numItems;

    // With the whole table listed the row is the object ID; otherwise the moveable holding the ID.
    if (m_panels.allItemsChecked) in.itemDescIndex = (*objectID >= 0 && *objectID < kAllItemsRows) ? *objectID : -1;
    else in.itemDescIndex = FindMoveable(Level, *objectID).value_or(-1);

    in.itemID = (ai ? "AI" + numberForm(n - numItems) : "Item" + numberForm(n)) + " - ObjectID" + numberForm(*objectID);

    if (ai) {
        const auto& rec = Level.AIObjects[static_cast<std::size_t>(n - numItems)];
        in.itemOCB = numberForm(aiObjectOCB(rec));
        in.facing = Facing::None;  // AI objects are not turned by the direction labels
        if (!fromSectorInfo) {
            CurItem = -1;
            in.itemNumTriggers = triggerCountText(0, false);
            in.activeFlags = maskFlags(aiObjectFlags(rec), kAIMaskBits);
        }
    } else {
        const auto& rec = Level.Items[static_cast<std::size_t>(n)];
        in.itemOCB = plainNumber(rec.OCB);  // items show plain digits, AI objects the number form
        in.facing = facingOf(rec.Angle);
        if (!fromSectorInfo) {
            CurItem = n;
            in.itemNumTriggers = triggerCountText(itemTriggerCount(n), false);
            NextTriggerPos = 0;
            in.activeFlags = maskFlags(rec.Flags, kItemMaskBits);
        }
    }
}

void EditorSession::selectTrigger(int index) {
    if (index >= -1 && index < static_cast<int>(m_info.triggerList.size())) m_info.triggerSelected = index;
}

Feedback EditorSession::ItemNextTrigger_Click() {
    if (CurItem == -1) return {};
    const int count = itemTriggerCount(CurItem);
    if (count <= 0) return {Feedback::Kind::Message, kNoTriggerMessage, kAppTitle};
    const auto sectors = ItemTriggers[static_cast<std::size_t>(CurItem)].Sectors;
    const int usable = std::min<int>(count, static_cast<int>(sectors.size()));
    if (usable <= 0) return {Feedback::Kind::Message, kNoTriggerMessage, kAppTitle};
    if (NextTriggerPos < 0 || NextTriggerPos >= usable) NextTriggerPos = 0;
    const auto t = sectors[static_cast<std::size_t>(NextTriggerPos)];
    // Advance first so that a sector the level no longer has is skipped on the next click.
    NextTriggerPos = NextTriggerPos + 1 >= usable ? 0 : NextTriggerPos + 1;
    if (t.Room < 0 || static_cast<std::size_t>(t.Room) >= Level.Rooms.size()) return {};
    if (!sectorAt(Level.Rooms[static_cast<std::size_t>(t.Room)], t.X, t.Z)) return {};
    RoomNumber_Click(t.Room);
    SelectedX = t.X;
    SelectedZ = t.Z;
    selectOutline(t.X, t.Z);
    ShowSectorInfo(SelectedX, SelectedZ, false, false);
    return {};
}

Feedback EditorSession::GotoObject_Click() {
    const Feedback beep{Feedback::Kind::Beep, {}, {}};
    const level::TRRoom* room = curRoom();
    const level::TRSector* s = room ? sectorAt(*room, SelectedX, SelectedZ) : nullptr;
    if (!s) return beep;
    // The actions are read again from the selected sector; the list shown may be an older one.
    const auto actions = floordata::GetTriggerActions(Level.FloorData, s->FDIndex, kMaxSectorEntries);
    const int i = m_info.triggerSelected;
    if (actions.empty() || i < 0 || i >= static_cast<int>(actions.size())) return beep;
    const auto& a = actions[static_cast<std::size_t>(i)];
    if (a.ActionKind != floordata::kActionObject && a.ActionKind != floordata::kActionTarget) return beep;
    // An action naming an item, room or sector the level does not have cannot be followed.
    if (a.Parameter >= Level.Items.size()) return beep;
    const auto& item = Level.Items[a.Parameter];
    if (item.Room < 0 || static_cast<std::size_t>(item.Room) >= Level.Rooms.size()) return beep;
    const auto& target = Level.Rooms[static_cast<std::size_t>(item.Room)];
    // The item's sector is the one its position falls in, not only an exact centre.
    const auto x = floorDiv(std::int64_t{item.X} - target.X, 1024);
    const auto z = floorDiv(std::int64_t{item.Z} - target.Z, 1024);
    if (x < 0 || z < 0 || x >= target.NumXSectors || z >= target.NumZSectors) return beep;
    RoomNumber_Click(item.Room);
    SelectedX = static_cast<int>(x);
    SelectedZ = static_cast<int>(z);
    selectOutline(SelectedX, SelectedZ);
    ShowSectorInfo(SelectedX, SelectedZ, false, true);
    return {};
}

void EditorSession::SecCurItem_Click(int listIndex) {
    if (listIndex < 0 || static_cast<std::size_t>(listIndex) >= m_entries.size()) return;
    m_info.entrySelected = listIndex;
    showEntry(listIndex, false);
}

// Retypes the entry shown: a row of the whole table is the ID itself, a moveable row gives its ID.
void EditorSession::ItemDesc_Click(int listIndex) {
    const int k = m_info.entrySelected;
    if (k < 0 || static_cast<std::size_t>(k) >= m_entries.size()) return;
    if (listIndex < 0 || static_cast<std::size_t>(listIndex) >= m_panels.itemDescList.size()) return;
    std::int64_t newID = 0;
    if (m_panels.allItemsChecked) newID = listIndex;
    else if (static_cast<std::size_t>(listIndex) < Level.Moveables.size()) newID = Level.Moveables[static_cast<std::size_t>(listIndex)].ObjectID;
    else return;

    const int n = m_entries[static_cast<std::size_t>(k)];
    const auto numItems = Level.Items.size();
    if (n < 0) return;
    if (static_cast<std::size_t>(n) < numItems) Level.Items[static_cast<std::size_t>(n)].ObjectID = static_cast<std::int16_t>(newID);
    else if (static_cast<std::size_t>(n) - numItems < Level.AIObjects.size())
        Level.AIObjects[static_cast<std::size_t>(n) - numItems].ObjectID = static_cast<std::int16_t>(newID);
    else return;
    m_info.itemDescIndex = listIndex;
    const bool ai = static_cast<std::size_t>(n) >= numItems;
    const int shown = ai ? n - static_cast<int>(numItems) : n;
    m_info.itemID = (ai ? "AI" : "Item") + numberForm(shown) + " - ObjectID" + numberForm(static_cast<std::int16_t>(newID));
}

void EditorSession::fillItemDescList() {
    auto& list = m_panels.itemDescList;
    list.clear();
    if (m_panels.allItemsChecked) {
        for (int id = 0; id < kAllItemsRows; ++id) list.push_back(objectName(id));
    } else {
        for (const auto& m : Level.Moveables) list.push_back(objectName(m.ObjectID));
    }
}

void EditorSession::AllItems_Click(bool checked) {
    m_panels.allItemsChecked = checked;
    fillItemDescList();
    // The rows changed meaning; point the list at the shown entry's type again.
    m_info.itemDescIndex = -1;
    if (m_info.entrySelected >= 0 && static_cast<std::size_t>(m_info.entrySelected) < m_entries.size()) {
        if (auto id = GetItemObjectID(Level, m_entries[static_cast<std::size_t>(m_info.entrySelected)])) {
            if (checked) m_info.itemDescIndex = (*id >= 0 && *id < kAllItemsRows) ? *id : -1;
            else m_info.itemDescIndex = FindMoveable(Level, *id).value_or(-1);
        }
    }
}

void EditorSession::setFacing(Facing f) {
    const int k = m_info.entrySelected;
    if (k < 0 || static_cast<std::size_t>(k) >= m_entries.size()) return;
    const int n = m_entries[static_cast<std::size_t>(k)];
    if (n < 0 || static_cast<std::size_t>(n) >= Level.Items.size()) return;  // AI objects are not turned
    Level.Items[static_cast<std::size_t>(n)].Angle = facingAngle(f);
    m_info.facing = f;
}

void EditorSession::ItemAdd_Click() {
    const level::TRRoom* room = curRoom();
    if (!room || !sectorChosen() || !sectorAt(*room, SelectedX, SelectedZ)) return;
    const int x = SelectedX, z = SelectedZ;
    AddItem(Level, makeNewItem(*room, CurRoom, x, z));
    // Redraw the room so the new mark shows, then describe the same sector again so that the new
    // item appears in the entry list.
    RoomNumber_Click(CurRoom);
    SelectedX = x;
    SelectedZ = z;
    selectOutline(x, z);
    ShowSectorInfo(x, z, false, true);
}

void EditorSession::editsRestored(bool floorDataRestored) {
    // The trigger index follows the floor data, the sectors and the item count; a turn or a retype
    // leaves it as it is. The restored floor data was indexed before; should indexing fail now, the
    // old index stays (every use of it checks the item number against its size).
    if (floorDataRestored || ItemTriggers.size() != Level.Items.size()) {
        try {
            ItemTriggers = floordata::BuildItemTriggers(Level);
        } catch (const util::Error&) {
        } catch (const std::bad_alloc&) {
        }
    }
    // The entry shown stays shown when the restored sector still holds it, so the next click on
    // the panel goes to the item the user was working on, not the sector's first.
    std::optional<std::pair<bool, std::size_t>> shown;  // {AI object, index}
    const int k = m_info.entrySelected;
    if (k >= 0 && static_cast<std::size_t>(k) < m_entries.size() && m_entries[static_cast<std::size_t>(k)] >= 0) {
        const auto n = static_cast<std::size_t>(m_entries[static_cast<std::size_t>(k)]);
        shown = n < m_itemsWhenListed ? std::pair{false, n} : std::pair{true, n - m_itemsWhenListed};
    }
    const int scrollX = m_map.scrollX(), scrollY = m_map.scrollY();
    m_map.build(Level, CurRoom);
    m_map.setScroll(scrollX, scrollY);
    ShowSectorInfo(SelectedX, SelectedZ, false, true);
    if (shown) {
        const auto n = static_cast<int>(shown->first ? Level.Items.size() + shown->second : shown->second);
        const auto it = std::find(m_entries.begin(), m_entries.end(), n);
        if (it != m_entries.end() && it != m_entries.begin()) SecCurItem_Click(static_cast<int>(it - m_entries.begin()));
    }
}

bool EditorSession::goToEntry(const BrowserEntry& entry) {
    if (entry.room < 0 || static_cast<std::size_t>(entry.room) >= Level.Rooms.size()) return false;
    const auto& target = Level.Rooms[static_cast<std::size_t>(entry.room)];
    const auto x = floorDiv(std::int64_t{entry.x} - target.X, 1024);
    const auto z = floorDiv(std::int64_t{entry.z} - target.Z, 1024);
    if (x < 0 || z < 0 || x >= target.NumXSectors || z >= target.NumZSectors) return false;
    RoomNumber_Click(entry.room);
    SelectedX = static_cast<int>(x);
    SelectedZ = static_cast<int>(z);
    selectOutline(SelectedX, SelectedZ);
    ShowSectorInfo(SelectedX, SelectedZ, false, true);
    if (entry.kind != EntryKind::Static) {
        const int n = entry.kind == EntryKind::Item ? entry.index : static_cast<int>(Level.Items.size()) + entry.index;
        const auto it = std::find(m_entries.begin(), m_entries.end(), n);
        if (it != m_entries.end()) SecCurItem_Click(static_cast<int>(it - m_entries.begin()));
    }
    return true;
}

}  // namespace tessarin::editor
