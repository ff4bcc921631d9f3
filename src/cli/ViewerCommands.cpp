// polys, statics, room-at: the viewer's polygons and camera-room lookup, for outside checks.
#include <charconv>
#include <cmath>
#include <system_error>
#include <type_traits>

#include "Commands.h"
#include "Json.h"
#include "LevelJson.h"
#include "viewer/Camera.h"
#include "viewer/RoomPolys.h"
#include "viewer/StaticMeshes.h"

namespace tessarin::cli {

namespace {

// Polygons statics prints beyond one per four bytes of mesh data (a face takes 8 bytes or more).
constexpr std::size_t kStaticPolysPrinted = 262144;

template <typename T>
T parse(const std::string& text, const char* what) {
    T v{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    bool ok = ec == std::errc() && end == text.data() + text.size() && !text.empty();
    if constexpr (std::is_floating_point_v<T>) ok = ok && std::isfinite(v);
    if (!ok) throw CliError(std::string(what) + " must be a number, not \"" + text + "\"");
    return v;
}

void writePoly(Json& j, const viewer::RoomPoly& poly, const std::int32_t* blend) {
    j.beginObject();
    j.field("vertexCount", poly.VertexCount);
    j.field("texture", poly.Texture);
    if (blend) {
        j.field("blend", *blend);
        j.field("room", poly.Room);
        j.field("marked", poly.Marked);
    }
    j.key("vertices").beginArray();
    for (int k = 0; k < poly.VertexCount; ++k) {
        const viewer::PolyVertex& v = poly.Vertices[static_cast<std::size_t>(k)];
        j.beginArray();
        for (const float f : {v.x, v.y, v.z, v.tu, v.tv}) j.number(static_cast<double>(f));
        j.endArray();
    }
    j.endArray();
    j.endObject();
}

}  // namespace

std::string polysCommand(const Args& args) {
    const bool selected = args.size() == 5 && args[2] == "--selected";
    if (args.size() != 2 && !selected) throw usageError("polys");
    const long long room = parse<long long>(args[1], "ROOM");
    viewer::SelectedSector sector;
    if (selected) {
        sector.SelectedX = parse<int>(args[3], "X");
        sector.SelectedZ = parse<int>(args[4], "Z");
    }
    const level::TRLevel level = loadOrThrow(args[0]);
    if (room < 0 || static_cast<unsigned long long>(room) >= level.Rooms.size())
        throw CliError("room " + args[1] + " is outside the level (it has " + std::to_string(level.Rooms.size()) + " rooms)");

    viewer::RoomPolyList list;
    viewer::BuildRoom(list, level, static_cast<int>(room), selected ? &sector : nullptr);
    Json j;
    j.beginObject().key("polys").beginArray();
    for (std::size_t i = 0; i < list.RoomPolys.size(); ++i) writePoly(j, list.RoomPolys[i], &list.RoomPolyBlend[i]);
    j.endArray().endObject();
    return j.str();
}

std::string staticsCommand(const Args& args) {
    if (args.size() != 1) throw usageError("statics");
    const level::TRLevel level = loadOrThrow(args[0]);
    const std::vector<viewer::StaticMeshPolys> statics = viewer::BuildStaticMeshes(level);
    // Definitions may name one mesh many times over; each is printed in full, so the text is
    // bounded by what the mesh data could honestly hold.
    const std::size_t polys = viewer::CountStaticPolys(statics);
    const std::size_t ceiling = kStaticPolysPrinted + level.MeshData.size() / 4;
    if (polys > ceiling)
        throw CliError(args[0] + ": statics: " + std::to_string(statics.size()) + " static-object definitions name " +
                       std::to_string(polys) + " polygons, more than the " + std::to_string(ceiling) +
                       " this command prints for " + std::to_string(level.MeshData.size()) + " bytes of mesh data");
    Json j(stdout);
    j.beginObject().key("statics").beginArray();
    for (const viewer::StaticMeshPolys& def : statics) {
        j.beginObject();
        j.field("objectId", def.ObjectID);
        j.key("polys").beginArray();
        for (const viewer::RoomPoly& poly : def.polys()) writePoly(j, poly, nullptr);
        j.endArray();
        j.endObject();
    }
    j.endArray().endObject();
    return j.str();
}

std::string roomAtCommand(const Args& args) {
    if (args.size() != 4) throw usageError("room-at");
    const double x = parse<double>(args[1], "X");
    const double y = parse<double>(args[2], "Y");
    const double z = parse<double>(args[3], "Z");
    const level::TRLevel level = loadOrThrow(args[0]);
    Json j;
    j.beginObject().field("room", viewer::FindCameraRoom(level, x, y, z)).endObject();
    return j.str();
}

}  // namespace tessarin::cli
