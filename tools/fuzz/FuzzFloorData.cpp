// The floor-data walk and every query over arbitrary words (the shared answers checked against the
// single ones), then the trigger index of a room whose sectors start at each index in turn.
// Input: little-endian 16-bit words.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "floordata/FloorData.h"
#include "floordata/FloorDataQueries.h"
#include "util/Result.h"

using namespace tessarin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    level::TRLevel level;
    level.LevelVersion = level::kVersionTR3;
    level.FloorData.resize(size / 2);
    for (std::size_t i = 0; i < level.FloorData.size(); ++i)
        level.FloorData[i] = static_cast<std::uint16_t>(data[2 * i] | data[2 * i + 1] << 8);
    const std::span<const std::uint16_t> fd(level.FloorData);

    // Indices past the end as well: a sector may hold any FDIndex.
    const std::size_t indices = std::min<std::size_t>(fd.size() + 2, 2048);
    level::TRRoom room;
    room.NumXSectors = 1;
    room.NumZSectors = static_cast<std::int16_t>(indices);
    // The shared answers must be the single queries' own, whatever order the indices come in.
    floordata::FloorDataQueries shared(fd);
    for (std::size_t i = 0; i < indices; ++i) {
        auto index = static_cast<std::uint16_t>(indices - 1 - i);
        if (shared.GetDoor(index) != floordata::GetDoor(fd, index)) __builtin_trap();
        if (shared.GetSectorFlags(index) != floordata::GetSectorFlags(fd, index)) __builtin_trap();
        if (shared.GetTriggerKey(index) != floordata::GetTriggerKey(fd, index)) __builtin_trap();
        std::uint16_t sharedStrip = index, strip = index;
        shared.StripTR3FloorData(sharedStrip);
        floordata::StripTR3FloorData(fd, strip);
        if (sharedStrip != strip) __builtin_trap();
    }
    for (std::size_t i = 0; i < indices; ++i) {
        auto index = static_cast<std::uint16_t>(i);
        const std::size_t actions = floordata::GetTriggerActions(fd, index).size();
        if (actions != floordata::CountTriggerActions(fd, index)) __builtin_trap();
        if (floordata::GetTriggerActions(fd, index, 2).size() != std::min<std::size_t>(actions, 2)) __builtin_trap();
        level::TRSector sector;
        sector.FDIndex = index;
        (void)floordata::SectorTriggersItem(fd, sector, 0);
        room.Sectors.push_back(sector);
        floordata::StripTR3FloorData(fd, index);
        if (index != 0 && index != i) __builtin_trap();  // strip may only clear the index
    }
    level.Rooms.push_back(room);
    level.Items.resize(8);
    try {
        const auto triggers = floordata::BuildItemTriggers(level);
        if (triggers.size() != level.Items.size()) __builtin_trap();
        for (std::size_t item = 0; item < triggers.size(); ++item)
            for (const auto& s : triggers[item].Sectors)
                if (s.Room != 0 || s.X != 0 || s.Z < 0 || static_cast<std::size_t>(s.Z) >= indices) __builtin_trap();
    } catch (const util::Error&) {
        // A refusal with its reason is an answer.
    }
    return 0;
}
