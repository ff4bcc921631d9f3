#include "viewer/StaticMeshes.h"

#include <algorithm>
#include <unordered_map>

namespace tessarin::viewer {

namespace {

constexpr float kStep = 1.0f / 255.0f;

float insetCoordinate(std::uint8_t pixel, std::uint8_t reference) {
    return static_cast<float>(pixel) / 255.0f + (pixel == reference ? kStep : -kStep);
}

// A mesh face as the rooms' faces are built: low 12 bits of the texture, one-step inset, white.
template <std::size_t N>
bool buildFace(const level::TRLevel& level, const level::TRMesh& mesh, const std::array<std::uint16_t, N>& indices,
               std::uint16_t texture, RoomPoly& poly) {
    const std::size_t t = texture & 0x0FFFu;
    if (t >= level.ObjectTextures.size() || t >= level.TextureTiles.size()) return false;
    const level::TRObjectTexture& objectTexture = level.ObjectTextures[t];
    const level::TextureTile& tile = level.TextureTiles[t];
    for (std::size_t k = 0; k < N; ++k) {
        if (indices[k] >= mesh.Vertices.size()) return false;
        const level::TRVertex16& mv = mesh.Vertices[indices[k]];
        PolyVertex& out = poly.Vertices[k];
        out.x = static_cast<float>(mv.X) / 1024.0f;
        out.y = -static_cast<float>(mv.Y) / 1024.0f;
        out.z = static_cast<float>(mv.Z) / 1024.0f;
        out.tu = insetCoordinate(objectTexture.Vertices[k].XPixel, tile.RefU);
        out.tv = insetCoordinate(objectTexture.Vertices[k].YPixel, tile.RefV);
    }
    poly.Texture = tile.Tile;
    return true;
}

void buildPolys(const level::TRLevel& level, const level::TRMesh& mesh, StaticMeshShape& entry) {
    entry.Polys.reserve(mesh.TexturedRectangles.size() + mesh.TexturedTriangles.size());
    RoomPoly poly;
    poly.Room = -1;
    for (const level::TRMeshRectangle& face : mesh.TexturedRectangles) {
        if (!buildFace(level, mesh, face.Vertices, face.Texture, poly)) continue;
        poly.VertexCount = 5;
        poly.Vertices[4] = poly.Vertices[0];
        entry.Polys.push_back(poly);
    }
    for (const level::TRMeshTriangle& face : mesh.TexturedTriangles) {
        if (!buildFace(level, mesh, face.Vertices, face.Texture, poly)) continue;
        poly.VertexCount = 3;
        poly.Vertices[3] = poly.Vertices[4] = PolyVertex{};
        entry.Polys.push_back(poly);
    }
    for (const RoomPoly& p : entry.Polys)
        for (int k = 0; k < p.VertexCount; ++k) {
            const PolyVertex& v = p.Vertices[static_cast<std::size_t>(k)];
            entry.Bounds.add({v.x, v.y, v.z});
        }
}

}  // namespace

std::vector<StaticMeshPolys> BuildStaticMeshes(const level::TRLevel& level) {
    const auto empty = std::make_shared<const StaticMeshShape>();
    std::vector<StaticMeshPolys> result(level.StaticMeshes.size());
    std::unordered_map<std::int32_t, std::shared_ptr<const StaticMeshShape>> byOffset;
    std::uint64_t parsedBytes = 0, faces = 0;
    for (std::size_t i = 0; i < level.StaticMeshes.size(); ++i) {
        StaticMeshPolys& entry = result[i];
        entry.ObjectID = level.StaticMeshes[i].ObjectID;
        entry.Shape = empty;
        const int meshIndex = level.StaticMeshes[i].Mesh;
        if (meshIndex < 0 || static_cast<std::size_t>(meshIndex) >= level.MeshPointers.size()) continue;
        const std::int32_t offset = level.MeshPointers[static_cast<std::size_t>(meshIndex)];
        auto known = byOffset.find(offset);
        if (known == byOffset.end()) {
            // ParseMesh refuses a pointer or a count that runs outside MeshData; such a mesh stays empty.
            // The extent comes from the counts alone, so overlapping meshes are told apart before
            // any is parsed: each could take nearly the whole block, again and again.
            std::shared_ptr<const StaticMeshShape> shape;
            const std::uint64_t extent = level::MeshExtent(level.MeshData, offset, level.LevelVersion);
            parsedBytes += extent;
            auto parsed = extent != 0 && parsedBytes <= level.MeshData.size()
                              ? level::ParseMesh(level.MeshData, offset, level.LevelVersion)
                              : util::Result<level::TRMesh>::failure("the meshes overlap");
            if (parsed) {
                faces += parsed->TexturedRectangles.size() + parsed->TexturedTriangles.size();
                if (faces <= kMaxStaticFaces) {
                    auto built = std::make_shared<StaticMeshShape>();
                    buildPolys(level, *parsed, *built);
                    shape = std::move(built);
                }
            }
            known = byOffset.emplace(offset, std::move(shape)).first;
        }
        if (!known->second) continue;
        entry.Shape = known->second;
        entry.Valid = true;
    }
    return result;
}

std::size_t CountStaticPolys(const std::vector<StaticMeshPolys>& statics) {
    std::size_t n = 0;
    for (const auto& s : statics) n += s.polys().size();
    return n;
}

float StaticAngle(std::uint16_t rotation) {
    // The game turns a static as it turns an item: the mesh's +z (front) goes where an item of that
    // angle walks, to (sin, cos) in x and z, which is Mat4::rotationY of the same angle. Negating the
    // angle, as the signed form once did, left quarter turns facing backwards.
    return static_cast<float>(rotation / 16384.0 * 1.57);
}

std::vector<StaticPlacement> StaticPlacements(const level::TRLevel& level, int room) {
    // One look-up table for all placements: thousands of them, each searching thousands of
    // definitions, would multiply. The first definition of an ID wins, as the editor's search finds it.
    std::unordered_map<std::int64_t, int> definitions;
    definitions.reserve(level.StaticMeshes.size());
    for (std::size_t i = 0; i < level.StaticMeshes.size(); ++i)
        definitions.emplace(level.StaticMeshes[i].ObjectID, static_cast<int>(i));
    std::vector<StaticPlacement> result;
    const std::size_t first = room < 0 ? 0 : static_cast<std::size_t>(room);
    const std::size_t last = room < 0 ? level.Rooms.size() : std::min(level.Rooms.size(), first + 1);
    for (std::size_t r = first; r < last; ++r)
        for (const level::TRRoomStatic& s : level.Rooms[r].StaticMeshes) {
            StaticPlacement p;
            p.Room = static_cast<int>(r);
            const auto found = definitions.find(s.ObjectID);
            p.Definition = found == definitions.end() ? -1 : found->second;
            p.Position = {static_cast<float>(s.X / 1024.0), static_cast<float>(-static_cast<double>(s.Y) / 1024.0),
                          static_cast<float>(s.Z / 1024.0)};
            p.Angle = StaticAngle(s.Rotation);
            result.push_back(p);
        }
    return result;
}

Mat4 StaticMeshMatrix(const StaticPlacement& placement) {
    return Mat4::translation(placement.Position.x, placement.Position.y, placement.Position.z) *
           Mat4::rotationY(placement.Angle);
}

}  // namespace tessarin::viewer
