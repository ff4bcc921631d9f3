#pragma once
// Pages: bytes that are either a mapping of their own or plain heap memory, read from front to
// back; a mapping gives back the pages its reader has passed. FileBytes and PageBuffer differ only
// in how their bytes come to be.
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <memory>

namespace tessarin::util {

class Pages {
public:
    Pages() = default;
    // Takes over a mapping of `size` bytes of memory (unmapped when these pages go).
    static Pages adoptMapping(void* map, std::size_t size);
    // Takes over a mapping of a whole file of `size` bytes, last modified at `modified`, and the
    // file's descriptor (both let go when these pages go). Should another program cut the file
    // short meanwhile, the pages it lost read as zeros rather than killing the program, and
    // fileChanged() says so. Empty pages (and nothing taken over) when that can't be promised
    // here: the caller then reads the file instead.
    static Pages adoptFileMapping(void* map, std::size_t size, int fd, std::timespec modified);
    // Takes over heap memory holding `size` bytes.
    static Pages adoptBuffer(std::unique_ptr<std::uint8_t[]> buffer, std::size_t size);

    Pages(Pages&& other) noexcept;
    Pages& operator=(Pages&& other) noexcept;
    Pages(const Pages&) = delete;
    Pages& operator=(const Pages&) = delete;
    ~Pages();

    std::uint8_t* data() const { return m_data; }
    std::size_t size() const { return m_size; }
    bool mapped() const { return m_map != nullptr; }

    // Whether these pages are a mapped file that is still open (readFile can read from it).
    bool hasFile() const { return m_fd >= 0; }
    // Reads [offset, offset + n) of the mapped file into `dest` from the file itself: the system
    // copies it straight from its cache, and no page of the mapping is touched. False when the file
    // no longer holds those bytes (it shrank, or cannot be read): through the mapping they would
    // read as zeros.
    bool readFile(void* dest, std::size_t offset, std::size_t n) const;
    // Whether the mapped file was cut short, written to or became unreadable since it was mapped:
    // what was read from it may then mix old bytes, new ones and zeros.
    bool fileChanged() const;

    // The whole pages before `upTo` go back to the system (a no-op for heap memory).
    void release(std::size_t upTo);
    // The bytes before `pos` are given back by others (with releaseWithin): release passes over them
    // and over the page holding `pos`, which is theirs too.
    void leaveBefore(std::size_t pos);
    // The whole pages inside [from, to) go back, whatever was given back before; unlike release
    // it changes nothing here, so readers of disjoint parts may call it at once.
    void releaseWithin(std::size_t from, std::size_t to) const;

private:
    void unmap();

    std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
    void* m_map = nullptr;
    int m_fd = -1;
    int m_guard = -1;  // the file mapping's place among the guarded ones
    std::timespec m_fileModified{};  // a mapped file's modification time when it was mapped
    std::size_t m_released = 0;
    std::unique_ptr<std::uint8_t[]> m_buffer;
};

}  // namespace tessarin::util
