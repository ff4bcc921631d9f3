#pragma once
// MeshShapes: simple textured meshes (boxes, pyramids) written into a level's mesh data in the
// layout of its version.
#include <cstdint>

#include "TexturePage.h"
#include "level/TRLevel.h"

namespace tessarin::levelgen {

// Appends a box of half-width `halfX`/`halfZ` standing on y = 0 and `height` tall, every side
// textured with `m`; returns its mesh index (into MeshPointers).
int addBoxMesh(level::TRLevel& level, std::int16_t version, int halfX, int halfZ, int height, Material m);

// Appends a four-sided pyramid (a square base and four triangles); returns its mesh index.
int addPyramidMesh(level::TRLevel& level, std::int16_t version, int half, int height, Material m);

}  // namespace tessarin::levelgen
