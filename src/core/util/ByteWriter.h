#pragma once
// ByteWriter: appends little-endian values to a growing byte buffer; mirrors ByteReader.
#include <bit>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "util/Result.h"

namespace tessarin::util {

class ByteWriter {
public:
    void u8(std::uint8_t v) { m_bytes.push_back(v); }
    void i8(std::int8_t v) { u8(static_cast<std::uint8_t>(v)); }
    void u16(std::uint16_t v) {
        m_bytes.push_back(static_cast<std::uint8_t>(v));
        m_bytes.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    void i16(std::int16_t v) { u16(static_cast<std::uint16_t>(v)); }
    void u32(std::uint32_t v) {
        for (int s = 0; s < 32; s += 8) m_bytes.push_back(static_cast<std::uint8_t>(v >> s));
    }
    void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
    void f32(float v);
    void bytes(std::span<const std::uint8_t> b) { m_bytes.insert(m_bytes.end(), b.begin(), b.end()); }
    void bytes(const void* p, std::size_t n) {
        auto b = static_cast<const std::uint8_t*>(p);
        m_bytes.insert(m_bytes.end(), b, b + n);
    }
    // Arrays are appended whole on little-endian hosts.
    template <typename T>
    void u16Array(std::span<const T> a) {
        static_assert(sizeof(T) == 2);
        if constexpr (std::endian::native == std::endian::little) bytes(a.data(), a.size_bytes());
        else for (T v : a) u16(static_cast<std::uint16_t>(v));
    }
    template <typename T>
    void u32Array(std::span<const T> a) {
        static_assert(sizeof(T) == 4);
        if constexpr (std::endian::native == std::endian::little) bytes(a.data(), a.size_bytes());
        else for (T v : a) u32(static_cast<std::uint32_t>(v));
    }

    void reserve(std::size_t n) { m_bytes.reserve(n); }
    std::size_t size() const { return m_bytes.size(); }
    const std::vector<std::uint8_t>& data() const { return m_bytes; }
    std::vector<std::uint8_t>& data() { return m_bytes; }

private:
    std::vector<std::uint8_t> m_bytes;
};

}  // namespace tessarin::util
