#pragma once
// A small hand-made level for the polygon tests: one room of 4 x 4 sectors at sector (2, 3),
// a flat square on sector (1, 2) and a triangle beside it, two object textures.
#include "level/TRLevel.h"

namespace tessarin::viewertest {

inline level::TRObjectTexture objectTexture(std::int16_t attribute, std::uint8_t u0, std::uint8_t v0, std::uint8_t u1,
                                            std::uint8_t v1) {
    level::TRObjectTexture t;
    t.Attribute = attribute;
    // Corners 0..3 of the rectangle (u0, v0) - (u1, v1), clockwise from the reference corner.
    const std::uint8_t us[] = {u0, u1, u1, u0}, vs[] = {v0, v0, v1, v1};
    for (std::size_t k = 0; k < 4; ++k) t.Vertices[k] = {0, us[k], 0, vs[k]};
    return t;
}

inline level::TRLevel polygonLevel() {
    level::TRLevel l;
    l.LevelVersion = level::kVersionTR3;
    l.ObjectTextures = {objectTexture(0, 0, 0, 63, 63), objectTexture(2, 64, 128, 127, 191)};
    l.TextureTiles = {{0, 0, 4, 0, 0, 0, 0}, {64, 128, 7, 0, 0, 0, 0}};
    level::TRRoom r;
    r.X = 2 * 1024;
    r.Z = 3 * 1024;
    r.YTop = -2048;
    r.YBottom = 0;
    r.NumXSectors = 4;
    r.NumZSectors = 4;
    r.Sectors.resize(16);
    // The four corners of sector (1, 2) on the floor, then a vertex one step above it.
    r.Vertices = {{1024, 0, 2048, 0, 0, 0}, {2048, 0, 2048, 0, 0, 0}, {2048, 0, 3072, 0, 0, 0},
                  {1024, 0, 3072, 0, 0, 0}, {2048, -1024, 2048, 0, 0, 0}};
    r.Rectangles = {{{0, 1, 2, 3}, 0, 0}};
    r.Triangles = {{{1, 2, 4}, 1, 0}};
    l.Rooms.push_back(r);
    return l;
}

}  // namespace tessarin::viewertest
