#pragma once
// DemoKeys: which keys of the keyboard become which bits of a demo input word.
#include <array>
#include <cstdint>

namespace tessarin::demo {

// The keyboard as the recorder sees it: one byte per DirectInput scan code, non-zero = pressed.
using KeyStateArray = std::array<std::uint8_t, 256>;

// DirectInput scan codes the recorder reads.
enum ScanCode : std::uint8_t {
    kScanTab = 15,
    kScanLeftCtrl = 29,
    kScanComma = 51,
    kScanSlash = 53,
    kScanLeftAlt = 56,
    kScanSpace = 57,
    kScanRightCtrl = 157,
    kScanRightAlt = 184,
    kScanUp = 200,
    kScanLeft = 203,
    kScanRight = 205,
    kScanDown = 208,
};

struct DemoKeyBit {
    std::uint8_t ScanCode;
    std::int32_t Bit;
    std::int16_t OnlyVersion;  // 0: every version; otherwise the one LevelVersion that uses the key
};

// The game keys in the order the recorder tests them.
inline constexpr std::array<DemoKeyBit, 11> kDemoKeyBits{{
    {kScanUp, 1, 0},
    {kScanDown, 2, 0},
    {kScanLeft, 4, 0},
    {kScanRight, 8, 0},
    {kScanLeftAlt, 16, 0},
    {kScanRightAlt, 16, 0},
    {kScanSpace, 32, 0},
    {kScanLeftCtrl, 64, 0},
    {kScanRightCtrl, 64, 0},
    // The same game action sits on a different key in the two games.
    {kScanComma, 0x80000, 3},
    {kScanSlash, 0x80000, 2},
}};

// The bits of every table key pressed in `keys`, for a level of `levelVersion`.
std::int32_t demoBitsFor(const KeyStateArray& keys, std::int16_t levelVersion);

}  // namespace tessarin::demo
