#include "level/TextureInfo.h"

#include <algorithm>

#include "util/NumberText.h"

namespace tessarin::level {


namespace {
// A coordinate byte of 255 marks the high edge of the texture's rectangle in the page.
bool highEdge(std::uint8_t coordinate) { return coordinate == 255; }
}  // namespace

std::uint16_t cornerLayout(const TRObjectTexture& t) {
    const auto& c0 = t.Vertices[0];
    const auto& c1 = t.Vertices[1];
    return static_cast<std::uint16_t>((highEdge(c0.XCoordinate) ? 0x8000 : 0) | (highEdge(c0.YCoordinate) ? 0x4000 : 0) |
                                      (highEdge(c1.XCoordinate) ? 0x2000 : 0));
}

// Every layout takes its reference corner from the smallest pixels of corners 0 to 2. Three
// consecutive corners of a rectangle always include both x edges and both y edges, and a triangle
// has only those three, so this is the corner nearest the page origin in every layout.
std::vector<TextureTile> ConvertTextInfo(std::span<const TRObjectTexture> textures, std::vector<std::string>*) {
    std::vector<TextureTile> tiles(textures.size());
    for (std::size_t i = 0; i < textures.size(); ++i) {
        const auto& t = textures[i];
        std::uint8_t minX = 255, minY = 255, maxX = 0, maxY = 0;
        for (int k = 0; k < 3; ++k) {
            minX = std::min(minX, t.Vertices[k].XPixel);
            minY = std::min(minY, t.Vertices[k].YPixel);
            maxX = std::max(maxX, t.Vertices[k].XPixel);
            maxY = std::max(maxY, t.Vertices[k].YPixel);
        }
        auto& tile = tiles[i];
        tile.RefU = minX;
        tile.RefV = minY;
        tile.SizeU = static_cast<std::uint8_t>(maxX - minX);
        tile.SizeV = static_cast<std::uint8_t>(maxY - minY);
        tile.EdgeU = highEdge(t.Vertices[0].XCoordinate) ? 255 : 0;
        tile.EdgeV = highEdge(t.Vertices[0].YCoordinate) ? 255 : 0;
        tile.Tile = static_cast<std::uint16_t>(t.Tile);
    }
    return tiles;
}

util::Status ConvertTR5TextInfo(TRLevel& level) {
    std::vector<TextureTile> tiles(level.ObjectTextures.size());
    for (std::size_t i = 0; i < level.ObjectTextures.size(); ++i) {
        auto& t = level.ObjectTextures[i];
        std::uint8_t u = 255, v = 255;
        for (int k = 0; k < 3; ++k) {
            u = std::min(u, t.Vertices[k].XPixel);
            v = std::min(v, t.Vertices[k].YPixel);
        }
        auto& tile = tiles[i];
        tile.RefU = u;
        tile.RefV = v;
        tile.EdgeU = 255;
        tile.EdgeV = 255;
        tile.SizeU = static_cast<std::uint8_t>(t.Width & 0xFF);
        tile.SizeV = static_cast<std::uint8_t>(t.Height & 0xFF);
        if (tile.RefU + tile.SizeU > 255 || tile.RefV + tile.SizeV > 255)
            return util::Status::failure("ConvertTR5TextInfo -> ObjectTexture" +
                                         util::numberForm(static_cast<std::int64_t>(i)) + " invalid");
        t.Tile = static_cast<std::int16_t>(static_cast<std::uint16_t>(t.Tile) & 0x7FFF);
        tile.Tile = static_cast<std::uint16_t>(t.Tile);
    }
    level.TextureTiles = std::move(tiles);
    return util::success();
}

}  // namespace tessarin::level
