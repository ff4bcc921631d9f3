// The floor-data queries and the per-item trigger index, all on the one walk of FloorDataWalk.h.
#include "floordata/FloorData.h"

#include <array>
#include <string>

#include "floordata/FloorDataWalk.h"
#include "util/Result.h"

namespace tessarin::floordata {

using namespace detail;

namespace {

// The first trigger entry of a list, if the walk reaches one before an unknown code or the end.
bool findFirstTrigger(std::span<const std::uint16_t> fd, std::size_t start, Entry& found) {
    bool seen = false;
    walkList(fd, start, [&](const Entry& e) {
        if (e.code() != kTrigger) return true;
        found = e;
        seen = true;
        return false;
    });
    return seen;
}

bool namesItem(const Action& a, int item) {
    return (a.kind() == kActionObject || a.kind() == kActionTarget) && a.parameter() == item;
}

}  // namespace

int GetDoor(std::span<const std::uint16_t> floorData, std::uint16_t fdIndex) {
    int room = -1;
    walkList(floorData, doorListStart(floorData, fdIndex), [&](const Entry& e) {
        if (e.code() != kDoor) return true;
        room = doorRoom(floorData, e);
        return false;
    });
    return room;
}

std::int32_t GetSectorFlags(std::span<const std::uint16_t> floorData, std::uint16_t fdIndex) {
    // OR, not a sum: two code-20 entries must not read as one code-21 entry.
    std::int32_t flags = 0;
    walkList(floorData, listStart(floorData, fdIndex), [&](const Entry& e) {
        flags |= entryFlags(e);
        return true;
    });
    return flags;
}

std::int32_t GetTriggerKey(std::span<const std::uint16_t> floorData, std::uint16_t fdIndex) {
    Entry trigger;
    if (!findFirstTrigger(floorData, listStart(floorData, fdIndex), trigger)) return -1;
    return triggerKey(floorData, trigger);
}

std::size_t CountTriggerActions(std::span<const std::uint16_t> floorData, std::uint16_t fdIndex) {
    std::size_t count = 0;
    walkList(floorData, listStart(floorData, fdIndex), [&](const Entry& e) {
        if (e.code() == kTrigger) forEachAction(floorData, e, [&](const Action&) {
            ++count;
            return true;
        });
        return true;
    });
    return count;
}

std::vector<TriggerAction> GetTriggerActions(std::span<const std::uint16_t> floorData, std::uint16_t fdIndex,
                                             std::size_t most) {
    // Every action of every trigger entry, each carrying its own entry's type and setup word.
    // Actions of entries before an unknown code or the end of the array are kept.
    // One walk that stops at the limit: counting first would walk a damaged list's millions of
    // actions again for the few shown.
    std::vector<TriggerAction> actions;
    if (most == 0) return actions;
    walkList(floorData, listStart(floorData, fdIndex), [&](const Entry& e) {
        if (e.code() != kTrigger) return true;
        const auto type = static_cast<std::uint16_t>(e.subfunction());
        const std::uint16_t setup = floorData[e.Pos + 1];
        forEachAction(floorData, e, [&](const Action& a) {
            actions.push_back({type, setup, static_cast<std::uint16_t>(a.kind()),
                               static_cast<std::uint16_t>(a.parameter())});
            return actions.size() < most;
        });
        return actions.size() < most;
    });
    return actions;
}

bool SectorTriggersItem(std::span<const std::uint16_t> floorData, const level::TRSector& sector, int item) {
    Entry trigger;
    if (!findFirstTrigger(floorData, listStart(floorData, sector.FDIndex), trigger)) return false;
    bool found = false;
    forEachAction(floorData, trigger, [&](const Action& a) {
        found = namesItem(a, item);
        return !found;
    });
    return found;
}

void StripTR3FloorData(std::span<const std::uint16_t> floorData, std::uint16_t& fdIndex) {
    const std::size_t start = listStart(floorData, fdIndex);
    if (start == 0) return;
    bool tr3Only = false;
    const WalkEnd end = walkList(floorData, start, [&](const Entry& e) {
        tr3Only = tr3Only || e.code() >= kFirstTriangle;
        return true;
    });
    // A list the TR2 game could not walk to its end is dropped as well.
    if (tr3Only || end != WalkEnd::LastEntry) fdIndex = 0;
}

ItemTriggers BuildItemTriggers(const level::TRLevel& level) {
    // Many sectors may share one list, a sector may name a place inside another sector's list, and
    // one list may name an item several times; none of these may multiply the work or the records.
    // What a list yields depends only on where the walk stands, so each entry's answer (the distinct
    // items of the first trigger at or after it; a list names items 0-511 only) is worked out once
    // and every later walk that reaches the entry takes it. Then one pass counts each item's sectors
    // and a second one files them, in room, x, z order because the sectors are visited in that order.
    const std::span<const std::uint16_t> fd(level.FloorData);
    const std::size_t numItems = level.Items.size();
    constexpr std::uint32_t kNotWalked = 0xFFFFFFFF;
    std::vector<std::uint32_t> itemsFrom(fd.size(), kNotWalked);  // per entry: its answer in itemsAt
    std::vector<std::uint32_t> itemsAt{0};  // per trigger reached: a count, then its items; at 0 none
    std::vector<std::size_t> walkedNow;

    auto itemsOf = [&](std::uint16_t fdIndex) -> std::span<const std::uint32_t> {
        const std::size_t start = listStart(fd, fdIndex);
        if (start == 0) return {};
        if (itemsFrom[start] == kNotWalked) {
            std::uint32_t found = 0;
            walkedNow.clear();
            walkList(fd, start, [&](const Entry& e) {
                if (itemsFrom[e.Pos] != kNotWalked) {
                    found = itemsFrom[e.Pos];
                    return false;
                }
                walkedNow.push_back(e.Pos);
                if (e.code() != kTrigger) return true;
                found = static_cast<std::uint32_t>(itemsAt.size());
                itemsAt.push_back(0);
                std::array<bool, 512> seen{};
                forEachAction(fd, e, [&](const Action& a) {
                    const auto item = static_cast<std::size_t>(a.parameter());
                    if (namesItem(a, a.parameter()) && item < numItems && !seen[item]) {
                        seen[item] = true;
                        itemsAt.push_back(static_cast<std::uint32_t>(item));
                    }
                    return true;
                });
                itemsAt[found] = static_cast<std::uint32_t>(itemsAt.size() - found - 1);
                return false;  // only the first trigger counts
            });
            // The start too, when it holds no whole entry (an unknown code, cut short).
            itemsFrom[start] = found;
            for (std::size_t pos : walkedNow) itemsFrom[pos] = found;
        }
        const std::uint32_t at = itemsFrom[start];
        return std::span<const std::uint32_t>(itemsAt).subspan(at + 1, itemsAt[at]);
    };
    auto forEachSector = [&](auto&& visit) {
        for (std::size_t r = 0; r < level.Rooms.size(); ++r) {
            const level::TRRoom& room = level.Rooms[r];
            for (int x = 0; x < room.NumXSectors; ++x)
                for (int z = 0; z < room.NumZSectors; ++z) {
                    const std::size_t s = static_cast<std::size_t>(x) * room.NumZSectors + z;
                    if (s >= room.Sectors.size()) continue;
                    for (std::uint32_t item : itemsOf(room.Sectors[s].FDIndex))
                        visit(item, TriggerSector{static_cast<std::int32_t>(r), x, z});
                }
        }
    };

    std::vector<std::uint32_t> starts(numItems + 1, 0);
    std::size_t total = 0;
    forEachSector([&](std::uint32_t item, const TriggerSector&) {
        if (++total > kMaxItemTriggerSectors)
            throw util::Error("trigger index: the triggers name items in more than " +
                              std::to_string(kMaxItemTriggerSectors) + " sector records (" +
                              std::to_string(numItems) + " items), more than this program indexes");
        ++starts[item + 1];
    });
    for (std::size_t i = 0; i < numItems; ++i) starts[i + 1] += starts[i];
    std::vector<TriggerSector> sectors(total);
    std::vector<std::uint32_t> next(starts.begin(), starts.end() - 1);
    forEachSector([&](std::uint32_t item, const TriggerSector& here) { sectors[next[item]++] = here; });
    return ItemTriggers(std::move(starts), std::move(sectors));
}

}  // namespace tessarin::floordata
