#pragma once
// Byte layouts of the fixed-size records that every version shares, read and written field by field.
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

void read(util::ByteReader& r, TRRoomSprite& v);
void read(util::ByteReader& r, TRPortal& v);
void read(util::ByteReader& r, TRSector& v);
void read(util::ByteReader& r, TRStateChange& v);
void read(util::ByteReader& r, TRAnimDispatch& v);
void read(util::ByteReader& r, TRMoveable& v);
void read(util::ByteReader& r, TRStaticMesh& v);
void read(util::ByteReader& r, TRSpriteTexture& v);
void read(util::ByteReader& r, TRSpriteSequence& v);
void read(util::ByteReader& r, TRCamera& v);
void read(util::ByteReader& r, TRFlybyCamera& v);
void read(util::ByteReader& r, TRSoundSource& v);
void read(util::ByteReader& r, TRBox& v);
void read(util::ByteReader& r, TRItem& v);  // the 24-byte form
void read(util::ByteReader& r, TRAIObject& v);
void read(util::ByteReader& r, TRCinematicFrame& v);
void read(util::ByteReader& r, TRSoundDetail& v);
void read(util::ByteReader& r, TRRoomStatic& v);  // the 20-byte form of TR2 and later

void write(util::ByteWriter& w, const TRRoomSprite& v);
void write(util::ByteWriter& w, const TRPortal& v);
void write(util::ByteWriter& w, const TRSector& v);
void write(util::ByteWriter& w, const TRStateChange& v);
void write(util::ByteWriter& w, const TRAnimDispatch& v);
void write(util::ByteWriter& w, const TRMoveable& v);
void write(util::ByteWriter& w, const TRStaticMesh& v);
void write(util::ByteWriter& w, const TRSpriteTexture& v);
void write(util::ByteWriter& w, const TRSpriteSequence& v);
void write(util::ByteWriter& w, const TRCamera& v);
void write(util::ByteWriter& w, const TRFlybyCamera& v);
void write(util::ByteWriter& w, const TRSoundSource& v);
void write(util::ByteWriter& w, const TRBox& v);
void write(util::ByteWriter& w, const TRItem& v);
void write(util::ByteWriter& w, const TRAIObject& v);
void write(util::ByteWriter& w, const TRCinematicFrame& v);
void write(util::ByteWriter& w, const TRSoundDetail& v);

// Reads `count` records of `size` bytes each after checking that they fit.
template <typename T>
void readList(util::ByteReader& r, std::vector<T>& out, std::int64_t count, std::size_t size, const char* what) {
    const std::size_t n = r.checkCount(count, size, what);
    out.assign(n, T{});
    for (auto& v : out) read(r, v);
}

// A 32-bit count followed by its records.
template <typename T>
void readCountedList(util::ByteReader& r, std::vector<T>& out, std::size_t size, const char* what) {
    const std::int32_t count = r.i32(what);
    readList(r, out, count, size, what);
}

template <typename T>
void writeList(util::ByteWriter& w, const std::vector<T>& list) {
    for (const auto& v : list) write(w, v);
}

template <typename T>
void writeCountedList(util::ByteWriter& w, const std::vector<T>& list) {
    w.u32(static_cast<std::uint32_t>(list.size()));
    writeList(w, list);
}

// Animations: 32 bytes with 8 velocity bytes (TR1-TR3) or 40 with 16 (TR4/TR5).
void readAnimation(util::ByteReader& r, TRAnimation& v, std::size_t velocityBytes);
void writeAnimation(util::ByteWriter& w, const TRAnimation& v, std::size_t velocityBytes);

// A room from its position to its sector grid, the part every version before TR5 shares: vertices
// of 8 bytes (TR1) or 12, faces, sprites, portals and sectors.
void readRoomHeadToSectors(util::ByteReader& r, TRRoom& room, std::size_t vertexSize);

// The floor data, mesh data and mesh pointers that follow the rooms in every version.
void readFloorAndMeshData(util::ByteReader& r, TRLevel& level);

// A 46-byte TR4 light: position, colour, type, intensity, cone and direction.
inline constexpr std::size_t kLightTR4Size = 46;
void readLightTR4(util::ByteReader& r, TRLight& l);

// The TR4 run of lists from the cameras to the animated textures (ten zone words per box).
void readTR4CamerasToAnimatedTextures(util::ByteReader& r, TRLevel& level);

// The run of lists from the animations to the static meshes, shared by every version that keeps
// them; animations carry `velocityBytes` of speeds (8 in TR1-TR3, 16 in TR4).
void readAnimationsToStaticMeshes(util::ByteReader& r, TRLevel& level, std::size_t velocityBytes);

// The 20-byte TR1-TR3 object texture.
void readObjectTextureTR123(util::ByteReader& r, TRObjectTexture& v);
void writeObjectTextureTR123(util::ByteWriter& w, const TRObjectTexture& v);
void readCorners(util::ByteReader& r, TRObjectTexture& v);
void writeCorners(util::ByteWriter& w, const TRObjectTexture& v);

}  // namespace tessarin::level::io
