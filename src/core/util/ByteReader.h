#pragma once
// ByteReader: a bounded little-endian cursor over a byte span; every read is checked first.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "util/Result.h"

namespace tessarin::util {

class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> data) : m_data(data) {}

    std::size_t pos() const { return m_pos; }
    std::size_t size() const { return m_data.size(); }
    std::size_t remaining() const { return m_data.size() - m_pos; }
    bool atEnd() const { return m_pos == m_data.size(); }

    // When set, the offset of every counted list is recorded (tests cut files at these places).
    void traceListStarts(std::vector<std::size_t>* starts) { m_listStarts = starts; }

    // The place names the record being read ("room 3 of 12"); errors carry it.
    void setPlace(std::string place) { m_place = std::move(place); }
    const std::string& place() const { return m_place; }

    void seek(std::size_t pos, const char* what = "seek");
    void skip(std::size_t n, const char* what = "skip");

    std::uint8_t u8(const char* what = nullptr) { need(1, what); return m_data[m_pos++]; }
    std::int8_t i8(const char* what = nullptr) { return static_cast<std::int8_t>(u8(what)); }
    std::uint16_t u16(const char* what = nullptr) {
        need(2, what);
        const std::uint16_t v = static_cast<std::uint16_t>(m_data[m_pos] | (m_data[m_pos + 1] << 8));
        m_pos += 2;
        return v;
    }
    std::int16_t i16(const char* what = nullptr) { return static_cast<std::int16_t>(u16(what)); }
    std::uint32_t u32(const char* what = nullptr) {
        need(4, what);
        const std::uint32_t v = static_cast<std::uint32_t>(m_data[m_pos]) |
                                (static_cast<std::uint32_t>(m_data[m_pos + 1]) << 8) |
                                (static_cast<std::uint32_t>(m_data[m_pos + 2]) << 16) |
                                (static_cast<std::uint32_t>(m_data[m_pos + 3]) << 24);
        m_pos += 4;
        return v;
    }
    std::int32_t i32(const char* what = nullptr) { return static_cast<std::int32_t>(u32(what)); }
    float f32(const char* what = nullptr);

    // Copies n raw bytes.
    void bytes(void* dest, std::size_t n, const char* what = nullptr);
    std::span<const std::uint8_t> view(std::size_t n, const char* what = nullptr);

    // Checks that `count` elements of `elementSize` bytes fit in what is left, before anything is
    // allocated for them. A negative count is refused too.
    std::size_t checkCount(std::int64_t count, std::size_t elementSize, const char* what);

    // Little-endian arrays read into vectors (count checked first).
    void readU16Array(std::vector<std::uint16_t>& out, std::int64_t count, const char* what);
    void readI16Array(std::vector<std::int16_t>& out, std::int64_t count, const char* what);
    void readI32Array(std::vector<std::int32_t>& out, std::int64_t count, const char* what);
    void readU32Array(std::vector<std::uint32_t>& out, std::int64_t count, const char* what);

    [[noreturn]] void fail(const std::string& message) const;

private:
    void need(std::size_t n, const char* what) const {
        if (n > remaining()) failShort(n, what);
    }
    [[noreturn]] void failShort(std::size_t n, const char* what) const;

    std::span<const std::uint8_t> m_data;
    std::size_t m_pos = 0;
    std::string m_place;
    std::vector<std::size_t>* m_listStarts = nullptr;
};

}  // namespace tessarin::util
