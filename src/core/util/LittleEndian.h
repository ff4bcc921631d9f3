#pragma once
// Little-endian loads from a byte pointer whose bounds the caller has already checked
// (ByteReader::view), for the large record lists where a check per field would dominate.
#include <cstdint>

namespace tessarin::util::le {

inline std::uint16_t u16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
inline std::int16_t i16(const std::uint8_t* p) { return static_cast<std::int16_t>(u16(p)); }
inline std::uint32_t u32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::int32_t i32(const std::uint8_t* p) { return static_cast<std::int32_t>(u32(p)); }

}  // namespace tessarin::util::le
