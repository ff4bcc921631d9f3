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
    // An unreadable file is an error naming it (the texts of readFile).
    static Result<FileBytes> open(const std::filesystem::path& path);

    std::span<const std::uint8_t> bytes() const { return {m_pages.data(), m_pages.size()}; }
    bool mapped() const { return m_pages.mapped(); }

    // The bytes before `upTo` have been read: a mapping gives their pages back, so a large file
    // and the level made from it are not both held in memory. Reading them again still works
    // (the pages come back from the file). A no-op for a file read into memory.
    void release(std::size_t upTo) { m_pages.release(upTo); }

private:
    explicit FileBytes(Pages pages) : m_pages(std::move(pages)) {}

    Pages m_pages;
};

}  // namespace tessarin::util
