#pragma once
// MapImage: the room map drawn into pixels without a GUI library - the same cells, outlines and
// marks the window paints, at a whole-number scale, for exports.
#include "editor/SectorMap.h"
#include "util/Png.h"

namespace tessarin::editor {

inline constexpr int kMinMapScale = 1;
inline constexpr int kMaxMapScale = 8;

// The whole canvas of the map (10 NumZSectors x 10 NumXSectors pixels at scale 1, ignoring the
// scroll offset) drawn as the window draws it at zoom `scale`. An empty map gives a 1 x 1 black picture.
// `scale` is clamped to kMinMapScale..kMaxMapScale.
util::RgbaPixels renderMapImage(const SectorMap& map, int scale);

}  // namespace tessarin::editor
