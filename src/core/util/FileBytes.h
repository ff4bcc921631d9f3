#pragma once
// FileBytes: a whole file's bytes, for reading once from start to end. A file of some size is mapped
// where the system allows (no copy, and its pages can be given back as reading goes on); a small
// one, or one that cannot be mapped, is read once into a buffer that is not zero-filled first.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <utility>

#include "util/Pages.h"
#include "util/Result.h"

namespace tessarin::util {

class FileBytes {
public:
    // Bytes of a file whose size isn't known up front (a pipe, a device) read before giving up:
    // far more than any level, and /dev/zero must not fill the memory.
    static constexpr std::size_t kStreamLimit = std::size_t{512} << 20;

    // An unreadable file is an error naming it (the texts of readFile).
    static Result<FileBytes> open(const std::filesystem::path& path, std::size_t streamLimit = kStreamLimit);
    // The same, never mapped: a caller that keeps or copies the bytes takes them this way, as those
    // of a mapped file someone cuts short meanwhile would turn to zeros without its knowing.
    static Result<FileBytes> read(const std::filesystem::path& path, std::size_t streamLimit = kStreamLimit);

    std::span<const std::uint8_t> bytes() const { return {m_pages.data(), m_pages.size()}; }
    bool mapped() const { return m_pages.mapped(); }
    // Whether another program cut the file short or wrote to it while it was mapped (a file read
    // into memory was copied at once and never says so).
    bool changedWhileRead() const { return m_pages.fileChanged(); }

    // Told what has been read (ByteReader::onConsumed), a mapping gives those pages back, so a
    // large file and the level made from it are not both held in memory. Reading them again still
    // works (the pages come back from the file). A file read into memory keeps its bytes.
    Pages& pages() { return m_pages; }

private:
    explicit FileBytes(Pages pages) : m_pages(std::move(pages)) {}

    Pages m_pages;
};

}  // namespace tessarin::util
