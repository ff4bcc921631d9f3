#pragma once
// The texture-tile table: per object texture, its page and the corner nearest the page origin.
#include <span>
#include <string>
#include <vector>

#include "level/TRLevel.h"
#include "util/Result.h"

namespace tessarin::level {

// TR1-TR3 object textures. Textures whose values do not fit add a warning
// ("ConvertTextInfo -> Error reading texture N") and the table goes on.
std::vector<TextureTile> ConvertTextInfo(std::span<const TRObjectTexture> textures,
                                                std::vector<std::string>* warnings = nullptr);

// TR4/TR5 object textures of the level: fills level.TextureTiles and clears bit 15 of every Tile.
// A texture reaching past its page refuses the level ("ConvertTR5TextInfo -> ObjectTexture N invalid").
util::Status ConvertTR5TextInfo(TRLevel& level);

// The corner layout of a TR1-TR3 texture: which edge corners 0 and 1 stand on, as one of the
// eight codes 0x0000 .. 0xE000.
std::uint16_t cornerLayout(const TRObjectTexture& texture);

}  // namespace tessarin::level
