#include "viewer/PolyBatches.h"

#include <algorithm>
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

// Polygons in the order of their keys (list order kept among equal keys), emitted as triangles.
template <typename KeyOf, typename OriginOf>
TriangleBatches batch(const std::vector<RoomPoly>& polys, KeyOf keyOf, OriginOf originOf) {
    std::vector<Key> keys(polys.size());
    std::size_t triangles = 0;
    for (std::size_t i = 0; i < polys.size(); ++i) {
        keys[i] = keyOf(i);
        triangles += static_cast<std::size_t>(TriangleCount(polys[i]));
    }
    std::vector<std::uint32_t> order(polys.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return before(keys[a], keys[b]); });

    TriangleBatches out;
    out.vertices.reserve(triangles * 3);
    for (const std::uint32_t i : order) {
        const RoomPoly& poly = polys[i];
        const int count = TriangleCount(poly);
        if (count == 0) continue;
        const Key& key = keys[i];
        if (out.ranges.empty() || !(Key{out.ranges.back().pass, out.ranges.back().texture, out.ranges.back().room} == key))
            out.ranges.push_back({key.pass, key.texture, key.room, static_cast<std::uint32_t>(out.vertices.size()), 0});
        const Vec3 origin = originOf(poly);
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
            out.vertices.push_back(t);
        };
        for (int k = 1; k <= count; ++k) {
            emit(0);
            emit(k);
            emit(k + 1);
        }
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

TriangleBatches BatchMeshPolys(const std::vector<RoomPoly>& polys) {
    return batch(
        polys, [&](std::size_t i) { return Key{Pass::Opaque, polys[i].Texture, -1}; },
        [](const RoomPoly&) { return Vec3{}; });
}

}  // namespace tessarin::viewer
