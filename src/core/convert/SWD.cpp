// Sprite file layout, little-endian:
//   Header 4 | NumSpriteTextures 4, textures 16 each | PixelBytes 4, pixel rows 768 each
//   | NumSpriteSequences 4, sequences 8 each
#include "convert/SWD.h"

#include "level/RecordIO.h"
#include "util/ByteReader.h"
#include "util/ByteWriter.h"
#include "util/FileIO.h"

namespace tessarin::convert {

namespace {
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
        if (pixelBytes % static_cast<std::int32_t>(kSWDRowBytes) != 0)
            r.fail("pixels: " + std::to_string(pixelBytes) + " bytes are not whole rows of 768");
        swd.Pixels.resize(r.checkCount(pixelBytes, 1, "pixels"));
        r.bytes(swd.Pixels.data(), swd.Pixels.size(), "pixels");
        level::io::readCountedList(r, swd.SpriteSequences, level::io::kSpriteSequenceSize, "sprite sequences");
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
