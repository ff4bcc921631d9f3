#pragma once
// Whole files: reading one, replacing one safely, and finding the program's data files.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "util/Result.h"

namespace tessarin::util {

// Reads a whole file; an unreadable file is an error naming it.
Result<std::vector<std::uint8_t>> readFile(const std::filesystem::path& path);

// Writes a temporary file beside the target and renames it into place only when every byte is
// written, so a failed save never damages the file that was there.
Status writeFileSafely(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

// The same, for a writer that hands its bytes over piece by piece (a large level is never held
// whole in memory): open(), write() as the pieces fill, then commit(). Until commit() succeeds the
// target is untouched; a writer dropped before that removes its temporary file.
class SafeFileWriter {
public:
    explicit SafeFileWriter(std::filesystem::path path);
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;
    ~SafeFileWriter();

    // Refuses a target marked read-only and creates the temporary file beside it.
    Status open();
    // Asks the file system for the blocks of `size` bytes before they are written. False when the
    // disk or quota can't hold them (nothing has been written then); a file system that can't set
    // blocks aside simply takes the bytes as they come.
    bool reserve(std::uint64_t size);
    // False once anything has failed; the first failure is what commit() reports.
    bool write(const void* data, std::size_t size);
    // Closes the temporary file, gives it the target's permissions and renames it into place.
    Status commit();
    // Gives up: the temporary file is removed and the target stays as it was.
    void abandon();

private:
    Status fail(const std::string& why);

    std::filesystem::path m_path;    // as the caller named it, for messages
    std::filesystem::path m_target;  // where the bytes go: m_path, or the file its links lead to
    std::filesystem::path m_temp;
    int m_fd = -1;
    int m_replaced = -1;  // a hold on the large file the save replaces (see open())
    unsigned m_keepMode = 0;  // the replaced file's permission bits, when there is one
    bool m_replaces = false;
    std::string m_error;
};

// The folder of the running executable (the working folder when the system can't say).
std::filesystem::path programFolder();

// A data file of the program: beside the executable, else installed in ../share/tessarin2/. When
// neither exists, the path beside the executable, so messages name where it was expected.
std::filesystem::path findDataFile(const std::filesystem::path& programDir, const std::string& name);

}  // namespace tessarin::util
