// TR1-TR3 files, written field by field in file order:
//
//   magic, palettes (TR2/TR3), NumTextiles, 8-bit and 16-bit pages, Reserved, rooms
//   floor data, mesh data and pointers, animations .. moveables, static meshes
//   object textures (TR1/TR2 here), sprites, cameras, sound sources, boxes, overlaps, zones,
//   animated textures, object textures (TR3 here), items, light map, palette (TR1 here),
//   cinematic frames, demo data, sound map (256 entries in TR1), sound details,
//   TR1 embedded samples, sample indices
#include "LevelBuilder.h"
#include "Records.h"

namespace tessarin::levelgen {

using namespace detail;

namespace {

// The stated geometry size in words, counted as the games count it when the record leaves it 0.
std::int32_t dataWords(const TRRoom& r, int v) {
    const std::size_t vertexSize = v == kVersionTR1 ? 8 : 12;
    const std::size_t bytes = 2 + vertexSize * r.Vertices.size() + 2 + 10 * r.Rectangles.size() + 2 +
                              8 * r.Triangles.size() + 2 + 4 * r.Sprites.size();
    return static_cast<std::int32_t>(bytes / 2);
}

void putRoom(Emit& e, const TRRoom& r, int v, SectionOffsets* off) {
    if (off) off->roomStart.push_back(e.pos());
    e.d(r.X); e.d(r.Z); e.d(r.YBottom); e.d(r.YTop);
    e.d(r.NumDataWords != 0 ? r.NumDataWords : dataWords(r, v));
    e.w(static_cast<std::int64_t>(r.Vertices.size()));
    for (const auto& x : r.Vertices) {
        e.w(x.X); e.w(x.Y); e.w(x.Z); e.w(x.Lighting);
        if (v > kVersionTR1) { e.w(x.Attributes); e.w(x.Lighting2); }
    }
    e.w(static_cast<std::int64_t>(r.Rectangles.size()));
    for (const auto& q : r.Rectangles) { e.words(q.Vertices); e.w(q.Texture); }
    e.w(static_cast<std::int64_t>(r.Triangles.size()));
    for (const auto& t : r.Triangles) { e.words(t.Vertices); e.w(t.Texture); }
    e.w(static_cast<std::int64_t>(r.Sprites.size()));
    for (const auto& s : r.Sprites) { e.w(s.Vertex); e.w(s.Texture); }
    e.w(static_cast<std::int64_t>(r.Portals.size()));
    for (const auto& p : r.Portals) put(e, p);
    if (r.Sectors.size() != static_cast<std::size_t>(r.NumXSectors) * static_cast<std::size_t>(r.NumZSectors) ||
        r.NumXSectors < 0 || r.NumZSectors < 0)
        throw BuildError("room sectors do not match NumXSectors x NumZSectors");
    e.w(r.NumZSectors); e.w(r.NumXSectors);
    for (const auto& s : r.Sectors) put(e, s);  // already x outer, z inner
    e.w(r.AmbientIntensity1);
    if (v > kVersionTR1) e.w(r.AmbientIntensity2);
    if (v == kVersionTR2) e.w(r.LightMode);
    e.w(static_cast<std::int64_t>(r.Lights.size()));
    for (const auto& l : r.Lights) {
        e.d(l.X); e.d(l.Y); e.d(l.Z); e.w(l.Intensity1);
        if (v > kVersionTR1) e.w(l.Intensity2);
        e.d(l.Fade1);
        if (v > kVersionTR1) e.d(l.Fade2);
    }
    e.w(static_cast<std::int64_t>(r.StaticMeshes.size()));
    for (const auto& s : r.StaticMeshes) put(e, s, v == kVersionTR1);
    e.w(r.AlternateRoom); e.w(r.Flags);
    if (off) off->roomFlagsEnd.push_back(e.pos());
    if (v == kVersionTR3) { e.b(r.WaterScheme); e.b(r.ReverbInfo); e.b(r.AlternateGroup); }
}

void putObjectTextures(Emit& e, const TRLevel& L) {
    e.d(static_cast<std::int64_t>(L.ObjectTextures.size()));
    for (const auto& t : L.ObjectTextures) { e.w(t.Attribute); e.w(t.Tile); putCorners(e, t); }
}

}  // namespace

std::vector<std::uint8_t> buildLevelTR123(const TRLevel& L, std::int16_t v, const BuildOptions& opt,
                                          SectionOffsets* off) {
    if (v < kVersionTR1 || v > kVersionTR3) throw BuildError("buildLevelTR123 writes TR1-TR3 only");
    if (off) *off = {};
    const bool tr1 = v == kVersionTR1;
    Emit e;
    e.d(L.Version != 0 ? L.Version : defaultMagic(v));
    if (!tr1) { e.raw(L.Palette.data(), L.Palette.size()); e.raw(L.Palette16.data(), L.Palette16.size()); }
    const std::size_t pages = L.NumTextiles > 0 ? static_cast<std::size_t>(L.NumTextiles) : 0;
    e.d(L.NumTextiles);
    putPadded(e, L.Textile8, pages * kTextilePixels, 1);
    if (!tr1) putPadded(e, L.Textile16, pages * kTextilePixels, 2);
    e.d(L.Reserved);

    if (off) off->rooms = e.pos();
    e.w(static_cast<std::int64_t>(L.Rooms.size()));
    for (const auto& r : L.Rooms) putRoom(e, r, v, off);

    putMeshesAndAnimations(e, L, 8);
    putCounted(e, L.Moveables);
    putCounted(e, L.StaticMeshes);
    if (v < kVersionTR3) {
        if (off) off->objectTextures = e.pos();
        putObjectTextures(e, L);
    }
    putCounted(e, L.SpriteTextures);
    putCounted(e, L.SpriteSequences);
    if (tr1 && opt.tr1PaletteAfterSprites) e.raw(L.Palette.data(), L.Palette.size());
    putCounted(e, L.Cameras);
    putCounted(e, L.SoundSources);

    if (off) off->boxes = e.pos();
    e.d(static_cast<std::int64_t>(L.Boxes.size()));
    for (std::size_t i = 0; i < L.Boxes.size(); ++i) {
        const TRBox& b = L.Boxes[i];
        if (!tr1) { put(e, b); continue; }
        // TR1 boxes are world coordinates.
        auto it = opt.tr1BoxWorld.find(i);
        if (it != opt.tr1BoxWorld.end()) {
            for (std::int32_t c : it->second) e.d(c);
        } else {
            e.d(b.Zmin * 1024); e.d(b.Zmax * 1024); e.d(b.Xmin * 1024); e.d(b.Xmax * 1024);
        }
        e.w(b.TrueFloor); e.w(b.OverlapIndex);
    }
    e.d(static_cast<std::int64_t>(L.Overlaps.size())); e.words(L.Overlaps);
    putPadded(e, L.Zones, L.Boxes.size() * (tr1 ? 6 : 10), 2);
    if (off) off->animatedTextures = e.pos();
    e.d(static_cast<std::int64_t>(L.AnimatedTextures.size())); e.words(L.AnimatedTextures);
    if (v == kVersionTR3) {
        if (off) off->objectTextures = e.pos();
        putObjectTextures(e, L);
    }
    if (off) off->items = e.pos();
    e.d(static_cast<std::int64_t>(L.Items.size()));
    for (const auto& i : L.Items) put(e, i, tr1);
    e.raw(L.LightMap.data(), L.LightMap.size());
    if (tr1 && !opt.tr1PaletteAfterSprites) e.raw(L.Palette.data(), L.Palette.size());
    e.w(static_cast<std::int64_t>(L.CinematicFrames.size()));
    for (const auto& c : L.CinematicFrames) put(e, c);
    if (off) off->demoData = e.pos();
    putDemo(e, L);
    if (off) off->soundMap = e.pos();
    const std::size_t soundMapEntries = tr1 ? 256 : kSoundMapSize;
    for (std::size_t i = 0; i < soundMapEntries; ++i) e.w(L.SoundMap[i]);
    if (off) off->soundDetails = e.pos();
    putCounted(e, L.SoundDetails);
    if (tr1) {
        e.d(static_cast<std::int64_t>(L.SampleData.size()));
        e.raw(L.SampleData.data(), L.SampleData.size());
    }
    e.d(static_cast<std::int64_t>(L.SampleIndices.size())); e.dwords(L.SampleIndices);
    if (off) off->end = e.pos();
    return std::move(e.out);
}

}  // namespace tessarin::levelgen
