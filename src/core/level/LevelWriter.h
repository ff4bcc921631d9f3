#pragma once
// SaveLevel: writes a TR2 or TR3 level, byte for byte the inverse of the reader.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "level/TRLevel.h"
#include "util/Result.h"

namespace tessarin::level {

inline constexpr const char* kTR4NotSavedMessage = "TR4 levels can't be saved at the moment!";
inline constexpr const char* kTR5NotSavedMessage = "TR5 levels can't be saved at the moment!";

// Why a level of this kind can't be written at all (only TR2 and TR3 levels are), or "" when it can.
// The editor asks before it offers a file chooser.
std::string SaveRefusal(const TRLevel& level);

// The file's bytes for a TR2 or TR3 level (by LevelVersion); other versions are refused with the
// reason. Counts that do not fit their fields in the file are refused too.
util::Result<std::vector<std::uint8_t>> SerializeLevel(const TRLevel& level);

// Why SerializeLevel and SaveLevel would refuse this level ("" when they would not): SaveRefusal's
// reason, or a count that does not fit its field in the file.
std::string WriteRefusal(const TRLevel& level);

// The size of the file a level that can be written makes.
std::size_t SavedFileSize(const TRLevel& level);

// Serialises and writes through a temporary file, so a failed save leaves the old file as it was.
// The bytes go out as they are made: the file is never held whole in memory.
util::Status SaveLevel(const std::filesystem::path& fileName, const TRLevel& level);

}  // namespace tessarin::level
