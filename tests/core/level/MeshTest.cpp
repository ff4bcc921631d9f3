// Parsing, sizing and appending object meshes.
#include <gtest/gtest.h>

#include "level/TRLevel.h"
#include "level/Mesh.h"

namespace tessarin::viewer {
namespace {

std::vector<std::uint8_t> bytesOf(const std::vector<std::uint16_t>& words) {
    std::vector<std::uint8_t> b;
    for (auto w : words) b.push_back(static_cast<std::uint8_t>(w)), b.push_back(static_cast<std::uint8_t>(w >> 8));
    return b;
}

// Centre (1, -2, 3), radius 0x00050004 (only the low half is kept), one vertex.
std::vector<std::uint16_t> head(std::uint16_t normals) {
    return {1, 0xFFFE, 3, 4, 5, 1, 100, 0xFC00, 300, normals};
}

TEST(Mesh, NegativeNormalCountReadsVertexLights) {
    auto w = head(65528);  // -8
    for (std::uint16_t i = 0; i < 8; ++i) w.push_back(i * 100);
    w.insert(w.end(), {0, 0, 0, 0});  // no faces of any kind
    auto m = ParseMesh(bytesOf(w), 0, level::kVersionTR2);
    ASSERT_TRUE(m.ok()) << m.error();
    EXPECT_EQ(m->NumNormals, -8);
    EXPECT_TRUE(m->Normals.empty());
    ASSERT_EQ(m->Lights.size(), 8u);
    EXPECT_EQ(m->Lights[7], 700);
    EXPECT_EQ(m->CentreY, -2);
    EXPECT_EQ(m->CollisionRadius, 4);
    EXPECT_EQ(m->Vertices[0].Y, -1024);
    EXPECT_EQ(MeshByteSize(*m, level::kVersionTR2), w.size() * 2);
}

TEST(Mesh, FaceLayoutsFollowTheVersion) {
    // TR4: 12-byte rectangles and 10-byte triangles with effects, no coloured faces.
    auto tr4 = head(1);
    tr4.insert(tr4.end(), {0, 0, 0x4000});                   // one normal
    tr4.insert(tr4.end(), {1, 0, 0, 0, 0, 7, 1});            // rectangle, texture 7, effects 1
    tr4.insert(tr4.end(), {2, 0, 0, 0, 8, 0, 0, 0, 0, 9, 2});  // triangles 8 and 9
    auto m4 = ParseMesh(bytesOf(tr4), 0, level::kVersionTR4);
    ASSERT_TRUE(m4.ok()) << m4.error();
    EXPECT_EQ(m4->Normals.size(), 1u);
    EXPECT_EQ(m4->TexturedRectangles[0].Texture, 7);
    EXPECT_EQ(m4->TexturedRectangles[0].Effects, 1);
    EXPECT_EQ(m4->TexturedTriangles[1].Effects, 2);
    EXPECT_EQ(MeshByteSize(*m4, level::kVersionTR4), tr4.size() * 2);

    // TR2: 10 and 8 bytes, then both coloured lists.
    auto tr2 = head(0);
    tr2.insert(tr2.end(), {1, 0, 0, 0, 0, 7});
    tr2.insert(tr2.end(), {1, 0, 0, 0, 8});
    tr2.insert(tr2.end(), {1, 0, 0, 0, 0, 33});
    tr2.insert(tr2.end(), {2, 0, 0, 0, 34, 0, 0, 0, 35});
    auto m2 = ParseMesh(bytesOf(tr2), 0, level::kVersionTR2);
    ASSERT_TRUE(m2.ok()) << m2.error();
    EXPECT_EQ(m2->TexturedTriangles[0].Texture, 8);
    EXPECT_EQ(m2->ColouredRectangles[0].Texture, 33);
    EXPECT_EQ(m2->ColouredTriangles[1].Texture, 35);
    EXPECT_EQ(MeshByteSize(*m2, level::kVersionTR2), tr2.size() * 2);
}

TEST(Mesh, AppendWritesTheOlderLayoutBehindTheData) {
    auto tr4 = head(1);
    tr4.insert(tr4.end(), {0, 0, 0x4000, 1, 0, 0, 0, 0, 7, 1, 1, 0, 0, 0, 8, 1});
    const auto m4 = *ParseMesh(bytesOf(tr4), 0, level::kVersionTR4);
    level::TRLevel l;
    l.MeshData.assign(6, 0xAA);
    const std::uint32_t at = AppendMesh(l, m4);
    EXPECT_EQ(at, 6u);
    EXPECT_EQ(l.MeshData.size(), 6 + MeshByteSize(m4, level::kVersionTR3));
    EXPECT_EQ(l.MeshData[0], 0xAA);
    auto back = ParseMesh(l.MeshData, at, level::kVersionTR3);
    ASSERT_TRUE(back.ok()) << back.error();
    EXPECT_EQ(back->TexturedRectangles[0].Texture, 7);
    EXPECT_EQ(back->TexturedRectangles[0].Effects, 0);  // not written
    EXPECT_EQ(back->TexturedTriangles[0].Texture, 8);
    EXPECT_TRUE(back->ColouredRectangles.empty());
    EXPECT_EQ(back->Normals[0].Z, 0x4000);
    EXPECT_EQ(AppendMesh(l, m4), 6 + MeshByteSize(m4, level::kVersionTR3));
}

TEST(Mesh, PositionsAndCountsOutsideTheDataAreErrorsNamingTheMesh) {
    auto w = head(0);
    w.insert(w.end(), {0, 0, 0, 0});
    const auto b = bytesOf(w);
    EXPECT_TRUE(ParseMesh(b, 0, level::kVersionTR3).ok());
    for (std::int64_t p : {std::int64_t{-2}, static_cast<std::int64_t>(b.size()), std::int64_t{1} << 40}) {
        auto r = ParseMesh(b, p, level::kVersionTR3);
        ASSERT_FALSE(r.ok());
        EXPECT_NE(r.error().find("mesh at byte " + std::to_string(p)), std::string::npos) << r.error();
    }
    auto big = w;
    big[5] = 30000;  // vertex count far beyond the block
    auto r = ParseMesh(bytesOf(big), 0, level::kVersionTR3);
    ASSERT_FALSE(r.ok());
    EXPECT_NE(r.error().find("vertices"), std::string::npos) << r.error();
    big[5] = 0x8000;  // negative
    EXPECT_FALSE(ParseMesh(bytesOf(big), 0, level::kVersionTR3).ok());
    for (std::size_t n = 0; n < b.size(); ++n)
        EXPECT_FALSE(ParseMesh(std::span<const std::uint8_t>(b.data(), n), 0, level::kVersionTR3).ok()) << n;
}

}  // namespace
}  // namespace tessarin::viewer
