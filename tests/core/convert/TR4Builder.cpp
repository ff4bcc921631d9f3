#include "TR4Builder.h"

#include <bit>
#include <zlib.h>

namespace tessarin::test {

namespace {

struct Out {
    std::vector<std::uint8_t> b;
    void u8(unsigned v) { b.push_back(static_cast<std::uint8_t>(v)); }
    void u16(unsigned v) { u8(v & 0xFF), u8((v >> 8) & 0xFF); }
    void u32(std::uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); }
    void f32(float v) { u32(std::bit_cast<std::uint32_t>(v)); }
    void zeros(std::size_t n) { b.insert(b.end(), n, 0); }
};

void chunk(Out& o, const std::vector<std::uint8_t>& data) {
    uLongf packed = compressBound(static_cast<uLong>(data.size()));
    std::vector<std::uint8_t> z(packed);
    compress2(z.data(), &packed, data.data(), static_cast<uLong>(data.size()), 1);
    o.u32(static_cast<std::uint32_t>(data.size()));
    o.u32(static_cast<std::uint32_t>(packed));
    o.b.insert(o.b.end(), z.begin(), z.begin() + static_cast<std::ptrdiff_t>(packed));
}

void room(Out& o, const TR4Room& r) {
    o.zeros(16);
    o.u32(0);
    o.u16(static_cast<unsigned>(r.Vertices.size()));
    for (const auto& v : r.Vertices)
        for (auto w : {v.X, v.Y, v.Z, v.Lighting, v.Attributes, v.Colour}) o.u16(static_cast<std::uint16_t>(w));
    o.u16(0), o.u16(0), o.u16(0), o.u16(0);  // rectangles, triangles, sprites, portals
    o.u16(static_cast<unsigned>(r.NumZSectors)), o.u16(static_cast<unsigned>(r.NumXSectors));
    for (const auto& s : r.Sectors) {
        o.u16(s.FDIndex), o.u16(s.BoxIndex);
        o.u8(255), o.u8(2), o.u8(255), o.u8(0xF0);
    }
    for (auto c : r.Colour) o.u8(c);
    o.u16(static_cast<unsigned>(r.Lights.size()));
    for (const auto& l : r.Lights) {
        o.u32(static_cast<std::uint32_t>(l.X)), o.u32(static_cast<std::uint32_t>(l.Y)), o.u32(static_cast<std::uint32_t>(l.Z));
        for (auto c : l.Colour) o.u8(c);
        o.u8(l.Type), o.u8(0), o.u8(31);
        o.f32(l.In), o.f32(l.Out), o.f32(0), o.f32(0);
        o.f32(0), o.f32(0), o.f32(0);
    }
    o.u16(0);                    // statics
    o.u16(0xFFFF);               // alternate room
    o.u16(static_cast<unsigned>(r.Flags));
    for (auto t : r.Tail) o.u8(t);
}

std::vector<std::uint8_t> levelData(const TR4Description& d) {
    Out o;
    o.u32(0);
    o.u16(static_cast<unsigned>(d.Rooms.size()));
    for (const auto& r : d.Rooms) room(o, r);
    o.u32(static_cast<std::uint32_t>(d.FloorData.size()));
    for (auto w : d.FloorData) o.u16(w);
    o.u32(static_cast<std::uint32_t>(d.MeshData.size()));
    for (auto w : d.MeshData) o.u16(w);
    o.u32(static_cast<std::uint32_t>(d.MeshPointers.size()));
    for (auto p : d.MeshPointers) o.u32(static_cast<std::uint32_t>(p));
    o.u32(static_cast<std::uint32_t>(d.Animations.size()));
    for (const auto& a : d.Animations) {
        o.u32(static_cast<std::uint32_t>(a.FrameOffset));
        o.u8(1), o.u8(a.FrameSize);
        o.zeros(2 + 16 + 16);
    }
    o.u32(0), o.u32(0), o.u32(0), o.u32(0);  // state changes, dispatches, commands, mesh trees
    o.u32(static_cast<std::uint32_t>(d.Frames.size()));
    for (auto f : d.Frames) o.u16(static_cast<std::uint16_t>(f));
    o.u32(static_cast<std::uint32_t>(d.Moveables.size()));
    for (std::size_t i = 0; i < d.Moveables.size(); ++i) {
        o.u32(static_cast<std::uint32_t>(i)), o.u16(static_cast<unsigned>(d.Moveables[i].NumMeshes)), o.u16(0);
        o.u32(0), o.u32(0), o.u16(static_cast<std::uint16_t>(d.Moveables[i].Animation));
    }
    o.u32(0);  // static meshes
    o.u8('S'), o.u8('P'), o.u8('R');
    o.u32(static_cast<std::uint32_t>(d.SpriteTextures));
    o.zeros(16 * static_cast<std::size_t>(d.SpriteTextures));
    o.u32(1), o.zeros(8);  // one sprite sequence
    o.u32(0), o.u32(0), o.u32(0);  // cameras, flyby cameras, sound sources
    o.u32(static_cast<std::uint32_t>(d.Boxes));
    o.zeros(8 * static_cast<std::size_t>(d.Boxes));
    o.u32(0);  // overlaps
    o.zeros(20 * static_cast<std::size_t>(d.Boxes));
    o.u32(0);  // animated textures
    o.u8(0), o.u8('T'), o.u8('E'), o.u8('X');
    o.u32(static_cast<std::uint32_t>(d.Textures.size()));
    for (const auto& t : d.Textures) {
        o.u16(t.Attribute), o.u16(t.Tile), o.u16(0);
        for (const auto& c : t.Corners)
            for (auto v : c) o.u8(v);
        o.zeros(8);
        o.u32(static_cast<std::uint32_t>(t.Width)), o.u32(static_cast<std::uint32_t>(t.Height));
    }
    o.u32(static_cast<std::uint32_t>(d.Items.size()));
    for (const auto& it : d.Items) {
        o.u16(static_cast<std::uint16_t>(it.ObjectID)), o.u16(static_cast<std::uint16_t>(it.Room));
        o.zeros(12), o.u16(0), o.u16(0), o.u16(0), o.u16(0);
    }
    o.u32(0);  // AI objects
    o.u16(static_cast<unsigned>(d.DemoBytes.size()));
    o.b.insert(o.b.end(), d.DemoBytes.begin(), d.DemoBytes.end());
    o.zeros(740);
    o.u32(0), o.u32(0);  // sound details, sample indices
    o.zeros(6);
    return o.b;
}

}  // namespace

std::vector<std::uint8_t> buildTR4(const TR4Description& d) {
    Out o;
    o.u8('T'), o.u8('R'), o.u8('4'), o.u8(0);
    o.u16(static_cast<unsigned>(d.Pages)), o.u16(0), o.u16(0);
    const std::size_t texels = static_cast<std::size_t>(d.Pages) * 256 * 256;
    chunk(o, std::vector<std::uint8_t>(texels * 4, 0x11));
    chunk(o, std::vector<std::uint8_t>(texels * 2, 0x22));
    chunk(o, std::vector<std::uint8_t>(2 * 256 * 256 * 4, 0));
    chunk(o, levelData(d));
    o.u32(0);  // samples
    return o.b;
}

std::vector<std::uint16_t> tr4MeshWords(int vertices, const std::vector<std::array<std::uint16_t, 6>>& rectangles,
                                        const std::vector<std::array<std::uint16_t, 5>>& triangles) {
    std::vector<std::uint16_t> w{10, 20, 30, 500, 0};
    w.push_back(static_cast<std::uint16_t>(vertices));
    for (int i = 0; i < vertices; ++i) w.insert(w.end(), {static_cast<std::uint16_t>(i), 0xFC00, static_cast<std::uint16_t>(i * 2)});
    w.push_back(0);  // no normals
    w.push_back(static_cast<std::uint16_t>(rectangles.size()));
    for (const auto& r : rectangles) w.insert(w.end(), r.begin(), r.end());
    w.push_back(static_cast<std::uint16_t>(triangles.size()));
    for (const auto& t : triangles) w.insert(w.end(), t.begin(), t.end());
    return w;
}

}  // namespace tessarin::test
