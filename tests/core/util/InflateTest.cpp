// The inflate bound: a stated size is believed only as far as the stream bears it out.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <zlib.h>

#include <random>
#include <string>
#include <thread>
#include <vector>

#include "util/Adler32.h"
#include "util/Arrival.h"
#include "util/ByteReader.h"
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

TEST(Inflate, FollowedInStepsItEndsAsInOneGo) {
    // Over a megabyte in several steps: a sound stream, one stated too small or too large, one cut
    // short and one damaged inside must give what a single call gives, and always end the arrival.
    std::mt19937 random(5);
    std::vector<std::uint8_t> data(std::size_t{1} << 20 | 12345);
    for (auto& b : data) b = static_cast<std::uint8_t>(random() % 7);
    const auto packed = deflate(data);
    auto cut = packed;
    cut.resize(packed.size() / 2);
    auto damaged = packed;
    damaged[packed.size() / 3] ^= 0x5A;
    auto badCheck = packed;
    badCheck.back() ^= 1;
    struct Case {
        const std::vector<std::uint8_t>* stream;
        std::size_t stated;
    };
    for (const Case c : {Case{&packed, data.size()}, Case{&packed, data.size() - 1}, Case{&packed, data.size() + 1},
                         Case{&cut, data.size()}, Case{&damaged, data.size()}, Case{&badCheck, data.size()}}) {
        std::vector<std::uint8_t> once(c.stated), stepped(c.stated);
        std::string onceError, steppedError;
        try {
            util::inflateChunk(*c.stream, once, "chunk 4 (level data)");
        } catch (const util::Error& e) {
            onceError = e.what();
        }
        util::Arrival arrival;
        std::size_t lastRead = 0;
        bool inputInOrder = true;
        try {
            util::inflateChunk(*c.stream, stepped, "chunk 4 (level data)", &arrival, [&](std::size_t read) {
                inputInOrder = inputInOrder && read > lastRead && read <= c.stream->size();
                lastRead = read;
            });
        } catch (const util::Error& e) {
            steppedError = e.what();
        }
        EXPECT_EQ(steppedError, onceError) << c.stated;
        EXPECT_TRUE(inputInOrder);
        EXPECT_FALSE(arrival.waitFor(c.stated + 1)) << "the arrival ended (waiting for more returns)";
        if (onceError.empty()) {
            EXPECT_TRUE(arrival.waitFor(c.stated));
        }
        if (onceError.empty()) {
            EXPECT_EQ(stepped, data);
        }
    }
}

TEST(Inflate, AReaderFollowsTheInflatingAndStopsWhenItFails) {
    std::vector<std::uint8_t> data(std::size_t{3} << 20);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 7 / 5);
    const auto packed = deflate(data);
    for (bool sound : {true, false}) {
        auto stream = packed;
        if (!sound) stream.resize(stream.size() * 2 / 3);
        std::vector<std::uint8_t> out(data.size());
        util::Arrival arrival;
        std::thread writer([&] {
            try {
                util::inflateChunk(stream, out, "chunk 4 (level data)", &arrival);
            } catch (const util::Error&) {
            }
        });
        util::ByteReader r(out);
        r.follow(&arrival);
        std::uint64_t sum = 0, expected = 0;
        std::string error;
        try {
            for (std::size_t i = 0; i < data.size() / 4; ++i) sum += r.u32();
        } catch (const util::Error& e) {
            error = e.what();
        }
        writer.join();
        for (std::size_t i = 0; i + 4 <= data.size(); i += 4)
            expected += data[i] | data[i + 1] << 8 | data[i + 2] << 16 | std::uint32_t{data[i + 3]} << 24;
        if (sound) {
            EXPECT_EQ(error, "");
            EXPECT_EQ(sum, expected);
        } else {
            EXPECT_NE(error.find("the data stopped arriving"), std::string::npos) << error;
        }
    }
}

// The check value is computed here rather than by zlib: it must be zlib's, from any start, over any
// length (the sums are reduced every 5552 bytes, and bytes of 255 push them furthest), and a stream
// whose check value or trailer is wrong fails as zlib failed it.
TEST(Inflate, TheCheckValueIsZlibsAndAWrongOneFailsTheChunk) {
    std::mt19937 random(11);
    std::vector<std::uint8_t> bytes(std::size_t{1} << 17);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random() % 3 == 0 ? 255 : random());
    for (int trial = 0; trial < 400; ++trial) {
        const std::size_t at = random() % 64;
        const std::size_t n = trial < 100 ? static_cast<std::size_t>(trial) : random() % (bytes.size() - at);
        const std::uint32_t start = trial % 2 ? 1 : (random() % 65521) | (random() % 65521) << 16;
        const std::span<const std::uint8_t> part(bytes.data() + at, n);
        const auto expected = static_cast<std::uint32_t>(::adler32(start, part.data(), static_cast<uInt>(n)));
        ASSERT_EQ(util::adler32(start, part), expected) << n;
        ASSERT_EQ(util::detail::adler32Portable(start, part), expected) << n;
    }
    const std::vector<std::uint8_t> full(3 * 5552 + 77, 255);
    EXPECT_EQ(util::adler32(0xFFF0FFF0, full), ::adler32(0xFFF0FFF0, full.data(), static_cast<uInt>(full.size())));

    const std::vector<std::uint8_t> data(bytes.begin(), bytes.begin() + 70000);
    const auto packed = deflate(data);
    auto message = [&](std::vector<std::uint8_t> stream) {
        try {
            util::inflateChunk(stream, data.size(), "chunk 2");
        } catch (const util::Error& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    EXPECT_EQ(message(packed), "");
    auto wrongCheck = packed;
    wrongCheck[packed.size() - 4] ^= 0x10;
    EXPECT_EQ(message(wrongCheck), "chunk 2: damaged compressed data (incorrect data check)");
    EXPECT_EQ(message({packed.begin(), packed.end() - 2}), "chunk 2: compressed data ends before its stream does");
    auto wrongHeader = packed;
    wrongHeader[1] ^= 1;
    EXPECT_EQ(message(wrongHeader), "chunk 2: damaged compressed data (incorrect header check)");
}
