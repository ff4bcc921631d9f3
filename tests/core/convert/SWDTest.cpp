// Reading and writing the sprite file.
#include <gtest/gtest.h>

#include <random>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "convert/SWD.h"
#include "support/TestPaths.h"
#include "util/ByteWriter.h"
#include "util/FileIO.h"

namespace tessarin::convert {
namespace {

// S sprites on page `tile` (the rest of each record counting bytes), P pixel bytes, Q sequences of
// one sprite each, from sprite `offset`.
std::vector<std::uint8_t> file(std::int32_t s, std::int32_t p, std::int32_t q, std::int16_t tile = 0,
                               std::int16_t offset = 0) {
    util::ByteWriter w;
    w.i32(0x12345678);
    w.i32(s);
    for (std::int32_t i = 0; i < s * 16; ++i) {
        if (i % 16 == 0) w.i16(tile);
        if (i % 16 >= 2) w.u8(static_cast<std::uint8_t>(i));
    }
    w.i32(p);
    for (std::int32_t i = 0; i < p; ++i) w.u8(static_cast<std::uint8_t>(i % 251));
    w.i32(q);
    for (std::int32_t i = 0; i < q; ++i) {
        w.i32(i);
        w.i16(-1);
        w.i16(offset);
    }
    return w.data();
}

TEST(SWD, EmptyFileGivesAnEmptyRecord) {
    auto swd = ParseSWD(file(0, 0, 0));
    ASSERT_TRUE(swd.ok()) << swd.error();
    EXPECT_EQ(swd->Header, 0x12345678);
    EXPECT_TRUE(swd->SpriteTextures.empty());
    EXPECT_TRUE(swd->Pixels.empty());
    EXPECT_TRUE(swd->SpriteSequences.empty());
}

TEST(SWD, OnePageOfPixelsIsRowsZeroTo255) {
    const auto bytes = file(2, 196608, 1);
    auto swd = ParseSWD(bytes);
    ASSERT_TRUE(swd.ok()) << swd.error();
    EXPECT_EQ(swd->rows(), 256u);
    EXPECT_EQ(swd->Pixels[196607], 196607 % 251);
    ASSERT_EQ(swd->SpriteTextures.size(), 2u);
    EXPECT_EQ(swd->SpriteTextures[1].Tile, 0);
    EXPECT_EQ(swd->SpriteTextures[1].X, 18);
    EXPECT_EQ(swd->SpriteSequences.size(), 1u);
    EXPECT_EQ(SerializeSWD(*swd), bytes);
}

TEST(SWD, DamagedFilesAreRefusedWithTheMessage) {
    const auto good = file(1, 768, 1);
    for (std::size_t n = 0; n < good.size(); ++n) {
        auto r = ParseSWD(std::span<const std::uint8_t>(good.data(), n));
        ASSERT_FALSE(r.ok()) << n;
        EXPECT_TRUE(r.error().starts_with("Can't read SWD")) << r.error();
    }
    EXPECT_FALSE(ParseSWD(file(0, 700, 0)).ok());  // not whole rows
    // A count that is no size (another file's bytes) is named as such, not as rows.
    const auto negative = ParseSWD(file(0, -1000, 0));
    ASSERT_FALSE(negative.ok());
    EXPECT_NE(negative.error().find("pixels: negative count"), std::string::npos) << negative.error();
    EXPECT_FALSE(ParseSWD(file(-1, 0, 0)).ok());
    auto huge = file(0, 0, 0);
    huge[4] = 0xFF, huge[5] = 0xFF, huge[6] = 0xFF, huge[7] = 0x7F;  // two thousand million textures
    EXPECT_FALSE(ParseSWD(huge).ok());

    // A sprite file of one's own must keep its sprites on its pages and its sequences among them.
    EXPECT_TRUE(ParseSWD(file(2, 196608 + 768, 1, 1, 1)).ok());  // a second page of one row
    for (const auto& [bytes, text] : {std::pair{file(1, 196608, 0, 1), "sprite texture 0 of 1: page 1, but the pixels make 1 page"},
                                      {file(1, 768, 0, -1), "page -1"},
                                      {file(2, 768, 1, 0, 2), "sprite sequence 0 of 1: sprites 2 to 2, but the file has 2"},
                                      {file(2, 768, 1, 0, -1), "sprites -1 to -1"}}) {
        auto r = ParseSWD(bytes);
        ASSERT_FALSE(r.ok()) << text;
        EXPECT_NE(r.error().find(text), std::string::npos) << r.error();
    }
}

TEST(SWD, MissingFileIsRefusedAndNotCreated) {
    const auto dir = test::scratchDir("swd-missing");
    const auto path = dir / "TR3.swd";
    auto r = ReadSWD(path);
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.error().starts_with("Can't read SWD"));
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_FALSE(ReadSWD(dir).ok());  // a folder
}

TEST(SWD, ProgramFileIsBesideTheExecutableOrInstalledInShare) {
    const auto root = test::scratchDir("swd-beside");
    std::filesystem::create_directories(root / "bin");
    EXPECT_EQ(swdFileBeside(root / "bin"), root / "bin" / "TR3.swd");  // neither: names the first
    const auto installed = root / "bin" / ".." / "share" / "tessarin2" / "TR3.swd";
    std::filesystem::create_directories(installed.parent_path());
    ASSERT_TRUE(util::writeFileSafely(installed, file(0, 0, 0)).ok());
    EXPECT_EQ(swdFileBeside(root / "bin"), installed);
    ASSERT_TRUE(util::writeFileSafely(root / "bin" / "TR3.swd", file(0, 0, 0)).ok());
    EXPECT_EQ(swdFileBeside(root / "bin"), root / "bin" / "TR3.swd");
}

TEST(SWD, PixelsBecomePageTexelsWithMagentaTransparent) {
    EXPECT_EQ(swdPixelTo16(255, 0, 255), 0);
    EXPECT_EQ(swdPixelTo16(255, 255, 255), 0xFFFF);
    EXPECT_EQ(swdPixelTo16(0, 0, 0), 0x8000);
    EXPECT_EQ(swdPixelTo16(255, 0, 254), 0x8000 | 31 << 10 | 31);
    EXPECT_EQ(swdPixelTo16(15, 16, 7), 0x8000 | 1 << 10 | 2 << 5);
    // Packed, the byte above the pixel (the next pixel's red, as a conversion reads them) is ignored.
    for (std::uint32_t c : {0u, 7u, 8u, 127u, 248u, 255u}) {
        EXPECT_EQ(swdTexel(0xA5000000 | c | (255 - c) << 8 | (c ^ 0x55) << 16),
                  swdPixelTo16(static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(255 - c), static_cast<std::uint8_t>(c ^ 0x55)));
    }
    EXPECT_EQ(swdTexel(0xFFFF00FF), 0);
}

TEST(SWD, AWholeRunOfPixelsBecomesTheTexelsOfEachPixel) {
    // Runs of every length around the eight-pixel steps and a page, magenta and its near misses
    // sprinkled in; a byte past the last whole pixel is not one.
    std::mt19937 random(3);
    std::vector<std::uint8_t> rgb(3 * 65536 + 1);
    for (std::size_t i = 0; i + 3 <= rgb.size(); i += 3) {
        const unsigned pick = random() % 8;
        const std::uint32_t pixel = pick == 0 ? 0xFF00FF : pick == 1 ? 0xFF01FF : pick == 2 ? 0xFE00FF : random();
        for (int b = 0; b < 3; ++b) rgb[i + b] = static_cast<std::uint8_t>(pixel >> (8 * b));
    }
    for (std::size_t n : {0, 1, 2, 7, 8, 9, 10, 11, 17, 18, 19, 33, 65536}) {
        std::vector<std::uint16_t> texels(n + 1, 0x1234);
        swdTexels(std::span(rgb.data(), 3 * n + (n % 2)), texels.data());
        for (std::size_t i = 0; i < n; ++i)
            ASSERT_EQ(texels[i], swdPixelTo16(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2])) << n << " " << i;
        EXPECT_EQ(texels[n], 0x1234) << n;
    }
}

// The sprite file the build draws lies beside the test program.
std::filesystem::path builtSWD() {
    std::error_code ec;
    return std::filesystem::read_symlink("/proc/self/exe", ec).parent_path() / "TR3.swd";
}

TEST(SWD, BuiltSpriteFileHasTheTR3SequencesOnItsPages) {
    const auto path = builtSWD();
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "no built sprite file at " << path;
    auto swd = ReadSWD(path);
    ASSERT_TRUE(swd.ok()) << swd.error();
    ASSERT_FALSE(swd->Pixels.empty());
    EXPECT_EQ(swd->Pixels.size() % kSWDPageBytes, 0u);
    const auto pages = static_cast<std::int16_t>(swd->Pixels.size() / kSWDPageBytes);
    std::vector<std::int32_t> ids;
    for (const auto& q : swd->SpriteSequences) {
        ids.push_back(q.SpriteID);
        EXPECT_LE(q.Offset - q.NegativeLength, static_cast<int>(swd->SpriteTextures.size()));
    }
    EXPECT_EQ(ids, (std::vector<std::int32_t>{125, 294, 296, 297, 299, 356}));
    for (const auto& t : swd->SpriteTextures) {
        EXPECT_GE(t.Tile, 0);
        EXPECT_LT(t.Tile, pages);
        EXPECT_LE(t.X + (static_cast<std::uint16_t>(t.Width) >> 8) + 1, 256);
        EXPECT_LE(t.Y + (static_cast<std::uint16_t>(t.Height) >> 8) + 1, 256);
    }
}

}  // namespace
}  // namespace tessarin::convert
