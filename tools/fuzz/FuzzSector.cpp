// The editor over a level file (TR1-TR3 are read uncompressed, so mutations reach the floor data and
// items): open it in a session, describe sectors, and follow the trigger and item buttons.
#include <cstddef>
#include <cstdint>
#include <span>

#include "editor/EditorSession.h"
#include "editor/ObjectNames.h"
#include "level/LevelReader.h"

using namespace tessarin;

namespace {

const editor::ObjectNameTable& names() {
    static const editor::ObjectNameTable table = [] {
        editor::ObjectNameSections s;
        s.tr4 = {"LARA", "PISTOLS"};
        s.statics = {"PLANT0"};
        s.tr3 = {"Lara", "Lara pistol animation"};
        s.tr2 = {"Lara", "Lara pistol animation"};
        s.tr1 = {"Lara"};
        s.tr5 = {"LARA"};
        return editor::ParseObjectNames(editor::SerializeObjectNames(s)).names;
    }();
    return table;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto loaded = level::LoadLevelFromBytes(std::span<const std::uint8_t>(data, size), "level.tr2");
    if (!loaded) return 0;
    editor::EditorSession session(names());
    if (!session.OpenLevel(std::move(loaded.value()))) return 0;

    // A bounded share of the level per run, so that one input stays quick.
    int described = 0;
    const int rooms = static_cast<int>(std::min<std::size_t>(session.Level.Rooms.size(), 8));
    for (int r = 0; r < rooms && described < 512; ++r) {
        session.RoomNumber_Click(r);
        const auto& room = session.Level.Rooms[static_cast<std::size_t>(r)];
        for (int x = 0; x < room.NumXSectors && described < 512; ++x) {
            for (int z = 0; z < room.NumZSectors && described < 512; ++z, ++described) {
                session.clickSector(x, z);
                const auto& info = session.info();
                for (int t = 0; t < static_cast<int>(info.triggerList.size()) && t < 4; ++t) {
                    session.selectTrigger(t);
                    (void)session.GotoObject_Click();
                    session.RoomNumber_Click(r);
                    session.clickSector(x, z);
                }
                for (int e = 0; e < static_cast<int>(session.info().entries.size()) && e < 4; ++e) {
                    session.SecCurItem_Click(e);
                    (void)session.ItemNextTrigger_Click();
                    (void)session.ItemNextTrigger_Click();
                    session.RoomNumber_Click(r);
                    session.clickSector(x, z);
                }
            }
        }
    }
    session.AllItems_Click(true);
    session.ItemDesc_Click(0);
    return 0;
}
