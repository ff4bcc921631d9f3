#pragma once
// FileRegistry: the registry kept in one file in the registry-export text format; every change is
// written at once (temporary file, then rename). A store that cannot be read is kept aside as
// "<file>.bad" and a fresh one started; a store that cannot be written fails each change with
// kAccessDenied and keeps the memory as it was, so start-up goes on either way.
#include <filesystem>
#include <string>

#include "registry/MemoryRegistry.h"

namespace tessarin::registry {

// A store larger than this is not one we wrote: treated as damaged.
inline constexpr std::uintmax_t kMaxStoreBytes = 16u << 20;

// $XDG_CONFIG_HOME/tessarin2/registry.reg, or ~/.config/... when that is unset or relative;
// empty when neither is known. The arguments are the environment's values (null when unset).
std::filesystem::path defaultStorePath(const char* xdgConfigHome, const char* home);

class FileRegistry : public MemoryRegistry {
public:
    // An empty path gives a store that holds nothing and refuses every change.
    explicit FileRegistry(std::filesystem::path file);

    const std::filesystem::path& file() const { return m_file; }
    // What happened to a store that could not be read (for a line on stderr), else "".
    const std::string& notice() const { return m_notice; }

protected:
    long commit() override;

private:
    void load();
    std::filesystem::path m_file;
    std::string m_onDisk;    // the text the file holds as we last read or wrote it
    bool m_writable = true;  // false when a damaged file could not be moved aside
    std::string m_notice;
};

}  // namespace tessarin::registry
