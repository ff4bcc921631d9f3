// sector: what the panels show right after a left click on one sector of a freshly opened level.
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "Commands.h"
#include "Json.h"
#include "LevelJson.h"
#include "editor/EditorSession.h"
#include "editor/Objects.h"
#include "util/FileIO.h"

namespace tessarin::cli {

namespace {

long long parseNumber(const std::string& text, const char* what) {
    long long v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty())
        throw CliError(std::string(what) + " must be a number, not \"" + text + "\"");
    return v;
}

// The object-name file lies beside the executable; the core is told where that is.
editor::ObjectNameTable loadNames() {
    auto load = editor::LoadObjectNamesBeside(util::programFolder());
    if (load.warning) std::fprintf(stderr, "tessarin2-cli: warning: %s\n", load.warning->c_str());
    return std::move(load.names);
}

void texts(Json& j, const std::vector<std::string>& list) {
    j.beginArray();
    for (const auto& t : list) j.value(t);
    j.endArray();
}

}  // namespace

std::string sectorCommand(const Args& args) {
    if (args.size() != 4) throw usageError("sector");
    const long long room = parseNumber(args[1], "ROOM");
    const long long x = parseNumber(args[2], "X");
    const long long z = parseNumber(args[3], "Z");

    level::TRLevel level = loadOrThrow(args[0]);
    if (room < 0 || static_cast<unsigned long long>(room) >= level.Rooms.size())
        throw CliError("room " + args[1] + " is outside the level (it has " + std::to_string(level.Rooms.size()) + " rooms)");
    const auto& r = level.Rooms[static_cast<std::size_t>(room)];
    if (x < 0 || z < 0 || x >= r.NumXSectors || z >= r.NumZSectors || !editor::sectorAt(r, static_cast<int>(x), static_cast<int>(z)))
        throw CliError("sector (" + args[2] + ", " + args[3] + ") is outside room " + args[1] + " (" +
                       std::to_string(r.NumXSectors) + " x " + std::to_string(r.NumZSectors) + " sectors)");

    editor::EditorSession session(loadNames());
    if (const util::Status opened = session.OpenLevel(std::move(level)); !opened) throw CliError(args[0] + ": " + opened.error());
    session.RoomNumber_Click(static_cast<int>(room));
    session.clickSector(static_cast<int>(x), static_cast<int>(z));

    const editor::SectorInfo& in = session.info();
    const editor::MapCell& cell = session.map().cell(static_cast<int>(x), static_cast<int>(z));
    Json j;
    j.beginObject();
    j.field("title", in.title);
    j.field("doorSide", in.doorSide).field("doorBelow", in.doorBelow).field("doorAbove", in.doorAbove);
    j.field("fdLabel", in.fdLabel);
    j.key("triggerList");
    if (in.triggerShown) texts(j, in.triggerList);
    else j.null();
    j.key("timer");
    if (in.triggerShown) j.value(in.timer);
    else j.null();
    j.key("triggerFlags");
    if (in.triggerShown) {
        j.beginArray();
        for (bool f : in.triggerFlags) j.value(f);
        j.endArray();
    } else {
        j.null();
    }
    j.field("floorWall", in.floorWall);
    j.field("floorHeight", in.floorHeight).field("ceilingHeight", in.ceilingHeight);
    j.key("minecart").beginObject();
    j.field("left", in.minecartLeft).field("right", in.minecartRight).field("stop", in.minecartStop);
    j.endObject();
    j.field("itemCount", in.itemCount);
    j.key("entries");
    texts(j, in.entries);
    j.field("staticCount", in.staticCount).field("staticName", in.staticName);
    j.key("mapColour").beginArray().value(cell.fill.r).value(cell.fill.g).value(cell.fill.b).endArray();
    j.field("itemMark", cell.itemMark).field("staticMark", cell.staticMark);
    j.endObject();
    return j.str();
}

}  // namespace tessarin::cli
