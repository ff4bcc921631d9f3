#pragma once
// A registry in memory that writes every call down in order, with the key paths spelt out.
#include <map>
#include <string>
#include <vector>

#include "registry/MemoryRegistry.h"

namespace tessarin::test {

class RecordingRegistry : public registry::MemoryRegistry {
public:
    std::vector<std::string> calls;  // "create HKEY_CLASSES_ROOT\.tr4", "set HKEY_...\Command @=..."
    long refuseWrites = registry::kSuccess;  // a status every change fails with

    // The calls whose first word is one of the given ones.
    std::vector<std::string> only(std::initializer_list<std::string> kinds) const {
        std::vector<std::string> out;
        for (const std::string& c : calls)
            for (const std::string& k : kinds)
                if (c.starts_with(k + ' ')) out.push_back(c);
        return out;
    }

    long openKey(registry::HKey root, const std::string& subKey, std::uint32_t access, registry::HKey& key) override {
        const long status = MemoryRegistry::openKey(root, subKey, access, key);
        calls.push_back(std::string(access == registry::kKeyWrite ? "open-write " : "open-read ") + join(root, subKey));
        if (status == registry::kSuccess) m_paths[key] = join(root, subKey);
        return status;
    }
    long createKey(registry::HKey root, const std::string& subKey, registry::HKey& key) override {
        const long status = MemoryRegistry::createKey(root, subKey, key);
        calls.push_back("create " + join(root, subKey));
        if (status == registry::kSuccess) m_paths[key] = join(root, subKey);
        return status;
    }
    long queryValue(registry::HKey key, const std::string& name, std::uint32_t& type, std::string& buffer,
                    std::uint32_t& size) override {
        calls.push_back("query " + m_paths[key] + ' ' + (name.empty() ? "@" : name));
        return MemoryRegistry::queryValue(key, name, type, buffer, size);
    }
    long setValue(registry::HKey key, const std::string& name, std::uint32_t type, const std::string& data) override {
        calls.push_back("set " + m_paths[key] + ' ' + (name.empty() ? "@" : name) + '=' + data);
        return MemoryRegistry::setValue(key, name, type, data);
    }
    long closeKey(registry::HKey key) override {
        calls.push_back("close " + m_paths[key]);
        return MemoryRegistry::closeKey(key);
    }

protected:
    long commit() override { return refuseWrites; }

private:
    static std::string join(registry::HKey root, const std::string& subKey) {
        std::string path(registry::rootName(root));
        return subKey.empty() ? path : path + '\\' + subKey;
    }
    std::map<registry::HKey, std::string> m_paths;
};

}  // namespace tessarin::test
