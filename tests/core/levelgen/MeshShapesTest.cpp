// The generated meshes follow the mesh layout of their version, so viewers and converters can parse them.
#include <algorithm>
#include <gtest/gtest.h>

#include "levelgen/LevelFactory.h"
#include "levelgen/MeshShapes.h"

namespace tessarin::levelgen {
namespace {

using namespace tessarin::level;

struct ParsedMesh {
    int vertices = 0, rectangles = 0, triangles = 0, colouredRectangles = -1, colouredTriangles = -1;
    int radius = 0;
    std::size_t end = 0;
    std::vector<int> textures;
    int largestIndex = -1;
};

// Reads one mesh word by word as the layout says, from byte offset `at`.
ParsedMesh parse(const std::vector<std::uint8_t>& b, std::size_t at, std::int16_t v) {
    std::size_t p = at;
    auto word = [&] {
        EXPECT_LE(p + 2, b.size());
        const int w = static_cast<std::int16_t>(b[p] | (b[p + 1] << 8));
        p += 2;
        return w;
    };
    ParsedMesh m;
    p += 6;  // centre
    m.radius = word() & 0xFFFF;
    word();  // high half of the radius
    m.vertices = word();
    p += 6 * static_cast<std::size_t>(m.vertices);
    const int normals = word();
    p += normals >= 0 ? 6 * static_cast<std::size_t>(normals) : 2 * static_cast<std::size_t>(-normals);
    for (int corners : {4, 3}) {
        const int n = word();
        (corners == 4 ? m.rectangles : m.triangles) = n;
        for (int f = 0; f < n; ++f) {
            for (int c = 0; c < corners; ++c) m.largestIndex = std::max(m.largestIndex, word());
            m.textures.push_back(word());
            if (v >= kVersionTR4) word();  // effects
        }
    }
    if (v < kVersionTR4) {
        m.colouredRectangles = word();
        m.colouredTriangles = word();
    }
    m.end = p;
    return m;
}

TEST(MeshShapes, BoxesAndPyramidsFollowTheMeshLayoutOfTheirVersion) {
    for (std::int16_t v : {kVersionTR2, kVersionTR4}) {
        SCOPED_TRACE(v);
        TRLevel L = emptyLevel(v);
        addTexturePage(L, v, 1);
        const int box = addBoxMesh(L, v, 256, 128, 512, Material::Crate);
        const int pyramid = addPyramidMesh(L, v, 200, 700, Material::Pickup);
        ASSERT_EQ(L.MeshPointers.size(), 2u);
        EXPECT_EQ(L.MeshData.size() % 2, 0u);

        const ParsedMesh b = parse(L.MeshData, static_cast<std::size_t>(L.MeshPointers[static_cast<std::size_t>(box)]), v);
        EXPECT_EQ(b.vertices, 8);
        EXPECT_EQ(b.rectangles, 6);
        EXPECT_EQ(b.triangles, 0);
        EXPECT_EQ(b.radius, 512);
        EXPECT_EQ(b.largestIndex, 7);
        if (v < kVersionTR4) {
            EXPECT_EQ(b.colouredRectangles, 0);
            EXPECT_EQ(b.colouredTriangles, 0);
        }
        // The next mesh starts where this one ends (meshes are aligned to four bytes).
        EXPECT_EQ((b.end + 3) / 4 * 4, static_cast<std::size_t>(L.MeshPointers[static_cast<std::size_t>(pyramid)]));

        const ParsedMesh y = parse(L.MeshData, static_cast<std::size_t>(L.MeshPointers[static_cast<std::size_t>(pyramid)]), v);
        EXPECT_EQ(y.vertices, 5);
        EXPECT_EQ(y.rectangles, 1);
        EXPECT_EQ(y.triangles, 4);
        EXPECT_EQ(y.largestIndex, 4);
        EXPECT_EQ(y.end, L.MeshData.size());
        for (int t : y.textures) EXPECT_LT(static_cast<std::size_t>(t), L.ObjectTextures.size());
        EXPECT_EQ(y.textures.back(), triangleTexture(Material::Pickup));
    }
}

TEST(TexturePage, DrawsOnePageInTheFormsOfTheVersionWithTwoTexturesPerMaterial) {
    TRLevel tr2 = emptyLevel(kVersionTR2);
    addTexturePage(tr2, kVersionTR2, 1);
    EXPECT_EQ(tr2.NumTextiles, 1);
    EXPECT_EQ(tr2.Textile8.size(), kTextilePixels);
    EXPECT_EQ(tr2.Textile16.size(), kTextilePixels);
    EXPECT_TRUE(tr2.Textile32.empty());
    EXPECT_EQ(tr2.ObjectTextures.size(), 2u * kMaterialCount);
    // Every 8-bit texel names a palette colour that is not the transparent entry 0.
    EXPECT_TRUE(std::none_of(tr2.Textile8.begin(), tr2.Textile8.end(), [](std::uint8_t c) { return c == 0 || c > 216; }));
    // The quad texture of a material covers its 64 x 64 tile; the triangle texture three of its corners.
    const auto& wood = tr2.ObjectTextures[static_cast<std::size_t>(quadTexture(Material::WoodWall))];
    EXPECT_EQ(wood.Vertices[0].XPixel, 64);
    EXPECT_EQ(wood.Vertices[2].XPixel, 127);
    EXPECT_EQ(wood.Vertices[2].YPixel, 63);
    EXPECT_EQ(wood.Vertices[2].XCoordinate, 255);
    const auto& tri = tr2.ObjectTextures[static_cast<std::size_t>(triangleTexture(Material::WoodWall))];
    EXPECT_EQ(tri.Vertices[3].XPixel, 0);

    TRLevel tr4 = emptyLevel(kVersionTR4);
    addTexturePage(tr4, kVersionTR4, 1);
    EXPECT_EQ(tr4.NumRoomTextiles, 1);
    EXPECT_EQ(tr4.Textile32.size(), kTextilePixels);
    EXPECT_TRUE(tr4.Textile8.empty());
    const auto& metal = tr4.ObjectTextures[static_cast<std::size_t>(quadTexture(Material::MetalWall))];
    EXPECT_EQ(metal.Width, 63);
    EXPECT_LE(metal.Vertices[0].XPixel + metal.Width, 255) << "fits the page for the TR4 tile table";
    EXPECT_EQ(tr4.Textile32, [] {
        TRLevel again = emptyLevel(kVersionTR4);
        addTexturePage(again, kVersionTR4, 1);
        return again.Textile32;
    }()) << "the same seed draws the same page";
}

}  // namespace
}  // namespace tessarin::levelgen
