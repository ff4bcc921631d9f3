#pragma once
// Registry: the five registry calls the program makes, behind an interface, so that the same key
// logic runs on a file-backed store here and on a recording fake in tests.
#include <cstdint>
#include <string>

namespace tessarin::registry {

using HKey = std::uint32_t;

// Predefined root keys.
inline constexpr HKey kClassesRoot = 0x80000000;
inline constexpr HKey kCurrentUser = 0x80000001;
inline constexpr HKey kLocalMachine = 0x80000002;
inline constexpr HKey kUsers = 0x80000003;
inline constexpr HKey kPerformanceData = 0x80000004;
inline constexpr HKey kCurrentConfig = 0x80000005;
inline constexpr HKey kDynData = 0x80000006;
inline constexpr int kRootCount = 7;

// Status codes, as the platform's registry returns them.
inline constexpr long kSuccess = 0;
inline constexpr long kFileNotFound = 2;
inline constexpr long kAccessDenied = 5;
inline constexpr long kInvalidHandle = 6;
inline constexpr long kInvalidParameter = 87;
inline constexpr long kBadPathName = 161;
inline constexpr long kMoreData = 234;

// Value types.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;

// Access rights passed when opening a key.
inline constexpr std::uint32_t kKeyRead = 0x20019;
inline constexpr std::uint32_t kKeyWrite = 0x20006;

class Registry {
public:
    virtual ~Registry() = default;
    // Opens an existing key below root ("" is root itself).
    virtual long openKey(HKey root, const std::string& subKey, std::uint32_t access, HKey& key) = 0;
    // Creates the key and any missing keys above it, or opens it when it exists.
    virtual long createKey(HKey root, const std::string& subKey, HKey& key) = 0;
    // Copies a value into buffer[0, size). On entry size is the room in buffer; on return the
    // value's byte count (a string value counts its terminating zero). Too little room gives
    // kMoreData and leaves the buffer alone. name "" is the key's default value.
    virtual long queryValue(HKey key, const std::string& name, std::uint32_t& type, std::string& buffer,
                            std::uint32_t& size) = 0;
    virtual long setValue(HKey key, const std::string& name, std::uint32_t type, const std::string& data) = 0;
    virtual long closeKey(HKey key) = 0;
};

}  // namespace tessarin::registry
