#include "support/TestPaths.h"

#include <cstdlib>
#include <unistd.h>

namespace tessarin::test {

std::filesystem::path levelsDir() {
    if (const char* env = std::getenv("TESSARIN_LEVELS"); env && *env) return env;
    return TESSARIN_LEVELS_DIR;
}

std::filesystem::path realLevel(const std::string& name) {
    const auto p = levelsDir() / name;
    std::error_code ec;
    return std::filesystem::is_regular_file(p, ec) ? p : std::filesystem::path();
}

std::filesystem::path scratchDir(const std::string& name) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("tessarin-test-" + std::to_string(::getpid())) / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

}  // namespace tessarin::test
