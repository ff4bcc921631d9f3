#pragma once
// A small JSON writer: values are appended in order, commas and nesting are kept for the caller.
#include <concepts>
#include <cstdio>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessarin::cli {

class Json {
public:
    Json() = default;
    // Streams: whole blocks of the text go to `sink` as they fill, so a document of millions of
    // entries never sits in memory at once; str() then holds only what has not gone yet.
    explicit Json(std::FILE* sink) : m_sink(sink) {}

    Json& beginObject();
    Json& endObject();
    Json& beginArray();
    Json& endArray();
    Json& key(std::string_view k);
    template <std::integral T>
        requires(!std::same_as<T, bool>)
    Json& value(T v) { return integer(static_cast<std::int64_t>(v)); }
    Json& integer(std::int64_t v);
    // Nine significant digits: a float's value survives the round trip.
    Json& number(double v);
    Json& value(bool v);
    Json& value(std::string_view v);
    Json& value(const char* v) { return value(std::string_view(v)); }
    Json& null();
    template <typename T>
    Json& field(std::string_view k, const T& v) { key(k); return value(v); }

    const std::string& str() const { return m_out; }

private:
    void separate();
    void spill();
    void appendString(std::string_view v);
    std::string m_out;
    std::vector<bool> m_first;  // per open container: no element written yet
    bool m_afterKey = false;
    std::FILE* m_sink = nullptr;
};

}  // namespace tessarin::cli
