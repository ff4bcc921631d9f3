#include "editor/Objects.h"

namespace tessarin::editor {

using level::TRLevel;
using level::TRRoom;

SectorCentre sectorCentre(const TRRoom& room, int x, int z) {
    return {std::int64_t{room.X} + 1024 * std::int64_t{x} + 512, std::int64_t{room.Z} + 1024 * std::int64_t{z} + 512};
}

// Checked against the Sectors array too, so a room built by hand with too few records is safe.
const level::TRSector* sectorAt(const TRRoom& room, int x, int z) {
    if (!room.hasSector(x, z)) return nullptr;
    const std::size_t i = static_cast<std::size_t>(x) * static_cast<std::size_t>(room.NumZSectors) + static_cast<std::size_t>(z);
    return i < room.Sectors.size() ? &room.Sectors[i] : nullptr;
}

level::TRSector* sectorAt(TRRoom& room, int x, int z) {
    return const_cast<level::TRSector*>(sectorAt(static_cast<const TRRoom&>(room), x, z));
}

std::vector<int> GetSectorItems(const TRLevel& level, int room, std::int64_t centreX, std::int64_t centreZ) {
    std::vector<int> list;
    for (std::size_t i = 0; i < level.Items.size(); ++i) {
        const auto& it = level.Items[i];
        if (it.Room == room && it.X == centreX && it.Z == centreZ) list.push_back(static_cast<int>(i));
    }
    // AI objects exist from TR4 on; they are numbered after the items.
    if (level.LevelVersion >= level::kVersionTR4) {
        const int numItems = static_cast<int>(level.Items.size());
        for (std::size_t j = 0; j < level.AIObjects.size(); ++j) {
            const auto& ai = level.AIObjects[j];
            if (ai.Room == room && ai.X == centreX && ai.Z == centreZ) list.push_back(numItems + static_cast<int>(j));
        }
    }
    return list;
}

std::vector<int> GetSectorStatics(const TRLevel& level, int room, std::int64_t centreX, std::int64_t centreZ) {
    std::vector<int> list;
    if (room < 0 || static_cast<std::size_t>(room) >= level.Rooms.size()) return list;
    const auto& statics = level.Rooms[static_cast<std::size_t>(room)].StaticMeshes;
    for (std::size_t i = 0; i < statics.size(); ++i)
        if (statics[i].X == centreX && statics[i].Z == centreZ) list.push_back(static_cast<int>(i));
    return list;
}

bool isAIEntry(const TRLevel& level, int entry) {
    return entry >= static_cast<int>(level.Items.size());
}

std::optional<int> GetItemObjectID(const TRLevel& level, int entry) {
    if (entry < 0) return std::nullopt;
    const auto n = static_cast<std::size_t>(entry);
    if (n < level.Items.size()) return level.Items[n].ObjectID;
    const std::size_t j = n - level.Items.size();
    if (j < level.AIObjects.size()) return level.AIObjects[j].ObjectID;
    return std::nullopt;
}

std::optional<int> FindMoveable(const TRLevel& level, std::int64_t objectID) {
    for (std::size_t i = 0; i < level.Moveables.size(); ++i)
        if (level.Moveables[i].ObjectID == objectID) return static_cast<int>(i);
    return std::nullopt;
}

std::int16_t FindStaticMesh(const TRLevel& level, std::int64_t objectID) {
    for (std::size_t i = 0; i < level.StaticMeshes.size(); ++i)
        if (level.StaticMeshes[i].ObjectID == objectID) return static_cast<std::int16_t>(i);
    return 0;
}

void AddItem(TRLevel& level, const level::TRItem& item) { level.Items.push_back(item); }

level::TRItem makeNewItem(const TRRoom& room, int roomIndex, int x, int z) {
    level::TRItem it;
    const SectorCentre c = sectorCentre(room, x, z);
    it.ObjectID = 0;
    it.Room = static_cast<std::int16_t>(roomIndex);
    it.X = static_cast<std::int32_t>(c.x);
    it.Z = static_cast<std::int32_t>(c.z);
    // The floor byte is signed except that 0x80 counts as +128 (one step below the lowest floor).
    int floor = 0;
    if (const auto* s = sectorAt(room, x, z)) {
        const int b = static_cast<std::uint8_t>(s->Floor);
        floor = b >= 129 ? b - 256 : b;
    }
    it.Y = floor * 256;
    it.Angle = 0;
    it.Intensity1 = -32768;
    it.OCB = -32768;
    it.Flags = 0x3E00;
    return it;
}

// The AI record's raw bytes after its position: OCB, then flags, little-endian.
std::int16_t aiObjectOCB(const level::TRAIObject& ai) {
    return static_cast<std::int16_t>(ai.Extra[0] | (ai.Extra[1] << 8));
}

std::uint16_t aiObjectFlags(const level::TRAIObject& ai) {
    return static_cast<std::uint16_t>(ai.Extra[2] | (ai.Extra[3] << 8));
}

std::int16_t facingAngle(Facing f) {
    switch (f) {
    case Facing::North: return -16384;
    case Facing::South: return 16384;
    case Facing::West: return -32768;
    default: return 0;
    }
}

Facing facingOf(std::int16_t angle) {
    if (angle == -16384) return Facing::North;
    if (angle == 16384) return Facing::South;
    if (angle == -32768) return Facing::West;
    return Facing::East;
}

}  // namespace tessarin::editor
