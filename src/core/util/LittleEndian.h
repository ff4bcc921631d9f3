#pragma once
// Little-endian loads from a byte pointer whose bounds the caller has already checked
// (ByteReader::view), for the large record lists where a check per field would dominate.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tessarin::util::le {

inline std::uint16_t u16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
inline std::int16_t i16(const std::uint8_t* p) { return static_cast<std::int16_t>(u16(p)); }
inline std::uint32_t u32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::int32_t i32(const std::uint8_t* p) { return static_cast<std::int32_t>(u32(p)); }

// An unchecked cursor with ByteReader's read calls, so one record layout serves both: the checked
// reader for single fields and this one inside a list whose whole size was checked first.
class Cursor {
public:
    explicit Cursor(const std::uint8_t* p) : m_p(p) {}
    std::uint8_t u8(const char* = nullptr) { return *m_p++; }
    std::int8_t i8(const char* = nullptr) { return static_cast<std::int8_t>(*m_p++); }
    std::uint16_t u16(const char* = nullptr) { m_p += 2; return le::u16(m_p - 2); }
    std::int16_t i16(const char* = nullptr) { m_p += 2; return le::i16(m_p - 2); }
    std::uint32_t u32(const char* = nullptr) { m_p += 4; return le::u32(m_p - 4); }
    std::int32_t i32(const char* = nullptr) { m_p += 4; return le::i32(m_p - 4); }
    float f32(const char* = nullptr) { return std::bit_cast<float>(u32()); }
    void bytes(void* dest, std::size_t n, const char* = nullptr) {
        std::memcpy(dest, m_p, n);
        m_p += n;
    }
    void skip(std::size_t n, const char* = nullptr) { m_p += n; }

private:
    const std::uint8_t* m_p;
};

// The writing counterpart: stores into room the writer has already made for the whole list.
class Out {
public:
    explicit Out(std::uint8_t* p) : m_p(p) {}
    void u8(std::uint8_t v) { *m_p++ = v; }
    void i8(std::int8_t v) { *m_p++ = static_cast<std::uint8_t>(v); }
    // One store per value where the host is little-endian already.
    void u16(std::uint16_t v) {
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(m_p, &v, 2);
        } else {
            m_p[0] = static_cast<std::uint8_t>(v);
            m_p[1] = static_cast<std::uint8_t>(v >> 8);
        }
        m_p += 2;
    }
    void i16(std::int16_t v) { u16(static_cast<std::uint16_t>(v)); }
    void u32(std::uint32_t v) {
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(m_p, &v, 4);
        } else {
            m_p[0] = static_cast<std::uint8_t>(v);
            m_p[1] = static_cast<std::uint8_t>(v >> 8);
            m_p[2] = static_cast<std::uint8_t>(v >> 16);
            m_p[3] = static_cast<std::uint8_t>(v >> 24);
        }
        m_p += 4;
    }
    void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
    void f32(float v) { u32(std::bit_cast<std::uint32_t>(v)); }
    // `n` 16-bit values in a row (one copy on a little-endian host).
    void i16s(const std::int16_t* v, std::size_t n) {
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(m_p, v, n * 2);
            m_p += n * 2;
        } else {
            for (std::size_t i = 0; i < n; ++i) i16(v[i]);
        }
    }
    void bytes(const void* p, std::size_t n) {
        std::memcpy(m_p, p, n);
        m_p += n;
    }
    std::uint8_t* pos() const { return m_p; }

private:
    std::uint8_t* m_p;
};

}  // namespace tessarin::util::le
