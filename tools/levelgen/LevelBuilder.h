#pragma once
// LevelBuilder: serialises a level description into the file bytes of any game version, TR1 to TR5.
//
// The description is the program's own TRLevel record plus the version to write. The bytes are laid
// out here, field by field from the file-format tables, with code that shares nothing with the
// program's reader or writer: a fault in one cannot hide behind the same fault in the other.
//
// What the record cannot express (TR1 boxes in world units, TR5 float vertices and fog bulbs, the TR4
// room colour bytes the reader replaces) comes in through BuildOptions.
#include <array>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <utility>
#include <vector>

#include "level/TRLevel.h"

namespace tessarin::levelgen {

// A description the builder cannot write (a bad version, TR5 layers that disagree with the faces).
class BuildError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct BuildOptions {
    // TR1 box bounds in world units {Zmin, Zmax, Xmin, Xmax}, by box index. Boxes not listed are
    // written as their sector bounds times 1024.
    std::map<std::size_t, std::array<std::int32_t, 4>> tr1BoxWorld;
    // TR5 vertex positions as floats, by {room, vertex}; other vertices are written from X, Y, Z.
    std::map<std::pair<std::size_t, std::size_t>, std::array<float, 3>> tr5VertexPositions;
    // The first three TR4 room-colour bytes, which the reader overwrites with the bytes that end the
    // room; written distinct from them so a reader that forgets the overwrite is caught.
    std::array<std::uint8_t, 3> tr4ColourBytes{0x11, 0x22, 0x33};
    // TR5 room-block details the record does not hold, by room: fog bulbs (zero-filled, after the
    // lights) and bytes no field covers at the end of the block.
    struct TR5RoomExtras {
        std::int32_t fogBulbs = 0;
        std::uint32_t trailingBytes = 0;
    };
    std::map<std::size_t, TR5RoomExtras> tr5RoomExtras;
    // The two bytes the games put after an odd number of TR5 room triangles (and in a room without
    // layers); false writes rooms as tools do that leave them out.
    bool tr5FacePadding = true;
    // TR1 with the palette after the sprite sequences, as the expansion's levels (.tub) hold it.
    bool tr1PaletteAfterSprites = false;
    // A TR4 sound map as an extended engine writes it (any length, its length where the demo count
    // stands, no demo), when not empty; and the bytes of no meaning that end the TR4 level data.
    std::vector<std::int16_t> tr4ExtendedSoundMap;
    std::size_t tr4BlockPadding = 6;
    // zlib level for the TR4/TR5 chunks (1 is fast enough for large benchmark levels).
    int compression = 6;
};

// The magic a version is written with when the record's Version is 0.
std::uint32_t defaultMagic(std::int16_t version);

// The file bytes of `level` as a level of `version` (1..5; 0 takes level.LevelVersion). The record's
// Version is written as the magic unless it is 0. Counts come from the arrays; texture pages are
// written for NumTextiles (and NumMiscTextiles) pages, zero-filled where the arrays are short.
// A TR4 file keeps the record's NumSamples and writes SampleData raw after it. Throws BuildError.
std::vector<std::uint8_t> buildLevel(const level::TRLevel& level, std::int16_t version = 0,
                                     const BuildOptions& options = {});

// The name a built level of `version` should carry (".trc" makes the reader take TR5).
const char* levelExtension(std::int16_t version);

// Offsets of a few sections in the last TR1-TR3 build, for golden-byte tests.
struct SectionOffsets {
    std::size_t rooms = 0, boxes = 0, objectTextures = 0, animatedTextures = 0, items = 0;
    std::size_t demoData = 0, soundMap = 0, soundDetails = 0, end = 0;
    std::vector<std::size_t> roomStart;     // first byte of each room
    std::vector<std::size_t> roomFlagsEnd;  // the byte after each room's Flags word
};

// buildLevel that also reports where the sections start (TR1-TR3 only).
std::vector<std::uint8_t> buildLevelTR123(const level::TRLevel& level, std::int16_t version,
                                          const BuildOptions& options, SectionOffsets* offsets);

}  // namespace tessarin::levelgen
