#pragma once
// The fixed records every version shares, laid out from the file tables.
#include "Emit.h"
#include "LevelBuilder.h"
#include "level/TRLevel.h"

namespace tessarin::levelgen::detail {

using namespace tessarin::level;

inline void put(Emit& e, const TRPortal& p) {
    e.w(p.AdjoiningRoom);
    e.w(p.Normal.X); e.w(p.Normal.Y); e.w(p.Normal.Z);
    for (const auto& v : p.Vertices) { e.w(v.X); e.w(v.Y); e.w(v.Z); }
}
inline void put(Emit& e, const TRSector& s) {
    e.w(s.FDIndex); e.w(s.BoxIndex);
    e.b(s.RoomBelow); e.b(static_cast<std::uint8_t>(s.Floor));
    e.b(s.RoomAbove); e.b(static_cast<std::uint8_t>(s.Ceiling));
}
inline void put(Emit& e, const TRRoomStatic& s, bool tr1) {
    e.d(s.X); e.d(s.Y); e.d(s.Z);
    e.w(s.Rotation); e.w(s.Intensity1);
    if (!tr1) e.w(s.Intensity2);
    e.w(s.ObjectID);
}
// Animations carry 8 velocity bytes in TR1-TR3 and 16 in TR4/TR5.
inline void put(Emit& e, const TRAnimation& a, std::size_t velocityBytes) {
    e.d(a.FrameOffset); e.b(a.FrameRate); e.b(a.FrameSize); e.w(a.StateID);
    e.raw(a.Velocity.data(), velocityBytes);
    e.w(a.FrameStart); e.w(a.FrameEnd); e.w(a.NextAnimation); e.w(a.NextFrame);
    e.w(a.NumStateChanges); e.w(a.StateChangeOffset); e.w(a.NumAnimCommands); e.w(a.AnimCommand);
}
inline void put(Emit& e, const TRStateChange& s) { e.w(s.StateID); e.w(s.NumAnimDispatches); e.w(s.AnimDispatch); }
inline void put(Emit& e, const TRAnimDispatch& a) { e.w(a.Low); e.w(a.High); e.w(a.NextAnimation); e.w(a.NextFrame); }
inline void put(Emit& e, const TRMoveable& m) {
    e.d(m.ObjectID); e.w(m.NumMeshes); e.w(m.StartingMesh); e.d(m.MeshTree); e.d(m.FrameOffset); e.w(m.Animation);
}
inline void put(Emit& e, const TRStaticMesh& s) {
    e.d(s.ObjectID); e.w(s.Mesh);
    e.words(s.VisibilityBox); e.words(s.CollisionBox);
    e.w(s.Flags);
}
inline void put(Emit& e, const TRSpriteTexture& s) {
    e.w(s.Tile); e.b(s.X); e.b(s.Y); e.w(s.Width); e.w(s.Height);
    e.w(s.LeftSide); e.w(s.TopSide); e.w(s.RightSide); e.w(s.BottomSide);
}
inline void put(Emit& e, const TRSpriteSequence& s) { e.d(s.SpriteID); e.w(s.NegativeLength); e.w(s.Offset); }
inline void put(Emit& e, const TRCamera& c) { e.d(c.X); e.d(c.Y); e.d(c.Z); e.w(c.Room); e.w(c.Flag); }
inline void put(Emit& e, const TRSoundSource& s) { e.d(s.X); e.d(s.Y); e.d(s.Z); e.w(s.SoundID); e.w(s.Flags); }
inline void put(Emit& e, const TRBox& b) {
    e.b(b.Zmin); e.b(b.Zmax); e.b(b.Xmin); e.b(b.Xmax); e.w(b.TrueFloor); e.w(b.OverlapIndex);
}
// Items: TR1 has no OCB word (22 bytes), the others 24.
inline void put(Emit& e, const TRItem& i, bool tr1) {
    e.w(i.ObjectID); e.w(i.Room); e.d(i.X); e.d(i.Y); e.d(i.Z); e.w(i.Angle); e.w(i.Intensity1);
    if (!tr1) e.w(i.OCB);
    e.w(i.Flags);
}
inline void put(Emit& e, const TRAIObject& a) {
    e.w(a.ObjectID); e.w(a.Room); e.d(a.X); e.d(a.Y); e.d(a.Z); e.raw(a.Extra.data(), a.Extra.size());
}
inline void put(Emit& e, const TRCinematicFrame& c) {
    e.w(c.TargetX); e.w(c.TargetY); e.w(c.TargetZ); e.w(c.PosZ); e.w(c.PosY); e.w(c.PosX); e.w(c.FOV); e.w(c.Roll);
}
inline void put(Emit& e, const TRSoundDetail& s) { e.w(s.Sample); e.w(s.Volume); e.w(s.Chance); e.w(s.Characteristics); }
inline void putCorners(Emit& e, const TRObjectTexture& t) {
    for (const auto& c : t.Vertices) { e.b(c.XCoordinate); e.b(c.XPixel); e.b(c.YCoordinate); e.b(c.YPixel); }
}

template <typename T>
void putCounted(Emit& e, const std::vector<T>& v) {
    e.d(static_cast<std::int64_t>(v.size()));
    for (const auto& x : v) put(e, x);
}

// Demo words for a byte count: count / 4 rounded to the nearest whole number, halves to even.
inline std::size_t demoWords(std::int32_t bytes) {
    if (bytes <= 0) return 0;
    const std::int32_t q = bytes / 4, r = bytes % 4;
    return static_cast<std::size_t>(r > 2 || (r == 2 && q % 2 == 1) ? q + 1 : q);
}

// The demo data as written after NumDemoData: exactly the words the count calls for.
inline void putDemo(Emit& e, const TRLevel& L) {
    e.w(L.NumDemoData);
    const std::size_t n = demoWords(L.NumDemoData);
    for (std::size_t i = 0; i < n; ++i) e.d(i < L.DemoData.size() ? L.DemoData[i] : 0);
}

// TR4/TR5 files hold NumDemoData bytes here: the words' bytes, cut or padded with zeros to it.
inline void putDemoBytes(Emit& e, const TRLevel& L) {
    e.w(L.NumDemoData);
    for (std::int32_t i = 0; i < L.NumDemoData; ++i) {
        const auto word = static_cast<std::size_t>(i / 4);
        const auto v = static_cast<std::uint32_t>(word < L.DemoData.size() ? L.DemoData[word] : 0);
        e.b(static_cast<std::uint8_t>(v >> (8 * (i % 4))));
    }
}

// A fixed-size array written as `count` elements, zero where the source is short.
template <typename List>
void putPadded(Emit& e, const List& v, std::size_t count, int bytesPer) {
    for (std::size_t i = 0; i < count; ++i) {
        const std::int64_t x = i < v.size() ? static_cast<std::int64_t>(v[i]) : 0;
        if (bytesPer == 1) e.b(static_cast<std::uint8_t>(x));
        else if (bytesPer == 2) e.w(x);
        else e.d(x);
    }
}

// The sections every version but TR5 writes in full, from the floor data to the frames.
inline void putMeshesAndAnimations(Emit& e, const TRLevel& L, std::size_t velocityBytes) {
    e.d(static_cast<std::int64_t>(L.FloorData.size())); e.words(L.FloorData);
    if (L.MeshData.size() % 2) throw BuildError("MeshData holds an odd number of bytes");
    e.d(static_cast<std::int64_t>(L.MeshData.size() / 2)); e.raw(L.MeshData.data(), L.MeshData.size());
    e.d(static_cast<std::int64_t>(L.MeshPointers.size())); e.dwords(L.MeshPointers);
    e.d(static_cast<std::int64_t>(L.Animations.size()));
    for (const auto& a : L.Animations) put(e, a, velocityBytes);
    putCounted(e, L.StateChanges);
    putCounted(e, L.AnimDispatches);
    e.d(static_cast<std::int64_t>(L.AnimCommands.size())); e.words(L.AnimCommands);
    e.d(static_cast<std::int64_t>(L.MeshTrees.size())); e.dwords(L.MeshTrees);
    e.d(static_cast<std::int64_t>(L.Frames.size())); e.words(L.Frames);
}

}  // namespace tessarin::levelgen::detail
