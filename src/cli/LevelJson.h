#pragma once
// JSON pieces shared by the commands that describe a level.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "Json.h"
#include "level/TRLevel.h"

namespace tessarin::cli {

// The "counts" object of info (and convert): its fields in order, then written as JSON.
std::vector<std::pair<const char*, std::int64_t>> levelCounts(const level::TRLevel& level);
void writeCounts(Json& j, const level::TRLevel& level);

// Loads a level or throws CliError with the file and the reason.
level::TRLevel loadOrThrow(const std::string& path);

}  // namespace tessarin::cli
