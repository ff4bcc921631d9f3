#pragma once
// Level descriptions in text (the shipped sample levels) and from parameters (large benchmark levels).
#include <cstdint>
#include <string>

#include "level/TRLevel.h"

namespace tessarin::levelgen {

// The level a text description sets out; the format is described in data/samples/README.md.
// Throws BuildError naming the line of a statement it cannot follow.
level::TRLevel composeSampleLevel(const std::string& text);

// A large level: a grid of connected square rooms, items and triggers spread by a seeded generator.
// The same parameters always give the same level.
struct LargeLevelParams {
    std::int16_t version = 3;
    int rooms = 300;
    int sectorsPerSide = 8;   // 3 to 31, the wall ring included
    int items = 3000;
    int triggersPerRoom = 4;
    int facesPerRoom = 120;   // at least this many textured faces per room
    std::uint32_t seed = 1;
};

level::TRLevel composeLargeLevel(const LargeLevelParams& params);

}  // namespace tessarin::levelgen
