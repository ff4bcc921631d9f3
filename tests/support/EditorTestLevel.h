#pragma once
// Small levels for the editor tests, filled field by field, and floor-data word makers.
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "editor/ObjectNames.h"
#include "level/TRLevel.h"

namespace tessarin::test {

// Function word: code, subfunction, last-entry bit.
inline std::uint16_t fdWord(int code, int sub = 0, bool last = false) {
    return static_cast<std::uint16_t>(code | (sub << 8) | (last ? 0x8000 : 0));
}
// Action word: parameter (0-511) and kind, last bit.
inline std::uint16_t fdAction(int kind, int parameter, bool last = false) {
    return static_cast<std::uint16_t>(parameter | (kind << 10) | (last ? 0x8000 : 0));
}

// A room of nx by nz open sectors (floor 0, ceiling -20, no floor data) at world (x, z).
inline level::TRRoom makeRoom(int nx, int nz, std::int32_t x = 0, std::int32_t z = 0) {
    level::TRRoom room;
    room.X = x;
    room.Z = z;
    room.NumXSectors = static_cast<std::int16_t>(nx);
    room.NumZSectors = static_cast<std::int16_t>(nz);
    level::TRSector s;
    s.Floor = 0;
    s.Ceiling = -20;
    room.Sectors.assign(static_cast<std::size_t>(nx) * nz, s);
    room.AlternateRoom = -1;
    return room;
}

// A level of the version with the given rooms; FloorData starts with the unused word 0.
inline level::TRLevel makeLevel(int version, std::vector<level::TRRoom> rooms) {
    level::TRLevel l;
    l.LevelVersion = static_cast<std::int16_t>(version);
    l.Rooms = std::move(rooms);
    l.FloorData = {0};
    return l;
}

// Appends a sector's floor-data list and points the sector at it.
inline void setFloorData(level::TRLevel& l, int room, int x, int z, std::initializer_list<std::uint16_t> words) {
    l.Rooms[static_cast<std::size_t>(room)].sector(x, z).FDIndex = static_cast<std::uint16_t>(l.FloorData.size());
    l.FloorData.insert(l.FloorData.end(), words);
}

// An item standing on the centre of sector (x, z) of the room.
inline level::TRItem itemAt(const level::TRLevel& l, int room, int x, int z, int objectID, std::uint16_t flags = 0) {
    const auto& r = l.Rooms[static_cast<std::size_t>(room)];
    level::TRItem it;
    it.ObjectID = static_cast<std::int16_t>(objectID);
    it.Room = static_cast<std::int16_t>(room);
    it.X = r.X + 1024 * x + 512;
    it.Z = r.Z + 1024 * z + 512;
    it.Flags = flags;
    return it;
}

inline level::TRAIObject aiAt(const level::TRLevel& l, int room, int x, int z, int objectID, std::int16_t ocb = 0,
                              std::uint16_t flags = 0) {
    const auto& r = l.Rooms[static_cast<std::size_t>(room)];
    level::TRAIObject ai;
    ai.ObjectID = static_cast<std::int16_t>(objectID);
    ai.Room = static_cast<std::int16_t>(room);
    ai.X = r.X + 1024 * x + 512;
    ai.Z = r.Z + 1024 * z + 512;
    ai.Extra[0] = static_cast<std::uint8_t>(ocb);
    ai.Extra[1] = static_cast<std::uint8_t>(static_cast<std::uint16_t>(ocb) >> 8);
    ai.Extra[2] = static_cast<std::uint8_t>(flags);
    ai.Extra[3] = static_cast<std::uint8_t>(flags >> 8);
    return ai;
}

// Names "OBJ<version>_<id>" for IDs 0-373 of every version, "STATIC<id>" for statics 0-59.
inline editor::ObjectNameTable testNames() {
    editor::ObjectNameTable t;
    for (int v = 1; v <= 5; ++v)
        for (int id = 0; id < 374; ++id) t.setObjectName(v, id, "OBJ" + std::to_string(v) + "_" + std::to_string(id));
    for (int id = 0; id < 60; ++id) t.setStaticName(id, "STATIC" + std::to_string(id));
    return t;
}

}  // namespace tessarin::test
