// The "/convert2" and "/convert3" command-line actions.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "levelgen/LevelBuilder.h"
#include "levelgen/LevelFactory.h"
#include "convert/BatchConvert.h"
#include "convert/SWD.h"
#include "level/LevelReader.h"
#include "support/TestPaths.h"
#include "util/ByteWriter.h"
#include "util/FileIO.h"

namespace tessarin::convert {
namespace {

TEST(BatchConvert, OutputReplacesTheLastThreeCharacters) {
    EXPECT_EQ(convertedPath("C:\\x\\lvl.tr4"), "C:\\x\\lvl.tr2");
    EXPECT_EQ(convertedPath("/x/lvl.TR4"), "/x/lvl.tr2");
    EXPECT_EQ(convertedPath("ab"), "tr2");
    // Characters, not bytes: a UTF-8 name keeps whole characters, a Latin-1 one has a byte each.
    EXPECT_EQ(convertedPath("x.a\u20ACb"), "x.tr2");
    EXPECT_EQ(convertedPath("\u00E9t\u00E9.tr4"), "\u00E9t\u00E9.tr2");
    EXPECT_EQ(convertedPath("x\xE9" "ab"), "xtr2");
    EXPECT_EQ(convertedPath("/x/lvl.tr2"), "/x/lvl.tr2.tr2");  // never the source itself,
    const auto dir = test::scratchDir("batch-link");                 // nor the file a link leads to
    std::filesystem::create_symlink("lvl.tr4", dir / "lvl.tr2");
    std::ofstream(dir / "lvl.tr4") << "TR4";
    EXPECT_EQ(convertedPath((dir / "lvl.tr4").string()), (dir / "lvl.tr4.tr2").string());
}

struct Files {
    std::filesystem::path dir, tr4, swd;
};

Files prepare(const std::string& name) {
    Files f;
    f.dir = test::scratchDir(name);
    f.tr4 = f.dir / "my level.tr4";
    f.swd = f.dir / "TR3.swd";
    level::TRLevel tr4 = levelgen::emptyLevel(level::kVersionTR4);
    tr4.NumTextiles = tr4.NumRoomTextiles = 1;
    EXPECT_TRUE(util::writeFileSafely(f.tr4, levelgen::buildLevel(tr4)).ok());
    SWDData swd;
    swd.Pixels.assign(kSWDPageBytes, 255);
    EXPECT_TRUE(util::writeFileSafely(f.swd, SerializeSWD(swd)).ok());
    return f;
}

TEST(BatchConvert, BothSwitchesWriteTheTr2FileBesideTheLevel) {
    const Files f = prepare("batch-ok");
    for (const std::int16_t target : {level::kVersionTR2, level::kVersionTR3}) {
        auto out = RunBatchConvert(f.tr4.string(), target, f.swd);
        ASSERT_TRUE(out.ok()) << out.error();
        EXPECT_EQ(*out, f.dir / "my level.tr2");
        auto back = level::LoadLevel(*out);
        ASSERT_TRUE(back.ok()) << back.error();
        EXPECT_EQ(back->LevelVersion, target);
        EXPECT_EQ(back->NumTextiles, 2);
    }
}

TEST(BatchConvert, FailuresWriteNothing) {
    const Files f = prepare("batch-fail");
    const auto out = f.dir / "my level.tr2";
    auto noSwd = RunBatchConvert(f.tr4.string(), level::kVersionTR3, f.dir / "none.swd");
    ASSERT_FALSE(noSwd.ok());
    EXPECT_TRUE(noSwd.error().starts_with("Can't read SWD"));
    EXPECT_FALSE(std::filesystem::exists(f.dir / "none.swd"));
    EXPECT_FALSE(RunBatchConvert((f.dir / "absent.tr4").string(), level::kVersionTR3, f.swd).ok());
    EXPECT_FALSE(RunBatchConvert("", level::kVersionTR3, f.swd).ok());
    const auto trc = f.dir / "level.trc";
    std::filesystem::copy_file(f.tr4, trc);
    auto r = RunBatchConvert(trc.string(), level::kVersionTR2, f.swd);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error(), "No TR4 Level!");
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_FALSE(std::filesystem::exists(f.dir / "level.tr2"));
}

}  // namespace
}  // namespace tessarin::convert
