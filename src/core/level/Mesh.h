#pragma once
// Object meshes inside MeshData: parsing one mesh of any version, its size in a version's layout,
// and appending one in the TR1-TR3 layout.
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "level/TRLevel.h"
#include "util/Result.h"

namespace tessarin::level {

struct TRMeshRectangle {
    std::array<std::uint16_t, 4> Vertices{};
    std::uint16_t Texture = 0;  // object texture, or the colour of a coloured face
    std::uint16_t Effects = 0;  // TR4 and later
};

struct TRMeshTriangle {
    std::array<std::uint16_t, 3> Vertices{};
    std::uint16_t Texture = 0;
    std::uint16_t Effects = 0;
};

struct TRMesh {
    std::int16_t CentreX = 0, CentreY = 0, CentreZ = 0;
    std::int32_t CollisionRadius = 0;  // the low 16 bits of the stored radius
    std::vector<TRVertex16> Vertices;
    // As stored: positive means that many normals follow, negative that many vertex lights.
    std::int16_t NumNormals = 0;
    std::vector<TRVertex16> Normals;
    std::vector<std::int16_t> Lights;
    std::vector<TRMeshRectangle> TexturedRectangles;
    std::vector<TRMeshTriangle> TexturedTriangles;
    std::vector<TRMeshRectangle> ColouredRectangles;  // TR1-TR3
    std::vector<TRMeshTriangle> ColouredTriangles;    // TR1-TR3
};

// Parses the mesh at byte `position` of `meshData` in the layout of `version` (faces carry an
// effects word from TR4 on, and only TR1-TR3 meshes have coloured faces). A position or count
// that leads outside the block is an error naming the mesh's offset.
util::Result<TRMesh> ParseMesh(std::span<const std::uint8_t> meshData, std::int64_t position, int version);

// Bytes the mesh at `position` takes in the layout of `version`, found from its counts alone
// (nothing is allocated), or 0 when it runs outside the block. Lets callers that read many meshes
// bound their work before parsing any.
std::uint64_t MeshExtent(std::span<const std::uint8_t> meshData, std::int64_t position, int version);

// Bytes the mesh takes in the layout of `version`.
std::uint32_t MeshByteSize(const TRMesh& mesh, int version);

// Writes the mesh behind the level's MeshData in the TR1-TR3 layout (effects words dropped) and
// returns the byte offset it starts at.
std::uint32_t AppendMesh(TRLevel& level, const TRMesh& mesh);

}  // namespace tessarin::level
