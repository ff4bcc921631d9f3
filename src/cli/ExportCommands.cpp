// export-map and export-textures: pictures of a level as PNG files.
#include <charconv>
#include <cstdio>
#include <filesystem>

#include "Commands.h"
#include "Json.h"
#include "LevelJson.h"
#include "editor/MapImage.h"
#include "util/Png.h"
#include "viewer/TexturePages.h"

namespace tessarin::cli {

namespace {

long long numberOrThrow(const std::string& text, const char* what) {
    long long n = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (ec != std::errc() || end != text.data() + text.size())
        throw CliError(std::string(what) + " must be a number, not \"" + text + "\"");
    return n;
}

void writeOrThrow(const std::filesystem::path& path, const util::RgbaPixels& image) {
    if (const util::Status s = util::writePng(path, image); !s) throw CliError(s.error());
}

}  // namespace

std::string exportMapCommand(const Args& args) {
    if (args.size() != 3 && args.size() != 5) throw usageError("export-map");
    long long scale = 1;
    if (args.size() == 5) {
        if (args[3] != "--scale") throw usageError("export-map");
        scale = numberOrThrow(args[4], "N");
        if (scale < editor::kMinMapScale || scale > editor::kMaxMapScale)
            throw CliError("scale " + args[4] + " is outside 1 to " + std::to_string(editor::kMaxMapScale));
    }
    const long long room = numberOrThrow(args[1], "ROOM");
    const level::TRLevel level = loadOrThrow(args[0]);
    if (room < 0 || static_cast<unsigned long long>(room) >= level.Rooms.size())
        throw CliError("room " + args[1] + " is outside the level (it has " + std::to_string(level.Rooms.size()) +
                       " rooms)");
    editor::SectorMap map;
    map.build(level, static_cast<int>(room));
    const int cell = editor::SectorMap::kCellSize * static_cast<int>(scale);
    if (const std::string refusal = editor::mapImageRefusal(map, cell); !refusal.empty())
        throw CliError(args[0] + ": room " + args[1] + ": " + refusal);
    const util::RgbaPixels image = editor::renderMapImage(map, cell);
    writeOrThrow(args[2], image);

    Json j;
    j.beginObject().field("room", room).field("scale", scale).field("width", image.width).field("height", image.height);
    j.field("file", args[2]).endObject();
    return j.str();
}

std::string exportTexturesCommand(const Args& args) {
    if (args.size() != 2) throw usageError("export-textures");
    const level::TRLevel level = loadOrThrow(args[0]);
    const std::filesystem::path dir = args[1];
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (!std::filesystem::is_directory(dir))
        throw CliError("cannot make the folder " + args[1] + (ec ? ": " + ec.message() : ": a file of that name is there"));

    const viewer::RgbaImage pages = viewer::BuildTexturePages(level);
    const int count = pages.height / viewer::kPageSize;
    Json j;
    j.beginObject().field("pages", count).key("files").beginArray();
    const std::size_t pageBytes = std::size_t{viewer::kPageSize} * viewer::kPageSize * 4;
    for (int p = 0; p < count; ++p) {
        util::RgbaPixels page;
        page.width = page.height = viewer::kPageSize;
        const auto first = pages.pixels.begin() + static_cast<std::ptrdiff_t>(pageBytes * static_cast<std::size_t>(p));
        page.pixels.assign(first, first + static_cast<std::ptrdiff_t>(pageBytes));
        char name[32];
        std::snprintf(name, sizeof name, "page-%03d.png", p);
        writeOrThrow(dir / name, page);
        j.value((dir / name).string());
    }
    j.endArray().endObject();
    return j.str();
}

}  // namespace tessarin::cli
