#pragma once
// ByteWriter: appends little-endian values to a growing byte buffer; mirrors ByteReader.
#include <bit>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <span>
#include <vector>

#include "util/LittleEndian.h"
#include "util/Result.h"

namespace tessarin::util {

class ByteWriter {
public:
    void u8(std::uint8_t v) { *append(1) = v; }
    void i8(std::int8_t v) { u8(static_cast<std::uint8_t>(v)); }
    void u16(std::uint16_t v) { le::Out(append(2)).u16(v); }
    void i16(std::int16_t v) { u16(static_cast<std::uint16_t>(v)); }
    void u32(std::uint32_t v) { le::Out(append(4)).u32(v); }
    void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
    void f32(float v) { u32(std::bit_cast<std::uint32_t>(v)); }
    void bytes(std::span<const std::uint8_t> b) { bytes(b.data(), b.size()); }
    void bytes(const void* p, std::size_t n) {
        if (n) std::memcpy(append(n), p, n);
    }
    // Arrays are appended whole on little-endian hosts.
    template <typename T>
    void u16Array(std::span<const T> a) {
        static_assert(sizeof(T) == 2);
        if constexpr (std::endian::native == std::endian::little) {
            bytes(a.data(), a.size_bytes());
        } else {
            le::Out o(append(a.size_bytes()));
            for (T v : a) o.u16(static_cast<std::uint16_t>(v));
        }
    }
    template <typename T>
    void u32Array(std::span<const T> a) {
        static_assert(sizeof(T) == 4);
        if constexpr (std::endian::native == std::endian::little) {
            bytes(a.data(), a.size_bytes());
        } else {
            le::Out o(append(a.size_bytes()));
            for (T v : a) o.u32(static_cast<std::uint32_t>(v));
        }
    }

    // Makes room for `n` more bytes and returns where they go; the caller fills every one of them.
    std::uint8_t* append(std::size_t n) {
        if (n > m_bytes.size() - m_size) grow(n);
        std::uint8_t* p = m_bytes.data() + m_size;
        m_size += n;
        return p;
    }

    // Room for `n` bytes in all, so that a writer that knows its size allocates once.
    void reserve(std::size_t n) {
        if (n > m_bytes.size()) m_bytes.resize(n);
    }
    std::size_t size() const { return m_size; }
    // The bytes written so far (the spare room beyond them is given back first).
    const std::vector<std::uint8_t>& data() const {
        m_bytes.resize(m_size);
        return m_bytes;
    }
    std::vector<std::uint8_t>& data() {
        m_bytes.resize(m_size);
        return m_bytes;
    }

private:
    void grow(std::size_t n);

    // Allocated room; only the first m_size bytes are written.
    mutable std::vector<std::uint8_t> m_bytes;
    std::size_t m_size = 0;
};

}  // namespace tessarin::util
