#pragma once
// The batch conversion switches of the command line: "/convert2 PATH" and "/convert3 PATH".
#include <filesystem>
#include <optional>
#include <string>

#include "util/Result.h"

namespace tessarin::convert {

// The target a command line asks for (2 or 3), matched by prefix and case, or nothing.
std::optional<std::int16_t> batchConvertTarget(const std::string& commandLine);

// The file a conversion of `tr4Path` is written to: its last three characters replaced by "tr2".
std::string convertedPath(const std::string& tr4Path);

// Converts the level the command line names (the text after the switch and one blank) with the
// sprite file given and writes it beside it. The result names the file written, or the message.
util::Result<std::filesystem::path> RunBatchConvert(const std::string& commandLine, const std::filesystem::path& swdFile);

}  // namespace tessarin::convert
