// Mesh layout (all 16-bit words unless stated):
//   centre x, y, z | radius (32 bits) | vertex count, vertices (x, y, z)
//   | normal count: positive = normals (x, y, z), negative = one light word per vertex
//   | textured rectangles: 4 indices, texture (+ effects from TR4 on) | textured triangles: 3, texture (+ effects)
//   | TR1-TR3 only: coloured rectangles: 4 indices, colour | coloured triangles: 3 indices, colour
#include "level/Mesh.h"

#include "util/ByteReader.h"
#include "util/ByteWriter.h"

namespace tessarin::level {

using util::ByteReader;

namespace {

template <typename Face>
void readFaces(ByteReader& r, std::vector<Face>& faces, bool withEffects, const char* what) {
    const std::size_t corners = std::tuple_size_v<decltype(Face::Vertices)>;
    const std::size_t size = 2 * (corners + 1 + (withEffects ? 1 : 0));
    faces.assign(r.checkCount(r.i16(what), size, what), Face{});
    for (auto& f : faces) {
        for (auto& i : f.Vertices) i = r.u16();
        f.Texture = r.u16();
        if (withEffects) f.Effects = r.u16();
    }
}

void readVertices(ByteReader& r, std::vector<TRVertex16>& out, std::int64_t count, const char* what) {
    out.assign(r.checkCount(count, 6, what), {});
    for (auto& v : out) {
        v.X = r.i16();
        v.Y = r.i16();
        v.Z = r.i16();
    }
}

template <typename Face>
void writeFaces(util::ByteWriter& w, const std::vector<Face>& faces) {
    w.i16(static_cast<std::int16_t>(faces.size()));
    for (const auto& f : faces) {
        for (auto i : f.Vertices) w.u16(i);
        w.u16(f.Texture);
    }
}

void writeVertices(util::ByteWriter& w, const std::vector<TRVertex16>& vertices) {
    for (const auto& v : vertices) {
        w.i16(v.X);
        w.i16(v.Y);
        w.i16(v.Z);
    }
}

}  // namespace

util::Result<TRMesh> ParseMesh(std::span<const std::uint8_t> meshData, std::int64_t position, int version) {
    using R = util::Result<TRMesh>;
    const std::string place = "mesh at byte " + std::to_string(position);
    if (position < 0 || static_cast<std::uint64_t>(position) >= meshData.size())
        return R::failure(place + ": lies outside the mesh data (" + std::to_string(meshData.size()) + " bytes)");
    try {
        ByteReader r(meshData);
        r.setPlace(place);
        r.seek(static_cast<std::size_t>(position));
        TRMesh m;
        m.CentreX = r.i16("centre");
        m.CentreY = r.i16("centre");
        m.CentreZ = r.i16("centre");
        m.CollisionRadius = r.u16("radius");
        r.skip(2, "radius");
        readVertices(r, m.Vertices, r.i16("vertex count"), "vertices");
        const std::uint16_t normals = r.u16("normal count");
        m.NumNormals = static_cast<std::int16_t>(normals);
        if (normals < 32768) {
            readVertices(r, m.Normals, normals, "normals");
        } else {
            r.readI16Array(m.Lights, 65536 - normals, "vertex lights");
        }
        const bool effects = version >= level::kVersionTR4;
        readFaces(r, m.TexturedRectangles, effects, "textured rectangles");
        readFaces(r, m.TexturedTriangles, effects, "textured triangles");
        if (!effects) {
            readFaces(r, m.ColouredRectangles, false, "coloured rectangles");
            readFaces(r, m.ColouredTriangles, false, "coloured triangles");
        }
        return m;
    } catch (const util::Error& e) {
        return R::failure(e.what());
    }
}

std::uint64_t MeshExtent(std::span<const std::uint8_t> meshData, std::int64_t position, int version) {
    if (position < 0 || static_cast<std::uint64_t>(position) >= meshData.size()) return 0;
    const std::uint64_t size = meshData.size();
    std::uint64_t at = static_cast<std::uint64_t>(position) + 10;  // centre and radius
    // Reads the count at `at`, then steps over it and `count` records of `bytes` each.
    auto skipList = [&](std::uint64_t bytes, bool lightsWhenNegative) {
        if (at + 2 > size) return false;
        const auto word = static_cast<std::uint16_t>(meshData[at] | (meshData[at + 1] << 8));
        at += 2;
        std::uint64_t count = word;
        if (word >= 32768) {
            if (!lightsWhenNegative) return false;  // a negative count, which ParseMesh refuses too
            count = 65536 - word, bytes = 2;
        }
        at += count * bytes;
        return at <= size;
    };
    const bool effects = version >= kVersionTR4;
    if (!skipList(6, false) || !skipList(6, true) || !skipList(effects ? 12 : 10, false) ||
        !skipList(effects ? 10 : 8, false))
        return 0;
    if (!effects && (!skipList(10, false) || !skipList(8, false))) return 0;
    return at - static_cast<std::uint64_t>(position);
}

std::uint32_t MeshByteSize(const TRMesh& m, int version) {
    std::uint32_t size = 10 + 2 + 6 * static_cast<std::uint32_t>(m.Vertices.size()) + 2;
    size += m.NumNormals > 0 ? 6 * static_cast<std::uint32_t>(m.Normals.size())
                             : 2 * static_cast<std::uint32_t>(m.Lights.size());
    const auto rects = static_cast<std::uint32_t>(m.TexturedRectangles.size());
    const auto tris = static_cast<std::uint32_t>(m.TexturedTriangles.size());
    if (version >= level::kVersionTR4) return size + 2 + 12 * rects + 2 + 10 * tris;
    return size + 2 + 10 * rects + 2 + 8 * tris + 2 + 10 * static_cast<std::uint32_t>(m.ColouredRectangles.size()) +
           2 + 8 * static_cast<std::uint32_t>(m.ColouredTriangles.size());
}

std::uint32_t AppendMesh(TRLevel& level, const TRMesh& m) {
    // An odd byte left behind by a damaged block would shift every later mesh off its word.
    if (level.MeshData.size() % 2) level.MeshData.push_back(0);
    const auto offset = static_cast<std::uint32_t>(level.MeshData.size());
    util::ByteWriter w;
    w.reserve(MeshByteSize(m, level::kVersionTR3));
    w.i16(m.CentreX);
    w.i16(m.CentreY);
    w.i16(m.CentreZ);
    w.i32(m.CollisionRadius);
    w.i16(static_cast<std::int16_t>(m.Vertices.size()));
    writeVertices(w, m.Vertices);
    w.i16(m.NumNormals);
    if (m.NumNormals > 0) {
        writeVertices(w, m.Normals);
    } else {
        for (auto l : m.Lights) w.i16(l);
    }
    writeFaces(w, m.TexturedRectangles);
    writeFaces(w, m.TexturedTriangles);
    writeFaces(w, m.ColouredRectangles);
    writeFaces(w, m.ColouredTriangles);
    level.MeshData.insert(level.MeshData.end(), w.data().begin(), w.data().end());
    return offset;
}

}  // namespace tessarin::level
