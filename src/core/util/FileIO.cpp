#include "util/FileIO.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <system_error>

namespace tessarin::util {

Result<std::vector<std::uint8_t>> readFile(const std::filesystem::path& path) {
    using R = Result<std::vector<std::uint8_t>>;
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return R::failure(path.string() + ": is a folder, not a level file");
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return R::failure(path.string() + ": " + std::strerror(errno));
    // Read straight into a buffer of the file's size; keep reading past it in case the file grew.
    std::vector<std::uint8_t> bytes(std::filesystem::file_size(path, ec));
    if (ec) bytes.clear();
    bytes.resize(bytes.empty() ? 0 : std::fread(bytes.data(), 1, bytes.size(), f));
    std::uint8_t buf[1 << 16];
    for (;;) {
        const std::size_t n = std::fread(buf, 1, sizeof buf, f);
        bytes.insert(bytes.end(), buf, buf + n);
        if (n < sizeof buf) break;
    }
    const bool bad = std::ferror(f) != 0;
    std::fclose(f);
    if (bad) return R::failure(path.string() + ": read error");
    return bytes;
}

Status writeFileSafely(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    // Renaming into place would replace a file marked read-only even where the folder allows it
    // (and always for root), so honour the mark here.
    {
        std::error_code ec;
        const auto st = std::filesystem::status(path, ec);
        using std::filesystem::perms;
        if (!ec && std::filesystem::is_regular_file(st) &&
            (st.permissions() & (perms::owner_write | perms::group_write | perms::others_write)) == perms::none)
            return Status::failure("Can't write " + path.string() + ": the file is read-only; nothing was saved.");
    }
    const auto folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    std::random_device rd;
    const auto tmp = folder / ("." + path.filename().string() + ".tmp" + std::to_string(rd() % 1000000));
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) return Status::failure("Can't write " + path.string() + ": " + std::strerror(errno));
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (std::fflush(f) == 0) && ok;
    ok = (std::fclose(f) == 0) && ok;
    if (!ok) {
        const std::string why = std::strerror(errno);
        std::remove(tmp.c_str());
        return Status::failure("Can't write " + path.string() + ": " + why);
    }
    std::error_code ec;
    // Keep the permissions of the file that is replaced.
    if (auto st = std::filesystem::status(path, ec); !ec && std::filesystem::exists(st))
        std::filesystem::permissions(tmp, st.permissions(), ec);
    std::filesystem::rename(tmp, path, ec);
    if (ec) {
        std::remove(tmp.c_str());
        return Status::failure("Can't write " + path.string() + ": " + ec.message());
    }
    return success();
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
