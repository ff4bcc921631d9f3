#pragma once
// TexturePage: procedurally drawn texture pages of our own (stone, wood, metal and a few more) and
// the object textures that map faces onto them, in the pixel forms every version stores.
#include <cstdint>
#include <string>

#include "level/TRLevel.h"

namespace tessarin::levelgen {

// The materials drawn on the page, one 64 x 64 tile each.
enum class Material : int {
    StoneWall, WoodWall, MetalWall, StoneFloor, WoodFloor, MetalGrate, Ceiling, Lever, Door, Crate, Pickup, Marker,
    Count
};

inline constexpr int kMaterialCount = static_cast<int>(Material::Count);

// Object-texture index of a material's rectangle texture; its triangle texture is the next one.
inline std::int16_t quadTexture(Material m) { return static_cast<std::int16_t>(2 * static_cast<int>(m)); }
inline std::int16_t triangleTexture(Material m) { return static_cast<std::int16_t>(2 * static_cast<int>(m) + 1); }

// Material by name ("stone", "wood", "metal", ...); throws BuildError for an unknown name.
Material materialByName(const std::string& name);

// Draws one page into the level (call it once, before any other object texture is added) in the version's pixel forms (8-bit with palette and light map,
// 16-bit, 32-bit) and adds the object textures, two per material. `seed` varies the grain.
void addTexturePage(level::TRLevel& level, std::int16_t version, std::uint32_t seed);

}  // namespace tessarin::levelgen
