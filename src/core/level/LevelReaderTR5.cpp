// TR5 (.trc) level files: the TR4 header and texture chunks, then uncompressed level data.
//
//   magic 4 | three texture page counts 2 each | chunks 1-3 as in TR4
//   LaraType 2, WeatherType 2, 28 unused | LevelDataSize 4 twice | 4 unused | NumRooms 4
//   rooms: "XELA", DataSize 4, then a 208-byte header counted from DataStart (the byte after
//   DataSize); sector data and layers lie at offsets from DataStart + 208, inside the block
//   floor data, mesh data, mesh pointers | animation sections (skipped) | 20-byte moveables
//   static meshes | sprite .. animated texture sections (skipped) | 40-byte object textures
//   items | AI objects; nothing after them is read
//
// Every offset and count is checked against the file (a room's against its block) before it is
// used; errors name the room.
#include <algorithm>
#include <cmath>
#include <cstdio>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "level/TextureInfo.h"
#include "level/CompressedChunks.h"
#include "level/LevelReaders.h"
#include "level/RecordIO.h"
#include "level/RoomsReader.h"
#include "util/NumberText.h"

namespace tessarin::level::detail {

using util::ByteReader;

namespace {

constexpr std::size_t kRoomHeaderSize = 208;  // from DataStart to where the room's offsets count from
constexpr std::size_t kLightSize = 88;
constexpr std::size_t kFogBulbSize = 36;
constexpr std::size_t kLayerSize = 56;
constexpr std::size_t kRectangleSize = 12;
constexpr std::size_t kTriangleSize = 10;
constexpr std::size_t kVertexSize = 28;
constexpr std::size_t kMoveableSize = 20;
constexpr std::size_t kObjectTextureSize = 40;
// The most level data read between give-backs of the file's pages while the texture pages inflate
// on the other thread (see readTR5).
constexpr std::size_t kMaxConsumedStep = std::size_t{1} << 20;

// The marker as text, with bytes that are not printable shown as \xNN.
std::string markerText(const std::array<char, 4>& marker) {
    std::string s = "\"";
    for (char c : marker) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F && c != '"' && c != '\\') {
            s += c;
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", u);
            s += buf;
        }
    }
    return s + "\"";
}

// Moves to base + offset, refusing a target outside the bytes (the room's block, for a room).
void seekTo(ByteReader& r, std::uint64_t base, std::uint64_t offset, const char* what) {
    const std::uint64_t target = base + offset;
    if (target > r.size())
        r.fail(std::string(what) + " " + util::hex(offset) + " points to " + util::hex(target) + ", beyond the end of " +
               (r.bound() ? r.bound() : "the file") + " (" + util::hex(r.size()) + ")");
    r.seek(static_cast<std::size_t>(target), what);
}

// Skips a 32-bit count and its records.
void skipCountedList(ByteReader& r, std::size_t size, const char* what) {
    const std::size_t n = r.checkCount(r.i32(what), size, what);
    r.skip(n * size, what);
}

[[noreturn, gnu::cold]] void failVertexCoordinate(ByteReader& r, float f, std::size_t layer, std::size_t vertex) {
    r.fail("layer " + std::to_string(layer) + ", vertex " + std::to_string(vertex) + ": position " +
           std::to_string(f) + " does not fit in 16 bits");
}

// Rounds halves to the even neighbour, as nearbyint does in the default rounding mode, without a
// library call or a branch per coordinate: from 2^23 on a float has no fraction bits, so adding and
// taking away 2^23 (with the value's sign) rounds exactly whatever lies below. Larger values,
// infinities and NaN come out too large or NaN and fail the range check.
inline float roundHalfEven(float v) {
    const float shift = std::copysign(8388608.0f, v);  // 2^23
    return (v + shift) - shift;
}

inline std::int16_t toVertexCoordinate(ByteReader& r, float f, std::size_t layer, std::size_t vertex) {
    const float v = roundHalfEven(f);
    if (!(v >= -32768.0f && v <= 32767.0f)) [[unlikely]]
        failVertexCoordinate(r, f, layer, vertex);
    return static_cast<std::int16_t>(v);
}

// A TR5 face is its record in memory: four or three indices, the texture, the face flags.
static_assert(sizeof(TRRoomQuad) == kRectangleSize && sizeof(TRRoomTriangle) == kTriangleSize);
TRRoomQuad decodeRectangle(const std::uint8_t* p) {
    using util::le::i16;
    return {{i16(p), i16(p + 2), i16(p + 4), i16(p + 6)}, i16(p + 8), i16(p + 10)};
}
TRRoomTriangle decodeTriangle(const std::uint8_t* p) {
    using util::le::i16;
    return {{i16(p), i16(p + 2), i16(p + 4)}, i16(p + 6), i16(p + 8)};
}

// A vertex's three float coordinates (then its normal and colour) rounded into `v` at once, as
// toVertexCoordinate rounds each; false, leaving `v` as it was, when one does not fit (or without
// SSE2), for toVertexCoordinate to do and report.
inline bool toVertexPosition([[maybe_unused]] const std::uint8_t* p, [[maybe_unused]] TRRoomVertex& v) {
#if defined(__SSE2__)
    const __m128 xyzn = _mm_loadu_ps(reinterpret_cast<const float*>(p));  // x, y, z and the normal's x
    const __m128 sign = _mm_and_ps(xyzn, _mm_set1_ps(-0.0f));
    const __m128 shift = _mm_or_ps(_mm_set1_ps(8388608.0f), sign);  // 2^23 with each value's sign
    const __m128 rounded = _mm_sub_ps(_mm_add_ps(xyzn, shift), shift);
    const __m128 fits = _mm_and_ps(_mm_cmpge_ps(rounded, _mm_set1_ps(-32768.0f)), _mm_cmple_ps(rounded, _mm_set1_ps(32767.0f)));
    if ((_mm_movemask_ps(fits) & 7) != 7) return false;
    // Only x, y and z: the fourth lane becomes the zero Lighting.
    const __m128i whole = _mm_and_si128(_mm_cvttps_epi32(rounded), _mm_set_epi32(0, -1, -1, -1));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(&v.X), _mm_packs_epi32(whole, whole));
    return true;
#else
    return false;
#endif
}

struct LayerCounts {
    std::int32_t vertices = 0;
    std::uint16_t rectangles = 0;
    std::uint16_t triangles = 0;
};

LayerCounts layerCounts(ByteReader& r, const TRLayer& layer, std::size_t index) {
    auto u16At = [&](std::size_t at) { return static_cast<std::uint16_t>(layer[at] | (layer[at + 1] << 8)); };
    const std::uint32_t first = static_cast<std::uint32_t>(u16At(0)) | (static_cast<std::uint32_t>(u16At(2)) << 16);
    LayerCounts c;
    // The vertex count is the signed remainder of the first field by 4096.
    c.vertices = static_cast<std::int32_t>(first) % 4096;
    if (c.vertices < 0) r.fail("layer " + std::to_string(index) + ": negative vertex count " + std::to_string(c.vertices));
    c.rectangles = u16At(6);
    c.triangles = u16At(8);
    return c;
}

// A face's vertex index shifted by its layer's vertex base; it must still fit the 16-bit index.
[[noreturn, gnu::cold]] void failMergedIndex(ByteReader& r, std::int16_t index, std::int64_t base, std::size_t layer) {
    r.fail("layer " + std::to_string(layer) + ": vertex index " + std::to_string(index) + " + " +
           std::to_string(base) + " does not fit in 16 bits");
}

inline std::int16_t mergedIndex(ByteReader& r, std::int16_t index, std::int64_t base, std::size_t layer) {
    const std::int64_t v = index + base;
    if (v < -32768 || v > 32767) [[unlikely]]
        failMergedIndex(r, index, base, layer);
    return static_cast<std::int16_t>(v);
}

// A layer's faces appended to the room's, their indices moved to count from the room's first vertex.
template <typename Face>
void readLayerFaces(ByteReader& r, std::vector<Face>& out, std::uint16_t count, const char* what,
                    std::int64_t vertexBase, std::size_t layer, Face (*decode)(const std::uint8_t*)) {
    const std::size_t n = r.checkCount(count, sizeof(Face), what);
    const std::uint8_t* p = r.view(n * sizeof(Face), what).data();
    // The first layer's indices already count from the room's first vertex: its faces are their
    // file layout.
    if (vertexBase == 0) return util::appendRecords(out, p, n, decode);
    for (std::size_t k = 0; k < n; ++k) {
        Face f = decode(p + k * sizeof(Face));
        for (auto& v : f.Vertices) v = mergedIndex(r, v, vertexBase, layer);
        out.push_back(f);
    }
}

// The 88-byte light: float position, colour, cone and direction, then the integer position and
// direction the older tools wrote beside them.
template <typename R>
void readLight(R& r, TRLight& l) {
    l.X5 = r.f32();
    l.Y5 = r.f32();
    l.Z5 = r.f32();
    l.Red = r.f32();
    l.Green = r.f32();
    l.Blue = r.f32();
    r.skip(4);
    l.In = r.f32();
    l.Out = r.f32();
    l.Length = r.f32();
    l.CutOff = r.f32();
    l.Range = r.f32();
    l.DirX5 = r.f32();
    l.DirY5 = r.f32();
    l.DirZ5 = r.f32();
    l.X = r.i32();
    l.Y = r.i32();
    l.Z = r.i32();
    // The integer direction is kept by value in the float direction fields.
    l.DirX = static_cast<float>(r.i32());
    l.DirY = static_cast<float>(r.i32());
    l.DirZ = static_cast<float>(r.i32());
    l.LightType = r.u8();
    r.u8();
    l.LightExtra = 0;
    r.skip(2);
}

void readRoom(ByteReader& file, TRRoom& room) {
    file.bytes(room.Marker.data(), room.Marker.size(), "room marker");
    if (room.Marker != std::array<char, 4>{'X', 'E', 'L', 'A'})
        throw util::Error("BAD Room! (" + file.place() + ": marker " + markerText(room.Marker) + " at offset " +
                          util::hex(file.pos() - 4) + ")");
    const std::uint32_t dataSize = file.u32("room data size");
    room.DataSize = static_cast<std::int32_t>(dataSize);
    const std::uint64_t dataStart = file.pos();
    room.DataStart = static_cast<std::int32_t>(dataStart);
    const std::uint64_t base = dataStart + kRoomHeaderSize;
    // Everything the room holds lies in its own block: offsets or counts reaching past it (into
    // other rooms, or at one large region every room shares) are refused, so that a room costs no
    // more than its bytes. The room is read there and the file carries on at the block's end.
    const std::uint64_t end = dataStart + dataSize;
    ByteReader r = file.bounded(static_cast<std::size_t>(std::min<std::uint64_t>(end, file.size())),
                                end < file.size() ? "the room's block" : nullptr);

    r.skip(8, "room header");
    const std::uint32_t sectorOffset = r.u32("sector data offset");
    r.skip(8, "room header");
    room.X = r.i32("position");
    r.skip(4, "room header");
    room.Z = r.i32("position");
    room.YBottom = r.i32("position");
    room.YTop = r.i32("position");
    room.NumZSectors = r.i16("sector count");
    room.NumXSectors = r.i16("sector count");
    if (room.NumZSectors < 0 || room.NumXSectors < 0)
        r.fail("sectors: negative size " + std::to_string(room.NumXSectors) + " x " + std::to_string(room.NumZSectors));
    // The room colour's four bytes, in the order the TR4 reader leaves them.
    room.RoomExtra = r.u8("room colour");
    room.WaterScheme = r.u8("room colour");
    room.ReverbInfo = r.u8("room colour");
    room.AlternateGroup = r.u8("room colour");
    r.i16("light count");  // read again below; the second count is the one used
    const std::int16_t numStatics = r.i16("static mesh count");
    r.skip(24, "room header");
    room.AlternateRoom = r.i16("alternate room");
    room.Flags = r.i16("flags");

    r.skip(56, "room header");
    // A room without geometry states its face counts as 0xCDCDCDCD: read as the signed low halves
    // they are negative, and a negative count sizes no list.
    const auto faceCount = [&r](const char* what) {
        const std::int16_t n = r.i16(what);
        r.skip(2, what);
        return static_cast<std::uint16_t>(std::max<std::int16_t>(n, 0));
    };
    const std::uint16_t numTriangles = faceCount("triangle count");
    const std::uint16_t numRectangles = faceCount("rectangle count");
    // These counts size the face lists, zeros filling what the layers leave out, so the faces they
    // state must fit in the room's block as it lies in the file: otherwise a few hundred damaged
    // bytes could ask for megabytes, and a file of such rooms for gigabytes.
    const std::uint64_t block = r.size() - dataStart;
    const std::uint64_t faceBytes =
        std::uint64_t{numRectangles} * kRectangleSize + std::uint64_t{numTriangles} * kTriangleSize;
    if (faceBytes > block)
        r.fail("rectangles and triangles: " + std::to_string(numRectangles) + " and " + std::to_string(numTriangles) +
               " take " + std::to_string(faceBytes) + " bytes, more than the room's block of " + std::to_string(block));
    r.skip(4, "room header");
    r.u32("light data size");
    const std::int16_t numLights = r.i16("light count");
    r.skip(2, "light count");
    const std::int32_t numFogBulbs = r.i32("fog bulb count");
    r.skip(8, "room header");
    const std::uint32_t numLayers = r.u32("layer count");
    const std::uint32_t layerOffset = r.u32("layer offset");
    const std::uint32_t vertexOffset = r.u32("vertex offset");
    r.skip(4, "room header");  // the polygon offset: the faces follow the layers
    r.skip(24, "room header");
    // The reading may go back to the sectors and the layers (behind the lights, or the layers
    // behind the sectors, in a damaged file): the pages from each stay until it has been reached.
    const auto keepFrom = [&r, base](std::uint64_t offset) {
        r.keepFrom(static_cast<std::size_t>(std::min<std::uint64_t>(base + offset, r.size())));
    };
    keepFrom(std::min(sectorOffset, layerOffset));

    r.readRecords(room.Lights, numLights, kLightSize, "lights", [](TRLight& l, const std::uint8_t* p) {
        util::le::Cursor c(p);
        readLight(c, l);
    });
    r.skip(r.checkCount(numFogBulbs, kFogBulbSize, "fog bulbs") * kFogBulbSize, "fog bulbs");

    // The sectors and the layers are found through offsets, not by position: trust neither until
    // the target is known to lie in the block.
    seekTo(r, base, sectorOffset, "sector data offset");
    keepFrom(layerOffset);
    io::readList(r, room.Sectors, std::int64_t{room.NumXSectors} * room.NumZSectors, io::kSectorSize, "sectors");
    io::readList(r, room.Portals, r.i16("portal count"), io::kPortalSize, "portals");
    r.skip(2, "portal list end");
    io::readList(r, room.StaticMeshes, numStatics, io::kRoomStaticSize, "static meshes");

    seekTo(r, base, layerOffset, "layer offset");
    r.keepFrom(r.size());
    const std::size_t layers = r.checkCount(numLayers, kLayerSize, "layers");
    room.Layers.assign(layers, {});
    for (auto& layer : room.Layers) r.bytes(layer.data(), layer.size());
    std::vector<LayerCounts> counts(layers);
    std::size_t totalRectangles = 0, totalTriangles = 0;
    for (std::size_t i = 0; i < layers; ++i) {
        counts[i] = layerCounts(r, room.Layers[i], i);
        totalRectangles += counts[i].rectangles;
        totalTriangles += counts[i].triangles;
        if (totalRectangles > numRectangles)
            r.fail("layer " + std::to_string(i) + ": rectangles reach " + std::to_string(totalRectangles) +
                   ", more than the room's " + std::to_string(numRectangles));
        if (totalTriangles > numTriangles)
            r.fail("layer " + std::to_string(i) + ": triangles reach " + std::to_string(totalTriangles) +
                   ", more than the room's " + std::to_string(numTriangles));
    }

    // Each layer's faces count their vertices from that layer's first one; the merged lists count
    // from the room's first.
    // The lists hold the room's counts, faces the layers leave out reading as zero.
    room.Rectangles.clear();
    room.Rectangles.reserve(numRectangles);
    room.Triangles.clear();
    room.Triangles.reserve(numTriangles);
    std::int64_t vertexBase = 0;
    for (std::size_t i = 0; i < layers; ++i) {
        readLayerFaces(r, room.Rectangles, counts[i].rectangles, "rectangles", vertexBase, i, decodeRectangle);
        readLayerFaces(r, room.Triangles, counts[i].triangles, "triangles", vertexBase, i, decodeTriangle);
        vertexBase += counts[i].vertices;
    }
    const std::size_t tri = room.Triangles.size();
    room.Rectangles.resize(numRectangles);
    room.Triangles.resize(numTriangles);
    // The games pad the faces to a multiple of four bytes. Some tools write the vertices straight
    // after them, and the room's vertex offset then says so. A room without layers has no vertices
    // to find, so its padding (two bytes, which may be missing at the block's end) is not looked for.
    if (tri % 2 == 1 && base + vertexOffset != r.pos()) r.skip(2, "face padding");

    // Many layers of up to 4095 vertices each could ask for gigabytes: the file must hold them all
    // before any room is made for them.
    std::int64_t totalVertices = 0;
    for (const auto& c : counts) totalVertices += c.vertices;
    room.Vertices.clear();
    room.Vertices.reserve(r.checkCount(totalVertices, kVertexSize, "vertices"));
    for (std::size_t i = 0; i < layers; ++i) {
        const std::size_t nv = r.checkCount(counts[i].vertices, kVertexSize, "vertices");
        const std::uint8_t* p = r.view(nv * kVertexSize, "vertices").data();
        for (std::size_t k = 0, index = room.Vertices.size(); k < nv; ++k, ++index, p += kVertexSize) {
            TRRoomVertex& v = room.Vertices.emplace_back();
            if (toVertexPosition(p, v)) continue;
            // A coordinate that does not fit (or no SSE2): one by one, the bad one reported.
            util::le::Cursor c(p);
            v.X = toVertexCoordinate(r, c.f32(), i, index);
            v.Y = toVertexCoordinate(r, c.f32(), i, index);
            v.Z = toVertexCoordinate(r, c.f32(), i, index);
        }
    }

    // A room that used fewer bytes than its block holds is followed by the next at the block's end.
    seekTo(r, dataStart, dataSize, "room data size");
    file.carryOn(r);
}

// Everything after the texture chunks; it touches no texture page.
void readLevelData(ByteReader& r, TRLevel& level) {
    level.LaraType = r.i16("Lara type");
    level.WeatherType = r.i16("weather type");
    r.skip(28, "header");
    level.LevelDataSize = r.i32("level data size");
    level.LevelDataSize = r.i32("level data size");
    r.skip(4, "header");
    const std::uint16_t numRooms = r.u16("room count");
    r.skip(2, "room count");

    // A room block is at least its marker, size and header.
    const std::size_t rooms = r.checkCount(numRooms, 8 + kRoomHeaderSize, "rooms");
    const RoomReader readOne = [rooms](ByteReader& rr, TRRoom& room, std::size_t i) {
        rr.setPlace("", "room", i, rooms);
        readRoom(rr, room);
    };
    // A room block states its size: the next is measured to start at the block's end.
    const RoomReader measure = [](ByteReader& m, TRRoom&, std::size_t) {
        m.skip(4, "room marker");
        m.skip(m.u32("room data size"), "room data");
    };
    readRooms(r, level.Rooms, rooms, readOne, measure);
    r.setPlace("");

    io::readFloorAndMeshData(r, level);
    skipCountedList(r, 40, "animations");
    skipCountedList(r, 6, "state changes");
    skipCountedList(r, 8, "animation dispatches");
    skipCountedList(r, 2, "animation commands");
    skipCountedList(r, 4, "mesh trees");
    skipCountedList(r, 2, "frames");
    // 20 bytes: the TR1-TR4 record and 2 bytes of padding.
    r.readRecords(level.Moveables, r.i32("moveable count"), kMoveableSize, "moveables", io::decodeRecord<TRMoveable>);
    io::readCountedList(r, level.StaticMeshes, io::kStaticMeshSize, "static meshes");
    r.skip(4, "sprite marker");
    skipCountedList(r, io::kSpriteTextureSize, "sprite textures");
    skipCountedList(r, io::kSpriteSequenceSize, "sprite sequences");
    skipCountedList(r, io::kCameraSize, "cameras");
    skipCountedList(r, io::kFlybyCameraSize, "flyby cameras");
    skipCountedList(r, io::kSoundSourceSize, "sound sources");
    const std::int32_t numBoxes = r.i32("box count");
    r.skip(r.checkCount(numBoxes, io::kBoxSize, "boxes") * io::kBoxSize, "boxes");
    skipCountedList(r, 2, "overlaps");
    r.skip(r.checkCount(numBoxes, 20, "zones") * 20, "zones");
    skipCountedList(r, 2, "animated textures");
    r.skip(5, "texture marker");  // one byte, "TEX", one byte

    // Object texture, 40 bytes: Attribute 2 | Tile 2 | NewFlags 2 | four corners of x coordinate,
    // x pixel, y coordinate, y pixel | SourceUV 8 | Width 4 | Height 4 | 2 bytes of padding.
    // This is the TR4 record plus the padding, so the tile table reads both alike.
    io::readObjectTexturesTR45(r, level, kObjectTextureSize);
    io::readCountedList(r, level.Items, io::kItemSize, "items");
    if (auto st = level::ConvertTR5TextInfo(level); !st) throw util::Error(st.error());
    io::readCountedList(r, level.AIObjects, io::kAIObjectSize, "AI objects");
}

}  // namespace

void readTR5(ByteReader& r, TRLevel& level, std::vector<std::string>*) {
    level.NumRoomTextiles = r.i16("room texture count");
    level.NumObjTextiles = r.i16("object texture page count");
    level.NumBumpTextiles = r.i16("bump texture count");
    const auto textures = readTextureChunks(r, level);

    // The level data is not packed: it is read while the pages inflate, on whichever thread is free
    // (reading a byte of it costs about a quarter of inflating one). A damaged chunk is still the
    // error reported, whatever the reading met meanwhile.
    const std::uint64_t readWeight = r.remaining() / 4;
    // Each give-back of the file's pages interrupts the inflating thread: they go back in steps of
    // an eighth of the level data, so a large one is interrupted less for little memory held.
    const std::size_t step = std::clamp(r.remaining() / 8, ByteReader::kConsumedStep, kMaxConsumedStep);
    r.leaveBehind();  // the chunks' packed bytes go back as each is inflated
    inflateChunks(r, textures, level, {}, {}, {{readWeight, [&r, &level, step] {
                                                    r.setConsumedStep(step);
                                                    readLevelData(r, level);
                                                }}});
}

}  // namespace tessarin::level::detail
