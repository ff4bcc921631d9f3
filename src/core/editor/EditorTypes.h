#pragma once
// Small value types the editor panels and the sector map share: colours and sector positions.
#include <cmath>
#include <cstdint>

namespace tessarin::editor {

// A colour as red, green, blue on the 0-255 scale.
struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    constexpr bool operator==(const Rgb&) const = default;
};

// Colours given as fractions 0..1 become 0-255 components, rounded (0.8 -> 204).
constexpr Rgb fractionColour(double r, double g, double b) {
    auto c = [](double v) {
        const double s = v * 255.0 + 0.5;
        return static_cast<std::uint8_t>(s < 0 ? 0 : (s > 255 ? 255 : s));
    };
    return Rgb{c(r), c(g), c(b)};
}

// Text colours of labels that show a state: blue for set, black for clear.
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kSetBlue{0, 0, 255};

// A sector of the current room, by its indices in the room's Sectors(x, z) grid.
struct SectorPos {
    int x = 0, z = 0;
    constexpr bool operator==(const SectorPos&) const = default;
};

}  // namespace tessarin::editor
