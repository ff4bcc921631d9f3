#pragma once
// LoadLevel: reads a level file of any version into a fresh TRLevel.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "level/LoadOptions.h"
#include "level/TRLevel.h"
#include "util/Result.h"

namespace tessarin::util {
class FileBytes;
}

namespace tessarin::level {

// Messages the program shows for refused files.
inline constexpr const char* kTexturesOnlyMessage = "This level only contains textures!";
inline constexpr const char* kUnknownVersionMessage = "Unknown TR version!";
inline constexpr const char* kChangedWhileReadMessage =
    "the file changed while it was being read (is another program writing it?); nothing was read";

// Reads the file into a new record. On failure the result holds the reason with the place it was
// found; the caller keeps whatever level it had. Warnings (textures that could not be converted)
// are appended to `warnings` when given.
util::Result<TRLevel> LoadLevel(const std::filesystem::path& fileName,
                                std::vector<std::string>* warnings = nullptr);

// The same over bytes already in memory; `fileName` decides TR4 against TR5 (".trc").
// `listStarts`, when given, receives the offset of every list the reader met (for tests).
util::Result<TRLevel> LoadLevelFromBytes(std::span<const std::uint8_t> bytes, const std::string& fileName,
                                         std::vector<std::string>* warnings = nullptr,
                                         std::vector<std::size_t>* listStarts = nullptr,
                                         const LoadOptions& options = {});

// The same over a file already open (its pages are given back as reading goes on), for a caller
// that looks at the bytes first or needs less than the whole level.
util::Result<TRLevel> LoadLevel(util::FileBytes& file, const std::string& fileName, const LoadOptions& options);

// The version a magic and file name stand for (0 when unknown).
std::int16_t versionForMagic(std::uint32_t magic, const std::string& fileName);

}  // namespace tessarin::level
