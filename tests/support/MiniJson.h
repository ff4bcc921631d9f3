#pragma once
// A small JSON reader for tests that check tessarin2-cli's output.
#include <cstdint>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace tessarin::test {

struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object } kind = Kind::Null;
    bool boolean = false;
    double number = 0;
    std::string text;
    std::vector<JsonValue> items;
    std::map<std::string, JsonValue> fields;

    bool has(const std::string& key) const { return fields.count(key) != 0; }
    const JsonValue& operator[](const std::string& key) const;
    const JsonValue& operator[](std::size_t i) const { return items.at(i); }
    std::int64_t asInt() const { return static_cast<std::int64_t>(number); }
    bool isNull() const { return kind == Kind::Null; }
};

// Parses a whole document; throws std::runtime_error on anything that is not exactly one value.
JsonValue parseJson(const std::string& text);

}  // namespace tessarin::test
