// Version recognition, refusals and safe saving.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "level/LevelReader.h"
#include "level/LevelWriter.h"
#include "levelgen/LevelBuilder.h"
#include "levelgen/LevelFactory.h"
#include "levelgen/SampleLevels.h"
#include "support/TestPaths.h"
#include "util/ByteWriter.h"
#include "util/FileIO.h"

using namespace tessarin;
using level::TRLevel;

namespace {
std::vector<std::uint8_t> magicOnly(std::uint32_t magic) {
    util::ByteWriter w;
    w.u32(magic);
    return w.data();
}
}  // namespace

TEST(VersionRecognition, MagicAndFileNameDecideTheVersion) {
    EXPECT_EQ(level::versionForMagic(0x20, "a.phd"), 1);
    EXPECT_EQ(level::versionForMagic(0x2D, "a.tr2"), 2);
    EXPECT_EQ(level::versionForMagic(0xFF080038, "a.tr2"), 3);
    EXPECT_EQ(level::versionForMagic(0xFF180038, "a.tr2"), 3);
    EXPECT_EQ(level::versionForMagic(0x00345254, "a.tr4"), 4);
    EXPECT_EQ(level::versionForMagic(0x00345254, "A.TrC"), 5);
    EXPECT_EQ(level::versionForMagic(0x00345254, "trc"), 4);
    EXPECT_EQ(level::versionForMagic(0xFF180034, "a.tr2"), 31);
    EXPECT_EQ(level::versionForMagic(0x12345678, "a.tr2"), 0);
}

TEST(VersionRecognition, TheTR1ExpansionsLevelsHoldThePaletteAfterTheSprites) {
    level::TRLevel l = levelgen::emptyLevel(level::kVersionTR1);
    for (std::size_t i = 0; i < l.Palette.size(); ++i) l.Palette[i] = static_cast<std::uint8_t>(i % 64);
    l.Cameras.resize(2);
    l.Cameras[1].X = 4096;
    levelgen::BuildOptions expansion;
    expansion.tr1PaletteAfterSprites = true;
    const auto tub = levelgen::buildLevel(l, level::kVersionTR1, expansion);
    for (const char* name : {"LEVEL.TUB", "level.tub"}) {
        auto read = level::LoadLevelFromBytes(tub, name);
        ASSERT_TRUE(read) << read.error();
        EXPECT_EQ(read->Palette, l.Palette);
        ASSERT_EQ(read->Cameras.size(), 2u);
        EXPECT_EQ(read->Cameras[1].X, 4096);
    }
    EXPECT_FALSE(level::LoadLevelFromBytes(tub, "level.phd"));
    auto phd = level::LoadLevelFromBytes(levelgen::buildLevel(l, level::kVersionTR1), "level.phd");
    ASSERT_TRUE(phd) << phd.error();
    EXPECT_EQ(phd->Palette, l.Palette);
}

TEST(VersionRecognition, RefusedFilesGiveTheProgramsMessages) {
    auto textures = level::LoadLevelFromBytes(magicOnly(0xFF180034), "t.tr2");
    ASSERT_FALSE(textures);
    EXPECT_EQ(textures.error(), "This level only contains textures!");
    auto unknown = level::LoadLevelFromBytes(magicOnly(0xDEADBEEF), "t.tr2");
    ASSERT_FALSE(unknown);
    EXPECT_EQ(unknown.error(), "Unknown TR version!");
    auto empty = level::LoadLevelFromBytes({}, "t.tr2");
    ASSERT_FALSE(empty);
    EXPECT_NE(empty.error().find("magic"), std::string::npos);
}

TEST(VersionRecognition, MissingFileIsAnErrorNamingIt) {
    auto r = level::LoadLevel("/nonexistent/folder/level.tr2");
    ASSERT_FALSE(r);
    EXPECT_NE(r.error().find("/nonexistent/folder/level.tr2"), std::string::npos);
}

TEST(DemoData, WordCountRoundsHalvesToEven) {
    EXPECT_EQ(level::demoWordCount(0), 0u);
    EXPECT_EQ(level::demoWordCount(-4), 0u);
    EXPECT_EQ(level::demoWordCount(8), 2u);
    EXPECT_EQ(level::demoWordCount(2), 0u);   // 0.5 -> 0
    EXPECT_EQ(level::demoWordCount(6), 2u);   // 1.5 -> 2
    EXPECT_EQ(level::demoWordCount(10), 2u);  // 2.5 -> 2
    EXPECT_EQ(level::demoWordCount(11), 3u);
}

TEST(SaveLevel, OnlyTR2AndTR3AreWrittenAndOtherVersionsLeaveTheFileAlone) {
    const auto dir = test::scratchDir("save-refusals");
    const auto target = dir / "keep.tr2";
    const std::vector<std::uint8_t> old = {1, 2, 3, 4};
    ASSERT_TRUE(util::writeFileSafely(target, old));
    for (std::int16_t v : {0, 1, 4, 5}) {
        TRLevel l;
        l.LevelVersion = v;
        auto st = level::SaveLevel(target, l);
        EXPECT_FALSE(st) << "version " << v;
        EXPECT_EQ(*util::readFile(target), old);
    }
    TRLevel tr4;
    tr4.LevelVersion = 4;
    EXPECT_EQ(level::SaveLevel(dir / "x.tr2", tr4).error(), "TR4 levels can't be saved at the moment!");
    EXPECT_FALSE(std::filesystem::exists(dir / "x.tr2"));
}

TEST(SaveLevel, AShorterLevelReplacesTheOldFileWhole) {
    const auto dir = test::scratchDir("save-shorter");
    const auto target = dir / "level.tr2";
    ASSERT_TRUE(util::writeFileSafely(target, std::vector<std::uint8_t>(50000, 0xAB)));
    TRLevel l;
    l.LevelVersion = 2;
    l.Version = level::kMagicTR2;
    auto bytes = level::SerializeLevel(l);
    ASSERT_TRUE(bytes) << bytes.error();
    ASSERT_TRUE(level::SaveLevel(target, l));
    EXPECT_EQ(std::filesystem::file_size(target), bytes->size());
    auto back = level::LoadLevel(target);
    ASSERT_TRUE(back) << back.error();
    EXPECT_EQ(back->LevelVersion, 2);
}

TEST(SaveLevel, InconsistentRecordsAreRefusedNotWritten) {
    TRLevel l;
    l.LevelVersion = 3;
    l.Boxes.resize(2);  // zones missing
    EXPECT_FALSE(level::SerializeLevel(l));
    l.Zones.resize(20);
    l.Rooms.resize(1);
    l.Rooms[0].NumXSectors = 2;
    l.Rooms[0].NumZSectors = 2;  // but no sectors
    EXPECT_FALSE(level::SerializeLevel(l));
    l.Rooms[0].Sectors.resize(4);
    EXPECT_TRUE(level::SerializeLevel(l));
    l.Rooms[0].Vertices.resize(40000);
    auto tooMany = level::SerializeLevel(l);
    ASSERT_FALSE(tooMany);
    EXPECT_NE(tooMany.error().find("vertices"), std::string::npos);
}

TEST(SaveLevel, AnUnwritableFolderIsReportedAndLeavesNoTemporaryFile) {
    TRLevel l;
    l.LevelVersion = 2;
    auto st = level::SaveLevel("/nonexistent/folder/level.tr2", l);
    ASSERT_FALSE(st);
    EXPECT_NE(st.error().find("Can't write"), std::string::npos);
}

TEST(SaveLevel, AFileMarkedReadOnlyIsNotReplaced) {
    TESSARIN_REQUIRE_LEVEL(path, "tr2-test1.tr2");
    auto l = level::LoadLevel(path);
    ASSERT_TRUE(l);
    const auto target = test::scratchDir("save-readonly") / "level.tr2";
    const std::vector<std::uint8_t> old = {9, 9, 9};
    ASSERT_TRUE(util::writeFileSafely(target, old));
    std::filesystem::permissions(target, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    auto st = level::SaveLevel(target, *l);
    ASSERT_FALSE(st);
    EXPECT_NE(st.error().find("read-only"), std::string::npos);
    EXPECT_EQ(*util::readFile(target), old);

    // Nor is a file its user may not write, in a folder anyone may write to (a colleague's level).
    using std::filesystem::perms;
    const auto shared = test::scratchDir("save-not-mine");
    std::filesystem::permissions(shared, perms::all);
    const auto theirs = shared / "theirs.tr2";
    ASSERT_TRUE(util::writeFileSafely(theirs, old));
    auto refused = [&] {
        const util::Status saved = level::SaveLevel(theirs, *l);
        return !saved && saved.error().find("you may not write to the file") != std::string::npos;
    };
    if (::geteuid() != 0) {
        // Our own file that only its group may write: the owner's bits are the ones that count.
        std::filesystem::permissions(theirs, perms::owner_read | perms::group_read | perms::group_write);
        EXPECT_TRUE(refused());
    } else {
        // Root's file (rw-r--r--), saved as nobody.
        const pid_t child = ::fork();
        if (child == 0) ::_exit(::setgid(65534) == 0 && ::setuid(65534) == 0 && refused() ? 0 : 1);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(*util::readFile(theirs), old);
}

// A save that fails half-way (here: the file may not grow past 1 MiB, as on a full disk) reports
// the system's reason and leaves the old file and no temporary file behind.
TEST(SaveLevel, AWriteFailingHalfWayKeepsTheOldFile) {
    TESSARIN_REQUIRE_LEVEL(path, "tr2-test1.tr2");
    auto l = level::LoadLevel(path);
    ASSERT_TRUE(l);
    const auto dir = test::scratchDir("save-cut-short");
    const auto target = dir / "level.tr2";
    const std::vector<std::uint8_t> old(5000, 0x5A);
    ASSERT_TRUE(util::writeFileSafely(target, old));

    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = 1 << 20;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto st = level::SaveLevel(target, *l);
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);

    ASSERT_FALSE(st);
    EXPECT_EQ(st.error(), "Can't write " + target.string() + ": " + std::strerror(EFBIG));
    EXPECT_EQ(*util::readFile(target), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1);
}

TEST(SaveLevel, ALargeLevelIsBuiltAsTheFileIsStreamed) {
    // Past 16 MiB the bytes are built in place, by two writers that meet among the rooms, rather
    // than through pieces: both ways give one file.
    TRLevel l = levelgen::composeLargeLevel(
        {.version = 3, .rooms = 170, .sectorsPerSide = 20, .items = 50, .facesPerRoom = 1500, .seed = 3});
    l.NumTextiles = 40;
    l.Textile8.resize(std::size_t{40} * level::kTextilePixels);
    l.Textile16.resize(l.Textile8.size());
    for (std::size_t i = 0; i < l.Textile8.size(); ++i) {
        l.Textile8[i] = static_cast<std::uint8_t>(i * 13 + i / 65536);
        l.Textile16[i] = static_cast<std::uint16_t>(i * 7919);
    }
    const auto built = level::SerializeLevel(l);
    ASSERT_TRUE(built) << built.error();
    ASSERT_GE(built->size(), std::size_t{16} << 20);
    const auto target = test::scratchDir("save-large") / "large.tr2";
    ASSERT_TRUE(level::SaveLevel(target, l));
    const auto streamed = util::readFile(target);
    ASSERT_TRUE(streamed) << streamed.error();
    EXPECT_TRUE(*streamed == *built);
}
