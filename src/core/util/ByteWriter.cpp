#include "util/ByteWriter.h"

#include <algorithm>
#include <bit>
#include <stdexcept>
#include <string>

namespace tessarin::util {

ByteWriter::ByteWriter(ByteSink& sink, std::size_t pieceSize) : m_sink(&sink) {
    resize(std::max<std::size_t>(pieceSize, 64));
}

void ByteWriter::grow(std::size_t n) {
    if (m_fixed) throw std::length_error("writing " + std::to_string(n) + " bytes past the " + std::to_string(m_room) + " given");
    if (m_sink) {
        // The piece goes out; only a single block larger than a whole piece widens it.
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

void ByteWriter::handOver(const std::uint8_t* p, std::size_t n) {
    m_sink->put(p, n);
    m_handed += n;
}

}  // namespace tessarin::util
