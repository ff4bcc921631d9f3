#pragma once
// A tiny level for floor-data tests: rooms of given grid sizes over a given word array.
#include <utility>
#include <vector>

#include "level/TRLevel.h"

namespace tessarin::test {

inline level::TRLevel floorDataLevel(std::vector<std::uint16_t> floorData,
                                     const std::vector<std::pair<int, int>>& roomSizes, std::size_t items = 0) {
    level::TRLevel lvl;
    lvl.LevelVersion = level::kVersionTR3;
    lvl.FloorData = std::move(floorData);
    for (const auto& [xs, zs] : roomSizes) {
        level::TRRoom room;
        room.NumXSectors = static_cast<std::int16_t>(xs);
        room.NumZSectors = static_cast<std::int16_t>(zs);
        room.Sectors.resize(static_cast<std::size_t>(xs) * static_cast<std::size_t>(zs));
        lvl.Rooms.push_back(std::move(room));
    }
    lvl.Items.resize(items);
    return lvl;
}

}  // namespace tessarin::test
