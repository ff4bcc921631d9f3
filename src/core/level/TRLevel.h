#pragma once
// TRLevel: every section of a level file of any version, in one value-semantic record.
//
// Lists are std::vector; a list's count is its size(), so counts and arrays cannot drift apart.
// Counts that are not the size of an array stay as explicit fields (NumDemoData is a byte count,
// NumDataWords a stated geometry size, NumTextiles a page count). FloorData is held as 16-bit
// words; MeshData as raw bytes because mesh pointers are byte offsets into it.
#include <array>
#include <cstdint>
#include <vector>

#include "util/RawVector.h"

namespace tessarin::level {

// Game versions as the program numbers them.
enum : std::int16_t {
    kVersionNone = 0,
    kVersionTR1 = 1,
    kVersionTR2 = 2,
    kVersionTR3 = 3,
    kVersionTR4 = 4,
    kVersionTR5 = 5,
    kVersionTexturesOnly = 31,
};

// File magics (first four bytes, little-endian).
inline constexpr std::uint32_t kMagicTR1 = 0x00000020;
inline constexpr std::uint32_t kMagicTR2 = 0x0000002D;
inline constexpr std::uint32_t kMagicTR3a = 0xFF080038;
inline constexpr std::uint32_t kMagicTR3b = 0xFF180038;
inline constexpr std::uint32_t kMagicTR4 = 0x00345254;
inline constexpr std::uint32_t kMagicTexturesOnly = 0xFF180034;

struct TRRoomVertex {
    std::int16_t X = 0, Y = 0, Z = 0;
    std::int16_t Lighting = 0;
    std::int16_t Attributes = 0;  // TR2 and later
    std::int16_t Lighting2 = 0;   // TR2 and later
};

struct TRRoomQuad {
    std::array<std::int16_t, 4> Vertices{};
    std::int16_t Texture = 0;
    std::int16_t FaceFlags = 0;  // TR5 only
};

struct TRRoomTriangle {
    std::array<std::int16_t, 3> Vertices{};
    std::int16_t Texture = 0;
    std::int16_t FaceFlags = 0;  // TR5 only
};

struct TRRoomSprite {
    std::int16_t Vertex = 0;
    std::int16_t Texture = 0;
};

struct TRVertex16 {
    std::int16_t X = 0, Y = 0, Z = 0;
};

struct TRPortal {
    std::int16_t AdjoiningRoom = 0;
    TRVertex16 Normal;
    std::array<TRVertex16, 4> Vertices{};
};

struct TRSector {
    std::uint16_t FDIndex = 0;
    std::uint16_t BoxIndex = 0;
    std::uint8_t RoomBelow = 255;  // 255: no room below
    std::int8_t Floor = 0;         // -127 marks a wall
    std::uint8_t RoomAbove = 255;  // 255: no room above
    std::int8_t Ceiling = 0;
};

struct TRLight {
    std::int32_t X = 0, Y = 0, Z = 0;        // TR1-TR3 position (TR5: integer position)
    float DirX = 0, DirY = 0, DirZ = 0;      // TR4 direction (TR5: integer direction as read)
    std::int16_t Intensity1 = 0;
    std::int16_t Intensity2 = 0;             // TR2 and later
    std::int32_t Fade1 = 0;
    std::int32_t Fade2 = 0;                  // TR2 and later
    std::int32_t X4 = 0, Y4 = 0, Z4 = 0;     // TR4 position
    float X5 = 0, Y5 = 0, Z5 = 0;            // TR5 position (floats)
    std::array<std::uint8_t, 3> Colour{};    // red, green, blue
    std::uint8_t LightType = 0;
    std::uint8_t LightExtra = 0;
    std::uint8_t Intensity = 0;
    float In = 0, Out = 0, Length = 0, CutOff = 0;
    float DirX5 = 0, DirY5 = 0, DirZ5 = 0;   // TR5 direction
    float Range = 0;                         // TR5
    float Red = 0, Green = 0, Blue = 0;      // TR5 colour
};

struct TRRoomStatic {
    std::int32_t X = 0, Y = 0, Z = 0;
    std::uint16_t Rotation = 0;
    std::int16_t Intensity1 = 0;
    std::int16_t Intensity2 = 0;  // TR2 and later
    std::uint16_t ObjectID = 0;
};

// A TR5 room layer, kept raw (56 bytes).
using TRLayer = std::array<std::uint8_t, 56>;

struct TRRoom {
    // TR5 room block bookkeeping.
    std::int32_t DataStart = 0;
    std::array<char, 4> Marker{};
    std::int32_t DataSize = 0;

    std::int32_t X = 0, Z = 0;
    std::int32_t YBottom = 0, YTop = 0;
    std::int32_t NumDataWords = 0;  // stated size of the geometry block, kept as read
    std::vector<TRRoomVertex> Vertices;
    std::vector<TRRoomQuad> Rectangles;
    std::vector<TRRoomTriangle> Triangles;
    std::vector<TRRoomSprite> Sprites;
    std::vector<TRPortal> Portals;
    std::int16_t NumZSectors = 0;
    std::int16_t NumXSectors = 0;
    std::vector<TRSector> Sectors;  // file order: index x * NumZSectors + z
    std::int16_t AmbientIntensity1 = 0;
    std::int16_t AmbientIntensity2 = 0;  // TR2 and later
    std::int16_t LightMode = 0;          // TR2 only
    std::vector<TRLight> Lights;
    std::vector<TRRoomStatic> StaticMeshes;
    std::int16_t AlternateRoom = -1;
    std::int16_t Flags = 0;
    std::uint8_t WaterScheme = 0;
    std::uint8_t ReverbInfo = 0;
    std::uint8_t AlternateGroup = 0;
    std::uint8_t RoomExtra = 0;
    // TR4: the room colour as read. Its first three bytes share fields with the three bytes at the
    // end of the room, which win there; the conversion needs the colour itself.
    std::array<std::uint8_t, 4> Colour{};
    std::vector<TRLayer> Layers;  // TR5 only

    bool hasSector(int x, int z) const { return x >= 0 && z >= 0 && x < NumXSectors && z < NumZSectors; }
    TRSector& sector(int x, int z) { return Sectors[static_cast<std::size_t>(x) * NumZSectors + z]; }
    const TRSector& sector(int x, int z) const { return Sectors[static_cast<std::size_t>(x) * NumZSectors + z]; }
};

struct TRAnimation {
    std::int32_t FrameOffset = 0;
    std::uint8_t FrameRate = 0;
    std::uint8_t FrameSize = 0;
    std::int16_t StateID = 0;
    std::array<std::uint8_t, 16> Velocity{};  // 8 bytes used in TR1-TR3, 16 in TR4/TR5
    std::int16_t FrameStart = 0, FrameEnd = 0;
    std::int16_t NextAnimation = 0, NextFrame = 0;
    std::int16_t NumStateChanges = 0, StateChangeOffset = 0;
    std::int16_t NumAnimCommands = 0, AnimCommand = 0;
};

struct TRStateChange {
    std::int16_t StateID = 0, NumAnimDispatches = 0, AnimDispatch = 0;
};

struct TRAnimDispatch {
    std::int16_t Low = 0, High = 0, NextAnimation = 0, NextFrame = 0;
};

struct TRMoveable {
    std::int32_t ObjectID = 0;
    std::int16_t NumMeshes = 0;
    std::int16_t StartingMesh = 0;
    std::int32_t MeshTree = 0;
    std::int32_t FrameOffset = 0;
    std::int16_t Animation = 0;
};

struct TRStaticMesh {
    std::int32_t ObjectID = 0;
    std::int16_t Mesh = 0;
    std::array<std::int16_t, 6> VisibilityBox{};
    std::array<std::int16_t, 6> CollisionBox{};
    std::int16_t Flags = 0;
};

struct TRSpriteTexture {
    std::int16_t Tile = 0;
    std::uint8_t X = 0, Y = 0;
    std::int16_t Width = 0, Height = 0;
    std::int16_t LeftSide = 0, TopSide = 0, RightSide = 0, BottomSide = 0;
};

struct TRSpriteSequence {
    std::int32_t SpriteID = 0;
    std::int16_t NegativeLength = 0;
    std::int16_t Offset = 0;
};

struct TRCamera {
    std::int32_t X = 0, Y = 0, Z = 0;
    std::int16_t Room = 0;
    std::int16_t Flag = 0;
};

using TRFlybyCamera = std::array<std::uint8_t, 40>;

struct TRSoundSource {
    std::int32_t X = 0, Y = 0, Z = 0;
    std::int16_t SoundID = 0;
    std::int16_t Flags = 0;
};

// Boxes are always held in the TR2-TR5 form (sector units); TR1 boxes are converted on reading.
struct TRBox {
    std::uint8_t Zmin = 0, Zmax = 0, Xmin = 0, Xmax = 0;
    std::int16_t TrueFloor = 0;
    std::int16_t OverlapIndex = 0;
};

// One corner of an object texture: coordinate byte and pixel for x, then for y.
struct TRTextureCorner {
    std::uint8_t XCoordinate = 0, XPixel = 0, YCoordinate = 0, YPixel = 0;
};

struct TRObjectTexture {
    std::int16_t Attribute = 0;
    std::int16_t Tile = 0;
    // TR4/TR5: Tile as read. Reading clears its bit 15 (three corners) in Tile; the conversion
    // needs the bit.
    std::int16_t RawTile = 0;
    std::int16_t NewFlags = 0;  // TR4/TR5
    std::array<TRTextureCorner, 4> Vertices{};
    std::array<std::uint8_t, 8> SourceUV{};  // TR4/TR5, raw
    std::int32_t Width = 0;   // TR4/TR5
    std::int32_t Height = 0;  // TR4/TR5
};

struct TRItem {
    std::int16_t ObjectID = 0;
    std::int16_t Room = 0;
    std::int32_t X = 0, Y = 0, Z = 0;
    std::int16_t Angle = 0;
    std::int16_t Intensity1 = 0;
    std::int16_t OCB = 0;  // TR2/TR3: second intensity; TR4/TR5: object code bits
    std::uint16_t Flags = 0;
};

struct TRAIObject {
    std::int16_t ObjectID = 0;
    std::int16_t Room = 0;
    std::int32_t X = 0, Y = 0, Z = 0;
    std::array<std::uint8_t, 8> Extra{};  // raw
};

struct TRCinematicFrame {
    std::int16_t TargetX = 0, TargetY = 0, TargetZ = 0;
    std::int16_t PosZ = 0, PosY = 0, PosX = 0;
    std::int16_t FOV = 0, Roll = 0;
};

struct TRSoundDetail {
    std::int16_t Sample = 0, Volume = 0, Chance = 0, Characteristics = 0;
};

// The compact per-object-texture record the 3D view reads (page and reference corner).
struct TextureTile {
    std::uint8_t RefU = 0;
    std::uint8_t RefV = 0;
    std::uint16_t Tile = 0;
    std::uint8_t EdgeU = 0;
    std::uint8_t SizeU = 0;
    std::uint8_t EdgeV = 0;
    std::uint8_t SizeV = 0;
};

inline constexpr std::size_t kTextilePixels = 256 * 256;
inline constexpr std::size_t kSoundMapSize = 370;

struct TRLevel {
    // The version the program treats the level as; the writer and every version branch use it.
    std::int16_t LevelVersion = kVersionNone;

    std::uint32_t Version = 0;  // the file's magic, written back unchanged
    std::int16_t NumRoomTextiles = 0, NumObjTextiles = 0, NumBumpTextiles = 0;  // TR4/TR5
    std::array<std::uint8_t, 768> Palette{};
    std::array<std::uint8_t, 1024> Palette16{};
    std::int32_t NumTextiles = 0;
    std::int32_t NumMiscTextiles = 0;
    // Pages one after another, 256 rows of 256 texels each: texel (x, y) of the whole strip is
    // index y * 256 + x, page p covering rows p * 256 to p * 256 + 255.
    util::RawVector<std::uint8_t> Textile8;
    util::RawVector<std::uint16_t> Textile16;
    std::vector<std::uint32_t> Textile32;
    std::vector<std::uint32_t> MiscTextile;
    std::int32_t Reserved = 0;
    std::int16_t LaraType = 0, WeatherType = 0;  // TR5
    std::int32_t LevelDataSize = 0;              // TR5

    std::vector<TRRoom> Rooms;
    std::vector<std::uint16_t> FloorData;
    std::vector<std::uint8_t> MeshData;  // 2 x NumMeshData bytes
    std::vector<std::int32_t> MeshPointers;
    std::vector<TRAnimation> Animations;
    std::vector<TRStateChange> StateChanges;
    std::vector<TRAnimDispatch> AnimDispatches;
    std::vector<std::int16_t> AnimCommands;
    std::vector<std::int32_t> MeshTrees;
    util::RawVector<std::int16_t> Frames;
    std::vector<TRMoveable> Moveables;
    std::vector<TRStaticMesh> StaticMeshes;
    std::vector<TRSpriteTexture> SpriteTextures;
    std::vector<TRSpriteSequence> SpriteSequences;
    std::vector<TRCamera> Cameras;
    std::vector<TRFlybyCamera> FlybyCameras;
    std::vector<TRSoundSource> SoundSources;
    std::vector<TRBox> Boxes;
    std::vector<std::int16_t> Overlaps;
    std::vector<std::int16_t> Zones;  // 6 words per box in TR1, 10 in the others
    std::vector<std::int16_t> AnimatedTextures;
    std::vector<TRObjectTexture> ObjectTextures;
    std::vector<TRItem> Items;
    std::array<std::uint8_t, 8192> LightMap{};
    std::vector<TRAIObject> AIObjects;
    std::vector<TRCinematicFrame> CinematicFrames;
    std::int16_t NumDemoData = 0;  // a byte count as stored
    std::vector<std::int32_t> DemoData;
    std::array<std::int16_t, kSoundMapSize> SoundMap{};
    std::vector<TRSoundDetail> SoundDetails;
    std::vector<std::int32_t> SampleIndices;
    std::int32_t NumSamples = 0;           // TR4: embedded sample count
    util::RawVector<std::uint8_t> SampleData;  // TR1: the embedded sample bytes, kept raw
    // TR2/TR3: whatever a file holds after its sample indices. The game never reads it, but another
    // tool may have put it there, and a save gives it back rather than drop it unseen.
    util::RawVector<std::uint8_t> TrailingBytes;

    // Derived after every read: one tile per object texture.
    std::vector<TextureTile> TextureTiles;

    std::int32_t numFloorData() const { return static_cast<std::int32_t>(FloorData.size()); }
    std::int32_t numMeshData() const { return static_cast<std::int32_t>(MeshData.size() / 2); }
};

// Words of demo data for a byte count: count / 4, halves rounded to the even neighbour.
std::size_t demoWordCount(std::int32_t numDemoData);

}  // namespace tessarin::level
