#pragma once
// RecentFiles: the last levels opened, newest first, kept in a small text file (one path a line).
#include <filesystem>
#include <string>
#include <vector>

#include "util/Result.h"

namespace tessarin::editor {

class RecentFiles {
public:
    static constexpr std::size_t kMaxFiles = 8;

    const std::vector<std::string>& items() const { return m_items; }
    // Puts the path first, removing an older mention of it and anything past kMaxFiles.
    void add(const std::string& path);
    void remove(const std::string& path);

    // Takes the list from the file, which other windows of the program may have written since.
    // A missing or unreadable file leaves the list as it is; only the first kMaxFiles non-empty
    // lines of at most 4096 bytes each count, so a damaged file cannot grow the menu.
    void load(const std::filesystem::path& file);
    util::Status save(const std::filesystem::path& file) const;

private:
    std::vector<std::string> m_items;
};

}  // namespace tessarin::editor
