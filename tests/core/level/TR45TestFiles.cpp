#include "TR45TestFiles.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <stdexcept>

#include <gtest/gtest.h>
#include <zlib.h>

namespace tessarin::test {

namespace {

void put(Bytes& b, std::uint64_t v, int n) {
    for (int i = 0; i < n; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void u8(Bytes& b, std::uint8_t v) { b.push_back(v); }
void u16(Bytes& b, std::int64_t v) { put(b, static_cast<std::uint64_t>(v), 2); }
void u32(Bytes& b, std::int64_t v) { put(b, static_cast<std::uint64_t>(v), 4); }
void f32(Bytes& b, float v) { put(b, std::bit_cast<std::uint32_t>(v), 4); }
void append(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }
void zeros(Bytes& b, std::size_t n) { b.insert(b.end(), n, 0); }
void poke32(Bytes& b, std::size_t at, std::int64_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(v) >> (8 * i));
}
void poke16(Bytes& b, std::size_t at, std::int64_t v) {
    for (int i = 0; i < 2; ++i) b[at + i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(v) >> (8 * i));
}

void textureHeader(Bytes& b, const Bytes& tex32, const Bytes& tex16, const Bytes& misc) {
    u32(b, 0x00345254);
    u16(b, 1);
    u16(b, 2);
    u16(b, 0);
    append(b, zlibChunk(tex32));
    append(b, zlibChunk(tex16));
    append(b, zlibChunk(misc));
}

}  // namespace

Bytes zlibChunk(const Bytes& data, long long statedSize, int level) {
    uLongf len = compressBound(data.size());
    Bytes packed(len);
    if (compress2(packed.data(), &len, data.data(), data.size(), level) != Z_OK) throw std::runtime_error("compress");
    packed.resize(len);
    Bytes b;
    u32(b, statedSize < 0 ? static_cast<std::int64_t>(data.size()) : statedSize);
    u32(b, static_cast<std::int64_t>(packed.size()));
    append(b, packed);
    return b;
}

Bytes tr4Room(const TR4Room& r) {
    Bytes b;
    u32(b, 1024);  // X
    u32(b, 2048);  // Z
    u32(b, 0);     // YBottom
    u32(b, -1024); // YTop
    u32(b, 0);     // NumDataWords
    u16(b, 0);     // vertices
    u16(b, 0);     // rectangles
    u16(b, 0);     // triangles
    u16(b, r.numSprites);
    for (int i = 0; i < r.numSprites; ++i) {
        u16(b, i);
        u16(b, 7);
    }
    u16(b, r.numPortals);
    for (int i = 0; i < r.numPortals; ++i) {
        u16(b, 1);
        zeros(b, 30);
    }
    u16(b, r.zSectors);
    u16(b, r.xSectors);
    for (int i = 0; i < r.xSectors * r.zSectors; ++i) {
        u16(b, 100 + i);  // FDIndex
        u16(b, 5);        // BoxIndex
        u8(b, 255);
        u8(b, static_cast<std::uint8_t>(-4));
        u8(b, 255);
        u8(b, static_cast<std::uint8_t>(-8));
    }
    u8(b, 0x11);  // room colour
    u8(b, 0x22);
    u8(b, 0x33);
    u8(b, 0x44);
    u16(b, static_cast<std::int64_t>(r.lights.size()));
    for (const auto& l : r.lights) append(b, l);
    u16(b, 0);   // statics
    u16(b, -1);  // AlternateRoom
    u16(b, 64);  // Flags
    u8(b, 1);    // WaterScheme
    u8(b, 2);    // ReverbInfo
    u8(b, 3);    // AlternateGroup
    return b;
}

Bytes tr4LevelData(const TR4LevelData& d) {
    Bytes b;
    u32(b, 0);
    u16(b, static_cast<std::int64_t>(d.rooms.size()));
    for (const auto& r : d.rooms) append(b, r);
    for (int i = 0; i < 10; ++i) u32(b, 0);  // floor data .. moveables: all empty
    u32(b, 0);                                // static meshes
    b.insert(b.end(), {'S', 'P', 'R'});
    for (int i = 0; i < 5; ++i) u32(b, 0);  // sprite textures .. sound sources
    u32(b, d.numBoxes);
    for (int i = 0; i < d.numBoxes; ++i) {
        u8(b, 1), u8(b, 2), u8(b, 3), u8(b, 4);
        u16(b, -256);
        u16(b, 0);
    }
    u32(b, 0);  // overlaps
    for (int i = 0; i < d.numBoxes * 10; ++i) u16(b, i);
    u32(b, 2);  // animated textures
    u16(b, 0x1234);
    u16(b, 0x5678);
    u8(b, 0);
    b.insert(b.end(), {'T', 'E', 'X'});
    u32(b, static_cast<std::int64_t>(d.objectTextures.size()));
    for (const auto& t : d.objectTextures) append(b, t);
    u32(b, static_cast<std::int64_t>(d.items.size()));
    for (const auto& it : d.items) append(b, it);
    u32(b, 0);  // AI objects
    u16(b, 0);  // demo data
    for (std::size_t i = 0; i < 370; ++i) u16(b, static_cast<std::int64_t>(i) - 1);
    u32(b, 0);  // sound details
    u32(b, 1);  // sample indices
    u32(b, 0);
    if (d.trailingPad) zeros(b, 6);
    return b;
}

Bytes tr4Chunks(const TR4File& f) {
    Bytes b;
    textureHeader(b, f.tex32, f.tex16, f.misc);
    append(b, zlibChunk(f.levelData));
    return b;
}

Bytes tr4File(const TR4File& f) {
    Bytes b = tr4Chunks(f);
    if (f.withSampleCount) u32(b, f.numSamples);
    append(b, f.tail);
    return b;
}

Bytes objectTexture(std::int16_t tile, const std::array<std::array<std::uint8_t, 2>, 4>& corners, std::int32_t width,
                    std::int32_t height, bool tr5) {
    Bytes b;
    u16(b, 2);  // Attribute
    u16(b, tile);
    u16(b, 0x0301);  // NewFlags
    for (const auto& c : corners) {
        u8(b, 0), u8(b, c[0]);
        u8(b, 0), u8(b, c[1]);
    }
    for (int i = 0; i < 8; ++i) u8(b, static_cast<std::uint8_t>(0xA0 + i));  // SourceUV
    u32(b, width);
    u32(b, height);
    if (tr5) u16(b, 0xEEEE);  // padding
    return b;
}

Bytes item(std::int16_t objectId, std::int16_t room, std::int32_t x, std::int32_t y, std::int32_t z) {
    Bytes b;
    u16(b, objectId);
    u16(b, room);
    u32(b, x);
    u32(b, y);
    u32(b, z);
    u16(b, 0x4000);  // Angle
    u16(b, -1);      // Intensity1
    u16(b, 7);       // OCB
    u16(b, 0x3E00);  // Flags
    return b;
}

Bytes tr5Room(const TR5Room& r) {
    std::size_t rects = 0, tris = 0;
    for (const auto& l : r.layers) rects += l.rectangles.size(), tris += l.triangles.size();

    Bytes body(208, 0);  // the header, counted from the byte after DataSize
    poke32(body, 20, r.x);
    poke32(body, 28, r.z);
    poke32(body, 32, r.yBottom);
    poke32(body, 36, r.yTop);
    poke16(body, 40, r.zSectors);
    poke16(body, 42, r.xSectors);
    body[44] = 0x40, body[45] = 0x50, body[46] = 0x60, body[47] = 0x70;
    poke16(body, 48, static_cast<std::int64_t>(r.lights.size()));
    poke16(body, 50, r.numStatics);
    poke16(body, 76, -1);  // AlternateRoom
    poke16(body, 78, 8);   // Flags
    poke32(body, 136, r.numTriangles < 0 ? static_cast<std::int64_t>(tris) : r.numTriangles);
    poke32(body, 140, r.numRectangles < 0 ? static_cast<std::int64_t>(rects) : r.numRectangles);
    poke32(body, 152, static_cast<std::int64_t>(r.lights.size()));
    poke32(body, 156, r.numFogBulbs);
    poke32(body, 168, r.numLayers < 0 ? static_cast<std::int64_t>(r.layers.size()) : r.numLayers);

    for (const auto& l : r.lights) append(body, l);
    if (r.numFogBulbs > 0) zeros(body, 36 * static_cast<std::size_t>(r.numFogBulbs));
    poke32(body, 8, r.sectorOffset < 0 ? static_cast<std::int64_t>(body.size() - 208) : r.sectorOffset);
    for (int i = 0; i < r.xSectors * r.zSectors; ++i) {
        u16(body, 10 + i);
        u16(body, 3);
        u8(body, 255), u8(body, 2), u8(body, 255), u8(body, static_cast<std::uint8_t>(-6));
    }
    u16(body, r.numPortals);
    u16(body, 0xCDCD);
    poke32(body, 172, r.layerOffset < 0 ? static_cast<std::int64_t>(body.size() - 208) : r.layerOffset);
    for (const auto& l : r.layers) {
        Bytes layer(56, 0);
        poke32(layer, 0, l.firstValue == -1 ? static_cast<std::int64_t>(l.vertices.size()) : l.firstValue);
        poke16(layer, 6, static_cast<std::int64_t>(l.rectangles.size()));
        poke16(layer, 8, static_cast<std::int64_t>(l.triangles.size()));
        append(body, layer);
    }
    for (const auto& l : r.layers) {
        for (const auto& q : l.rectangles) {
            for (auto v : q) u16(body, v);
            u16(body, 9);       // Texture
            u16(body, 0x0001);  // FaceFlags
        }
        for (const auto& t : l.triangles) {
            for (auto v : t) u16(body, v);
            u16(body, 4);
            u16(body, 0x0002);
        }
    }
    if (tris % 2 == 1) u16(body, 0xCDCD);
    if (r.layers.empty()) u16(body, 0xCDCD);
    for (const auto& l : r.layers)
        for (const auto& v : l.vertices) {
            for (float c : v) f32(body, c);
            zeros(body, 16);
        }
    zeros(body, r.extraBytes);

    Bytes b(r.marker.begin(), r.marker.end());
    u32(b, static_cast<std::int64_t>(body.size()));
    append(b, body);
    return b;
}

Bytes tr5File(const TR5File& f) {
    Bytes data;
    for (const auto& r : f.rooms) append(data, r);
    for (int i = 0; i < 3; ++i) u32(data, 0);  // floor data, mesh data, mesh pointers
    for (int i = 0; i < 6; ++i) u32(data, 0);  // animations .. frames
    u32(data, 1);                              // one moveable, 20 bytes
    u32(data, 7), u16(data, 1), u16(data, 2), u32(data, 3), u32(data, 4), u16(data, 5), u16(data, 0xCDCD);
    u32(data, 0);  // static meshes
    data.insert(data.end(), {'S', 'P', 'R', 0});
    for (int i = 0; i < 5; ++i) u32(data, 0);  // sprite textures .. sound sources
    u32(data, 2);                              // boxes
    zeros(data, 16);
    u32(data, 0);    // overlaps
    zeros(data, 40); // zones
    u32(data, 0);    // animated textures
    data.insert(data.end(), {0, 'T', 'E', 'X', 0});
    u32(data, static_cast<std::int64_t>(f.objectTextures.size()));
    for (const auto& t : f.objectTextures) append(data, t);
    u32(data, static_cast<std::int64_t>(f.items.size()));
    for (const auto& it : f.items) append(data, it);
    u32(data, f.numAIObjects);
    for (int i = 0; i < f.numAIObjects; ++i) append(data, item(static_cast<std::int16_t>(400 + i), 0, 1, 2, 3));

    Bytes b;
    textureHeader(b, f.tex32, f.tex16, f.misc);
    u16(b, 3);  // LaraType
    u16(b, 1);  // WeatherType
    zeros(b, 28);
    u32(b, static_cast<std::int64_t>(data.size()) + 8);
    u32(b, static_cast<std::int64_t>(data.size()) + 8);
    u32(b, 0);
    u32(b, static_cast<std::int64_t>(f.rooms.size()));
    append(b, data);
    return b;
}

void expectSaneLevel(const level::TRLevel& l) {
    for (std::size_t i = 0; i < l.Rooms.size(); ++i) {
        const auto& room = l.Rooms[i];
        SCOPED_TRACE("room " + std::to_string(i));
        EXPECT_GT(room.NumXSectors, 0);
        EXPECT_GT(room.NumZSectors, 0);
        EXPECT_LE(room.NumXSectors, 64);
        EXPECT_LE(room.NumZSectors, 64);
        EXPECT_EQ(room.Sectors.size(), static_cast<std::size_t>(room.NumXSectors) * room.NumZSectors);
        EXPECT_LT(room.YTop, room.YBottom);
        EXPECT_EQ(room.X % 1024, 0);
        EXPECT_EQ(room.Z % 1024, 0);
        EXPECT_FALSE(room.Vertices.empty());
        for (const auto& q : room.Rectangles)
            for (auto v : q.Vertices) ASSERT_LT(static_cast<std::size_t>(v), room.Vertices.size());
        for (const auto& t : room.Triangles)
            for (auto v : t.Vertices) ASSERT_LT(static_cast<std::size_t>(v), room.Vertices.size());
        for (const auto& p : room.Portals) EXPECT_LT(static_cast<std::size_t>(p.AdjoiningRoom), l.Rooms.size());
        for (const auto& s : room.Sectors) EXPECT_LT(s.FDIndex, std::max<std::size_t>(l.FloorData.size(), 1));
        // Room vertices lie within the room's own box (vertex positions are relative to X and Z).
        for (const auto& v : room.Vertices) {
            EXPECT_LE(v.X, room.NumXSectors * 1024);
            EXPECT_LE(v.Z, room.NumZSectors * 1024);
            EXPECT_GE(v.Y, room.YTop);
            EXPECT_LE(v.Y, room.YBottom);
        }
    }
    for (auto p : l.MeshPointers) EXPECT_LT(static_cast<std::size_t>(p), l.MeshData.size());
    for (const auto& it : l.Items) EXPECT_LT(static_cast<std::size_t>(it.Room), l.Rooms.size());
    for (const auto& m : l.Moveables) EXPECT_LT(static_cast<std::size_t>(m.StartingMesh), l.MeshPointers.size());
    ASSERT_EQ(l.TextureTiles.size(), l.ObjectTextures.size());
    for (std::size_t i = 0; i < l.TextureTiles.size(); ++i) {
        const auto& t = l.TextureTiles[i];
        EXPECT_LE(t.RefU + t.SizeU, 255) << "texture " << i;
        EXPECT_LE(t.RefV + t.SizeV, 255) << "texture " << i;
        EXPECT_LT(t.Tile, l.NumTextiles) << "texture " << i;
        EXPECT_EQ(l.ObjectTextures[i].Tile & 0x8000, 0);
    }
}

}  // namespace tessarin::test
