// The object-name file: its exact layout, the bounded reader, and the file the build ships.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "editor/ObjectNames.h"
#include "support/TestPaths.h"

using namespace tessarin;
using editor::ObjectNameSections;
using editor::ObjectNameTable;
using editor::ParseObjectNames;
using editor::SerializeObjectNames;

namespace {

ObjectNameSections smallSections() {
    ObjectNameSections s;
    s.tr4 = {"LARA", "PISTOLS_ANIM"};
    s.statics = {"PLANT0"};
    s.tr3 = {"Lara", "minecart"};
    s.tr2 = {"LARA"};
    s.tr1 = {""};
    s.tr5 = {"LARA", "UZI_ANIM", "SHOTGUN_ANIM"};
    return s;
}

std::filesystem::path executableDir() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

}  // namespace

TEST(ObjectNames, FileLayoutHasCountsLengthsAndAZeroAfterOlderNames) {
    ObjectNameSections s;
    s.tr4 = {"AB"};
    s.tr3 = {"C"};
    const auto bytes = SerializeObjectNames(s);
    const std::vector<std::uint8_t> expected = {
        1, 0, 0, 0, 2, 0, 0, 0, 'A', 'B',        // TR4: count, length, characters
        0, 0, 0, 0,                              // statics: none
        1, 0, 0, 0, 1, 0, 0, 0, 'C', 0, 0, 0, 0, // TR3: count, length, character, unused value 0
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};     // TR2, TR1, TR5: none
    EXPECT_EQ(bytes, expected);
}

TEST(ObjectNames, SectionsLandInTheirVersionsAndTR3IsUpperCase) {
    const auto load = ParseObjectNames(SerializeObjectNames(smallSections()));
    ASSERT_FALSE(load.warning) << *load.warning;
    const auto& t = load.names;
    EXPECT_EQ(t.objectName(4, 1), "PISTOLS_ANIM");
    EXPECT_EQ(t.objectName(3, 0), "LARA");
    EXPECT_EQ(t.objectName(3, 1), "MINECART");
    EXPECT_EQ(t.objectName(2, 0), "LARA");
    EXPECT_EQ(t.objectName(1, 0), "");  // an entry of length 0
    EXPECT_EQ(t.objectName(5, 2), "SHOTGUN_ANIM");
    EXPECT_EQ(t.objectName(0, 0), "");  // version 0 is never filled
    EXPECT_EQ(t.staticName(0), "PLANT0");
    for (auto [v, id] : {std::pair{4, 501}, {4, -1}, {6, 0}, {31, 0}, {-1, 0}}) EXPECT_EQ(t.objectName(v, id), "");
    EXPECT_EQ(t.staticName(90), "");

    // The 8-bit characters are Windows' Western code page, upper-cased in the TR3 section too.
    ObjectNameSections western;
    western.tr4 = {"\x80 \x92 \xE9 \x81"};
    western.tr3 = {"\x9A\x9C\x9E\xFF\xE9"};
    const auto names = ParseObjectNames(SerializeObjectNames(western)).names;
    EXPECT_EQ(names.objectName(4, 0), "\u20AC \u2019 \u00E9 \u0081");
    EXPECT_EQ(names.objectName(3, 0), "\u0160\u0152\u017D\u0178\u00C9");
}

TEST(ObjectNames, UnnamedStaticsUpTo80ReadMeshN) {
    ObjectNameSections s;
    for (int i = 0; i < 75; ++i) s.statics.push_back("S" + std::to_string(i));
    const auto t = ParseObjectNames(SerializeObjectNames(s)).names;
    EXPECT_EQ(t.staticName(74), "S74");
    EXPECT_EQ(t.staticName(75), "Mesh 75");
    EXPECT_EQ(t.staticName(80), "Mesh 80");
    EXPECT_EQ(t.staticName(81), "");
    EXPECT_EQ(t.staticName(89), "");
}

TEST(ObjectNames, NamesBeyondTheTableAreReadPastAndIgnored) {
    ObjectNameSections s;
    for (int i = 0; i < 600; ++i) s.tr4.push_back("T" + std::to_string(i));
    for (int i = 0; i < 120; ++i) s.statics.push_back("S" + std::to_string(i));
    s.tr3 = {"after"};
    const auto load = ParseObjectNames(SerializeObjectNames(s));
    ASSERT_FALSE(load.warning);
    EXPECT_EQ(load.names.objectName(4, 500), "T500");
    EXPECT_EQ(load.names.staticName(89), "S89");
    EXPECT_EQ(load.names.objectName(3, 0), "AFTER");  // the next section still starts in the right place
}

TEST(ObjectNames, EveryTruncationLeavesTheTableEmptyWithOneWarning) {
    const auto bytes = SerializeObjectNames(smallSections());
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        const auto load = ParseObjectNames(std::span(bytes.data(), n));
        ASSERT_TRUE(load.warning) << "cut at " << n;
        EXPECT_TRUE(load.names.empty()) << "cut at " << n;
        EXPECT_EQ(load.names.objectName(4, 0), "") << "cut at " << n;
    }
}

TEST(ObjectNames, HugeCountsAreRefusedBeforeAllocating) {
    const std::vector<std::uint8_t> bytes = {0xFF, 0xFF, 0xFF, 0x7F, 1, 0, 0, 0, 'A'};
    const auto load = ParseObjectNames(bytes);
    EXPECT_TRUE(load.warning);
    EXPECT_TRUE(load.names.empty());
}

TEST(ObjectNames, MissingFileGivesAWarningAndEmptyNames) {
    const auto dir = test::scratchDir("names-missing");
    const auto load = editor::LoadObjectNamesBeside(dir);
    ASSERT_TRUE(load.warning);
    EXPECT_NE(load.warning->find("TR4Objects.dat"), std::string::npos);
    EXPECT_TRUE(load.names.empty());
}

TEST(ObjectNames, InstalledLayoutIsFoundInShareFolder) {
    const auto root = test::scratchDir("names-installed");
    std::filesystem::create_directories(root / "bin");
    std::filesystem::create_directories(root / "share" / "tessarin2");
    const auto bytes = SerializeObjectNames(smallSections());
    std::ofstream(root / "share" / "tessarin2" / "TR4Objects.dat", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    const auto load = editor::LoadObjectNamesBeside(root / "bin");
    ASSERT_FALSE(load.warning) << *load.warning;
    EXPECT_EQ(load.names.objectName(4, 0), "LARA");
}

TEST(ObjectNames, TheBuiltFileHoldsEveryTable) {
    const auto path = executableDir() / "TR4Objects.dat";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << path << " not built";
    const auto load = editor::LoadObjectNames(path);
    ASSERT_FALSE(load.warning) << *load.warning;
    const auto& t = load.names;
    for (int v = 1; v <= 5; ++v) EXPECT_EQ(t.objectName(v, 0), "LARA") << "version " << v;
    EXPECT_EQ(t.objectName(3, 17), "MINECART");
    EXPECT_NE(t.objectName(3, 373), "");
    EXPECT_EQ(t.objectName(3, 374), "");
    EXPECT_NE(t.objectName(4, 464), "");
    EXPECT_EQ(t.objectName(4, 465), "");
    EXPECT_NE(t.objectName(5, 459), "");
    EXPECT_NE(t.objectName(2, 264), "");
    EXPECT_EQ(t.objectName(1, 184), "");  // unused slot in the table
    EXPECT_NE(t.objectName(1, 190), "");
    EXPECT_EQ(t.staticName(0), "PLANT0");
    EXPECT_EQ(t.staticName(59), "SHATTER9");
    EXPECT_EQ(t.staticName(60), "Mesh 60");
    EXPECT_EQ(t.staticName(80), "Mesh 80");
    EXPECT_EQ(t.staticName(81), "");
}
