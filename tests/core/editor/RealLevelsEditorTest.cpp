// The editor on the real levels: every sector of every room described, marks and lists agreeing.
#include <gtest/gtest.h>

#include <filesystem>

#include "editor/EditorSession.h"
#include "editor/Objects.h"
#include "level/LevelReader.h"
#include "support/TestPaths.h"

using namespace tessarin;

namespace {

editor::ObjectNameTable builtNames() {
    const auto dir = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    return editor::LoadObjectNamesBeside(dir).names;
}

}  // namespace

TEST(EditorRealLevels, EverySectorIsDescribedAndMarksMatchTheLists) {
    for (const char* name : {"tr1-test1.phd", "tr2-test1.tr2", "tr3-test1.tr2", "tr4-test1.tr4", "tr5-test1.trc"}) {
        SCOPED_TRACE(name);
        const auto path = test::realLevel(name);
        if (path.empty()) {
            std::cout << "[ SKIPPED  ] " << name << " not found\n";
            continue;
        }
        auto level = level::LoadLevel(path);
        if (!level) {
            std::cout << "[ SKIPPED  ] " << name << " does not load yet: " << level.error() << "\n";
            continue;
        }
        editor::EditorSession s(builtNames());
        s.OpenLevel(std::move(*level));
        std::size_t listed = 0;
        for (int r = 0; r < static_cast<int>(s.Level.Rooms.size()); ++r) {
            s.RoomNumber_Click(r);
            ASSERT_EQ(s.CurRoom, r);
            const auto& room = s.Level.Rooms[static_cast<std::size_t>(r)];
            for (int x = 0; x < room.NumXSectors; ++x) {
                for (int z = 0; z < room.NumZSectors; ++z) {
                    s.clickSector(x, z);
                    const auto& in = s.info();
                    ASSERT_EQ(in.title, "Sector Info [Sector  " + std::to_string(x) + ", " + std::to_string(z) + "]");
                    EXPECT_EQ(s.map().cell(x, z).itemMark, !in.entries.empty()) << r << " " << x << " " << z;
                    EXPECT_EQ(s.map().cell(x, z).staticMark, in.staticCount != " 0 Static Meshes");
                    if (in.triggerShown) {
                        EXPECT_EQ(in.fdLabel.rfind(" " + std::to_string(in.triggerList.size()) + " Trigger", 0), 0u);
                    }
                    listed += in.entries.size();
                }
            }
        }
        // Every item and AI object standing on a sector centre of its room is listed once.
        std::size_t centred = 0;
        auto counts = [&](int roomIndex, std::int64_t x, std::int64_t z) {
            if (roomIndex < 0 || static_cast<std::size_t>(roomIndex) >= s.Level.Rooms.size()) return;
            const auto& room = s.Level.Rooms[static_cast<std::size_t>(roomIndex)];
            const std::int64_t dx = x - room.X - 512, dz = z - room.Z - 512;
            if (dx >= 0 && dz >= 0 && dx % 1024 == 0 && dz % 1024 == 0 && dx / 1024 < room.NumXSectors &&
                dz / 1024 < room.NumZSectors)
                ++centred;
        };
        for (const auto& it : s.Level.Items) counts(it.Room, it.X, it.Z);
        if (s.Level.LevelVersion >= 4)
            for (const auto& ai : s.Level.AIObjects) counts(ai.Room, ai.X, ai.Z);
        EXPECT_EQ(listed, centred);
    }
}
