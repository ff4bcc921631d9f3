#include "registry/RegisterMod.h"

#include <array>
#include <utility>

#include "registry/MemoryRegistry.h"

namespace tessarin::registry {

RegisterMod::RegisterMod(Registry& registry, ShowMessage showMessage)
    : m_registry(registry), m_showMessage(std::move(showMessage)) {}

HKey RegisterMod::GetRootKey(std::string_view name) {
    for (HKey root = kClassesRoot; root < kClassesRoot + kRootCount; ++root)
        if (rootName(root) == name) return root;
    return 0;
}

std::optional<std::string> RegisterMod::SplitKeyPath(const std::string& path) {
    m_currentRoot = 0;
    if (!path.starts_with("HKEY_") || path.ends_with('\\')) {
        if (m_showMessage) m_showMessage(std::string(kIncorrectFormatMessage) + "\n\n" + path, kAppTitle);
        return std::nullopt;
    }
    const std::size_t slash = path.find('\\');
    m_currentRoot = GetRootKey(std::string_view(path).substr(0, slash));
    if (m_currentRoot == 0) return std::nullopt;
    return slash == std::string::npos ? std::string() : path.substr(slash + 1);
}

void RegisterMod::CreateKey(const std::string& path) {
    const auto subKey = SplitKeyPath(path);
    if (!subKey) return;
    m_lastStatus = m_registry.createKey(m_currentRoot, *subKey, m_openKey);
    if (m_lastStatus == kSuccess) m_registry.closeKey(m_openKey);
}

std::string RegisterMod::GetStringValue(const std::string& path, const std::string& valueName) {
    // A path that names no key cannot be read: "Err", like any other failed read.
    const auto subKey = SplitKeyPath(path);
    if (!subKey) return kErr;
    m_lastStatus = m_registry.openKey(m_currentRoot, *subKey, kKeyRead, m_openKey);
    if (m_lastStatus != kSuccess) return kErr;
    std::string buffer(255, ' ');
    std::uint32_t size = 255;
    std::uint32_t type = kRegSz;
    m_lastStatus = m_registry.queryValue(m_openKey, valueName, type, buffer, size);
    m_registry.closeKey(m_openKey);
    if (m_lastStatus != kSuccess) return kErr;
    const std::size_t first = buffer.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    buffer = buffer.substr(first, buffer.find_last_not_of(' ') - first + 1);
    // Less the terminating zero the query wrote after the text.
    buffer.pop_back();
    return buffer;
}

std::string RegisterMod::GetBinaryValue(const std::string& path, const std::string& valueName) {
    const auto subKey = SplitKeyPath(path);
    if (!subKey) return kErr;
    m_lastStatus = m_registry.openKey(m_currentRoot, *subKey, kKeyRead, m_openKey);
    if (m_lastStatus != kSuccess) return kErr;
    // A one-byte probe leaves the value's true size behind, whatever its status.
    std::string buffer = "0";
    std::uint32_t size = 1;
    std::uint32_t type = kRegBinary;
    m_registry.queryValue(m_openKey, valueName, type, buffer, size);
    buffer.assign(size, ' ');
    type = kRegBinary;
    m_lastStatus = m_registry.queryValue(m_openKey, valueName, type, buffer, size);
    m_registry.closeKey(m_openKey);
    if (m_lastStatus != kSuccess) return kErr;
    return buffer;
}

void RegisterMod::SetStringValue(const std::string& path, const std::string& valueName, const std::string& text) {
    const auto subKey = SplitKeyPath(path);
    if (!subKey) return;
    m_lastStatus = m_registry.openKey(m_currentRoot, *subKey, kKeyWrite, m_openKey);
    if (m_lastStatus != kSuccess) return;
    m_lastStatus = m_registry.setValue(m_openKey, valueName, kRegSz, text);
    m_registry.closeKey(m_openKey);
}

}  // namespace tessarin::registry
