// TR4 file as the converter reads it:
//   magic "TR4\0" | NumRoomTextiles, NumObjTextiles, NumBumpTextiles 2 each
//   | chunks (uncompressed size 4, compressed size 4, zlib bytes): 32-bit pages, 16-bit pages,
//     the third texture block, the level data | NumSamples 4 and the samples (not used)
// The level data is converted record by record in its own order; sprites come from the sprite file.
// The TR4 reader's record cannot serve as the input: it keeps only the last byte of each room
// colour and clears the three-corner bit of the object textures, both of which the conversion needs.
#include "convert/TR4Converter.h"

#include <algorithm>
#include <cctype>
#include <unordered_map>

#include "convert/TR4ConvertSteps.h"
#include "level/TextureInfo.h"
#include "floordata/FloorData.h"
#include "level/CompressedChunks.h"
#include "level/RecordIO.h"
#include "util/ByteReader.h"
#include "util/ByteWriter.h"
#include "util/FileIO.h"
#include "level/Mesh.h"
#include "util/NumberText.h"

namespace tessarin::convert {

using level::TRLevel;
using util::ByteReader;

namespace {

// The sprite file's pages go behind the level's own 16-bit pages. A sprite file whose pixels end
// inside a page gets that page filled up with transparent rows.
void appendSpritePages(TRLevel& level, const SWDData& swd) {
    const std::size_t levelTexels = static_cast<std::size_t>(level.NumTextiles) * level::kTextilePixels;
    const std::size_t swdPages = (swd.rows() + 255) / 256;
    level.Textile16.resize(levelTexels + swdPages * level::kTextilePixels, 0);
    const std::size_t swdTexels = swd.Pixels.size() / 3;
    for (std::size_t i = 0; i < swdTexels; ++i)
        level.Textile16[levelTexels + i] = swdPixelTo16(swd.Pixels[3 * i], swd.Pixels[3 * i + 1], swd.Pixels[3 * i + 2]);
    level.Textile8.assign(level.Textile16.size(), 0);
}

void readMeshes(ByteReader& r, TRLevel& level, std::vector<level::TRMesh>& parsed) {
    const std::int32_t tr4Words = r.i32("mesh data count");
    const auto tr4Mesh = r.view(r.checkCount(tr4Words, 2, "mesh data") * 2, "mesh data");
    r.readI32Array(level.MeshPointers, r.i32("mesh pointer count"), "mesh pointers");

    // The converted meshes follow as many zero words as the TR4 block held; nothing points there.
    level.MeshData.assign(tr4Mesh.size(), 0);
    std::unordered_map<std::int32_t, std::int32_t> moved;
    parsed.assign(level.MeshPointers.size(), {});
    for (std::size_t i = 0; i < level.MeshPointers.size(); ++i) {
        const std::int32_t p = level.MeshPointers[i];
        auto it = moved.find(p);
        if (it == moved.end()) {
            auto mesh = level::ParseMesh(tr4Mesh, p, level::kVersionTR4);
            if (!mesh) r.fail(util::indexOf("mesh pointer", i, level.MeshPointers.size()) +
                              ", " + mesh.error());
            const std::uint32_t offset = level::AppendMesh(level, *mesh);
            if (offset > 0x7FFFFFFF) r.fail("mesh data: the converted meshes exceed 2 GB");
            parsed[i] = std::move(*mesh);
            it = moved.emplace(p, static_cast<std::int32_t>(offset)).first;
        }
        level.MeshPointers[i] = it->second;
    }
}

void readAnimationsAndModels(ByteReader& r, TRLevel& level) {
    level::io::readAnimationsToStaticMeshes(r, level, 16);
}

// The level's own sprites are skipped; the sprite file's take their place on the pages behind
// the level's own.
void replaceSprites(ByteReader& r, TRLevel& level, const SWDData& swd) {
    r.skip(3, "sprite marker");
    r.skip(r.checkCount(r.i32("sprite texture count"), 16, "sprite textures") * 16, "sprite textures");
    r.skip(r.checkCount(r.i32("sprite sequence count"), 8, "sprite sequences") * 8, "sprite sequences");
    level.SpriteTextures = swd.SpriteTextures;
    for (auto& t : level.SpriteTextures) t.Tile = static_cast<std::int16_t>(t.Tile + level.NumTextiles);
    level.SpriteSequences = swd.SpriteSequences;
}

void readObjectTextures(ByteReader& r, TRLevel& level) {
    level.ObjectTextures.assign(r.checkCount(r.i32("object texture count"), 38, "object textures"), {});
    for (auto& t : level.ObjectTextures) {
        t.Attribute = r.i16();
        t.Tile = r.i16();
        t.NewFlags = r.i16();
        level::io::readCorners(r, t);
        r.bytes(t.SourceUV.data(), t.SourceUV.size());
        t.Width = r.i32();
        t.Height = r.i32();
        detail::toCornerForm(t);
    }
}

// TR3 draws a texture semi-transparent by its attribute; TR4 said it per face with effects 1.
void markBlendedTextures(TRLevel& level, const std::vector<level::TRMesh>& parsed) {
    const std::size_t n = level.ObjectTextures.size();
    auto mark = [&](std::uint16_t texture, std::uint16_t effects) {
        if (effects == 1 && texture < n) level.ObjectTextures[texture].Attribute = 2;
    };
    for (const auto& m : parsed) {
        for (const auto& f : m.TexturedRectangles) mark(f.Texture, f.Effects);
        for (const auto& f : m.TexturedTriangles) mark(f.Texture, f.Effects);
    }
}

void convertLevelData(ByteReader& r, TRLevel& level, const SWDData& swd) {
    namespace io = level::io;
    const std::int16_t target = level.LevelVersion;
    level.Reserved = r.i32("reserved");
    const std::size_t rooms = r.checkCount(r.i16("room count"), 46, "rooms");  // 46: the smallest room
    level.Rooms.assign(rooms, {});
    for (std::size_t i = 0; i < rooms; ++i) {
        r.setPlace(util::indexOf("room", i, rooms));
        detail::readRoom(r, level.Rooms[i], target);
    }
    r.setPlace("");

    r.readU16Array(level.FloorData, r.i32("floor data count"), "floor data");
    if (target == level::kVersionTR2)
        for (auto& room : level.Rooms)
            for (auto& s : room.Sectors) floordata::StripTR3FloorData(level.FloorData, s.FDIndex);

    std::vector<level::TRMesh> parsed;
    readMeshes(r, level, parsed);
    readAnimationsAndModels(r, level);
    replaceSprites(r, level, swd);

    io::readTR4CamerasToAnimatedTextures(r, level);
    r.skip(4, "texture marker");
    readObjectTextures(r, level);

    io::readCountedList(r, level.Items, io::kItemSize, "items");
    if (target == level::kVersionTR2)
        for (auto& it : level.Items)
            if (it.ObjectID >= 157 && it.ObjectID <= 173) it.ObjectID = static_cast<std::int16_t>(it.ObjectID - 22);

    if (auto st = level::ConvertTR5TextInfo(level); !st) r.fail(st.error());
    detail::convertFrames(level);

    io::readCountedList(r, level.AIObjects, io::kAIObjectSize, "AI objects");
    level.NumDemoData = r.i16("demo data count");
    level.DemoData.clear();
    if (level.NumDemoData > 0) {
        // The words hold the count rounded to whole words; bytes beyond them are not kept.
        const auto demo = r.view(r.checkCount(level.NumDemoData, 1, "demo data"), "demo data");
        level.DemoData.assign(level::demoWordCount(level.NumDemoData), 0);
        for (std::size_t i = 0; i < demo.size() && i / 4 < level.DemoData.size(); ++i)
            level.DemoData[i / 4] = static_cast<std::int32_t>(static_cast<std::uint32_t>(level.DemoData[i / 4]) |
                                                              static_cast<std::uint32_t>(demo[i]) << (8 * (i % 4)));
    }
    r.checkCount(static_cast<std::int64_t>(level::kSoundMapSize), 2, "sound map");
    for (auto& s : level.SoundMap) s = r.i16();
    io::readCountedList(r, level.SoundDetails, io::kSoundDetailSize, "sound details");
    r.readI32Array(level.SampleIndices, r.i32("sample index count"), "sample indices");

    level.NumTextiles = static_cast<std::int32_t>(level.Textile16.size() / level::kTextilePixels);
    if (level.Version == level::kMagicTR3a) markBlendedTextures(level, parsed);
}

bool hasTrcName(const std::string& fileName) {
    if (fileName.size() < 4) return false;
    std::string tail = fileName.substr(fileName.size() - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(), [](unsigned char c) { return std::toupper(c); });
    return tail == ".TRC";
}

}  // namespace

std::uint32_t targetMagic(std::int16_t targetVersion) {
    return targetVersion == level::kVersionTR2 ? level::kMagicTR2 : level::kMagicTR3a;
}

util::Result<TRLevel> ConvertTR4Bytes(std::span<const std::uint8_t> bytes, const std::string& fileName,
                                      std::int16_t targetVersion, const SWDData& swd) {
    using R = util::Result<TRLevel>;
    if (targetVersion != level::kVersionTR2 && targetVersion != level::kVersionTR3)
        return R::failure("TR4 levels convert only into TR2 or TR3 levels");
    static constexpr std::uint8_t kMagic[4] = {'T', 'R', '4', 0};
    if (bytes.size() < 4 || !std::equal(kMagic, kMagic + 4, bytes.begin()) || hasTrcName(fileName))
        return R::failure(kNoTR4LevelMessage);
    try {
        ByteReader r(bytes);
        r.skip(4, "magic");
        TRLevel level;
        level.LevelVersion = targetVersion;
        level.Version = targetMagic(targetVersion);
        level.NumRoomTextiles = r.i16("room page count");
        level.NumObjTextiles = r.i16("object page count");
        level.NumBumpTextiles = r.i16("bump page count");
        // The chunks are read and inflated as the TR4 reader does it.
        const auto textures = level::detail::readTextureChunks(r, level);
        const auto levelChunk = level::detail::readChunk(r, "chunk 4 (level data)");
        level.NumSamples = r.i32("sample count");  // the samples themselves are not used
        std::vector<std::uint8_t> data;
        level::detail::inflateChunks(textures, level, &levelChunk, &data);
        appendSpritePages(level, swd);
        ByteReader body(data);
        convertLevelData(body, level, swd);
        return level;
    } catch (const util::Error& e) {
        return R::failure(e.what());
    } catch (const std::bad_alloc&) {
        return R::failure("not enough memory to convert the level");
    }
}

util::Result<TRLevel> ConvertTR4(const std::filesystem::path& tr4File, std::int16_t targetVersion,
                                 const std::filesystem::path& swdFile) {
    auto swd = ReadSWD(swdFile);
    if (!swd) return util::Result<TRLevel>::failure(swd.error());
    auto bytes = util::readFile(tr4File);
    if (!bytes) return util::Result<TRLevel>::failure(bytes.error());
    return ConvertTR4Bytes(*bytes, tr4File.filename().string(), targetVersion, *swd);
}

}  // namespace tessarin::convert
