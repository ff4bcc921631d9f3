// FileBytes: the whole file, whether mapped or read, and still whole after pages are given back; a
// mapped file someone else changes meanwhile is reported, not fatal;
// PageBuffer: what the reader has not passed, or left to others, survives giving back; safe saves
// over large files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "level/LevelReader.h"
#include "levelgen/LevelBuilder.h"
#include "levelgen/SampleLevels.h"
#include "support/TestPaths.h"
#include "util/ByteReader.h"
#include "util/FileBytes.h"
#include "util/FileIO.h"
#include "util/PageBuffer.h"

using namespace tessarin;

TEST(FileBytes, PagesGivenBackReadTheSameAgain) {
    const auto dir = test::scratchDir("filebytes");
    for (std::size_t size : {std::size_t{1000}, std::size_t{3} << 20}) {  // read, and mapped
        std::vector<std::uint8_t> pattern(size);
        for (std::size_t i = 0; i < size; ++i) pattern[i] = static_cast<std::uint8_t>(i * 7 + i / 4096);
        const auto path = dir / "pattern.bin";
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(pattern.data()), static_cast<std::streamsize>(size));

        auto file = util::FileBytes::open(path);
        ASSERT_TRUE(file) << file.error();
        EXPECT_EQ(file->mapped(), size > 1000);
        file->pages().release(size / 2 + 123);
        const auto bytes = file->bytes();
        EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), pattern.begin(), pattern.end()));
    }
    EXPECT_FALSE(util::FileBytes::open(dir / "missing.tr2"));
    EXPECT_NE(util::FileBytes::open(dir).error().find("is a folder"), std::string::npos);
}

TEST(FileBytes, LargeArraysComeFromTheFileAsMappedAndAsRead) {
    // A mapped file hands large arrays over from the file itself, small ones from the mapping; a
    // reader of the same bytes in memory must see the same. An odd offset and pages given back on
    // the way are part of it.
    const auto dir = test::scratchDir("filebytes");
    const auto path = dir / "arrays.bin";
    std::vector<std::uint8_t> bytes(std::size_t{3} << 20);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 13 + i / 977);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    const auto read = [](util::ByteReader& r) {
        std::vector<std::uint64_t> sums;
        util::RawVector<std::uint8_t> b;
        util::RawVector<std::uint16_t> w;
        r.skip(3);
        for (std::size_t words : {std::size_t{300'000}, std::size_t{1000}}) {
            r.readU16Array(w, static_cast<std::int64_t>(words), "words");
            r.readBytes(b, words * 3, "bytes");
            sums.push_back(w.size() + b.size());
            for (std::size_t i = 0; i < w.size(); ++i) sums.back() = sums.back() * 31 + w[i];
            for (std::size_t i = 0; i < b.size(); ++i) sums.back() = sums.back() * 31 + b[i];
        }
        return sums;
    };
    auto file = util::FileBytes::open(path);
    ASSERT_TRUE(file) << file.error();
    ASSERT_TRUE(file->mapped());
    util::ByteReader mapped(file->bytes());
    mapped.onConsumed(&file->pages());
    util::ByteReader inMemory(bytes);
    EXPECT_EQ(read(mapped), read(inMemory));
    EXPECT_EQ(mapped.pos(), inMemory.pos());

    // A file cut short while it is open is an error, not a fault in reading what was mapped.
    std::filesystem::resize_file(path, std::size_t{1} << 20);
    util::ByteReader cut(file->bytes());
    cut.onConsumed(&file->pages());
    cut.skip(std::size_t{2} << 20);
    util::RawVector<std::uint8_t> lost;
    try {
        cut.readBytes(lost, std::size_t{512} << 10, "texture pages");
        ADD_FAILURE() << "read past the end of the file";
    } catch (const util::Error& e) {
        EXPECT_NE(std::string(e.what()).find("texture pages: the file ended early"), std::string::npos) << e.what();
    }
}

TEST(FileBytes, AFileChangedWhileMappedIsReportedRatherThanFatal) {
    // Cut short under the mapping: its lost pages read as zeros instead of ending the program.
    const auto dir = test::scratchDir("filebytes");
    const auto path = dir / "cut.bin";
    std::ofstream(path, std::ios::binary).write(std::string(std::size_t{3} << 20, 'x').data(), std::streamsize{3} << 20);
    auto file = util::FileBytes::open(path);
    ASSERT_TRUE(file && file->mapped());
    EXPECT_FALSE(file->changedWhileRead());
    std::filesystem::resize_file(path, std::size_t{1} << 20);
    EXPECT_EQ(file->bytes()[(std::size_t{2} << 20) + 5], 0);
    EXPECT_TRUE(file->changedWhileRead());

    // A level cut short, or grown, while it is read is refused as changed, whatever its bytes made.
    const auto bytes = levelgen::buildLevel(levelgen::composeLargeLevel({.version = 2, .rooms = 100, .seed = 7}));
    const auto level = dir / "changing.tr2";
    for (int change : {0, 1, 2}) {
        std::ofstream(level, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        auto mapped = util::FileBytes::open(level);
        ASSERT_TRUE(mapped && mapped->mapped());
        if (change == 1) std::filesystem::resize_file(level, bytes.size() / 2);
        if (change == 2) std::ofstream(level, std::ios::binary | std::ios::app).put('\0');
        const auto read = level::LoadLevel(*mapped, "changing.tr2", {});
        if (change == 0) {
            EXPECT_TRUE(read) << read.error();
        } else {
            ASSERT_FALSE(read) << change;
            EXPECT_EQ(read.error(), level::kChangedWhileReadMessage);
        }
    }
}

// Files of no known size: a pipe is read to its end, a device that never ends is given up on.
TEST(FileBytes, StreamsAreReadToTheirEndWithinALimit) {
    const auto fifo = test::scratchDir("file-stream") / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::vector<std::uint8_t> sent(300000, 7);
    std::thread writer([&] {
        std::ofstream(fifo, std::ios::binary).write(reinterpret_cast<const char*>(sent.data()), sent.size());
    });
    auto read = util::readFile(fifo);
    writer.join();
    ASSERT_TRUE(read) << read.error();
    EXPECT_EQ(*read, sent);

    if (!std::filesystem::exists("/dev/zero")) GTEST_SKIP() << "no /dev/zero here";
    auto endless = util::FileBytes::open("/dev/zero", std::size_t{1} << 20);
    ASSERT_FALSE(endless);
    EXPECT_EQ(endless.error(), "/dev/zero: more than 1 MiB came from it and it still did not end; nothing was read");
}

TEST(PageBuffer, GivingBackStopsAtThePageTheReaderIsIn) {
    // Mapped at this size: the bytes from the page holding `upTo` on must survive a release.
    constexpr std::size_t size = std::size_t{1} << 20;
    util::PageBuffer buffer(size);
    EXPECT_TRUE(buffer.mapped());
    auto bytes = buffer.bytes();
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 13 + 1);
    const std::size_t upTo = 3 * 4096 + 100;
    buffer.pages().release(upTo);
    buffer.pages().release(upTo - 50);  // going back asks for nothing
    for (std::size_t i = upTo / 4096 * 4096; i < size; ++i)
        ASSERT_EQ(bytes[i], static_cast<std::uint8_t>(i * 13 + 1)) << i;
    // A part read elsewhere gives back only the whole pages inside it: its neighbours' bytes stay.
    const std::size_t from = 8 * 4096 + 1, to = 12 * 4096 - 1;
    buffer.pages().releaseWithin(from, to);
    for (std::size_t i = 8 * 4096; i < size; ++i) {
        const bool inside = i >= 9 * 4096 && i < 11 * 4096;
        ASSERT_EQ(bytes[i], inside ? 0 : static_cast<std::uint8_t>(i * 13 + 1)) << i;
    }
    EXPECT_EQ(util::PageBuffer(0).bytes().size(), 0u);
}

TEST(PageBuffer, BytesLeftToOthersKeepThePageTheyShareWithTheReader) {
    // Before `pos` the bytes are others' to read (chunks inflating on another thread): the reader's
    // own giving back must keep the page that holds both theirs and its first.
    constexpr std::size_t size = std::size_t{1} << 20;
    util::PageBuffer buffer(size);
    auto bytes = buffer.bytes();
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
    const std::size_t pos = 2 * 4096 + 300;
    buffer.pages().leaveBefore(pos);
    buffer.pages().release(8 * 4096);
    for (std::size_t i = 0; i < 3 * 4096; ++i) ASSERT_EQ(bytes[i], static_cast<std::uint8_t>(i * 7 + 3)) << i;
    for (std::size_t i = 3 * 4096; i < 8 * 4096; ++i) ASSERT_EQ(bytes[i], 0) << i;
}

namespace {
std::ptrdiff_t openFiles() {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), std::filesystem::directory_iterator());
}
}  // namespace

// A file that a save replaces is let go of later, on another thread: every such hold must still be
// closed, and what the target holds is the last save, whole (small and large files, and empty ones,
// which are not held).
TEST(SafeFileWriter, ReplacedFilesAreAllLetGo) {
    const auto target = test::scratchDir("safe-replace") / "level.tr2";
    const std::ptrdiff_t before = openFiles();
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < 12; ++i) {
        const std::size_t size = i % 4 == 2 ? 0 : (i % 2 ? std::size_t{1} << 20 : 100) + static_cast<std::size_t>(i) * 4097;
        bytes.assign(size, static_cast<std::uint8_t>(i + 1));
        ASSERT_TRUE(util::writeFileSafely(target, bytes));
    }
    auto back = util::readFile(target);
    ASSERT_TRUE(back) << back.error();
    EXPECT_TRUE(*back == bytes);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(target.parent_path()), std::filesystem::directory_iterator()), 1);
    for (int wait = 0; wait < 500 && openFiles() > before; ++wait) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(openFiles(), before);
}

// Room asked for up front is not part of the file; room the disk can't give fails the save before
// anything is written, and the file it would have replaced stays as it was.
TEST(SafeFileWriter, ReservedRoomIsNeverWrittenAndTooMuchFailsEarly) {
    const auto target = test::scratchDir("safe-reserve") / "level.tr2";
    {
        util::SafeFileWriter out(target);
        ASSERT_TRUE(out.open());
        ASSERT_TRUE(out.reserve(std::size_t{1} << 20));
        ASSERT_TRUE(out.write("short", 5));
        ASSERT_TRUE(out.commit());
    }
    EXPECT_EQ(std::filesystem::file_size(target), 5u);

    util::SafeFileWriter out(target);
    ASSERT_TRUE(out.open());
    if (out.reserve(std::uint64_t{1} << 60)) GTEST_SKIP() << "this file system doesn't set blocks aside";
    EXPECT_FALSE(out.write("longer", 6));
    const auto st = out.commit();
    ASSERT_FALSE(st);
    EXPECT_NE(st.error().find("Can't write " + target.string() + ": "), std::string::npos) << st.error();
    EXPECT_EQ(std::filesystem::file_size(target), 5u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(target.parent_path()), std::filesystem::directory_iterator()), 1);
}

// A save through symbolic links (a chain of two, one relative, and one to no file yet) goes to the
// file they lead to, which keeps its permissions; the links stay links.
TEST(SafeFileWriter, ASaveThroughLinksReplacesTheFileTheyLeadTo) {
    const auto dir = test::scratchDir("safe-link");
    std::filesystem::create_directory(dir / "levels");
    const auto real = dir / "levels" / "level.tr2";
    ASSERT_TRUE(util::writeFileSafely(real, std::vector<std::uint8_t>{1, 2, 3}));
    std::filesystem::permissions(real, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    std::filesystem::create_symlink("levels/level.tr2", dir / "near.tr2");
    std::filesystem::create_symlink(dir / "near.tr2", dir / "far.tr2");
    ASSERT_TRUE(util::writeFileSafely(dir / "far.tr2", std::vector<std::uint8_t>{4, 5}));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "far.tr2"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "near.tr2"));
    auto back = util::readFile(real);
    ASSERT_TRUE(back) << back.error();
    EXPECT_EQ(*back, (std::vector<std::uint8_t>{4, 5}));
    EXPECT_EQ(std::filesystem::status(real).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    // A link to a file not there yet makes that file.
    std::filesystem::create_symlink("levels/new.tr2", dir / "dangling.tr2");
    ASSERT_TRUE(util::writeFileSafely(dir / "dangling.tr2", std::vector<std::uint8_t>{6}));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "dangling.tr2"));
    EXPECT_EQ(std::filesystem::file_size(dir / "levels" / "new.tr2"), 1u);
}

// A name as long as a folder entry may be (255 bytes) saves, though the temporary name is longer.
TEST(SafeFileWriter, ANameOfTheLongestLengthSaves) {
    const auto target = test::scratchDir("safe-long") / (std::string(251, 'n') + ".tr2");
    ASSERT_TRUE(util::writeFileSafely(target, std::vector<std::uint8_t>{1}));
    auto written = util::writeFileSafely(target, std::vector<std::uint8_t>{2, 3});
    ASSERT_TRUE(written) << written.error();
    EXPECT_EQ(std::filesystem::file_size(target), 2u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(target.parent_path()), std::filesystem::directory_iterator()), 1);
}

// Only a plain file is replaced: a save over a pipe (or a device such as /dev/null) would put a file
// in its place and report the bytes as written, and a folder can't be replaced at all.
TEST(SafeFileWriter, WhatIsNotAPlainFileIsLeftAsItIs) {
    const auto dir = test::scratchDir("safe-special");
    const auto pipe = dir / "pipe.tr2";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    const auto piped = util::writeFileSafely(pipe, std::vector<std::uint8_t>{1, 2});
    ASSERT_FALSE(piped);
    EXPECT_NE(piped.error().find("not a file"), std::string::npos) << piped.error();
    EXPECT_TRUE(std::filesystem::is_fifo(pipe));
    std::filesystem::create_directory(dir / "sub.tr2");
    const auto folder = util::writeFileSafely(dir / "sub.tr2", std::vector<std::uint8_t>{1, 2});
    ASSERT_FALSE(folder);
    EXPECT_NE(folder.error().find("folder"), std::string::npos) << folder.error();
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 2) << "no temporary file is left";
}
