#pragma once
// Small TR4 and TR5 files for reader tests, written field by field with zlib's own compress.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "level/TRLevel.h"

namespace tessarin::test {

using Bytes = std::vector<std::uint8_t>;

// A chunk as the files store it: inflated size, compressed size, stream. `statedSize` < 0 states the
// true size; `level` 0 stores without compressing (fast for large test blocks).
Bytes zlibChunk(const Bytes& data, long long statedSize = -1, int level = 6);

// The inflated TR4 level-data block of a level with the given rooms (raw room bytes), boxes,
// object textures (38 bytes each) and items (24 bytes each).
struct TR4LevelData {
    std::vector<Bytes> rooms;
    std::int32_t numBoxes = 0;
    std::vector<Bytes> objectTextures;
    std::vector<Bytes> items;
    bool trailingPad = true;  // the 6 bytes the games add at the end
};
Bytes tr4LevelData(const TR4LevelData& d);

// A TR4 room: 2 x 1 sectors, no geometry unless given raw.
struct TR4Room {
    std::int16_t numPortals = 0;
    std::int16_t numSprites = 0;
    std::int16_t xSectors = 2, zSectors = 1;
    std::vector<Bytes> lights;  // 46 bytes each
};
Bytes tr4Room(const TR4Room& r);

// A whole TR4 file around the given chunks; `tail` follows NumSamples.
struct TR4File {
    Bytes tex32, tex16, misc, levelData;
    std::int32_t numSamples = 0;
    Bytes tail;
    bool withSampleCount = true;
};
Bytes tr4File(const TR4File& f);
Bytes tr4Chunks(const TR4File& f);  // header and chunks only, for damaged-chunk tests

// A TR4/TR5 object texture with the given corners' pixels (x, y), tile and size.
Bytes objectTexture(std::int16_t tile, const std::array<std::array<std::uint8_t, 2>, 4>& corners, std::int32_t width,
                    std::int32_t height, bool tr5);

// TR5 room layers and rooms.
struct TR5Layer {
    std::int32_t firstValue = -1;  // -1: the number of vertices
    std::vector<std::array<std::int16_t, 4>> rectangles;
    std::vector<std::array<std::int16_t, 3>> triangles;
    std::vector<std::array<float, 3>> vertices;
};
struct TR5Room {
    std::array<char, 4> marker{'X', 'E', 'L', 'A'};
    std::int32_t x = 1024, z = 2048, yBottom = 0, yTop = -1024;
    std::int16_t xSectors = 2, zSectors = 1;
    std::vector<TR5Layer> layers;
    std::vector<Bytes> lights;  // 88 bytes each
    std::int32_t numFogBulbs = 0;
    std::int32_t numRectangles = -1, numTriangles = -1;  // -1: the layers' totals
    std::int64_t sectorOffset = -1, layerOffset = -1;    // -1: where they are
    std::int64_t numLayers = -1;                         // -1: the number of layers
    std::uint32_t extraBytes = 0;                        // unread bytes inside the block
    std::int16_t numPortals = 0, numStatics = 0;         // stated only: no records follow
};
Bytes tr5Room(const TR5Room& r);

struct TR5File {
    Bytes tex32, tex16, misc;
    std::vector<Bytes> rooms;
    std::vector<Bytes> objectTextures;  // 40 bytes each
    std::vector<Bytes> items;
    std::int32_t numAIObjects = 0;
};
Bytes tr5File(const TR5File& f);

// A 24-byte item.
Bytes item(std::int16_t objectId, std::int16_t room, std::int32_t x, std::int32_t y, std::int32_t z);

// Checks that hold only when every section of a real TR4/TR5 level was read at the right offset:
// sane room headers, faces inside their room's vertex list, tiles inside their page.
void expectSaneLevel(const level::TRLevel& l);

}  // namespace tessarin::test
