#include "util/ByteWriter.h"

#include <algorithm>
#include <bit>

namespace tessarin::util {

void ByteWriter::grow(std::size_t n) {
    // Doubling keeps appends amortised for writers that cannot tell their size beforehand.
    m_bytes.resize(std::max({m_size + n, m_bytes.size() * 2, std::size_t{256}}));
}

}  // namespace tessarin::util
