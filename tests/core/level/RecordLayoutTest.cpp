// Lists copied whole in their file layout hold what the field-by-field reading gives, and a level
// read while the pages behind the reader are given back is the level that was written.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <random>

#include "level/LevelReader.h"
#include "level/RecordIO.h"
#include "levelgen/LevelBuilder.h"
#include "levelgen/SampleLevels.h"
#include "support/LevelCompare.h"
#include "support/TestPaths.h"

using namespace tessarin;
using namespace tessarin::level;

namespace {

// Random bytes for five records at an aligned and at an odd address: the copy (whole, or through
// the aligned batch) must equal the portable decoding, field by field, for every record type that
// claims its file layout.
template <typename T>
void expectCopyMatchesFields(std::mt19937& random) {
    static_assert(io::kFileLayout<T>);
    constexpr std::size_t n = 5;
    std::vector<std::uint8_t> bytes(1 + n * sizeof(T));
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
    for (std::size_t at : {std::size_t{0}, std::size_t{1}}) {
        std::vector<T> copied, decoded;
        util::appendRecords(copied, bytes.data() + at, n, io::decodeRecord<T>, true);
        util::appendRecords(decoded, bytes.data() + at, n, io::decodeRecord<T>, false);
        ASSERT_EQ(copied.size(), n);
        ASSERT_EQ(decoded.size(), n);
        EXPECT_EQ(std::memcmp(copied.data(), decoded.data(), n * sizeof(T)), 0) << typeid(T).name() << " at " << at;
    }
}

}  // namespace

TEST(RecordLayout, ListsCopiedWholeHoldWhatTheFieldsSay) {
    std::mt19937 random(17);
    expectCopyMatchesFields<TRRoomVertex>(random);
    expectCopyMatchesFields<TRRoomSprite>(random);
    expectCopyMatchesFields<TRPortal>(random);
    expectCopyMatchesFields<TRSector>(random);
    expectCopyMatchesFields<TRRoomStatic>(random);
    expectCopyMatchesFields<TRStateChange>(random);
    expectCopyMatchesFields<TRAnimDispatch>(random);
    expectCopyMatchesFields<TRStaticMesh>(random);
    expectCopyMatchesFields<TRSpriteTexture>(random);
    expectCopyMatchesFields<TRSpriteSequence>(random);
    expectCopyMatchesFields<TRCamera>(random);
    expectCopyMatchesFields<TRFlybyCamera>(random);
    expectCopyMatchesFields<TRSoundSource>(random);
    expectCopyMatchesFields<TRBox>(random);
    expectCopyMatchesFields<TRItem>(random);
    expectCopyMatchesFields<TRAIObject>(random);
    expectCopyMatchesFields<TRCinematicFrame>(random);
    expectCopyMatchesFields<TRSoundDetail>(random);
}

TEST(RecordLayout, ALevelReadWhileItsPagesAreGivenBackIsTheLevelWritten) {
    // Big enough that the file is mapped and given back in many steps, and that a TR4 level-data
    // chunk is inflated into pages of its own and given back as it is parsed.
    const auto dir = test::scratchDir("record-layout");
    for (std::int16_t v = 1; v <= 5; ++v) {
        const TRLevel built = levelgen::composeLargeLevel(
            {.version = v, .rooms = 120, .sectorsPerSide = 12, .items = 500, .facesPerRoom = 300, .seed = 3});
        const auto bytes = levelgen::buildLevel(built);
        const auto name = std::string("big") + levelgen::levelExtension(v);
        const auto path = dir / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));

        const auto whole = LoadLevelFromBytes(bytes, name);
        const auto mapped = LoadLevel(path);
        ASSERT_TRUE(whole) << whole.error();
        ASSERT_TRUE(mapped) << mapped.error();
        EXPECT_EQ(test::firstDifference(built, *whole, v), "") << name;
        EXPECT_EQ(test::firstDifference(built, *mapped, v), "") << name;
    }
}
