#pragma once
// ConvertTR4: turns a TR4 level file into a TR3 or TR2 level record that the writer can save,
// with sprites taken from the sprite file.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "convert/SWD.h"
#include "level/TRLevel.h"
#include "util/Result.h"

namespace tessarin::convert {

inline constexpr const char* kNoTR4LevelMessage = "No TR4 Level!";

// Reads the sprite file first, then converts the TR4 file for the target (kVersionTR2 or
// kVersionTR3). The result is a fresh record, so a failure leaves whatever level the caller
// holds as it was.
util::Result<level::TRLevel> ConvertTR4(const std::filesystem::path& tr4File, std::int16_t targetVersion,
                                        const std::filesystem::path& swdFile);

// The same over bytes in memory; `fileName` is only looked at for a ".trc" ending.
util::Result<level::TRLevel> ConvertTR4Bytes(std::span<const std::uint8_t> tr4Bytes, const std::string& fileName,
                                             std::int16_t targetVersion, const SWDData& swd);

// Rebuilds a level the reader loaded from a TR4 file as a TR2 or TR3 level.
util::Result<level::TRLevel> ConvertTR4Level(level::TRLevel tr4, std::int16_t targetVersion, const SWDData& swd);

// The magic a converted level is written with: 0xFF080038 for TR3, 0x0000002D for TR2.
std::uint32_t targetMagic(std::int16_t targetVersion);

}  // namespace tessarin::convert
