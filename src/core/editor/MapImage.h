#pragma once
// MapImage: the room map drawn into pixels without a GUI library - the same cells, outlines and
// marks the window paints, at a whole-number scale, for exports.
#include "editor/SectorMap.h"
#include "util/Png.h"

namespace tessarin::editor {

inline constexpr int kMinMapScale = 1;
inline constexpr int kMaxMapScale = 8;

// The whole map (cell NumZSectors x cell NumXSectors pixels, ignoring the scroll offset) drawn as
// the window draws it with cells of `cell` pixels (10 is the usual map; the command line's scale N
// is 10 N). `cell` is clamped to SectorMap::kMinCell..10 kMaxMapScale. An empty map gives a 1 x 1
// black picture.
util::RgbaPixels renderMapImage(const SectorMap& map, int cell);

}  // namespace tessarin::editor
