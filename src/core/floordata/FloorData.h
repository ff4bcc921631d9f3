#pragma once
// The floor-data word format: one bounded walk over a sector's list and the queries built on it.
//
// Word layout of an entry's function word: bits 0-4 function code, bits 8-14 subfunction,
// bit 15 last entry of the sector's list. Every query is a pure read of the word array.
#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "level/TRLevel.h"

namespace tessarin::floordata {

// Function codes.
enum FunctionCode : int {
    kDoor = 1,
    kFloorSlope = 2,
    kCeilingSlope = 3,
    kTrigger = 4,
    kKill = 5,
    kClimb = 6,
    kFirstTriangle = 7,
    kLastTriangle = 18,
    kMonkey = 19,
    kMinecartLeft = 20,   // TR4/TR5: trigger triggerer
    kMinecartRight = 21,  // TR4/TR5: clockwise beetle
};

// Action kinds (bits 10-13 of an action word).
enum ActionKind : int {
    kActionObject = 0,
    kActionCamera = 1,
    kActionSink = 2,
    kActionFlipMap = 3,
    kActionFlipOn = 4,
    kActionFlipOff = 5,
    kActionTarget = 6,
    kActionFinish = 7,
    kActionCD = 8,
    kActionFlipEffect = 9,
    kActionSecret = 10,
    kActionBodyBag = 11,
    kActionFlyby = 12,
    kActionCutscene = 13,
};

// Flags returned by GetSectorFlags beside the climb bits (0-15).
inline constexpr std::int32_t kFlagMonkey = 16;
inline constexpr std::int32_t kFlagCode20 = 32;
inline constexpr std::int32_t kFlagCode21 = 64;

struct TriggerAction {
    std::uint16_t TriggerType = 0;
    std::uint16_t Setup = 0;
    std::uint16_t ActionKind = 0;
    std::uint16_t Parameter = 0;
};

struct TriggerSector {
    std::int32_t Room = 0, X = 0, Z = 0;
    bool operator==(const TriggerSector&) const = default;
};

// One item's entry of the index: its sectors in room, x, z order.
struct ItemTriggerList {
    std::int32_t Count = 0;
    std::span<const TriggerSector> Sectors;
};

// The per-item index of trigger sectors: one entry per item of the level when it was built, all
// sector lists in one array (a level with hundreds of thousands of items costs four bytes each).
class ItemTriggers {
public:
    ItemTriggers() = default;
    ItemTriggers(std::vector<std::uint32_t> starts, std::vector<TriggerSector> sectors)
        : m_starts(std::move(starts)), m_sectors(std::move(sectors)) {}

    std::size_t size() const { return m_starts.empty() ? 0 : m_starts.size() - 1; }
    bool empty() const { return size() == 0; }
    ItemTriggerList operator[](std::size_t item) const {
        const std::span<const TriggerSector> list(m_sectors.data() + m_starts[item], m_starts[item + 1] - m_starts[item]);
        return {static_cast<std::int32_t>(list.size()), list};
    }

private:
    std::vector<std::uint32_t> m_starts;  // item i's sectors: [m_starts[i], m_starts[i + 1])
    std::vector<TriggerSector> m_sectors;
};

// The most sector records the index holds (24 MB; the games' levels hold a few thousand); a level
// whose triggers name items more often is refused rather than indexed.
inline constexpr std::size_t kMaxItemTriggerSectors = 2 * 1024 * 1024;

// The per-sector queries walk one list each; for the sectors of a map or a level, FloorDataQueries
// (FloorDataQueries.h) gives the same answers without walking shared lists again.

// Room that the sector's door entry leads to (0-255), or -1.
int GetDoor(std::span<const std::uint16_t> floorData, std::uint16_t fdIndex);
// Climb bits, plus kFlagMonkey / kFlagCode20 / kFlagCode21, combined with OR.
std::int32_t GetSectorFlags(std::span<const std::uint16_t> floorData, std::uint16_t fdIndex);
// type + 32 * parameter + 16384 * kind of the first trigger's first action, or -1.
std::int32_t GetTriggerKey(std::span<const std::uint16_t> floorData, std::uint16_t fdIndex);
// The actions of all the sector's trigger entries in order, each record with its own entry's type
// and setup word; empty when it has none. At most `most` of them: a damaged list may chain
// millions of triggers, and the sector panel lists only so many.
std::vector<TriggerAction> GetTriggerActions(std::span<const std::uint16_t> floorData, std::uint16_t fdIndex,
                                             std::size_t most = SIZE_MAX);
// How many actions GetTriggerActions would give without a limit.
std::size_t CountTriggerActions(std::span<const std::uint16_t> floorData, std::uint16_t fdIndex);
// True when the sector's first trigger has an OBJECT or TARGET action naming the item.
bool SectorTriggersItem(std::span<const std::uint16_t> floorData, const level::TRSector& sector, int item);
// Clears fdIndex when the list holds a code the TR2 format does not know (7-21 or unknown) or
// runs off the end of the array.
void StripTR3FloorData(std::span<const std::uint16_t> floorData, std::uint16_t& fdIndex);

// The per-item index of trigger sectors, ordered by room, then x, then z; the work grows with the
// floor data and the sectors, however their lists overlap. Throws util::Error naming the count when
// the index would pass kMaxItemTriggerSectors records.
ItemTriggers BuildItemTriggers(const level::TRLevel& level);

}  // namespace tessarin::floordata
