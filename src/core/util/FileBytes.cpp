#include "util/FileBytes.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#if __has_include(<sys/mman.h>) && __has_include(<unistd.h>)
#define TESSARIN_MAP_FILES 1
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tessarin::util {

namespace {
// Below this a read into reused heap memory costs less than setting up a mapping; above it a read
// would fault in fresh zero-filled pages and copy into them, where a mapping does neither.
constexpr std::size_t kMapFrom = std::size_t{256} << 10;
}  // namespace

Result<FileBytes> FileBytes::open(const std::filesystem::path& path, std::size_t streamLimit) {
#ifdef TESSARIN_MAP_FILES
    // Only a large regular file is mapped; anything else (a small file, a pipe, a failed mapping)
    // is read the ordinary way.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        struct stat st {};
        void* map = MAP_FAILED;
        if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<std::uint64_t>(st.st_size) >= kMapFrom)
            map = mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
        if (map != MAP_FAILED) {
            // Read from start to end: the system may read ahead.
            madvise(map, static_cast<std::size_t>(st.st_size), MADV_SEQUENTIAL);
#ifdef MADV_NOHUGEPAGE
            // A freshly written file can sit in the page cache in 2 MiB pieces, which would be
            // mapped whole and could not be given back in the steps reading goes in.
            madvise(map, static_cast<std::size_t>(st.st_size), MADV_NOHUGEPAGE);
#endif
            // The file stays open too: large arrays are read from it rather than through the mapping.
            Pages pages = Pages::adoptFileMapping(map, static_cast<std::size_t>(st.st_size), fd, st.st_mtim);
            if (pages.mapped()) return FileBytes(std::move(pages));
            munmap(map, static_cast<std::size_t>(st.st_size));
        }
        ::close(fd);
    }
#endif
    return read(path, streamLimit);
}

Result<FileBytes> FileBytes::read(const std::filesystem::path& path, std::size_t streamLimit) {
    using R = Result<FileBytes>;
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return R::failure(path.string() + ": is a folder, not a level file");
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return R::failure(path.string() + ": " + std::strerror(errno));
    // Read straight into a buffer of the file's size; keep reading past it in case the file grew
    // (or its size is not known, as for a pipe).
    std::size_t capacity = static_cast<std::size_t>(std::filesystem::file_size(path, ec));
    if (ec) capacity = 0;
    capacity = std::max<std::size_t>(capacity, 1);
    auto buffer = std::make_unique_for_overwrite<std::uint8_t[]>(capacity);
    std::size_t size = 0;
    for (;;) {
        size += std::fread(buffer.get() + size, 1, capacity - size, file);
        if (size < capacity) break;
        std::uint8_t probe = 0;
        if (std::fread(&probe, 1, 1, file) != 1) break;
        if (capacity >= streamLimit) {
            std::fclose(file);
            return R::failure(path.string() + ": more than " + std::to_string(streamLimit >> 20) +
                              " MiB came from it and it still did not end; nothing was read");
        }
        auto bigger = std::make_unique_for_overwrite<std::uint8_t[]>(capacity * 2);
        std::memcpy(bigger.get(), buffer.get(), size);
        bigger[size++] = probe;
        buffer = std::move(bigger);
        capacity *= 2;
    }
    const bool bad = std::ferror(file) != 0;
    std::fclose(file);
    if (bad) return R::failure(path.string() + ": read error");
    return FileBytes(Pages::adoptBuffer(std::move(buffer), size));
}

}  // namespace tessarin::util
