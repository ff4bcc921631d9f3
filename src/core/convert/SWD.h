#pragma once
// The sprite file (TR3.swd): replacement sprite textures, their pages as 24-bit pixels, and the
// sprite sequences that a converted TR4 level takes instead of its own sprites.
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "level/TRLevel.h"
#include "util/Result.h"

namespace tessarin::convert {

inline constexpr const char* kCantReadSWDMessage = "Can't read SWD";
inline constexpr const char* kSWDFile = "TR3.swd";
inline constexpr std::size_t kSWDRowBytes = 256 * 3;             // one row of red, green, blue
inline constexpr std::size_t kSWDPageBytes = 256 * kSWDRowBytes;  // one 256 x 256 page

struct SWDData {
    std::int32_t Header = 0;  // read and not used
    std::vector<level::TRSpriteTexture> SpriteTextures;
    // Pixel rows, 256 pixels of red, green, blue each, row after row; PixelBytes is its size.
    std::vector<std::uint8_t> Pixels;
    std::vector<level::TRSpriteSequence> SpriteSequences;

    std::int32_t pixelBytes() const { return static_cast<std::int32_t>(Pixels.size()); }
    std::size_t rows() const { return Pixels.size() / kSWDRowBytes; }
};

// Reads the file; never creates it. Any failure gives "Can't read SWD" with the reason after it.
util::Result<SWDData> ReadSWD(const std::filesystem::path& path);
util::Result<SWDData> ParseSWD(std::span<const std::uint8_t> bytes);

// Where the program's sprite file is: beside the executable, else in ../share/tessarin2/ as
// installed; when neither exists, the path beside the executable (so the refusal names it).
std::filesystem::path swdFileBeside(const std::filesystem::path& executableDir);

// The file's bytes, the inverse of ParseSWD.
std::vector<std::uint8_t> SerializeSWD(const SWDData& swd);

// One sprite-file pixel as a 16-bit page texel: magenta is the transparent colour. The pixel comes
// as red | green << 8 | blue << 16, the bits above ignored, so that a conversion can take each of
// the file's pixels with one four-byte read and no branch.
inline std::uint16_t swdTexel(std::uint32_t pixel) {
    const std::uint32_t rgb = pixel & 0xFFFFFF;
    const auto texel = static_cast<std::uint16_t>(0x8000 | (rgb & 0xF8) << 7 | (rgb >> 6 & 0x3E0) | (rgb >> 19 & 0x1F));
    return rgb == 0xFF00FF ? 0 : texel;
}
inline std::uint16_t swdPixelTo16(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return swdTexel(std::uint32_t{red} | std::uint32_t{green} << 8 | std::uint32_t{blue} << 16);
}

// Every whole pixel of `rgb` (red, green, blue each) as a texel into `out`, which holds one for
// each; eight at a time where the processor can, as a conversion turns whole pages into texels.
void swdTexels(std::span<const std::uint8_t> rgb, std::uint16_t* out);

}  // namespace tessarin::convert
