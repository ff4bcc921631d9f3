// The bounded reader: every read checked, counts refused before allocation, errors name the place.
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <string>
#include <vector>

#include "util/ByteReader.h"
#include "util/ByteWriter.h"
#include "util/NumberText.h"
#include "util/RawVector.h"

using tessarin::util::ByteReader;
using tessarin::util::ByteWriter;
using tessarin::util::Error;

namespace {
std::string errorOf(auto&& fn) {
    try {
        fn();
    } catch (const Error& e) {
        return e.what();
    }
    return "";
}
}  // namespace

TEST(ByteReader, AssemblesLittleEndianValues) {
    const std::vector<std::uint8_t> bytes = {0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0xFF, 0xFF, 0x00, 0x00, 0x80, 0x3F};
    ByteReader r(bytes);
    EXPECT_EQ(r.u16(), 0x1234);
    EXPECT_EQ(r.u32(), 0x12345678u);
    EXPECT_EQ(r.i16(), -1);
    EXPECT_FLOAT_EQ(r.f32(), 1.0f);
    EXPECT_TRUE(r.atEnd());
}

TEST(ByteReader, ReadingPastTheEndNamesPlaceOffsetAndWhatIsLeft) {
    const std::vector<std::uint8_t> bytes(6, 0);
    ByteReader r(bytes);
    r.setPlace("room 3 of 12");
    r.u32();
    const std::string msg = errorOf([&] { r.u32("vertices"); });
    EXPECT_EQ(msg, "room 3 of 12, vertices: needs 4 bytes at offset 0x4, 2 left");
    EXPECT_EQ(r.pos(), 4u) << "a failed read must not move the cursor";
    // The place given as an item and its index reads the same, after any place before it.
    r.setPlace("", "room", 3, 12);
    EXPECT_EQ(errorOf([&] { r.u32("vertices"); }), msg);
    r.setPlace("level data", "room", 0, 1);
    EXPECT_EQ(errorOf([&] { r.skip(3, "sectors"); }), "level data, room 0 of 1, sectors: needs 3 bytes at offset 0x4, 2 left");
    r.setPlace("level data");
    EXPECT_EQ(r.place(), "level data");
}

TEST(ByteReader, RefusesCountsThatCannotFitBeforeAllocating) {
    const std::vector<std::uint8_t> bytes(100, 0);
    ByteReader r(bytes);
    EXPECT_EQ(r.checkCount(12, 8, "sectors"), 12u);
    EXPECT_NE(errorOf([&] { r.checkCount(13, 8, "sectors"); }).find("sectors: count 13 needs 104 bytes"), std::string::npos);
    EXPECT_NE(errorOf([&] { r.checkCount(-1, 8, "sectors"); }).find("negative count -1"), std::string::npos);
    // A count near the 32-bit limit must be refused, not multiplied into a small number.
    std::vector<std::uint16_t> words;
    EXPECT_FALSE(errorOf([&] { r.readU16Array(words, 0x7FFFFFFF, "floor data"); }).empty());
    EXPECT_TRUE(words.empty());
    // Nor a count whose size wraps past 64 bits.
    EXPECT_FALSE(errorOf([&] { r.checkCount(std::int64_t{1} << 62, 8, "boxes"); }).empty());
}

TEST(ByteReader, SeekAndSkipStayInside) {
    const std::vector<std::uint8_t> bytes(10, 0);
    ByteReader r(bytes);
    r.seek(10);
    EXPECT_TRUE(r.atEnd());
    EXPECT_FALSE(errorOf([&] { r.seek(11, "sector data"); }).empty());
    r.seek(8);
    EXPECT_FALSE(errorOf([&] { r.skip(3, "fog bulbs"); }).empty());
}

TEST(ByteReader, WordArraysDecodeAlikeOnTheBulkAndThePortablePath) {
    // The same words at an aligned and an odd address, so the bulk copy and the byte-by-byte path
    // (taken for odd addresses and big-endian hosts) both run.
    const std::vector<std::uint8_t> words = {0x34, 0x12, 0xFF, 0xFF, 0x00, 0x80, 0x78, 0x56};
    for (std::size_t at : {0u, 1u}) {
        std::vector<std::uint8_t> bytes(at, 0xAA);
        bytes.insert(bytes.end(), words.begin(), words.end());
        for (bool bulk : {true, false}) {
            std::vector<std::uint16_t> u16s;
            tessarin::util::decodeWords(u16s, bytes.data() + at, 4, bulk);
            EXPECT_EQ(u16s, (std::vector<std::uint16_t>{0x1234, 0xFFFF, 0x8000, 0x5678}));
            std::vector<std::int32_t> i32s;
            tessarin::util::decodeWords(i32s, bytes.data() + at, 2, bulk);
            EXPECT_EQ(i32s, (std::vector<std::int32_t>{-0xEDCC, 0x56788000}));
        }
    }
}

TEST(ByteReader, RecordsReadAlikeWhetherDecodersReturnOrFillThem) {
    struct Rec {
        std::int16_t a = 7;
        std::int32_t b = 7;
        bool operator==(const Rec&) const = default;
    };
    // Three 6-byte records behind a 2-byte count, read after a list that is already there: a
    // reader replaces it, an append keeps it.
    const std::vector<std::uint8_t> bytes = {3, 0, 1, 0, 2, 0, 0, 0, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 5, 0, 0, 0, 0, 1};
    const auto returned = [](const std::uint8_t* p) { return Rec{tessarin::util::le::i16(p), tessarin::util::le::i32(p + 2)}; };
    const auto filled = [](Rec& r, const std::uint8_t* p) { r.b = tessarin::util::le::i32(p + 2); };  // `a` left as made
    const std::vector<Rec> before = {{9, 9}};
    for (bool fill : {false, true}) {
        std::vector<Rec> read = before, appended = before;
        ByteReader r(bytes);
        if (fill) r.readRecords(read, r.i16(), 6, "records", filled);
        else r.readRecords(read, r.u16(), 6, "records", returned);
        const std::int16_t a0 = fill ? 7 : 1, a1 = fill ? 7 : -1, a2 = fill ? 7 : 5;
        const std::vector<Rec> expected = {{a0, 2}, {a1, -2}, {a2, 0x1000000}};
        EXPECT_EQ(read, expected);
        EXPECT_TRUE(r.atEnd());
        if (fill) tessarin::util::appendDecoded(appended, bytes.data() + 2, 3, 6, filled);
        else tessarin::util::appendDecoded(appended, bytes.data() + 2, 3, 6, returned);
        EXPECT_EQ(appended.size(), 4u);
        EXPECT_EQ(appended[0], before[0]);
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), appended.begin() + 1));
    }
    // A list longer than a give-back step goes in slices, read alike.
    std::vector<std::uint8_t> longList(2 + 60000 * 6);
    longList[0] = 0x60, longList[1] = 0xEA;  // 60000
    for (std::size_t i = 2; i < longList.size(); ++i) longList[i] = static_cast<std::uint8_t>(i * 7);
    ByteReader whole(longList), sliced(longList);
    std::vector<Rec> one, many;
    tessarin::util::appendDecoded(one, longList.data() + 2, 60000, 6, returned);
    sliced.readRecords(many, sliced.u16(), 6, "records", returned);
    EXPECT_TRUE(one == many);
    EXPECT_TRUE(sliced.atEnd());
    std::vector<std::int16_t> words;
    whole.copyRecords(words, 1 + 60000 * 3, "words", [](const std::uint8_t* p) { return tessarin::util::le::i16(p); });
    ASSERT_EQ(words.size(), 1u + 60000 * 3);
    EXPECT_EQ(words[123457], tessarin::util::le::i16(longList.data() + 2 * 123457));
}

TEST(RawVector, BehavesAsAVectorWhenItsOwnElementsAreTheSource) {
    using V = tessarin::util::RawVector<std::uint16_t>;
    // Appending, inserting and filling from its own elements, with and without growing.
    for (std::size_t spare : {0u, 100u}) {
        V v = {1, 2, 3};
        v.reserve(v.size() + spare);
        v.insert(v.end(), v.begin(), v.end());
        EXPECT_EQ(v, (V{1, 2, 3, 1, 2, 3}));
        v.insert(v.begin() + 1, v.begin() + 4, v.end());
        EXPECT_EQ(v, (V{1, 2, 3, 2, 3, 1, 2, 3}));
        v.resize(10, v[1]);
        v.push_back(v[0]);
        EXPECT_EQ(v, (V{1, 2, 3, 2, 3, 1, 2, 3, 2, 2, 1}));
        v.resize(12);  // as std::vector: new elements are zero
        EXPECT_EQ(v[11], 0);
    }
    // Growing for overwriting keeps what was there; a copy is whole and apart.
    V w(3, 7);
    w.resizeForOverwrite(1000);
    ASSERT_EQ(w.size(), 1000u);
    EXPECT_EQ(w[2], 7);
    w[999] = 9;
    const V copy = w;
    w[999] = 8;
    EXPECT_EQ(copy.size(), 1000u);
    EXPECT_EQ(copy[999], 9);
    EXPECT_FALSE(copy == w);
}

TEST(ByteWriter, MirrorsTheReader) {
    ByteWriter w;
    w.u16(0xBEEF);
    w.i32(-2);
    w.f32(2.5f);
    tessarin::util::le::Out(w.append(2)).u16(0x1234);  // a block made for a list, then more fields
    w.u8(7);
    ByteReader r(w.data());
    EXPECT_EQ(w.size(), 13u);
    EXPECT_EQ(r.u16(), 0xBEEF);
    EXPECT_EQ(r.i32(), -2);
    EXPECT_FLOAT_EQ(r.f32(), 2.5f);
    EXPECT_EQ(r.u16(), 0x1234);
    EXPECT_EQ(r.u8(), 7);
    EXPECT_TRUE(r.atEnd());
}

TEST(NumberForm, PutsABlankBeforeNonNegativeNumbers) {
    using namespace tessarin::util;
    EXPECT_EQ(numberForm(std::int64_t{5}), " 5");
    EXPECT_EQ(numberForm(std::int64_t{0}), " 0");
    EXPECT_EQ(numberForm(std::int64_t{-3}), "-3");
    EXPECT_EQ(numberForm(12.5), " 12.5");
    EXPECT_EQ(numberForm(60.0), " 60");
    EXPECT_EQ(plainNumber(7), "7");
    // The GUI runs in the user's locale; a decimal comma there must not reach the texts.
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8"})
        if (std::setlocale(LC_NUMERIC, name)) break;
    EXPECT_EQ(numberForm(59.46), " 59.5");
    EXPECT_EQ(numberForm(-0.75), "-0.8");
    std::setlocale(LC_NUMERIC, before.c_str());
}
