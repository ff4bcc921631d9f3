// info, tiles and resave: what a level holds, its texture-tile table, and a write-back.
#include "Commands.h"
#include "Json.h"
#include "LevelJson.h"
#include "level/LevelReader.h"
#include "level/LevelWriter.h"
#include "util/ByteWriter.h"

namespace tessarin::cli {

using level::TRLevel;

namespace {
void expectArgs(const Args& args, std::size_t n, const char* command) {
    if (args.size() != n) throw usageError(command);
}
}  // namespace

std::string infoCommand(const Args& args) {
    expectArgs(args, 1, "info");
    const TRLevel level = loadOrThrow(args[0]);
    // A level may list millions of items: the text goes out as it is made.
    Json j(stdout);
    j.beginObject();
    j.field("version", level.LevelVersion);
    j.field("magic", static_cast<std::int64_t>(level.Version));
    j.key("counts");
    writeCounts(j, level);
    j.key("rooms").beginArray();
    for (const auto& room : level.Rooms) {
        j.beginObject();
        j.field("x", room.X).field("z", room.Z).field("yBottom", room.YBottom).field("yTop", room.YTop);
        j.field("xSectors", room.NumXSectors).field("zSectors", room.NumZSectors);
        j.field("vertices", room.Vertices.size()).field("rectangles", room.Rectangles.size());
        j.field("triangles", room.Triangles.size()).field("sprites", room.Sprites.size());
        j.field("portals", room.Portals.size()).field("lights", room.Lights.size());
        j.field("statics", room.StaticMeshes.size()).field("alternateRoom", room.AlternateRoom);
        j.field("flags", static_cast<std::uint16_t>(room.Flags));
        j.endObject();
    }
    j.endArray();
    j.key("items").beginArray();
    for (const auto& it : level.Items) {
        j.beginObject();
        j.field("objectId", it.ObjectID).field("room", it.Room);
        j.field("x", it.X).field("y", it.Y).field("z", it.Z);
        j.field("angle", it.Angle).field("ocb", it.OCB).field("flags", it.Flags);
        j.endObject();
    }
    j.endArray();
    j.endObject();
    return j.str();
}

std::string tilesCommand(const Args& args) {
    expectArgs(args, 1, "tiles");
    const TRLevel level = loadOrThrow(args[0]);
    Json j;
    j.beginObject().key("tiles").beginArray();
    for (const auto& t : level.TextureTiles) j.beginArray().value(t.RefU).value(t.RefV).value(t.Tile).endArray();
    j.endArray().endObject();
    return j.str();
}

std::string resaveCommand(const Args& args) {
    expectArgs(args, 2, "resave");
    const TRLevel level = loadOrThrow(args[0]);
    // A refusal names the level; a failed write names the output.
    if (std::string why = level::WriteRefusal(level); !why.empty()) throw CliError(args[0] + ": " + why);
    if (auto st = level::SaveLevel(args[1], level); !st) throw CliError(st.error());
    Json j;
    j.beginObject().field("output", args[1]).field("bytes", static_cast<std::int64_t>(level::SavedFileSize(level))).endObject();
    return j.str();
}

}  // namespace tessarin::cli
