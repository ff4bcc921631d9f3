#include "TexturePage.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "LevelBuilder.h"

namespace tessarin::levelgen {

using namespace tessarin::level;

namespace {

constexpr int kTile = 64;
constexpr int kTilesPerRow = 256 / kTile;

struct Rgb {
    int r, g, b;
};

// A small integer hash: the same pixel and seed always give the same grain.
std::uint32_t hash(std::uint32_t x, std::uint32_t y, std::uint32_t seed) {
    std::uint32_t h = x * 374761393u + y * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

int noise(int x, int y, std::uint32_t seed, int amount) {
    return static_cast<int>(hash(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), seed) % static_cast<std::uint32_t>(2 * amount + 1)) - amount;
}

Rgb shade(Rgb c, int d) { return {c.r + d, c.g + d, c.b + d}; }

// One texel of a material at (x, y) inside its 64 x 64 tile.
Rgb texel(Material m, int x, int y, std::uint32_t seed) {
    const int n = noise(x, y, seed + static_cast<std::uint32_t>(m), 12);
    switch (m) {
    case Material::StoneWall: {  // bricks: rows of 16, offset every other row, dark mortar
        const int row = y / 16;
        const int bx = (x + (row % 2) * 16) % 32;
        if (y % 16 == 0 || bx == 0) return {70, 66, 60};
        const int brick = noise(row, (x + (row % 2) * 16) / 32, seed, 14);
        return shade({140, 132, 118}, n + brick);
    }
    case Material::WoodWall:
    case Material::WoodFloor: {  // planks with grain along one axis
        const bool alongX = m == Material::WoodFloor;
        const int across = alongX ? y : x, along = alongX ? x : y;
        if (across % 16 == 0) return {60, 38, 20};
        const int grain = static_cast<int>(10 * std::sin((along + 7 * (across / 16)) * 0.35 + across * 0.9));
        return shade({150, 100, 55}, grain + n / 2);
    }
    case Material::MetalWall: {  // plates with rivets at the corners
        const int px = x % 32, py = y % 32;
        if (px == 0 || py == 0) return {50, 55, 62};
        if ((px == 4 || px == 28) && (py == 4 || py == 28)) return {200, 205, 215};
        return shade({110, 118, 130}, n / 2 + (px + py) / 8);
    }
    case Material::StoneFloor: {  // large square flags
        if (x % 32 == 0 || y % 32 == 0) return {80, 78, 72};
        return shade({165, 160, 150}, n + noise(x / 32, y / 32, seed, 10));
    }
    case Material::MetalGrate: {
        const bool bar = x % 8 < 2 || y % 8 < 2;
        return bar ? shade({130, 135, 140}, n / 3) : Rgb{25, 25, 30};
    }
    case Material::Ceiling: return shade({120, 120, 128}, n / 2);
    case Material::Lever: {  // warning stripes
        const bool stripe = ((x + y) / 8) % 2 == 0;
        return stripe ? Rgb{220, 180, 30} : Rgb{40, 40, 40};
    }
    case Material::Door: {  // dark wood with iron bands
        if (y % 21 < 3) return shade({70, 70, 76}, n / 3);
        return shade({95, 60, 35}, n / 2);
    }
    case Material::Crate: {
        if (x < 4 || y < 4 || x > 59 || y > 59 || std::abs(x - y) < 3) return {90, 60, 30};
        return shade({170, 125, 70}, n / 2);
    }
    case Material::Pickup: {  // a white cross on green
        const bool cross = (x > 26 && x < 38) || (y > 26 && y < 38);
        return cross ? Rgb{235, 235, 235} : shade({40, 150, 60}, n / 3);
    }
    case Material::Marker:
    case Material::Count: break;
    }
    return ((x / 8 + y / 8) % 2) ? Rgb{200, 40, 160} : Rgb{30, 30, 30};
}

int clamp255(int v) { return std::clamp(v, 0, 255); }

// Index into a 6 x 6 x 6 colour cube; palette entry 0 stays black (transparent in the games).
std::uint8_t paletteIndex(Rgb c) {
    auto level = [](int v) { return (clamp255(v) * 5 + 127) / 255; };
    return static_cast<std::uint8_t>(1 + level(c.r) * 36 + level(c.g) * 6 + level(c.b));
}

TRObjectTexture objectTexture(Material m, bool triangle, std::int16_t version, std::int16_t page) {
    const int tx = (static_cast<int>(m) % kTilesPerRow) * kTile, ty = (static_cast<int>(m) / kTilesPerRow) * kTile;
    const auto lo = [](int p) { return static_cast<std::uint8_t>(p); };
    const auto hi = [](int p) { return static_cast<std::uint8_t>(p + kTile - 1); };
    // Corner coordinate bytes: 1 on the low edge of the rectangle, 255 on the high edge.
    const TRTextureCorner c00{1, lo(tx), 1, lo(ty)}, c10{255, hi(tx), 1, lo(ty)}, c11{255, hi(tx), 255, hi(ty)},
        c01{1, lo(tx), 255, hi(ty)};
    TRObjectTexture t;
    t.Attribute = 0;
    t.Tile = page;
    t.Vertices = triangle ? std::array<TRTextureCorner, 4>{c00, c10, c01, TRTextureCorner{}}
                          : std::array<TRTextureCorner, 4>{c00, c10, c11, c01};
    if (version >= kVersionTR4) {
        t.NewFlags = triangle ? 1 : 0;
        t.Width = kTile - 1;
        t.Height = kTile - 1;
    }
    return t;
}

}  // namespace

Material materialByName(const std::string& name) {
    static const char* const names[] = {"stone", "wood", "metal", "flagstone", "planks", "grate",
                                        "ceiling", "lever", "door", "crate", "pickup", "marker"};
    for (int i = 0; i < kMaterialCount; ++i)
        if (name == names[i]) return static_cast<Material>(i);
    throw BuildError("unknown material '" + name + "'");
}

void addTexturePage(TRLevel& L, std::int16_t v, std::uint32_t seed) {
    const std::size_t base = static_cast<std::size_t>(L.NumTextiles) * kTextilePixels;
    L.NumTextiles += 1;
    if (v < kVersionTR4) L.Textile8.resize(base + kTextilePixels, 0);
    if (v > kVersionTR1) L.Textile16.resize(base + kTextilePixels, 0);
    if (v >= kVersionTR4) {
        L.Textile32.resize(base + kTextilePixels, 0);
        L.NumRoomTextiles = static_cast<std::int16_t>(L.NumTextiles);
    }
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const int tile = (y / kTile) * kTilesPerRow + x / kTile;
            const Rgb c = tile < kMaterialCount ? texel(static_cast<Material>(tile), x % kTile, y % kTile, seed)
                                                : texel(Material::Marker, x, y, seed);
            const int r = clamp255(c.r), g = clamp255(c.g), b = clamp255(c.b);
            const std::size_t i = base + static_cast<std::size_t>(y) * 256 + static_cast<std::size_t>(x);
            if (v < kVersionTR4) L.Textile8[i] = paletteIndex(c);
            if (v > kVersionTR1) L.Textile16[i] = static_cast<std::uint16_t>(0x8000 | ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
            if (v >= kVersionTR4) L.Textile32[i] = 0xFF000000u | (static_cast<std::uint32_t>(r) << 16) | (static_cast<std::uint32_t>(g) << 8) | static_cast<std::uint32_t>(b);
        }
    if (v < kVersionTR4) {
        // 6-bit palette entries of the colour cube, and light tables that darken towards table 31.
        for (int i = 1; i < 217; ++i) {
            const int ci = i - 1;
            L.Palette[static_cast<std::size_t>(3 * i)] = static_cast<std::uint8_t>((ci / 36) * 63 / 5);
            L.Palette[static_cast<std::size_t>(3 * i + 1)] = static_cast<std::uint8_t>((ci / 6 % 6) * 63 / 5);
            L.Palette[static_cast<std::size_t>(3 * i + 2)] = static_cast<std::uint8_t>((ci % 6) * 63 / 5);
        }
        for (int t = 0; t < 32; ++t)
            for (int c = 0; c < 256; ++c) {
                int out = c;
                if (c >= 1 && c < 217 && t > 16) {
                    const int k = c - 1, d = (t - 16) / 6;
                    out = 1 + std::max(k / 36 - d, 0) * 36 + std::max(k / 6 % 6 - d, 0) * 6 + std::max(k % 6 - d, 0);
                }
                L.LightMap[static_cast<std::size_t>(t * 256 + c)] = static_cast<std::uint8_t>(out);
            }
        if (v > kVersionTR1)
            for (int i = 0; i < 256; ++i) {
                L.Palette16[static_cast<std::size_t>(4 * i)] = static_cast<std::uint8_t>(L.Palette[static_cast<std::size_t>(3 * i)] * 4);
                L.Palette16[static_cast<std::size_t>(4 * i + 1)] = static_cast<std::uint8_t>(L.Palette[static_cast<std::size_t>(3 * i + 1)] * 4);
                L.Palette16[static_cast<std::size_t>(4 * i + 2)] = static_cast<std::uint8_t>(L.Palette[static_cast<std::size_t>(3 * i + 2)] * 4);
            }
    }
    for (int m = 0; m < kMaterialCount; ++m) {
        const auto page = static_cast<std::int16_t>(L.NumTextiles - 1);
        L.ObjectTextures.push_back(objectTexture(static_cast<Material>(m), false, v, page));
        L.ObjectTextures.push_back(objectTexture(static_cast<Material>(m), true, v, page));
    }
}

}  // namespace tessarin::levelgen
