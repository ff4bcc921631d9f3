#include "level/RecordIO.h"

#include "util/LittleEndian.h"

namespace tessarin::level::io {

using util::ByteReader;
using util::ByteWriter;
namespace le = util::le;

void readRoomHeadToSectors(ByteReader& r, TRRoom& room, std::size_t vertexSize) {
    room.X = r.i32("position");
    room.Z = r.i32("position");
    room.YBottom = r.i32("position");
    room.YTop = r.i32("position");
    room.NumDataWords = r.i32("data size");

    // Geometry and sectors are most of a room: each list is checked once, then decoded unchecked.
    if (vertexSize == 12) {
        readList(r, room.Vertices, r.i16("vertex count"), 12, "vertices");
    } else {
        r.readRecords(room.Vertices, r.i16("vertex count"), vertexSize, "vertices", [](const std::uint8_t* p) {
            return TRRoomVertex{le::i16(p), le::i16(p + 2), le::i16(p + 4), le::i16(p + 6), 0, 0};
        });
    }
    r.readRecords(room.Rectangles, r.i16("rectangle count"), 10, "rectangles", [](const std::uint8_t* p) {
        return TRRoomQuad{{le::i16(p), le::i16(p + 2), le::i16(p + 4), le::i16(p + 6)}, le::i16(p + 8), 0};
    });
    r.readRecords(room.Triangles, r.i16("triangle count"), 8, "triangles", [](const std::uint8_t* p) {
        return TRRoomTriangle{{le::i16(p), le::i16(p + 2), le::i16(p + 4)}, le::i16(p + 6), 0};
    });
    readList(r, room.Sprites, r.i16("sprite count"), kRoomSpriteSize, "sprites");
    readList(r, room.Portals, r.i16("portal count"), kPortalSize, "portals");

    room.NumZSectors = r.i16("sector count");
    room.NumXSectors = r.i16("sector count");
    if (room.NumZSectors < 0 || room.NumXSectors < 0)
        r.fail("sectors: negative size " + std::to_string(room.NumXSectors) + " x " + std::to_string(room.NumZSectors));
    readList(r, room.Sectors, std::int64_t{room.NumXSectors} * room.NumZSectors, kSectorSize, "sectors");
}

void readFloorAndMeshData(ByteReader& r, TRLevel& level) {
    r.readU16Array(level.FloorData, r.i32("floor data count"), "floor data");
    const std::size_t meshWords = r.checkCount(r.i32("mesh data count"), 2, "mesh data");
    r.readBytes(level.MeshData, meshWords * 2, "mesh data");
    r.readI32Array(level.MeshPointers, r.i32("mesh pointer count"), "mesh pointers");
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

void readObjectTexturesTR45(ByteReader& r, TRLevel& level, std::size_t recordSize) {
    r.readRecords(level.ObjectTextures, r.i32("object texture count"), recordSize, "object textures",
                  [](TRObjectTexture& t, const std::uint8_t* p) {
                      le::Cursor c(p);
                      readObjectTextureTR45(c, t);
                  });
}

void readAnimationsToStaticMeshes(ByteReader& r, TRLevel& level, std::size_t velocityBytes) {
    r.readRecords(level.Animations, r.i32("animation count"), 24 + velocityBytes, "animations",
                  [velocityBytes](TRAnimation& a, const std::uint8_t* p) {
                      le::Cursor c(p);
                      readAnimation(c, a, velocityBytes);
                  });
    readCountedList(r, level.StateChanges, kStateChangeSize, "state changes");
    readCountedList(r, level.AnimDispatches, kAnimDispatchSize, "animation dispatches");
    r.readI16Array(level.AnimCommands, r.i32("animation command count"), "animation commands");
    r.readI32Array(level.MeshTrees, r.i32("mesh tree count"), "mesh trees");
    r.readI16Array(level.Frames, r.i32("frame count"), "frames");
    readCountedList(r, level.Moveables, kMoveableSize, "moveables");
    readCountedList(r, level.StaticMeshes, kStaticMeshSize, "static meshes");
}

}  // namespace tessarin::level::io
