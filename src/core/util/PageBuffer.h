#pragma once
// PageBuffer: scratch bytes of a known size, filled once and then read once from front to back (an
// inflated chunk being parsed). A large one lives in pages of its own: nothing zero-fills it first,
// and its pages() give back what the reader has passed, so the buffer and what is built from
// it are never both held whole. Released bytes read back as zeros, so only a reader that never
// goes back may release. A small one is plain heap memory and gives nothing back.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "util/Pages.h"

namespace tessarin::util {

class PageBuffer {
public:
    // Throws std::bad_alloc when the memory cannot be had. A large buffer has its pages made at
    // once, or with `makePagesLater` only by makePages (or as they are first written).
    explicit PageBuffer(std::size_t size, bool makePagesLater = false);
    // Makes the pages of a buffer made with `makePagesLater` (changing no byte), so that another
    // thread filling it meanwhile finds them ready; a no-op where the system cannot.
    void makePages();
    std::span<std::uint8_t> bytes() { return {m_pages.data(), m_pages.size()}; }
    std::span<const std::uint8_t> bytes() const { return {m_pages.data(), m_pages.size()}; }
    bool mapped() const { return m_pages.mapped(); }

    // Told what has been read (ByteReader::onConsumed), these pages give back what will not be
    // read again.
    Pages& pages() { return m_pages; }

private:
    Pages m_pages;
};

}  // namespace tessarin::util
