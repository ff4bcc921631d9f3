#include "support/SaneLevel.h"

#include <algorithm>
#include <string>

#include <gtest/gtest.h>

namespace tessarin::test {

void expectSaneLevel(const level::TRLevel& l) {
    for (std::size_t i = 0; i < l.Rooms.size(); ++i) {
        const auto& room = l.Rooms[i];
        SCOPED_TRACE("room " + std::to_string(i));
        EXPECT_GT(room.NumXSectors, 0);
        EXPECT_GT(room.NumZSectors, 0);
        EXPECT_LE(room.NumXSectors, 64);
        EXPECT_LE(room.NumZSectors, 64);
        EXPECT_EQ(room.Sectors.size(), static_cast<std::size_t>(room.NumXSectors) * room.NumZSectors);
        EXPECT_LT(room.YTop, room.YBottom);
        EXPECT_EQ(room.X % 1024, 0);
        EXPECT_EQ(room.Z % 1024, 0);
        EXPECT_FALSE(room.Vertices.empty());
        for (const auto& q : room.Rectangles)
            for (auto v : q.Vertices) ASSERT_LT(static_cast<std::size_t>(v), room.Vertices.size());
        for (const auto& t : room.Triangles)
            for (auto v : t.Vertices) ASSERT_LT(static_cast<std::size_t>(v), room.Vertices.size());
        for (const auto& p : room.Portals) EXPECT_LT(static_cast<std::size_t>(p.AdjoiningRoom), l.Rooms.size());
        for (const auto& s : room.Sectors) EXPECT_LT(s.FDIndex, std::max<std::size_t>(l.FloorData.size(), 1));
        // Room vertices lie within the room's own box (vertex positions are relative to X and Z).
        for (const auto& v : room.Vertices) {
            EXPECT_LE(v.X, room.NumXSectors * 1024);
            EXPECT_LE(v.Z, room.NumZSectors * 1024);
            EXPECT_GE(v.Y, room.YTop);
            EXPECT_LE(v.Y, room.YBottom);
        }
    }
    for (auto p : l.MeshPointers) EXPECT_LT(static_cast<std::size_t>(p), l.MeshData.size());
    for (const auto& it : l.Items) EXPECT_LT(static_cast<std::size_t>(it.Room), l.Rooms.size());
    for (const auto& m : l.Moveables) EXPECT_LT(static_cast<std::size_t>(m.StartingMesh), l.MeshPointers.size());
    ASSERT_EQ(l.TextureTiles.size(), l.ObjectTextures.size());
    for (std::size_t i = 0; i < l.TextureTiles.size(); ++i) {
        const auto& t = l.TextureTiles[i];
        EXPECT_LE(t.RefU + t.SizeU, 255) << "texture " << i;
        EXPECT_LE(t.RefV + t.SizeV, 255) << "texture " << i;
        EXPECT_LT(t.Tile, l.NumTextiles) << "texture " << i;
        EXPECT_EQ(l.ObjectTextures[i].Tile & 0x8000, 0);
    }
}

}  // namespace tessarin::test
