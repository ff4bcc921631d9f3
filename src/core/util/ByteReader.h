#pragma once
// ByteReader: a bounded little-endian cursor over a byte span; every read is checked first.
#include <algorithm>
#include <bit>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "util/Arrival.h"
#include "util/LittleEndian.h"
#include "util/Pages.h"
#include "util/RawVector.h"
#include "util/Result.h"

namespace tessarin::util {

// Builds records straight from checked bytes as a vector is filled from it (vector::insert), so each
// element is constructed once from the file, with no zero-filling pass and no growth.
template <typename T, typename Decode>
class DecodeIterator {
public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = T;
    using difference_type = std::ptrdiff_t;
    using pointer = const T*;
    using reference = T;

    DecodeIterator() = default;
    DecodeIterator(const std::uint8_t* p, std::size_t stride, const Decode* decode)
        : m_p(p), m_stride(static_cast<difference_type>(stride)), m_decode(decode) {}

    T operator*() const { return (*m_decode)(m_p); }
    T operator[](difference_type i) const { return (*m_decode)(m_p + i * m_stride); }
    DecodeIterator& operator++() { m_p += m_stride; return *this; }
    DecodeIterator operator++(int) { auto t = *this; ++*this; return t; }
    DecodeIterator& operator--() { m_p -= m_stride; return *this; }
    DecodeIterator operator--(int) { auto t = *this; --*this; return t; }
    DecodeIterator& operator+=(difference_type n) { m_p += n * m_stride; return *this; }
    DecodeIterator& operator-=(difference_type n) { m_p -= n * m_stride; return *this; }
    friend DecodeIterator operator+(DecodeIterator a, difference_type n) { return a += n; }
    friend DecodeIterator operator+(difference_type n, DecodeIterator a) { return a += n; }
    friend DecodeIterator operator-(DecodeIterator a, difference_type n) { return a -= n; }
    friend difference_type operator-(const DecodeIterator& a, const DecodeIterator& b) { return (a.m_p - b.m_p) / a.m_stride; }
    friend bool operator==(const DecodeIterator& a, const DecodeIterator& b) { return a.m_p == b.m_p; }
    friend auto operator<=>(const DecodeIterator& a, const DecodeIterator& b) { return a.m_p <=> b.m_p; }

private:
    const std::uint8_t* m_p = nullptr;
    difference_type m_stride = 1;
    const Decode* m_decode = nullptr;
};

// A decoder either returns a record built from its bytes or fills one in place: `decode(p)` or
// `decode(record, p)`. A record made in one expression of few fields is returned (the compiler keeps
// it in registers and stores it straight into the list); one filled field by field is filled in
// place, as returning it had it assembled on the stack and copied with loads wider than the stores
// that made it, each waiting for those stores to land (half the time of reading 20,000 TR1 items).
template <typename T, typename Decode>
constexpr bool kFillsInPlace = std::is_invocable_v<const Decode&, T&, const std::uint8_t*>;

// Appends `n` records of `stride` bytes from `p` (already bounds-checked) in one pass, growing
// `out` at most once.
template <typename T, typename Decode>
void appendDecoded(std::vector<T>& out, const std::uint8_t* p, std::size_t n, std::size_t stride, const Decode& decode) {
    if constexpr (kFillsInPlace<T, Decode>) {
        const std::size_t first = out.size();
        out.resize(first + n);
        T* records = out.data() + first;
        for (std::size_t i = 0; i < n; ++i) decode(records[i], p + i * stride);
    } else {
        using It = DecodeIterator<T, Decode>;
        out.insert(out.end(), It(p, stride, &decode), It(p + n * stride, stride, &decode));
    }
}

// Little-endian words appended to `out`: copied whole when the host stores them the same way and
// the bytes are aligned for T, otherwise assembled byte by byte (the portable path).
template <typename T>
void appendWords(std::vector<T>& out, const std::uint8_t* p, std::size_t n, bool allowBulk = true) {
    static_assert(std::is_integral_v<T> && (sizeof(T) == 2 || sizeof(T) == 4));
    if constexpr (std::endian::native == std::endian::little) {
        if (allowBulk && reinterpret_cast<std::uintptr_t>(p) % alignof(T) == 0) {
            // The bytes lie in storage that allocation or mapping gave us, where integers may live.
            const T* words = reinterpret_cast<const T*>(p);
            out.insert(out.end(), words, words + n);
            return;
        }
    }
    const auto decode = [](const std::uint8_t* q) {
        if constexpr (sizeof(T) == 2) return static_cast<T>(le::u16(q));
        else return static_cast<T>(le::u32(q));
    };
    using It = DecodeIterator<T, decltype(decode)>;
    out.insert(out.end(), It(p, sizeof(T), &decode), It(p + n * sizeof(T), sizeof(T), &decode));
}

// The same into `out` alone.
template <typename T>
void decodeWords(std::vector<T>& out, const std::uint8_t* p, std::size_t n, bool allowBulk = true) {
    out.clear();
    out.reserve(n);
    appendWords(out, p, n, allowBulk);
}

// Records stored in the file exactly as T lies in memory (same size and field order, no padding,
// little-endian words), appended to `out`: copied whole on a little-endian host, otherwise each
// built by `decode` (the portable path, also taken when `allowBulk` is off).
template <typename T, typename Decode>
void appendRecords(std::vector<T>& out, const std::uint8_t* p, std::size_t n, const Decode& decode,
                   bool allowBulk = true) {
    static_assert(std::is_trivially_copyable_v<T> && std::has_unique_object_representations_v<T>);
    if constexpr (std::endian::native == std::endian::little) {
        if (allowBulk && reinterpret_cast<std::uintptr_t>(p) % alignof(T) == 0) {
            // As for decodeWords: the bytes lie in storage from allocation or mapping; one pass.
            const T* records = reinterpret_cast<const T*>(p);
            out.insert(out.end(), records, records + n);
            return;
        }
        if (allowBulk) {
            // Bytes at an odd offset pass through a small aligned buffer, still in large copies.
            constexpr std::size_t kBatch = std::max<std::size_t>(1, 16384 / sizeof(T));
            alignas(T) std::byte batch[kBatch * sizeof(T)];
            out.reserve(out.size() + n);
            for (std::size_t done = 0; done < n;) {
                const std::size_t k = std::min(kBatch, n - done);
                std::memcpy(batch, p + done * sizeof(T), k * sizeof(T));
                const T* records = std::launder(reinterpret_cast<const T*>(batch));
                out.insert(out.end(), records, records + k);
                done += k;
            }
            return;
        }
    }
    appendDecoded(out, p, n, sizeof(T), decode);
}

class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> data) : m_data(data), m_limit(data.size()) {}

    std::size_t pos() const { return m_pos; }
    std::size_t size() const { return m_data.size(); }
    std::size_t remaining() const { return m_data.size() - m_pos; }
    bool atEnd() const { return m_pos == m_data.size(); }

    // When set, the offset of every counted list is recorded (tests cut files at these places).
    void traceListStarts(std::vector<std::size_t>* starts) { m_listStarts = starts; }
    bool tracing() const { return m_listStarts != nullptr; }

    // The place names the record being read ("room 3 of 12"); errors carry it.
    void setPlace(std::string place) {
        m_place = std::move(place);
        m_item = nullptr;
    }
    // The place as `place` followed by "ITEM INDEX of COUNT", put into words only when a message
    // needs it (a level has thousands of rooms, and a sound one needs none).
    void setPlace(std::string_view place, const char* item, std::size_t index, std::size_t count) {
        m_place = place;
        m_item = item;
        m_itemIndex = index;
        m_itemCount = count;
    }
    std::string place() const;

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

    // Records of `size` bytes each, the count checked once for the whole list, each one built by
    // `decode` from a pointer to its bytes (see kFillsInPlace); a list longer than kConsumedStep
    // goes in slices, as large arrays do.
    template <typename T, typename Decode>
    void readRecords(std::vector<T>& out, std::int64_t count, std::size_t size, const char* what, const Decode& decode) {
        const std::size_t n = checkCount(count, size, what);
        if (m_measuring) return skip(n * size, what);
        out.clear();
        out.reserve(n);
        inSlices(n, size, [&](const std::uint8_t* p, std::size_t k) { appendDecoded(out, p, k, size, decode); }, what);
    }

    // The same for records whose file layout is their memory layout (appendRecords).
    template <typename T, typename Decode>
    void copyRecords(std::vector<T>& out, std::int64_t count, const char* what, const Decode& decode) {
        const std::size_t n = checkCount(count, sizeof(T), what);
        if (m_measuring) return skip(n * sizeof(T), what);
        out.clear();
        out.reserve(n);
        inSlices(n, sizeof(T), [&](const std::uint8_t* p, std::size_t k) { appendRecords(out, p, k, decode); }, what);
    }

    // Little-endian arrays read into vectors (count checked first).
    void readU16Array(std::vector<std::uint16_t>& out, std::int64_t count, const char* what);
    void readI16Array(std::vector<std::int16_t>& out, std::int64_t count, const char* what);
    void readI32Array(std::vector<std::int32_t>& out, std::int64_t count, const char* what);
    void readU32Array(std::vector<std::uint32_t>& out, std::int64_t count, const char* what);

    // n raw bytes into `out` (what view(n, what) would show).
    void readBytes(std::vector<std::uint8_t>& out, std::size_t n, const char* what);
    // The same for large arrays, which are not zero-filled before they are read into, and come
    // from the owner of the bytes (a mapped file reads them without mapping them).
    void readBytes(RawVector<std::uint8_t>& out, std::size_t n, const char* what);
    void readU16Array(RawVector<std::uint16_t>& out, std::int64_t count, const char* what);
    void readI16Array(RawVector<std::int16_t>& out, std::int64_t count, const char* what);

    [[noreturn]] void fail(const std::string& message) const;

    // Tells the owner of the bytes, now and then as the cursor moves on, that what lies before the
    // cursor has been read (a mapped file drops those pages; a later read of them still works, but
    // a PageBuffer's read back as zeros, so its reader never goes back).
    void onConsumed(Pages* owner) { m_owner = owner; }
    // How far the cursor moves between tellings (kConsumedStep unless set). Each one interrupts any other
    // thread of ours that is running at the time, so a reader that works beside one tells less often.
    void setConsumedStep(std::size_t bytes) { m_consumedStep = bytes; }
    // Tells the owner now (after a large part was read other than by lists, as chunks are inflated).
    void reportConsumed() {
        if (m_owner) m_owner->release(std::min(m_pos, m_keepFrom));
    }
    // The bytes before the cursor are given back by whoever reads them (chunks inflating on another
    // thread): from now on the owner hears only of what lies past it.
    void leaveBehind() {
        if (m_owner) m_owner->leaveBefore(m_pos);
    }
    // Tells the owner that [from, to) has been read by a reader of its own (see detached): only the
    // whole pages inside go back. Safe from any thread while this reader itself stands still.
    void reportConsumed(std::size_t from, std::size_t to) const {
        if (m_owner) m_owner->releaseWithin(from, to);
    }

    // A reader over the same bytes at `pos` that tells no owner and traces nothing, for reading a
    // part of them elsewhere (rooms on a second thread).
    ByteReader detached(std::size_t pos) const {
        ByteReader d(m_data);
        d.follow(m_arrival);
        d.seek(pos);
        return d;
    }

    // A reader of these bytes up to `end` only (or their own end if sooner), otherwise as this one
    // (position, place, tracing, owner): for a block that must hold all of its own records (a TR5
    // room). `endName` names that end in messages ("12 left in the room's block"); carryOn then
    // moves this reader on to where the part stopped.
    ByteReader bounded(std::size_t end, const char* endName) const;
    void carryOn(const ByteReader& part) {
        seek(part.pos());
        m_nextConsumedReport = std::max(m_nextConsumedReport, part.m_nextConsumedReport);
        progress();
    }
    // What the bytes end at when bounded, for messages; null otherwise.
    const char* bound() const { return m_endName; }
    // The reader will come back to `pos` (a place found by an offset): the owner hears of nothing
    // from there on until keepFrom(size()).
    void keepFrom(std::size_t pos) { m_keepFrom = pos; }

    // Reads bytes still being written by another thread: a read past what has arrived waits for
    // it, and fails if it never comes (the writer's own failure is the one to report then).
    // Counts are checked against the whole size, as for bytes all there; a seek past what has
    // arrived waits too.
    void follow(const Arrival* arrival) {
        m_arrival = arrival;
        m_limit = arrival ? std::min(arrival->now(), m_data.size()) : m_data.size();
        if (m_pos > m_limit) needMore(0, "follow");
    }
    bool following() const { return m_arrival != nullptr; }

    // A measuring reader checks and passes over the lists read by readRecords and copyRecords
    // without building them: reading a record with it finds where the record ends.
    void setMeasuring(bool on) { m_measuring = on; }
    bool measuring() const { return m_measuring; }

    // Large arrays are copied in slices of this size, the owner hearing of progress between them, so
    // that their bytes and their copy are not both held whole; it is also the step between tellings
    // unless one is set.
    static constexpr std::size_t kConsumedStep = std::size_t{256} << 10;

private:
    // Hands `n` records of `size` bytes to `take` about kConsumedStep bytes at a time, the owner
    // hearing of progress between them, so that a long list and its copy are not both held whole.
    // A shorter list (most are) goes at once.
    template <typename Take>
    void inSlices(std::size_t n, std::size_t size, const Take& take, const char* what) {
        if (n * size <= kConsumedStep) return take(view(n * size, what).data(), n);
        const std::size_t slice = std::max<std::size_t>(1, kConsumedStep / size);
        for (std::size_t done = 0; done < n;) {
            const std::size_t k = std::min(slice, n - done);
            take(view(k * size, what).data(), k);
            done += k;
            progress();
        }
    }
    void progress() {
        if (m_owner && m_pos >= m_nextConsumedReport) {
            m_owner->release(std::min(m_pos, m_keepFrom));
            m_nextConsumedReport = m_pos + m_consumedStep;
        }
    }
    template <typename T>
    void readWords(std::vector<T>& out, std::int64_t count, const char* what);
    template <typename T>
    void readRaw(RawVector<T>& out, std::size_t n, const char* what);

    // The cursor never passes m_limit (seek waits for what it passes over), so one comparison does.
    void need(std::size_t n, const char* what) {
        if (n > m_limit - m_pos) [[unlikely]] needMore(n, what);
    }
    void needMore(std::size_t n, const char* what);
    [[noreturn]] void failShort(std::size_t n, const char* what) const;
    std::string leftText() const;  // "12 left", and where they end when bounded

    std::span<const std::uint8_t> m_data;
    std::size_t m_limit;  // the bytes that may be read without waiting
    const Arrival* m_arrival = nullptr;
    std::size_t m_pos = 0;
    std::string m_place;
    const char* m_item = nullptr;
    std::size_t m_itemIndex = 0, m_itemCount = 0;
    std::vector<std::size_t>* m_listStarts = nullptr;
    Pages* m_owner = nullptr;
    const char* m_endName = nullptr;
    std::size_t m_keepFrom = SIZE_MAX;
    bool m_measuring = false;
    std::size_t m_nextConsumedReport = 0;
    std::size_t m_consumedStep = kConsumedStep;
};

}  // namespace tessarin::util
