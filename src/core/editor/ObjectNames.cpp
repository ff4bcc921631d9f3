#include "editor/ObjectNames.h"

#include <system_error>

#include "util/ByteReader.h"
#include "util/ByteWriter.h"
#include "util/FileIO.h"
#include "util/NumberText.h"
#include "util/Utf8.h"

namespace tessarin::editor {

namespace {

const std::string kNoName;

// The file's 8-bit characters are those of Windows' Western code page (1252): Latin-1 but for
// 0x80-0x9F, which hold the euro sign, typographic quotes and a few letters (the five codes it
// leaves unused stand for themselves). They are written as UTF-8, as every string in the core is.
constexpr std::uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::string fromCp1252(std::span<const std::uint8_t> bytes) {
    std::string s;
    s.reserve(bytes.size());
    for (std::uint8_t c : bytes) util::appendUtf8(s, c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : c);
    return s;
}

// Upper case for the letters of the code page: ASCII, the Latin-1 block, and š, œ, ž, ÿ.
std::string upperCp1252(std::span<const std::uint8_t> bytes) {
    std::vector<std::uint8_t> up(bytes.begin(), bytes.end());
    for (auto& c : up) {
        if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) c = static_cast<std::uint8_t>(c - 32);
        else if (c == 0x9A || c == 0x9C || c == 0x9E) c = static_cast<std::uint8_t>(c - 0x10);
        else if (c == 0xFF) c = 0x9F;
    }
    return fromCp1252(up);
}

enum class Target { Objects, Statics };

// Reads one section; entries beyond the table are read past so the next section starts right.
void readSection(util::ByteReader& r, ObjectNameTable& t, Target target, int version, bool trailingValue,
                 bool upper, const char* what, std::int64_t& count) {
    r.setPlace(what);
    count = r.u32("name count");
    // Every entry takes at least its 4-byte length (8 with the trailing value).
    r.checkCount(count, trailingValue ? 8 : 4, "names");
    for (std::int64_t i = 0; i < count; ++i) {
        const std::uint32_t length = r.u32("name length");
        const auto chars = r.view(length, "name");
        if (trailingValue) r.u32("unused value");
        std::string name = upper ? upperCp1252(chars) : fromCp1252(chars);
        if (target == Target::Statics) t.setStaticName(i, std::move(name));
        else t.setObjectName(version, i, std::move(name));
    }
}

}  // namespace

const std::string& ObjectNameTable::objectName(int version, std::int64_t id) const {
    if (version < 0 || version >= kVersions || id < 0 || id >= kObjectIDs) return kNoName;
    return m_objects[static_cast<std::size_t>(version)][static_cast<std::size_t>(id)];
}

const std::string& ObjectNameTable::staticName(std::int64_t id) const {
    if (id < 0 || id >= kStaticIDs) return kNoName;
    return m_statics[static_cast<std::size_t>(id)];
}

void ObjectNameTable::setObjectName(int version, std::int64_t id, std::string name) {
    if (version < 0 || version >= kVersions || id < 0 || id >= kObjectIDs) return;
    m_objects[static_cast<std::size_t>(version)][static_cast<std::size_t>(id)] = std::move(name);
    m_empty = false;
}

void ObjectNameTable::setStaticName(std::int64_t id, std::string name) {
    if (id < 0 || id >= kStaticIDs) return;
    m_statics[static_cast<std::size_t>(id)] = std::move(name);
    m_empty = false;
}

ObjectNamesLoad ParseObjectNames(std::span<const std::uint8_t> bytes) {
    ObjectNamesLoad out;
    util::ByteReader r(bytes);
    try {
        ObjectNameTable t;
        std::int64_t count = 0;
        readSection(r, t, Target::Objects, 4, false, false, "TR4 object names", count);
        readSection(r, t, Target::Statics, 0, false, false, "static-mesh names", count);
        // Static IDs the file leaves unnamed get a placeholder so the panel never shows a blank.
        for (std::int64_t i = count; i <= ObjectNameTable::kMeshFillLast; ++i)
            t.setStaticName(i, "Mesh" + util::numberForm(static_cast<std::int64_t>(i)));
        readSection(r, t, Target::Objects, 3, true, true, "TR3 object names", count);
        readSection(r, t, Target::Objects, 2, true, false, "TR2 object names", count);
        readSection(r, t, Target::Objects, 1, true, false, "TR1 object names", count);
        readSection(r, t, Target::Objects, 5, true, false, "TR5 object names", count);
        out.names = std::move(t);
    } catch (const util::Error& e) {
        out.warning = std::string("object names not loaded: ") + e.what();
    }
    return out;
}

ObjectNamesLoad LoadObjectNames(const std::filesystem::path& path) {
    auto bytes = util::readFile(path);
    if (!bytes) {
        ObjectNamesLoad out;
        out.warning = "object names not loaded: " + bytes.error();
        return out;
    }
    auto out = ParseObjectNames(*bytes);
    if (out.warning) *out.warning += " (" + path.string() + ")";
    return out;
}

ObjectNamesLoad LoadObjectNamesBeside(const std::filesystem::path& executableDir) {
    const auto path = util::findDataFile(executableDir, kObjectNamesFile);
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec)) return LoadObjectNames(path);
    ObjectNamesLoad out;
    out.warning = std::string("object names not loaded: ") + kObjectNamesFile + " not found beside " +
                  executableDir.string();
    return out;
}

std::vector<std::uint8_t> SerializeObjectNames(const ObjectNameSections& s) {
    util::ByteWriter w;
    auto section = [&w](const std::vector<std::string>& names, bool trailingValue) {
        w.u32(static_cast<std::uint32_t>(names.size()));
        for (const auto& n : names) {
            w.u32(static_cast<std::uint32_t>(n.size()));
            w.bytes(n.data(), n.size());
            if (trailingValue) w.u32(0);
        }
    };
    section(s.tr4, false);
    section(s.statics, false);
    section(s.tr3, true);
    section(s.tr2, true);
    section(s.tr1, true);
    section(s.tr5, true);
    return w.data();
}

}  // namespace tessarin::editor
