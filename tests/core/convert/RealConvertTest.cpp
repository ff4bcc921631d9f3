// The real TR4 level's data damaged at random: each conversion gives a level or a message.
#include <gtest/gtest.h>

#include <random>

#include <zlib.h>

#include "convert/TR4Converter.h"
#include "support/TestPaths.h"
#include "util/ByteWriter.h"
#include "util/FileIO.h"

namespace tessarin::convert {
namespace {

// The real file with its level data damaged at random places and packed again.
TEST(RealConvert, RandomDamageInTheLevelDataGivesALevelOrAMessage) {
    TESSARIN_REQUIRE_LEVEL(path, "tr4-test1.tr4");
    const auto file = util::readFile(path);
    ASSERT_TRUE(file.ok());
    // Walk past the header and the three texture chunks to the level-data chunk.
    std::size_t pos = 10;
    auto u32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>((*file)[at] | (*file)[at + 1] << 8 | (*file)[at + 2] << 16 | (*file)[at + 3] << 24);
    };
    for (int i = 0; i < 3; ++i) pos += 8 + u32(pos + 4);
    uLongf size = u32(pos);
    std::vector<std::uint8_t> data(size);
    ASSERT_EQ(::uncompress(data.data(), &size, file->data() + pos + 8, u32(pos + 4)), Z_OK);

    SWDData swd;
    swd.Pixels.assign(kSWDPageBytes, 0);
    swd.SpriteTextures.resize(3);
    std::mt19937 random(8);
    for (int round = 0; round < 40; ++round) {
        auto damaged = data;
        for (int k = 0; k < 4; ++k) damaged[random() % damaged.size()] = static_cast<std::uint8_t>(random());
        uLongf packed = compressBound(static_cast<uLong>(damaged.size()));
        std::vector<std::uint8_t> out(file->begin(), file->begin() + static_cast<std::ptrdiff_t>(pos));
        std::vector<std::uint8_t> z(packed);
        ASSERT_EQ(compress2(z.data(), &packed, damaged.data(), static_cast<uLong>(damaged.size()), 1), Z_OK);
        for (std::uint32_t v : {static_cast<std::uint32_t>(damaged.size()), static_cast<std::uint32_t>(packed)})
            for (int b = 0; b < 4; ++b) out.push_back(static_cast<std::uint8_t>(v >> (8 * b)));
        out.insert(out.end(), z.begin(), z.begin() + static_cast<std::ptrdiff_t>(packed));
        out.insert(out.end(), 4, 0);
        for (std::int16_t target : {level::kVersionTR2, level::kVersionTR3}) {
            auto r = ConvertTR4Bytes(out, "x.tr4", target, swd);
            if (r.ok()) EXPECT_EQ(r->Textile16.size(), static_cast<std::size_t>(r->NumTextiles) * level::kTextilePixels);
            else EXPECT_FALSE(r.error().empty());
        }
    }
}

}  // namespace
}  // namespace tessarin::convert
