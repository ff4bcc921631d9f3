// The demo recorder driven by a scripted clock and keyboard: header, sampling, capture toggles,
// the size limit, and a demo that survives saving and reading back.
#include <gtest/gtest.h>

#include "demo/DemoScript.h"
#include "level/LevelReader.h"
#include "level/LevelWriter.h"
#include "levelgen/LevelFactory.h"
#include "support/TestPaths.h"

using namespace tessarin;
using demo::DemoRecorder;
using demo::ScriptedDemoInput;

namespace {

level::TRLevel levelWithItems(std::int16_t version) {
    auto l = levelgen::emptyLevel(version);
    l.Rooms.push_back(levelgen::boxRoom(0, 0, 3, 3, 0, -1024));
    level::TRItem other;
    other.ObjectID = 12;
    other.X = 99;
    level::TRItem lara;
    lara.ObjectID = 0;
    lara.Room = 2;
    lara.X = 1536;
    lara.Y = -256;
    lara.Z = 2560;
    lara.Angle = -16384;
    level::TRItem secondLara = lara;
    secondLara.X = 7;
    l.Items = {other, lara, secondLara};
    return l;
}

// A recorder with a level and the scripted machine under it.
struct Rig {
    level::TRLevel level;
    ScriptedDemoInput input;
    DemoRecorder recorder{input};
    explicit Rig(std::int16_t version = level::kVersionTR3) : level(levelWithItems(version)) {
        recorder.StartDemo(level);
    }
    demo::DemoStepResult at(std::uint32_t tick, std::vector<std::uint8_t> keys = {}) {
        input.set(tick, keys);
        return recorder.DemoStep(level);
    }
    std::vector<std::int32_t> inputWords() const {
        return {level.DemoData.begin() + 10, level.DemoData.end()};
    }
};

constexpr std::uint8_t kTab = demo::kScanTab;

}  // namespace

TEST(DemoRecorder, StartThenStopIsTheHeaderOfTheFirstPlayerItemAndTheEndMark) {
    Rig rig;
    EXPECT_EQ(rig.level.NumDemoData, 10);
    ASSERT_TRUE(rig.recorder.StopDemo(rig.level));
    EXPECT_EQ(rig.level.DemoData, (std::vector<std::int32_t>{1536, -256, 2560, 0, -16384, 0, 2, 1, 0, 0, -1}));
    EXPECT_EQ(rig.level.NumDemoData, 44);

    // A second Stop, or a Stop with no demo started, changes nothing.
    const auto closed = rig.level.DemoData;
    EXPECT_FALSE(rig.recorder.StopDemo(rig.level));
    EXPECT_EQ(rig.level.DemoData, closed);
    EXPECT_EQ(rig.level.NumDemoData, 44);
    ScriptedDemoInput input;
    DemoRecorder fresh(input);
    auto untouched = levelWithItems(level::kVersionTR2);
    EXPECT_FALSE(fresh.StopDemo(untouched));
    EXPECT_TRUE(untouched.DemoData.empty());
    EXPECT_EQ(untouched.NumDemoData, 0);
}

TEST(DemoRecorder, LevelWithoutPlayerOrOfAnotherVersion) {
    auto noLara = levelgen::emptyLevel(level::kVersionTR2);
    ScriptedDemoInput input;
    DemoRecorder recorder(input);
    ASSERT_TRUE(recorder.StartDemo(noLara));
    EXPECT_EQ(noLara.DemoData, (std::vector<std::int32_t>{0, 0, 0, 0, 0, 0, 0, 1, 0, 0}));

    for (std::int16_t version : {level::kVersionTR1, level::kVersionTR4, level::kVersionTR5}) {
        auto l = levelWithItems(version);
        l.DemoData = {5};
        l.NumDemoData = 4;
        EXPECT_FALSE(recorder.StartDemo(l)) << version;
        EXPECT_EQ(l.DemoData, std::vector<std::int32_t>{5}) << version;
    }
}

TEST(DemoRecorder, TabTogglesEveryHundredMillisecondsWithABeepAndWordsComeOnlyWhileCapturing) {
    Rig rig;
    rig.at(1000);                 // first step: both ticks start here
    rig.at(1100, {kTab});         // exactly 100 ms: not yet
    EXPECT_FALSE(rig.recorder.DemoCapture);
    EXPECT_EQ(rig.input.beeps(), 0);
    // The capture is still off at this sample: the tick moves on, nothing is appended.
    EXPECT_EQ(rig.recorder.LastSampleTick, 1100u);
    auto r = rig.at(1101, {kTab});
    EXPECT_TRUE(r.Toggled);
    EXPECT_TRUE(rig.recorder.DemoCapture);
    EXPECT_EQ(rig.input.beeps(), 1);
    EXPECT_EQ(rig.level.NumDemoData, 10);
    // Held TAB switches again after another 100 ms, not before.
    rig.at(1201, {kTab});
    EXPECT_TRUE(rig.recorder.DemoCapture);
    rig.at(1202, {kTab});
    EXPECT_FALSE(rig.recorder.DemoCapture);
    EXPECT_EQ(rig.recorder.toggles(), 2);
    EXPECT_EQ(rig.input.beeps(), 2);
    EXPECT_EQ(rig.inputWords(), std::vector<std::int32_t>{0}) << "one sample while the capture was on";
}

TEST(DemoRecorder, SamplesGatherEveryKeySeenAndKeepHeldKeysInEachWord) {
    Rig rig;
    rig.at(1000, {kTab});
    rig.at(1101, {kTab});  // capture on; this step samples too, with the word gathered so far
    ASSERT_TRUE(rig.recorder.DemoCapture);
    const auto base = rig.inputWords().size();
    // Left, then Right, within one sample: both bits. A sample needs more than 33.3 ms.
    rig.at(1110, {demo::kScanLeft});
    rig.at(1134, {demo::kScanRight});  // 33 ms: no sample yet
    EXPECT_EQ(rig.inputWords().size(), base);
    rig.at(1135, {demo::kScanUp, demo::kScanSpace});  // 34 ms
    // Up held over two more samples, with Ctrl and Alt on both sides.
    rig.at(1169, {demo::kScanUp, demo::kScanRightCtrl, demo::kScanLeftAlt});
    rig.at(1203, {demo::kScanUp, demo::kScanLeftCtrl, demo::kScanRightAlt, demo::kScanComma, demo::kScanSlash});
    auto words = rig.inputWords();
    ASSERT_EQ(words.size(), base + 3);
    EXPECT_EQ(words[base], 4 | 8 | 1 | 32);
    EXPECT_EQ(words[base + 1], 1 | 64 | 16);
    EXPECT_EQ(words[base + 2], 1 | 64 | 16 | 0x80000) << "TR3 walks with ','; '/' is TR2's key";
    EXPECT_EQ(rig.level.NumDemoData, static_cast<std::int16_t>(rig.level.DemoData.size()));

    Rig tr2(level::kVersionTR2);
    tr2.at(1000, {kTab});
    tr2.at(1101, {kTab});
    tr2.at(1140, {demo::kScanComma});
    tr2.at(1180, {demo::kScanSlash});
    words = tr2.inputWords();
    ASSERT_GE(words.size(), 2u);
    EXPECT_EQ(words[words.size() - 2], 0);
    EXPECT_EQ(words.back(), 0x80000);
}

TEST(DemoRecorder, StepsAtTheWindowsIntervalGiveAboutThirtyWordsASecond) {
    // The game plays a word a frame at 30 frames a second, so a demo recorded slower plays faster.
    Rig rig;
    rig.at(1000, {kTab});
    rig.at(1101, {kTab});
    ASSERT_TRUE(rig.recorder.DemoCapture);
    const auto base = rig.inputWords().size();
    // Every third step comes a millisecond late, as a timer's steps do on a busy desktop.
    for (std::uint32_t k = 1; k * demo::kDemoStepMs <= 1020; ++k) rig.at(1101 + k * demo::kDemoStepMs + (k % 3 == 1));
    EXPECT_GE(rig.inputWords().size() - base, 28u);
}

TEST(DemoRecorder, AFullDemoStopsCapturingOnceAndClosesAt8191Words) {
    Rig rig;
    rig.at(1000, {kTab});
    rig.at(1101, {kTab});
    int fullReports = 0;
    std::uint32_t tick = 1101;
    for (int i = 0; i < 8300; ++i) {
        tick += 40;
        // TAB now and then: once full, it can't switch the capture back on.
        const bool tab = rig.recorder.demoFull() && i % 10 == 0;
        auto r = rig.at(tick, tab ? std::vector<std::uint8_t>{kTab, demo::kScanUp} : std::vector<std::uint8_t>{demo::kScanUp});
        fullReports += r.BecameFull ? 1 : 0;
    }
    EXPECT_EQ(fullReports, 1);
    EXPECT_FALSE(rig.recorder.DemoCapture);
    EXPECT_EQ(rig.level.DemoData.size(), 8190u);
    EXPECT_EQ(rig.recorder.toggles(), 1);
    rig.recorder.StopDemo(rig.level);
    EXPECT_EQ(rig.level.DemoData.size(), 8191u);
    EXPECT_EQ(rig.level.NumDemoData, 32764);
    EXPECT_TRUE(level::SerializeLevel(rig.level));
}

TEST(DemoRecorder, RecordedDemoIsSavedAndReadBackWordForWord) {
    auto script = demo::parseDemoScript("1000\n1101 15\n1140 203 57\r\n1180\t205\n1220 15\n1330 15 208\n1380 208\n");
    ASSERT_TRUE(script) << script.error();
    auto level = levelWithItems(level::kVersionTR2);
    auto run = demo::RecordDemoScript(level, *script);
    ASSERT_TRUE(run) << run.error();
    EXPECT_EQ(run->Toggles, 3);
    // TAB at 1220 ends the capture after that step's sample; TAB at 1330 starts it again.
    EXPECT_EQ(level.DemoData, (std::vector<std::int32_t>{1536, -256, 2560, 0, -16384, 0, 2, 1, 0, 0,
                                                          4 | 32, 8, 0, 2, -1}));
    const auto path = test::scratchDir("demo-roundtrip") / "demo.tr2";
    ASSERT_TRUE(level::SaveLevel(path, level));
    auto back = level::LoadLevel(path);
    ASSERT_TRUE(back) << back.error();
    EXPECT_EQ(back->NumDemoData, 60);
    EXPECT_EQ(back->DemoData, level.DemoData);
}

TEST(DemoScript, OnlyStepsAfterTheDemoFilledUpCountAsLost) {
    std::vector<demo::DemoScriptStep> steps = {{50, {}}, {151, {15}}};
    for (std::uint32_t k = 1; k <= 8180; ++k) steps.push_back({160 + 40 * k, {72}});
    auto level = levelWithItems(level::kVersionTR2);
    auto exact = demo::RecordDemoScript(level, steps);
    ASSERT_TRUE(exact) << exact.error();
    EXPECT_EQ(level.DemoData.size(), demo::kMaxDemoWords);
    EXPECT_FALSE(exact->Full);
    steps.push_back({160 + 40 * 8181, {72}});
    EXPECT_TRUE(demo::RecordDemoScript(level, steps)->Full);
}

TEST(DemoScript, MalformedLinesAreRefusedWithTheirLineNumber) {
    EXPECT_TRUE(demo::parseDemoScript("")->empty());
    EXPECT_EQ(demo::parseDemoScript("5 0 255\n")->at(0).Keys, (std::vector<std::uint8_t>{0, 255}));
    EXPECT_EQ(demo::parseDemoScript("4294967295")->at(0).Tick, 4294967295u);
    // A byte-order mark before the first line, and zeros before a number, as editors may write them.
    EXPECT_EQ(demo::parseDemoScript("\xEF\xBB\xBF" "0000000000100 015\n")->at(0).Keys, (std::vector<std::uint8_t>{15}));
    // A control byte in a refused field is shown, not left to end the message where it is printed.
    EXPECT_EQ(demo::parseDemoScript(std::string_view("100 15\0 200\n", 12)).error(),
              "script line 1: scan code \"15\\x00\" is not a number from 0 to 255");
    for (const char* bad : {"10\n\n20\n", "0 200\n", "-5\n", "10 256\n", "10 2x\n", "x\n", "10 -1\n",
                            "4294967296\n", "10 +3\n"}) {
        auto r = demo::parseDemoScript(bad);
        ASSERT_FALSE(r) << bad;
        EXPECT_NE(r.error().find("script line "), std::string::npos) << r.error();
    }
}
