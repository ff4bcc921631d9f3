#pragma once
// The one floor-data edit: code-20/21 entries put in front of a sector's list, appended anew.
#include <cstdint>
#include <vector>

#include "level/TRLevel.h"
#include "util/Result.h"

namespace tessarin::floordata {

enum class MinecartMode : int { Stop = 1, Left = 2, Right = 3 };

// The words of the sector's list up to and including its last entry; empty when it has none. A
// list cut short by an unknown code or the end of the array is returned as far as it could be
// walked, with the last-entry bit set on the last whole entry so the copy is always closed.
std::vector<std::uint16_t> CopySectorFloorData(const level::TRLevel& level, const level::TRSector& sector);

// Appends words to FloorData; returns the word index they start at (an empty array first gets a
// filler word 0, since index 0 means "no list"). Fails, changing nothing, when that index would
// not fit a sector's FDIndex as read by the queries (above 32767).
util::Result<std::uint16_t> AppendFloorData(level::TRLevel& level, const std::vector<std::uint16_t>& words);

// Adds the mode's entries to sector (x, z) of the room. Fails with the reason, changing nothing,
// when the room or sector does not exist or the new list's index would not fit.
util::Status AddMinecartEntry(level::TRLevel& level, int room, int x, int z, MinecartMode mode);

}  // namespace tessarin::floordata
