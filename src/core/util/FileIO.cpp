#include "util/FileIO.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <limits>
#include <mutex>
#include <system_error>
#include <utility>
#include <vector>

#include "util/FileBytes.h"
#include "util/KeptThread.h"

namespace tessarin::util {

Result<std::vector<std::uint8_t>> readFile(const std::filesystem::path& path) {
    auto file = FileBytes::read(path);
    if (!file) return Result<std::vector<std::uint8_t>>::failure(file.error());
    const std::span<const std::uint8_t> bytes = file->bytes();
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

namespace {

// A name for the temporary file that no other save is using at the same moment; open() makes
// sure with O_EXCL and asks again on a clash.
std::string temporaryName(const std::filesystem::path& path, unsigned attempt) {
    static std::atomic<unsigned> counter{0};
    const auto clock = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    const unsigned long long mix = clock * 0x9E3779B97F4A7C15ull + static_cast<unsigned long long>(::getpid()) * 1000003u +
                                   counter.fetch_add(1) + attempt;
    // Kept within a name's 255 bytes: a level whose own name is near that long must still save.
    constexpr std::size_t kAdded = 1 + 4 + 6;  // the dot before, ".tmp" and six digits after
    const std::string name = path.filename().string().substr(0, 255 - kAdded);
    return "." + name + ".tmp" + std::to_string((mix >> 20) % 1000000);
}

// Closes the holds on replaced files, one after another, on a thread kept for the life of the
// program from the first use (holds still queued at exit are closed by the system).
class Releaser {
public:
    static void close(int fd) {
        static Releaser* const releaser = startKeptThread<Releaser>();
        if (!releaser) {
            ::close(fd);
            return;
        }
        try {
            std::lock_guard lock(releaser->m_mutex);
            releaser->m_fds.push_back(fd);
            releaser->m_changed.notify_one();
        } catch (...) {
            ::close(fd);  // the save is done: only its speed is at stake
        }
    }

    void serve() {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [this] { return !m_fds.empty(); });
            const std::vector<int> fds = std::exchange(m_fds, {});
            lock.unlock();
            for (int fd : fds) ::close(fd);
            lock.lock();
        }
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<int> m_fds;
};

}  // namespace

Status writeFileSafely(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    SafeFileWriter out(path);
    if (auto st = out.open(); !st) return st;
    if (out.reserve(bytes.size())) out.write(bytes.data(), bytes.size());
    return out.commit();
}

SafeFileWriter::SafeFileWriter(std::filesystem::path path) : m_path(std::move(path)) {}

SafeFileWriter::~SafeFileWriter() { abandon(); }

Status SafeFileWriter::fail(const std::string& why) {
    if (m_error.empty()) m_error = "Can't write " + m_path.string() + ": " + why;
    return Status::failure(m_error);
}

Status SafeFileWriter::open() {
    // A save through symbolic links goes to the file they lead to, even one not there yet:
    // renaming over a link would put a plain file in its place and leave the level it points at
    // as it was. A loop of links ends the walk at some link, which is then replaced.
    m_target = m_path;
    std::error_code ec;
    for (int hops = 0; hops < 40 && std::filesystem::is_symlink(m_target, ec); ++hops) {
        const std::filesystem::path next = std::filesystem::read_symlink(m_target, ec);
        if (ec) break;
        m_target = next.is_absolute() ? next : m_target.parent_path() / next;
    }
    // One look at the target: renaming into place would replace a file marked read-only even where
    // the folder allows it (and always for root), so the mark is honoured here; the permissions of
    // a file that is replaced are kept.
    struct stat st {};
    if (::stat(m_target.c_str(), &st) == 0) {
        // Renaming into place would put a plain file where a device, pipe or socket was (for root even
        // /dev/null) and report the bytes as written to it; a folder cannot be replaced at all.
        if (S_ISDIR(st.st_mode)) return fail("it is a folder; nothing was saved.");
        if (!S_ISREG(st.st_mode)) return fail("it is a device, pipe or socket, not a file; nothing was saved.");
        if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return fail("the file is read-only; nothing was saved.");
        // Nor a file the user may not write, in a folder that lets anyone rename into it: the
        // rename would replace a colleague's level and make it the user's own.
        if (::faccessat(AT_FDCWD, m_target.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES)
            return fail("you may not write to the file; nothing was saved.");
        m_replaces = true;
        m_keepMode = st.st_mode & 07777;
        // The file system frees (and here discards) a replaced file's blocks when the rename drops
        // its last name, which for tens of megabytes takes longer than writing them, and even for a
        // file of a few kilobytes about 0.1 ms, half the save of a small level. Holding the file
        // open lets that happen later, off the saving thread.
        if (st.st_size > 0) {
            m_replaced = ::open(m_target.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
            struct stat held {};
            if (m_replaced >= 0 && (::fstat(m_replaced, &held) != 0 || !S_ISREG(held.st_mode))) {
                ::close(m_replaced);
                m_replaced = -1;
            }
        }
    }
    const auto folder = m_target.has_parent_path() ? m_target.parent_path() : std::filesystem::path(".");
    // O_EXCL: never write through something already lying at the temporary name (a link planted
    // there would otherwise redirect the save).
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        m_temp = folder / temporaryName(m_target, attempt);
        m_fd = ::open(m_temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd >= 0) return success();
        if (errno != EEXIST) break;
    }
    const std::string why = std::strerror(errno);
    m_temp.clear();
    return fail(why);
}

bool SafeFileWriter::reserve(std::uint64_t size) {
    if (m_fd < 0 || !m_error.empty()) return false;
    if (size == 0 || size > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) return true;
    // Blocks set aside up front spare the file system reserving them page by page as the bytes
    // arrive (on ext4 a quarter of writing a few megabytes), and a full disk is found before writing.
    // KEEP_SIZE: a save that stops early leaves no run of zeros at the end of its file.
    int rc;
    do rc = ::fallocate(m_fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size));
    while (rc != 0 && errno == EINTR);
    if (rc == 0 || (errno != ENOSPC && errno != EDQUOT && errno != EFBIG)) return true;
    fail(std::strerror(errno));
    return false;
}

bool SafeFileWriter::write(const void* data, std::size_t size) {
    if (m_fd < 0 || !m_error.empty()) return false;
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(m_fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            fail(n < 0 ? std::strerror(errno) : "nothing more could be written");
            return false;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

Status SafeFileWriter::commit() {
    if (m_fd < 0 && m_error.empty()) return fail("the file was not opened");
    if (m_error.empty() && m_replaces) ::fchmod(m_fd, static_cast<mode_t>(m_keepMode));
    // Errors of delayed writes show up when the file is closed.
    if (m_fd >= 0 && ::close(m_fd) != 0) fail(std::strerror(errno));
    m_fd = -1;
    if (m_error.empty() && ::rename(m_temp.c_str(), m_target.c_str()) != 0) fail(std::strerror(errno));
    if (!m_error.empty()) {
        abandon();
        return Status::failure(m_error);
    }
    m_temp.clear();
    if (m_replaced >= 0) Releaser::close(std::exchange(m_replaced, -1));
    return success();
}

void SafeFileWriter::abandon() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    // Nothing was replaced: letting go of the old file is quick.
    if (m_replaced >= 0) ::close(m_replaced);
    m_replaced = -1;
    if (!m_temp.empty()) ::unlink(m_temp.c_str());
    m_temp.clear();
}

std::filesystem::path programFolder() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::current_path(ec) : exe.parent_path();
}

std::filesystem::path findDataFile(const std::filesystem::path& programDir, const std::string& name) {
    const auto beside = programDir / name;
    const auto installed = programDir / ".." / "share" / "tessarin2" / name;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(beside, ec) && std::filesystem::is_regular_file(installed, ec))
        return installed;
    return beside;
}

}  // namespace tessarin::util
