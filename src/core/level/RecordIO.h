#pragma once
// Byte layouts of the fixed-size records that every version shares, read and written field by field.
#include <bit>
#include <vector>

#include "level/TRLevel.h"
#include "util/ByteReader.h"
#include "util/ByteWriter.h"

namespace tessarin::level::io {

// Sizes in the files.
inline constexpr std::size_t kPortalSize = 32;
inline constexpr std::size_t kSectorSize = 8;
inline constexpr std::size_t kStateChangeSize = 6;
inline constexpr std::size_t kAnimDispatchSize = 8;
inline constexpr std::size_t kMoveableSize = 18;
inline constexpr std::size_t kStaticMeshSize = 32;
inline constexpr std::size_t kSpriteTextureSize = 16;
inline constexpr std::size_t kSpriteSequenceSize = 8;
inline constexpr std::size_t kCameraSize = 16;
inline constexpr std::size_t kSoundSourceSize = 16;
inline constexpr std::size_t kBoxSize = 8;
inline constexpr std::size_t kItemSize = 24;
inline constexpr std::size_t kAIObjectSize = 24;
inline constexpr std::size_t kCinematicFrameSize = 16;
inline constexpr std::size_t kSoundDetailSize = 8;
inline constexpr std::size_t kRoomSpriteSize = 4;
inline constexpr std::size_t kFlybyCameraSize = 40;
inline constexpr std::size_t kRoomStaticSize = 20;
inline constexpr std::size_t kLightTR4Size = 46;  // position, colour, type, intensity, cone, direction

// Record size in the file, for the lists written whole.
template <typename T> inline constexpr std::size_t kRecordSize = 0;
template <> inline constexpr std::size_t kRecordSize<TRRoomSprite> = kRoomSpriteSize;
template <> inline constexpr std::size_t kRecordSize<TRPortal> = kPortalSize;
template <> inline constexpr std::size_t kRecordSize<TRSector> = kSectorSize;
template <> inline constexpr std::size_t kRecordSize<TRStateChange> = kStateChangeSize;
template <> inline constexpr std::size_t kRecordSize<TRAnimDispatch> = kAnimDispatchSize;
template <> inline constexpr std::size_t kRecordSize<TRMoveable> = kMoveableSize;
template <> inline constexpr std::size_t kRecordSize<TRStaticMesh> = kStaticMeshSize;
template <> inline constexpr std::size_t kRecordSize<TRSpriteTexture> = kSpriteTextureSize;
template <> inline constexpr std::size_t kRecordSize<TRSpriteSequence> = kSpriteSequenceSize;
template <> inline constexpr std::size_t kRecordSize<TRCamera> = kCameraSize;
template <> inline constexpr std::size_t kRecordSize<TRFlybyCamera> = kFlybyCameraSize;
template <> inline constexpr std::size_t kRecordSize<TRSoundSource> = kSoundSourceSize;
template <> inline constexpr std::size_t kRecordSize<TRBox> = kBoxSize;
template <> inline constexpr std::size_t kRecordSize<TRItem> = kItemSize;
template <> inline constexpr std::size_t kRecordSize<TRAIObject> = kAIObjectSize;
template <> inline constexpr std::size_t kRecordSize<TRCinematicFrame> = kCinematicFrameSize;
template <> inline constexpr std::size_t kRecordSize<TRSoundDetail> = kSoundDetailSize;
template <> inline constexpr std::size_t kRecordSize<TRRoomVertex> = 12;  // TR2 and later
template <> inline constexpr std::size_t kRecordSize<TRRoomStatic> = kRoomStaticSize;

// Records whose bytes in the file are the record in memory on a little-endian host (same size and
// field order, no padding): their lists are copied whole. The tests hold each one to its layout below.
template <typename T> inline constexpr bool kFileLayout = false;
template <> inline constexpr bool kFileLayout<TRRoomVertex> = true;  // the 12-byte form of TR2 and later
template <> inline constexpr bool kFileLayout<TRRoomSprite> = true;
template <> inline constexpr bool kFileLayout<TRPortal> = true;
template <> inline constexpr bool kFileLayout<TRSector> = true;
template <> inline constexpr bool kFileLayout<TRRoomStatic> = true;  // the 20-byte form of TR2 and later
template <> inline constexpr bool kFileLayout<TRStateChange> = true;
template <> inline constexpr bool kFileLayout<TRAnimDispatch> = true;
template <> inline constexpr bool kFileLayout<TRStaticMesh> = true;
template <> inline constexpr bool kFileLayout<TRSpriteTexture> = true;
template <> inline constexpr bool kFileLayout<TRSpriteSequence> = true;
template <> inline constexpr bool kFileLayout<TRCamera> = true;
template <> inline constexpr bool kFileLayout<TRFlybyCamera> = true;
template <> inline constexpr bool kFileLayout<TRSoundSource> = true;
template <> inline constexpr bool kFileLayout<TRBox> = true;
template <> inline constexpr bool kFileLayout<TRItem> = true;  // the 24-byte form of TR2 and later
template <> inline constexpr bool kFileLayout<TRAIObject> = true;
template <> inline constexpr bool kFileLayout<TRCinematicFrame> = true;
template <> inline constexpr bool kFileLayout<TRSoundDetail> = true;

// Field layouts, each written once for both cursors: the checked ByteReader / ByteWriter and the
// unchecked util::le cursors used inside a list whose whole size was checked or reserved first.
// Items are read in their 24-byte form, room statics in the 20-byte form of TR2 and later.

template <typename R>
inline void read(R& r, TRRoomVertex& v) {
    v.X = r.i16();
    v.Y = r.i16();
    v.Z = r.i16();
    v.Lighting = r.i16();
    v.Attributes = r.i16();
    v.Lighting2 = r.i16();
}

template <typename R>
inline void readVertex16(R& r, TRVertex16& v) {
    v.X = r.i16();
    v.Y = r.i16();
    v.Z = r.i16();
}

template <typename R>
inline void read(R& r, TRRoomSprite& v) {
    v.Vertex = r.i16();
    v.Texture = r.i16();
}

template <typename R>
inline void read(R& r, TRPortal& v) {
    v.AdjoiningRoom = r.i16();
    readVertex16(r, v.Normal);
    for (auto& c : v.Vertices) readVertex16(r, c);
}

template <typename R>
inline void read(R& r, TRSector& v) {
    v.FDIndex = r.u16();
    v.BoxIndex = r.u16();
    v.RoomBelow = r.u8();
    v.Floor = r.i8();
    v.RoomAbove = r.u8();
    v.Ceiling = r.i8();
}

template <typename R>
inline void read(R& r, TRStateChange& v) {
    v.StateID = r.i16();
    v.NumAnimDispatches = r.i16();
    v.AnimDispatch = r.i16();
}

template <typename R>
inline void read(R& r, TRAnimDispatch& v) {
    v.Low = r.i16();
    v.High = r.i16();
    v.NextAnimation = r.i16();
    v.NextFrame = r.i16();
}

template <typename R>
inline void read(R& r, TRMoveable& v) {
    v.ObjectID = r.i32();
    v.NumMeshes = r.i16();
    v.StartingMesh = r.i16();
    v.MeshTree = r.i32();
    v.FrameOffset = r.i32();
    v.Animation = r.i16();
}

template <typename R>
inline void read(R& r, TRStaticMesh& v) {
    v.ObjectID = r.i32();
    v.Mesh = r.i16();
    for (auto& b : v.VisibilityBox) b = r.i16();
    for (auto& b : v.CollisionBox) b = r.i16();
    v.Flags = r.i16();
}

template <typename R>
inline void read(R& r, TRSpriteTexture& v) {
    v.Tile = r.i16();
    v.X = r.u8();
    v.Y = r.u8();
    v.Width = r.i16();
    v.Height = r.i16();
    v.LeftSide = r.i16();
    v.TopSide = r.i16();
    v.RightSide = r.i16();
    v.BottomSide = r.i16();
}

template <typename R>
inline void read(R& r, TRSpriteSequence& v) {
    v.SpriteID = r.i32();
    v.NegativeLength = r.i16();
    v.Offset = r.i16();
}

template <typename R>
inline void read(R& r, TRCamera& v) {
    v.X = r.i32();
    v.Y = r.i32();
    v.Z = r.i32();
    v.Room = r.i16();
    v.Flag = r.i16();
}

template <typename R>
inline void read(R& r, TRSoundSource& v) {
    v.X = r.i32();
    v.Y = r.i32();
    v.Z = r.i32();
    v.SoundID = r.i16();
    v.Flags = r.i16();
}

template <typename R>
inline void read(R& r, TRBox& v) {
    v.Zmin = r.u8();
    v.Zmax = r.u8();
    v.Xmin = r.u8();
    v.Xmax = r.u8();
    v.TrueFloor = r.i16();
    v.OverlapIndex = r.i16();
}

template <typename R>
inline void read(R& r, TRItem& v) {
    v.ObjectID = r.i16();
    v.Room = r.i16();
    v.X = r.i32();
    v.Y = r.i32();
    v.Z = r.i32();
    v.Angle = r.i16();
    v.Intensity1 = r.i16();
    v.OCB = r.i16();
    v.Flags = r.u16();
}

template <typename R>
inline void read(R& r, TRAIObject& v) {
    v.ObjectID = r.i16();
    v.Room = r.i16();
    v.X = r.i32();
    v.Y = r.i32();
    v.Z = r.i32();
    r.bytes(v.Extra.data(), v.Extra.size());
}

template <typename R>
inline void read(R& r, TRCinematicFrame& v) {
    v.TargetX = r.i16();
    v.TargetY = r.i16();
    v.TargetZ = r.i16();
    v.PosZ = r.i16();
    v.PosY = r.i16();
    v.PosX = r.i16();
    v.FOV = r.i16();
    v.Roll = r.i16();
}

template <typename R>
inline void read(R& r, TRSoundDetail& v) {
    v.Sample = r.i16();
    v.Volume = r.i16();
    v.Chance = r.i16();
    v.Characteristics = r.i16();
}

template <typename R>
inline void read(R& r, TRRoomStatic& v) {
    v.X = r.i32();
    v.Y = r.i32();
    v.Z = r.i32();
    v.Rotation = r.u16();
    v.Intensity1 = r.i16();
    v.Intensity2 = r.i16();
    v.ObjectID = r.u16();
}

template <typename R>
inline void read(R& r, TRFlybyCamera& v) { r.bytes(v.data(), v.size()); }

template <typename R>
inline void readLightTR4(R& r, TRLight& l) {
    l.X4 = r.i32();
    l.Y4 = r.i32();
    l.Z4 = r.i32();
    r.bytes(l.Colour.data(), l.Colour.size());
    l.LightType = r.u8();
    l.LightExtra = r.u8();
    l.Intensity = r.u8();
    l.In = r.f32();
    l.Out = r.f32();
    l.Length = r.f32();
    l.CutOff = r.f32();
    l.DirX = r.f32();
    l.DirY = r.f32();
    l.DirZ = r.f32();
}

// Animations: 32 bytes with 8 velocity bytes (TR1-TR3) or 40 with 16 (TR4/TR5).
template <typename R>
inline void readAnimation(R& r, TRAnimation& v, std::size_t velocityBytes) {
    v.FrameOffset = r.i32();
    v.FrameRate = r.u8();
    v.FrameSize = r.u8();
    v.StateID = r.i16();
    v.Velocity = {};
    r.bytes(v.Velocity.data(), velocityBytes);
    v.FrameStart = r.i16();
    v.FrameEnd = r.i16();
    v.NextAnimation = r.i16();
    v.NextFrame = r.i16();
    v.NumStateChanges = r.i16();
    v.StateChangeOffset = r.i16();
    v.NumAnimCommands = r.i16();
    v.AnimCommand = r.i16();
}

template <typename R>
inline void readCorners(R& r, TRObjectTexture& v) {
    for (auto& c : v.Vertices) {
        c.XCoordinate = r.u8();
        c.XPixel = r.u8();
        c.YCoordinate = r.u8();
        c.YPixel = r.u8();
    }
}

// The 20-byte TR1-TR3 object texture.
template <typename R>
inline void readObjectTextureTR123(R& r, TRObjectTexture& v) {
    v.Attribute = r.i16();
    v.Tile = r.i16();
    readCorners(r, v);
}

// TR4/TR5's form: the TR1-TR3 fields, then the flags, the source corners and the size.
template <typename R>
inline void readObjectTextureTR45(R& r, TRObjectTexture& t) {
    t.Attribute = r.i16();
    t.Tile = t.RawTile = r.i16();
    t.NewFlags = r.i16();
    readCorners(r, t);
    r.bytes(t.SourceUV.data(), t.SourceUV.size());
    t.Width = r.i32();
    t.Height = r.i32();
}

template <typename W>
inline void writeVertex16(W& w, const TRVertex16& v) {
    w.i16(v.X);
    w.i16(v.Y);
    w.i16(v.Z);
}

template <typename W>
inline void write(W& w, const TRRoomVertex& v) {
    w.i16(v.X);
    w.i16(v.Y);
    w.i16(v.Z);
    w.i16(v.Lighting);
    w.i16(v.Attributes);
    w.i16(v.Lighting2);
}

template <typename W>
inline void write(W& w, const TRRoomStatic& v) {
    w.i32(v.X);
    w.i32(v.Y);
    w.i32(v.Z);
    w.u16(v.Rotation);
    w.i16(v.Intensity1);
    w.i16(v.Intensity2);
    w.u16(v.ObjectID);
}

template <typename W>
inline void write(W& w, const TRRoomSprite& v) {
    w.i16(v.Vertex);
    w.i16(v.Texture);
}

template <typename W>
inline void write(W& w, const TRPortal& v) {
    w.i16(v.AdjoiningRoom);
    writeVertex16(w, v.Normal);
    for (const auto& c : v.Vertices) writeVertex16(w, c);
}

template <typename W>
inline void write(W& w, const TRSector& v) {
    w.u16(v.FDIndex);
    w.u16(v.BoxIndex);
    w.u8(v.RoomBelow);
    w.i8(v.Floor);
    w.u8(v.RoomAbove);
    w.i8(v.Ceiling);
}

template <typename W>
inline void write(W& w, const TRStateChange& v) {
    w.i16(v.StateID);
    w.i16(v.NumAnimDispatches);
    w.i16(v.AnimDispatch);
}

template <typename W>
inline void write(W& w, const TRAnimDispatch& v) {
    w.i16(v.Low);
    w.i16(v.High);
    w.i16(v.NextAnimation);
    w.i16(v.NextFrame);
}

template <typename W>
inline void write(W& w, const TRMoveable& v) {
    w.i32(v.ObjectID);
    w.i16(v.NumMeshes);
    w.i16(v.StartingMesh);
    w.i32(v.MeshTree);
    w.i32(v.FrameOffset);
    w.i16(v.Animation);
}

template <typename W>
inline void write(W& w, const TRStaticMesh& v) {
    w.i32(v.ObjectID);
    w.i16(v.Mesh);
    for (auto b : v.VisibilityBox) w.i16(b);
    for (auto b : v.CollisionBox) w.i16(b);
    w.i16(v.Flags);
}

template <typename W>
inline void write(W& w, const TRSpriteTexture& v) {
    w.i16(v.Tile);
    w.u8(v.X);
    w.u8(v.Y);
    w.i16(v.Width);
    w.i16(v.Height);
    w.i16(v.LeftSide);
    w.i16(v.TopSide);
    w.i16(v.RightSide);
    w.i16(v.BottomSide);
}

template <typename W>
inline void write(W& w, const TRSpriteSequence& v) {
    w.i32(v.SpriteID);
    w.i16(v.NegativeLength);
    w.i16(v.Offset);
}

template <typename W>
inline void write(W& w, const TRCamera& v) {
    w.i32(v.X);
    w.i32(v.Y);
    w.i32(v.Z);
    w.i16(v.Room);
    w.i16(v.Flag);
}

template <typename W>
inline void write(W& w, const TRFlybyCamera& v) { w.bytes(v.data(), v.size()); }

template <typename W>
inline void write(W& w, const TRSoundSource& v) {
    w.i32(v.X);
    w.i32(v.Y);
    w.i32(v.Z);
    w.i16(v.SoundID);
    w.i16(v.Flags);
}

template <typename W>
inline void write(W& w, const TRBox& v) {
    w.u8(v.Zmin);
    w.u8(v.Zmax);
    w.u8(v.Xmin);
    w.u8(v.Xmax);
    w.i16(v.TrueFloor);
    w.i16(v.OverlapIndex);
}

template <typename W>
inline void write(W& w, const TRItem& v) {
    w.i16(v.ObjectID);
    w.i16(v.Room);
    w.i32(v.X);
    w.i32(v.Y);
    w.i32(v.Z);
    w.i16(v.Angle);
    w.i16(v.Intensity1);
    w.i16(v.OCB);
    w.u16(v.Flags);
}

template <typename W>
inline void write(W& w, const TRAIObject& v) {
    w.i16(v.ObjectID);
    w.i16(v.Room);
    w.i32(v.X);
    w.i32(v.Y);
    w.i32(v.Z);
    w.bytes(v.Extra.data(), v.Extra.size());
}

template <typename W>
inline void write(W& w, const TRCinematicFrame& v) {
    w.i16(v.TargetX);
    w.i16(v.TargetY);
    w.i16(v.TargetZ);
    w.i16(v.PosZ);
    w.i16(v.PosY);
    w.i16(v.PosX);
    w.i16(v.FOV);
    w.i16(v.Roll);
}

template <typename W>
inline void write(W& w, const TRSoundDetail& v) {
    w.i16(v.Sample);
    w.i16(v.Volume);
    w.i16(v.Chance);
    w.i16(v.Characteristics);
}

template <typename W>
inline void writeAnimation(W& w, const TRAnimation& v, std::size_t velocityBytes) {
    w.i32(v.FrameOffset);
    w.u8(v.FrameRate);
    w.u8(v.FrameSize);
    w.i16(v.StateID);
    w.bytes(v.Velocity.data(), velocityBytes);
    w.i16(v.FrameStart);
    w.i16(v.FrameEnd);
    w.i16(v.NextAnimation);
    w.i16(v.NextFrame);
    w.i16(v.NumStateChanges);
    w.i16(v.StateChangeOffset);
    w.i16(v.NumAnimCommands);
    w.i16(v.AnimCommand);
}

template <typename W>
inline void writeCorners(W& w, const TRObjectTexture& v) {
    for (const auto& c : v.Vertices) {
        w.u8(c.XCoordinate);
        w.u8(c.XPixel);
        w.u8(c.YCoordinate);
        w.u8(c.YPixel);
    }
}

template <typename W>
inline void writeObjectTextureTR123(W& w, const TRObjectTexture& v) {
    w.i16(v.Attribute);
    w.i16(v.Tile);
    writeCorners(w, v);
}

// The field-by-field decoding of one record, in place, from bytes already checked.
template <typename T>
void decodeRecord(T& v, const std::uint8_t* p) {
    util::le::Cursor c(p);
    read(c, v);
}

// Reads `count` records of `size` bytes each after checking, once, that they all fit; a list in
// its file layout is copied whole.
template <typename T>
void readList(util::ByteReader& r, std::vector<T>& out, std::int64_t count, std::size_t size, const char* what) {
    if constexpr (kFileLayout<T>) {
        if (size == sizeof(T)) return r.copyRecords(out, count, what, decodeRecord<T>);
    }
    r.readRecords(out, count, size, what, decodeRecord<T>);
}

// A 32-bit count followed by its records.
template <typename T>
void readCountedList(util::ByteReader& r, std::vector<T>& out, std::size_t size, const char* what) {
    const std::int32_t count = r.i32(what);
    readList(r, out, count, size, what);
}

// Records written field by field, in one block of the writer (or in batches when it streams).
template <typename T>
void writeFields(util::ByteWriter& w, const std::vector<T>& list) {
    constexpr std::size_t size = kRecordSize<T>;
    static_assert(size != 0);
    w.records(list.size(), size, [&list](util::le::Out& o, std::size_t i) { write(o, list[i]); });
}

// Records appended to the writer: a list in its file layout as one copy on little-endian hosts,
// any other field by field.
template <typename T>
void writeList(util::ByteWriter& w, const std::vector<T>& list) {
    if constexpr (kFileLayout<T> && sizeof(T) == kRecordSize<T> && std::endian::native == std::endian::little) {
        w.bytes(list.data(), list.size() * sizeof(T));
    } else {
        writeFields(w, list);
    }
}

template <typename T>
void writeCountedList(util::ByteWriter& w, const std::vector<T>& list) {
    w.u32(static_cast<std::uint32_t>(list.size()));
    writeList(w, list);
}

// A room from its position to its sector grid, the part every version before TR5 shares: vertices
// of 8 bytes (TR1) or 12, faces, sprites, portals and sectors.
void readRoomHeadToSectors(util::ByteReader& r, TRRoom& room, std::size_t vertexSize);

// The floor data, mesh data and mesh pointers that follow the rooms in every version.
void readFloorAndMeshData(util::ByteReader& r, TRLevel& level);

// The TR4 run of lists from the cameras to the animated textures (ten zone words per box).
void readTR4CamerasToAnimatedTextures(util::ByteReader& r, TRLevel& level);

// The counted object textures of TR4 (38-byte records) and TR5 (the same and 2 bytes of padding).
void readObjectTexturesTR45(util::ByteReader& r, TRLevel& level, std::size_t recordSize);

// The run of lists from the animations to the static meshes, shared by every version that keeps
// them; animations carry `velocityBytes` of speeds (8 in TR1-TR3, 16 in TR4).
void readAnimationsToStaticMeshes(util::ByteReader& r, TRLevel& level, std::size_t velocityBytes);

}  // namespace tessarin::level::io
