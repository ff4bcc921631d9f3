#pragma once
// RawVector: a contiguous array of trivially copyable elements that behaves like std::vector, and
// can also grow without setting its new elements (resizeForOverwrite): a level's texture pages and
// frames are megabytes read straight from the file into place, and zero-filling them first would
// cost as much as reading them. (std::vector with an allocator that skips the zeroing copies
// element by element instead, which made copying a level several times slower.)
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <type_traits>
#include <utility>

namespace tessarin::util {

template <typename T>
class RawVector {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    using value_type = T;
    using size_type = std::size_t;
    using difference_type = std::ptrdiff_t;
    using reference = T&;
    using const_reference = const T&;
    using pointer = T*;
    using const_pointer = const T*;
    using iterator = T*;
    using const_iterator = const T*;

    RawVector() = default;
    RawVector(std::size_t n, const T& value) { assign(n, value); }
    explicit RawVector(std::size_t n) { assign(n, T{}); }
    RawVector(std::initializer_list<T> values) { assign(values.begin(), values.end()); }
    template <std::forward_iterator It>
    RawVector(It first, It last) {
        assign(first, last);
    }
    RawVector(const RawVector& other) { assign(other.begin(), other.end()); }
    RawVector(RawVector&& other) noexcept
        : m_data(std::move(other.m_data)), m_size(std::exchange(other.m_size, 0)),
          m_capacity(std::exchange(other.m_capacity, 0)) {}
    RawVector& operator=(const RawVector& other) {
        if (this != &other) assign(other.begin(), other.end());
        return *this;
    }
    RawVector& operator=(RawVector&& other) noexcept {
        m_data = std::move(other.m_data);
        m_size = std::exchange(other.m_size, 0);
        m_capacity = std::exchange(other.m_capacity, 0);
        return *this;
    }
    RawVector& operator=(std::initializer_list<T> values) {
        assign(values.begin(), values.end());
        return *this;
    }

    T* data() noexcept { return m_data.get(); }
    const T* data() const noexcept { return m_data.get(); }
    std::size_t size() const noexcept { return m_size; }
    std::size_t capacity() const noexcept { return m_capacity; }
    bool empty() const noexcept { return m_size == 0; }
    T* begin() noexcept { return data(); }
    T* end() noexcept { return data() + m_size; }
    const T* begin() const noexcept { return data(); }
    const T* end() const noexcept { return data() + m_size; }
    T& operator[](std::size_t i) { return m_data[i]; }
    const T& operator[](std::size_t i) const { return m_data[i]; }

    void clear() noexcept { m_size = 0; }
    void reserve(std::size_t n) {
        if (n > m_capacity) reallocate(n);
    }
    void resize(std::size_t n) { resize(n, T{}); }
    void resize(std::size_t n, const T& value) {
        const T fill = value;  // value may lie inside the array, which growing moves
        const std::size_t old = m_size;
        resizeForOverwrite(n);
        if (n > old) std::fill(begin() + old, end(), fill);
    }
    // Grows (or shrinks) to n elements without setting the new ones: the caller writes every one.
    void resizeForOverwrite(std::size_t n) {
        if (n > m_capacity) reallocate(std::max(n, grown()));
        m_size = n;
    }
    void assign(std::size_t n, const T& value) {
        clear();
        resize(n, value);
    }
    template <std::forward_iterator It>
    void assign(It first, It last) {
        clear();
        insert(end(), first, last);
    }
    void push_back(const T& value) {
        const T copy = value;  // value may lie inside the array, which growing moves
        resizeForOverwrite(m_size + 1);
        m_data[m_size - 1] = copy;
    }
    template <std::forward_iterator It>
    T* insert(const T* pos, It first, It last) {
        const auto at = static_cast<std::size_t>(pos - begin());
        const auto n = static_cast<std::size_t>(std::distance(first, last));
        if (n == 0) return begin() + at;
        if (m_size + n > m_capacity) {
            // Into fresh storage: the source may lie inside this array.
            const std::size_t cap = std::max(m_size + n, grown());
            auto fresh = std::make_unique_for_overwrite<T[]>(cap);
            std::copy(begin(), begin() + at, fresh.get());
            std::copy(first, last, fresh.get() + at);
            std::copy(begin() + at, end(), fresh.get() + at + n);
            m_data = std::move(fresh);
            m_capacity = cap;
            m_size += n;
            return begin() + at;
        }
        // The source cannot lie past the end, where the elements move: read it before they do.
        if (at == m_size) {
            std::copy(first, last, end());
        } else {
            RawVector moved(first, last);
            std::memmove(data() + at + n, data() + at, (m_size - at) * sizeof(T));
            std::memcpy(data() + at, moved.data(), n * sizeof(T));
        }
        m_size += n;
        return begin() + at;
    }
    T* insert(const T* pos, std::initializer_list<T> values) { return insert(pos, values.begin(), values.end()); }

    friend bool operator==(const RawVector& a, const RawVector& b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    }

private:
    std::size_t grown() const { return m_capacity < 8 ? 8 : m_capacity + m_capacity / 2; }
    void reallocate(std::size_t cap) {
        auto fresh = std::make_unique_for_overwrite<T[]>(cap);
        if (m_size) std::memcpy(fresh.get(), m_data.get(), m_size * sizeof(T));
        m_data = std::move(fresh);
        m_capacity = cap;
    }

    std::unique_ptr<T[]> m_data;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

}  // namespace tessarin::util
