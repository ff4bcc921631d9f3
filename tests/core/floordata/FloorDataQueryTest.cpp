// The floor-data queries on small hand-made word lists. Word 0 of every array is the unused
// filler real levels carry, so lists start at index 1.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "floordata/FloorData.h"
#include "floordata/FloorDataQueries.h"
#include "floordata/FloorDataWalk.h"

using namespace tessarin;
using namespace tessarin::floordata;

namespace {

using Words = std::vector<std::uint16_t>;

constexpr std::uint16_t kLast = 0x8000;
// Action words: kind in bits 10-13, parameter in bits 0-8.
constexpr std::uint16_t action(int kind, int parameter, bool last = false) {
    return static_cast<std::uint16_t>((kind << 10) | parameter | (last ? kLast : 0));
}
// A trigger function word of the given type.
constexpr std::uint16_t trigger(int type, bool last = false) {
    return static_cast<std::uint16_t>(kTrigger | (type << 8) | (last ? kLast : 0));
}

level::TRSector sectorAt(std::uint16_t fdIndex) {
    level::TRSector s;
    s.FDIndex = fdIndex;
    return s;
}

}  // namespace

TEST(FloorData, EveryQueryAnswersNoListForIndexZeroPastTheEndAndAbove32767) {
    // Word 0 and the words from 32768 + 1 hold entries a query must never see.
    Words fd(32800, 0);
    fd[0] = kMonkey | kLast;
    fd[0x8001] = kMonkey;
    fd[0x8002] = trigger(0, true);
    fd[0x8004] = action(kActionObject, 0, true);
    const std::uint16_t size = static_cast<std::uint16_t>(fd.size());
    for (std::uint16_t index : {std::uint16_t{0}, size, std::uint16_t(size + 1), std::uint16_t{0x8001}}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(GetSectorFlags(fd, index), 0);
        EXPECT_EQ(GetTriggerKey(fd, index), -1);
        EXPECT_TRUE(GetTriggerActions(fd, index).empty());
        EXPECT_FALSE(SectorTriggersItem(fd, sectorAt(index), 0));
        std::uint16_t stripped = index;
        StripTR3FloorData(fd, stripped);
        EXPECT_EQ(stripped, index);
        FloorDataQueries shared(fd);
        EXPECT_EQ(shared.GetSectorFlags(index), 0);
        EXPECT_EQ(shared.GetTriggerKey(index), -1);
        shared.StripTR3FloorData(stripped);
        EXPECT_EQ(stripped, index);
    }
    EXPECT_EQ(GetDoor(fd, 0), -1);
    EXPECT_EQ(GetDoor(fd, size), -1);
    EXPECT_EQ(FloorDataQueries(fd).GetDoor(size), -1);
}

TEST(FloorData, DoorIndexWrapsAt8192EvenAbove32767) {
    Words fd(20, 0);
    fd[10] = kDoor | kLast;
    fd[11] = 0x0307;  // only the low byte names the room
    EXPECT_EQ(GetDoor(fd, 10), 7);
    EXPECT_EQ(GetDoor(fd, 8192 + 10), 7);
    EXPECT_EQ(GetDoor(fd, 32768 + 10), 7);
    EXPECT_EQ(GetDoor(fd, 65535 - 8191 + 10), 7);
    EXPECT_EQ(GetDoor(fd, 8192), -1);  // wraps to 0, which is no list
    EXPECT_EQ(GetDoor(fd, 8192 + 20), -1);
}

TEST(FloorData, DoorIsFoundBehindOtherEntriesButNotBehindAnUnknownCode) {
    EXPECT_EQ(GetDoor(Words{0, kFloorSlope, 0x0102, kTrigger, 0, action(0, 1, true), kDoor | kLast, 200}, 1), 200);
    EXPECT_EQ(GetDoor(Words{0, kFloorSlope | kLast, 0, kDoor | kLast, 4}, 1), -1);  // a later list
    EXPECT_EQ(GetDoor(Words{0, 0x0016, kDoor | kLast, 4}, 1), -1);
    EXPECT_EQ(GetDoor(Words{0, kKill, kDoor}, 1), -1);  // door entry cut by the end of the array
}

TEST(FloorData, SectorFlagsCombineClimbMonkeyAndMinecartBits) {
    EXPECT_EQ(GetSectorFlags(Words{0, 0x0506, kMonkey | kLast}, 1), 21);
    EXPECT_EQ(GetSectorFlags(Words{0, kMinecartLeft, kMinecartRight | kLast}, 1), kFlagCode20 | kFlagCode21);
    // Pressing FD20 twice must still read as a left turn only, never as code 21.
    EXPECT_EQ(GetSectorFlags(Words{0, kMinecartLeft, kMinecartLeft, kFloorSlope | kLast, 0}, 1), kFlagCode20);
    EXPECT_EQ(GetSectorFlags(Words{0, 0x0306, 0x0906 | kLast}, 1), 0x0B);
    EXPECT_EQ(GetSectorFlags(Words{0, kDoor, 3, kKill | kLast}, 1), 0);
}

TEST(FloorData, SectorFlagsKeepWhatWasReadBeforeAnUnknownCodeOrTheEnd) {
    EXPECT_EQ(GetSectorFlags(Words{0, 0x0306, 0x0000, kMonkey | kLast}, 1), 3);
    EXPECT_EQ(GetSectorFlags(Words{0, 0x0306, 0x001F, kMonkey | kLast}, 1), 3);
    EXPECT_EQ(GetSectorFlags(Words{0, 0x0306, kMonkey}, 1), 3 | kFlagMonkey);
    // Bits 5-7 are not part of the code: 0x00F3 is code 19.
    EXPECT_EQ(GetSectorFlags(Words{0, 0x80F3}, 1), kFlagMonkey);
}

TEST(FloorData, SectorFlagsWalkPastEveryKnownEntryLength) {
    // One entry of every code 1-19 before a closing code 21: the flag only appears when every
    // length along the way was right.
    Words fd{0};
    for (int code = 1; code <= 19; ++code) {
        fd.push_back(static_cast<std::uint16_t>(code));
        if (code == kTrigger) {
            fd.push_back(0);
            fd.push_back(action(kActionCamera, 1, true));  // bit 15 of the action word is not the end
            fd.push_back(0x0000);
            fd.push_back(action(kActionFlyby, 2));
            fd.push_back(kLast);
        } else if (code <= 3 || (code >= kFirstTriangle && code <= kLastTriangle)) {
            fd.push_back(0x7FFF);  // a second word that would be a trigger if read as an entry
        }
    }
    fd.push_back(kMinecartRight | kLast);
    EXPECT_EQ(GetSectorFlags(fd, 1), kFlagMonkey | kFlagCode21);
}

TEST(FloorData, TriggerKeyPacksTypeParameterAndKindOfTheFirstAction) {
    const Words fd{0, trigger(2, true), 0x3E00, action(kActionObject, 7), action(kActionTarget, 3, true)};
    EXPECT_EQ(GetTriggerKey(fd, 1), 2 + 32 * 7);
    const Words camera{0, kDoor, 1, trigger(12, true), 0, action(kActionCamera, 3), kLast};
    const std::int32_t key = GetTriggerKey(camera, 1);
    EXPECT_EQ(key, 12 + 32 * 3 + 16384 * 1);
    EXPECT_EQ((key & 0x3FE0) / 32, 3);
    EXPECT_EQ((key & 0x3C000) / 16384, 1);
    EXPECT_EQ(key & 0x1F, 12);
}

TEST(FloorData, ParameterIsNineBitsAndKindIgnoresBitsNineAndFourteen) {
    // 600 = 0x258: bit 9 set, so the parameter reads as 88.
    const Words fd{0, trigger(0, true), 0, static_cast<std::uint16_t>(600 | 0x4000 | kLast)};
    EXPECT_EQ(GetTriggerKey(fd, 1), 32 * 88);
    EXPECT_TRUE(SectorTriggersItem(fd, sectorAt(1), 88));
    EXPECT_FALSE(SectorTriggersItem(fd, sectorAt(1), 600));
}

TEST(FloorData, TriggerKeyIsMinusOneWithoutAWholeTrigger) {
    EXPECT_EQ(GetTriggerKey(Words{0, kFloorSlope | kLast, 0}, 1), -1);
    EXPECT_EQ(GetTriggerKey(Words{0, 0x0017, trigger(0, true), 0, action(0, 1, true)}, 1), -1);
    EXPECT_EQ(GetTriggerKey(Words{0, trigger(0, true), 0, action(0, 1)}, 1), -1);  // runs off the end
    EXPECT_EQ(GetTriggerKey(Words{0, trigger(0, true), 0, action(kActionCamera, 1, true)}, 1), -1);
}

TEST(FloorData, CameraExtraWordIsSkippedAndNotCounted) {
    const Words fd{0, trigger(0, true), 0x0100, action(kActionCamera, 2), 0x0000, action(kActionObject, 5, true)};
    const auto actions = GetTriggerActions(fd, 1);
    ASSERT_EQ(actions.size(), 2u);
    EXPECT_EQ(actions[0].ActionKind, kActionCamera);
    EXPECT_EQ(actions[0].Parameter, 2);
    EXPECT_EQ(actions[1].ActionKind, kActionObject);
    EXPECT_EQ(actions[1].Parameter, 5);
    EXPECT_EQ(actions[1].Setup, 0x0100);
    EXPECT_TRUE(SectorTriggersItem(fd, sectorAt(1), 5));
    EXPECT_FALSE(SectorTriggersItem(fd, sectorAt(1), 2));
}

TEST(FloorData, ExtraWordBitFifteenEndsCameraAndFlybyActions) {
    for (int kind : {int{kActionCamera}, int{kActionFlyby}}) {
        SCOPED_TRACE(kind);
        // The action word's own bit is clear, the extra word's is set: the trigger ends there and
        // the door after it is the next entry.
        const Words ends{0, trigger(1), 0, action(kind, 4), kLast, kDoor | kLast, 6};
        EXPECT_EQ(GetTriggerActions(ends, 1).size(), 1u);
        EXPECT_EQ(GetDoor(ends, 1), 6);
        // The action word's own bit is set, the extra word's is clear: the trigger goes on.
        const Words goesOn{0, trigger(1, true), 0, action(kind, 4, true), 0, action(kActionTarget, 9, true)};
        EXPECT_EQ(GetTriggerActions(goesOn, 1).size(), 2u);
        EXPECT_TRUE(SectorTriggersItem(goesOn, sectorAt(1), 9));
    }
}

TEST(FloorData, KindsFourteenAndFifteenAreReadAsSuchWithoutExtraWord) {
    const Words fd{0, trigger(0, true), 0, 0x3800 | 3, 0x3C00 | 4, action(kActionObject, 1, true)};
    const auto actions = GetTriggerActions(fd, 1);
    ASSERT_EQ(actions.size(), 3u);
    EXPECT_EQ(actions[0].ActionKind, 14);
    EXPECT_EQ(actions[1].ActionKind, 15);
    EXPECT_EQ(actions[2].Parameter, 1);
}

TEST(FloorData, TriggerActionsOfSeveralEntriesCarryTheirOwnTypeAndSetup) {
    const Words fd{0, trigger(2), 0x0111, action(kActionObject, 1), action(kActionFlipEffect, 2, true),
                   kKill, trigger(6, true), 0x0222, action(kActionTarget, 3, true)};
    const auto actions = GetTriggerActions(fd, 1);
    ASSERT_EQ(actions.size(), 3u);
    const TriggerAction expected[] = {{2, 0x0111, kActionObject, 1}, {2, 0x0111, kActionFlipEffect, 2},
                                      {6, 0x0222, kActionTarget, 3}};
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(actions[i].TriggerType, expected[i].TriggerType);
        EXPECT_EQ(actions[i].Setup, expected[i].Setup);
        EXPECT_EQ(actions[i].ActionKind, expected[i].ActionKind);
        EXPECT_EQ(actions[i].Parameter, expected[i].Parameter);
    }
    // Only the first trigger entry counts for the key and for naming items.
    EXPECT_EQ(GetTriggerKey(fd, 1), 2 + 32 * 1);
    EXPECT_TRUE(SectorTriggersItem(fd, sectorAt(1), 1));
    EXPECT_FALSE(SectorTriggersItem(fd, sectorAt(1), 3));
}

TEST(FloorData, TriggerActionsStopAtAnUnknownCodeOrACutEntry) {
    const Words unknown{0, trigger(0), 0, action(kActionObject, 1, true), 0x0000, trigger(0, true), 0,
                        action(kActionObject, 2, true)};
    EXPECT_EQ(GetTriggerActions(unknown, 1).size(), 1u);
    const Words cut{0, trigger(0), 0, action(kActionObject, 1, true), trigger(0), 0, action(kActionObject, 2)};
    EXPECT_EQ(GetTriggerActions(cut, 1).size(), 1u);
    // A trigger longer than any a game holds reads as cut, so a list without its closing bit is never
    // scanned to the end of a large array again and again.
    for (const std::size_t count : {detail::kMaxTriggerActions, detail::kMaxTriggerActions + 1}) {
        Words big{0, trigger(0, true), 0};
        big.insert(big.end(), count - 1, action(kActionObject, 1));
        big.push_back(action(kActionObject, 2, true));
        EXPECT_EQ(GetTriggerActions(big, 1).size(), count == detail::kMaxTriggerActions ? count : 0u);
    }
}

TEST(FloorData, TriggerActionsUpToALimitAreTheFirstOnesWhileTheCountTakesThemAll) {
    // A damaged list chaining one-action triggers without its closing bit, the last one closed.
    Words fd{0};
    for (int i = 0; i < 50; ++i) fd.insert(fd.end(), {trigger(i % 13, i == 49), 0, action(kActionObject, i, true)});
    EXPECT_EQ(CountTriggerActions(fd, 1), 50u);
    const auto all = GetTriggerActions(fd, 1);
    ASSERT_EQ(all.size(), 50u);
    const auto first = GetTriggerActions(fd, 1, 7);
    ASSERT_EQ(first.size(), 7u);
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].TriggerType, all[i].TriggerType);
        EXPECT_EQ(first[i].Parameter, i);
    }
    EXPECT_EQ(GetTriggerActions(fd, 4, 1000).size(), 49u);
    EXPECT_EQ(CountTriggerActions(fd, 2), 0u);
}

TEST(FloorData, OnlyObjectAndTargetActionsNameItems) {
    for (int kind = 0; kind < 16; ++kind) {
        const Words fd{0, trigger(0, true), 0, action(kind, 7, true), kLast};
        EXPECT_EQ(SectorTriggersItem(fd, sectorAt(1), 7), kind == kActionObject || kind == kActionTarget) << kind;
    }
    const Words fd{0, trigger(0, true), 0, action(kActionObject, 7, true)};
    EXPECT_FALSE(SectorTriggersItem(fd, sectorAt(1), 512 + 7));
    EXPECT_FALSE(SectorTriggersItem(fd, sectorAt(1), -1));
}

TEST(FloorData, StripClearsIndexForCodesTheTR2FormatLacks) {
    auto strip = [](const Words& fd) {
        std::uint16_t index = 1;
        StripTR3FloorData(fd, index);
        return index;
    };
    EXPECT_EQ(strip(Words{0, kDoor, 2, kFloorSlope, 0, trigger(0), 0, action(0, 1, true), kKill, 0x8306}), 1);
    EXPECT_EQ(strip(Words{0, kFloorSlope, 0, 0x8007, 0}), 0);
    EXPECT_EQ(strip(Words{0, kMinecartRight | kLast}), 0);
    EXPECT_EQ(strip(Words{0, kMonkey, kFloorSlope | kLast, 0}), 0);
    EXPECT_EQ(strip(Words{0, kFloorSlope, 0, 0x0018}), 0);
    EXPECT_EQ(strip(Words{0, kFloorSlope, 0}), 0);  // runs off the end
}

TEST(FloorData, SharedQueriesAnswerAsEachSectorsOwnWalkWhateverOrderTheyAreAskedIn) {
    std::mt19937 random(20240611);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    auto expectSameAnswers = [&](const Words& fd, std::vector<std::uint16_t> indices) {
        std::shuffle(indices.begin(), indices.end(), random);
        FloorDataQueries shared(fd);
        for (std::uint16_t index : indices) {
            SCOPED_TRACE(testing::Message() << fd.size() << " words, index " << index);
            ASSERT_EQ(shared.GetDoor(index), GetDoor(fd, index));
            ASSERT_EQ(shared.GetSectorFlags(index), GetSectorFlags(fd, index));
            ASSERT_EQ(shared.GetTriggerKey(index), GetTriggerKey(fd, index));
            std::uint16_t sharedStrip = index, strip = index;
            shared.StripTR3FloorData(sharedStrip);
            StripTR3FloorData(fd, strip);
            ASSERT_EQ(sharedStrip, strip);
        }
    };
    // Small arrays of entries of every code, cut, unclosed and overlapping, asked at every index
    // and at door indices that wrap.
    for (int round = 0; round < 1000; ++round) {
        Words fd{0};
        for (const int length = 1 + pick(24); static_cast<int>(fd.size()) < length;) {
            const bool last = pick(4) == 0;
            switch (pick(6)) {
                case 0: fd.push_back(trigger(pick(16), last)); break;
                case 1: fd.push_back(action(pick(16), pick(512), pick(2) == 0)); break;
                case 2: fd.push_back(static_cast<std::uint16_t>(random())); break;
                default: fd.push_back(static_cast<std::uint16_t>((1 + pick(22)) | pick(128) << 8 | (last ? kLast : 0)));
            }
        }
        std::vector<std::uint16_t> indices;
        for (std::uint16_t i = 0; i <= fd.size() + 1; ++i) indices.insert(indices.end(), {i, std::uint16_t(i + 8192)});
        expectSameAnswers(fd, indices);
    }
    // Lists of whole entries running over thousands of entries with hardly a closing bit, asked
    // at places along them.
    for (int round = 0; round < 2; ++round) {
        Words fd{0};
        while (fd.size() < 20000) {
            const auto last = static_cast<std::uint16_t>(pick(5000) == 0 ? kLast : 0);
            const auto sub = static_cast<std::uint16_t>(pick(128) << 8);
            switch (pick(12)) {
                case 0: fd.insert(fd.end(), {static_cast<std::uint16_t>(trigger(pick(16)) | last), 0, action(9, pick(512), true)}); break;
                case 1: fd.insert(fd.end(), {static_cast<std::uint16_t>((pick(2) ? 1 + pick(3) : 7 + pick(12)) | sub | last), 0x0102}); break;
                case 2: fd.push_back(static_cast<std::uint16_t>((pick(2) ? kClimb : 19 + pick(3)) | sub | last)); break;
                default: fd.push_back(kKill | last);
            }
        }
        std::vector<std::uint16_t> indices;
        for (int i = 0; i < 200; ++i) indices.push_back(static_cast<std::uint16_t>(1 + pick(19999)));
        expectSameAnswers(fd, indices);
    }
}
