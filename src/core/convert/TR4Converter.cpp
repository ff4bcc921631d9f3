// ConvertTR4 reads the TR4 file with the level reader and rebuilds the loaded record as a TR3 or
// TR2 level: rooms, lights, meshes, object textures, items and frames take the older forms, and
// the sprites come from the sprite file, on pages behind the level's own.
#include "convert/TR4Converter.h"

#include <algorithm>
#include <cctype>
#include <new>
#include <unordered_map>

#include "convert/TR4ConvertSteps.h"
#include "floordata/FloorDataQueries.h"
#include "level/LevelReader.h"
#include "level/Mesh.h"
#include "level/TextureInfo.h"
#include "util/FileBytes.h"

namespace tessarin::convert {

using level::TRLevel;

namespace {

// The sprite file's pages, a partly used last one counted whole.
std::size_t spritePages(const SWDData& swd) { return (swd.rows() + 255) / 256; }

// The sprite file's pages as texels. A sprite file whose pixels end inside a page gets that page
// filled up with transparent rows.
std::vector<std::uint16_t> spriteTexels(const SWDData& swd) {
    std::vector<std::uint16_t> texels(spritePages(swd) * level::kTextilePixels, 0);
    swdTexels(swd.Pixels, texels.data());
    return texels;
}

// The sprite pages go behind the level's own 16-bit pages; `made` holds them when they were made
// beside the load (readerOptions), else they are made here.
void appendSpritePages(TRLevel& level, const SWDData& swd, std::vector<std::uint16_t> made) {
    if (made.empty()) made = spriteTexels(swd);
    const std::size_t levelTexels = static_cast<std::size_t>(level.NumTextiles) * level::kTextilePixels;
    level.Textile16.resize(levelTexels, 0);
    level.Textile16.resizeForOverwrite(levelTexels + made.size());
    std::copy(made.begin(), made.end(), level.Textile16.data() + levelTexels);
    level.Textile8.assign(level.Textile16.size(), 0);
}

// TR3 draws a texture semi-transparent by its attribute; TR4 said it per face with effects 1.
void markBlendedTextures(TRLevel& level, const std::vector<level::TRMesh>& meshes) {
    const std::size_t n = level.ObjectTextures.size();
    auto mark = [&](std::uint16_t texture, std::uint16_t effects) {
        if (effects == 1 && texture < n) level.ObjectTextures[texture].Attribute = 2;
    };
    for (const auto& m : meshes) {
        for (const auto& f : m.TexturedRectangles) mark(f.Texture, f.Effects);
        for (const auto& f : m.TexturedTriangles) mark(f.Texture, f.Effects);
    }
}

// `roomsDone`: the reader already converted each room as it read it (readerOptions).
void convertLevel(TRLevel& level, std::int16_t target, const SWDData& swd, bool roomsDone,
                  std::vector<std::uint16_t> sprites) {
    const std::int32_t ownPages = level.NumTextiles;
    level.LevelVersion = target;
    level.Version = targetMagic(target);
    appendSpritePages(level, swd, std::move(sprites));
    // A TR2/TR3 file has no place for 32-bit or misc pages, flyby cameras or AI objects (the editor
    // does not show AI objects of such a level either): the record holds what its file will.
    level.Textile32 = {};
    level.MiscTextile = {};
    level.NumMiscTextiles = 0;
    level.FlybyCameras = {};
    level.AIObjects = {};
    // The words kept of a byte count that is no multiple of four: the TR2/TR3 file states the
    // bytes it then holds, so the game and this program read the same amount.
    if (level.DemoData.size() > 8191) level.DemoData.resize(8191);  // 32,764 bytes: a 16-bit count
    level.NumDemoData = static_cast<std::int16_t>(4 * level.DemoData.size());

    if (!roomsDone)
        for (auto& room : level.Rooms) detail::convertRoom(room, target);
    if (target == level::kVersionTR2) {
        floordata::FloorDataQueries fd(level.FloorData);
        for (auto& room : level.Rooms)
            for (auto& s : room.Sectors) fd.StripTR3FloorData(s.FDIndex);
    }

    const auto meshes = detail::convertMeshes(level);

    level.SpriteTextures = swd.SpriteTextures;
    for (auto& t : level.SpriteTextures) t.Tile = static_cast<std::int16_t>(t.Tile + ownPages);
    level.SpriteSequences = swd.SpriteSequences;

    for (auto& t : level.ObjectTextures) {
        t.Tile = t.RawTile;
        detail::toCornerForm(t);
    }
    if (target == level::kVersionTR2)
        for (auto& it : level.Items)
            if (it.ObjectID >= 157 && it.ObjectID <= 173) it.ObjectID = static_cast<std::int16_t>(it.ObjectID - 22);

    if (auto st = level::ConvertTR5TextInfo(level); !st) throw util::Error(st.error());
    detail::convertFrames(level);

    level.NumTextiles = static_cast<std::int32_t>(level.Textile16.size() / level::kTextilePixels);
    if (level.Version == level::kMagicTR3a) markBlendedTextures(level, meshes);
}

bool hasTrcName(const std::string& fileName) {
    if (fileName.size() < 4) return false;
    std::string tail = fileName.substr(fileName.size() - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(), [](unsigned char c) { return std::toupper(c); });
    return tail == ".TRC";
}

bool isTR4File(std::span<const std::uint8_t> bytes, const std::string& fileName) {
    static constexpr std::uint8_t kMagic[4] = {'T', 'R', '4', 0};
    return bytes.size() >= 4 && std::equal(kMagic, kMagic + 4, bytes.begin()) && !hasTrcName(fileName);
}

bool isTarget(std::int16_t targetVersion) {
    return targetVersion == level::kVersionTR2 || targetVersion == level::kVersionTR3;
}

constexpr const char* kNoTargetMessage = "TR4 levels convert only into TR2 or TR3 levels";

// The older formats take only the 16-bit pages, and the sprite pages go behind them. Each room
// takes its older form as soon as it is read, while the rest of the level data still inflates,
// and the sprite pages are made into `sprites` meanwhile.
level::LoadOptions readerOptions(const SWDData& swd, std::int16_t target, std::vector<std::uint16_t>& sprites) {
    level::LoadOptions options;
    options.only16BitPages = true;
    options.spare16BitPages = spritePages(swd);
    options.eachRoom = [target](level::TRRoom& room) { detail::convertRoom(room, target); };
    options.alongside = [&swd, &sprites] { sprites = spriteTexels(swd); };
    return options;
}

util::Result<TRLevel> convertLoaded(TRLevel tr4, std::int16_t targetVersion, const SWDData& swd, bool roomsDone,
                                    std::vector<std::uint16_t> sprites = {}) {
    using R = util::Result<TRLevel>;
    if (tr4.LevelVersion != level::kVersionTR4) return R::failure(kNoTR4LevelMessage);
    try {
        convertLevel(tr4, targetVersion, swd, roomsDone, std::move(sprites));
        return tr4;
    } catch (const util::Error& e) {
        return R::failure(e.what());
    } catch (const std::bad_alloc&) {
        return R::failure("not enough memory to convert the level");
    }
}

}  // namespace

std::uint32_t targetMagic(std::int16_t targetVersion) {
    return targetVersion == level::kVersionTR2 ? level::kMagicTR2 : level::kMagicTR3a;
}

util::Result<TRLevel> ConvertTR4Level(TRLevel tr4, std::int16_t targetVersion, const SWDData& swd) {
    using R = util::Result<TRLevel>;
    if (!isTarget(targetVersion)) return R::failure(kNoTargetMessage);
    return convertLoaded(std::move(tr4), targetVersion, swd, false);
}

util::Result<TRLevel> ConvertTR4Bytes(std::span<const std::uint8_t> bytes, const std::string& fileName,
                                      std::int16_t targetVersion, const SWDData& swd) {
    using R = util::Result<TRLevel>;
    if (!isTarget(targetVersion)) return R::failure(kNoTargetMessage);
    if (!isTR4File(bytes, fileName)) return R::failure(kNoTR4LevelMessage);
    std::vector<std::uint16_t> sprites;
    auto tr4 = level::LoadLevelFromBytes(bytes, fileName, nullptr, nullptr, readerOptions(swd, targetVersion, sprites));
    if (!tr4) return R::failure(tr4.error());
    return convertLoaded(std::move(*tr4), targetVersion, swd, true, std::move(sprites));
}

util::Result<TRLevel> ConvertTR4(const std::filesystem::path& tr4File, std::int16_t targetVersion,
                                 const std::filesystem::path& swdFile) {
    using R = util::Result<TRLevel>;
    auto swd = ReadSWD(swdFile);
    if (!swd) return R::failure(swd.error());
    if (!isTarget(targetVersion)) return R::failure(kNoTargetMessage);
    try {
        // Mapped rather than copied, as LoadLevel reads: the conversion costs little more than a load.
        auto file = util::FileBytes::open(tr4File);
        if (!file) return R::failure(file.error());
        const std::string name = tr4File.filename().string();
        if (!isTR4File(file->bytes(), name))
            return R::failure(file->changedWhileRead() ? level::kChangedWhileReadMessage : kNoTR4LevelMessage);
        std::vector<std::uint16_t> sprites;
        auto tr4 = level::LoadLevel(*file, name, readerOptions(*swd, targetVersion, sprites));
        if (!tr4) return R::failure(tr4.error());
        return convertLoaded(std::move(*tr4), targetVersion, *swd, true, std::move(sprites));
    } catch (const std::bad_alloc&) {
        return R::failure(tr4File.string() + ": not enough memory to convert the level");
    }
}

}  // namespace tessarin::convert
