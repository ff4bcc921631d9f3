#pragma once
// What a level record holds in memory: the record and every list it owns.
#include <cstddef>

#include "level/TRLevel.h"

namespace tessarin::level {

// Calls visit(list) for every list the level owns, each room's lists among them, in about the order
// the file holds them (the versions differ in a few places). The room list itself is not visited.
template <typename Visit>
void ForEachList(const TRLevel& l, Visit&& visit) {
    visit(l.Textile8);
    visit(l.Textile16);
    visit(l.Textile32);
    visit(l.MiscTextile);
    for (const auto& r : l.Rooms) {
        visit(r.Vertices);
        visit(r.Rectangles);
        visit(r.Triangles);
        visit(r.Sprites);
        visit(r.Portals);
        visit(r.Sectors);
        visit(r.Lights);
        visit(r.StaticMeshes);
        visit(r.Layers);
    }
    visit(l.FloorData);
    visit(l.MeshData);
    visit(l.MeshPointers);
    visit(l.Animations);
    visit(l.StateChanges);
    visit(l.AnimDispatches);
    visit(l.AnimCommands);
    visit(l.MeshTrees);
    visit(l.Frames);
    visit(l.Moveables);
    visit(l.StaticMeshes);
    visit(l.ObjectTextures);
    visit(l.SpriteTextures);
    visit(l.SpriteSequences);
    visit(l.Cameras);
    visit(l.FlybyCameras);
    visit(l.SoundSources);
    visit(l.Boxes);
    visit(l.Overlaps);
    visit(l.Zones);
    visit(l.AnimatedTextures);
    visit(l.Items);
    visit(l.AIObjects);
    visit(l.CinematicFrames);
    visit(l.DemoData);
    visit(l.SoundDetails);
    visit(l.SampleIndices);
    visit(l.SampleData);
    visit(l.TrailingBytes);
    visit(l.TextureTiles);
}

// Bytes of the record and of the room reserved by every list, rooms' lists included.
std::size_t InMemorySize(const TRLevel& level);

}  // namespace tessarin::level
