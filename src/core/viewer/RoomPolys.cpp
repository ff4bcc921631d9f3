#include "viewer/RoomPolys.h"

#include <algorithm>
#include <cmath>

namespace tessarin::viewer {

namespace {

constexpr float kStep = 1.0f / 255.0f;

// Object textures are named by the low 12 bits; bit 15 marks a double-sided face (IsDoubleSided).
std::size_t textureIndex(std::int16_t texture) { return static_cast<std::uint16_t>(texture) & 0x0FFFu; }

// One texture coordinate moved one step into the texture: up from the reference corner, down
// from the others, so the face never samples its neighbour on the page.
float insetCoordinate(std::uint8_t pixel, std::uint8_t reference) {
    return static_cast<float>(pixel) / 255.0f + (pixel == reference ? kStep : -kStep);
}

template <std::size_t N>
int faceTexture(const level::TRLevel& level, const level::TRRoom& room, const std::array<std::int16_t, N>& indices,
                std::int16_t texture) {
    const std::size_t t = textureIndex(texture);
    if (t >= level.ObjectTextures.size() || t >= level.TextureTiles.size()) return -1;
    for (const std::int16_t index : indices)
        if (static_cast<std::uint16_t>(index) >= room.Vertices.size()) return -1;
    return static_cast<int>(t);
}

template <typename Face>
bool buildFace(const level::TRLevel& level, int room, const Face& face, RoomPoly& poly, std::int32_t& blend) {
    if (room < 0 || static_cast<std::size_t>(room) >= level.Rooms.size()) return false;
    const level::TRRoom& r = level.Rooms[static_cast<std::size_t>(room)];
    const int t = faceTexture(level, r, face.Vertices, face.Texture);
    if (t < 0) return false;
    const level::TRObjectTexture& objectTexture = level.ObjectTextures[static_cast<std::size_t>(t)];
    const level::TextureTile& tile = level.TextureTiles[static_cast<std::size_t>(t)];
    constexpr std::size_t N = std::tuple_size_v<decltype(face.Vertices)>;
    for (std::size_t k = 0; k < N; ++k) {
        const level::TRRoomVertex& rv = r.Vertices[static_cast<std::uint16_t>(face.Vertices[k])];
        const level::TRTextureCorner& corner = objectTexture.Vertices[k];
        PolyVertex& out = poly.Vertices[k];
        out.x = static_cast<float>(rv.X) / 1024.0f;
        out.y = -static_cast<float>(rv.Y) / 1024.0f;
        out.z = static_cast<float>(rv.Z) / 1024.0f;
        out.tu = insetCoordinate(corner.XPixel, tile.RefU);
        out.tv = insetCoordinate(corner.YPixel, tile.RefV);
    }
    if constexpr (N == 4) {
        poly.VertexCount = 5;
        poly.Vertices[4] = poly.Vertices[0];
    } else {
        poly.VertexCount = 3;
        poly.Vertices[3] = poly.Vertices[4] = PolyVertex{};
    }
    poly.Texture = tile.Tile;
    poly.Room = room;
    poly.Marked = false;
    poly.DoubleSided = IsDoubleSided(face.Texture);
    blend = objectTexture.Attribute;
    return true;
}

bool isCorner(float value, int sector) { return value == static_cast<float>(sector) || value == static_cast<float>(sector + 1); }

}  // namespace

void BuildRoom(RoomPolyList& list, const level::TRLevel& level, int room, const SelectedSector* selected) {
    if (room < 0 || static_cast<std::size_t>(room) >= level.Rooms.size()) return;
    const level::TRRoom& r = level.Rooms[static_cast<std::size_t>(room)];
    // Grow geometrically: reserving the exact size room after room would copy the list every time.
    const std::size_t want = list.RoomPolys.size() + r.Rectangles.size() + r.Triangles.size();
    if (want > list.RoomPolys.capacity()) {
        const std::size_t grown = std::max(want, 2 * list.RoomPolys.capacity());
        list.RoomPolys.reserve(grown);
        list.RoomPolyBlend.reserve(grown);
    }

    RoomPoly poly;
    std::int32_t blend = 0;
    for (const level::TRRoomQuad& quad : r.Rectangles) {
        if (!buildFace(level, room, quad, poly, blend)) continue;
        poly.Marked = selected != nullptr && MarkSelectedSector(poly, selected->SelectedX, selected->SelectedZ);
        list.RoomPolys.push_back(poly);
        list.RoomPolyBlend.push_back(blend);
    }
    for (const level::TRRoomTriangle& triangle : r.Triangles) {
        if (!buildFace(level, room, triangle, poly, blend)) continue;
        list.RoomPolys.push_back(poly);
        list.RoomPolyBlend.push_back(blend);
    }
}

bool BuildRoomFace(const level::TRLevel& level, int room, const level::TRRoomQuad& face, RoomPoly& poly,
                   std::int32_t& blend) {
    return buildFace(level, room, face, poly, blend);
}

bool BuildRoomFace(const level::TRLevel& level, int room, const level::TRRoomTriangle& face, RoomPoly& poly,
                   std::int32_t& blend) {
    return buildFace(level, room, face, poly, blend);
}

int RoomFaceTexture(const level::TRLevel& level, const level::TRRoom& room, const level::TRRoomQuad& face) {
    return faceTexture(level, room, face.Vertices, face.Texture);
}

int RoomFaceTexture(const level::TRLevel& level, const level::TRRoom& room, const level::TRRoomTriangle& face) {
    return faceTexture(level, room, face.Vertices, face.Texture);
}

bool MarkSelectedSector(const RoomPoly& poly, int selectedX, int selectedZ) {
    if (poly.VertexCount != 5) return false;
    for (int k = 0; k < poly.VertexCount; ++k) {
        const PolyVertex& v = poly.Vertices[static_cast<std::size_t>(k)];
        if (!isCorner(v.x, selectedX) || !isCorner(v.z, selectedZ)) return false;
    }
    return true;
}

void MarkSelectedSector(RoomPolyList& list, const SelectedSector* selected) {
    for (RoomPoly& poly : list.RoomPolys)
        poly.Marked = selected != nullptr && MarkSelectedSector(poly, selected->SelectedX, selected->SelectedZ);
}

Vec3 RoomOrigin(const level::TRRoom& room) {
    return {static_cast<float>(room.X / 1024.0), 0, static_cast<float>(room.Z / 1024.0)};
}

bool NearCamera(const PolyVertex& vertex, const Vec3& roomOrigin, const Camera& camera) {
    const double dx = static_cast<double>(vertex.x) + roomOrigin.x - camera.CamX;
    const double dy = static_cast<double>(vertex.y) + roomOrigin.y - camera.CamY;
    const double dz = static_cast<double>(vertex.z) + roomOrigin.z - camera.CamZ;
    return std::sqrt(dx * dx + dy * dy + dz * dz) <= 100.0;
}

std::vector<Box> RoomBounds(const level::TRLevel& level) {
    std::vector<Box> boxes(level.Rooms.size());
    for (std::size_t r = 0; r < level.Rooms.size(); ++r) {
        const Vec3 origin = RoomOrigin(level.Rooms[r]);
        for (const level::TRRoomVertex& v : level.Rooms[r].Vertices)
            boxes[r].add({origin.x + static_cast<float>(v.X) / 1024.0f, -static_cast<float>(v.Y) / 1024.0f,
                          origin.z + static_cast<float>(v.Z) / 1024.0f});
    }
    return boxes;
}

std::vector<bool> PortalVisibleRooms(const level::TRLevel& level, const Vec3& eye, const Frustum& frustum) {
    const std::size_t rooms = level.Rooms.size();
    // A room named as another's alternate is that room flipped, standing in the same place: drawn
    // together the two fight over every pixel. The level is shown as it starts, unflipped.
    auto alternate = [&](std::size_t r) {  // `rooms` for none
        const int alt = level.Rooms[r].AlternateRoom;
        return alt < 0 || static_cast<std::size_t>(alt) >= rooms || static_cast<std::size_t>(alt) == r
                   ? rooms
                   : static_cast<std::size_t>(alt);
    };
    std::vector<bool> flipped(rooms, false);
    for (std::size_t r = 0; r < rooms; ++r)
        if (alternate(r) < rooms) flipped[alternate(r)] = true;
    // Rooms naming each other round a ring (two that name each other, or more in a damaged file) are
    // all named, yet stand in one place: the ring's lowest room is shown, unless a shown room names
    // one of them. Each room names at most one, so one walk from each room finds every ring.
    std::vector<bool> namedByShown(rooms, false);
    for (std::size_t r = 0; r < rooms; ++r)
        if (!flipped[r] && alternate(r) < rooms) namedByShown[alternate(r)] = true;
    std::vector<std::size_t> walkOf(rooms, 0);  // 1 + the room the walk that reached it began at
    for (std::size_t start = 0; start < rooms; ++start) {
        std::size_t r = start;
        while (r < rooms && walkOf[r] == 0) {
            walkOf[r] = start + 1;
            r = alternate(r);
        }
        if (r >= rooms || walkOf[r] != start + 1) continue;  // ran out, or into an earlier walk
        std::size_t lowest = r;
        bool named = false;
        std::size_t q = r;
        do {
            lowest = std::min(lowest, q);
            named = named || namedByShown[q];
            q = alternate(q);
        } while (q != r);
        if (!named) flipped[lowest] = false;
    }
    std::vector<bool> seen(rooms, false);
    std::vector<std::size_t> queue;
    for (std::size_t r = 0; r < rooms; ++r)
        if (!flipped[r] && RoomHoldsPoint(level.Rooms[r], eye.x, eye.y, eye.z)) {
            seen[r] = true;
            queue.push_back(r);
        }
    if (queue.empty()) {
        for (std::size_t r = 0; r < rooms; ++r) seen[r] = !flipped[r];
        return seen;
    }
    // A doorway closer to the eye than the near plane may fall outside the frustum while the room
    // behind it fills the view.
    constexpr float kNextToEye = 0.25f;
    auto nextToEye = [&](const Box& b) {
        return eye.x >= b.min.x - kNextToEye && eye.x <= b.max.x + kNextToEye && eye.y >= b.min.y - kNextToEye &&
               eye.y <= b.max.y + kNextToEye && eye.z >= b.min.z - kNextToEye && eye.z <= b.max.z + kNextToEye;
    };
    while (!queue.empty()) {
        const std::size_t r = queue.back();
        queue.pop_back();
        const Vec3 origin = RoomOrigin(level.Rooms[r]);
        for (const level::TRPortal& portal : level.Rooms[r].Portals) {
            const int next = portal.AdjoiningRoom;
            if (next < 0 || static_cast<std::size_t>(next) >= rooms || seen[static_cast<std::size_t>(next)] ||
                flipped[static_cast<std::size_t>(next)])
                continue;
            Box opening;
            for (const level::TRVertex16& v : portal.Vertices)
                opening.add({origin.x + static_cast<float>(v.X) / 1024.0f, -static_cast<float>(v.Y) / 1024.0f,
                             origin.z + static_cast<float>(v.Z) / 1024.0f});
            if (!frustum.intersects(opening) && !nextToEye(opening)) continue;
            seen[static_cast<std::size_t>(next)] = true;
            queue.push_back(static_cast<std::size_t>(next));
        }
    }
    return seen;
}

std::size_t MaxViewerRoomFaces(std::uintmax_t fileBytes) {
    return 262144 + static_cast<std::size_t>(std::min<std::uintmax_t>(fileBytes / 8, std::uintmax_t{1} << 40));
}

std::string ViewerFacesRefusal(const level::TRLevel& level, std::uintmax_t fileBytes) {
    std::size_t faces = 0;
    for (const auto& room : level.Rooms) faces += room.Rectangles.size() + room.Triangles.size();
    const std::size_t ceiling = MaxViewerRoomFaces(fileBytes);
    if (faces <= ceiling) return {};
    return "The level's rooms have " + std::to_string(faces) + " faces, more than the " + std::to_string(ceiling) +
           " the viewer shows for a file of " + std::to_string(fileBytes) + " bytes.";
}

}  // namespace tessarin::viewer
