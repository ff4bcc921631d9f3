#include "editor/SectorHover.h"

#include "editor/Objects.h"
#include "editor/SectorMap.h"
#include "floordata/FloorData.h"

namespace tessarin::editor {

namespace {

std::string height(int clicks) {
    return std::to_string(clicks) + " clicks (" + std::to_string(clicks * kUnitsPerClick) + ")";
}

std::string counted(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::string describeHover(const level::TRLevel& level, int room, int x, int z) {
    if (room < 0 || static_cast<std::size_t>(room) >= level.Rooms.size()) return {};
    const level::TRRoom& r = level.Rooms[static_cast<std::size_t>(room)];
    const level::TRSector* s = sectorAt(r, x, z);
    if (!s) return {};
    const SectorCentre c = sectorCentre(r, x, z);
    std::string out = "Room " + std::to_string(room) + "  sector x " + std::to_string(x) + ", z " + std::to_string(z) +
                      "  world (" + std::to_string(c.x) + ", " + std::to_string(c.z) + ")";
    // Heights are signed clicks; -127 marks a wall.
    if (s->Floor == -127) out += "  wall";
    else out += "  floor " + height(s->Floor) + "  ceiling " + height(s->Ceiling);

    const auto items = GetSectorItems(level, room, c.x, c.z);
    const auto statics = GetSectorStatics(level, room, c.x, c.z);
    out += "  " + counted(items.size(), "item", "items") + ", " + counted(statics.size(), "static", "statics");
    const std::span<const std::uint16_t> fd(level.FloorData);
    if (const int door = floordata::GetDoor(fd, s->FDIndex); door != -1) out += ", portal to " + std::to_string(door);
    if (s->RoomBelow != 255) out += ", room below " + std::to_string(s->RoomBelow);
    if (s->RoomAbove != 255) out += ", room above " + std::to_string(s->RoomAbove);
    if (floordata::GetTriggerKey(fd, s->FDIndex) != -1) out += ", trigger";
    // The entries that decide the map's pink, blue, green and red, named as the legend names them.
    const std::int32_t flags = floordata::GetSectorFlags(fd, s->FDIndex);
    const bool tr4 = level.LevelVersion >= level::kVersionTR4;
    if (flags & floordata::kFlagMonkey) out += ", monkey swing";
    if (flags & floordata::kFlagCode20) out += tr4 ? ", Trigger Triggerer" : ", Minecart Left";
    if (flags & floordata::kFlagCode21) out += tr4 ? ", Clockwise Beatle" : ", Minecart Right";
    return out;
}

std::string mapLegend(std::int16_t version) {
    std::string out = "Map colours:\n"
                      "yellow - floor\n"
                      "green - wall (or floor at the ceiling)\n"
                      "purple - trigger\n"
                      "grey - room edge without a portal\n"
                      "black - portal: to a side room, or a room below or above\n";
    // The boxes' blocked mark is read for TR3 and TR4 only; codes 19-21 exist from TR3 on, and codes
    // 20 and 21 mean what the sector panel's buttons that add them say.
    if (version == level::kVersionTR3 || version == level::kVersionTR4) out += "dark grey - blocked box\n";
    if (version >= level::kVersionTR3) out += "pink - monkey swing\n";
    if (version == level::kVersionTR3) out += "blue / green / red - Minecart Left / Minecart Right / both\n";
    if (version >= level::kVersionTR4) out += "blue / green / red - Trigger Triggerer / Clockwise Beatle / both\n";
    return out + "cyan mark - items or AI objects; blue mark - static meshes\n"
                 "Ctrl + wheel or Ctrl +/- zooms the map; Ctrl+M fits the room.";
}

}  // namespace tessarin::editor
