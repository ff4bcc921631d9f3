// ConvertTR4 from bytes, to TR3 and TR2, and the result written and read back. Built twice: FUZZ_CONVERT_WRAP=4 takes raw TR4 level data
// and stores it in chunk 4 of a file made here, so mutations reach the reader and the converter
// instead of zlib; FUZZ_CONVERT_WRAP=0 takes whole TR4 files, so the chunks reach the converter as
// they are (the ones it leaves packed included).
#include <cstddef>
#include <cstdint>
#include <span>

#include "FuzzInput.h"
#include "convert/TR4Converter.h"
#include "level/LevelReader.h"
#include "level/LevelWriter.h"
#include "level/RoomsReader.h"

using namespace tessarin;

namespace {

// A small sprite file: one page, a few sprites, a sequence that names them.
const convert::SWDData& spriteFile() {
    static const convert::SWDData swd = [] {
        convert::SWDData s;
        for (int i = 0; i < 4; ++i) {
            level::TRSpriteTexture t;
            t.Tile = 0;
            t.X = static_cast<std::uint8_t>(i * 32);
            s.SpriteTextures.push_back(t);
        }
        s.Pixels.assign(convert::kSWDPageBytes, 0x40);
        level::TRSpriteSequence seq;
        seq.SpriteID = 190;
        seq.NegativeLength = -4;
        seq.Offset = 0;
        s.SpriteSequences.push_back(seq);
        return s;
    }();
    return swd;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    level::detail::setParallelReading(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
#if FUZZ_CONVERT_WRAP == 4
    const auto file = fuzz::wrapTR4LevelData(std::span<const std::uint8_t>(data, size));
#else
    const std::span<const std::uint8_t> file(data, size);
#endif
    for (const std::int16_t target : {level::kVersionTR3, level::kVersionTR2}) {
        const auto converted = convert::ConvertTR4Bytes(file, "level.tr4", target, spriteFile());
        if (!converted) continue;
        // What the converter hands on is written as it is; a level that writes must read back to itself.
        const auto bytes = level::SerializeLevel(converted.value());
        if (!bytes) continue;
        const auto again = level::LoadLevelFromBytes(bytes.value(), "level.tr2");
        if (!again) __builtin_trap();
        const auto rewritten = level::SerializeLevel(again.value());
        if (!rewritten || rewritten.value() != bytes.value()) __builtin_trap();
    }
    return 0;
}
