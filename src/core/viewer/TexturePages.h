#pragma once
// TexturePages: the level's texture pages as one RGBA strip, page i below page i - 1.
#include <cstdint>
#include <string>
#include <vector>

#include "level/TRLevel.h"

namespace tessarin::viewer {

// Bytes red, green, blue, alpha per pixel, rows of kPageSize pixels.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

inline constexpr int kPageSize = 256;

// One pixel's colour, alpha in the top byte: 0xAARRGGBB.
using Argb = std::uint32_t;

// TR1: palette entry c with each 6-bit channel times 4; c = 0 is a transparent black.
Argb colourTR1(const level::TRLevel& level, std::uint8_t c);
// TR2/TR3: 5 bits per channel scaled to 0..248; all-black texels become (1, 1, 1) so none is keyed out.
Argb colourTR2(std::uint16_t w);
// TR4/TR5: bytes blue, green, red, alpha in memory order; a black texel stays black and transparent.
Argb colourTR4(std::uint32_t bgra);

// Every page of the level (NumTextiles of them) in the colour rules of its version. Pages whose
// texels the file did not hold come out black, so a short array is never read past its end.
RgbaImage BuildTexturePages(const level::TRLevel& level);

// The pages are painted column by column; after every column that is a multiple of 3 the window
// takes its events and shows this caption: "Building tiles -" + Int(column * 100 / 255) + "%"
// in the program's number form ("Building tiles - 50%" at column 129).
bool IsProgressColumn(int column);
std::string BuildingTilesCaption(int column);

}  // namespace tessarin::viewer
