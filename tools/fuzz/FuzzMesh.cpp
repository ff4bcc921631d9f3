// ParseMesh over arbitrary mesh data, then AppendMesh and a parse of what it wrote, which must give
// the same mesh back. Input: one byte choosing the version, two bytes of position, the mesh data.
#include <cstddef>
#include <cstdint>
#include <span>

#include "level/Mesh.h"

using namespace tessarin::level;

namespace {

template <typename Face>
bool sameFaces(const std::vector<Face>& a, const std::vector<Face>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].Vertices != b[i].Vertices || a[i].Texture != b[i].Texture) return false;
    return true;
}

bool sameVertices(const std::vector<TRVertex16>& a, const std::vector<TRVertex16>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].X != b[i].X || a[i].Y != b[i].Y || a[i].Z != b[i].Z) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const int version = 1 + data[0] % 5;
    const std::int64_t position = data[1] | data[2] << 8;
    const std::span<const std::uint8_t> meshData(data + 3, size - 3);
    const auto mesh = ParseMesh(meshData, position, version);
    if (!mesh) return 0;

    TRLevel level;
    level.LevelVersion = kVersionTR3;
    level.MeshData.push_back(0x55);  // odd length: AppendMesh must put the mesh on a word
    const std::uint32_t offset = AppendMesh(level, *mesh);
    if (offset % 2 || level.MeshData.size() - offset != MeshByteSize(*mesh, kVersionTR3)) __builtin_trap();
    const auto back = ParseMesh(level.MeshData, offset, kVersionTR3);
    if (!back) __builtin_trap();
    if (back->CentreX != mesh->CentreX || back->CentreY != mesh->CentreY || back->CentreZ != mesh->CentreZ ||
        back->CollisionRadius != mesh->CollisionRadius || back->NumNormals != mesh->NumNormals ||
        !sameVertices(back->Vertices, mesh->Vertices) || !sameVertices(back->Normals, mesh->Normals) ||
        back->Lights != mesh->Lights || !sameFaces(back->TexturedRectangles, mesh->TexturedRectangles) ||
        !sameFaces(back->TexturedTriangles, mesh->TexturedTriangles) ||
        !sameFaces(back->ColouredRectangles, mesh->ColouredRectangles) ||
        !sameFaces(back->ColouredTriangles, mesh->ColouredTriangles))
        __builtin_trap();
    return 0;
}
