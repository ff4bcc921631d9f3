#pragma once
// Emit: the builder's own little-endian byte sink, kept apart from the program's ByteWriter.
#include <cstdint>
#include <cstring>
#include <vector>

namespace tessarin::levelgen::detail {

class Emit {
public:
    std::vector<std::uint8_t> out;

    std::size_t pos() const { return out.size(); }
    void b(std::uint8_t v) { out.push_back(v); }
    void w(std::int64_t v) {  // 16-bit, any sign
        out.push_back(static_cast<std::uint8_t>(v & 0xFF));
        out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    }
    void d(std::int64_t v) {  // 32-bit, any sign
        for (int s = 0; s < 32; s += 8) out.push_back(static_cast<std::uint8_t>((v >> s) & 0xFF));
    }
    void f(float v) {
        std::uint32_t u = 0;
        std::memcpy(&u, &v, 4);
        d(u);
    }
    void zeros(std::size_t n) { out.insert(out.end(), n, 0); }
    void raw(const std::uint8_t* p, std::size_t n) { out.insert(out.end(), p, p + n); }
    template <typename C>
    void words(const C& c) { for (auto v : c) w(v); }
    template <typename C>
    void dwords(const C& c) { for (auto v : c) d(v); }
    void text(const char* s) { while (*s) b(static_cast<std::uint8_t>(*s++)); }
    // Overwrites a 32-bit value written earlier.
    void patchD(std::size_t at, std::int64_t v) {
        for (int s = 0; s < 32; s += 8) out[at + static_cast<std::size_t>(s / 8)] = static_cast<std::uint8_t>((v >> s) & 0xFF);
    }
    void append(const std::vector<std::uint8_t>& v) { out.insert(out.end(), v.begin(), v.end()); }
};

}  // namespace tessarin::levelgen::detail
