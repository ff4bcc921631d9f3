#include "registry/FileRegistry.h"

#include <span>
#include <system_error>

#include "registry/RegFile.h"
#include "util/FileIO.h"

namespace tessarin::registry {

namespace fs = std::filesystem;

std::filesystem::path defaultStorePath(const char* xdgConfigHome, const char* home) {
    fs::path config;
    if (xdgConfigHome && *xdgConfigHome && fs::path(xdgConfigHome).is_absolute()) config = xdgConfigHome;
    else if (home && *home) config = fs::path(home) / ".config";
    else return {};
    return config / "tessarin2" / "registry.reg";
}

FileRegistry::FileRegistry(std::filesystem::path file) : m_file(std::move(file)) {
    if (m_file.empty()) m_writable = false;
    else load();
}

void FileRegistry::load() {
    std::error_code ec;
    if (!fs::exists(m_file, ec) && !ec) return;  // a first start: nothing kept yet
    std::string why;
    const auto size = fs::file_size(m_file, ec);
    if (ec) {
        why = ec.message();
    } else if (size > kMaxStoreBytes) {
        why = "it is " + std::to_string(size) + " bytes, more than the " + std::to_string(kMaxStoreBytes >> 20) +
              " MiB a store may hold";
    } else if (auto bytes = util::readFile(m_file); !bytes) {
        why = bytes.error();
    } else {
        const std::string text(bytes->begin(), bytes->end());
        if (const util::Status parsed = parseRegFile(text, *this); parsed) {
            m_onDisk = text;
            return;
        } else {
            why = parsed.error();
        }
    }
    clear();
    // Keep the damaged file for the person who wants to look at it; never write over it.
    for (int n = 0; n < 100; ++n) {
        fs::path aside = m_file;
        aside += n ? ".bad." + std::to_string(n) : ".bad";
        if (fs::exists(aside, ec) || ec) continue;
        fs::rename(m_file, aside, ec);
        if (!ec) {
            m_notice = "the registry store " + m_file.string() + " could not be read (" + why + "); it was kept as " +
                       aside.string() + " and a fresh one started";
            return;
        }
        break;
    }
    m_writable = false;
    m_notice = "the registry store " + m_file.string() + " could not be read (" + why +
               ") nor moved aside; it is left as it is and nothing is written to it";
}

long FileRegistry::commit() {
    std::string text = formatRegFile(*this);
    if (text == m_onDisk) return kSuccess;
    if (!m_writable) return kAccessDenied;
    std::error_code ec;
    fs::create_directories(m_file.parent_path(), ec);
    const std::span<const std::uint8_t> raw(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    if (!util::writeFileSafely(m_file, raw)) return kAccessDenied;
    m_onDisk = std::move(text);
    return kSuccess;
}

}  // namespace tessarin::registry
