#pragma once
// Inflate: one zlib stream into a buffer of the size its file states, refused when it is anything else.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace tessarin::util {

class Arrival;

// The absolute ceiling for one chunk: 1 GiB is 4096 pages of 32-bit textures, or level data many
// times the largest custom level known, and it stays within what a desktop can hold.
inline constexpr std::uint64_t kMaxInflatedSize = std::uint64_t{1} << 30;
// Deflate cannot expand a byte of input into more than 1032 bytes of output.
inline constexpr std::uint64_t kMaxInflateRatio = 1032;
// Level data and textures shrink to a half or a tenth; a stated size more than this many times the
// compressed one (and over kCountFrom) is counted by inflating through a small window before it is
// believed, so a lying header cannot make us allocate what the stream does not hold.
inline constexpr std::uint64_t kPlausibleRatio = 64;
inline constexpr std::uint64_t kCountFrom = std::uint64_t{1} << 20;

// Refuses a stated size above the ceiling, above what the compressed bytes can hold, or (for an
// implausible ratio) other than what the stream really inflates to. Call it before allocating
// anything for the chunk. Throws Error beginning with `chunk`.
void checkInflatedSize(std::uint64_t stated, std::span<const std::uint8_t> compressed, const std::string& chunk);

// What the stream inflates to, counted through a small window (nothing is allocated for the
// output); counting stops once it passes `limit`. A damaged stream throws Error beginning with `chunk`.
std::uint64_t countInflatedSize(std::span<const std::uint8_t> compressed, std::uint64_t limit, const std::string& chunk);

// What can be known of a stream without inflating it: that it begins with a zlib header (deflate,
// a window zlib can use, a sound check value, no preset dictionary). No compressed bytes at all are
// accepted for a stated size of 0, as inflateChunk accepts them. Throws Error beginning with `chunk`.
void checkStreamHeader(std::span<const std::uint8_t> compressed, std::uint64_t stated, const std::string& chunk);

// Inflates `compressed` into exactly `out` (its size is the stated size). A damaged stream, or one
// that ends before `out` is full or holds more than fits, throws Error beginning with `chunk`.
// No compressed bytes at all are accepted for an empty `out`. With `arrival`, what is written is
// told in steps as it goes, and the end (also a failed one) at the end; `inputRead`, when given,
// hears now and then how many compressed bytes are done with.
void inflateChunk(std::span<const std::uint8_t> compressed, std::span<std::uint8_t> out, const std::string& chunk,
                  Arrival* arrival = nullptr, const std::function<void(std::size_t)>& inputRead = {});

// The same into a new buffer; the stated size is checked before the buffer is allocated.
std::vector<std::uint8_t> inflateChunk(std::span<const std::uint8_t> compressed, std::uint64_t stated,
                                       const std::string& chunk);

}  // namespace tessarin::util
