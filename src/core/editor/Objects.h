#pragma once
// Item, AI-object and static-mesh lookups behind the items panel and the sector map.
//
// Entry numbers: item i is numbered i; AI object j is numbered NumItems + j. An entity stands on
// sector (x, z) of a room only when its X and Z are exactly the sector centre
// (room X + 1024 x + 512, room Z + 1024 z + 512).
#include <cstdint>
#include <optional>
#include <vector>

#include "level/TRLevel.h"

namespace tessarin::editor {

struct SectorCentre {
    std::int64_t x = 0, z = 0;
};

SectorCentre sectorCentre(const level::TRRoom& room, int x, int z);

// The sector record, or null when (x, z) is outside the room's grid or its Sectors array.
const level::TRSector* sectorAt(const level::TRRoom& room, int x, int z);
level::TRSector* sectorAt(level::TRRoom& room, int x, int z);

// Entry numbers of the items standing at the centre, in index order; for TR4 and TR5 the AI
// objects follow (numbered after the items).
std::vector<int> GetSectorItems(const level::TRLevel& level, int room, std::int64_t centreX, std::int64_t centreZ);

// Indices into the room's static-mesh list of those standing at the centre, in order.
std::vector<int> GetSectorStatics(const level::TRLevel& level, int room, std::int64_t centreX, std::int64_t centreZ);

// True when the entry number stands for an AI object.
bool isAIEntry(const level::TRLevel& level, int entry);

// The object ID of an entry, or nullopt when the number names nothing.
std::optional<int> GetItemObjectID(const level::TRLevel& level, int entry);

// First moveable whose ObjectID matches; nullopt when none does.
std::optional<int> FindMoveable(const level::TRLevel& level, std::int64_t objectID);

// First static-mesh definition whose ObjectID matches, as a 16-bit index; 0 when none does.
std::int16_t FindStaticMesh(const level::TRLevel& level, std::int64_t objectID);

// Appends the item; existing items keep their indices. ItemTriggers is not extended.
void AddItem(level::TRLevel& level, const level::TRItem& item);

// The record ItemAdd puts on sector (x, z) of the room: centre X/Z, Y from the floor byte
// (129..255 count as negative, 128 stays +128), Intensity1 and OCB -32768, all five mask flags.
level::TRItem makeNewItem(const level::TRRoom& room, int roomIndex, int x, int z);

// The OCB and flag words of an AI object (first and second 16-bit values after its position).
std::int16_t aiObjectOCB(const level::TRAIObject& ai);
std::uint16_t aiObjectFlags(const level::TRAIObject& ai);

// Item Flags bits and their AI-object counterparts for the five activation-mask labels.
inline constexpr std::uint16_t kItemMaskBits[5] = {0x0200, 0x0400, 0x0800, 0x1000, 0x2000};
inline constexpr std::uint16_t kAIMaskBits[5] = {0x0002, 0x0004, 0x0008, 0x0010, 0x0020};
inline constexpr std::uint16_t kItemInvisibleBit = 0x0100;
inline constexpr std::uint16_t kItemClearBodyBit = 0x8000;

// Facing values written by the four direction labels.
enum class Facing { None, North, East, South, West };
std::int16_t facingAngle(Facing f);
// The label an Angle highlights: North -16384, South 16384, West -32768, East anything else.
Facing facingOf(std::int16_t angle);

}  // namespace tessarin::editor
