// TR4 level files: a short header, four zlib chunks, the sound samples.
//
//   magic 4 | NumRoomTextiles, NumObjTextiles, NumBumpTextiles 2 each
//   chunk 1: 32-bit pages | chunk 2: 16-bit pages | chunk 3: misc pages | chunk 4: level data
//   NumSamples 4, then the samples (not needed; extended engines append more data after them)
//
// The level data, inflated, holds Reserved 4, NumRooms 2, the rooms, then the TR1-TR3 sections in
// their TR3 order with 40-byte animations, flyby cameras, 38-byte object textures after the
// animated textures, and AI objects after the items; it ends with the sound map, sound details and
// sample indices.
#include <algorithm>
#include <limits>

#include "level/TextureInfo.h"
#include "level/CompressedChunks.h"
#include "level/LevelReaders.h"
#include "level/RecordIO.h"
#include "level/RoomsReader.h"
#include "util/Arrival.h"
#include "util/PageBuffer.h"

namespace tessarin::level::detail {

using util::ByteReader;

namespace {

constexpr std::size_t kObjectTextureSize = 38;

// The smallest room: header, five list counts, sector size, colour, two counts, trailer.
constexpr std::size_t kMinRoomSize = 49;

// The bytes of no meaning the games put at the end of the level data.
constexpr std::size_t kBlockPadding = 6;

// TR4 files hold NumDemoData bytes (the older versions' rounded number of words would put
// everything after them off by up to two bytes). They are kept in the words the count calls for
// as in the older versions: a last partial word padded with zeros, bytes past the words dropped.
void readDemoBytes(ByteReader& r, TRLevel& level, std::int16_t count) {
    level.NumDemoData = count;
    if (level.NumDemoData < 0) r.fail("demo data: negative count " + std::to_string(level.NumDemoData));
    const auto bytes = r.view(static_cast<std::size_t>(level.NumDemoData), "demo data");
    level.DemoData.assign(demoWordCount(level.NumDemoData), 0);
    const std::size_t kept = std::min(bytes.size(), level.DemoData.size() * 4);
    for (std::size_t i = 0; i < kept; ++i)
        level.DemoData[i / 4] = static_cast<std::int32_t>(static_cast<std::uint32_t>(level.DemoData[i / 4]) |
                                                          (std::uint32_t{bytes[i]} << (8 * (i % 4))));
}

// Where the sound data that ends the block would end if `demoBytes` demo bytes and a sound map of
// `mapEntries` words came next; 0 when one of its counts runs past the block. Looks ahead only.
std::size_t soundDataEnd(const ByteReader& r, std::size_t demoBytes, std::size_t mapEntries) {
    const std::size_t size = r.size();
    std::size_t p = r.pos() + demoBytes + 2 * mapEntries;
    const auto countAt = [&](std::size_t elementSize, std::size_t& count) {
        if (p > size || size - p < 4) return false;
        count = r.detached(p).u32();
        p += 4;
        if (count > (size - p) / elementSize) return false;
        p += count * elementSize;
        return true;
    };
    std::size_t details = 0, indices = 0;
    if (!countAt(io::kSoundDetailSize, details) || !countAt(4, indices)) return 0;
    return p;
}

// Extended engines (TRNG) put the length of a longer sound map where the demo count stands, and no
// demo follows. The block's end tells the layouts apart: the sound data ends there, give or take
// the games' padding; a tool that pads more still leaves the games' layout unable to fit. Only the
// entries the level model holds are kept; the rest name sounds of the extended engine alone.
void readDemoAndSoundMap(ByteReader& r, TRLevel& level) {
    const std::int16_t count = r.i16("demo data count");
    const auto endsBlock = [&r](std::size_t end) { return end != 0 && r.size() - end <= kBlockPadding; };
    const auto entries = static_cast<std::uint16_t>(count);
    const std::size_t plainEnd = soundDataEnd(r, count > 0 ? std::size_t{entries} : 0, kSoundMapSize);
    const std::size_t extendedEnd = entries == 0 ? 0 : soundDataEnd(r, 0, entries);
    const bool extended = !endsBlock(plainEnd) && extendedEnd != 0 && (endsBlock(extendedEnd) || plainEnd == 0);
    if (!extended) {
        readDemoBytes(r, level, count);
        r.checkCount(static_cast<std::int64_t>(kSoundMapSize), 2, "sound map");
        for (auto& s : level.SoundMap) s = r.i16();
        return;
    }
    level.NumDemoData = 0;
    level.DemoData.clear();
    level.SoundMap.fill(-1);
    const auto map = r.view(std::size_t{entries} * 2, "sound map");
    for (std::size_t i = 0; i < std::min<std::size_t>(entries, kSoundMapSize); ++i)
        level.SoundMap[i] = static_cast<std::int16_t>(map[2 * i] | (map[2 * i + 1] << 8));
}

void readRoom(ByteReader& r, TRRoom& room) {
    // The games' own TR4 rooms carry no sprites, but the list has its TR3 form when one does.
    io::readRoomHeadToSectors(r, room, 12);

    // The room colour lands in these four bytes; the first three are overwritten at the end.
    r.bytes(room.Colour.data(), room.Colour.size(), "room colour");
    room.WaterScheme = room.Colour[0];
    room.ReverbInfo = room.Colour[1];
    room.AlternateGroup = room.Colour[2];
    room.RoomExtra = room.Colour[3];

    r.readRecords(room.Lights, r.i16("light count"), io::kLightTR4Size, "lights", [](TRLight& l, const std::uint8_t* p) {
        util::le::Cursor c(p);
        io::readLightTR4(c, l);
    });
    io::readList(r, room.StaticMeshes, r.i16("static mesh count"), io::kRoomStaticSize, "static meshes");
    room.AlternateRoom = r.i16("alternate room");
    room.Flags = r.i16("flags");
    room.WaterScheme = r.u8("water scheme");
    room.ReverbInfo = r.u8("reverb");
    room.AlternateGroup = r.u8("alternate group");
}

void readLevelData(ByteReader& r, TRLevel& level, const LoadOptions& options) {
    level.Reserved = r.i32("reserved");
    const std::uint16_t numRooms = r.u16("room count");
    const std::size_t rooms = r.checkCount(numRooms, kMinRoomSize, "rooms");
    const RoomReader readOne = [rooms, &options](ByteReader& rr, TRRoom& room, std::size_t i) {
        rr.setPlace("level data", "room", i, rooms);
        readRoom(rr, room);
        // A room read again (see readRooms) is read whole again, so it is handed on again.
        if (options.eachRoom && !rr.measuring()) options.eachRoom(room);
    };
    readRooms(r, level.Rooms, rooms, readOne, readOne);
    r.setPlace("level data");

    io::readFloorAndMeshData(r, level);

    io::readAnimationsToStaticMeshes(r, level, 16);
    r.skip(3, "sprite marker");
    io::readCountedList(r, level.SpriteTextures, io::kSpriteTextureSize, "sprite textures");
    io::readCountedList(r, level.SpriteSequences, io::kSpriteSequenceSize, "sprite sequences");
    io::readTR4CamerasToAnimatedTextures(r, level);
    r.skip(4, "texture marker");  // one byte, then "TEX"

    io::readObjectTexturesTR45(r, level, kObjectTextureSize);
    io::readCountedList(r, level.Items, io::kItemSize, "items");
    io::readCountedList(r, level.AIObjects, io::kAIObjectSize, "AI objects");

    readDemoAndSoundMap(r, level);
    io::readCountedList(r, level.SoundDetails, io::kSoundDetailSize, "sound details");
    r.readI32Array(level.SampleIndices, r.i32("sample index count"), "sample indices");
    // The games pad the block with bytes that mean nothing; a block without them is complete too.
    r.skip(std::min(kBlockPadding, r.remaining()));
    r.setPlace("");
}

}  // namespace

void readTR4(ByteReader& r, TRLevel& level, std::vector<std::string>*, const LoadOptions& options) {
    level.NumRoomTextiles = r.i16("room texture count");
    level.NumObjTextiles = r.i16("object texture page count");
    level.NumBumpTextiles = r.i16("bump texture count");
    const auto textures = readTextureChunks(r, level, options);
    const CompressedChunk levelChunk = readChunk(r, "chunk 4 (level data)");
    // The level is complete with the sample count: the samples and whatever an extended engine
    // appends after them are not read.
    level.NumSamples = r.i32("sample count");
    if (level.NumSamples < 0) r.fail("samples: negative count " + std::to_string(level.NumSamples));
    const CompressedChunk all[] = {textures[0], textures[1], textures[2], levelChunk};
    checkUnpackedTotal(all, r.size());

    // The level data is parsed front to back once, following its inflating on the other thread
    // (util::Arrival), and its pages go back as the parse passes them. Its pages are made first on
    // one thread while the other already inflates into them: tens of megabytes of fresh pages cost
    // about a tenth of the inflating. A damaged chunk is always the error reported, whichever part
    // of it the parse stumbled on meanwhile: chunk errors come before the parse's.
    util::PageBuffer levelData(levelChunk.inflatedSize, true);
    util::Arrival arrival;
    const auto parse = [&] {
        ByteReader m(levelData.bytes());
        m.follow(&arrival);
        m.onConsumed(&levelData.pages());
        m.setPlace("level data");
        readLevelData(m, level, options);
    };
    std::vector<SideJob> side{{std::numeric_limits<std::uint64_t>::max(), [&levelData] { levelData.makePages(); }},
                              {0, parse}};
    // Last: the thread done with its chunks takes it while the other still parses.
    if (options.alongside) side.push_back({0, options.alongside});
    inflateChunks(r, textures, level, options, {&levelChunk, levelData.bytes(), &arrival}, std::move(side));

    if (auto st = level::ConvertTR5TextInfo(level); !st) throw util::Error(st.error());
}

}  // namespace tessarin::level::detail
