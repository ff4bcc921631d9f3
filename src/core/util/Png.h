#pragma once
// Png: writes 8-bit RGBA or RGB images as PNG files with zlib, so the core and the command-line
// tool can export pictures without a GUI library.
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "util/Result.h"

namespace tessarin::util {

// Pixels row by row, 4 bytes (red, green, blue, alpha) each.
struct RgbaPixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
    RgbaPixels() = default;
    RgbaPixels(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h * 4, 0) {
        for (std::size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 255;
    }
    void set(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 255) {
        std::uint8_t* p = &pixels[(static_cast<std::size_t>(y) * width + x) * 4];
        p[0] = r, p[1] = g, p[2] = b, p[3] = a;
    }
};

// The PNG file bytes of `image` (colour type 6, or 2 without alpha when `keepAlpha` is false).
// Width and height must be 1 or more and `pixels` must hold them all; otherwise an error.
Result<std::vector<std::uint8_t>> encodePng(const RgbaPixels& image, bool keepAlpha = true);
// Encodes and writes safely (a temporary file renamed into place).
Status writePng(const std::filesystem::path& path, const RgbaPixels& image, bool keepAlpha = true);

}  // namespace tessarin::util
