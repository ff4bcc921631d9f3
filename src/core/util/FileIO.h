#pragma once
// Whole files: reading one, replacing one safely, and finding the program's data files.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "util/Result.h"

namespace tessarin::util {

// Reads a whole file; an unreadable file is an error naming it.
Result<std::vector<std::uint8_t>> readFile(const std::filesystem::path& path);

// Writes a temporary file beside the target and renames it into place only when every byte is
// written, so a failed save never damages the file that was there.
Status writeFileSafely(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

// The folder of the running executable (the working folder when the system can't say).
std::filesystem::path programFolder();

// A data file of the program: beside the executable, else installed in ../share/tessarin2/. When
// neither exists, the path beside the executable, so messages name where it was expected.
std::filesystem::path findDataFile(const std::filesystem::path& programDir, const std::string& name);

}  // namespace tessarin::util
