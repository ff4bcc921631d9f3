#pragma once
// What a level record holds in memory: the record and every list it owns.
#include <cstddef>

#include "level/TRLevel.h"

namespace tessarin::level {

// Bytes of the record and of the room reserved by every list, rooms' lists included.
std::size_t InMemorySize(const TRLevel& level);

}  // namespace tessarin::level
