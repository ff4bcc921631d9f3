#pragma once
// JSON pieces shared by the commands that describe a level.
#include <string>

#include "Json.h"
#include "level/TRLevel.h"

namespace tessarin::cli {

// The "counts" object of info (and convert).
void writeCounts(Json& j, const level::TRLevel& level);

// Loads a level or throws CliError with the file and the reason.
level::TRLevel loadOrThrow(const std::string& path);

}  // namespace tessarin::cli
