// TR1-TR3 level files, read field by field from just after the magic.
//
//   Palette 768, Palette16 1024 (TR2/TR3)   | NumTextiles, 8-bit pages, 16-bit pages (TR2/TR3)
//   Reserved 4, NumRooms 2, rooms           | floor data, mesh data, mesh pointers
//   animations .. frames, moveables         | static meshes, object textures (TR1/TR2)
//   sprites, cameras, sound sources, boxes  | overlaps, zones, animated textures
//   object textures (TR3), items, light map | palette (TR1), cinematic frames, demo data
//   sound map, sound details                | TR1: embedded samples; sample indices
#include <cmath>

#include "level/LevelReaders.h"
#include "level/RecordIO.h"
#include "level/RoomsReader.h"
#include "level/TextureInfo.h"

namespace tessarin::level::detail {

using util::ByteReader;

namespace {

void readRoom(ByteReader& r, TRRoom& room, int v) {
    io::readRoomHeadToSectors(r, room, v == kVersionTR1 ? 8 : 12);

    room.AmbientIntensity1 = r.i16("ambient intensity");
    if (v > kVersionTR1) room.AmbientIntensity2 = r.i16("ambient intensity");
    if (v == kVersionTR2) room.LightMode = r.i16("light mode");

    if (v == kVersionTR1) {
        r.readRecords(room.Lights, r.i16("light count"), 18, "lights", [](TRLight& l, const std::uint8_t* p) {
            util::le::Cursor c(p);
            l.X = c.i32();
            l.Y = c.i32();
            l.Z = c.i32();
            l.Intensity1 = c.i16();
            l.Fade1 = c.i32();
        });
        r.readRecords(room.StaticMeshes, r.i16("static mesh count"), 18, "static meshes", [](TRRoomStatic& s, const std::uint8_t* p) {
            util::le::Cursor c(p);
            s.X = c.i32();
            s.Y = c.i32();
            s.Z = c.i32();
            s.Rotation = c.u16();
            s.Intensity1 = c.i16();
            s.ObjectID = c.u16();
        });
    } else {
        r.readRecords(room.Lights, r.i16("light count"), 24, "lights", [](TRLight& l, const std::uint8_t* p) {
            util::le::Cursor c(p);
            l.X = c.i32();
            l.Y = c.i32();
            l.Z = c.i32();
            l.Intensity1 = c.i16();
            l.Intensity2 = c.i16();
            l.Fade1 = c.i32();
            l.Fade2 = c.i32();
        });
        io::readList(r, room.StaticMeshes, r.i16("static mesh count"), io::kRoomStaticSize, "static meshes");
    }
    room.AlternateRoom = r.i16("alternate room");
    room.Flags = r.i16("flags");
    if (v == kVersionTR3) {
        room.WaterScheme = r.u8("water scheme");
        room.ReverbInfo = r.u8("reverb");
        room.AlternateGroup = r.u8("alternate group");
    }
}

void readObjectTextures(ByteReader& r, TRLevel& level) {
    r.readRecords(level.ObjectTextures, r.i32("object texture count"), 20, "object textures", [](TRObjectTexture& t, const std::uint8_t* p) {
        util::le::Cursor c(p);
        io::readObjectTextureTR123(c, t);
    });
}

// TR1 boxes hold world coordinates; the model keeps sector units as the later games do.
std::uint8_t toSectorUnits(std::int32_t world) {
    return static_cast<std::uint8_t>(static_cast<std::int32_t>(std::floor(world / 1024.0)));
}

}  // namespace

void readTR123(ByteReader& r, TRLevel& level, std::vector<std::string>* warnings, bool paletteAfterSprites) {
    const int v = level.LevelVersion;
    if (v > kVersionTR1) {
        r.bytes(level.Palette.data(), level.Palette.size(), "palette");
        r.bytes(level.Palette16.data(), level.Palette16.size(), "16-bit palette");
    }
    level.NumTextiles = r.i32("texture page count");
    const std::size_t pageBytes = kTextilePixels * (v > kVersionTR1 ? 3 : 1);
    const std::size_t pages = r.checkCount(level.NumTextiles, pageBytes, "texture pages");
    r.readBytes(level.Textile8, pages * kTextilePixels, "8-bit texture pages");
    if (v > kVersionTR1) r.readU16Array(level.Textile16, static_cast<std::int64_t>(pages * kTextilePixels), "16-bit texture pages");
    level.Reserved = r.i32("reserved");

    const std::int16_t numRooms = r.i16("room count");
    const std::size_t rooms = r.checkCount(numRooms, 44, "rooms");  // 44 bytes: the smallest possible room
    // A room is measured by reading it with a measuring reader.
    const RoomReader readOne = [v, rooms](ByteReader& rr, TRRoom& room, std::size_t i) {
        rr.setPlace("", "room", i, rooms);
        readRoom(rr, room, v);
    };
    readRooms(r, level.Rooms, rooms, readOne, readOne);
    r.setPlace("");

    io::readFloorAndMeshData(r, level);

    io::readAnimationsToStaticMeshes(r, level, 8);
    if (v < kVersionTR3) readObjectTextures(r, level);
    io::readCountedList(r, level.SpriteTextures, io::kSpriteTextureSize, "sprite textures");
    io::readCountedList(r, level.SpriteSequences, io::kSpriteSequenceSize, "sprite sequences");
    const bool tr1Palette = v == kVersionTR1;
    if (tr1Palette && paletteAfterSprites) r.bytes(level.Palette.data(), level.Palette.size(), "palette");
    io::readCountedList(r, level.Cameras, io::kCameraSize, "cameras");
    io::readCountedList(r, level.SoundSources, io::kSoundSourceSize, "sound sources");

    const std::int32_t numBoxes = r.i32("box count");
    if (v == kVersionTR1) {
        r.readRecords(level.Boxes, numBoxes, 20, "boxes", [](TRBox& b, const std::uint8_t* p) {
            util::le::Cursor c(p);
            b.Zmin = toSectorUnits(c.i32());
            b.Zmax = toSectorUnits(c.i32());
            b.Xmin = toSectorUnits(c.i32());
            b.Xmax = toSectorUnits(c.i32());
            b.TrueFloor = c.i16();
            b.OverlapIndex = c.i16();
        });
    } else {
        io::readList(r, level.Boxes, numBoxes, io::kBoxSize, "boxes");
    }
    r.readI16Array(level.Overlaps, r.i32("overlap count"), "overlaps");
    const std::int64_t zoneWords = std::int64_t{numBoxes} * (v == kVersionTR1 ? 6 : 10);
    r.readI16Array(level.Zones, zoneWords, "zones");
    r.readI16Array(level.AnimatedTextures, r.i32("animated texture count"), "animated textures");
    if (v == kVersionTR3) readObjectTextures(r, level);

    const std::int32_t numItems = r.i32("item count");
    if (v == kVersionTR1) {
        r.readRecords(level.Items, numItems, 22, "items", [](TRItem& it, const std::uint8_t* p) {
            util::le::Cursor c(p);
            it.ObjectID = c.i16();
            it.Room = c.i16();
            it.X = c.i32();
            it.Y = c.i32();
            it.Z = c.i32();
            it.Angle = c.i16();
            it.Intensity1 = c.i16();
            it.Flags = c.u16();
        });
    } else {
        io::readList(r, level.Items, numItems, io::kItemSize, "items");
    }
    r.bytes(level.LightMap.data(), level.LightMap.size(), "light map");
    if (tr1Palette && !paletteAfterSprites) r.bytes(level.Palette.data(), level.Palette.size(), "palette");

    io::readList(r, level.CinematicFrames, r.i16("cinematic frame count"), io::kCinematicFrameSize, "cinematic frames");
    readDemoData(r, level);

    const std::size_t soundMapEntries = v == kVersionTR1 ? 256 : kSoundMapSize;
    r.checkCount(static_cast<std::int64_t>(soundMapEntries), 2, "sound map");
    for (std::size_t i = 0; i < soundMapEntries; ++i) level.SoundMap[i] = r.i16();
    io::readCountedList(r, level.SoundDetails, io::kSoundDetailSize, "sound details");
    if (v == kVersionTR1) {
        // TR1 embeds its samples here: a byte count and the bytes.
        level.NumSamples = r.i32("sample data size");
        const std::size_t n = r.checkCount(level.NumSamples, 1, "sample data");
        r.readBytes(level.SampleData, n, "sample data");
    }
    r.readI32Array(level.SampleIndices, r.i32("sample index count"), "sample indices");
    if (v != kVersionTR1) r.readBytes(level.TrailingBytes, r.remaining(), "bytes after the sample indices");

    level.TextureTiles = level::ConvertTextInfo(level.ObjectTextures, warnings);
}

}  // namespace tessarin::level::detail
