// Rooms read on two threads are the rooms read on one: the same level from a sound file, and from a
// damaged one the same error or the same level, wherever the damage lies.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <thread>

#include "level/LevelReader.h"
#include "level/RoomsReader.h"
#include "levelgen/LevelBuilder.h"
#include "levelgen/SampleLevels.h"
#include "support/LevelCompare.h"
#include "support/TestPaths.h"

using namespace tessarin;
using namespace tessarin::level;

namespace {

util::Result<TRLevel> loadFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes, bool parallel) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    level::detail::setParallelReading(parallel);
    auto l = LoadLevel(path);
    level::detail::setParallelReading(true);
    return l;
}

// Both readings fail alike or give the same level.
void expectSameReading(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes, std::int16_t v,
                       const std::string& what) {
    const auto one = loadFile(path, bytes, false);
    const auto two = loadFile(path, bytes, true);
    ASSERT_EQ(bool(one), bool(two)) << what << ": " << (one ? two.error() : one.error());
    if (one) {
        EXPECT_EQ(test::firstDifference(*one, *two, v), "") << what;
    } else {
        EXPECT_EQ(one.error(), two.error()) << what;
    }
}

}  // namespace

TEST(RoomsReader, TwoThreadsReadWhatOneReads) {
    // Every level on two threads, its pages given back a page at a time behind the rooms read.
    level::detail::setParallelRoomLimits(0, 4096);
    const auto dir = test::scratchDir("rooms-reader");
    for (std::int16_t v = 1; v <= 5; ++v) {
        const TRLevel built = levelgen::composeLargeLevel(
            {.version = v, .rooms = 40, .sectorsPerSide = 8, .items = 100, .facesPerRoom = 100, .seed = 7});
        const auto bytes = levelgen::buildLevel(built);
        const auto path = dir / (std::string("rooms") + levelgen::levelExtension(v));

        const auto two = loadFile(path, bytes, true);
        ASSERT_TRUE(two) << two.error();
        EXPECT_EQ(test::firstDifference(built, *two, v), "") << "TR" << v;

        if (v == kVersionTR5) {
            // A room block stating less than its room uses is refused on the thread that reads it,
            // and read again in order to report it as one thread does.
            auto shrunk = bytes;
            int seen = 0;
            for (std::size_t i = 0; i + 8 <= shrunk.size(); ++i) {
                if (std::memcmp(&shrunk[i], "XELA", 4) != 0 || ++seen != 3) continue;
                shrunk[i + 4] = static_cast<std::uint8_t>(shrunk[i + 4] - 16);
                break;
            }
            const auto read = loadFile(path, shrunk, true);
            ASSERT_FALSE(read);
            EXPECT_EQ(read.error().rfind("room 2 of 40, ", 0), 0u) << read.error();
            expectSameReading(path, shrunk, v, "TR5 room block stating less");
        }
        // TR4's rooms are packed: damage there only reaches zlib, which the chunk tests cover.
        if (v == kVersionTR4) continue;
        std::mt19937 random(static_cast<unsigned>(v));
        for (int trial = 0; trial < 16; ++trial) {
            auto damaged = bytes;
            // Mostly rooms: the generated levels hold little else past their first quarter.
            const std::size_t at = (damaged.size() / 4 + random() % (damaged.size() / 2)) & ~std::size_t{1};
            // A count off by one misaligns what follows; any word may break a count or a size.
            const auto word = static_cast<std::uint16_t>(trial % 2 ? damaged[at] + (damaged[at + 1] << 8) + 1 : random());
            damaged[at] = static_cast<std::uint8_t>(word);
            damaged[at + 1] = static_cast<std::uint8_t>(word >> 8);
            expectSameReading(path, damaged, v, "TR" + std::to_string(v) + " word at " + std::to_string(at));
        }
        // Cut short in its rooms, the level names the room that ends early.
        const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() / 4 * 3));
        const auto cutShort = loadFile(path, cut, true);
        ASSERT_FALSE(cutShort);
        const std::string& e = cutShort.error();
        const std::size_t digits = e.find_first_not_of("0123456789", 5);
        EXPECT_TRUE(e.rfind("room ", 0) == 0 && digits > 5 && digits != std::string::npos &&
                    e.compare(digits, 8, " of 40, ") == 0)
            << e;
    }
    level::detail::resetParallelRoomLimits();
}

TEST(RoomsReader, AReaderHeldUpKeepsTheOtherNearIt) {
    // 64 rooms of 64 KiB, each its size and then nothing: the first room the second thread reads
    // holds it up, and meanwhile this thread must not read rooms past half a give-back step beyond
    // it (their pages could not go back before that room is done).
    constexpr std::size_t kRoom = std::size_t{64} << 10, kRooms = 64, kStep = std::size_t{512} << 10;
    std::vector<std::uint8_t> bytes(kRoom * kRooms);
    for (std::size_t i = 0; i < kRooms; ++i) {
        bytes[i * kRoom] = static_cast<std::uint8_t>(kRoom - 4);
        bytes[i * kRoom + 1] = static_cast<std::uint8_t>((kRoom - 4) >> 8);
    }
    level::detail::setParallelRoomLimits(0, kStep);
    const auto thisThread = std::this_thread::get_id();
    std::atomic<long long> heldAt{-1};
    std::atomic<bool> heldDone{false};
    std::atomic<int> farReads{0};
    const level::detail::RoomReader measure = [](util::ByteReader& r, TRRoom&, std::size_t) { r.skip(r.u32()); };
    const level::detail::RoomReader read = [&](util::ByteReader& r, TRRoom&, std::size_t) {
        const auto start = static_cast<long long>(r.pos());
        if (std::this_thread::get_id() != thisThread) {
            long long none = -1;
            if (heldAt.compare_exchange_strong(none, start)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                heldDone = true;
            }
        } else {
            const long long held = heldAt.load();
            if (held >= 0 && !heldDone && start > held + static_cast<long long>(kStep / 2)) ++farReads;
            std::this_thread::sleep_for(std::chrono::microseconds(300));  // time for the other to start
        }
        r.skip(r.u32());
    };
    util::ByteReader r(bytes);
    std::vector<TRRoom> rooms;
    level::detail::readRooms(r, rooms, kRooms, read, measure);
    level::detail::resetParallelRoomLimits();
    EXPECT_EQ(r.pos(), bytes.size());
    if (heldAt < 0) GTEST_SKIP() << "no second thread took a room";
    EXPECT_EQ(farReads, 0);
}

TEST(RoomsReader, AFailedRoomOnThisThreadReleasesTheOtherWaitingForAMeasure) {
    // This thread measures 8 rooms ahead, takes one, and fails on it slowly; meanwhile the second
    // thread reads the measured rooms and comes to wait for one this thread will never measure.
    constexpr std::size_t kRoom = std::size_t{64} << 10, kRooms = 64;
    std::vector<std::uint8_t> bytes(kRoom * kRooms);
    for (std::size_t i = 0; i < kRooms; ++i) {
        bytes[i * kRoom] = static_cast<std::uint8_t>(kRoom - 4);
        bytes[i * kRoom + 1] = static_cast<std::uint8_t>((kRoom - 4) >> 8);
    }
    level::detail::setParallelRoomLimits(0, std::size_t{64} << 20);
    const auto thisThread = std::this_thread::get_id();
    const level::detail::RoomReader measure = [](util::ByteReader& r, TRRoom&, std::size_t) { r.skip(r.u32()); };
    const level::detail::RoomReader read = [&](util::ByteReader& r, TRRoom&, std::size_t) {
        if (std::this_thread::get_id() == thisThread) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            r.fail("unreadable");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        r.skip(r.u32());
    };
    util::ByteReader r(bytes);
    std::vector<TRRoom> rooms;
    EXPECT_THROW(level::detail::readRooms(r, rooms, kRooms, read, measure), util::Error);
    level::detail::resetParallelRoomLimits();
}
