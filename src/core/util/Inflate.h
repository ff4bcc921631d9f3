#pragma once
// Inflate: one zlib stream into a buffer of the size its file states, refused when it is anything else.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tessarin::util {

// No chunk of a level may inflate past 128 MiB: that is 512 pages of 32-bit textures, far beyond any
// game or extended engine, and it keeps a damaged size field from asking for gigabytes.
inline constexpr std::uint64_t kMaxInflatedSize = std::uint64_t{128} << 20;
// Deflate cannot expand a byte of input into more than 1032 bytes of output.
inline constexpr std::uint64_t kMaxInflateRatio = 1032;

// Refuses a stated size above the cap or above what `compressedSize` bytes can hold. Call it before
// allocating anything for the chunk. Throws Error beginning with `chunk`.
void checkInflatedSize(std::uint64_t stated, std::uint64_t compressedSize, const std::string& chunk);

// Inflates `compressed` into exactly `out` (its size is the stated size). A damaged stream, or one
// that ends before `out` is full or holds more than fits, throws Error beginning with `chunk`.
// No compressed bytes at all are accepted for an empty `out`.
void inflateChunk(std::span<const std::uint8_t> compressed, std::span<std::uint8_t> out, const std::string& chunk);

// The same into a new buffer; the stated size is checked before the buffer is allocated.
std::vector<std::uint8_t> inflateChunk(std::span<const std::uint8_t> compressed, std::uint64_t stated,
                                       const std::string& chunk);

}  // namespace tessarin::util
