// The minecart edit: copies of sector lists, appends, and the entries put in front.
#include <gtest/gtest.h>

#include "support/FloorDataTestLevel.h"
#include "floordata/FloorData.h"
#include "floordata/FloorDataEdit.h"

using namespace tessarin;
using namespace tessarin::floordata;

namespace {

using Words = std::vector<std::uint16_t>;

// A 2 x 2 room over the words; sector (1, 0) points at index.
level::TRLevel oneSectorLevel(Words fd, std::uint16_t index) {
    auto lvl = test::floorDataLevel(std::move(fd), {{2, 2}});
    lvl.Rooms[0].sector(1, 0).FDIndex = index;
    return lvl;
}

// The words of the sector's list after the edit, read with the copy the edit itself uses.
Words listAfter(const level::TRLevel& lvl) {
    return CopySectorFloorData(lvl, lvl.Rooms[0].sector(1, 0));
}

}  // namespace

TEST(FloorDataEdit, SectorWithoutListGetsClosedMinecartWords) {
    struct Case { MinecartMode mode; Words words; };
    for (const Case& c : {Case{MinecartMode::Left, {0x8014}}, Case{MinecartMode::Right, {0x8015}},
                          Case{MinecartMode::Stop, {0x0014, 0x8015}}}) {
        auto lvl = oneSectorLevel({0, 0x8005}, 0);
        ASSERT_TRUE(AddMinecartEntry(lvl, 0, 1, 0, c.mode));
        EXPECT_EQ(lvl.Rooms[0].sector(1, 0).FDIndex, 2);
        Words expected{0, 0x8005};
        expected.insert(expected.end(), c.words.begin(), c.words.end());
        EXPECT_EQ(lvl.FloorData, expected);
    }
}

TEST(FloorDataEdit, ExistingListIsCopiedBehindTheNewWordsAndLeftInPlace) {
    // A closed slope whose data word happens to have bit 15 set.
    auto lvl = oneSectorLevel({0, 0x8002, 0x8000}, 1);
    ASSERT_TRUE(AddMinecartEntry(lvl, 0, 1, 0, MinecartMode::Stop));
    EXPECT_EQ(lvl.FloorData, (Words{0, 0x8002, 0x8000, 0x0014, 0x0015, 0x8002, 0x8000}));
    EXPECT_EQ(lvl.Rooms[0].sector(1, 0).FDIndex, 3);
    EXPECT_EQ(lvl.Rooms[0].sector(0, 0).FDIndex, 0);  // no other sector moved
}

TEST(FloorDataEdit, PressingLeftTwiceStacksTwoCode20WordsAndStillReadsAsLeft) {
    auto lvl = oneSectorLevel({0, 0x0306, 0x8013}, 1);
    ASSERT_TRUE(AddMinecartEntry(lvl, 0, 1, 0, MinecartMode::Left));
    ASSERT_TRUE(AddMinecartEntry(lvl, 0, 1, 0, MinecartMode::Left));
    EXPECT_EQ(listAfter(lvl), (Words{0x0014, 0x0014, 0x0306, 0x8013}));
    EXPECT_EQ(GetSectorFlags(lvl.FloorData, lvl.Rooms[0].sector(1, 0).FDIndex), 3 | kFlagMonkey | kFlagCode20);
}

TEST(FloorDataEdit, TriggerIsCopiedWholeThroughItsLastAction) {
    // Door, then a trigger of three actions, the second a camera with its extra word; a stray
    // word follows the list and must not be copied.
    const Words list{0x0001, 0x0004, 0x8004, 0x3E00, 0x0003, 0x0402, 0x0000, 0x8807};
    Words fd{0};
    fd.insert(fd.end(), list.begin(), list.end());
    fd.push_back(0x0014);
    auto lvl = oneSectorLevel(fd, 1);
    EXPECT_EQ(listAfter(lvl), list);
    ASSERT_TRUE(AddMinecartEntry(lvl, 0, 1, 0, MinecartMode::Right));
    const std::uint16_t at = lvl.Rooms[0].sector(1, 0).FDIndex;
    EXPECT_EQ(at, fd.size());
    EXPECT_EQ(GetDoor(lvl.FloorData, at), 4);
    EXPECT_EQ(GetTriggerActions(lvl.FloorData, at).size(), 3u);
    EXPECT_EQ(GetSectorFlags(lvl.FloorData, at), kFlagCode21);
}

TEST(FloorDataEdit, ListCutShortIsClosedAfterItsLastWholeEntry) {
    // Unknown code after a slope: the slope's function word gets the last-entry bit.
    auto unknown = oneSectorLevel({0, 0x0002, 0x0000, 0x0016, 0x8005}, 1);
    EXPECT_EQ(listAfter(unknown), (Words{0x8002, 0x0000}));
    ASSERT_TRUE(AddMinecartEntry(unknown, 0, 1, 0, MinecartMode::Left));
    EXPECT_EQ(listAfter(unknown), (Words{0x0014, 0x8002, 0x0000}));

    // 0x0002, 0x8000 is a slope without the last-entry bit (bit 15 of its data word does not
    // count) that runs to the end of the array: closed, or a later append would extend it.
    auto open = oneSectorLevel({0, 0x0002, 0x8000}, 1);
    ASSERT_TRUE(AddMinecartEntry(open, 0, 1, 0, MinecartMode::Stop));
    EXPECT_EQ(open.FloorData, (Words{0, 0x0002, 0x8000, 0x0014, 0x0015, 0x8002, 0x8000}));

    // Running off the end inside a trigger: only the climb before it is kept.
    auto cut = oneSectorLevel({0, 0x0106, 0x0004, 0x0000, 0x0001}, 1);
    EXPECT_EQ(listAfter(cut), (Words{0x8106}));

    // Nothing whole at all: the new words close the list themselves.
    for (const Words& fd : {Words{0, 0x001F}, Words{0, 0x0004, 0x0000}}) {
        auto lvl = oneSectorLevel(fd, 1);
        EXPECT_TRUE(listAfter(lvl).empty());
        ASSERT_TRUE(AddMinecartEntry(lvl, 0, 1, 0, MinecartMode::Stop));
        EXPECT_EQ(listAfter(lvl), (Words{0x0014, 0x8015}));
    }
}

TEST(FloorDataEdit, IndexOutOfRangeIsTreatedAsNoList) {
    for (std::uint16_t index : {std::uint16_t{2}, std::uint16_t{0x9000}}) {
        auto lvl = oneSectorLevel({0, 0x8005}, index);
        ASSERT_TRUE(AddMinecartEntry(lvl, 0, 1, 0, MinecartMode::Left));
        EXPECT_EQ(lvl.FloorData, (Words{0, 0x8005, 0x8014}));
        EXPECT_EQ(lvl.Rooms[0].sector(1, 0).FDIndex, 2);
    }
}

TEST(FloorDataEdit, AppendRefusesOnceTheIndexWouldReadAsNoList) {
    // With 32767 words the new list starts at 32767, the last index a query still reads.
    auto fits = oneSectorLevel(Words(32767, 0), 0);
    ASSERT_TRUE(AddMinecartEntry(fits, 0, 1, 0, MinecartMode::Stop));
    EXPECT_EQ(fits.Rooms[0].sector(1, 0).FDIndex, 32767);
    EXPECT_EQ(GetSectorFlags(fits.FloorData, 32767), kFlagCode20 | kFlagCode21);

    auto full = oneSectorLevel(Words(32768, 0), 1);
    const level::TRLevel before = full;
    const util::Status st = AddMinecartEntry(full, 0, 1, 0, MinecartMode::Stop);
    ASSERT_FALSE(st);
    EXPECT_NE(st.error().find("32767"), std::string::npos) << st.error();
    EXPECT_EQ(full.FloorData, before.FloorData);
    EXPECT_EQ(full.Rooms[0].sector(1, 0).FDIndex, 1);
    EXPECT_FALSE(AppendFloorData(full, {0x8005}));
    EXPECT_EQ(full.FloorData.size(), 32768u);
}

TEST(FloorDataEdit, AppendToEmptyFloorDataKeepsWordZeroFree) {
    level::TRLevel lvl;
    const auto at = AppendFloorData(lvl, {0x0014, 0x8015});
    ASSERT_TRUE(at);
    EXPECT_EQ(*at, 1);
    EXPECT_EQ(lvl.FloorData, (Words{0, 0x0014, 0x8015}));
    const auto next = AppendFloorData(lvl, {0x8005});
    ASSERT_TRUE(next);
    EXPECT_EQ(*next, 3);
}

TEST(FloorDataEdit, BadRoomSectorOrModeIsRefusedWithAReasonAndChangesNothing) {
    auto lvl = oneSectorLevel({0, 0x8005}, 1);
    lvl.Rooms.push_back(level::TRRoom{});  // room 1 has no grid
    const level::TRLevel before = lvl;
    struct Case { int room, x, z; MinecartMode mode; const char* word; };
    for (const Case& c : {Case{-1, 0, 0, MinecartMode::Left, "room -1"}, Case{2, 0, 0, MinecartMode::Left, "room 2"},
                          Case{1, 0, 0, MinecartMode::Left, "no sector grid"},
                          Case{0, 2, 0, MinecartMode::Left, "(2, 0)"}, Case{0, 0, -1, MinecartMode::Left, "(0, -1)"},
                          Case{0, 1, 0, static_cast<MinecartMode>(0), "mode 0"},
                          Case{0, 1, 0, static_cast<MinecartMode>(4), "mode 4"}}) {
        const util::Status st = AddMinecartEntry(lvl, c.room, c.x, c.z, c.mode);
        ASSERT_FALSE(st) << c.word;
        EXPECT_NE(st.error().find(c.word), std::string::npos) << st.error();
    }
    EXPECT_EQ(lvl.FloorData, before.FloorData);
    EXPECT_EQ(lvl.Rooms[0].sector(1, 0).FDIndex, 1);
}
