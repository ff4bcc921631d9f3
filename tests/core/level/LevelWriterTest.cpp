// Lists whose records are copied whole on little-endian hosts give the bytes the field-by-field
// path writes, so the layout claim of each record type is held to here.
#include <gtest/gtest.h>

#include <cstring>
#include <type_traits>
#include <vector>

#include "level/RecordIO.h"

using namespace tessarin;
using namespace tessarin::level;

namespace {

template <typename T>
void expectWholeCopyMatchesFields() {
    static_assert(std::is_trivially_copyable_v<T>);
    static_assert(sizeof(T) == io::kRecordSize<T>, "a record copied whole must have its file size");
    // Every byte distinct, so a swapped or misplaced field shows.
    std::vector<T> list(3);
    for (std::size_t r = 0; r < list.size(); ++r) {
        std::uint8_t raw[sizeof(T)];
        for (std::size_t i = 0; i < sizeof(T); ++i) raw[i] = static_cast<std::uint8_t>(r * 61 + i * 3 + 1);
        std::memcpy(&list[r], raw, sizeof(T));
    }
    util::ByteWriter whole, fields;
    io::writeList(whole, list);
    io::writeFields(fields, list);
    EXPECT_EQ(whole.data(), fields.data()) << typeid(T).name();
}

}  // namespace

TEST(LevelWriter, RecordsCopiedWholeHaveTheirFieldLayout) {
    expectWholeCopyMatchesFields<TRRoomVertex>();
    expectWholeCopyMatchesFields<TRRoomSprite>();
    expectWholeCopyMatchesFields<TRPortal>();
    expectWholeCopyMatchesFields<TRSector>();
    expectWholeCopyMatchesFields<TRRoomStatic>();
    expectWholeCopyMatchesFields<TRStateChange>();
    expectWholeCopyMatchesFields<TRAnimDispatch>();
    expectWholeCopyMatchesFields<TRStaticMesh>();
    expectWholeCopyMatchesFields<TRSpriteTexture>();
    expectWholeCopyMatchesFields<TRSpriteSequence>();
    expectWholeCopyMatchesFields<TRCamera>();
    expectWholeCopyMatchesFields<TRSoundSource>();
    expectWholeCopyMatchesFields<TRBox>();
    expectWholeCopyMatchesFields<TRItem>();
    expectWholeCopyMatchesFields<TRCinematicFrame>();
    expectWholeCopyMatchesFields<TRSoundDetail>();
}
