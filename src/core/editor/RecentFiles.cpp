#include "editor/RecentFiles.h"

#include <algorithm>

#include "util/FileIO.h"

namespace tessarin::editor {

namespace {
constexpr std::size_t kMaxLine = 4096;
}

void RecentFiles::add(const std::string& path) {
    if (path.empty() || path.size() > kMaxLine || path.find('\n') != std::string::npos) return;
    remove(path);
    m_items.insert(m_items.begin(), path);
    if (m_items.size() > kMaxFiles) m_items.resize(kMaxFiles);
}

void RecentFiles::remove(const std::string& path) { std::erase(m_items, path); }

void RecentFiles::load(const std::filesystem::path& file) {
    std::error_code ec;
    // Far more than 8 lines of 4 KB: a larger file is not ours.
    if (std::filesystem::file_size(file, ec) > 64 * 1024 || ec) return;
    auto bytes = util::readFile(file);
    if (!bytes) return;
    m_items.clear();
    std::string line;
    auto take = [&] {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line.size() <= kMaxLine && m_items.size() < kMaxFiles &&
            std::find(m_items.begin(), m_items.end(), line) == m_items.end())
            m_items.push_back(line);
        line.clear();
    };
    for (std::uint8_t b : *bytes) {
        if (b == '\n') take();
        else if (b != 0) line.push_back(static_cast<char>(b));
    }
    take();
}

util::Status RecentFiles::save(const std::filesystem::path& file) const {
    std::string text;
    for (const auto& p : m_items) text += p + "\n";
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    return util::writeFileSafely(file, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace tessarin::editor
