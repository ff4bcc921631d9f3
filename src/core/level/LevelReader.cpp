#include "level/LevelReader.h"

#include <algorithm>
#include <cctype>
#include <new>

#include "level/LevelReaders.h"
#include "util/ByteWriter.h"
#include "util/FileBytes.h"
#include "util/FileIO.h"
#include "util/NumberText.h"

namespace tessarin::level {

std::size_t demoWordCount(std::int32_t numDemoData) {
    if (numDemoData <= 0) return 0;
    // numDemoData / 4 rounded to the nearest whole number, halves to the even one.
    const std::int32_t q = numDemoData / 4;
    const std::int32_t rem = numDemoData % 4;
    if (rem > 2 || (rem == 2 && (q % 2) == 1)) return static_cast<std::size_t>(q + 1);
    return static_cast<std::size_t>(q);
}

namespace {
bool hasEnding(const std::string& fileName, const char* ending) {
    std::string tail = fileName.size() >= 4 ? fileName.substr(fileName.size() - 4) : fileName;
    std::transform(tail.begin(), tail.end(), tail.begin(), [](unsigned char c) { return std::toupper(c); });
    return tail == ending;
}
}  // namespace

std::int16_t versionForMagic(std::uint32_t magic, const std::string& fileName) {
    switch (magic) {
    case kMagicTR1: return kVersionTR1;
    case kMagicTR2: return kVersionTR2;
    case kMagicTR3a:
    case kMagicTR3b: return kVersionTR3;
    case kMagicTexturesOnly: return kVersionTexturesOnly;
    case kMagicTR4: return hasEnding(fileName, ".TRC") ? kVersionTR5 : kVersionTR4;
    default: return kVersionNone;
    }
}

namespace detail {
void readDemoData(util::ByteReader& r, TRLevel& level) {
    level.NumDemoData = r.i16("demo data count");
    if (level.NumDemoData < 0) r.fail("demo data: negative count " + std::to_string(level.NumDemoData));
    r.readI32Array(level.DemoData, static_cast<std::int64_t>(demoWordCount(level.NumDemoData)), "demo data");
}
}  // namespace detail

namespace {

// `source`, when given, owns the bytes and hears how far reading has gone.
util::Result<TRLevel> parse(std::span<const std::uint8_t> bytes, const std::string& fileName,
                            std::vector<std::string>* warnings, std::vector<std::size_t>* listStarts,
                            util::FileBytes* source, const LoadOptions& options) {
    using R = util::Result<TRLevel>;
    try {
        util::ByteReader r(bytes);
        r.traceListStarts(listStarts);
        if (source)
            r.onConsumed(&source->pages());
        TRLevel level;
        level.Version = r.u32("magic");
        level.LevelVersion = versionForMagic(level.Version, fileName);
        std::vector<std::string> localWarnings;
        switch (level.LevelVersion) {
        case kVersionTR1:
        case kVersionTR2:
        case kVersionTR3:
            // The TR1 expansion's levels (.tub) hold their palette after the sprite sequences.
            detail::readTR123(r, level, &localWarnings, hasEnding(fileName, ".TUB"));
            break;
        case kVersionTR4: detail::readTR4(r, level, &localWarnings, options); break;
        case kVersionTR5: detail::readTR5(r, level, &localWarnings); break;
        case kVersionTexturesOnly: return R::failure(kTexturesOnlyMessage);
        default: return R::failure(kUnknownVersionMessage);
        }
        if (warnings) warnings->insert(warnings->end(), localWarnings.begin(), localWarnings.end());
        return level;
    } catch (const util::Error& e) {
        return R::failure(e.what());
    } catch (const std::bad_alloc&) {
        return R::failure("not enough memory to read the level");
    }
}

util::Result<TRLevel> load(std::span<const std::uint8_t> bytes, const std::string& fileName,
                           std::vector<std::string>* warnings, std::vector<std::size_t>* listStarts,
                           util::FileBytes* source, const LoadOptions& options = {}) {
    auto level = parse(bytes, fileName, warnings, listStarts, source, options);
    // Whatever the reader made of bytes that changed under it (a level, or an error), the change
    // is what to report.
    if (source && source->changedWhileRead()) return util::Result<TRLevel>::failure(kChangedWhileReadMessage);
    return level;
}

}  // namespace

util::Result<TRLevel> LoadLevelFromBytes(std::span<const std::uint8_t> bytes, const std::string& fileName,
                                         std::vector<std::string>* warnings, std::vector<std::size_t>* listStarts,
                                         const LoadOptions& options) {
    return load(bytes, fileName, warnings, listStarts, nullptr, options);
}

util::Result<TRLevel> LoadLevel(util::FileBytes& file, const std::string& fileName, const LoadOptions& options) {
    return load(file.bytes(), fileName, nullptr, nullptr, &file, options);
}

util::Result<TRLevel> LoadLevel(const std::filesystem::path& fileName, std::vector<std::string>* warnings) {
    try {
        auto file = util::FileBytes::open(fileName);
        if (!file) return util::Result<TRLevel>::failure(file.error());
        return load(file->bytes(), fileName.string(), warnings, nullptr, &*file);
    } catch (const std::bad_alloc&) {
        return util::Result<TRLevel>::failure(fileName.string() + ": not enough memory to read the level");
    }
}

}  // namespace tessarin::level
