// Mesh layout: centre (3 words), radius (2 words), vertices, normals or vertex lights, textured
// rectangles and triangles (each with an effects word from TR4 on), and in TR1-TR3 the coloured
// rectangle and triangle lists, here empty.
#include "MeshShapes.h"

#include <algorithm>
#include <array>
#include <vector>

namespace tessarin::levelgen {

using namespace tessarin::level;

namespace {

struct Face {
    std::vector<int> vertices;
    std::int16_t texture;
};

int addMesh(TRLevel& L, std::int16_t v, const std::vector<std::array<int, 3>>& verts, const std::vector<Face>& faces,
            int centreY, int radius) {
    std::vector<std::int16_t> w;
    auto s16 = [](int x) { return static_cast<std::int16_t>(x); };
    w.insert(w.end(), {0, s16(centreY), 0, s16(radius & 0xFFFF), s16(radius >> 16)});
    w.push_back(s16(static_cast<int>(verts.size())));
    for (const auto& p : verts) w.insert(w.end(), {s16(p[0]), s16(p[1]), s16(p[2])});
    // Vertex lights rather than normals: a negative count, one word per vertex.
    w.push_back(s16(-static_cast<int>(verts.size())));
    for (std::size_t i = 0; i < verts.size(); ++i) w.push_back(0x1000);
    for (std::size_t corners : {std::size_t{4}, std::size_t{3}}) {
        int n = 0;
        for (const auto& f : faces) n += f.vertices.size() == corners;
        w.push_back(s16(n));
        for (const auto& f : faces) {
            if (f.vertices.size() != corners) continue;
            for (int i : f.vertices) w.push_back(s16(i));
            w.push_back(f.texture);
            if (v >= kVersionTR4) w.push_back(0);  // effects
        }
    }
    if (v < kVersionTR4) w.insert(w.end(), {0, 0});  // no coloured faces
    while (L.MeshData.size() % 4) L.MeshData.push_back(0);  // meshes start on 4-byte boundaries
    L.MeshPointers.push_back(static_cast<std::int32_t>(L.MeshData.size()));
    for (std::int16_t x : w) {
        L.MeshData.push_back(static_cast<std::uint8_t>(x & 0xFF));
        L.MeshData.push_back(static_cast<std::uint8_t>((x >> 8) & 0xFF));
    }
    return static_cast<int>(L.MeshPointers.size()) - 1;
}

}  // namespace

int addBoxMesh(TRLevel& L, std::int16_t v, int hx, int hz, int height, Material m) {
    const int y0 = 0, y1 = -height;
    const std::vector<std::array<int, 3>> p = {{-hx, y0, -hz}, {hx, y0, -hz}, {hx, y0, hz}, {-hx, y0, hz},
                                               {-hx, y1, -hz}, {hx, y1, -hz}, {hx, y1, hz}, {-hx, y1, hz}};
    const std::int16_t t = quadTexture(m);
    const std::vector<Face> f = {{{4, 5, 6, 7}, t}, {{3, 2, 1, 0}, t}, {{0, 1, 5, 4}, t},
                                 {{1, 2, 6, 5}, t}, {{2, 3, 7, 6}, t}, {{3, 0, 4, 7}, t}};
    return addMesh(L, v, p, f, -height / 2, std::max(std::max(hx, hz), height));
}

int addPyramidMesh(TRLevel& L, std::int16_t v, int half, int height, Material m) {
    const std::vector<std::array<int, 3>> p = {{-half, 0, -half}, {half, 0, -half}, {half, 0, half}, {-half, 0, half},
                                               {0, -height, 0}};
    const std::int16_t q = quadTexture(m), t = triangleTexture(m);
    const std::vector<Face> f = {{{3, 2, 1, 0}, q}, {{0, 1, 4}, t}, {{1, 2, 4}, t}, {{2, 3, 4}, t}, {{3, 0, 4}, t}};
    return addMesh(L, v, p, f, -height / 2, std::max(half, height));
}

}  // namespace tessarin::levelgen
