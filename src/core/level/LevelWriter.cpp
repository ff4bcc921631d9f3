// TR2/TR3 files as written: the same section order as the reader, counts taken from the arrays.
#include "level/LevelWriter.h"

#include <limits>
#include <new>
#include <string>

#include "level/RecordIO.h"
#include "util/ByteWriter.h"
#include "util/FileIO.h"

namespace tessarin::level {

using util::ByteWriter;

namespace {

struct WriteError {
    std::string message;
};

// A list held in a 16-bit field of the file must fit it.
std::int16_t count16(std::size_t n, const std::string& what) {
    if (n > static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max()))
        throw WriteError{what + ": " + std::to_string(n) + " do not fit the file's 16-bit count"};
    return static_cast<std::int16_t>(n);
}

void writeRoom(ByteWriter& w, const TRRoom& room, int v, const std::string& place) {
    w.i32(room.X);
    w.i32(room.Z);
    w.i32(room.YBottom);
    w.i32(room.YTop);
    w.i32(room.NumDataWords);
    w.i16(count16(room.Vertices.size(), place + ", vertices"));
    for (const auto& vx : room.Vertices) {
        w.i16(vx.X);
        w.i16(vx.Y);
        w.i16(vx.Z);
        w.i16(vx.Lighting);
        w.i16(vx.Attributes);
        w.i16(vx.Lighting2);
    }
    w.i16(count16(room.Rectangles.size(), place + ", rectangles"));
    for (const auto& q : room.Rectangles) {
        for (auto i : q.Vertices) w.i16(i);
        w.i16(q.Texture);
    }
    w.i16(count16(room.Triangles.size(), place + ", triangles"));
    for (const auto& t : room.Triangles) {
        for (auto i : t.Vertices) w.i16(i);
        w.i16(t.Texture);
    }
    w.i16(count16(room.Sprites.size(), place + ", sprites"));
    io::writeList(w, room.Sprites);
    w.i16(count16(room.Portals.size(), place + ", portals"));
    io::writeList(w, room.Portals);
    if (room.NumXSectors < 0 || room.NumZSectors < 0 ||
        room.Sectors.size() != static_cast<std::size_t>(room.NumXSectors) * static_cast<std::size_t>(room.NumZSectors))
        throw WriteError{place + ", sectors: the grid does not match its size"};
    w.i16(room.NumZSectors);
    w.i16(room.NumXSectors);
    io::writeList(w, room.Sectors);
    w.i16(room.AmbientIntensity1);
    w.i16(room.AmbientIntensity2);
    if (v == kVersionTR2) w.i16(room.LightMode);
    w.i16(count16(room.Lights.size(), place + ", lights"));
    for (const auto& l : room.Lights) {
        w.i32(l.X);
        w.i32(l.Y);
        w.i32(l.Z);
        w.i16(l.Intensity1);
        w.i16(l.Intensity2);
        w.i32(l.Fade1);
        w.i32(l.Fade2);
    }
    w.i16(count16(room.StaticMeshes.size(), place + ", static meshes"));
    for (const auto& s : room.StaticMeshes) {
        w.i32(s.X);
        w.i32(s.Y);
        w.i32(s.Z);
        w.u16(s.Rotation);
        w.i16(s.Intensity1);
        w.i16(s.Intensity2);
        w.u16(s.ObjectID);
    }
    w.i16(room.AlternateRoom);
    w.i16(room.Flags);
    if (v == kVersionTR3) {
        w.u8(room.WaterScheme);
        w.u8(room.ReverbInfo);
        w.u8(room.AlternateGroup);
    }
}

void writeObjectTextures(ByteWriter& w, const TRLevel& level) {
    w.u32(static_cast<std::uint32_t>(level.ObjectTextures.size()));
    for (const auto& t : level.ObjectTextures) io::writeObjectTextureTR123(w, t);
}

void writeBody(ByteWriter& w, const TRLevel& level) {
    const int v = level.LevelVersion;
    const std::size_t pagePixels = static_cast<std::size_t>(level.NumTextiles < 0 ? 0 : level.NumTextiles) * kTextilePixels;
    if (level.Textile8.size() != pagePixels || level.Textile16.size() != pagePixels)
        throw WriteError{"texture pages: the pages do not match the page count " + std::to_string(level.NumTextiles)};
    if (level.Zones.size() != level.Boxes.size() * 10)
        throw WriteError{"zones: " + std::to_string(level.Zones.size()) + " words for " +
                         std::to_string(level.Boxes.size()) + " boxes"};

    w.reserve(pagePixels * 3 + level.MeshData.size() + (1 << 20));
    w.u32(level.Version);
    w.bytes(level.Palette.data(), level.Palette.size());
    w.bytes(level.Palette16.data(), level.Palette16.size());
    w.i32(level.NumTextiles);
    w.bytes(level.Textile8.data(), level.Textile8.size());
    w.u16Array<std::uint16_t>(level.Textile16);
    w.i32(level.Reserved);
    w.i16(count16(level.Rooms.size(), "rooms"));
    for (std::size_t i = 0; i < level.Rooms.size(); ++i)
        writeRoom(w, level.Rooms[i], v, "room " + std::to_string(i));

    w.u32(static_cast<std::uint32_t>(level.FloorData.size()));
    w.u16Array<std::uint16_t>(level.FloorData);
    w.u32(static_cast<std::uint32_t>(level.MeshData.size() / 2));
    w.bytes(level.MeshData.data(), level.MeshData.size() & ~std::size_t{1});
    w.u32(static_cast<std::uint32_t>(level.MeshPointers.size()));
    w.u32Array<std::int32_t>(level.MeshPointers);
    w.u32(static_cast<std::uint32_t>(level.Animations.size()));
    for (const auto& a : level.Animations) io::writeAnimation(w, a, 8);
    io::writeCountedList(w, level.StateChanges);
    io::writeCountedList(w, level.AnimDispatches);
    w.u32(static_cast<std::uint32_t>(level.AnimCommands.size()));
    w.u16Array<std::int16_t>(level.AnimCommands);
    w.u32(static_cast<std::uint32_t>(level.MeshTrees.size()));
    w.u32Array<std::int32_t>(level.MeshTrees);
    w.u32(static_cast<std::uint32_t>(level.Frames.size()));
    w.u16Array<std::int16_t>(level.Frames);
    io::writeCountedList(w, level.Moveables);
    io::writeCountedList(w, level.StaticMeshes);
    if (v == kVersionTR2) writeObjectTextures(w, level);
    io::writeCountedList(w, level.SpriteTextures);
    io::writeCountedList(w, level.SpriteSequences);
    io::writeCountedList(w, level.Cameras);
    io::writeCountedList(w, level.SoundSources);
    io::writeCountedList(w, level.Boxes);
    w.u32(static_cast<std::uint32_t>(level.Overlaps.size()));
    w.u16Array<std::int16_t>(level.Overlaps);
    w.u16Array<std::int16_t>(level.Zones);
    w.u32(static_cast<std::uint32_t>(level.AnimatedTextures.size()));
    w.u16Array<std::int16_t>(level.AnimatedTextures);
    if (v == kVersionTR3) writeObjectTextures(w, level);
    io::writeCountedList(w, level.Items);
    w.bytes(level.LightMap.data(), level.LightMap.size());
    w.i16(count16(level.CinematicFrames.size(), "cinematic frames"));
    io::writeList(w, level.CinematicFrames);
    w.i16(level.NumDemoData);
    w.u32Array<std::int32_t>(level.DemoData);
    for (auto s : level.SoundMap) w.i16(s);
    io::writeCountedList(w, level.SoundDetails);
    w.u32(static_cast<std::uint32_t>(level.SampleIndices.size()));
    w.u32Array<std::int32_t>(level.SampleIndices);
}

}  // namespace

std::string SaveRefusal(const TRLevel& level) {
    switch (level.LevelVersion) {
    case kVersionTR2:
    case kVersionTR3: return {};
    case kVersionTR4: return kTR4NotSavedMessage;
    case kVersionTR5: return kTR5NotSavedMessage;
    case kVersionTR1: return "TR1 levels can't be saved: only TR2 and TR3 levels are written.";
    default: return "No level is open, so nothing was saved.";
    }
}

util::Result<std::vector<std::uint8_t>> SerializeLevel(const TRLevel& level) {
    using R = util::Result<std::vector<std::uint8_t>>;
    if (std::string refusal = SaveRefusal(level); !refusal.empty()) return R::failure(std::move(refusal));
    if (level.DemoData.size() != demoWordCount(level.NumDemoData))
        return R::failure("demo data: " + std::to_string(level.DemoData.size()) + " words for " +
                          std::to_string(level.NumDemoData) + " bytes");
    try {
        ByteWriter w;
        writeBody(w, level);
        return std::move(w.data());
    } catch (const WriteError& e) {
        return R::failure(e.message);
    } catch (const std::bad_alloc&) {
        return R::failure("not enough memory to write the level");
    }
}

util::Status SaveLevel(const std::filesystem::path& fileName, const TRLevel& level) {
    auto bytes = SerializeLevel(level);
    if (!bytes) return util::Status::failure(bytes.error());
    return util::writeFileSafely(fileName, *bytes);
}

}  // namespace tessarin::level
