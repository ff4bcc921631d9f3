#include "viewer/PolyBatches.h"

#include <algorithm>
#include <cassert>
#include <numeric>

namespace tessarin::viewer {

namespace {

struct Key {
    Pass pass;
    std::int32_t texture;
    std::int32_t room;
    bool operator==(const Key&) const = default;
};

bool before(const Key& a, const Key& b) {
    if (a.pass != b.pass) return a.pass < b.pass;
    if (a.texture != b.texture) return a.texture < b.texture;
    return a.room < b.room;
}

// A polygon's fan, placed by its room's origin.
void appendTriangles(const RoomPoly& poly, const Vec3& origin, std::vector<TriangleVertex>& out) {
    auto emit = [&](int k) {
        const PolyVertex& v = poly.Vertices[static_cast<std::size_t>(k)];
        TriangleVertex t;
        t.x = v.x + origin.x;
        t.y = v.y + origin.y;
        t.z = v.z + origin.z;
        t.tu = v.tu;
        t.tv = v.tv;
        t.page = static_cast<float>(poly.Texture);
        if (poly.Marked) t.g = t.b = 0;
        out.push_back(t);
    };
    const int count = TriangleCount(poly);
    for (int k = 1; k <= count; ++k) {
        emit(0);
        emit(k);
        emit(k + 1);
    }
    if (!poly.DoubleSided) return;
    for (int k = 1; k <= count; ++k) {
        emit(0);
        emit(k + 1);
        emit(k);
    }
}

// Polygons in the order of their keys (list order kept among equal keys), emitted as triangles.
template <typename KeyOf, typename OriginOf>
TriangleBatches batch(const std::vector<RoomPoly>& polys, KeyOf keyOf, OriginOf originOf) {
    std::vector<Key> keys(polys.size());
    std::size_t triangles = 0;
    for (std::size_t i = 0; i < polys.size(); ++i) {
        keys[i] = keyOf(i);
        triangles += static_cast<std::size_t>(DrawnTriangleCount(polys[i]));
    }
    std::vector<std::uint32_t> order(polys.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return before(keys[a], keys[b]); });

    TriangleBatches out;
    out.vertices.reserve(triangles * 3);
    for (const std::uint32_t i : order) {
        const RoomPoly& poly = polys[i];
        const int count = DrawnTriangleCount(poly);
        if (count == 0) continue;
        const Key& key = keys[i];
        if (out.ranges.empty() || !(Key{out.ranges.back().pass, out.ranges.back().texture, out.ranges.back().room} == key))
            out.ranges.push_back({key.pass, key.texture, key.room, static_cast<std::uint32_t>(out.vertices.size()), 0});
        appendTriangles(poly, originOf(poly), out.vertices);
        out.ranges.back().count += static_cast<std::uint32_t>(count * 3);
    }
    return out;
}

}  // namespace

int TriangleCount(const RoomPoly& poly) {
    if (poly.VertexCount == 5) return 2;
    if (poly.VertexCount == 3) return 1;
    return 0;
}

int DrawnTriangleCount(const RoomPoly& poly) { return TriangleCount(poly) * (poly.DoubleSided ? 2 : 1); }

TriangleBatches BatchRoomPolys(const RoomPolyList& list, const level::TRLevel& level) {
    const auto& polys = list.RoomPolys;
    std::vector<Vec3> origins(level.Rooms.size());
    for (std::size_t r = 0; r < level.Rooms.size(); ++r) origins[r] = RoomOrigin(level.Rooms[r]);
    return batch(
        polys,
        [&](std::size_t i) {
            const bool additive = i < list.RoomPolyBlend.size() && list.RoomPolyBlend[i] == kBlendAdditive;
            return Key{additive ? Pass::Additive : Pass::Opaque, polys[i].Texture, polys[i].Room};
        },
        [&](const RoomPoly& poly) {
            const bool known = poly.Room >= 0 && static_cast<std::size_t>(poly.Room) < origins.size();
            return known ? origins[static_cast<std::size_t>(poly.Room)] : Vec3{};
        });
}

RoomTriangles::RoomTriangles(const level::TRLevel& level) : m_level(&level) {
    // Faces are ordered as BatchRoomPolys sorts them (pass, page, room, then list order), which here
    // is a counting sort: one group per pass and page, filled room by room in file order.
    const std::size_t textures = std::min(level.ObjectTextures.size(), level.TextureTiles.size());
    std::vector<Key> keys(textures);
    for (std::size_t t = 0; t < textures; ++t)
        keys[t] = {level.ObjectTextures[t].Attribute == kBlendAdditive ? Pass::Additive : Pass::Opaque,
                   level.TextureTiles[t].Tile, 0};
    std::vector<Key> groups = keys;
    std::sort(groups.begin(), groups.end(), before);
    groups.erase(std::unique(groups.begin(), groups.end()), groups.end());
    std::vector<std::uint32_t> groupOf(textures);
    for (std::size_t t = 0; t < textures; ++t)
        groupOf[t] = static_cast<std::uint32_t>(std::lower_bound(groups.begin(), groups.end(), keys[t], before) - groups.begin());

    // Each room's kept faces with their groups, once to count and once to place.
    auto eachFace = [&](auto&& visit) {
        for (std::size_t r = 0; r < level.Rooms.size(); ++r) {
            const level::TRRoom& room = level.Rooms[r];
            std::uint32_t f = 0;
            for (const level::TRRoomQuad& quad : room.Rectangles) {
                if (const int t = RoomFaceTexture(level, room, quad); t >= 0) visit(groupOf[static_cast<std::size_t>(t)], r, f);
                ++f;
            }
            for (const level::TRRoomTriangle& triangle : room.Triangles) {
                if (const int t = RoomFaceTexture(level, room, triangle); t >= 0) visit(groupOf[static_cast<std::size_t>(t)], r, f);
                ++f;
            }
        }
    };
    std::vector<std::size_t> start(groups.size() + 1);
    eachFace([&](std::uint32_t g, std::size_t, std::uint32_t) { ++start[g + 1]; });
    for (std::size_t g = 0; g < groups.size(); ++g) start[g + 1] += start[g];
    m_faces.resize(start.back());
    std::vector<std::size_t> at(start.begin(), start.end() - 1);
    eachFace([&](std::uint32_t g, std::size_t r, std::uint32_t f) { m_faces[at[g]++] = {static_cast<std::uint32_t>(r), f}; });

    for (std::size_t g = 0; g < groups.size(); ++g) {
        for (std::size_t i = start[g]; i < start[g + 1]; ++i) {
            const FaceRef& face = m_faces[i];
            const auto room = static_cast<std::int32_t>(face.room);
            if (i == start[g] || m_ranges.back().room != room)
                m_ranges.push_back({groups[g].pass, groups[g].texture, room, static_cast<std::uint32_t>(m_vertexCount), 0});
            const level::TRRoom& faceRoom = level.Rooms[face.room];
            const bool rectangle = face.face < faceRoom.Rectangles.size();
            const std::int16_t texture = rectangle ? faceRoom.Rectangles[face.face].Texture
                                                   : faceRoom.Triangles[face.face - faceRoom.Rectangles.size()].Texture;
            const std::size_t count = (rectangle ? 6 : 3) * (IsDoubleSided(texture) ? 2 : 1);
            m_ranges.back().count += static_cast<std::uint32_t>(count);
            m_vertexCount += count;
        }
    }
    m_origins.resize(level.Rooms.size());
    for (std::size_t r = 0; r < level.Rooms.size(); ++r) m_origins[r] = RoomOrigin(level.Rooms[r]);
}

bool RoomTriangles::next(std::vector<TriangleVertex>& out, std::size_t vertices) {
    out.clear();
    RoomPoly poly;
    std::int32_t blend = 0;
    while (m_next < m_faces.size() && (out.empty() || out.size() < vertices)) {
        const FaceRef face = m_faces[m_next++];
        const level::TRRoom& room = m_level->Rooms[face.room];
        const int r = static_cast<int>(face.room);
        [[maybe_unused]] const bool built =
            face.face < room.Rectangles.size()
                ? BuildRoomFace(*m_level, r, room.Rectangles[face.face], poly, blend)
                : BuildRoomFace(*m_level, r, room.Triangles[face.face - room.Rectangles.size()], poly, blend);
        assert(built);  // only kept faces were placed, and the level has not changed since
        appendTriangles(poly, m_origins[face.room], out);
    }
    return !out.empty();
}

TriangleBatches BatchMeshPolys(const std::vector<RoomPoly>& polys) {
    return batch(
        polys, [&](std::size_t i) { return Key{Pass::Opaque, polys[i].Texture, -1}; },
        [](const RoomPoly&) { return Vec3{}; });
}

}  // namespace tessarin::viewer
