// The inflate bound: a stated size is believed only as far as the stream bears it out.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <zlib.h>

#include <random>
#include <vector>

#include "util/Inflate.h"
#include "util/Result.h"

using namespace tessarin;

namespace {

std::vector<std::uint8_t> deflate(const std::vector<std::uint8_t>& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::vector<std::uint8_t> out(size);
    compress(out.data(), &size, data.data(), static_cast<uLong>(data.size()));
    out.resize(size);
    return out;
}

long peakRssKiB() {
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    return use.ru_maxrss;
}

}  // namespace

TEST(Inflate, ALyingSizeIsRefusedBeforeAnythingIsAllocatedForIt) {
    // 1 MiB of noise compresses to about 1 MiB, which deflate could stretch to a gigabyte: the
    // ratio check alone would let a header claim that much.
    std::vector<std::uint8_t> noise(std::size_t{1} << 20);
    std::mt19937 rng(5);
    for (auto& b : noise) b = static_cast<std::uint8_t>(rng());
    const auto packed = deflate(noise);
    const std::uint64_t stated = util::kMaxInflatedSize;
    ASSERT_LE(stated, packed.size() * util::kMaxInflateRatio);

    const long before = peakRssKiB();
    try {
        util::inflateChunk(packed, stated, "chunk 4 (level data)");
        FAIL() << "a chunk stating " << stated << " bytes was accepted";
    } catch (const util::Error& e) {
        EXPECT_EQ(std::string(e.what()), "chunk 4 (level data): inflates to 1048576 bytes, not the stated 1073741824");
    }
    EXPECT_LT(peakRssKiB() - before, 64 * 1024) << "memory was taken for the stated size";

    // Past the ceiling nothing is inflated at all; the true size still inflates.
    EXPECT_THROW(util::checkInflatedSize(stated + 1, packed, "chunk"), util::Error);
    EXPECT_EQ(util::inflateChunk(packed, noise.size(), "chunk"), noise);
}

TEST(Inflate, AHighlyCompressedChunkOfTheStatedSizeIsAccepted) {
    // Zero-filled pages shrink far beyond the plausible ratio; counted, they hold what they state.
    const std::vector<std::uint8_t> zeros(std::size_t{3} << 20, 0);
    const auto packed = deflate(zeros);
    ASSERT_GT(zeros.size(), packed.size() * util::kPlausibleRatio);
    EXPECT_EQ(util::inflateChunk(packed, zeros.size(), "chunk 3 (misc textures)"), zeros);
}
