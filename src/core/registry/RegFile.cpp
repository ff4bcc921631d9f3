#include "registry/RegFile.h"

#include <cstdio>
#include <vector>

#include "util/Utf8.h"

namespace tessarin::registry {

namespace {

// A string value that holds a line break or a zero cannot be written between quotes.
bool quotable(const RegValue& v) {
    if (v.type != kRegSz) return false;
    for (char c : v.data)
        if (c == '\n' || c == '\r' || c == '\0') return false;
    return true;
}

void appendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    out += '"';
}

void appendValue(std::string& out, const RegValue& v) {
    if (v.name.empty()) out += '@';
    else appendQuoted(out, v.name);
    out += '=';
    if (quotable(v)) {
        appendQuoted(out, v.data);
    } else if (v.type == kRegDword && v.data.size() == 4) {
        char text[16];
        std::uint32_t n = 0;
        for (int i = 3; i >= 0; --i) n = (n << 8) | static_cast<std::uint8_t>(v.data[static_cast<std::size_t>(i)]);
        std::snprintf(text, sizeof text, "dword:%08x", n);
        out += text;
    } else {
        char text[16];
        if (v.type == kRegBinary) {
            out += "hex:";
        } else {
            std::snprintf(text, sizeof text, "hex(%x):", v.type);
            out += text;
        }
        for (std::size_t i = 0; i < v.data.size(); ++i) {
            std::snprintf(text, sizeof text, i ? ",%02x" : "%02x", static_cast<std::uint8_t>(v.data[i]));
            out += text;
        }
    }
    out += '\n';
}

void appendKey(std::string& out, const RegKey& key, const std::string& path, bool isRoot) {
    if (!isRoot || !key.values.empty()) {
        out += '\n';
        out += '[' + path + "]\n";
        for (const RegValue& v : key.values) appendValue(out, v);
    }
    for (const auto& child : key.children) appendKey(out, *child, path + '\\' + child->name, false);
}

// Reads a quoted text at text[pos] (pos at the opening quote); pos ends after the closing one.
bool readQuoted(std::string_view text, std::size_t& pos, std::string& out) {
    if (pos >= text.size() || text[pos] != '"') return false;
    out.clear();
    for (++pos; pos < text.size(); ++pos) {
        char c = text[pos];
        if (c == '"') {
            ++pos;
            return true;
        }
        if (c == '\\') {
            if (++pos >= text.size()) return false;
            c = text[pos];
        }
        out += c;
    }
    return false;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

bool parseHexList(std::string_view list, std::string& out) {
    out.clear();
    list = trim(list);
    if (list.empty()) return true;
    std::size_t pos = 0;
    while (true) {
        const std::string_view item = trim(list.substr(pos, list.find(',', pos) - pos));
        if (item.size() != 2 || hexDigit(item[0]) < 0 || hexDigit(item[1]) < 0) return false;
        out += static_cast<char>(hexDigit(item[0]) * 16 + hexDigit(item[1]));
        pos = list.find(',', pos);
        if (pos == std::string_view::npos) return true;
        ++pos;
    }
}

// The data after '=': a quoted string, dword:, hex: or hex(N):.
bool parseData(std::string_view text, RegValue& v) {
    text = trim(text);
    if (!text.empty() && text.front() == '"') {
        std::size_t pos = 0;
        v.type = kRegSz;
        return readQuoted(text, pos, v.data) && trim(text.substr(pos)).empty();
    }
    if (text.starts_with("dword:")) {
        const std::string_view digits = text.substr(6);
        if (digits.size() != 8) return false;
        std::uint32_t n = 0;
        for (char c : digits) {
            if (hexDigit(c) < 0) return false;
            n = n * 16 + static_cast<std::uint32_t>(hexDigit(c));
        }
        v.type = kRegDword;
        v.data.clear();
        for (int i = 0; i < 4; ++i) v.data += static_cast<char>(n >> (8 * i));
        return true;
    }
    if (text.starts_with("hex:")) {
        v.type = kRegBinary;
        return parseHexList(text.substr(4), v.data);
    }
    if (text.starts_with("hex(")) {
        const std::size_t close = text.find("):");
        if (close == std::string_view::npos || close == 4 || close > 12) return false;
        std::uint32_t type = 0;
        for (char c : text.substr(4, close - 4)) {
            if (hexDigit(c) < 0) return false;
            type = type * 16 + static_cast<std::uint32_t>(hexDigit(c));
        }
        v.type = type;
        return parseHexList(text.substr(close + 2), v.data);
    }
    return false;
}

// "[ROOT\a\b]" to the key, created with its parents; null for an unknown root or an empty part.
RegKey* sectionKey(std::string_view path, MemoryRegistry& registry) {
    const std::size_t slash = path.find('\\');
    RegKey* key = nullptr;
    for (int i = 0; i < kRootCount; ++i)
        if (sameName(registry.root(i).name, path.substr(0, slash))) key = &registry.root(i);
    if (!key || slash == std::string_view::npos) return key;
    std::string_view rest = path.substr(slash + 1);
    for (std::size_t depth = 1;; ++depth) {
        const std::size_t end = rest.find('\\');
        const std::string_view part = rest.substr(0, end);
        if (part.empty() || part.size() > kMaxKeyNameLength || depth > kMaxKeyDepth) return nullptr;
        key = &key->childOrAdd(part);
        if (end == std::string_view::npos) return key;
        rest.remove_prefix(end + 1);
    }
}

// Exports made by the registry editor are UTF-16 (little-endian, with a byte-order mark).
std::string utf8FromUtf16le(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() / 2);
    auto unit = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[i]) | static_cast<std::uint8_t>(bytes[i + 1]) << 8);
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        std::uint32_t c = unit(i);
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 && unit(i + 2) < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        }
        util::appendUtf8(out, c);
    }
    return out;
}

}  // namespace

std::string formatRegFile(const MemoryRegistry& registry) {
    std::string out(kRegFileHeader);
    out += '\n';
    for (int i = 0; i < kRootCount; ++i) appendKey(out, registry.root(i), registry.root(i).name, true);
    return out;
}

util::Status parseRegFile(std::string_view text, MemoryRegistry& registry) {
    std::string decoded;
    if (text.starts_with("\xFF\xFE")) {
        decoded = utf8FromUtf16le(text.substr(2));
        text = decoded;
    }
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    std::vector<std::string_view> lines;
    for (std::size_t pos = 0; pos <= text.size();) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    bool headerSeen = false;
    RegKey* key = nullptr;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::size_t lineNumber = i + 1;
        auto fail = [&](const char* what) {
            return util::Status::failure("line " + std::to_string(lineNumber) + ": " + what);
        };
        std::string joined(trim(lines[i]));
        // A hex list may go on over several lines, each but the last ending in a backslash.
        while (!joined.empty() && joined.back() == '\\' && joined.find("=hex") != std::string::npos &&
               i + 1 < lines.size()) {
            joined.pop_back();
            joined += trim(lines[++i]);
        }
        const std::string_view line = joined;
        if (line.empty() || line.front() == ';') continue;
        if (!headerSeen) {
            if (line != kRegFileHeader && line != "REGEDIT4") return fail("not a registry file");
            headerSeen = true;
            continue;
        }
        if (line.front() == '[') {
            if (line.back() != ']' || line.size() < 3) return fail("a key line needs its closing bracket");
            if (line[1] == '-') return fail("deleting keys is not supported");
            key = sectionKey(line.substr(1, line.size() - 2), registry);
            if (!key) return fail("the key path names no root, or has an empty, too long or too deep part");
            continue;
        }
        if (!key) return fail("a value before the first key");
        RegValue v;
        std::size_t pos = 0;
        if (line.front() == '@') {
            pos = 1;
        } else if (!readQuoted(line, pos, v.name)) {
            return fail("a value line starts with its quoted name or @");
        }
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
        if (pos >= line.size() || line[pos] != '=') return fail("a value name needs '='");
        if (!parseData(line.substr(pos + 1), v)) return fail("the value's data is not readable");
        if (RegValue* old = key->value(v.name)) old->type = v.type, old->data = std::move(v.data);
        else key->addValue(std::move(v));
    }
    if (!headerSeen) return util::Status::failure("not a registry file (empty)");
    return util::success();
}

}  // namespace tessarin::registry
