#pragma once
// Writes small TR4 files for the converter tests with its own code: a described level is laid
// out byte by byte and compressed into the chunk form.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tessarin::test {

struct TR4Light {
    std::int32_t X = 0, Y = 0, Z = 0;
    std::array<std::uint8_t, 3> Colour{};
    std::uint8_t Type = 1;
    float In = 0, Out = 0;
};

struct TR4Vertex {
    std::int16_t X = 0, Y = 0, Z = 0, Lighting = 0, Attributes = 0, Colour = 0;
};

struct TR4Sector {
    std::uint16_t FDIndex = 0, BoxIndex = 0;
};

struct TR4Room {
    std::vector<TR4Vertex> Vertices;
    std::int16_t NumXSectors = 1, NumZSectors = 1;
    std::vector<TR4Sector> Sectors{TR4Sector{}};  // x outer, z inner
    std::array<std::uint8_t, 4> Colour{};
    std::vector<TR4Light> Lights;
    std::array<std::uint8_t, 3> Tail{};  // water scheme, reverb, alternate group
    std::int16_t Flags = 0;
};

struct TR4Texture {
    std::uint16_t Attribute = 0, Tile = 0;
    std::array<std::array<std::uint8_t, 4>, 4> Corners{};  // x coordinate, x pixel, y coordinate, y pixel
    std::int32_t Width = 0, Height = 0;
};

struct TR4Animation {
    std::int32_t FrameOffset = 0;
    std::uint8_t FrameSize = 0;
};

struct TR4Moveable {
    std::int16_t NumMeshes = 1;
    std::int16_t Animation = -1;
};

struct TR4Item {
    std::int16_t ObjectID = 0, Room = 0;
};

struct TR4Description {
    int Pages = 1;
    std::vector<TR4Room> Rooms{TR4Room{}};
    std::vector<std::uint16_t> FloorData{0};
    std::vector<std::uint16_t> MeshData;
    std::vector<std::int32_t> MeshPointers;
    std::vector<TR4Animation> Animations;
    std::vector<std::int16_t> Frames;
    std::vector<TR4Moveable> Moveables;
    int SpriteTextures = 2;  // the level's own sprites, which the conversion drops
    int Boxes = 1;
    std::vector<TR4Texture> Textures;
    std::vector<TR4Item> Items;
    std::vector<std::uint8_t> DemoBytes;
};

std::vector<std::uint8_t> buildTR4(const TR4Description& level);

// One TR4 mesh as words: centre, radius, vertices, no normals, then the given faces
// (rectangles: 4 indices, texture, effects; triangles: 3 indices, texture, effects).
std::vector<std::uint16_t> tr4MeshWords(int vertices, const std::vector<std::array<std::uint16_t, 6>>& rectangles,
                                        const std::vector<std::array<std::uint16_t, 5>>& triangles);

}  // namespace tessarin::test
