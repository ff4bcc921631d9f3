// TR4 and TR5 files.
//
// TR4: magic, three page counts, four zlib chunks (32-bit pages, 16-bit pages, the third texture
//      block, the level data), NumSamples and the samples. The level data runs like TR2/TR3 with
//      40-byte animations, "SPR" and "\0TEX" markers, 38-byte object textures, flyby cameras and
//      AI objects, and six bytes after the sample indices.
// TR5: magic, page counts, three texture chunks, LaraType, WeatherType, 28 bytes, the level data
//      size twice, then the level data uncompressed: rooms as "XELA" blocks whose geometry is
//      stored per layer (float vertices, face indices relative to the layer), then the sections.
#include <cmath>
#include <zlib.h>

#include "LevelBuilder.h"
#include "Records.h"

namespace tessarin::levelgen {

using namespace detail;

namespace {

void putChunk(Emit& e, const std::vector<std::uint8_t>& raw, int level) {
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), level) != Z_OK)
        throw BuildError("zlib could not compress a chunk");
    e.d(static_cast<std::int64_t>(raw.size()));
    e.d(static_cast<std::int64_t>(packedSize));
    e.raw(packed.data(), packedSize);
}

// The three texture chunks shared by TR4 and TR5.
void putTextureChunks(Emit& e, const TRLevel& L, int level) {
    const std::size_t pages = L.NumTextiles > 0 ? static_cast<std::size_t>(L.NumTextiles) : 0;
    const std::size_t misc = L.NumMiscTextiles > 0 ? static_cast<std::size_t>(L.NumMiscTextiles) : 0;
    Emit c;
    putPadded(c, L.Textile32, pages * kTextilePixels, 4);
    putChunk(e, c.out, level);
    c.out.clear();
    putPadded(c, L.Textile16, pages * kTextilePixels, 2);
    putChunk(e, c.out, level);
    c.out.clear();
    putPadded(c, L.MiscTextile, misc * kTextilePixels, 4);
    putChunk(e, c.out, level);
}

void putRoomTR4(Emit& e, const TRRoom& r, const BuildOptions& opt) {
    e.d(r.X); e.d(r.Z); e.d(r.YBottom); e.d(r.YTop);
    const std::size_t bytes = 2 + 12 * r.Vertices.size() + 2 + 10 * r.Rectangles.size() + 2 +
                              8 * r.Triangles.size() + 2 + 4 * r.Sprites.size();
    e.d(r.NumDataWords != 0 ? r.NumDataWords : static_cast<std::int32_t>(bytes / 2));
    e.w(static_cast<std::int64_t>(r.Vertices.size()));
    for (const auto& x : r.Vertices) { e.w(x.X); e.w(x.Y); e.w(x.Z); e.w(x.Lighting); e.w(x.Attributes); e.w(x.Lighting2); }
    e.w(static_cast<std::int64_t>(r.Rectangles.size()));
    for (const auto& q : r.Rectangles) { e.words(q.Vertices); e.w(q.Texture); }
    e.w(static_cast<std::int64_t>(r.Triangles.size()));
    for (const auto& t : r.Triangles) { e.words(t.Vertices); e.w(t.Texture); }
    // The games' TR4 rooms hold no sprites, but the list keeps its TR3 form for readers to skip.
    e.w(static_cast<std::int64_t>(r.Sprites.size()));
    for (const auto& s : r.Sprites) { e.w(s.Vertex); e.w(s.Texture); }
    e.w(static_cast<std::int64_t>(r.Portals.size()));
    for (const auto& p : r.Portals) put(e, p);
    if (r.Sectors.size() != static_cast<std::size_t>(r.NumXSectors) * static_cast<std::size_t>(r.NumZSectors))
        throw BuildError("room sectors do not match NumXSectors x NumZSectors");
    e.w(r.NumZSectors); e.w(r.NumXSectors);
    for (const auto& s : r.Sectors) put(e, s);
    // Room colour; its first three bytes are overwritten by the three bytes that end the room.
    e.raw(opt.tr4ColourBytes.data(), 3);
    e.b(r.RoomExtra);
    e.w(static_cast<std::int64_t>(r.Lights.size()));
    for (const auto& l : r.Lights) {
        e.d(l.X4); e.d(l.Y4); e.d(l.Z4);
        e.raw(l.Colour.data(), 3);
        e.b(l.LightType); e.b(l.LightExtra); e.b(l.Intensity);
        e.f(l.In); e.f(l.Out); e.f(l.Length); e.f(l.CutOff);
        e.f(l.DirX); e.f(l.DirY); e.f(l.DirZ);
    }
    e.w(static_cast<std::int64_t>(r.StaticMeshes.size()));
    for (const auto& s : r.StaticMeshes) put(e, s, false);
    e.w(r.AlternateRoom); e.w(r.Flags);
    e.b(r.WaterScheme); e.b(r.ReverbInfo); e.b(r.AlternateGroup);
}

void putObjectTexture45(Emit& e, const TRObjectTexture& t) {
    e.w(t.Attribute); e.w(t.Tile); e.w(t.NewFlags);
    putCorners(e, t);
    e.raw(t.SourceUV.data(), t.SourceUV.size());
    e.d(t.Width); e.d(t.Height);
}

// From the cameras to the animated textures: the same in TR4 and TR5.
void putWorldSections(Emit& e, const TRLevel& L) {
    putCounted(e, L.Cameras);
    e.d(static_cast<std::int64_t>(L.FlybyCameras.size()));
    for (const auto& f : L.FlybyCameras) e.raw(f.data(), f.size());
    putCounted(e, L.SoundSources);
    putCounted(e, L.Boxes);
    e.d(static_cast<std::int64_t>(L.Overlaps.size())); e.words(L.Overlaps);
    putPadded(e, L.Zones, L.Boxes.size() * 10, 2);
    e.d(static_cast<std::int64_t>(L.AnimatedTextures.size())); e.words(L.AnimatedTextures);
}

// TR5's sound map has 450 entries where TR4's has 370; the level keeps TR4's, the rest are unused.
constexpr std::size_t kSoundMapSizeTR5 = 450;

// Demo data, sound map, sound details and sample indices close both level-data blocks. An
// extended engine's longer sound map takes the place of the demo and the map, its length in the
// demo count.
void putSoundTail(Emit& e, const TRLevel& L, std::size_t soundMapEntries,
                  const std::vector<std::int16_t>& extendedSoundMap = {}) {
    if (extendedSoundMap.empty()) {
        putDemoBytes(e, L);
        for (std::int16_t s : L.SoundMap) e.w(s);
        for (std::size_t i = L.SoundMap.size(); i < soundMapEntries; ++i) e.w(-1);
    } else {
        e.w(static_cast<std::int64_t>(extendedSoundMap.size()));
        for (std::int16_t s : extendedSoundMap) e.w(s);
    }
    putCounted(e, L.SoundDetails);
    e.d(static_cast<std::int64_t>(L.SampleIndices.size())); e.dwords(L.SampleIndices);
}

}  // namespace

std::vector<std::uint8_t> buildLevelTR4(const TRLevel& L, const BuildOptions& opt) {
    Emit e;
    e.d(L.Version != 0 ? L.Version : kMagicTR4);
    e.w(L.NumRoomTextiles); e.w(L.NumObjTextiles); e.w(L.NumBumpTextiles);
    putTextureChunks(e, L, opt.compression);

    Emit d;
    d.d(L.Reserved);
    d.w(static_cast<std::int64_t>(L.Rooms.size()));
    for (const auto& r : L.Rooms) putRoomTR4(d, r, opt);
    putMeshesAndAnimations(d, L, 16);
    putCounted(d, L.Moveables);
    putCounted(d, L.StaticMeshes);
    d.text("SPR");
    putCounted(d, L.SpriteTextures);
    putCounted(d, L.SpriteSequences);
    putWorldSections(d, L);
    d.b(0);
    d.text("TEX");
    d.d(static_cast<std::int64_t>(L.ObjectTextures.size()));
    for (const auto& t : L.ObjectTextures) putObjectTexture45(d, t);
    d.d(static_cast<std::int64_t>(L.Items.size()));
    for (const auto& i : L.Items) put(d, i, false);
    putCounted(d, L.AIObjects);
    putSoundTail(d, L, kSoundMapSize, opt.tr4ExtendedSoundMap);
    d.zeros(opt.tr4BlockPadding);
    putChunk(e, d.out, opt.compression);

    e.d(L.NumSamples);
    e.raw(L.SampleData.data(), L.SampleData.size());
    return std::move(e.out);
}

namespace {

struct LayerCounts {
    std::int32_t vertices = 0;
    std::uint16_t rectangles = 0, triangles = 0;
};

LayerCounts layerCounts(const TRLayer& raw) {
    const std::int32_t first = static_cast<std::int32_t>(raw[0] | (raw[1] << 8) | (raw[2] << 16) |
                                                         (static_cast<std::uint32_t>(raw[3]) << 24));
    return {first % 4096, static_cast<std::uint16_t>(raw[6] | (raw[7] << 8)),
            static_cast<std::uint16_t>(raw[8] | (raw[9] << 8))};
}

// The room's layers: as held, or one layer holding all of the room's geometry.
std::vector<TRLayer> layersOf(const TRRoom& r) {
    if (!r.Layers.empty()) return r.Layers;
    TRLayer l{};
    Emit e;
    e.d(static_cast<std::int64_t>(r.Vertices.size()));
    e.w(0);
    e.w(static_cast<std::int64_t>(r.Rectangles.size()));
    e.w(static_cast<std::int64_t>(r.Triangles.size()));
    std::copy(e.out.begin(), e.out.end(), l.begin());
    return {l};
}

void putRoomTR5(Emit& e, const TRRoom& r, std::size_t roomIndex, const BuildOptions& opt) {
    const auto layers = layersOf(r);
    std::size_t nv = 0, nr = 0, nt = 0;
    for (const auto& l : layers) {
        const auto c = layerCounts(l);
        if (c.vertices < 0) throw BuildError("TR5 layer with a negative vertex count");
        nv += static_cast<std::size_t>(c.vertices);
        nr += c.rectangles;
        nt += c.triangles;
    }
    if (nv != r.Vertices.size() || nr != r.Rectangles.size() || nt != r.Triangles.size())
        throw BuildError("TR5 room layers do not add up to the room's vertices and faces");
    if (r.Sectors.size() != static_cast<std::size_t>(r.NumXSectors) * static_cast<std::size_t>(r.NumZSectors))
        throw BuildError("room sectors do not match NumXSectors x NumZSectors");

    const auto extrasAt = opt.tr5RoomExtras.find(roomIndex);
    const BuildOptions::TR5RoomExtras extras =
        extrasAt != opt.tr5RoomExtras.end() ? extrasAt->second : BuildOptions::TR5RoomExtras{};
    // The body after the 208-byte header; offsets in the header count from its start.
    Emit body;
    for (const auto& l : r.Lights) {
        body.f(l.X5); body.f(l.Y5); body.f(l.Z5);
        body.f(l.Red); body.f(l.Green); body.f(l.Blue);
        body.zeros(4);
        body.f(l.In); body.f(l.Out); body.f(l.Length); body.f(l.CutOff); body.f(l.Range);
        body.f(l.DirX5); body.f(l.DirY5); body.f(l.DirZ5);
        body.d(l.X); body.d(l.Y); body.d(l.Z);
        body.d(static_cast<std::int32_t>(l.DirX)); body.d(static_cast<std::int32_t>(l.DirY));
        body.d(static_cast<std::int32_t>(l.DirZ));
        body.b(l.LightType); body.b(l.LightExtra);
        body.zeros(2);
    }
    if (extras.fogBulbs > 0) body.zeros(36 * static_cast<std::size_t>(extras.fogBulbs));
    const std::size_t sectorOffset = body.pos();
    for (const auto& s : r.Sectors) put(body, s);
    body.w(static_cast<std::int64_t>(r.Portals.size()));
    for (const auto& p : r.Portals) put(body, p);
    body.zeros(2);
    for (const auto& s : r.StaticMeshes) put(body, s, false);
    const std::size_t layerOffset = body.pos();
    for (const auto& l : layers) body.raw(l.data(), l.size());
    const std::size_t polygonOffset = body.pos();
    std::size_t vertexBase = 0, qi = 0, ti = 0;
    for (const auto& l : layers) {
        const auto c = layerCounts(l);
        for (std::size_t k = 0; k < c.rectangles; ++k, ++qi) {
            const auto& q = r.Rectangles[qi];
            for (auto i : q.Vertices) body.w(static_cast<std::int64_t>(i) - static_cast<std::int64_t>(vertexBase));
            body.w(q.Texture); body.w(q.FaceFlags);
        }
        for (std::size_t k = 0; k < c.triangles; ++k, ++ti) {
            const auto& t = r.Triangles[ti];
            for (auto i : t.Vertices) body.w(static_cast<std::int64_t>(i) - static_cast<std::int64_t>(vertexBase));
            body.w(t.Texture); body.w(t.FaceFlags);
        }
        vertexBase += static_cast<std::size_t>(c.vertices);
    }
    if (opt.tr5FacePadding) {
        if (nt % 2) body.zeros(2);
        if (layers.empty()) body.zeros(2);
    }
    const std::size_t vertexOffset = body.pos();
    for (std::size_t i = 0; i < r.Vertices.size(); ++i) {
        const auto& v = r.Vertices[i];
        auto it = opt.tr5VertexPositions.find({roomIndex, i});
        if (it != opt.tr5VertexPositions.end()) {
            body.f(it->second[0]); body.f(it->second[1]); body.f(it->second[2]);
        } else {
            body.f(v.X); body.f(v.Y); body.f(v.Z);
        }
        body.f(0); body.f(-1); body.f(0);  // normal
        body.d(0xFF808080);                // colour
    }
    body.zeros(extras.trailingBytes);

    e.text("XELA");
    e.d(static_cast<std::int64_t>(208 + body.pos()));
    Emit h;
    h.zeros(8); h.d(static_cast<std::int64_t>(sectorOffset)); h.zeros(8);
    h.d(r.X); h.zeros(4); h.d(r.Z); h.d(r.YBottom); h.d(r.YTop);
    h.w(r.NumZSectors); h.w(r.NumXSectors);
    h.b(r.RoomExtra); h.b(r.WaterScheme); h.b(r.ReverbInfo); h.b(r.AlternateGroup);
    h.w(static_cast<std::int64_t>(r.Lights.size())); h.w(static_cast<std::int64_t>(r.StaticMeshes.size()));
    h.zeros(24);
    h.w(r.AlternateRoom); h.w(r.Flags);
    h.zeros(56);
    h.d(static_cast<std::int64_t>(nt)); h.d(static_cast<std::int64_t>(nr));
    h.zeros(4);
    h.d(static_cast<std::int64_t>(88 * r.Lights.size()));
    h.d(static_cast<std::int64_t>(r.Lights.size()));
    h.d(extras.fogBulbs);
    h.zeros(8);
    h.d(static_cast<std::int64_t>(layers.size()));
    h.d(static_cast<std::int64_t>(layerOffset));
    h.d(static_cast<std::int64_t>(vertexOffset));
    h.d(static_cast<std::int64_t>(polygonOffset));
    h.zeros(24);
    if (h.pos() != 208) throw BuildError("internal: TR5 room header is not 208 bytes");
    e.append(h.out);
    e.append(body.out);
}

}  // namespace

std::vector<std::uint8_t> buildLevelTR5(const TRLevel& L, const BuildOptions& opt) {
    Emit e;
    e.d(L.Version != 0 ? L.Version : kMagicTR4);
    e.w(L.NumRoomTextiles); e.w(L.NumObjTextiles); e.w(L.NumBumpTextiles);
    putTextureChunks(e, L, opt.compression);
    e.w(L.LaraType); e.w(L.WeatherType);
    e.zeros(28);
    const std::size_t sizeAt = e.pos();
    e.d(0); e.d(0);  // level data size, twice; patched below
    e.zeros(4);
    e.d(static_cast<std::int64_t>(L.Rooms.size()));  // 32-bit, the reader keeps the low half
    for (std::size_t i = 0; i < L.Rooms.size(); ++i) putRoomTR5(e, L.Rooms[i], i, opt);
    putMeshesAndAnimations(e, L, 16);
    e.d(static_cast<std::int64_t>(L.Moveables.size()));
    for (const auto& m : L.Moveables) { put(e, m); e.w(0); }
    putCounted(e, L.StaticMeshes);
    e.text("SPR");
    e.b(0);
    putCounted(e, L.SpriteTextures);
    putCounted(e, L.SpriteSequences);
    putWorldSections(e, L);
    e.b(0);
    e.text("TEX");
    e.b(0);
    e.d(static_cast<std::int64_t>(L.ObjectTextures.size()));
    for (const auto& t : L.ObjectTextures) {
        putObjectTexture45(e, t);
        e.zeros(2);  // TR5 textures are 40 bytes: two more after the 38 of TR4
    }
    e.d(static_cast<std::int64_t>(L.Items.size()));
    for (const auto& i : L.Items) put(e, i, false);
    putCounted(e, L.AIObjects);
    putSoundTail(e, L, kSoundMapSizeTR5);
    e.zeros(6);
    const std::size_t dataSize = e.pos() - (sizeAt + 8);
    e.patchD(sizeAt, static_cast<std::int64_t>(dataSize));
    e.patchD(sizeAt + 4, static_cast<std::int64_t>(dataSize));
    e.d(0);  // no samples
    return std::move(e.out);
}

}  // namespace tessarin::levelgen
