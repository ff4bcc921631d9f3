#pragma once
// Reads back the PNG files our own writer makes (8-bit RGB/RGBA, unfiltered rows), checking every
// chunk's CRC, so tests can compare exported pixels with the model they came from.
#include <filesystem>
#include <optional>

#include "util/Png.h"

namespace tessarin::test {

std::optional<util::RgbaPixels> readOwnPng(const std::filesystem::path& path);

}  // namespace tessarin::test
