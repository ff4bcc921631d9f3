#pragma once
// ByteWriter: appends little-endian values to a growing byte buffer, or streams them to a sink
// piece by piece; mirrors ByteReader.
#include <algorithm>
#include <bit>
#include <cassert>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <span>
#include <vector>

#include "util/LittleEndian.h"
#include "util/Result.h"

namespace tessarin::util {

// Where a streaming ByteWriter hands its bytes, a piece at a time and in order. A sink that
// cannot take them throws, which ends the writing.
class ByteSink {
public:
    virtual void put(const std::uint8_t* data, std::size_t size) = 0;

protected:
    ~ByteSink() = default;
};

class ByteWriter {
public:
    ByteWriter() = default;
    // Streams: bytes gather in a buffer and go to `sink` a piece of `pieceSize` at a time (the rest
    // at flush()); the whole pieces inside a large block go straight from where they are, without a
    // copy. Every piece after the first starts and ends at a multiple of `pieceSize` from the start
    // of the stream: a file system takes writes of whole aligned blocks fastest.
    ByteWriter(ByteSink& sink, std::size_t pieceSize);
    // Writes into `into`, which the caller owns and sized exactly: writing past it is a fault in the
    // caller and throws std::length_error (so two writers may fill parts of one buffer at once).
    explicit ByteWriter(std::span<std::uint8_t> into) : m_data(into.data()), m_room(into.size()), m_fixed(true) {}
    ByteWriter(const ByteWriter&) = delete;
    ByteWriter& operator=(const ByteWriter&) = delete;

    void u8(std::uint8_t v) { *append(1) = v; }
    void i8(std::int8_t v) { u8(static_cast<std::uint8_t>(v)); }
    void u16(std::uint16_t v) { le::Out(append(2)).u16(v); }
    void i16(std::int16_t v) { u16(static_cast<std::uint16_t>(v)); }
    void u32(std::uint32_t v) { le::Out(append(4)).u32(v); }
    void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
    void f32(float v) { u32(std::bit_cast<std::uint32_t>(v)); }
    void bytes(std::span<const std::uint8_t> b) { bytes(b.data(), b.size()); }
    void bytes(const void* p, std::size_t n) {
        if (m_sink && m_size + n > m_piece) return putBlock(static_cast<const std::uint8_t*>(p), n);
        if (n) std::memcpy(append(n), p, n);
    }
    // Arrays are appended whole on little-endian hosts.
    template <typename T>
    void u16Array(std::span<const T> a) {
        static_assert(sizeof(T) == 2);
        if constexpr (std::endian::native == std::endian::little) {
            bytes(a.data(), a.size_bytes());
        } else {
            records(a.size(), 2, [&](le::Out& o, std::size_t i) { o.u16(static_cast<std::uint16_t>(a[i])); });
        }
    }
    template <typename T>
    void u32Array(std::span<const T> a) {
        static_assert(sizeof(T) == 4);
        if constexpr (std::endian::native == std::endian::little) {
            bytes(a.data(), a.size_bytes());
        } else {
            records(a.size(), 4, [&](le::Out& o, std::size_t i) { o.u32(static_cast<std::uint32_t>(a[i])); });
        }
    }

    // Appends `count` records of `size` bytes, `fill(out, i)` storing record i through `out`; a
    // streaming writer takes them in batches that fit its piece.
    template <typename F>
    void records(std::size_t count, std::size_t size, F&& fill) {
        std::size_t i = 0;
        while (i < count) {
            std::size_t batch = count - i;
            if (m_sink) {
                // Batches end at the piece's end (the last record may reach past it).
                handOverPiece();
                if (m_room - m_size < size) flush();
                batch = std::min(batch, std::max<std::size_t>((m_piece - m_size) / size, 1));
            }
            le::Out o(append(batch * size));
            for (const std::size_t end = i + batch; i < end; ++i) fill(o, i);
        }
    }

    // Makes room for `n` more bytes and returns where they go; the caller fills every one of them.
    std::uint8_t* append(std::size_t n) {
        if (n > m_room - m_size) grow(n);
        std::uint8_t* p = m_data + m_size;
        m_size += n;
        return p;
    }

    // Room for `n` bytes in all, so that a writer that knows its size allocates once.
    void reserve(std::size_t n) {
        if (n > m_room && !m_fixed) resize(n);
    }
    // Bytes written so far, those already handed to the sink included.
    std::size_t size() const { return m_handed + m_size; }
    // Hands everything gathered to the sink (streaming writers only): the end of the stream, or of
    // its alignment.
    void flush();
    // The bytes written so far (the spare room beyond them is given back first; not for streaming
    // nor for a writer into a buffer of the caller's).
    const std::vector<std::uint8_t>& data() const {
        assert(!m_fixed && !m_sink);
        m_bytes.resize(m_size);
        m_room = m_size;
        return m_bytes;
    }
    std::vector<std::uint8_t>& data() {
        assert(!m_fixed && !m_sink);
        m_bytes.resize(m_size);
        m_room = m_size;
        return m_bytes;
    }

private:
    void grow(std::size_t n);
    void resize(std::size_t n) {
        m_bytes.resize(n);
        m_data = m_bytes.data();
        m_room = n;
    }
    void handOver(const std::uint8_t* p, std::size_t n);
    // Hands over the first piece once a whole one has gathered, keeping the rest (streaming only).
    void handOverPiece() {
        if (m_size >= m_piece) handOverPieceNow();
    }
    void handOverPieceNow();
    void putBlock(const std::uint8_t* p, std::size_t n);

    // Allocated room (m_room bytes at m_data: m_bytes, or the caller's buffer); only the first
    // m_size bytes are written. data() trims m_bytes to them, which leaves m_data where it is.
    mutable std::vector<std::uint8_t> m_bytes;
    std::uint8_t* m_data = nullptr;
    mutable std::size_t m_room = 0;
    bool m_fixed = false;
    std::size_t m_size = 0;
    ByteSink* m_sink = nullptr;
    std::size_t m_piece = 0;   // streaming: the piece size (the buffer holds a quarter more)
    std::size_t m_handed = 0;  // bytes the sink has taken
};

}  // namespace tessarin::util
