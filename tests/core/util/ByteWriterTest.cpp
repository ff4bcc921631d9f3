// The streaming writer hands on exactly the bytes the in-memory one keeps, in whole pieces but the last.
#include <gtest/gtest.h>

#include <cstdint>
#include <algorithm>
#include <numeric>
#include <span>
#include <stdexcept>
#include <vector>

#include "util/ByteWriter.h"

using namespace tessarin;

namespace {

struct Collect final : util::ByteSink {
    std::vector<std::uint8_t> bytes;
    std::vector<std::size_t> pieces;
    void put(const std::uint8_t* p, std::size_t n) override {
        bytes.insert(bytes.end(), p, p + n);
        pieces.push_back(n);
    }
};

void writeMix(util::ByteWriter& w) {
    std::vector<std::uint16_t> words(300);
    std::iota(words.begin(), words.end(), std::uint16_t{0x1234});
    std::vector<std::uint8_t> block(1000);
    std::iota(block.begin(), block.end(), std::uint8_t{7});
    for (int round = 0; round < 3; ++round) {
        w.u8(0xA5);
        w.u32(0xDEADBEEF);
        w.i16(-2);
        w.u16Array<std::uint16_t>(words);                       // larger than a piece: goes straight on
        w.bytes(block.data(), 40);                              // fits beside what is gathered
        w.records(37, 6, [](util::le::Out& o, std::size_t i) {  // batches across piece boundaries
            o.u16(static_cast<std::uint16_t>(i));
            o.i32(-static_cast<std::int32_t>(i));
        });
        w.bytes(block.data(), block.size());
        w.bytes(nullptr, 0);  // an empty list, wherever the piece stands
    }
}

}  // namespace

TEST(ByteWriter, StreamingHandsOnTheSameBytesAsWritingToMemory) {
    util::ByteWriter memory;
    writeMix(memory);
    for (std::size_t piece : {64u, 100u, 4096u}) {
        Collect sink;
        util::ByteWriter w(sink, piece);
        writeMix(w);
        w.flush();
        EXPECT_EQ(sink.bytes, memory.data()) << "pieces of " << piece;
        EXPECT_EQ(w.size(), memory.size());
        // Whole aligned pieces, blocks and lists crossing a piece's end included; the rest at flush().
        for (std::size_t i = 0; i + 1 < sink.pieces.size(); ++i)
            EXPECT_EQ(sink.pieces[i] % piece, 0u) << "pieces of " << piece << ", handed over " << i;
        for (std::size_t n : sink.pieces) EXPECT_GT(n, 0u);
    }
}

TEST(ByteWriter, IntoACallersBufferWritesTheSameBytesAndStopsAtItsEnd) {
    util::ByteWriter memory;
    writeMix(memory);
    const std::vector<std::uint8_t> expected = memory.data();
    std::vector<std::uint8_t> buffer(expected.size() + 1, 0xEE);
    {
        const std::span<std::uint8_t> given = std::span(buffer).first(expected.size());
        util::ByteWriter w(given);
        writeMix(w);
        EXPECT_EQ(w.size(), expected.size());
        EXPECT_THROW(w.u8(1), std::length_error);
    }
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), buffer.begin()));
    EXPECT_EQ(buffer.back(), 0xEE) << "written past the buffer given";
    // And a writer whose bytes were taken writes on after them.
    memory.u8(0x42);
    EXPECT_EQ(memory.data().size(), expected.size() + 1);
    EXPECT_EQ(memory.data().back(), 0x42);
}
