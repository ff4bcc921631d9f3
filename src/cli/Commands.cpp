// The commands: what runs them, and their arguments, shared by a usage error and the --help list
// so the two can't drift.
#include <array>

#include "Commands.h"

namespace tessarin::cli {

namespace {
constexpr std::array kCommands = {
    Command{"info", infoCommand, "FILE",
            "the version, magic, every section count, every room header and every item"},
    Command{"tiles", tilesCommand, "FILE", "the texture-tile table: [RefU, RefV, Tile] per object texture"},
    Command{"resave", resaveCommand, "FILE OUT", "reads a TR2/TR3 level and writes it back unchanged to OUT"},
    Command{"convert", convertCommand, "FILE --to tr3|tr2 [-o OUT] [--swd SWDFILE] [--verify]",
            "converts a TR4 level and writes it to OUT (by default FILE with the ending tr2)"},
    Command{"triggers", triggersCommand, "FILE ITEM", "the sectors whose triggers name an item"},
    Command{"sector", sectorCommand, "FILE ROOM X Z", "what the panels show for a sector"},
    Command{"record", recordCommand, "FILE OUT --keys SCRIPT",
            "records a demo into a TR2/TR3 level from a key script and writes it to OUT"},
    Command{"export-map", exportMapCommand, "FILE ROOM OUT.png [--scale N]",
            "the room's map as a PNG, N (1-8) times the 10-pixel cells"},
    Command{"export-textures", exportTexturesCommand, "FILE OUTDIR", "every texture page as OUTDIR/page-000.png, ..."},
    Command{"polys", polysCommand, "FILE ROOM [--selected X Z]",
            "the 3D view's textured polygons of a room (viewer units)"},
    Command{"statics", staticsCommand, "FILE", "the polygons of every static-object definition"},
    Command{"room-at", roomAtCommand, "FILE X Y Z",
            "the room a camera at that point (viewer units) stands in, or -1"},
};
}  // namespace

std::span<const Command> commands() { return kCommands; }

CliError usageError(std::string_view command) {
    for (const Command& c : kCommands)
        if (c.name == command)
            return CliError("usage: tessarin2-cli " + std::string(c.name) + " " + std::string(c.arguments));
    return CliError("usage: tessarin2-cli " + std::string(command));
}

}  // namespace tessarin::cli
