#pragma once
// Adler-32, the check value of a zlib stream (RFC 1950).
#include <cstdint>
#include <span>

namespace tessarin::util {

// The check value of `bytes` following on from `adler` (1 before any bytes). Where the processor
// has AVX2 it takes 32 bytes a step, several times zlib's own speed: a level's inflated chunks are
// checked as they are written, so this is a good part of reading them.
std::uint32_t adler32(std::uint32_t adler, std::span<const std::uint8_t> bytes);

namespace detail {
// The byte-by-byte form every processor runs (tests compare the two).
std::uint32_t adler32Portable(std::uint32_t adler, std::span<const std::uint8_t> bytes);
}  // namespace detail

}  // namespace tessarin::util
