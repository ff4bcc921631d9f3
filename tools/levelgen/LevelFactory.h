#pragma once
// Small helpers that make level descriptions short to write: empty levels, box rooms, floor-data lists.
#include <cstdint>
#include <vector>

#include "level/TRLevel.h"

namespace tessarin::levelgen {

inline constexpr int kSector = 1024;  // world units per sector
inline constexpr int kClick = 256;    // world units per floor/ceiling step

// A level of `version` with nothing in it but the magic, the version and floor-data word 0 (so that
// FDIndex 0 stays "no list").
level::TRLevel emptyLevel(std::int16_t version);

// A two-room level of `version` with at least one element in every list the version has, each
// field holding a distinct value, so a reader that mixes up two fields or skips one is caught.
level::TRLevel everyListLevel(std::int16_t version);

// A room of xs by zs sectors whose corner is at sector (sectorX, sectorZ), floor at `floorY` and
// ceiling at `ceilingY` (world units, y grows downwards). The outer ring of sectors is wall, as in
// the games; the inside is open floor. No geometry: see SampleLevels for textured rooms.
level::TRRoom boxRoom(int sectorX, int sectorZ, int xs, int zs, int floorY, int ceilingY);

// Action kinds and trigger types that tests and samples use.
enum TriggerType : int { kTrigger = 0, kPad = 1, kSwitch = 2, kKey = 3, kPickup = 4, kMonkeyTrigger = 12 };
enum ActionKind : int { kObject = 0, kCamera = 1, kFlipMap = 3, kFlipEffect = 9, kSecret = 10, kFlyby = 12 };

struct TriggerAction {
    int kind = kObject;
    int parameter = 0;
    std::uint16_t extra = 0;  // CAMERA and FLYBY only: the word that follows (its bit 15 is set for the last)
};

// One sector's floor-data list, written entry by entry; the last entry gets bit 15.
class FloorDataList {
public:
    FloorDataList& door(int room);
    FloorDataList& floorSlope(int xSlope, int zSlope);
    FloorDataList& ceilingSlope(int xSlope, int zSlope);
    FloorDataList& trigger(int type, std::uint16_t setup, const std::vector<TriggerAction>& actions);
    FloorDataList& kill();
    FloorDataList& climb(int sides);
    FloorDataList& monkey();
    FloorDataList& code20();  // minecart left (TR3), trigger triggerer (TR4/TR5)
    FloorDataList& code21();  // minecart right (TR3), clockwise beetle (TR4/TR5)

    bool empty() const { return m_words.empty(); }
    // The words with the last-entry bit set on the final function word.
    std::vector<std::uint16_t> words() const;
    // Appends the list to the level's floor data and returns its FDIndex (0 when empty).
    std::uint16_t appendTo(level::TRLevel& level) const;

private:
    void entry(int code, int sub);
    std::vector<std::uint16_t> m_words;
    std::size_t m_lastFunction = 0;
};

// Portal through the wall at x = wallPos (`wallAtX`) or z = wallPos, spanning from..to along the wall, in room-
// relative coordinates of the room it belongs to.
level::TRPortal wallPortal(int adjoiningRoom, bool wallAtX, int wallPos, int from, int to, int yTop, int yBottom,
                           int normalSign);
// Horizontal portal (floor or ceiling) over sector rectangle [x0, x1) x [z0, z1) at height y.
level::TRPortal flatPortal(int adjoiningRoom, int x0, int z0, int x1, int z1, int y, int normalSign);

}  // namespace tessarin::levelgen
