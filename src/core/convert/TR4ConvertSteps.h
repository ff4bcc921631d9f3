#pragma once
// The record-level steps of the TR4 conversion, kept apart so that each can be tested alone.
#include <cstdint>
#include <vector>

#include "level/Mesh.h"
#include "level/TRLevel.h"

namespace tessarin::convert::detail {

// Rounds to the nearest whole number, halves to the even one.
std::int64_t roundHalfEven(double value);

// TR2 vertex lighting from the TR4 lighting word and colour word.
std::int16_t tr2VertexLighting(std::int16_t lighting, std::int16_t colour);

// Ambient intensity from the first three bytes of a TR4 room colour: black 8192, white 0.
std::int16_t ambientFromColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

// A TR4 sector's box word in the TR2 form.
std::uint16_t tr2BoxIndex(std::uint16_t boxIndex);

// Converts one TR4 room as read for the target version: vertex lighting and boxes (TR2), the
// ambient light from the room colour, and the point lights in the older form (the others go).
void convertRoom(level::TRRoom& room, std::int16_t targetVersion);

// Converts every distinct mesh once and appends it in the TR1-TR3 layout behind as many zero bytes
// as the TR4 mesh data held; pointers that share a mesh share the converted one. Returns the
// distinct meshes as parsed. Meshes that overlap so that their sizes add up past the mesh data
// are refused before they are appended.
std::vector<level::TRMesh> convertMeshes(level::TRLevel& level);

// Puts a TR4 object texture into the TR1-TR3 corner form.
void toCornerForm(level::TRObjectTexture& texture);

// Converts the single-axis rotation words of every moveable's frames to the TR1-TR3 angle unit.
// Every frame word is visited at most once, however the moveables' animations and frames overlap,
// so the work stays within the size of the frame data.
void convertFrames(level::TRLevel& level);

}  // namespace tessarin::convert::detail
