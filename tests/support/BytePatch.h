#pragma once
// Little-endian reads and writes inside a built file, for tests that damage one field of it.
#include <cstdint>
#include <vector>

#include "util/LittleEndian.h"

namespace tessarin::test {

inline std::uint32_t get32(const std::vector<std::uint8_t>& b, std::size_t at) {
    (void)b.at(at + 3);  // bounds
    return util::le::u32(b.data() + at);
}
inline void set32(std::vector<std::uint8_t>& b, std::size_t at, std::int64_t v) {
    for (int i = 0; i < 4; ++i) b.at(at + i) = static_cast<std::uint8_t>(static_cast<std::uint64_t>(v) >> (8 * i));
}
inline void set16(std::vector<std::uint8_t>& b, std::size_t at, std::int64_t v) {
    for (int i = 0; i < 2; ++i) b.at(at + i) = static_cast<std::uint8_t>(static_cast<std::uint64_t>(v) >> (8 * i));
}

}  // namespace tessarin::test
