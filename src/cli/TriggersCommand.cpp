// triggers: the sectors whose triggers name one item, in the order next-trigger visits them.
#include <charconv>

#include "Commands.h"
#include "Json.h"
#include "LevelJson.h"
#include "floordata/FloorData.h"
#include "util/Result.h"

namespace tessarin::cli {

std::string triggersCommand(const Args& args) {
    if (args.size() != 2) throw usageError("triggers");
    long long item = 0;
    const std::string& text = args[1];
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), item);
    if (ec != std::errc() || end != text.data() + text.size()) throw CliError("ITEM must be a number, not \"" + text + "\"");

    const level::TRLevel level = loadOrThrow(args[0]);
    if (item < 0 || static_cast<unsigned long long>(item) >= level.Items.size()) {
        throw CliError("item " + text + " is outside the level (it has " + std::to_string(level.Items.size()) +
                       " items)");
    }
    floordata::ItemTriggers index;
    try {
        index = floordata::BuildItemTriggers(level);
    } catch (const util::Error& e) {
        throw CliError(args[0] + ": " + e.what());
    }
    const floordata::ItemTriggerList list = index[static_cast<std::size_t>(item)];

    // An item may be named from millions of sectors: the text goes out as it is made.
    Json j(stdout);
    j.beginObject().field("item", item).field("count", list.Count);
    j.key("sectors").beginArray();
    for (const auto& s : list.Sectors) j.beginArray().value(s.Room).value(s.X).value(s.Z).endArray();
    j.endArray().endObject();
    return j.str();
}

}  // namespace tessarin::cli
