#pragma once
// The record-level steps of the TR4 conversion, kept apart so that each can be tested alone.
#include <cstdint>

#include "level/TRLevel.h"
#include "util/ByteReader.h"

namespace tessarin::convert::detail {

// Rounds to the nearest whole number, halves to the even one.
std::int64_t roundHalfEven(double value);

// TR2 vertex lighting from the TR4 lighting word and colour word.
std::int16_t tr2VertexLighting(std::int16_t lighting, std::int16_t colour);

// Ambient intensity from the first three bytes of a TR4 room colour: black 8192, white 0.
std::int16_t ambientFromColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

// A TR4 sector's box word in the TR2 form.
std::uint16_t tr2BoxIndex(std::uint16_t boxIndex);

// Reads one TR4 room (from its position on) and converts it for the target version.
void readRoom(util::ByteReader& r, level::TRRoom& room, std::int16_t targetVersion);

// Puts a TR4 object texture into the TR1-TR3 corner form.
void toCornerForm(level::TRObjectTexture& texture);

// Converts the single-axis rotation words of every moveable's frames to the TR1-TR3 angle unit.
// Each word is converted at most once, however the moveables' animation ranges overlap.
void convertFrames(level::TRLevel& level);

}  // namespace tessarin::convert::detail
