#pragma once
// The batch conversion of the command line: a TR4 level converted and written beside itself.
#include <cstdint>
#include <filesystem>
#include <string>

#include "util/Result.h"

namespace tessarin::convert {

// The file a conversion of `tr4Path` is written to: its last three characters replaced by "tr2",
// or, when that names `tr4Path` itself (also through a link), ".tr2" appended.
std::string convertedPath(const std::string& tr4Path);

// Converts `tr4Path` to `target` (2 or 3) with the sprite file given and writes it beside it. The
// result names the file written, or says why nothing was written.
util::Result<std::filesystem::path> RunBatchConvert(const std::string& tr4Path, std::int16_t target,
                                                    const std::filesystem::path& swdFile);

}  // namespace tessarin::convert
