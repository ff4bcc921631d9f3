#include "convert/BatchConvert.h"

#include <cstdio>

#include "convert/TR4Converter.h"
#include "level/LevelWriter.h"

namespace tessarin::convert {

std::optional<std::int16_t> batchConvertTarget(const std::string& commandLine) {
    if (commandLine.starts_with("/convert2")) return level::kVersionTR2;
    if (commandLine.starts_with("/convert3")) return level::kVersionTR3;
    return std::nullopt;
}

std::string convertedPath(const std::string& tr4Path) {
    const std::size_t keep = tr4Path.size() >= 3 ? tr4Path.size() - 3 : 0;
    return tr4Path.substr(0, keep) + "tr2";
}

util::Result<std::filesystem::path> RunBatchConvert(const std::string& commandLine, const std::filesystem::path& swdFile) {
    using R = util::Result<std::filesystem::path>;
    const auto target = batchConvertTarget(commandLine);
    if (!target) return R::failure("not a conversion command: " + commandLine);
    // The switch and one blank; a shorter line leaves an empty path that the reading refuses.
    const std::string path = commandLine.size() > 10 ? commandLine.substr(10) : std::string();
    if (path.empty()) return R::failure("No level file was named after " + commandLine.substr(0, 9));
    auto level = ConvertTR4(path, *target, swdFile);
    if (!level) return R::failure(level.error());
    const std::string out = convertedPath(path);
    if (auto st = level::SaveLevel(out, *level); !st) return R::failure(st.error());
    return std::filesystem::path(out);
}

std::string joinedCommandLine(int argc, const char* const* argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line += ' ';
        line += argv[i];
    }
    return line;
}

int batchConvertMain(int argc, const char* const* argv, const std::filesystem::path& swdFile) {
    const auto written = RunBatchConvert(joinedCommandLine(argc, argv), swdFile);
    if (written) return 0;
    std::fprintf(stderr, "%s\n", written.error().c_str());
    return 1;
}

}  // namespace tessarin::convert
