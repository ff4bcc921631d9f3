#include "support/PngRead.h"

#include <zlib.h>

#include <cstring>

#include "util/FileIO.h"

namespace tessarin::test {

namespace {

std::uint32_t u32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

}  // namespace

std::optional<util::RgbaPixels> readOwnPng(const std::filesystem::path& path) {
    auto file = util::readFile(path);
    if (!file) return std::nullopt;
    const std::vector<std::uint8_t>& b = *file;
    if (b.size() < 8 || std::memcmp(b.data(), "\x89PNG\r\n\x1a\n", 8) != 0) return std::nullopt;
    int width = 0, height = 0, channels = 0;
    std::vector<std::uint8_t> packed;
    for (std::size_t at = 8; at + 12 <= b.size();) {
        const std::uint32_t len = u32(&b[at]);
        if (len > b.size() - at - 12) return std::nullopt;
        const std::uint8_t* type = &b[at + 4];
        const std::uint8_t* data = type + 4;
        if (crc32(0L, type, len + 4) != u32(data + len)) return std::nullopt;
        if (std::memcmp(type, "IHDR", 4) == 0) {
            width = static_cast<int>(u32(data));
            height = static_cast<int>(u32(data + 4));
            channels = data[9] == 6 ? 4 : data[9] == 2 ? 3 : 0;
            if (data[8] != 8 || channels == 0) return std::nullopt;
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            packed.insert(packed.end(), data, data + len);
        }
        at += 12 + len;
    }
    if (width <= 0 || height <= 0) return std::nullopt;
    const std::size_t stride = 1 + static_cast<std::size_t>(width) * channels;
    std::vector<std::uint8_t> raw(stride * static_cast<std::size_t>(height));
    uLongf rawSize = static_cast<uLongf>(raw.size());
    if (uncompress(raw.data(), &rawSize, packed.data(), static_cast<uLong>(packed.size())) != Z_OK || rawSize != raw.size())
        return std::nullopt;
    util::RgbaPixels img(width, height);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = &raw[static_cast<std::size_t>(y) * stride];
        if (row[0] != 0) return std::nullopt;
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = row + 1 + static_cast<std::size_t>(x) * channels;
            img.set(x, y, p[0], p[1], p[2], channels == 4 ? p[3] : 255);
        }
    }
    return img;
}

}  // namespace tessarin::test
