#include "LevelComposer.h"

#include <algorithm>
#include <array>

#include "LevelBuilder.h"
#include "MeshShapes.h"

namespace tessarin::levelgen {

using namespace tessarin::level;

namespace {

std::int16_t s16(int v) { return static_cast<std::int16_t>(v); }
std::int16_t angleUnits(int degrees) { return static_cast<std::int16_t>(degrees * 65536 / 360); }

// Room geometry under construction: vertices shared between faces by position.
class Geometry {
public:
    Geometry(TRRoom& room, std::int16_t version) : m_room(room), m_version(version) {}

    int vertex(int x, int y, int z) {
        const std::array<int, 3> key{x, y, z};
        auto it = m_index.find(key);
        if (it != m_index.end()) return it->second;
        TRRoomVertex v{s16(x), s16(y), s16(z), 0, 0, 0};
        // Lighting: an intensity in TR1/TR2 (0 bright), a 15-bit colour in the second word from TR3 on.
        v.Lighting = s16(m_version < kVersionTR3 ? 0x0C00 : 0x1000);
        if (m_version >= kVersionTR2) v.Lighting2 = s16(m_version < kVersionTR3 ? 0x0C00 : 0x56B5);
        m_room.Vertices.push_back(v);
        const int index = static_cast<int>(m_room.Vertices.size()) - 1;
        m_index.emplace(key, index);
        return index;
    }
    using P = std::array<int, 3>;
    // The corners are given counter-clockwise as seen from the room's inside; the games store
    // faces the other way round (clockwise seen from the side that is drawn), so they are written
    // from the second corner backwards - which also keeps the texture upright, only mirrored.
    void quad(P a, P b, P c, P d, Material m) {
        m_room.Rectangles.push_back({{s16(vertex(b[0], b[1], b[2])), s16(vertex(a[0], a[1], a[2])),
                                      s16(vertex(d[0], d[1], d[2])), s16(vertex(c[0], c[1], c[2]))},
                                     quadTexture(m), 0});
    }
    void triangle(P a, P b, P c, Material m) {
        m_room.Triangles.push_back({{s16(vertex(b[0], b[1], b[2])), s16(vertex(a[0], a[1], a[2])),
                                     s16(vertex(c[0], c[1], c[2]))},
                                    triangleTexture(m), 0});
    }

private:
    TRRoom& m_room;
    std::int16_t m_version;
    std::map<std::array<int, 3>, int> m_index;
};

}  // namespace

LevelComposer::LevelComposer(std::int16_t version, std::uint32_t seed)
    : m_version(version), m_seed(seed), m_level(emptyLevel(version)) {
    addTexturePage(m_level, version, seed);
}

int LevelComposer::addRoom(const RoomSpec& s) {
    if (s.width < 3 || s.depth < 3 || s.width > 31 || s.depth > 31)
        throw BuildError("a room is 3 to 31 sectors wide and deep");
    if (s.ceiling >= s.floor) throw BuildError("a room's ceiling must lie above its floor");
    TRRoom r = boxRoom(s.x, s.z, s.width, s.depth, s.floor, s.ceiling);
    if (m_version >= kVersionTR4) {
        r.RoomExtra = 0x40;
        r.AmbientIntensity1 = r.AmbientIntensity2 = 0;
    } else {
        r.AmbientIntensity1 = 0x0800;
        r.AmbientIntensity2 = s16(m_version > kVersionTR1 ? 0x0800 : 0);  // TR1 files have one
    }
    m_level.Rooms.push_back(std::move(r));
    m_rooms.push_back(s);
    m_neighbours.emplace_back();
    m_padFaces.push_back(0);
    return static_cast<int>(m_rooms.size()) - 1;
}

void LevelComposer::checkSector(int room, int x, int z, const char* what) const {
    if (room < 0 || room >= roomCount()) throw BuildError(std::string(what) + ": no room " + std::to_string(room));
    const RoomSpec& s = m_rooms[static_cast<std::size_t>(room)];
    if (x < 1 || z < 1 || x > s.width - 2 || z > s.depth - 2)
        throw BuildError(std::string(what) + ": sector " + std::to_string(x) + "," + std::to_string(z) +
                         " is not inside room " + std::to_string(room));
}

TRSector& LevelComposer::sector(int room, int x, int z) { return m_level.Rooms[static_cast<std::size_t>(room)].sector(x, z); }

LevelComposer::SectorExtras& LevelComposer::extras(int room, int x, int z) { return m_extras[{room, x, z}]; }

const LevelComposer::SectorExtras* LevelComposer::findExtras(int room, int x, int z) const {
    auto it = m_extras.find({room, x, z});
    return it == m_extras.end() ? nullptr : &it->second;
}

void LevelComposer::connect(int a, int b, int maxWidth) {
    if (a < 0 || b < 0 || a >= roomCount() || b >= roomCount() || a == b) throw BuildError("connect: bad rooms");
    for (const bool alongX : {true, false})
        for (const bool swap : {false, true}) {
            const int p = swap ? b : a, q = swap ? a : b;
            const RoomSpec &P = m_rooms[static_cast<std::size_t>(p)], &Q = m_rooms[static_cast<std::size_t>(q)];
            // Q's corner on the crossing axis; the other axis runs along the shared wall.
            const int pStart = alongX ? P.x : P.z, pSize = alongX ? P.width : P.depth, qStart = alongX ? Q.x : Q.z;
            if (pStart + pSize - 2 != qStart) continue;
            const int pAlong = alongX ? P.z : P.x, qAlong = alongX ? Q.z : Q.x;
            const int pLen = alongX ? P.depth : P.width, qLen = alongX ? Q.depth : Q.width;
            const int lo = std::max(pAlong, qAlong) + 1, hi = std::min(pAlong + pLen, qAlong + qLen) - 1;
            if (hi <= lo) continue;
            if (P.floor != Q.floor) throw BuildError("connect: rooms " + std::to_string(a) + " and " + std::to_string(b) + " have different floors");
            const int width = std::min(maxWidth, hi - lo), from = lo + (hi - lo - width) / 2, to = from + width;
            const int top = std::max(P.ceiling, Q.ceiling);
            for (int t = from; t < to; ++t) {
                const int px = alongX ? pSize - 1 : t - pAlong, pz = alongX ? t - pAlong : pSize - 1;
                const int qx = alongX ? 0 : t - qAlong, qz = alongX ? t - qAlong : 0;
                for (auto [room, sx, sz, other] : {std::tuple{p, px, pz, q}, std::tuple{q, qx, qz, p}}) {
                    SectorExtras& e = extras(room, sx, sz);
                    e.door = other;
                    e.doorTop = top;
                    TRSector& s = sector(room, sx, sz);
                    s.Floor = static_cast<std::int8_t>(P.floor / kClick);
                    s.Ceiling = static_cast<std::int8_t>(top / kClick);
                }
            }
            auto& pr = m_level.Rooms[static_cast<std::size_t>(p)];
            auto& qr = m_level.Rooms[static_cast<std::size_t>(q)];
            pr.Portals.push_back(wallPortal(q, alongX, (pSize - 1) * kSector, (from - pAlong) * kSector,
                                            (to - pAlong) * kSector, top, P.floor, -1));
            qr.Portals.push_back(wallPortal(p, alongX, kSector, (from - qAlong) * kSector, (to - qAlong) * kSector,
                                            top, P.floor, 1));
            m_neighbours[static_cast<std::size_t>(p)].push_back(q);
            m_neighbours[static_cast<std::size_t>(q)].push_back(p);
            return;
        }
    throw BuildError("connect: rooms " + std::to_string(a) + " and " + std::to_string(b) + " share no wall");
}

void LevelComposer::stack(int upper, int lower, int x0, int z0, int x1, int z1) {
    if (upper < 0 || lower < 0 || upper >= roomCount() || lower >= roomCount()) throw BuildError("stack: bad rooms");
    const RoomSpec &U = m_rooms[static_cast<std::size_t>(upper)], &L = m_rooms[static_cast<std::size_t>(lower)];
    if (U.floor != L.ceiling) throw BuildError("stack: the upper room's floor must be the lower room's ceiling");
    for (int wx = x0; wx <= x1; ++wx)
        for (int wz = z0; wz <= z1; ++wz) {
            checkSector(upper, wx - U.x, wz - U.z, "stack");
            checkSector(lower, wx - L.x, wz - L.z, "stack");
            sector(upper, wx - U.x, wz - U.z).RoomBelow = static_cast<std::uint8_t>(lower);
            sector(lower, wx - L.x, wz - L.z).RoomAbove = static_cast<std::uint8_t>(upper);
        }
    m_level.Rooms[static_cast<std::size_t>(lower)].Portals.push_back(
        flatPortal(upper, x0 - L.x, z0 - L.z, x1 + 1 - L.x, z1 + 1 - L.z, L.ceiling, 1));
    m_level.Rooms[static_cast<std::size_t>(upper)].Portals.push_back(
        flatPortal(lower, x0 - U.x, z0 - U.z, x1 + 1 - U.x, z1 + 1 - U.z, U.floor, -1));
    m_neighbours[static_cast<std::size_t>(upper)].push_back(lower);
    m_neighbours[static_cast<std::size_t>(lower)].push_back(upper);
}

void LevelComposer::slope(int room, int x, int z, int xSlope, int zSlope) {
    checkSector(room, x, z, "slope");
    auto& e = extras(room, x, z);
    e.sloped = true;
    e.xSlope = xSlope;
    e.zSlope = zSlope;
}

void LevelComposer::monkey(int room, int x, int z) { checkSector(room, x, z, "monkey"); extras(room, x, z).monkey = true; }
void LevelComposer::code20(int room, int x, int z) { checkSector(room, x, z, "minecart"); extras(room, x, z).code = 20; }
void LevelComposer::code21(int room, int x, int z) { checkSector(room, x, z, "minecart"); extras(room, x, z).code = 21; }

void LevelComposer::trigger(int room, int x, int z, int type, std::uint16_t setup, const std::vector<TriggerAction>& actions) {
    checkSector(room, x, z, "trigger");
    if (actions.empty()) throw BuildError("a trigger needs at least one action");
    auto& e = extras(room, x, z);
    e.hasTrigger = true;
    e.triggerType = type;
    e.setup = setup;
    e.actions = actions;
}

int LevelComposer::defineStatic(int objectId, int mesh) {
    TRStaticMesh s;
    s.ObjectID = objectId;
    s.Mesh = s16(mesh);
    s.VisibilityBox = {-512, 512, -1024, 0, -512, 512};
    s.CollisionBox = s.VisibilityBox;
    s.Flags = 2;
    m_level.StaticMeshes.push_back(s);
    return static_cast<int>(m_level.StaticMeshes.size()) - 1;
}

void LevelComposer::defineObject(int objectId, int mesh) {
    m_level.Moveables.push_back({objectId, 1, s16(mesh), 0, 0, 0});
    m_hasMoveables = true;
}

int LevelComposer::floorAt(int room, int x, int z) const {
    return m_level.Rooms[static_cast<std::size_t>(room)].sector(x, z).Floor * kClick;
}

void LevelComposer::placeStatic(int room, int x, int z, int objectId, int angleDegrees) {
    checkSector(room, x, z, "static");
    const RoomSpec& s = m_rooms[static_cast<std::size_t>(room)];
    TRRoomStatic st;
    st.X = (s.x + x) * kSector + kSector / 2;
    st.Y = floorAt(room, x, z);
    st.Z = (s.z + z) * kSector + kSector / 2;
    st.Rotation = static_cast<std::uint16_t>(angleUnits(angleDegrees));
    st.Intensity1 = s16(m_version >= kVersionTR4 ? 0x4210 : 0x0800);
    st.Intensity2 = m_version > kVersionTR1 ? st.Intensity1 : std::int16_t{0};
    st.ObjectID = static_cast<std::uint16_t>(objectId);
    m_level.Rooms[static_cast<std::size_t>(room)].StaticMeshes.push_back(st);
}

int LevelComposer::addItem(int objectId, int room, int x, int z, int angleDegrees, int ocb, std::uint16_t flags) {
    if (room < 0 || room >= roomCount()) throw BuildError("item: no room " + std::to_string(room));
    const RoomSpec& s = m_rooms[static_cast<std::size_t>(room)];
    if (x < 0 || z < 0 || x >= s.width || z >= s.depth) throw BuildError("item: sector outside its room");
    TRItem it;
    it.ObjectID = s16(objectId);
    it.Room = s16(room);
    it.X = (s.x + x) * kSector + kSector / 2;
    it.Y = floorAt(room, x, z) == -127 * kClick ? s.floor : floorAt(room, x, z);
    it.Z = (s.z + z) * kSector + kSector / 2;
    it.Angle = angleUnits(angleDegrees);
    it.Intensity1 = -1;
    // TR2/TR3 keep a second intensity in this word; TR1 items have no such word.
    it.OCB = s16(m_version >= kVersionTR4 ? ocb : m_version == kVersionTR1 ? 0 : -1);
    it.Flags = flags;
    m_level.Items.push_back(it);
    return static_cast<int>(m_level.Items.size()) - 1;
}

int LevelComposer::addCamera(int room, int x, int z, int height) {
    checkSector(room, x, z, "camera");
    const RoomSpec& s = m_rooms[static_cast<std::size_t>(room)];
    m_level.Cameras.push_back({(s.x + x) * kSector + kSector / 2, s.floor - height, (s.z + z) * kSector + kSector / 2,
                               s16(room), 0});
    return static_cast<int>(m_level.Cameras.size()) - 1;
}

void LevelComposer::addAIObject(int objectId, int room, int x, int z, int ocb) {
    checkSector(room, x, z, "AI object");
    const RoomSpec& s = m_rooms[static_cast<std::size_t>(room)];
    TRAIObject a;
    a.ObjectID = s16(objectId);
    a.Room = s16(room);
    a.X = (s.x + x) * kSector + kSector / 2;
    a.Y = s.floor;
    a.Z = (s.z + z) * kSector + kSector / 2;
    a.Extra[0] = static_cast<std::uint8_t>(ocb & 0xFF);  // OCB, flags, angle, box: 2 bytes each
    a.Extra[1] = static_cast<std::uint8_t>((ocb >> 8) & 0xFF);
    m_level.AIObjects.push_back(a);
}

void LevelComposer::setDemo(const std::vector<std::int32_t>& words) {
    m_level.DemoData = words;
    m_level.NumDemoData = s16(static_cast<int>(4 * words.size()));
}

void LevelComposer::padFaces(int room, int faces) { m_padFaces.at(static_cast<std::size_t>(room)) = faces; }

void LevelComposer::buildGeometry(int ri) {
    const RoomSpec& s = m_rooms[static_cast<std::size_t>(ri)];
    TRRoom& r = m_level.Rooms[static_cast<std::size_t>(ri)];
    Geometry g(r, m_version);
    const int fy = s.floor, cy = s.ceiling;
    for (int x = 1; x <= s.width - 2; ++x)
        for (int z = 1; z <= s.depth - 2; ++z) {
            const int x0 = x * kSector, x1 = x0 + kSector, z0 = z * kSector, z1 = z0 + kSector;
            const TRSector& sec = r.sector(x, z);
            const SectorExtras* e = findExtras(ri, x, z);
            if (sec.RoomBelow == 255) {
                if (e && e->sloped) {
                    // Corner heights rise by the slope (in clicks) towards +x and +z.
                    auto h = [&](int cx, int cz) { return fy - (e->xSlope * cx + e->zSlope * cz) * kClick; };
                    g.triangle({x0, h(0, 0), z0}, {x1, h(1, 0), z0}, {x1, h(1, 1), z1}, s.floorMaterial);
                    g.triangle({x0, h(0, 0), z0}, {x1, h(1, 1), z1}, {x0, h(0, 1), z1}, s.floorMaterial);
                } else if (x == 1 && z == 1) {
                    // One corner sector of every room is two triangles.
                    g.triangle({x0, fy, z0}, {x1, fy, z0}, {x0, fy, z1}, s.floorMaterial);
                    g.triangle({x1, fy, z0}, {x1, fy, z1}, {x0, fy, z1}, s.floorMaterial);
                } else {
                    g.quad({x0, fy, z0}, {x1, fy, z0}, {x1, fy, z1}, {x0, fy, z1}, s.floorMaterial);
                }
            }
            if (sec.RoomAbove == 255)
                g.quad({x0, cy, z1}, {x1, cy, z1}, {x1, cy, z0}, {x0, cy, z0}, s.ceilingMaterial);
            // Walls towards the ring, in strips at most one sector tall; a doorway leaves only its lintel.
            const std::array<std::array<int, 2>, 4> dirs{{{1, 0}, {-1, 0}, {0, 1}, {0, -1}}};
            for (const auto& d : dirs) {
                const int nx = x + d[0], nz = z + d[1];
                if (nx >= 1 && nz >= 1 && nx <= s.width - 2 && nz <= s.depth - 2) continue;
                const SectorExtras* ne = findExtras(ri, nx, nz);
                const int bottom = ne && ne->door >= 0 ? ne->doorTop : fy;
                // The wall's two ends, ordered so that the face looks into the room.
                std::array<int, 2> a, b;
                if (d[0] == 1) { a = {x1, z0}; b = {x1, z1}; }
                else if (d[0] == -1) { a = {x0, z1}; b = {x0, z0}; }
                else if (d[1] == 1) { a = {x1, z1}; b = {x0, z1}; }
                else { a = {x0, z0}; b = {x1, z0}; }
                for (int top = cy; top < bottom; top += kSector) {
                    const int low = std::min(top + kSector, bottom);
                    g.quad({a[0], top, a[1]}, {b[0], top, b[1]}, {b[0], low, b[1]}, {a[0], low, a[1]}, s.wall);
                }
            }
        }
    // Extra faces for large benchmark levels: small tiles just above the floor.
    std::uint32_t k = m_seed + static_cast<std::uint32_t>(ri) * 7919u;
    for (int n = static_cast<int>(r.Rectangles.size() + r.Triangles.size()), i = 0; n < m_padFaces[static_cast<std::size_t>(ri)]; ++n, ++i) {
        k = k * 1103515245u + 12345u;
        const int x = 1 + static_cast<int>((k >> 8) % static_cast<std::uint32_t>(s.width - 2));
        const int z = 1 + static_cast<int>((k >> 16) % static_cast<std::uint32_t>(s.depth - 2));
        const int x0 = x * kSector + 128 + (i % 3) * 256, z0 = z * kSector + 128 + (i / 3 % 3) * 256, y = fy - 1 - i % 16;
        if (i % 2) g.triangle({x0, y, z0}, {x0 + 256, y, z0}, {x0, y, z0 + 256}, s.floorMaterial);
        else g.quad({x0, y, z0}, {x0 + 256, y, z0}, {x0 + 256, y, z0 + 256}, {x0, y, z0 + 256}, s.floorMaterial);
    }
    if (r.Vertices.size() > 32767 || r.Rectangles.size() > 32767 || r.Triangles.size() > 32767)
        throw BuildError("room " + std::to_string(ri) + " holds more geometry than its counts can state");

    // One light under the middle of the ceiling.
    TRLight l;
    const int lx = s.width * kSector / 2, lz = s.depth * kSector / 2;
    const int wx = s.x * kSector + lx, wy = cy + kClick, wz = s.z * kSector + lz;
    if (m_version < kVersionTR4) {
        l.X = wx; l.Y = wy; l.Z = wz;
        l.Intensity1 = 0x1000;
        l.Fade1 = 4096 * 3;
        if (m_version > kVersionTR1) { l.Intensity2 = l.Intensity1; l.Fade2 = l.Fade1; }
        if (m_version == kVersionTR3) {
            // TR3 keeps a colour and a light type in those four bytes: a warm white point light.
            l.Intensity1 = s16(255 | 236 << 8);
            l.Intensity2 = s16(200 | 1 << 8);
        }
    } else if (m_version == kVersionTR4) {
        l.X4 = wx; l.Y4 = wy; l.Z4 = wz;
        l.Colour = {255, 236, 200};
        l.LightType = 1;
        l.Intensity = 31;
        l.In = 1024; l.Out = 8192;
    } else {
        l.X = wx; l.Y = wy; l.Z = wz;
        l.X5 = static_cast<float>(wx); l.Y5 = static_cast<float>(wy); l.Z5 = static_cast<float>(wz);
        l.Red = 1.0f; l.Green = 0.92f; l.Blue = 0.78f;
        l.LightType = 1;
        l.In = 1024; l.Out = 8192; l.Range = 8192;
    }
    r.Lights.push_back(l);
}

void LevelComposer::buildBoxes() {
    // One box per room over its inside; rooms that meet through a portal overlap.
    for (int i = 0; i < roomCount(); ++i) {
        const RoomSpec& s = m_rooms[static_cast<std::size_t>(i)];
        TRBox b;
        b.Zmin = static_cast<std::uint8_t>(s.z + 1);
        b.Zmax = static_cast<std::uint8_t>(s.z + s.depth - 1);
        b.Xmin = static_cast<std::uint8_t>(s.x + 1);
        b.Xmax = static_cast<std::uint8_t>(s.x + s.width - 1);
        b.TrueFloor = s16(s.floor);
        const auto& n = m_neighbours[static_cast<std::size_t>(i)];
        if (n.empty()) {
            b.OverlapIndex = -1;
        } else {
            b.OverlapIndex = s16(static_cast<int>(m_level.Overlaps.size()));
            for (std::size_t k = 0; k < n.size(); ++k)
                m_level.Overlaps.push_back(s16(k + 1 == n.size() ? (n[k] | 0x8000) : n[k]));
        }
        m_level.Boxes.push_back(b);
        TRRoom& r = m_level.Rooms[static_cast<std::size_t>(i)];
        const int material = s.floorMaterial == Material::WoodFloor ? 7 : s.floorMaterial == Material::MetalGrate ? 8 : 6;
        for (int x = 1; x <= s.width - 2; ++x)
            for (int z = 1; z <= s.depth - 2; ++z)
                r.sector(x, z).BoxIndex = static_cast<std::uint16_t>(m_version >= kVersionTR3 ? (i << 4) | material : i);
    }
    const std::size_t zoneWords = m_version == kVersionTR1 ? 6 : 10;
    m_level.Zones.assign(m_level.Boxes.size() * zoneWords, 0);
}

TRLevel LevelComposer::finish() {
    for (int i = 0; i < roomCount(); ++i) buildGeometry(i);
    buildBoxes();
    // Floor data, sector by sector in file order; entries in the order the games write them.
    for (int ri = 0; ri < roomCount(); ++ri) {
        TRRoom& r = m_level.Rooms[static_cast<std::size_t>(ri)];
        for (int x = 0; x < r.NumXSectors; ++x)
            for (int z = 0; z < r.NumZSectors; ++z) {
                const SectorExtras* e = findExtras(ri, x, z);
                if (!e) continue;
                FloorDataList list;
                if (e->sloped) list.floorSlope(e->xSlope, e->zSlope);
                if (e->door >= 0) list.door(e->door);
                if (e->hasTrigger) list.trigger(e->triggerType, e->setup, e->actions);
                if (e->monkey) list.monkey();
                if (e->code == 20) list.code20();
                if (e->code == 21) list.code21();
                r.sector(x, z).FDIndex = list.appendTo(m_level);
            }
    }
    if (m_level.FloorData.size() > 0xFFFF) throw BuildError("floor data longer than FDIndex can address");
    if (m_hasMoveables) {
        // One still frame (bounding box, offset, one rotation) and one animation shared by every object.
        m_level.Frames = {-256, 256, -512, 0, -256, 256, 0, 0, 0, 0, 0, 0};
        TRAnimation a;
        a.FrameRate = 1;
        a.FrameSize = static_cast<std::uint8_t>(m_version == kVersionTR1 ? 12 : 11);
        m_level.Animations = {a};
    }
    const std::size_t soundEntries = m_version == kVersionTR1 ? 256 : kSoundMapSize;
    std::fill(m_level.SoundMap.begin(), m_level.SoundMap.begin() + static_cast<std::ptrdiff_t>(soundEntries), std::int16_t{-1});
    if (m_version >= kVersionTR4) {
        // The third texture block: one page of sky gradient.
        m_level.NumMiscTextiles = 1;
        m_level.MiscTextile.resize(kTextilePixels);
        for (std::size_t i = 0; i < kTextilePixels; ++i) {
            const auto y = static_cast<std::uint32_t>(i / 256);
            m_level.MiscTextile[i] = 0xFF000000u | ((60 + y / 4) << 16) | ((90 + y / 3) << 8) | (150 + y / 3);
        }
    }
    return std::move(m_level);
}

}  // namespace tessarin::levelgen
