#include "util/ByteReader.h"

#include "util/NumberText.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>

namespace tessarin::util {

std::string ByteReader::place() const {
    if (!m_item) return m_place;
    return (m_place.empty() ? std::string() : m_place + ", ") + indexOf(m_item, m_itemIndex, m_itemCount);
}

void ByteReader::fail(const std::string& message) const {
    const std::string where = place();
    throw Error(where.empty() ? message : where + ", " + message);
}

void ByteReader::failShort(std::size_t n, const char* what) const {
    std::string text = what ? std::string(what) + ": " : std::string();
    text += "needs " + std::to_string(n) + " bytes at offset " + hex(m_pos) + ", " + leftText();
    fail(text);
}

std::string ByteReader::leftText() const {
    std::string text = std::to_string(remaining()) + " left";
    return m_endName ? text + " in " + m_endName : text;
}

ByteReader ByteReader::bounded(std::size_t end, const char* endName) const {
    ByteReader b(*this);
    b.m_data = m_data.first(std::clamp(end, m_pos, m_data.size()));
    b.m_limit = std::min(m_limit, b.m_data.size());
    b.m_endName = endName;
    return b;
}

void ByteReader::needMore(std::size_t n, const char* what) {
    if (n > remaining()) failShort(n, what);
    // Within the bytes, past what has arrived of them.
    if (!m_arrival || !m_arrival->waitFor(m_pos + n)) fail("the data stopped arriving");
    m_limit = std::min(m_arrival->now(), m_data.size());
}

void ByteReader::seek(std::size_t pos, const char* what) {
    if (pos > m_data.size())
        fail(std::string(what) + ": offset " + hex(pos) + " lies beyond the end" +
             (m_endName ? std::string(" of ") + m_endName : std::string()) + " (" + hex(m_data.size()) + ")");
    if (pos > m_limit) needMore(pos - m_pos, what);  // still arriving
    m_pos = pos;
}

void ByteReader::skip(std::size_t n, const char* what) {
    need(n, what);
    m_pos += n;
}

float ByteReader::f32(const char* what) { return std::bit_cast<float>(u32(what)); }

void ByteReader::bytes(void* dest, std::size_t n, const char* what) {
    need(n, what);
    if (n) std::memcpy(dest, m_data.data() + m_pos, n);
    m_pos += n;
}

std::span<const std::uint8_t> ByteReader::view(std::size_t n, const char* what) {
    need(n, what);
    auto s = m_data.subspan(m_pos, n);
    m_pos += n;
    return s;
}

std::size_t ByteReader::checkCount(std::int64_t count, std::size_t elementSize, const char* what) {
    if (m_listStarts) m_listStarts->push_back(m_pos);
    // Every list passes here, so this is where the owner hears of progress (in steps, not per list).
    progress();
    if (count < 0) fail(std::string(what) + ": negative count " + std::to_string(count));
    const auto n = static_cast<std::uint64_t>(count);
    // (a multiplication that cannot overflow, not a division: this runs for every list of every room)
    std::uint64_t bytes = 0;
    if (__builtin_mul_overflow(n, std::uint64_t{elementSize}, &bytes) || bytes > remaining())
        fail(std::string(what) + ": count " + std::to_string(count) + " needs " +
             std::to_string(n * elementSize) + " bytes at offset " + hex(m_pos) + ", " + leftText());
    return static_cast<std::size_t>(n);
}

template <typename T>
void ByteReader::readWords(std::vector<T>& out, std::int64_t count, const char* what) {
    const std::size_t n = checkCount(count, sizeof(T), what);
    out.clear();
    out.reserve(n);
    constexpr std::size_t kSlice = kConsumedStep / sizeof(T);
    for (std::size_t done = 0; done < n;) {
        const std::size_t k = std::min(kSlice, n - done);
        appendWords(out, view(k * sizeof(T), what).data(), k);
        done += k;
        progress();
    }
}

void ByteReader::readU16Array(std::vector<std::uint16_t>& out, std::int64_t count, const char* what) {
    readWords(out, count, what);
}
void ByteReader::readI16Array(std::vector<std::int16_t>& out, std::int64_t count, const char* what) {
    readWords(out, count, what);
}
void ByteReader::readI32Array(std::vector<std::int32_t>& out, std::int64_t count, const char* what) {
    readWords(out, count, what);
}
void ByteReader::readU32Array(std::vector<std::uint32_t>& out, std::int64_t count, const char* what) {
    readWords(out, count, what);
}

void ByteReader::readBytes(std::vector<std::uint8_t>& out, std::size_t n, const char* what) {
    need(n, what);
    out.clear();
    out.reserve(n);
    for (std::size_t done = 0; done < n;) {
        const std::size_t k = std::min(kConsumedStep, n - done);
        const std::uint8_t* p = m_data.data() + m_pos;
        out.insert(out.end(), p, p + k);
        m_pos += k;
        done += k;
        progress();
    }
}

// From this size on a raw array is read from the file itself when the bytes are a mapped file's:
// the system copies it straight from its cache, where copying from the mapping first makes it map
// every page (a large share of a small level's time). Smaller arrays are not worth the call.
constexpr std::size_t kReadThroughFrom = std::size_t{64} << 10;

template <typename T>
void ByteReader::readRaw(RawVector<T>& out, std::size_t n, const char* what) {
    static_assert(sizeof(T) <= 2);
    constexpr bool kSameLayout = sizeof(T) == 1 || std::endian::native == std::endian::little;
    const std::size_t size = n * sizeof(T);  // n was checked against what is left
    need(size, what);
    out.clear();
    out.resizeForOverwrite(n);  // every element is written below
    if (kSameLayout && size >= kReadThroughFrom && m_owner && m_owner->hasFile() && m_owner->data() == m_data.data()) {
        if (!m_owner->readFile(out.data(), m_pos, size))
            fail(std::string(what) + ": the file ended early or could not be read (was it changed while open?)");
        m_pos += size;
        progress();
        return;
    }
    // From the bytes themselves, in slices as readWords does.
    constexpr std::size_t kSlice = kConsumedStep / sizeof(T);
    for (std::size_t done = 0; done < n;) {
        const std::size_t k = std::min(kSlice, n - done);
        const std::uint8_t* p = m_data.data() + m_pos;
        if constexpr (kSameLayout) {
            std::memcpy(out.data() + done, p, k * sizeof(T));
        } else {
            for (std::size_t i = 0; i < k; ++i) out[done + i] = static_cast<T>(le::u16(p + i * 2));
        }
        m_pos += k * sizeof(T);
        done += k;
        progress();
    }
}

void ByteReader::readBytes(RawVector<std::uint8_t>& out, std::size_t n, const char* what) {
    readRaw(out, n, what);
}

void ByteReader::readU16Array(RawVector<std::uint16_t>& out, std::int64_t count, const char* what) {
    readRaw(out, checkCount(count, 2, what), what);
}
void ByteReader::readI16Array(RawVector<std::int16_t>& out, std::int64_t count, const char* what) {
    readRaw(out, checkCount(count, 2, what), what);
}

}  // namespace tessarin::util
