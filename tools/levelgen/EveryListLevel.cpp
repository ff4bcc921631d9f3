// A small level that fills every list of its version with distinct values.
#include "LevelFactory.h"

namespace tessarin::levelgen {

using namespace tessarin::level;

namespace {

std::int16_t s16(int v) { return static_cast<std::int16_t>(v); }

TRRoom contentRoom(std::int16_t v, int index) {
    TRRoom r = boxRoom(index * 4, 0, 4, 3, 0, -2048);
    const int k = index * 100;
    for (int i = 0; i < 4; ++i)
        r.Vertices.push_back({s16(i * 1024), s16(-k), s16(1024 + i), s16(0x1F00 + i), s16(v > 1 ? 0x10 + i : 0),
                              s16(v > 1 ? 0x2F00 + i : 0)});
    r.Rectangles.push_back({{0, 1, 2, 3}, s16(1 + index), s16(v == kVersionTR5 ? 0x40 : 0)});
    r.Triangles.push_back({{0, 1, 2}, s16(2 + index), s16(v == kVersionTR5 ? 0x41 : 0)});
    if (v < kVersionTR4) r.Sprites.push_back({3, s16(index)});
    r.Portals.push_back(wallPortal(1 - index, true, index == 0 ? 3 * kSector : kSector, kSector, 2 * kSector, -2048, 0,
                                   index == 0 ? -1 : 1));
    r.sector(1, 1).RoomBelow = 7;
    r.sector(1, 1).RoomAbove = 9;
    r.sector(2, 1).Floor = -3;
    r.sector(2, 1).Ceiling = -12;
    r.AmbientIntensity1 = s16(0x1234 + index);
    r.AmbientIntensity2 = s16(v > 1 ? 0x2345 + index : 0);
    r.LightMode = s16(v == kVersionTR2 ? 2 + index : 0);
    TRLight l;
    if (v < kVersionTR4) {
        l = {.X = 100 + k, .Y = -200, .Z = 300, .Intensity1 = 0x0FFF, .Fade1 = 4096};
        if (v > 1) { l.Intensity2 = 0x0EEE; l.Fade2 = 5000; }
    } else if (v == kVersionTR4) {
        l = {.DirX = 0.5f, .DirY = -1.0f, .DirZ = 0.25f, .X4 = 512, .Y4 = -256, .Z4 = 1024 + k, .Colour = {255, 128, 64},
             .LightType = 1, .Intensity = 31, .In = 512, .Out = 2048, .Length = 100, .CutOff = 50};
    } else {
        l = {.X = 512, .Y = -256, .Z = 1024 + k, .X5 = 512, .Y5 = -256, .Z5 = 1024.0f + static_cast<float>(k),
             .LightType = 2, .In = 512, .Out = 2048, .Length = 100, .CutOff = 50, .DirX5 = 0, .DirY5 = -1, .DirZ5 = 0,
             .Range = 4096, .Red = 1, .Green = 0.5f, .Blue = 0.25f};
    }
    r.Lights.push_back(l);
    r.StaticMeshes.push_back({1536 + index * 4096, 0, 1536, 0x4000, 0x1111, s16(v > 1 ? 0x2222 : 0), 3});
    r.AlternateRoom = s16(index == 0 ? -1 : 0);
    r.Flags = s16(0x40 + index);
    if (v >= kVersionTR3) {
        r.WaterScheme = static_cast<std::uint8_t>(5 + index);
        r.ReverbInfo = 2;
        r.AlternateGroup = static_cast<std::uint8_t>(v == kVersionTR3 ? 0xCD : 1);
    }
    if (v >= kVersionTR4) r.RoomExtra = 0x7F;
    return r;
}

}  // namespace

TRLevel everyListLevel(std::int16_t v) {
    TRLevel L = emptyLevel(v);
    L.NumTextiles = 1;
    if (v < kVersionTR4) {
        L.Textile8.assign(kTextilePixels, 0);
        for (std::size_t i = 0; i < L.Textile8.size(); ++i) L.Textile8[i] = static_cast<std::uint8_t>(i * 7);
        L.Palette[3] = 63;
        L.LightMap[8191] = 0x1F;
    }
    if (v > kVersionTR1) {
        L.Textile16.assign(kTextilePixels, 0);
        for (std::size_t i = 0; i < L.Textile16.size(); ++i) L.Textile16[i] = static_cast<std::uint16_t>(0x8000 | i);
        if (v < kVersionTR4) L.Palette16[5] = 0xAB;
    }
    if (v >= kVersionTR4) {
        L.NumRoomTextiles = 1;
        L.NumMiscTextiles = 1;
        L.Textile32.assign(kTextilePixels, 0);
        for (std::size_t i = 0; i < L.Textile32.size(); ++i) L.Textile32[i] = 0xFF000000u | static_cast<std::uint32_t>(i);
        L.MiscTextile.assign(kTextilePixels, 0xFF00FF00u);
    }
    if (v == kVersionTR5) { L.LaraType = 3; L.WeatherType = 1; }

    L.Rooms = {contentRoom(v, 0), contentRoom(v, 1)};
    L.Rooms[0].sector(2, 1).FDIndex = FloorDataList().door(1).appendTo(L);
    L.Rooms[1].sector(1, 1).FDIndex =
        FloorDataList().trigger(kPad, 0x3E00, {{kObject, 1}, {kCamera, 0, 0x0005}}).appendTo(L);

    // One four-vertex mesh with one textured quad, in the version's layout.
    const std::vector<std::int16_t> mesh = [&] {
        std::vector<std::int16_t> w = {0, -128, 0, 300, 0, 4, 0, 0, -256, 0, 256, -256, 0, 256, 0, 0, 0, 0, 0,
                                       -4, 0x10, 0x10, 0x10, 0x10, 1, 0, 1, 2, 3, 0};
        if (v >= kVersionTR4) w.push_back(0);  // effects
        w.push_back(0);                        // textured triangles
        if (v < kVersionTR4) { w.push_back(0); w.push_back(0); }  // coloured rectangles, triangles
        return w;
    }();
    for (std::int16_t w : mesh) {
        L.MeshData.push_back(static_cast<std::uint8_t>(w & 0xFF));
        L.MeshData.push_back(static_cast<std::uint8_t>((w >> 8) & 0xFF));
    }
    L.MeshPointers = {0};
    TRAnimation a{.FrameOffset = 0, .FrameRate = 1, .FrameSize = 10, .StateID = 2, .FrameStart = 0, .FrameEnd = 9,
                  .NextAnimation = 0, .NextFrame = 0, .NumStateChanges = 1, .StateChangeOffset = 0,
                  .NumAnimCommands = 1, .AnimCommand = 0};
    for (std::size_t i = 0; i < a.Velocity.size(); ++i) a.Velocity[i] = static_cast<std::uint8_t>(i + 1);
    if (v < kVersionTR4) std::fill(a.Velocity.begin() + 8, a.Velocity.end(), 0);
    L.Animations = {a};
    L.StateChanges = {{3, 1, 0}};
    L.AnimDispatches = {{0, 9, 0, 0}};
    L.AnimCommands = {1, 2};
    L.MeshTrees = {0, 0, 0, 0};
    L.Frames = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    L.Moveables = {{0, 1, 0, 0, 0, 0}, {v >= kVersionTR4 ? 361 : 110, 1, 0, 0, 0, 0}};
    L.StaticMeshes = {{3, 0, {-512, 512, -512, 0, -512, 512}, {-256, 256, -256, 0, -256, 256}, 2}};
    for (int i = 0; i < 2; ++i) {
        TRObjectTexture t;
        t.Attribute = s16(i);
        t.Tile = s16(i == 0 ? 0 : (v >= kVersionTR4 ? 0x8000 : 0));
        t.Vertices = {TRTextureCorner{0, 0, 0, 0}, TRTextureCorner{255, 63, 0, 0}, TRTextureCorner{255, 63, 255, 63},
                      TRTextureCorner{0, 0, 255, 63}};
        if (v >= kVersionTR4) {
            t.NewFlags = s16(0x0C + i);
            t.SourceUV = {1, 2, 3, 4, 5, 6, 7, 8};
            t.Width = 63;
            t.Height = 63;
        }
        L.ObjectTextures.push_back(t);
    }
    L.SpriteTextures = {{0, 64, 128, 0x3F00, 0x3F00, -100, -200, 100, 0}};
    L.SpriteSequences = {{v >= kVersionTR4 ? 356 : 171, -1, 0}};
    L.Cameras = {{2048, -1024, 1536, 1, 0}};
    if (v >= kVersionTR4) {
        TRFlybyCamera f{};
        for (std::size_t i = 0; i < f.size(); ++i) f[i] = static_cast<std::uint8_t>(40 - i);
        L.FlybyCameras = {f};
    }
    L.SoundSources = {{1024, -512, 1024, 7, 0x80}};
    L.Boxes = {{1, 2, 1, 3, -256, 0}, {1, 2, 5, 7, -512, s16(0x8001)}};
    L.Overlaps = {1, s16(0x8000)};
    L.Zones.assign(L.Boxes.size() * (v == kVersionTR1 ? 6 : 10), 0);
    for (std::size_t i = 0; i < L.Zones.size(); ++i) L.Zones[i] = s16(static_cast<int>(i) % 3);
    L.AnimatedTextures = {1, 1, 0, 1};
    L.Items = {{0, 0, 1536, 0, 1536, s16(0x4000), -1, s16(v >= kVersionTR4 ? 0 : -1), 0},
               {s16(v >= kVersionTR4 ? 361 : 110), 1, 5632, 0, 1536, 0, 0x1000, s16(v >= kVersionTR4 ? 12 : 0x1000),
                0x3E00}};
    if (v == kVersionTR1) L.Items[0].OCB = L.Items[1].OCB = 0;  // TR1 items have no such word
    if (v >= kVersionTR4) {
        TRAIObject ai{.ObjectID = 398, .Room = 1, .X = 5632, .Y = 0, .Z = 1536, .Extra = {0, 0, 1, 0, 0, 0x40, 0, 0}};
        L.AIObjects = {ai};
    }
    if (v < kVersionTR4) L.CinematicFrames = {{1, 2, 3, 4, 5, 6, 7, 8}};  // TR4/TR5 files have none
    L.NumDemoData = 8;
    L.DemoData = {0x01020304, -2};
    for (std::size_t i = 0; i < (v == kVersionTR1 ? 256u : kSoundMapSize); ++i) L.SoundMap[i] = -1;
    L.SoundMap[0] = 0;
    L.SoundMap[v == kVersionTR1 ? 255 : 369] = 1;
    L.SoundDetails = {{0, 0x7FFF, 0, 0x0100}, {1, 0x4000, 0, 0x0101}};
    L.SampleIndices = {0, 10};
    if (v == kVersionTR1) {
        L.SampleData = {'R', 'I', 'F', 'F', 0, 0, 0, 0};
        L.NumSamples = static_cast<std::int32_t>(L.SampleData.size());
    }
    return L;
}

}  // namespace tessarin::levelgen
