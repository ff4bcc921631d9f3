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

// The program's start-up for a conversion switch: the arguments after the program name joined with
// blanks, the sprite file beside the executable. Returns the exit code (0, or 1 with the message
// on stderr); nothing is shown.
int batchConvertMain(int argc, const char* const* argv, const std::filesystem::path& swdFile);

// The arguments after the program name joined with blanks, as the program reads its command line.
std::string joinedCommandLine(int argc, const char* const* argv);

}  // namespace tessarin::convert
