#include "level/LevelSize.h"

#include <vector>

namespace tessarin::level {

namespace {
template <typename List>
std::size_t bytesOf(const List& v) {
    return v.capacity() * sizeof(typename List::value_type);
}
}  // namespace

std::size_t InMemorySize(const TRLevel& l) {
    std::size_t n = sizeof(TRLevel);
    n += bytesOf(l.Textile8) + bytesOf(l.Textile16) + bytesOf(l.Textile32) + bytesOf(l.MiscTextile);
    for (const auto& r : l.Rooms)
        n += sizeof(r) + bytesOf(r.Vertices) + bytesOf(r.Rectangles) + bytesOf(r.Triangles) + bytesOf(r.Sprites) +
             bytesOf(r.Portals) + bytesOf(r.Sectors) + bytesOf(r.Lights) + bytesOf(r.StaticMeshes) + bytesOf(r.Layers);
    n += bytesOf(l.FloorData) + bytesOf(l.MeshData) + bytesOf(l.MeshPointers) + bytesOf(l.Animations) +
         bytesOf(l.StateChanges) + bytesOf(l.AnimDispatches) + bytesOf(l.AnimCommands) + bytesOf(l.MeshTrees) +
         bytesOf(l.Frames) + bytesOf(l.Moveables) + bytesOf(l.StaticMeshes) + bytesOf(l.SpriteTextures) +
         bytesOf(l.SpriteSequences) + bytesOf(l.Cameras) + bytesOf(l.FlybyCameras) + bytesOf(l.SoundSources) +
         bytesOf(l.Boxes) + bytesOf(l.Overlaps) + bytesOf(l.Zones) + bytesOf(l.AnimatedTextures) +
         bytesOf(l.ObjectTextures) + bytesOf(l.Items) + bytesOf(l.AIObjects) + bytesOf(l.CinematicFrames) +
         bytesOf(l.DemoData) + bytesOf(l.SoundDetails) + bytesOf(l.SampleIndices) + bytesOf(l.SampleData) +
         bytesOf(l.TextureTiles);
    return n;
}

}  // namespace tessarin::level
