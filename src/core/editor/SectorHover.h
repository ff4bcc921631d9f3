#pragma once
// SectorHover: the one-line description of the sector under the mouse for the status bar, and the
// legend of the map's colours and marks.
#include <string>

#include "level/TRLevel.h"

namespace tessarin::editor {

inline constexpr int kUnitsPerClick = 256;

// "Room 3  sector x 2, z 5  world (3584, 5632)  floor 4 clicks (1024)  ceiling -12 clicks (-3072)
//  2 items, 1 static, portal to 4, trigger"; "" for a sector the room does not have.
std::string describeHover(const level::TRLevel& level, int room, int x, int z);

// Every map colour and mark a level of `version` can show, with what it means, one a line.
std::string mapLegend(std::int16_t version);

}  // namespace tessarin::editor
