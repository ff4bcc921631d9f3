#include "registry/MemoryRegistry.h"

#include <algorithm>

namespace tessarin::registry {

namespace {

constexpr std::array<std::string_view, kRootCount> kRootNames = {
    "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",     "HKEY_LOCAL_MACHINE", "HKEY_USERS",
    "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA",
};

char fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Names with control characters could not be written to the store's text and read back.
bool hasControl(std::string_view name) {
    return std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

// The parts of "a\b\c"; false when one is empty ("\a", "a\\b"), too long, too deep or unprintable.
bool splitParts(std::string_view subKey, std::vector<std::string_view>& parts) {
    parts.clear();
    if (subKey.empty()) return true;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = subKey.find('\\', start);
        const std::string_view part = subKey.substr(start, end == std::string_view::npos ? end : end - start);
        if (part.empty() || part.size() > kMaxKeyNameLength || parts.size() >= kMaxKeyDepth || hasControl(part))
            return false;
        parts.push_back(part);
        if (end == std::string_view::npos) return true;
        start = end + 1;
    }
}

bool isStringType(std::uint32_t type) { return type == kRegSz || type == kRegExpandSz; }

std::string folded(std::string_view name) {
    std::string out(name);
    for (char& c : out) c = fold(c);
    return out;
}

}  // namespace

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return fold(x) == fold(y); });
}

std::string_view rootName(HKey root) {
    const HKey index = root - kClassesRoot;
    return root >= kClassesRoot && index < kRootCount ? kRootNames[index] : std::string_view();
}

RegKey* RegKey::child(std::string_view childName) const {
    const auto it = m_childAt.find(folded(childName));
    return it == m_childAt.end() ? nullptr : children[it->second].get();
}

RegKey& RegKey::childOrAdd(std::string_view childName) {
    if (RegKey* c = child(childName)) return *c;
    m_childAt.emplace(folded(childName), children.size());
    children.push_back(std::make_unique<RegKey>());
    children.back()->name = std::string(childName);
    return *children.back();
}

void RegKey::dropLastChild() {
    m_childAt.erase(folded(children.back()->name));
    children.pop_back();
}

RegValue* RegKey::value(std::string_view valueName) {
    const auto it = m_valueAt.find(folded(valueName));
    return it == m_valueAt.end() ? nullptr : &values[it->second];
}

RegValue& RegKey::addValue(RegValue v) {
    m_valueAt.emplace(folded(v.name), values.size());
    values.push_back(std::move(v));
    return values.back();
}

void RegKey::dropLastValue() {
    m_valueAt.erase(folded(values.back().name));
    values.pop_back();
}

const RegValue* RegKey::value(std::string_view valueName) const {
    return const_cast<RegKey*>(this)->value(valueName);
}

MemoryRegistry::MemoryRegistry() { clear(); }
MemoryRegistry::~MemoryRegistry() = default;

void MemoryRegistry::clear() {
    for (int i = 0; i < kRootCount; ++i) {
        m_roots[static_cast<std::size_t>(i)] = std::make_unique<RegKey>();
        m_roots[static_cast<std::size_t>(i)]->name = std::string(kRootNames[static_cast<std::size_t>(i)]);
    }
    m_open.clear();
}

RegKey* MemoryRegistry::keyOf(HKey key) {
    if (!rootName(key).empty()) return m_roots[key - kClassesRoot].get();
    const auto it = m_open.find(key);
    return it == m_open.end() ? nullptr : it->second;
}

const RegKey* MemoryRegistry::find(std::string_view path) const {
    const std::size_t slash = path.find('\\');
    const std::string_view head = path.substr(0, slash);
    const RegKey* key = nullptr;
    for (const auto& r : m_roots)
        if (sameName(r->name, head)) key = r.get();
    if (!key || slash == std::string_view::npos) return key;
    std::vector<std::string_view> parts;
    if (!splitParts(path.substr(slash + 1), parts)) return nullptr;
    for (std::string_view part : parts)
        if (!(key = key->child(part))) return nullptr;
    return key;
}

long MemoryRegistry::openKey(HKey root, const std::string& subKey, std::uint32_t, HKey& key) {
    RegKey* at = keyOf(root);
    if (!at) return kInvalidHandle;
    std::vector<std::string_view> parts;
    if (!splitParts(subKey, parts)) return kBadPathName;
    for (std::string_view part : parts)
        if (!(at = at->child(part))) return kFileNotFound;
    key = m_nextHandle++;
    m_open[key] = at;
    return kSuccess;
}

long MemoryRegistry::createKey(HKey root, const std::string& subKey, HKey& key) {
    RegKey* at = keyOf(root);
    if (!at) return kInvalidHandle;
    std::vector<std::string_view> parts;
    if (!splitParts(subKey, parts)) return kBadPathName;
    // The highest key that did not exist before, so a failed commit can take the new ones back.
    RegKey* firstNewParent = nullptr;
    for (std::string_view part : parts) {
        RegKey* next = at->child(part);
        if (!next) {
            if (!firstNewParent) firstNewParent = at;
            next = &at->childOrAdd(part);
        }
        at = next;
    }
    if (firstNewParent) {
        if (const long status = commit(); status != kSuccess) {
            firstNewParent->dropLastChild();
            return status;
        }
    }
    key = m_nextHandle++;
    m_open[key] = at;
    return kSuccess;
}

long MemoryRegistry::queryValue(HKey key, const std::string& name, std::uint32_t& type, std::string& buffer,
                                std::uint32_t& size) {
    RegKey* at = keyOf(key);
    if (!at) return kInvalidHandle;
    const RegValue* v = at->value(name);
    if (!v) return kFileNotFound;
    std::string data = v->data;
    if (isStringType(v->type) && (data.empty() || data.back() != '\0')) data.push_back('\0');
    const std::uint32_t room = std::min<std::uint32_t>(size, static_cast<std::uint32_t>(buffer.size()));
    size = static_cast<std::uint32_t>(data.size());
    type = v->type;
    if (data.size() > room) return kMoreData;
    std::copy(data.begin(), data.end(), buffer.begin());
    return kSuccess;
}

long MemoryRegistry::setValue(HKey key, const std::string& name, std::uint32_t type, const std::string& data) {
    RegKey* at = keyOf(key);
    if (!at) return kInvalidHandle;
    if (hasControl(name)) return kInvalidParameter;
    if (RegValue* v = at->value(name)) {
        const RegValue old = *v;
        v->type = type;
        v->data = data;
        if (const long status = commit(); status != kSuccess) {
            *at->value(name) = old;
            return status;
        }
        return kSuccess;
    }
    at->addValue({name, type, data});
    if (const long status = commit(); status != kSuccess) {
        at->dropLastValue();
        return status;
    }
    return kSuccess;
}

long MemoryRegistry::closeKey(HKey key) {
    if (!rootName(key).empty()) return kSuccess;
    return m_open.erase(key) ? kSuccess : kInvalidHandle;
}

}  // namespace tessarin::registry
