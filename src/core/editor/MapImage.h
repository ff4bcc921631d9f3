#pragma once
// MapImage: the room map drawn into pixels without a GUI library - the same cells, outlines and
// marks the window paints, at a whole-number scale, for exports.
#include <cstdint>
#include <string>

#include "editor/SectorMap.h"
#include "util/Png.h"

namespace tessarin::editor {

inline constexpr int kMinMapScale = 1;
inline constexpr int kMaxMapScale = 8;

// The most pixels an exported map may have (64 MB of RGBA, as much again while it is encoded): a
// 50 x 50 room at scale 8 has 16 M, a room a crafted file makes 2000 sectors wide would have billions.
inline constexpr std::int64_t kMaxMapImagePixels = std::int64_t{16} << 20;

// "" when the map drawn with cells of `cell` pixels keeps within kMaxMapImagePixels, else the
// refusal naming its size.
std::string mapImageRefusal(const SectorMap& map, int cell);

// The whole map (cell NumZSectors x cell NumXSectors pixels, ignoring the scroll offset) drawn as
// the window draws it with cells of `cell` pixels (10 is the usual map; the command line's scale N
// is 10 N). `cell` is clamped to SectorMap::kMinCell..10 kMaxMapScale. An empty map gives a 1 x 1
// black picture. Throws util::Error with mapImageRefusal's text for a picture past the ceiling.
util::RgbaPixels renderMapImage(const SectorMap& map, int cell);

}  // namespace tessarin::editor
