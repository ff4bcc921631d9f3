#pragma once
// ObjectNameTable: readable names of object IDs per game version and of static-mesh IDs,
// loaded once from TR4Objects.dat.
//
// File layout (little-endian, no header), six sections one after another:
//   1 TR4 objects    u32 count, then per name: u32 length, length bytes
//   2 static meshes  the same
//   3 TR3 objects    per name: u32 length, bytes, u32 unused value (names shown upper case)
//   4 TR2 objects    as 3
//   5 TR1 objects    as 3
//   6 TR5 objects    as 3
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tessarin::editor {

inline constexpr const char* kObjectNamesFile = "TR4Objects.dat";

class ObjectNameTable {
public:
    static constexpr int kVersions = 6;      // index 1..5 = TR1..TR5; 0 is never filled
    static constexpr int kObjectIDs = 501;   // IDs 0..500
    static constexpr int kStaticIDs = 90;    // static-mesh IDs 0..89
    static constexpr int kMeshFillLast = 80; // unnamed static IDs up to here read "Mesh n"

    // ObjectNames(version, id); "" for anything outside the table or never filled.
    const std::string& objectName(int version, std::int64_t id) const;
    // StaticNames(id); "" outside 0..89.
    const std::string& staticName(std::int64_t id) const;

    // Stores a name; ignored outside the table.
    void setObjectName(int version, std::int64_t id, std::string name);
    void setStaticName(std::int64_t id, std::string name);

    bool empty() const { return m_empty; }

private:
    // No braces: the strings default-construct to "" either way, and clang 14 crashes on the
    // value-initialisation of this nested array of strings.
    std::array<std::array<std::string, kObjectIDs>, kVersions> m_objects;
    std::array<std::string, kStaticIDs> m_statics;
    bool m_empty = true;
};

struct ObjectNamesLoad {
    ObjectNameTable names;
    // Set when the file was missing or broken; the table is then left empty.
    std::optional<std::string> warning;
};

// Reads the six sections from bytes already in memory. A file shorter than its counts say leaves
// every name empty and returns a warning; names beyond the table are read past and ignored.
ObjectNamesLoad ParseObjectNames(std::span<const std::uint8_t> bytes);

// LoadObjectNames: reads the file at `path` (missing file: empty table and one warning).
ObjectNamesLoad LoadObjectNames(const std::filesystem::path& path);

// Loads the file beside the executable, else from ../share/tessarin2/; a warning names the folder
// when neither exists.
ObjectNamesLoad LoadObjectNamesBeside(const std::filesystem::path& executableDir);

// The file's bytes for the given tables (the tool that writes TR4Objects.dat and the tests use it).
// Sections in file order: TR4, statics, TR3, TR2, TR1, TR5.
struct ObjectNameSections {
    std::vector<std::string> tr4, statics, tr3, tr2, tr1, tr5;
};
std::vector<std::uint8_t> SerializeObjectNames(const ObjectNameSections& sections);

}  // namespace tessarin::editor
