#include "CraftedLevels.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "Emit.h"
#include "LevelBuilder.h"
#include "LevelFactory.h"

namespace tessarin::levelgen {

using namespace tessarin::level;
using detail::Emit;

namespace {

constexpr std::int16_t kAll[] = {1, 2, 3, 4, 5};

std::size_t scaled(std::size_t n, double scale) {
    return std::max<std::size_t>(1, static_cast<std::size_t>(std::llround(static_cast<double>(n) * scale)));
}

// A room of xs by zs open sectors, each naming floor-data list `fdIndex`.
TRRoom plainRoom(int xs, int zs, std::uint16_t fdIndex = 0) {
    TRRoom r = boxRoom(0, 0, 1, 1, 0, -1024);
    r.NumXSectors = static_cast<std::int16_t>(xs);
    r.NumZSectors = static_cast<std::int16_t>(zs);
    TRSector s;
    s.FDIndex = fdIndex;
    s.BoxIndex = 0xFFFF;
    s.RoomBelow = s.RoomAbove = 255;
    s.Floor = 0;
    s.Ceiling = -4;
    r.Sectors.assign(static_cast<std::size_t>(xs) * static_cast<std::size_t>(zs), s);
    return r;
}

// One textured page, one object texture on it and one 3 x 3 room: enough for every view to draw.
TRLevel baseLevel(std::int16_t version) {
    TRLevel l = emptyLevel(version);
    l.NumTextiles = 1;
    l.Rooms = {plainRoom(3, 3)};
    TRObjectTexture t;
    t.Vertices[1].XPixel = t.Vertices[2].XPixel = 63;
    t.Vertices[2].YPixel = t.Vertices[3].YPixel = 63;
    t.Width = t.Height = 63 * 256;
    l.ObjectTextures = {t};
    return l;
}

// A mesh in the layout of `version`: `vertices` corners of a square, then `rects` rectangles and
// `tris` triangles all on the first four corners and object texture 0.
std::vector<std::uint8_t> meshBytes(std::int16_t version, int vertices, int rects, int tris) {
    const bool effects = version >= kVersionTR4;
    Emit e;
    e.w(0); e.w(0); e.w(0); e.d(512);
    e.w(vertices);
    for (int i = 0; i < vertices; ++i) { e.w((i & 1) * 512); e.w(-256); e.w((i & 2) * 256); }
    e.w(0);  // no normals or lights
    e.w(rects);
    for (int i = 0; i < rects; ++i) { e.w(0); e.w(1); e.w(3); e.w(2); e.w(0); if (effects) e.w(0); }
    e.w(tris);
    for (int i = 0; i < tris; ++i) { e.w(0); e.w(1); e.w(2); e.w(0); if (effects) e.w(0); }
    if (!effects) { e.w(0); e.w(0); }
    return std::move(e.out);
}

TRStaticMesh staticNaming(int mesh, int objectId) {
    TRStaticMesh s;
    s.ObjectID = objectId;
    s.Mesh = static_cast<std::int16_t>(mesh);
    return s;
}

TRItem itemAt(const TRRoom& room, int x, int z, int objectId) {
    TRItem it;
    it.ObjectID = static_cast<std::int16_t>(objectId);
    it.X = room.X + 1024 * x + 512;
    it.Z = room.Z + 1024 * z + 512;
    it.Intensity1 = -1;
    return it;
}

// --- the classes -------------------------------------------------------------------------------

// Millions of pointers naming one small mesh (the converter once parsed it per pointer).
TRLevel meshPointers(std::int16_t v, double s) {
    TRLevel l = baseLevel(v);
    l.MeshData = meshBytes(v, 4, 1, 0);
    // TR4: as many as the level data may unpack to from so small a file.
    l.MeshPointers.assign(scaled(v == kVersionTR4 ? 8'000'000 : 1'048'576, s), 0);
    l.StaticMeshes = {staticNaming(0, 0)};
    return l;
}

// Pointers into a run of 0x7FFF words: each parses as a mesh of about a megabyte, and static
// definitions name each of them.
TRLevel meshOverlap(std::int16_t v, double s) {
    TRLevel l = baseLevel(v);
    l.MeshData.assign(2 * scaled(600'000, s), 0);
    for (std::size_t i = 0; i < l.MeshData.size(); i += 2) l.MeshData[i] = 0xFF, l.MeshData[i + 1] = 0x7F;
    const std::size_t n = scaled(2000, s);
    for (std::size_t p = 0; p < n; ++p) {
        l.MeshPointers.push_back(static_cast<std::int32_t>(2 * p));
        l.StaticMeshes.push_back(staticNaming(static_cast<int>(p), static_cast<int>(p)));
    }
    return l;
}

// One mesh of 16,000 textured faces named by thousands of static definitions and placements.
TRLevel staticsShare(std::int16_t v, double s) {
    TRLevel l = baseLevel(v);
    l.MeshData = meshBytes(v, 4, static_cast<int>(scaled(16'000, s)), 0);
    l.MeshPointers = {0};
    l.StaticMeshes.assign(scaled(v == kVersionTR4 ? 60'000 : 10'000, s), staticNaming(0, 0));
    for (std::size_t i = 0; i < l.StaticMeshes.size(); ++i) l.StaticMeshes[i].ObjectID = static_cast<std::int32_t>(i);
    TRRoomStatic placed;
    placed.X = placed.Z = 1536;
    l.Rooms[0].StaticMeshes.assign(scaled(2000, s), placed);
    return l;
}

// Animations x frames x 32767 meshes: one long animation, and many that claim the same frames.
TRLevel frames(std::int16_t v, double s) {
    TRLevel l = baseLevel(v);
    l.Frames.assign(scaled(100'000, s), static_cast<std::int16_t>(0x4FFF));
    TRAnimation a;
    a.FrameSize = 1;
    l.Animations.assign(scaled(20'000, s), a);
    TRMoveable m;
    m.NumMeshes = 32767;
    l.Moveables.assign(scaled(1000, s), m);
    for (auto& mv : l.Moveables) mv.Animation = 0;
    return l;
}

// Hundreds of thousands of sectors naming one trigger of 512 items: 327 million index records.
TRLevel triggerShared(std::int16_t v, double s, std::size_t sectors) {
    TRLevel l = baseLevel(v);
    std::vector<TriggerAction> actions;
    for (int i = 0; i < 512; ++i) actions.push_back({kObject, i, 0});
    const std::uint16_t fd = FloorDataList().trigger(kTrigger, 0, actions).appendTo(l);
    const std::size_t total = scaled(sectors, s);
    const int side = 256;
    l.Rooms.clear();
    for (std::size_t left = total; left > 0;) {
        const int zs = static_cast<int>(std::min<std::size_t>(side, (left + side - 1) / side));
        const int xs = static_cast<int>(std::min<std::size_t>(side, (left + zs - 1) / zs));
        l.Rooms.push_back(plainRoom(xs, zs, fd));
        left -= std::min<std::size_t>(left, static_cast<std::size_t>(xs) * static_cast<std::size_t>(zs));
    }
    for (int i = 0; i < 512; ++i) l.Items.push_back(itemAt(l.Rooms[0], 1, 1, 0));
    return l;
}

// A trigger whose 32765 actions never set the closing bit, and a sector naming every word of it
// (each action word 0x0004 also reads as the start of another such trigger).
TRLevel triggerUnclosed(std::int16_t v, double s) {
    TRLevel l = baseLevel(v);
    const std::size_t words = scaled(32'766, s);
    l.FloorData.assign(words + 1, 0x0004);
    l.FloorData[0] = 0;
    TRRoom r = plainRoom(182, static_cast<int>((words + 181) / 182));
    for (std::size_t i = 0; i < r.Sectors.size(); ++i)
        r.Sectors[i].FDIndex = static_cast<std::uint16_t>(1 + std::min(i, words - 1));
    l.Rooms = {r};
    for (int i = 0; i < 8; ++i) l.Items.push_back(itemAt(l.Rooms[0], 1, 1, 0));
    return l;
}

// Millions of one-word entries (code 5) without the closing bit, every sector of a 40 x 40 room
// naming its own place along them.
TRLevel listUnclosed(std::int16_t v, double s) {
    TRLevel l = baseLevel(v);
    l.FloorData.assign(scaled(4'000'000, s) + 1, 0x0005);
    l.FloorData[0] = 0;
    TRRoom r = plainRoom(40, 40);
    for (std::size_t i = 0; i < r.Sectors.size(); ++i)
        r.Sectors[i].FDIndex = static_cast<std::uint16_t>(1 + i % (l.FloorData.size() - 1));
    l.Rooms = {r};
    return l;
}

// Millions of one-action triggers in one list, none with the closing bit, named from sector (1, 1).
TRLevel triggerChain(std::int16_t v, double s, std::size_t triggers) {
    TRLevel l = baseLevel(v);
    const auto flipEffect = static_cast<std::uint16_t>(kFlipEffect << 10 | 0x8000);
    for (std::size_t i = scaled(triggers, s); i > 0; --i) l.FloorData.insert(l.FloorData.end(), {0x0004, 0, flipEffect});
    l.Rooms[0].Sectors[1 * 3 + 1].FDIndex = 1;
    return l;
}

// Millions of items on one sector.
TRLevel items(std::int16_t v, double s, std::size_t count) {
    TRLevel l = baseLevel(v);
    l.Items.assign(scaled(count, s), itemAt(l.Rooms[0], 1, 1, 0));
    return l;
}

// Texture pages up to what the file may unpack to (the chunks are then padded further).
TRLevel textures(std::int16_t v, double s) {
    TRLevel l = baseLevel(v);
    l.NumTextiles = static_cast<std::int32_t>(scaled(60, s));
    l.NumMiscTextiles = 2;
    return l;
}

// The most rooms a file may list (a signed 16-bit count before TR4), each of 3 x 3 sectors.
TRLevel roomsMany(std::int16_t v, double s) {
    TRLevel l = baseLevel(v);
    l.Rooms.assign(scaled(v >= kVersionTR4 ? 65'535 : 32'767, s), plainRoom(3, 3));
    return l;
}

// One room of millions of sectors, each with a trigger naming item 0.
TRLevel roomSectors(std::int16_t v, double s) {
    TRLevel l = baseLevel(v);
    const std::uint16_t fd = FloorDataList().trigger(kTrigger, 0, {{kObject, 0, 0}}).appendTo(l);
    const int side = static_cast<int>(std::lround(std::sqrt(scaled(v == kVersionTR4 ? 4'000'000 : 1'048'576, s))));
    l.Rooms = {plainRoom(side, side, fd)};
    l.Items = {itemAt(l.Rooms[0], 1, 1, 0)};
    return l;
}

// One room with the most vertices and faces its 16-bit counts allow.
TRLevel roomGeometry(std::int16_t v, double s) {
    TRLevel l = baseLevel(v);
    TRRoom& r = l.Rooms[0];
    // A TR5 layer counts its vertices in 12 bits.
    const std::size_t n = std::min<std::size_t>(scaled(32'767, s), v == kVersionTR5 ? 4095 : 32'767);
    r.Vertices.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        r.Vertices[i].X = static_cast<std::int16_t>((i & 1) * 1024);
        r.Vertices[i].Z = static_cast<std::int16_t>((i & 2) * 512);
    }
    TRRoomQuad q;
    q.Vertices = {0, 1, 3, 2};
    r.Rectangles.assign(n, q);
    TRRoomTriangle t;
    t.Vertices = {0, 1, 2};
    r.Triangles.assign(n, t);
    return l;
}

// Thousands of rooms of a few thousand faces each: every room's polygons are built for the viewer.
TRLevel roomsFaces(std::int16_t v, double s) {
    TRLevel l = baseLevel(v);
    TRRoom r = roomGeometry(v, 2000.0 / 32767.0).Rooms[0];
    r.Vertices.resize(4);
    l.Rooms.assign(scaled(v == kVersionTR4 ? 900 : 100, s), r);
    return l;
}

// Object textures and every plain list at hundreds of thousands of entries.
TRLevel lists(std::int16_t v, double s) {
    TRLevel l = baseLevel(v);
    const std::size_t n = scaled(v == kVersionTR4 ? 100'000 : 20'000, s);
    l.ObjectTextures.assign(n * 3, l.ObjectTextures[0]);
    l.Boxes.assign(n, TRBox{});
    l.Zones.assign(n * 10, 0);
    l.Overlaps.assign(n, 0);
    l.AnimatedTextures.assign(n, 0);
    l.AnimatedTextures[0] = static_cast<std::int16_t>(std::min<std::size_t>(n / 2, 32767));
    l.SpriteTextures.assign(n, TRSpriteTexture{});
    l.SpriteSequences.assign(n, TRSpriteSequence{});
    l.Cameras.assign(n, TRCamera{});
    l.SoundSources.assign(n, TRSoundSource{});
    l.SoundDetails.assign(n, TRSoundDetail{});
    l.SampleIndices.assign(n, 0);
    if (v >= kVersionTR4) {
        l.FlybyCameras.assign(n, TRFlybyCamera{});
        l.AIObjects.assign(n, TRAIObject{});
    } else {
        l.CinematicFrames.assign(n, TRCinematicFrame{});
    }
    return l;
}

// --- chunk padding -------------------------------------------------------------------------------

std::vector<std::uint8_t> deflateBytes(const std::vector<std::uint8_t>& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> out(size);
    if (compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK)
        throw BuildError("zlib could not compress a chunk");
    out.resize(size);
    return out;
}

std::uint32_t get32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

// Rewrites a TR4/TR5 file so that every chunk honestly unpacks to `target` bytes: the chunk's own
// bytes, then zeros (the readers take texture pages from the size and ignore what follows the level
// data). Done in place of the chunks the builder wrote.
std::vector<std::uint8_t> padChunks(const std::vector<std::uint8_t>& file, std::int16_t version, std::uint32_t target) {
    Emit e;
    e.raw(file.data(), 10);
    std::size_t at = 10;
    const int chunks = version == kVersionTR4 ? 4 : 3;
    for (int c = 0; c < chunks; ++c) {
        const std::uint32_t inflated = get32(file, at), packed = get32(file, at + 4);
        std::vector<std::uint8_t> raw(std::max(inflated, target), 0);
        uLongf rawSize = inflated;
        if (uncompress(raw.data(), &rawSize, file.data() + at + 8, packed) != Z_OK || rawSize != inflated)
            throw BuildError("a chunk the builder wrote does not inflate");
        const auto out = deflateBytes(raw);
        e.d(static_cast<std::int64_t>(raw.size()));
        e.d(static_cast<std::int64_t>(out.size()));
        e.append(out);
        at += 8 + packed;
    }
    e.raw(file.data() + at, file.size() - at);
    return std::move(e.out);
}

struct Recipe {
    CraftedClass info;
    std::function<std::vector<std::uint8_t>(std::int16_t, double)> build;
};

std::vector<std::uint8_t> plain(const TRLevel& l, std::int16_t v) { return buildLevel(l, v); }

const std::vector<Recipe>& recipes() {
    using V = std::vector<std::int16_t>;
    const V all(std::begin(kAll), std::end(kAll));
    auto simple = [](TRLevel (*f)(std::int16_t, double)) {
        return [f](std::int16_t v, double s) { return plain(f(v, s), v); };
    };
    static const std::vector<Recipe> list = {
        {{"mesh-pointers", "millions of mesh pointers naming one mesh", all}, simple(meshPointers)},
        {{"mesh-overlap", "mesh pointers and static meshes into a run of 0x7FFF counts", all}, simple(meshOverlap)},
        {{"statics-share", "thousands of static meshes naming one mesh of 16,000 faces", all}, simple(staticsShare)},
        {{"frames", "animations x frames x 32767 meshes, animations sharing frames", V{4}}, simple(frames)},
        {{"trigger-shared", "640 k sectors naming one trigger of 512 items", all},
         [](std::int16_t v, double s) { return plain(triggerShared(v, s, 640'000), v); }},
        {{"trigger-ceiling", "4 k sectors naming one trigger of 512 items (2 M index records)", all},
         [](std::int16_t v, double s) { return plain(triggerShared(v, s, 4'000), v); }},
        {{"trigger-unclosed", "a trigger of 32765 actions without its closing bit, named from every word", all},
         simple(triggerUnclosed)},
        {{"list-unclosed", "4 million one-word entries without the closing bit, named from 1600 sectors", all},
         simple(listUnclosed)},
        {{"trigger-chain", "5 million one-action triggers (TR4; 1 million in the others) in one unclosed list", all},
         [](std::int16_t v, double s) { return plain(triggerChain(v, s, v == kVersionTR4 ? 5'000'000 : 1'000'000), v); }},
        {{"items", "5.6 million items (TR4; 1 million in the others) on one sector", all},
         [](std::int16_t v, double s) { return plain(items(v, s, v == kVersionTR4 ? 5'600'000 : 1'000'000), v); }},
        {{"items-ceiling", "1.3 million items, as many as a small TR4 file may unpack to", V{4}},
         [](std::int16_t v, double s) { return plain(items(v, s, 1'300'000), v); }},
        {{"chunks-full", "texture pages up to the unpacked ceiling", V{4, 5}}, simple(textures)},
        {{"chunks-claim", "every chunk unpacking to 128 MiB", V{4, 5}},
         [](std::int16_t v, double s) {
             return padChunks(plain(baseLevel(v), v), v, static_cast<std::uint32_t>(scaled(128u << 20, s)));
         }},
        {{"rooms-many", "65535 rooms (32767 before TR4)", all}, simple(roomsMany)},
        {{"room-sectors", "one room of millions of sectors, each naming item 0 in a trigger", all}, simple(roomSectors)},
        {{"room-geometry", "one room of 32767 vertices, rectangles and triangles", all}, simple(roomGeometry)},
        {{"rooms-faces", "900 rooms (TR4; 100 in the others) of 2000 rectangles and triangles each", all},
         simple(roomsFaces)},
        {{"lists", "hundreds of thousands of object textures, boxes, overlaps, sprites, cameras, sounds", all},
         simple(lists)},
    };
    return list;
}

}  // namespace

const std::vector<CraftedClass>& craftedClasses() {
    static const std::vector<CraftedClass> classes = [] {
        std::vector<CraftedClass> out;
        for (const auto& r : recipes()) out.push_back(r.info);
        return out;
    }();
    return classes;
}

std::vector<std::uint8_t> buildCrafted(const std::string& name, std::int16_t version, double scale) {
    for (const auto& r : recipes()) {
        if (name != r.info.name) continue;
        if (std::find(r.info.versions.begin(), r.info.versions.end(), version) == r.info.versions.end())
            throw BuildError("crafted class " + name + " has no TR" + std::to_string(version) + " form");
        return r.build(version, scale);
    }
    throw BuildError("no crafted class named " + name);
}

}  // namespace tessarin::levelgen
