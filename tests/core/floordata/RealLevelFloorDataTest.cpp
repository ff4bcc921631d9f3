// The floor data of the real levels: every list walks to its last entry, and the item index
// agrees with the triggers sector by sector.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <tuple>

#include "floordata/FloorData.h"
#include "floordata/FloorDataEdit.h"
#include "floordata/FloorDataWalk.h"
#include "level/LevelReader.h"
#include "support/TestPaths.h"

using namespace tessarin;
using namespace tessarin::floordata;

// Outside the anonymous namespace: the tests derive from it, and a base of internal linkage
// draws a warning when the file is compiled as part of a larger unit.
class RealLevelFloorData : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        TESSARIN_REQUIRE_LEVEL(path, GetParam());
        auto loaded = level::LoadLevel(path);
        ASSERT_TRUE(loaded) << GetParam() << ": " << loaded.error();
        m_level = std::move(*loaded);
    }

    // Calls fn(room, x, z, sector) for every sector of every room.
    template <typename Fn>
    void forEachSector(Fn&& fn) const {
        for (std::size_t r = 0; r < m_level.Rooms.size(); ++r) {
            const level::TRRoom& room = m_level.Rooms[r];
            ASSERT_EQ(room.Sectors.size(), static_cast<std::size_t>(room.NumXSectors) * room.NumZSectors) << r;
            for (int x = 0; x < room.NumXSectors; ++x) {
                for (int z = 0; z < room.NumZSectors; ++z) fn(static_cast<int>(r), x, z, room.sector(x, z));
            }
        }
    }

    level::TRLevel m_level;
};

namespace {

std::string where(int r, int x, int z) {
    return "room " + std::to_string(r) + " sector (" + std::to_string(x) + ", " + std::to_string(z) + ")";
}

}  // namespace

TEST_P(RealLevelFloorData, EveryListWalksToItsLastEntry) {
    const std::span<const std::uint16_t> fd(m_level.FloorData);
    std::size_t lists = 0;
    forEachSector([&](int r, int x, int z, const level::TRSector& s) {
        const auto end = detail::walkList(fd, detail::listStart(fd, s.FDIndex), [](const detail::Entry&) { return true; });
        EXPECT_TRUE(end == detail::WalkEnd::LastEntry || (end == detail::WalkEnd::NoList && s.FDIndex == 0))
            << where(r, x, z) << " index " << s.FDIndex;
        if (end == detail::WalkEnd::LastEntry) ++lists;
        // The key and the first action agree.
        const auto actions = GetTriggerActions(fd, s.FDIndex);
        const std::int32_t key = GetTriggerKey(fd, s.FDIndex);
        if (actions.empty()) {
            EXPECT_EQ(key, -1) << where(r, x, z);
        } else {
            EXPECT_EQ(key, actions[0].TriggerType + 32 * actions[0].Parameter + 16384 * actions[0].ActionKind)
                << where(r, x, z);
        }
    });
    EXPECT_GT(lists, 0u);
}

TEST_P(RealLevelFloorData, ItemIndexListsExactlyTheSectorsThatNameEachItem) {
    const ItemTriggers index = BuildItemTriggers(m_level);
    ASSERT_EQ(index.size(), m_level.Items.size());
    const std::span<const std::uint16_t> fd(m_level.FloorData);
    std::size_t named = 0;
    forEachSector([&](int r, int x, int z, const level::TRSector& s) {
        for (const TriggerAction& a : GetTriggerActions(fd, s.FDIndex)) {
            if ((a.ActionKind != kActionObject && a.ActionKind != kActionTarget) || a.Parameter >= index.size()) continue;
            const auto& list = index[a.Parameter].Sectors;
            EXPECT_NE(std::find(list.begin(), list.end(), TriggerSector{r, x, z}), list.end())
                << "item " << a.Parameter << " misses " << where(r, x, z);
            ++named;
        }
    });
    EXPECT_GT(named, 0u);
    // Nothing extra, once each, in room / x / z order.
    const auto order = [](const TriggerSector& a, const TriggerSector& b) {
        return std::tie(a.Room, a.X, a.Z) < std::tie(b.Room, b.X, b.Z);
    };
    for (std::size_t i = 0; i < index.size(); ++i) {
        const auto& list = index[i];
        EXPECT_EQ(list.Count, static_cast<std::int32_t>(list.Sectors.size())) << i;
        EXPECT_TRUE(std::adjacent_find(list.Sectors.begin(), list.Sectors.end(),
                                       [&](const auto& a, const auto& b) { return !order(a, b); }) == list.Sectors.end())
            << "item " << i;
        for (const TriggerSector& t : list.Sectors) {
            const auto& sector = m_level.Rooms[static_cast<std::size_t>(t.Room)].sector(t.X, t.Z);
            EXPECT_TRUE(SectorTriggersItem(fd, sector, static_cast<int>(i))) << "item " << i << " at " << where(t.Room, t.X, t.Z);
        }
    }
}

TEST_P(RealLevelFloorData, MinecartEditOnEverySectorKeepsWhatTheListSaid) {
    level::TRLevel edited = m_level;
    const std::span<const std::uint16_t> before(m_level.FloorData);
    forEachSector([&](int r, int x, int z, const level::TRSector& s) {
        ASSERT_TRUE(AddMinecartEntry(edited, r, x, z, MinecartMode::Stop)) << where(r, x, z);
        const std::span<const std::uint16_t> after(edited.FloorData);
        const std::uint16_t at = edited.Rooms[static_cast<std::size_t>(r)].sector(x, z).FDIndex;
        const auto end = detail::walkList(after, detail::listStart(after, at), [](const detail::Entry&) { return true; });
        EXPECT_EQ(end, detail::WalkEnd::LastEntry) << where(r, x, z);
        EXPECT_EQ(GetSectorFlags(after, at), GetSectorFlags(before, s.FDIndex) | kFlagCode20 | kFlagCode21);
        EXPECT_EQ(GetTriggerKey(after, at), GetTriggerKey(before, s.FDIndex)) << where(r, x, z);
        EXPECT_EQ(GetTriggerActions(after, at).size(), GetTriggerActions(before, s.FDIndex).size());
        // The door rule wraps at 8192; these levels are far smaller, so both indices read directly.
        EXPECT_EQ(GetDoor(after, at), GetDoor(before, s.FDIndex)) << where(r, x, z);
    });
    EXPECT_TRUE(std::equal(before.begin(), before.end(), edited.FloorData.begin()));
}

INSTANTIATE_TEST_SUITE_P(AllVersions, RealLevelFloorData,
                         testing::Values("tr1-test1.phd", "tr2-test1.tr2", "tr3-test1.tr2", "tr4-test1.tr4",
                                         "tr5-test1.trc"),
                         [](const testing::TestParamInfo<const char*>& p) {
                             std::string name = p.param;
                             std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
                             return name;
                         });
