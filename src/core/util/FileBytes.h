#pragma once
// FileBytes: a whole file's bytes, for reading once from start to end. A file of some size is mapped
// where the system allows (no copy, and its pages can be given back as reading goes on); a small
// one, or one that cannot be mapped, is read once into a buffer that is not zero-filled first.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>

#include "util/Result.h"

namespace tessarin::util {

class FileBytes {
public:
    // An unreadable file is an error naming it (the texts of readFile).
    static Result<FileBytes> open(const std::filesystem::path& path);

    FileBytes(FileBytes&& other) noexcept;
    FileBytes& operator=(FileBytes&& other) noexcept;
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;
    ~FileBytes();

    std::span<const std::uint8_t> bytes() const { return {m_data, m_size}; }
    bool mapped() const { return m_map != nullptr; }

    // The bytes before `upTo` have been read: a mapping gives their pages back, so a large file
    // and the level made from it are not both held in memory. Reading them again still works
    // (the pages come back from the file). A no-op for a file read into memory.
    void release(std::size_t upTo);

private:
    FileBytes() = default;
    void unmap();

    const std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
    void* m_map = nullptr;
    std::size_t m_released = 0;
    std::unique_ptr<std::uint8_t[]> m_buffer;
};

}  // namespace tessarin::util
