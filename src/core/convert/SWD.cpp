// Sprite file layout, little-endian:
//   Header 4 | NumSpriteTextures 4, textures 16 each | PixelBytes 4, pixel rows 768 each
//   | NumSpriteSequences 4, sequences 8 each
#include "convert/SWD.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "level/RecordIO.h"
#include "util/ByteReader.h"
#include "util/ByteWriter.h"
#include "util/FileIO.h"
#include "util/LittleEndian.h"
#include "util/NumberText.h"

namespace tessarin::convert {

namespace {

#if defined(__SSE2__)
// Four pixels from the first 12 of 16 bytes, one to a 32-bit lane (its top byte the next pixel's).
inline __m128i pixelLanes(__m128i bytes) {
    const __m128i p01 = _mm_unpacklo_epi32(bytes, _mm_srli_si128(bytes, 3));
    const __m128i p23 = _mm_unpacklo_epi32(_mm_srli_si128(bytes, 6), _mm_srli_si128(bytes, 9));
    return _mm_unpacklo_epi64(p01, p23);
}

// swdTexel on four lanes, less its 0x8000 bit, so that the values pack as signed words: a texel
// comes out in [0, 0x7FFF], a transparent one as -0x8000 (0 once the bit is flipped in).
inline __m128i texelLanes(__m128i pixels) {
    const __m128i rgb = _mm_and_si128(pixels, _mm_set1_epi32(0xFFFFFF));
    const __m128i red = _mm_slli_epi32(_mm_and_si128(rgb, _mm_set1_epi32(0xF8)), 7);
    const __m128i green = _mm_and_si128(_mm_srli_epi32(rgb, 6), _mm_set1_epi32(0x3E0));
    const __m128i blue = _mm_and_si128(_mm_srli_epi32(rgb, 19), _mm_set1_epi32(0x1F));
    const __m128i texel = _mm_or_si128(red, _mm_or_si128(green, blue));
    const __m128i magenta = _mm_cmpeq_epi32(rgb, _mm_set1_epi32(0xFF00FF));
    return _mm_or_si128(_mm_andnot_si128(magenta, texel), _mm_and_si128(magenta, _mm_set1_epi32(-0x8000)));
}
#endif

// A sprite file may be the user's own: its sprites must lie on its own pages and its sequences
// among its sprites, or a converted level would send the game past both.
void checkSprites(const util::ByteReader& r, const SWDData& swd) {
    const std::size_t pages = (swd.rows() + 255) / 256;
    const std::size_t sprites = swd.SpriteTextures.size();
    for (std::size_t i = 0; i < sprites; ++i) {
        const std::int16_t tile = swd.SpriteTextures[i].Tile;
        if (tile < 0 || static_cast<std::size_t>(tile) >= pages)
            r.fail(util::indexOf("sprite texture", i, sprites) + ": page " + std::to_string(tile) + ", but the pixels make " +
                   std::to_string(pages) + (pages == 1 ? " page" : " pages"));
    }
    for (std::size_t i = 0; i < swd.SpriteSequences.size(); ++i) {
        const level::TRSpriteSequence& s = swd.SpriteSequences[i];
        const int count = -s.NegativeLength;
        if (count > 0 && (s.Offset < 0 || static_cast<std::size_t>(s.Offset) + static_cast<std::size_t>(count) > sprites))
            r.fail(util::indexOf("sprite sequence", i, swd.SpriteSequences.size()) + ": sprites " + std::to_string(s.Offset) +
                   " to " + std::to_string(s.Offset + count - 1) + ", but the file has " + std::to_string(sprites));
    }
}

util::Result<SWDData> refuse(const std::string& reason) {
    return util::Result<SWDData>::failure(std::string(kCantReadSWDMessage) + ": " + reason);
}
}  // namespace

util::Result<SWDData> ParseSWD(std::span<const std::uint8_t> bytes) {
    try {
        util::ByteReader r(bytes);
        SWDData swd;
        swd.Header = r.i32("header");
        level::io::readCountedList(r, swd.SpriteTextures, level::io::kSpriteTextureSize, "sprite textures");
        const std::int32_t pixelBytes = r.i32("pixel byte count");
        // What the file holds first (a count of a file that is no SWD is often negative or huge),
        // then whether it makes whole rows.
        const std::size_t pixelCount = r.checkCount(pixelBytes, 1, "pixels");
        if (pixelCount % kSWDRowBytes != 0)
            r.fail("pixels: " + std::to_string(pixelBytes) + " bytes are not whole rows of 768");
        swd.Pixels.resize(pixelCount);
        r.bytes(swd.Pixels.data(), swd.Pixels.size(), "pixels");
        level::io::readCountedList(r, swd.SpriteSequences, level::io::kSpriteSequenceSize, "sprite sequences");
        checkSprites(r, swd);
        return swd;
    } catch (const util::Error& e) {
        return refuse(e.what());
    } catch (const std::bad_alloc&) {
        return refuse("not enough memory");
    }
}

util::Result<SWDData> ReadSWD(const std::filesystem::path& path) {
    // readFile opens for reading only, so a missing file stays missing.
    auto bytes = util::readFile(path);
    if (!bytes) return refuse(bytes.error());
    return ParseSWD(*bytes);
}

void swdTexels(std::span<const std::uint8_t> rgb, std::uint16_t* out) {
    const std::size_t n = rgb.size() / 3;
    const std::uint8_t* p = rgb.data();
    std::size_t i = 0;
#if defined(__SSE2__)
    // Eight pixels a step from two 16-byte reads, the second ending 28 bytes on: the last few go
    // one by one below.
    for (; i + 10 <= n; i += 8) {
        const __m128i low = texelLanes(pixelLanes(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 3 * i))));
        const __m128i high = texelLanes(pixelLanes(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 3 * i + 12))));
        const __m128i texels = _mm_xor_si128(_mm_packs_epi32(low, high), _mm_set1_epi16(static_cast<short>(0x8000)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), texels);
    }
#endif
    // Four bytes a pixel; the last one's fourth would lie past the pixels.
    for (; i + 1 < n; ++i) out[i] = swdTexel(util::le::u32(p + 3 * i));
    if (i < n) out[i] = swdPixelTo16(p[3 * i], p[3 * i + 1], p[3 * i + 2]);
}

std::filesystem::path swdFileBeside(const std::filesystem::path& executableDir) {
    return util::findDataFile(executableDir, kSWDFile);
}

std::vector<std::uint8_t> SerializeSWD(const SWDData& swd) {
    util::ByteWriter w;
    w.i32(swd.Header);
    level::io::writeCountedList(w, swd.SpriteTextures);
    w.u32(static_cast<std::uint32_t>(swd.Pixels.size()));
    w.bytes(swd.Pixels);
    level::io::writeCountedList(w, swd.SpriteSequences);
    return std::move(w.data());
}

}  // namespace tessarin::convert
