#pragma once
// MemoryRegistry: a registry held in memory: a tree of keys under the seven roots, key and value
// names compared without regard to case and kept as first spelt. Subclasses persist each change.
#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "registry/Registry.h"

namespace tessarin::registry {

// The registry's own limits; they also bound the depth of the key tree, which is walked recursively.
inline constexpr std::size_t kMaxKeyNameLength = 255;
inline constexpr std::size_t kMaxKeyDepth = 512;

struct RegValue {
    std::string name;  // "" for the default value
    std::uint32_t type = kRegSz;
    std::string data;  // raw bytes; a string value without its terminating zero
};

struct RegKey {
    std::string name;
    // In order of creation. Read them freely; change them only through the functions below, which
    // keep the look-up by name in step.
    std::vector<RegValue> values;
    std::vector<std::unique_ptr<RegKey>> children;

    RegKey* child(std::string_view childName) const;
    RegKey& childOrAdd(std::string_view childName);
    void dropLastChild();
    RegValue* value(std::string_view valueName);
    const RegValue* value(std::string_view valueName) const;
    RegValue& addValue(RegValue v);  // a name not there yet
    void dropLastValue();

private:
    // Position by case-folded name: a store's text may give one key hundreds of thousands of
    // children or values, and searching them all for each one read would take hours.
    std::unordered_map<std::string, std::size_t> m_childAt, m_valueAt;
};

// ASCII case folding, as the registry compares names.
bool sameName(std::string_view a, std::string_view b);

// The root's name in key paths ("HKEY_CLASSES_ROOT"), or "" for a handle that is no root.
std::string_view rootName(HKey root);

class MemoryRegistry : public Registry {
public:
    MemoryRegistry();
    ~MemoryRegistry() override;
    MemoryRegistry(const MemoryRegistry&) = delete;
    MemoryRegistry& operator=(const MemoryRegistry&) = delete;

    long openKey(HKey root, const std::string& subKey, std::uint32_t access, HKey& key) override;
    long createKey(HKey root, const std::string& subKey, HKey& key) override;
    long queryValue(HKey key, const std::string& name, std::uint32_t& type, std::string& buffer,
                    std::uint32_t& size) override;
    long setValue(HKey key, const std::string& name, std::uint32_t type, const std::string& data) override;
    long closeKey(HKey key) override;

    // The root keys in the order of the root table (kClassesRoot first).
    RegKey& root(int index) { return *m_roots[static_cast<std::size_t>(index)]; }
    const RegKey& root(int index) const { return *m_roots[static_cast<std::size_t>(index)]; }
    // The key at "ROOT\sub\key" (root name in any case), or null.
    const RegKey* find(std::string_view path) const;
    // Drops every key and value (the roots stay).
    void clear();

protected:
    // Called after each change of the tree; a failure undoes the change and is the call's status.
    virtual long commit() { return kSuccess; }

private:
    RegKey* keyOf(HKey key);
    std::array<std::unique_ptr<RegKey>, kRootCount> m_roots;
    std::map<HKey, RegKey*> m_open;
    HKey m_nextHandle = 1;
};

}  // namespace tessarin::registry
