// The per-item index of trigger sectors on small made levels.
#include <gtest/gtest.h>

#include "support/FloorDataTestLevel.h"
#include "floordata/FloorData.h"
#include "support/AllocationLimit.h"
#include "util/Result.h"

using namespace tessarin;
using namespace tessarin::floordata;

namespace {

constexpr std::uint16_t kLastEntry = 0x8000;
constexpr std::uint16_t object(int item, bool last = false) {
    return static_cast<std::uint16_t>(item | (last ? kLastEntry : 0));
}
constexpr std::uint16_t target(int item, bool last = false) {
    return static_cast<std::uint16_t>((kActionTarget << 10) | item | (last ? kLastEntry : 0));
}

std::vector<TriggerSector> sectors(const ItemTriggers& index, std::size_t item) {
    EXPECT_EQ(index[item].Count, static_cast<std::int32_t>(index[item].Sectors.size()));
    return {index[item].Sectors.begin(), index[item].Sectors.end()};
}

}  // namespace

TEST(ItemTriggers, ListsSectorsByRoomThenXThenZ) {
    // List 1 names item 0; list 4 names items 1 and 2; list 8 names item 0 through TARGET.
    auto lvl = test::floorDataLevel({0, kTrigger | kLastEntry, 0, object(0, true),
                                     kTrigger | kLastEntry, 0, object(1), object(2, true),
                                     kTrigger | kLastEntry, 0, target(0, true)},
                                    {{3, 2}, {2, 2}}, 3);
    lvl.Rooms[1].sector(0, 1).FDIndex = 1;
    lvl.Rooms[0].sector(2, 0).FDIndex = 1;
    lvl.Rooms[0].sector(0, 1).FDIndex = 8;
    lvl.Rooms[0].sector(1, 0).FDIndex = 4;
    lvl.Rooms[1].sector(1, 0).FDIndex = 4;
    const ItemTriggers index = BuildItemTriggers(lvl);
    ASSERT_EQ(index.size(), 3u);
    EXPECT_EQ(sectors(index, 0), (std::vector<TriggerSector>{{0, 0, 1}, {0, 2, 0}, {1, 0, 1}}));
    EXPECT_EQ(sectors(index, 1), (std::vector<TriggerSector>{{0, 1, 0}, {1, 1, 0}}));
    EXPECT_EQ(sectors(index, 2), (std::vector<TriggerSector>{{0, 1, 0}, {1, 1, 0}}));
}

TEST(ItemTriggers, SectorNamingAnItemTwiceIsListedOnce) {
    auto lvl = test::floorDataLevel({0, kTrigger | kLastEntry, 0, object(1), target(1), object(1, true)}, {{1, 2}}, 2);
    lvl.Rooms[0].sector(0, 0).FDIndex = 1;
    lvl.Rooms[0].sector(0, 1).FDIndex = 1;
    const ItemTriggers index = BuildItemTriggers(lvl);
    EXPECT_EQ(sectors(index, 1), (std::vector<TriggerSector>{{0, 0, 0}, {0, 0, 1}}));
    EXPECT_TRUE(sectors(index, 0).empty());
}

TEST(ItemTriggers, OnlyTheFirstTriggerEntryAndItsObjectOrTargetActionsCount) {
    // Camera 1 with its extra word, then a second trigger entry naming item 2.
    auto lvl = test::floorDataLevel({0, kTrigger, 0, static_cast<std::uint16_t>(0x0400 | 1), kLastEntry,
                                     kTrigger | kLastEntry, 0, object(2, true)},
                                    {{1, 1}}, 3);
    lvl.Rooms[0].sector(0, 0).FDIndex = 1;
    const ItemTriggers index = BuildItemTriggers(lvl);
    for (std::size_t i = 0; i < 3; ++i) EXPECT_TRUE(sectors(index, i).empty()) << i;
}

TEST(ItemTriggers, ParametersPastTheItemsAndItemsFrom512AreNeverListed) {
    // The word 600 (bit 9 set, kind bits clear) reads as OBJECT 88: with 600 items, item 88 is
    // listed and item 600 cannot be.
    auto lvl = test::floorDataLevel({0, kTrigger | kLastEntry, 0, object(600), object(7, true)}, {{1, 1}}, 601);
    lvl.Rooms[0].sector(0, 0).FDIndex = 1;
    ItemTriggers index = BuildItemTriggers(lvl);
    EXPECT_EQ(sectors(index, 88).size(), 1u);
    EXPECT_TRUE(sectors(index, 600).empty());
    // With only 5 items both parameters fall outside and nothing is indexed out of range.
    lvl.Items.resize(5);
    index = BuildItemTriggers(lvl);
    ASSERT_EQ(index.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) EXPECT_TRUE(sectors(index, i).empty()) << i;
}

TEST(ItemTriggers, LevelWithoutItemsOrWithBrokenRoomsGivesAnEmptyIndexSafely) {
    auto lvl = test::floorDataLevel({0, kTrigger | kLastEntry, 0, object(0, true)}, {{2, 2}}, 0);
    lvl.Rooms[0].sector(1, 1).FDIndex = 1;
    EXPECT_TRUE(BuildItemTriggers(lvl).empty());
    // A room whose sector array is shorter than its stated grid, and an index above 32767.
    lvl.Items.resize(1);
    lvl.Rooms[0].Sectors.resize(3);
    lvl.Rooms[0].sector(0, 0).FDIndex = 0x8001;
    EXPECT_TRUE(sectors(BuildItemTriggers(lvl), 0).empty());
}

TEST(ItemTriggers, SectorsSharingAListOfEveryItemAreRefusedPastTheCeilingWithoutBuildingIt) {
    // 130 x 130 sectors share one trigger naming items 0-511: 8.65 million records, past the
    // ceiling. The refusal comes from counting, within a limit far below the records' 100 MB.
    std::vector<std::uint16_t> fd{0, kTrigger | kLastEntry, 0};
    for (int i = 0; i < 512; ++i) fd.push_back(object(i, i == 511));
    auto lvl = test::floorDataLevel(fd, {{130, 130}}, 512);
    for (auto& s : lvl.Rooms[0].Sectors) s.FDIndex = 1;
    {
        test::AllocationLimit limit(32 * 1024 * 1024);
        try {
            BuildItemTriggers(lvl);
            ADD_FAILURE() << "no refusal";
        } catch (const util::Error& e) {
            EXPECT_NE(std::string(e.what()).find("more than 2097152 sector records"), std::string::npos) << e.what();
        }
    }
    // Below the ceiling the same sharing is indexed, each item's list holding every sector once.
    lvl.Rooms[0].NumXSectors = lvl.Rooms[0].NumZSectors = 60;
    lvl.Rooms[0].Sectors.resize(3600);
    test::AllocationLimit limit(32 * 1024 * 1024);
    const ItemTriggers index = BuildItemTriggers(lvl);
    EXPECT_EQ(index[0].Count, 3600);
    EXPECT_EQ(index[511].Sectors.back(), (TriggerSector{0, 59, 59}));
}

TEST(ItemTriggers, SectorsNamingPlacesAlongOneLongListAreEachIndexedByTheTriggerAhead) {
    // One list of 20,000 one-word entries with a trigger for item 2 halfway and one for item 1 at
    // its end; 22,500 sectors name places all along it. Every start is a valid list, so the index
    // must be built (walking each start to its trigger afresh would take over 100 million steps).
    std::vector<std::uint16_t> fd{0};
    auto fill = [&](std::size_t upTo) {
        while (fd.size() < upTo) fd.push_back(kMinecartLeft);
    };
    fill(10000);
    fd.insert(fd.end(), {kTrigger, 0, object(2, true)});
    fill(20000);
    fd.insert(fd.end(), {kTrigger | kLastEntry, 0, object(1, true)});
    auto lvl = test::floorDataLevel(fd, {{150, 150}}, 3);
    for (std::size_t i = 0; i < lvl.Rooms[0].Sectors.size(); ++i)
        lvl.Rooms[0].Sectors[i].FDIndex = static_cast<std::uint16_t>(1 + i % 20000);
    const ItemTriggers index = BuildItemTriggers(lvl);
    // Starts 1-10000 reach item 2's trigger (sectors 0-9999 and 20000-22499); 10001 is its setup
    // word (no list) and 10002 its action read as a closing entry; 10003-20000 reach item 1's.
    EXPECT_EQ(index[2].Count, 12500);
    EXPECT_EQ(index[1].Count, 9998);
    EXPECT_EQ(index[1].Sectors.front(), (TriggerSector{0, 10002 / 150, 10002 % 150}));
    EXPECT_EQ(index[2].Sectors.back(), (TriggerSector{0, 149, 149}));
    EXPECT_EQ(index[0].Count, 0);
}
