#include "util/Png.h"

#include <zlib.h>

#include <algorithm>
#include <string>

#include "util/FileIO.h"

namespace tessarin::util {

namespace {

void putU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

// A chunk: length, type, data, and the CRC over type and data.
void putChunk(std::vector<std::uint8_t>& out, const char (&type)[5], std::span<const std::uint8_t> data) {
    putU32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    const uLong crc = crc32(0L, out.data() + typeAt, static_cast<uInt>(4 + data.size()));
    putU32(out, static_cast<std::uint32_t>(crc));
}

}  // namespace

Result<std::vector<std::uint8_t>> encodePng(const RgbaPixels& image, bool keepAlpha) {
    using R = Result<std::vector<std::uint8_t>>;
    // Limits keep every size below in 32 bits; no picture we export comes near them.
    constexpr int kMaxSide = 16384;
    if (image.width < 1 || image.height < 1 || image.width > kMaxSide || image.height > kMaxSide)
        return R::failure("cannot write a " + std::to_string(image.width) + " x " + std::to_string(image.height) +
                          " picture");
    const std::size_t w = static_cast<std::size_t>(image.width), h = static_cast<std::size_t>(image.height);
    if (image.pixels.size() != w * h * 4) return R::failure("picture data does not match its size");

    // Filter byte 0 (none) before each row; the rows are deflated one at a time, so that a big
    // picture is not held a second and a third time as filtered rows and a worst-case buffer.
    const std::size_t channels = keepAlpha ? 4 : 3;
    z_stream z{};
    if (deflateInit(&z, 6) != Z_OK) return R::failure("compressing the picture failed");
    std::vector<std::uint8_t> packed;
    std::vector<std::uint8_t> buffer(65536);
    auto pump = [&](int flush) {
        do {
            z.next_out = buffer.data();
            z.avail_out = static_cast<uInt>(buffer.size());
            if (deflate(&z, flush) == Z_STREAM_ERROR) return false;
            packed.insert(packed.end(), buffer.data(), buffer.data() + (buffer.size() - z.avail_out));
        } while (z.avail_out == 0);
        return true;
    };
    std::vector<std::uint8_t> row(1 + w * channels, 0);
    bool ok = true;
    for (std::size_t y = 0; y < h && ok; ++y) {
        const std::uint8_t* src = &image.pixels[y * w * 4];
        if (keepAlpha) std::copy(src, src + w * 4, row.begin() + 1);
        else
            for (std::size_t x = 0; x < w; ++x) std::copy(src + x * 4, src + x * 4 + 3, row.begin() + 1 + static_cast<std::ptrdiff_t>(x * 3));
        z.next_in = row.data();
        z.avail_in = static_cast<uInt>(row.size());
        ok = pump(Z_NO_FLUSH);
    }
    ok = ok && pump(Z_FINISH);
    deflateEnd(&z);
    if (!ok) return R::failure("compressing the picture failed");

    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<std::uint8_t> header;
    putU32(header, static_cast<std::uint32_t>(w));
    putU32(header, static_cast<std::uint32_t>(h));
    header.insert(header.end(), {8, static_cast<std::uint8_t>(keepAlpha ? 6 : 2), 0, 0, 0});
    putChunk(out, "IHDR", header);
    putChunk(out, "IDAT", packed);
    putChunk(out, "IEND", {});
    return out;
}

Status writePng(const std::filesystem::path& path, const RgbaPixels& image, bool keepAlpha) {
    auto bytes = encodePng(image, keepAlpha);
    if (!bytes) return Status::failure(bytes.error());
    return writeFileSafely(path, *bytes);
}

}  // namespace tessarin::util
