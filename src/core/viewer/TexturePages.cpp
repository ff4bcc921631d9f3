#include "viewer/TexturePages.h"

#include <algorithm>

#include "util/NumberText.h"

namespace tessarin::viewer {

namespace {

constexpr Argb kOpaque = 0xFF000000u;

Argb rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) { return kOpaque | (r << 16) | (g << 8) | b; }

// A count no real level comes near; it keeps a damaged count from asking for gigabytes.
constexpr std::int64_t kMaxPages = 1024;

std::size_t pageCount(const level::TRLevel& level) {
    const std::int64_t pages = std::clamp<std::int64_t>(level.NumTextiles, 0, kMaxPages);
    return static_cast<std::size_t>(pages);
}

}  // namespace

Argb colourTR1(const level::TRLevel& level, std::uint8_t c) {
    if (c == 0) return 0;
    const std::size_t i = static_cast<std::size_t>(c) * 3;
    return rgb(level.Palette[i] * 4u & 0xFF, level.Palette[i + 1] * 4u & 0xFF, level.Palette[i + 2] * 4u & 0xFF);
}

Argb colourTR2(std::uint16_t w) {
    const std::uint32_t r = (w & 0x7C00u) / 128;
    const std::uint32_t g = (w & 0x03E0u) / 4;
    const std::uint32_t b = (w & 0x001Fu) * 8;
    if (r == 0 && g == 0 && b == 0) return rgb(1, 1, 1);
    return rgb(r, g, b);
}

Argb colourTR4(std::uint32_t bgra) {
    // Read as a little-endian word the bytes B, G, R, A already sit where ARGB wants them.
    const std::uint32_t colour = bgra & 0x00FFFFFFu;
    return colour == 0 ? 0 : kOpaque | colour;
}

RgbaImage BuildTexturePages(const level::TRLevel& level) {
    RgbaImage image;
    const std::size_t pages = pageCount(level);
    image.width = kPageSize;
    image.height = static_cast<int>(pages * kPageSize);
    const std::size_t texels = pages * level::kTextilePixels;
    image.pixels.assign(texels * 4, 0);

    auto put = [&](std::size_t i, Argb c) {
        std::uint8_t* p = &image.pixels[i * 4];
        p[0] = static_cast<std::uint8_t>(c >> 16);
        p[1] = static_cast<std::uint8_t>(c >> 8);
        p[2] = static_cast<std::uint8_t>(c);
        p[3] = static_cast<std::uint8_t>(c >> 24);
    };
    switch (level.LevelVersion) {
    case level::kVersionTR1:
        for (std::size_t i = 0; i < std::min(texels, level.Textile8.size()); ++i) put(i, colourTR1(level, level.Textile8[i]));
        break;
    case level::kVersionTR2:
    case level::kVersionTR3:
        for (std::size_t i = 0; i < std::min(texels, level.Textile16.size()); ++i) put(i, colourTR2(level.Textile16[i]));
        break;
    case level::kVersionTR4:
    case level::kVersionTR5:
        for (std::size_t i = 0; i < std::min(texels, level.Textile32.size()); ++i) put(i, colourTR4(level.Textile32[i]));
        break;
    default:
        break;
    }
    return image;
}

bool IsProgressColumn(int column) { return column >= 0 && column % 3 == 0; }

std::string BuildingTilesCaption(int column) {
    return "Building tiles -" + util::numberForm(static_cast<std::int64_t>(column) * 100 / 255) + "%";
}

}  // namespace tessarin::viewer
