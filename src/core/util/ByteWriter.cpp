#include "util/ByteWriter.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <stdexcept>
#include <string>

namespace tessarin::util {

ByteWriter::ByteWriter(ByteSink& sink, std::size_t pieceSize) : m_sink(&sink), m_piece(std::max<std::size_t>(pieceSize, 64)) {
    // The quarter beyond the piece takes what is written past its end until the piece goes.
    resize(m_piece + m_piece / 4);
}

void ByteWriter::grow(std::size_t n) {
    if (m_fixed) throw std::length_error("writing " + std::to_string(n) + " bytes past the " + std::to_string(m_room) + " given");
    if (m_sink) {
        handOverPiece();
        if (n <= m_room - m_size) return;
        // A single stretch larger than the room left: everything goes out, and the pieces that
        // follow are no longer aligned (no writer of ours appends that much at once).
        flush();
        if (n > m_room) resize(n);
        return;
    }
    // Doubling keeps appends amortised for writers that cannot tell their size beforehand.
    resize(std::max({m_size + n, m_room * 2, std::size_t{256}}));
}

void ByteWriter::flush() {
    if (!m_sink || m_size == 0) return;
    const std::size_t n = m_size;
    m_size = 0;
    handOver(m_bytes.data(), n);
}

void ByteWriter::handOverPieceNow() {
    handOver(m_data, m_piece);
    m_size -= m_piece;
    std::memmove(m_data, m_data + m_piece, m_size);
}

void ByteWriter::putBlock(const std::uint8_t* p, std::size_t n) {
    // The block's head fills the piece, the whole pieces after it go straight on, its tail starts
    // the next piece.
    handOverPiece();
    const std::size_t head = std::min(n, m_piece - m_size);
    if (head) std::memcpy(m_data + m_size, p, head);
    m_size += head;
    p += head;
    n -= head;
    handOverPiece();
    if (const std::size_t whole = n / m_piece * m_piece) {
        // (Bytes left over mean the head filled the piece, which has gone.)
        handOver(p, whole);
        p += whole;
        n -= whole;
    }
    if (n) {
        std::memcpy(m_data + m_size, p, n);
        m_size += n;
    }
}

void ByteWriter::handOver(const std::uint8_t* p, std::size_t n) {
    m_sink->put(p, n);
    m_handed += n;
}

}  // namespace tessarin::util
