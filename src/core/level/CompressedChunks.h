#pragma once
// The zlib chunks of TR4 and TR5 files: three texture chunks (both versions) and TR4's level data.
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "level/LoadOptions.h"
#include "level/TRLevel.h"
#include "util/Arrival.h"
#include "util/ByteReader.h"

namespace tessarin::level::detail {

// One chunk as stored: inflated size, compressed size, then that many bytes of zlib stream.
struct CompressedChunk {
    std::string name;  // "chunk 1 (32-bit textures)": begins every error about it
    std::uint32_t inflatedSize = 0;
    std::span<const std::uint8_t> data;
    std::size_t offset = 0;  // where `data` starts in the reader's bytes
};

// Reads a chunk's sizes and takes a view of its bytes; the stated size is bounded before anything
// is allocated for it.
CompressedChunk readChunk(util::ByteReader& r, std::string name);

// What all of a file's chunks may unpack to together: 16 bytes per byte of the file and 32 MiB.
// Real levels unpack to about twice their file; zlib can reach a thousand times, and every byte
// unpacked costs memory and work after it, so a small file may not claim hundreds of megabytes.
inline constexpr std::uint64_t kUnpackedPerFileByte = 16;
inline constexpr std::uint64_t kUnpackedSlack = std::uint64_t{32} << 20;

// Refuses chunks whose stated sizes (plus the 16-bit pages sized from the 32-bit ones) pass that
// ceiling for a file of `fileSize` bytes, naming both; call it before inflating any of them.
void checkUnpackedTotal(std::span<const CompressedChunk> chunks, std::size_t fileSize);

// Reads chunks 1 to 3, holds them to checkUnpackedTotal, and sizes NumTextiles, Textile32, Textile16, NumMiscTextiles and MiscTextile
// from their stated sizes (pages of 262144 bytes, rounded; the misc strip in rows of 1024 bytes).
// With `options.only16BitPages` chunks 1 and 3 only have their stream headers checked and their
// arrays stay empty.
std::array<CompressedChunk, 3> readTextureChunks(util::ByteReader& r, TRLevel& level, const LoadOptions& options = {});

// One more chunk inflated beside the texture chunks into `out`, which holds exactly its stated size
// (TR4's level data). With `arrival`, a side job may follow `out` as it inflates (util::Arrival);
// one that does must weigh less than the chunk, so that it is never taken before it.
struct ExtraChunk {
    const CompressedChunk* chunk = nullptr;
    std::span<std::uint8_t> out;
    util::Arrival* arrival = nullptr;
};

// Work done beside the inflating, on whichever thread is free: `weight` is its cost counted in
// inflated bytes (the heaviest job left is taken first); on one thread it runs after the chunks,
// and its failure is reported only when no chunk failed.
struct SideJob {
    std::uint64_t weight = 0;
    std::function<void()> run;
};

// Inflates the texture chunks into the arrays sized above (only chunk 2 with
// `options.only16BitPages`) and the extra chunk, if any, and runs the side jobs. The chunks go side
// by side on two threads when that is switched on (setParallelReading); the result is the same
// either way, and the first failing chunk in file order is the one reported. Each chunk's packed
// bytes go back to the owner of `source` (the reader they were read from) as they are used.
void inflateChunks(const util::ByteReader& source, const std::array<CompressedChunk, 3>& textures, TRLevel& level,
                   const LoadOptions& options = {}, const ExtraChunk& extra = {}, std::vector<SideJob> side = {});

// n / d rounded to the nearest whole number, halves to the even neighbour.
std::uint64_t roundedQuotient(std::uint64_t n, std::uint64_t d);

}  // namespace tessarin::level::detail
