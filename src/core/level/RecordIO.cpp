#include "level/RecordIO.h"

#include "util/LittleEndian.h"

namespace tessarin::level::io {

using util::ByteReader;
using util::ByteWriter;
namespace le = util::le;

namespace {
void readVertex16(ByteReader& r, TRVertex16& v) {
    v.X = r.i16();
    v.Y = r.i16();
    v.Z = r.i16();
}
void writeVertex16(ByteWriter& w, const TRVertex16& v) {
    w.i16(v.X);
    w.i16(v.Y);
    w.i16(v.Z);
}
}  // namespace

void read(ByteReader& r, TRRoomSprite& v) {
    v.Vertex = r.i16();
    v.Texture = r.i16();
}
void write(ByteWriter& w, const TRRoomSprite& v) {
    w.i16(v.Vertex);
    w.i16(v.Texture);
}

void read(ByteReader& r, TRPortal& v) {
    v.AdjoiningRoom = r.i16();
    readVertex16(r, v.Normal);
    for (auto& c : v.Vertices) readVertex16(r, c);
}
void write(ByteWriter& w, const TRPortal& v) {
    w.i16(v.AdjoiningRoom);
    writeVertex16(w, v.Normal);
    for (const auto& c : v.Vertices) writeVertex16(w, c);
}

void read(ByteReader& r, TRSector& v) {
    v.FDIndex = r.u16();
    v.BoxIndex = r.u16();
    v.RoomBelow = r.u8();
    v.Floor = r.i8();
    v.RoomAbove = r.u8();
    v.Ceiling = r.i8();
}
void write(ByteWriter& w, const TRSector& v) {
    w.u16(v.FDIndex);
    w.u16(v.BoxIndex);
    w.u8(v.RoomBelow);
    w.i8(v.Floor);
    w.u8(v.RoomAbove);
    w.i8(v.Ceiling);
}

void read(ByteReader& r, TRStateChange& v) {
    v.StateID = r.i16();
    v.NumAnimDispatches = r.i16();
    v.AnimDispatch = r.i16();
}
void write(ByteWriter& w, const TRStateChange& v) {
    w.i16(v.StateID);
    w.i16(v.NumAnimDispatches);
    w.i16(v.AnimDispatch);
}

void read(ByteReader& r, TRAnimDispatch& v) {
    v.Low = r.i16();
    v.High = r.i16();
    v.NextAnimation = r.i16();
    v.NextFrame = r.i16();
}
void write(ByteWriter& w, const TRAnimDispatch& v) {
    w.i16(v.Low);
    w.i16(v.High);
    w.i16(v.NextAnimation);
    w.i16(v.NextFrame);
}

void read(ByteReader& r, TRMoveable& v) {
    v.ObjectID = r.i32();
    v.NumMeshes = r.i16();
    v.StartingMesh = r.i16();
    v.MeshTree = r.i32();
    v.FrameOffset = r.i32();
    v.Animation = r.i16();
}
void write(ByteWriter& w, const TRMoveable& v) {
    w.i32(v.ObjectID);
    w.i16(v.NumMeshes);
    w.i16(v.StartingMesh);
    w.i32(v.MeshTree);
    w.i32(v.FrameOffset);
    w.i16(v.Animation);
}

void read(ByteReader& r, TRStaticMesh& v) {
    v.ObjectID = r.i32();
    v.Mesh = r.i16();
    for (auto& b : v.VisibilityBox) b = r.i16();
    for (auto& b : v.CollisionBox) b = r.i16();
    v.Flags = r.i16();
}
void write(ByteWriter& w, const TRStaticMesh& v) {
    w.i32(v.ObjectID);
    w.i16(v.Mesh);
    for (auto b : v.VisibilityBox) w.i16(b);
    for (auto b : v.CollisionBox) w.i16(b);
    w.i16(v.Flags);
}

void read(ByteReader& r, TRSpriteTexture& v) {
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
void write(ByteWriter& w, const TRSpriteTexture& v) {
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

void read(ByteReader& r, TRSpriteSequence& v) {
    v.SpriteID = r.i32();
    v.NegativeLength = r.i16();
    v.Offset = r.i16();
}
void write(ByteWriter& w, const TRSpriteSequence& v) {
    w.i32(v.SpriteID);
    w.i16(v.NegativeLength);
    w.i16(v.Offset);
}

void read(ByteReader& r, TRCamera& v) {
    v.X = r.i32();
    v.Y = r.i32();
    v.Z = r.i32();
    v.Room = r.i16();
    v.Flag = r.i16();
}
void write(ByteWriter& w, const TRCamera& v) {
    w.i32(v.X);
    w.i32(v.Y);
    w.i32(v.Z);
    w.i16(v.Room);
    w.i16(v.Flag);
}

void read(ByteReader& r, TRFlybyCamera& v) { r.bytes(v.data(), v.size()); }
void write(ByteWriter& w, const TRFlybyCamera& v) { w.bytes(v.data(), v.size()); }

void read(ByteReader& r, TRSoundSource& v) {
    v.X = r.i32();
    v.Y = r.i32();
    v.Z = r.i32();
    v.SoundID = r.i16();
    v.Flags = r.i16();
}
void write(ByteWriter& w, const TRSoundSource& v) {
    w.i32(v.X);
    w.i32(v.Y);
    w.i32(v.Z);
    w.i16(v.SoundID);
    w.i16(v.Flags);
}

void read(ByteReader& r, TRBox& v) {
    v.Zmin = r.u8();
    v.Zmax = r.u8();
    v.Xmin = r.u8();
    v.Xmax = r.u8();
    v.TrueFloor = r.i16();
    v.OverlapIndex = r.i16();
}
void write(ByteWriter& w, const TRBox& v) {
    w.u8(v.Zmin);
    w.u8(v.Zmax);
    w.u8(v.Xmin);
    w.u8(v.Xmax);
    w.i16(v.TrueFloor);
    w.i16(v.OverlapIndex);
}

void read(ByteReader& r, TRItem& v) {
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
void write(ByteWriter& w, const TRItem& v) {
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

void read(ByteReader& r, TRAIObject& v) {
    v.ObjectID = r.i16();
    v.Room = r.i16();
    v.X = r.i32();
    v.Y = r.i32();
    v.Z = r.i32();
    r.bytes(v.Extra.data(), v.Extra.size());
}
void write(ByteWriter& w, const TRAIObject& v) {
    w.i16(v.ObjectID);
    w.i16(v.Room);
    w.i32(v.X);
    w.i32(v.Y);
    w.i32(v.Z);
    w.bytes(v.Extra.data(), v.Extra.size());
}

void read(ByteReader& r, TRCinematicFrame& v) {
    v.TargetX = r.i16();
    v.TargetY = r.i16();
    v.TargetZ = r.i16();
    v.PosZ = r.i16();
    v.PosY = r.i16();
    v.PosX = r.i16();
    v.FOV = r.i16();
    v.Roll = r.i16();
}
void write(ByteWriter& w, const TRCinematicFrame& v) {
    w.i16(v.TargetX);
    w.i16(v.TargetY);
    w.i16(v.TargetZ);
    w.i16(v.PosZ);
    w.i16(v.PosY);
    w.i16(v.PosX);
    w.i16(v.FOV);
    w.i16(v.Roll);
}

void read(ByteReader& r, TRSoundDetail& v) {
    v.Sample = r.i16();
    v.Volume = r.i16();
    v.Chance = r.i16();
    v.Characteristics = r.i16();
}
void write(ByteWriter& w, const TRSoundDetail& v) {
    w.i16(v.Sample);
    w.i16(v.Volume);
    w.i16(v.Chance);
    w.i16(v.Characteristics);
}

void read(ByteReader& r, TRRoomStatic& v) {
    v.X = r.i32();
    v.Y = r.i32();
    v.Z = r.i32();
    v.Rotation = r.u16();
    v.Intensity1 = r.i16();
    v.Intensity2 = r.i16();
    v.ObjectID = r.u16();
}

void readRoomHeadToSectors(ByteReader& r, TRRoom& room, std::size_t vertexSize) {
    room.X = r.i32("position");
    room.Z = r.i32("position");
    room.YBottom = r.i32("position");
    room.YTop = r.i32("position");
    room.NumDataWords = r.i32("data size");

    // Geometry and sectors are most of a room: each list is checked once, then decoded unchecked.
    const std::size_t numVertices = r.checkCount(r.i16("vertex count"), vertexSize, "vertices");
    const std::uint8_t* p = r.view(numVertices * vertexSize, "vertices").data();
    room.Vertices.resize(numVertices);
    for (auto& vx : room.Vertices) {
        vx.X = le::i16(p);
        vx.Y = le::i16(p + 2);
        vx.Z = le::i16(p + 4);
        vx.Lighting = le::i16(p + 6);
        if (vertexSize == 12) {
            vx.Attributes = le::i16(p + 8);
            vx.Lighting2 = le::i16(p + 10);
        }
        p += vertexSize;
    }
    const std::size_t numRectangles = r.checkCount(r.i16("rectangle count"), 10, "rectangles");
    p = r.view(numRectangles * 10, "rectangles").data();
    room.Rectangles.resize(numRectangles);
    for (auto& q : room.Rectangles) {
        for (int k = 0; k < 4; ++k) q.Vertices[k] = le::i16(p + 2 * k);
        q.Texture = le::i16(p + 8);
        p += 10;
    }
    const std::size_t numTriangles = r.checkCount(r.i16("triangle count"), 8, "triangles");
    p = r.view(numTriangles * 8, "triangles").data();
    room.Triangles.resize(numTriangles);
    for (auto& t : room.Triangles) {
        for (int k = 0; k < 3; ++k) t.Vertices[k] = le::i16(p + 2 * k);
        t.Texture = le::i16(p + 6);
        p += 8;
    }
    readList(r, room.Sprites, r.i16("sprite count"), kRoomSpriteSize, "sprites");
    readList(r, room.Portals, r.i16("portal count"), kPortalSize, "portals");

    room.NumZSectors = r.i16("sector count");
    room.NumXSectors = r.i16("sector count");
    if (room.NumZSectors < 0 || room.NumXSectors < 0)
        r.fail("sectors: negative size " + std::to_string(room.NumXSectors) + " x " + std::to_string(room.NumZSectors));
    const std::size_t numSectors = r.checkCount(std::int64_t{room.NumXSectors} * room.NumZSectors, kSectorSize, "sectors");
    p = r.view(numSectors * kSectorSize, "sectors").data();
    room.Sectors.resize(numSectors);
    for (auto& sec : room.Sectors) {
        sec.FDIndex = le::u16(p);
        sec.BoxIndex = le::u16(p + 2);
        sec.RoomBelow = p[4];
        sec.Floor = static_cast<std::int8_t>(p[5]);
        sec.RoomAbove = p[6];
        sec.Ceiling = static_cast<std::int8_t>(p[7]);
        p += kSectorSize;
    }
}

void readFloorAndMeshData(ByteReader& r, TRLevel& level) {
    r.readU16Array(level.FloorData, r.i32("floor data count"), "floor data");
    const std::size_t meshWords = r.checkCount(r.i32("mesh data count"), 2, "mesh data");
    level.MeshData.resize(meshWords * 2);
    r.bytes(level.MeshData.data(), level.MeshData.size(), "mesh data");
    r.readI32Array(level.MeshPointers, r.i32("mesh pointer count"), "mesh pointers");
}

void readLightTR4(ByteReader& r, TRLight& l) {
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

void readTR4CamerasToAnimatedTextures(ByteReader& r, TRLevel& level) {
    readCountedList(r, level.Cameras, kCameraSize, "cameras");
    readCountedList(r, level.FlybyCameras, kFlybyCameraSize, "flyby cameras");
    readCountedList(r, level.SoundSources, kSoundSourceSize, "sound sources");
    const std::int32_t numBoxes = r.i32("box count");
    readList(r, level.Boxes, numBoxes, kBoxSize, "boxes");
    r.readI16Array(level.Overlaps, r.i32("overlap count"), "overlaps");
    r.readI16Array(level.Zones, std::int64_t{numBoxes} * 10, "zones");
    r.readI16Array(level.AnimatedTextures, r.i32("animated texture count"), "animated textures");
}

void readAnimationsToStaticMeshes(ByteReader& r, TRLevel& level, std::size_t velocityBytes) {
    level.Animations.assign(r.checkCount(r.i32("animation count"), 24 + velocityBytes, "animations"), {});
    for (auto& a : level.Animations) readAnimation(r, a, velocityBytes);
    readCountedList(r, level.StateChanges, kStateChangeSize, "state changes");
    readCountedList(r, level.AnimDispatches, kAnimDispatchSize, "animation dispatches");
    r.readI16Array(level.AnimCommands, r.i32("animation command count"), "animation commands");
    r.readI32Array(level.MeshTrees, r.i32("mesh tree count"), "mesh trees");
    r.readI16Array(level.Frames, r.i32("frame count"), "frames");
    readCountedList(r, level.Moveables, kMoveableSize, "moveables");
    readCountedList(r, level.StaticMeshes, kStaticMeshSize, "static meshes");
}

void readAnimation(ByteReader& r, TRAnimation& v, std::size_t velocityBytes) {
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
void writeAnimation(ByteWriter& w, const TRAnimation& v, std::size_t velocityBytes) {
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

void readCorners(ByteReader& r, TRObjectTexture& v) {
    for (auto& c : v.Vertices) {
        c.XCoordinate = r.u8();
        c.XPixel = r.u8();
        c.YCoordinate = r.u8();
        c.YPixel = r.u8();
    }
}
void writeCorners(ByteWriter& w, const TRObjectTexture& v) {
    for (const auto& c : v.Vertices) {
        w.u8(c.XCoordinate);
        w.u8(c.XPixel);
        w.u8(c.YCoordinate);
        w.u8(c.YPixel);
    }
}

void readObjectTextureTR123(ByteReader& r, TRObjectTexture& v) {
    v.Attribute = r.i16();
    v.Tile = r.i16();
    readCorners(r, v);
}
void writeObjectTextureTR123(ByteWriter& w, const TRObjectTexture& v) {
    w.i16(v.Attribute);
    w.i16(v.Tile);
    writeCorners(w, v);
}

}  // namespace tessarin::level::io
