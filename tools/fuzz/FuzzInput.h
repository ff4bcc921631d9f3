#pragma once
// Shared by the fuzz targets and the seed tool: TR4/TR5 files around raw level-data bytes, so that
// mutations reach the level-data parser instead of dying in zlib, and the way back for the seeds.
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

#include <zlib.h>

namespace tessarin::fuzz {

inline constexpr std::uint32_t kMagicTR4 = 0x00345254;  // "TR4\0", also TR5's

inline void putU16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

inline void putU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

inline std::uint32_t getU32(std::span<const std::uint8_t> b, std::size_t at) {
    if (at > b.size() || b.size() - at < 4) throw std::runtime_error("file too short");
    return std::uint32_t{b[at]} | std::uint32_t{b[at + 1]} << 8 | std::uint32_t{b[at + 2]} << 16 |
           std::uint32_t{b[at + 3]} << 24;
}

// A chunk as the files store it: inflated size, compressed size, zlib stream. Level 0 makes stored
// blocks, so wrapping costs a copy and an Adler-32 and no compression search.
inline void putStoredChunk(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> raw) {
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 0) != Z_OK)
        throw std::runtime_error("zlib could not store a chunk");
    putU32(out, static_cast<std::uint32_t>(raw.size()));
    putU32(out, static_cast<std::uint32_t>(packedSize));
    out.insert(out.end(), packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(packedSize));
}

// Magic, no texture pages and three empty texture chunks: what both versions start with.
inline std::vector<std::uint8_t> headWithoutTextures(std::size_t reserve) {
    std::vector<std::uint8_t> out;
    out.reserve(reserve + 128);
    putU32(out, kMagicTR4);
    for (int i = 0; i < 3; ++i) putU16(out, 0);
    for (int i = 0; i < 3; ++i) putStoredChunk(out, {});
    return out;
}

// A TR4 file whose chunk 4 holds `levelData` as stored blocks, with no samples after it.
inline std::vector<std::uint8_t> wrapTR4LevelData(std::span<const std::uint8_t> levelData) {
    auto out = headWithoutTextures(levelData.size() + levelData.size() / 16000 * 5);
    putStoredChunk(out, levelData);
    putU32(out, 0);  // NumSamples
    return out;
}

// A TR5 file: the level data follows the texture chunks uncompressed.
inline std::vector<std::uint8_t> wrapTR5LevelData(std::span<const std::uint8_t> levelData) {
    auto out = headWithoutTextures(levelData.size());
    out.insert(out.end(), levelData.begin(), levelData.end());
    return out;
}

// Offset of the byte after the three texture chunks of a TR4/TR5 file.
inline std::size_t afterTextureChunks(std::span<const std::uint8_t> file) {
    std::size_t at = 10;
    for (int i = 0; i < 3; ++i) {
        const std::uint32_t packed = getU32(file, at + 4);
        at += 8;
        if (packed > file.size() - at) throw std::runtime_error("chunk runs past the file");
        at += packed;
    }
    return at;
}

// The inflated chunk 4 of a TR4 file (the inverse of wrapTR4LevelData, for seeds).
inline std::vector<std::uint8_t> tr4LevelData(std::span<const std::uint8_t> file) {
    const std::size_t at = afterTextureChunks(file);
    const std::uint32_t inflated = getU32(file, at);
    const std::uint32_t packed = getU32(file, at + 4);
    if (packed > file.size() - at - 8) throw std::runtime_error("chunk 4 runs past the file");
    std::vector<std::uint8_t> out(inflated);
    uLongf outSize = inflated;
    if (uncompress(out.data(), &outSize, file.data() + at + 8, packed) != Z_OK || outSize != inflated)
        throw std::runtime_error("chunk 4 does not inflate");
    return out;
}

// The uncompressed level data of a TR5 file.
inline std::vector<std::uint8_t> tr5LevelData(std::span<const std::uint8_t> file) {
    const std::size_t at = afterTextureChunks(file);
    return {file.begin() + static_cast<std::ptrdiff_t>(at), file.end()};
}

}  // namespace tessarin::fuzz
