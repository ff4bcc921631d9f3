#include "level/LevelSize.h"

namespace tessarin::level {

std::size_t InMemorySize(const TRLevel& l) {
    std::size_t n = sizeof(TRLevel) + l.Rooms.size() * sizeof(TRRoom);
    ForEachList(l, [&n](const auto& list) { n += list.capacity() * sizeof(list[0]); });
    return n;
}

}  // namespace tessarin::level
